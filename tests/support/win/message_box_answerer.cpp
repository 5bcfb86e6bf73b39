#include "tests/support/win/message_box_answerer.h"

#include <algorithm>
#include <vector>

namespace tftpcfg::test {
namespace {

MessageBoxAnswerer* g_active = nullptr;

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

std::string TextOf(HWND hwnd) {
  wchar_t buf[4096] = {};
  GetWindowTextW(hwnd, buf, 4096);
  return Utf8(buf);
}

BOOL CALLBACK CollectButton(HWND child, LPARAM param) {
  auto* box = reinterpret_cast<SeenBox*>(param);
  wchar_t cls[32] = {};
  GetClassNameW(child, cls, 32);
  const LONG style = GetWindowLongW(child, GWL_STYLE);
  if (lstrcmpiW(cls, L"Button") == 0 && (style & WS_VISIBLE)) {
    box->buttons.push_back(TextOf(child));
    // The default button carries the default push-button style (Wine's boxes
    // answer DM_GETDEFID with IDOK whatever their buttons are).
    if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) box->defaultId = GetDlgCtrlID(child);
  }
  if (lstrcmpiW(cls, L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
    box->icon = reinterpret_cast<HICON>(  // NOLINT(performance-no-int-to-ptr)
        SendMessageW(child, STM_GETICON, 0, 0));
    box->hasIcon = box->icon != nullptr;
  }
  return TRUE;
}

// The icon's colour and mask pixels as 32-bit rows, with its size.
std::vector<DWORD> IconPixels(HICON icon, SIZE& size) {
  ICONINFO info{};
  std::vector<DWORD> pixels;
  if (!icon || !GetIconInfo(icon, &info)) return pixels;
  BITMAP bm{};
  GetObjectW(info.hbmMask, sizeof bm, &bm);
  size = {bm.bmWidth, info.hbmColor ? bm.bmHeight : bm.bmHeight / 2};
  const HDC dc = GetDC(nullptr);
  for (HBITMAP part : {info.hbmColor, info.hbmMask}) {
    if (!part) continue;
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> rows(static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy));
    GetDIBits(dc, part, 0, static_cast<UINT>(size.cy), rows.data(), &bi, DIB_RGB_COLORS);
    pixels.insert(pixels.end(), rows.begin(), rows.end());
  }
  ReleaseDC(nullptr, dc);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return pixels;
}

}  // namespace

bool SameIconImage(HICON a, HICON b) {
  SIZE sa{}, sb{};
  const std::vector<DWORD> pa = IconPixels(a, sa);
  const std::vector<DWORD> pb = IconPixels(b, sb);
  return !pa.empty() && sa.cx == sb.cx && sa.cy == sb.cy && pa == pb;
}

HICON SystemIconForDpi(const wchar_t* id, UINT dpi) {
  const int size = MulDiv(GetSystemMetrics(SM_CXICON), static_cast<int>(dpi), 96);
  using LoadIconWithScaleDownFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
  const auto scaleDown = reinterpret_cast<LoadIconWithScaleDownFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"comctl32.dll"), "LoadIconWithScaleDown")));
  HICON icon = nullptr;
  if (scaleDown) scaleDown(nullptr, id, size, size, &icon);
  return icon;
}

MessageBoxAnswerer::MessageBoxAnswerer(std::function<int(const SeenBox&)> answer)
    : answer_(std::move(answer)) {
  g_active = this;
  hook_ = SetWindowsHookExW(WH_CBT, &HookProc, nullptr, GetCurrentThreadId());
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
  if (hook_) UnhookWindowsHookEx(hook_);
  if (g_active == this) g_active = nullptr;
}

LRESULT CALLBACK MessageBoxAnswerer::HookProc(int code, WPARAM wParam, LPARAM lParam) {
  MessageBoxAnswerer* self = g_active;
  if (code == HCBT_ACTIVATE && self) {
    HWND hwnd = reinterpret_cast<HWND>(wParam);
    wchar_t cls[32] = {};
    GetClassNameW(hwnd, cls, 32);
    const bool known =
        std::find(self->boxes_.begin(), self->boxes_.end(), hwnd) != self->boxes_.end();
    if (lstrcmpW(cls, L"#32770") == 0 && !known) {
      // Wine activates a message box before its WM_INITDIALOG has set the text,
      // the icon, the buttons and the position: look at it from its own modal
      // loop instead, through a timer on the box.
      self->boxes_.push_back(hwnd);
      SetTimer(hwnd, kInspectTimer, USER_TIMER_MINIMUM, &InspectProc);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK MessageBoxAnswerer::InspectProc(HWND hwnd, UINT, UINT_PTR id, DWORD) {
  KillTimer(hwnd, id);
  MessageBoxAnswerer* self = g_active;
  if (!self) return;
  // Other dialogs (the program's own windows are dialogs too) have no message
  // text and are left alone.
  if (!GetDlgItem(hwnd, 0xFFFF)) return;
  SeenBox box;
  box.hwnd = hwnd;
  box.caption = TextOf(hwnd);
  wchar_t text[8192] = {};
  GetDlgItemTextW(hwnd, 0xFFFF, text, 8192);
  box.text = Utf8(text);
  EnumChildWindows(hwnd, &CollectButton, reinterpret_cast<LPARAM>(&box));
  if (box.defaultId == 0) {
    const LRESULT def = SendMessageW(hwnd, DM_GETDEFID, 0, 0);
    if (HIWORD(def) == DC_HASDEFID) box.defaultId = LOWORD(def);
  }
  GetWindowRect(hwnd, &box.rect);
  self->seen_.push_back(box);
  const int answer = self->answer_ ? self->answer_(self->seen_.back()) : 0;
  if (answer != 0)
    PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(hwnd, answer)));
}

}  // namespace tftpcfg::test
