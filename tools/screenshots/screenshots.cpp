// Opens the configuration window in a series of states and saves a picture of
// every page, the rule dialog in both modes and each message box, as BMP files
// in the folder given as the first argument. scripts/screenshots.sh runs it
// under Wine and converts the pictures to PNG.

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "controls/field_control.h"
#include "controls/folder_field.h"
#include "platform/win32/registry_win.h"
#include "platform/win32/service_win.h"
#include "platform/win32/win_text.h"
#include "service/service_controller.h"
#include "tests/support/win/control_harness.h"
#include "tests/support/win/message_box_answerer.h"
#include "tests/support/win/settings_fixture.h"
#include "ui/message_boxes.h"
#include "ui/rule_dialog.h"
#include "ui/main_window.h"
#include "ui/service_ui.h"

using namespace tftpcfg;

namespace {

std::wstring g_outDir;
MainWindow* g_window = nullptr;

void Pump(DWORD milliseconds = 100) {
  test::PumpFor(milliseconds,
                [](MSG& msg) { return g_window && g_window->PreTranslateMessage(msg); });
}

// Dispatches what is waiting for one window and its children only: a message
// box's own painting, without running anything else from inside its loop.
void PumpWindow(HWND hwnd) {
  MSG msg;
  while (PeekMessageW(&msg, hwnd, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Bytes per row of a 24-bit bitmap: three a pixel, padded to a multiple of four.
size_t RowBytes(LONG width) {
  return (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
}

// The window's rectangle of the screen, as 24-bit rows bottom-up.
std::vector<BYTE> ReadScreen(const RECT& r, BITMAPINFOHEADER& bi) {
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SelectObject(mem, old);
  bi = {};
  bi.biSize = sizeof bi;
  bi.biWidth = w;
  bi.biHeight = h;
  bi.biPlanes = 1;
  bi.biBitCount = 24;
  bi.biCompression = BI_RGB;
  std::vector<BYTE> pixels(RowBytes(w) * static_cast<size_t>(h));
  GetDIBits(mem, bmp, 0, static_cast<UINT>(h), pixels.data(), reinterpret_cast<BITMAPINFO*>(&bi),
            DIB_RGB_COLORS);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return pixels;
}

// Whether the lower half of the picture (below any caption) shows more than
// one colour, that is whether the window's contents have reached the screen.
bool HasContents(const std::vector<BYTE>& pixels, const BITMAPINFOHEADER& bi) {
  const size_t stride = RowBytes(bi.biWidth);
  const auto pixel = [&](LONG x, LONG y) {
    return pixels.data() + stride * static_cast<size_t>(y) + 3 * static_cast<size_t>(x);
  };
  const BYTE* first = pixel(4, 4);
  for (LONG y = 4; y < bi.biHeight / 2; ++y)
    for (LONG x = 4; x < bi.biWidth - 4; ++x)
      if (std::memcmp(pixel(x, y), first, 3) != 0) return true;
  return false;
}

// Saves the window's rectangle of the screen as a 24-bit BMP file, once the
// window has painted and the picture has reached the screen. Windows of the
// program get the whole message loop meanwhile; a message box is captured from
// inside its own modal loop, where only its own messages are dispatched.
void Capture(HWND hwnd, const wchar_t* name, bool pump = true) {
  RECT r;
  BITMAPINFOHEADER bi = {};
  std::vector<BYTE> pixels;
  for (int attempt = 0; attempt < 20; ++attempt) {
    RedrawWindow(hwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
    if (pump) {
      Pump(200);
    } else {
      PumpWindow(hwnd);
      Sleep(150);
    }
    GetWindowRect(hwnd, &r);
    pixels = ReadScreen(r, bi);
    if (HasContents(pixels, bi)) break;
  }

  BITMAPFILEHEADER bf = {};
  bf.bfType = 0x4D42;
  bf.bfOffBits = sizeof bf + sizeof bi;
  bf.bfSize = bf.bfOffBits + static_cast<DWORD>(pixels.size());
  const std::wstring path = g_outDir + L"\\" + name + L".bmp";
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, &bf, sizeof bf, &written, nullptr);
  WriteFile(file, &bi, sizeof bi, &written, nullptr);
  WriteFile(file, pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
  CloseHandle(file);
}

// Runs action; the message box it shows is captured under name and answered.
void CaptureBox(const wchar_t* name, int answer, const std::function<void()>& action) {
  test::MessageBoxAnswerer answerer([name, answer](const test::SeenBox& box) {
    Capture(box.hwnd, name, false);
    return answer;
  });
  action();
  Pump();
}

// The settings the pictures show: the test key with more rules, and a
// firewall range and log settings of their own.
void PutSampleSettings(const std::string& root) {
  ServiceSettings s = test::CompleteSettings(root, root + "\\logs");
  s.HighPriority = false;
  s.LogFileCount = 5;
  s.DefaultRights = 0;
  s.HostList =
      "[192.168.10.0, 255.255.255.0, R], [10.0.0.7, 255.255.255.255, R], "
      "[10.0.0.0, 255.0.0.0, NA], [172.16.5.20, 255.255.255.255, NA]";
  s.TFTPTimeout = 3;
  s.TFTPRetr = 5;
  s.OpBlocksize = true;
  s.FWMinPort = 50000;
  s.FWMaxPort = 50100;
  s.LogLevel = 5;
  s.LocalTime = false;
  test::WriteSettingsKey(s);
}

void SelectRow(HWND grid, int row) {
  ListView_SetItemState(grid, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR cmdLine, int) {
  g_outDir = cmdLine && *cmdLine ? cmdLine : L".";
  if (g_outDir.size() > 1 && g_outDir.front() == L'"')
    g_outDir = g_outDir.substr(1, g_outDir.size() - 2);
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES |
                                              ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  RegisterFieldClasses();

  const std::string root = "C:\\TFTP";
  CreateDirectoryA(root.c_str(), nullptr);
  CreateDirectoryA((root + "\\logs").c_str(), nullptr);
  PutSampleSettings(root);

  WinRegistry registry;
  WinAnsiCodec codec;
  WindowMessageBoxes dialogs;
  MainWindow::Dependencies deps;
  deps.registry = &registry;
  deps.codec = &codec;
  deps.messageBoxes = &dialogs;
  deps.restartService = [] { return true; };
  deps.directoryExists = [](const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  };
  deps.programDirectory = "C:\\Program Files\\Ostrel TFTP Service Configuration\\";
  auto frm = MainWindow::Create(instance, deps);
  if (!frm) return 1;
  g_window = frm.get();
  auto dlg = RuleDialog::Create(instance, frm->Handle());
  frm->SetRuleDialog(dlg.get());
  Pump(500);

  // The four pages.
  const wchar_t* pageNames[] = {L"page-basic", L"page-security", L"page-firewall", L"page-logging"};
  for (int page = 0; page < kTabbedPages; ++page) {
    frm->ShowPage(page);
    if (page == kPageSecurity) SelectRow(frm->Control(IDC_RULES), 1);
    Pump();
    Capture(frm->Handle(), pageNames[page]);
  }

  // The rule dialog in both modes, opened by Edit.
  for (const auto& [row, name] :
       {std::pair{0, L"dialog-network"}, std::pair{1, L"dialog-single"}}) {
    SelectRow(frm->Control(IDC_RULES), row);
    dlg->SetOnShown([picture = name](RuleDialog& d) {
      Pump();
      Capture(d.Handle(), picture);
      PostMessageW(d.Handle(), WM_COMMAND, IDCANCEL, 0);
    });
    SendMessageW(frm->Handle(), WM_COMMAND, MAKEWPARAM(IDC_EDIT_RULE, BN_CLICKED), 0);
    Pump();
  }
  dlg->SetOnShown(nullptr);

  // Message boxes.
  CaptureBox(L"box-delete-rule", IDNO, [&] {
    SendMessageW(frm->Handle(), WM_COMMAND, MAKEWPARAM(IDC_DELETE_RULE, BN_CLICKED), 0);
  });
  frm->ShowPage(kPageBasic);
  FolderField(frm->Control(IDC_TFTP_ROOT)).SetText("C:\\missing folder");
  SendMessageW(frm->Handle(), WM_COMMAND, MAKEWPARAM(IDC_HIGH_PRIORITY, BN_CLICKED),
               reinterpret_cast<LPARAM>(frm->Control(IDC_HIGH_PRIORITY)));
  CaptureBox(L"box-check-failed", IDOK,
             [&] { SendMessageW(frm->Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); });
  FolderField(frm->Control(IDC_TFTP_ROOT)).SetText(root);
  CaptureBox(L"box-restart-question", IDCANCEL,
             [&] { SendMessageW(frm->Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); });
  CaptureBox(L"box-discard-changes", IDNO, [&] { SendMessageW(frm->Handle(), WM_CLOSE, 0, 0); });
  {
    // Yes to the restart question, then the success message.
    int n = 0;
    test::MessageBoxAnswerer answerer([&n](const test::SeenBox& box) {
      if (n++ == 1) Capture(box.hwnd, L"box-restart-succeeded", false);
      return n == 1 ? IDYES : IDOK;
    });
    SendMessageW(frm->Handle(), WM_COMMAND, MAKEWPARAM(IDC_APPLY, BN_CLICKED), 0);
    Pump();
  }
  CaptureBox(L"box-application-error", IDOK,
             [&] { dialogs.ApplicationError(frm->Handle(), "Failed to get data for 'TFTPPort'"); });
  CaptureBox(L"box-service-error", IDOK, [] {
    WinServiceUi().ShowError(
        ServiceErrorText("The specified service does not exist as an installed service"));
  });

  dlg->SetOnShown(nullptr);
  frm->SetRuleDialog(nullptr);
  dlg.reset();
  frm.reset();
  test::DeleteSettingsKey();
  return 0;
}
