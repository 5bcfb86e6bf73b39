// Shows the number field or the folder field in its three looks, normal,
// read-only (as the main window locks a field) and disabled, each with a label
// beside it placed as the main window places one, for screenshots.
//
//   fields_demo.exe number|folder [milliseconds [classic]]
//
// "classic" turns visual styles off for the program, to see the classic look
// (Windows honours it; Wine 8 keeps its theme).
// Prints "ready x y width height" (the window's screen rectangle) once it is
// drawn, and closes itself after the given time (default: when closed).

#include <windows.h>
#include <uxtheme.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "controls/folder_field.h"
#include "controls/number_field.h"
#include "platform/win32/win_handles.h"

namespace {

using tftpcfg::FolderField;
using tftpcfg::NumberField;

LRESULT CALLBACK DemoProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_TIMER:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

HWND Label(HWND parent, const wchar_t* text, int x, int y, HFONT font) {
  const HWND label = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE, x, y, 90, 13,
                                     parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return label;
}

}  // namespace

static int Run(int argc, char** argv) {
  const bool number = argc < 2 || std::strcmp(argv[1], "folder") != 0;
  const int closeAfter = argc >= 3 ? std::atoi(argv[2]) : 0;
  if (argc >= 4 && std::strcmp(argv[3], "classic") == 0) SetThemeAppProperties(0);

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DemoProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = L"FieldsDemo";
  RegisterClassExW(&wc);

  // The main window's font: MS Sans Serif, 8 point.
  const tftpcfg::UniqueFont font(CreateFontW(
      -11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS Sans Serif"));

  const int width = number ? 220 : 340;
  RECT frame{0, 0, width, 110};
  AdjustWindowRectEx(&frame, WS_CAPTION | WS_SYSMENU, FALSE, 0);
  const HWND window = CreateWindowExW(0, L"FieldsDemo", number ? L"Number field" : L"Folder field",
                                      WS_CAPTION | WS_SYSMENU, 40, 40, frame.right - frame.left,
                                      frame.bottom - frame.top, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);

  tftpcfg::RegisterFieldClasses();
  const wchar_t* labels[] = {L"Normal", L"Read-only", L"Disabled"};
  for (int row = 0; row < 3; ++row) {
    const int top = 12 + row * 32;
    // As in the main window: the label's top 4 below the field's.
    Label(window, labels[row], 12, top + 4, font.get());
    const RECT rect{104, top, number ? 169 : 304, top + 21};
    HWND field = nullptr;
    if (number) {
      const int32_t values[] = {69, 1024, 3};
      const NumberField f =
          NumberField::Create(window, 100 + row, rect, {row == 0 ? 1 : 0, 65535, values[row]});
      if (row == 1) {
        f.SetReadOnly(true);
      }
      field = f.Handle();
    } else {
      const char* texts[] = {"C:\\TFTP-Root", "C:\\Logs", "C:\\windows"};
      const FolderField f = FolderField::Create(window, 100 + row, rect);
      f.SetText(texts[row]);
      f.SetShortcut(0, 0);
      if (row == 1) {
        f.SetReadOnly(true);
        f.SetButtonVisible(false);
      }
      field = f.Handle();
    }
    SendMessageW(field, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    if (row == 2) EnableWindow(field, FALSE);
  }

  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  // Put the caret somewhere other than at a field's start, as after typing.
  const HWND firstEdit =
      reinterpret_cast<HWND>(SendMessageW(GetDlgItem(window, 100), tftpcfg::FM_GETEDIT, 0, 0));
  SetFocus(firstEdit);
  SendMessageW(firstEdit, EM_SETSEL, 0, 0);
  if (closeAfter > 0) SetTimer(window, 1, static_cast<UINT>(closeAfter), nullptr);

  bool reported = false;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    if (!reported && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      RECT rc{};
      GetWindowRect(window, &rc);
      std::printf("ready %ld %ld %ld %ld\n", rc.left, rc.top, rc.right - rc.left,
                  rc.bottom - rc.top);
      std::fflush(stdout);
      reported = true;
    }
  }
  return 0;
}

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "fields_demo: %s\n", e.what());
    return 1;
  }
}
