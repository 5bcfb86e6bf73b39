#include "platform/win32/dpi.h"

#include "platform/win32/gdi.h"

namespace tftpcfg {
namespace {

// Functions of newer versions of Windows, looked up once.
template <typename Fn>
Fn User32Function(const char* name) {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

}  // namespace

UINT SystemDpi() {
  const ScreenDC screen;
  const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? static_cast<UINT>(dpi) : 96u;
}

UINT WindowDpi(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (getDpiForWindow != nullptr && hwnd != nullptr) {
    if (const UINT dpi = getDpiForWindow(hwnd)) return dpi;
  }
  return SystemDpi();
}

RECT ScaleRect(const DesignRect& r, UINT dpi) {
  const int x = Scale(r.x, dpi);
  const int y = Scale(r.y, dpi);
  return RECT{x, y, x + Scale(r.cx, dpi), y + Scale(r.cy, dpi)};
}

int SystemMetricForDpi(int index, UINT dpi) {
  using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
  static const auto forDpi = User32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
  if (forDpi != nullptr) return forDpi(index, dpi);
  return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

SIZE FrameSizeForDpi(SIZE client, DWORD style, DWORD exStyle, UINT dpi) {
  using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto forDpi = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
  RECT frame{0, 0, client.cx, client.cy};
  if (forDpi == nullptr || !forDpi(&frame, style, FALSE, exStyle, dpi))
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

void DisableSystemDialogScaling(HWND dialog) {
  // DDC_DISABLE_ALL: the dialog manager ignores WM_DPICHANGED and
  // WM_GETDPISCALEDSIZE for this window and its controls.
  constexpr int kDisableAll = 1;
  using SetBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
  static const auto set = User32Function<SetBehaviorFn>("SetDialogDpiChangeBehavior");
  if (set != nullptr) set(dialog, kDisableAll, kDisableAll);
}

}  // namespace tftpcfg
