#include "ui/layout.h"

#include <commctrl.h>

namespace tftpcfg {

RECT ScaleRect(const DesignRect& r, UINT dpi) {
  const int x = Scale(r.x, dpi);
  const int y = Scale(r.y, dpi);
  return RECT{x, y, x + Scale(r.cx, dpi), y + Scale(r.cy, dpi)};
}

UniqueFont CreateUiFont(UINT dpi) {
  LOGFONTW lf = {};
  lf.lfHeight = -MulDiv(8, static_cast<int>(dpi), 72);
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lstrcpyW(lf.lfFaceName, L"MS Sans Serif");
  return UniqueFont(CreateFontIndirectW(&lf));
}

DialogTemplate::DialogTemplate(DWORD style, DWORD exStyle, const std::wstring& title) {
  words_.resize(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
  auto* t = reinterpret_cast<DLGTEMPLATE*>(words_.data());
  t->style = style;
  t->dwExtendedStyle = exStyle;
  t->cdit = 0;
  t->x = t->y = 0;
  t->cx = 100;
  t->cy = 100;
  words_.push_back(0);  // no menu
  words_.push_back(0);  // the standard dialog class
  for (wchar_t c : title) words_.push_back(static_cast<WORD>(c));
  words_.push_back(0);
}

HWND CreateControl(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style,
                   DWORD exStyle, int id, const DesignRect& r, UINT dpi) {
  const RECT rc = ScaleRect(r, dpi);
  return CreateWindowExW(
      exStyle, className, text.c_str(), style | WS_CHILD, rc.left, rc.top, rc.right - rc.left,
      rc.bottom - rc.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
}

namespace {

constexpr UINT_PTR kKeepFocusSubclass = 0x4B46;

bool PointInClient(HWND hwnd, LPARAM lParam) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  const POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  return PtInRect(&rc, pt) != FALSE;
}

constexpr wchar_t kPressedProp[] = L"tftpcfg.KeepFocus.Pressed";

bool Pressed(HWND hwnd) {
  return GetPropW(hwnd, kPressedProp) != nullptr;
}
void SetPressed(HWND hwnd, bool on) {
  if (on)
    SetPropW(hwnd, kPressedProp, reinterpret_cast<HANDLE>(1));
  else
    RemovePropW(hwnd, kPressedProp);
}

// Tracks a mouse click on a push button the way the button itself does, but
// without taking the focus: pressed look while the pointer is over it, a click
// notification when the button is released over it.
LRESULT CALLBACK KeepFocusProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!IsWindowEnabled(hwnd)) break;
      SetPressed(hwnd, true);
      SetCapture(hwnd);
      SendMessageW(hwnd, BM_SETSTATE, TRUE, 0);
      return 0;
    case WM_MOUSEMOVE:
      if (Pressed(hwnd) && GetCapture() == hwnd) {
        SendMessageW(hwnd, BM_SETSTATE, PointInClient(hwnd, lParam), 0);
        return 0;
      }
      break;
    case WM_LBUTTONUP:
      if (Pressed(hwnd)) {
        SetPressed(hwnd, false);
        const bool inside = PointInClient(hwnd, lParam);
        ReleaseCapture();
        SendMessageW(hwnd, BM_SETSTATE, FALSE, 0);
        if (inside)
          SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                       reinterpret_cast<LPARAM>(hwnd));
        return 0;
      }
      break;
    case WM_CAPTURECHANGED:
      if (Pressed(hwnd) && reinterpret_cast<HWND>(lParam) != hwnd) {
        SetPressed(hwnd, false);
        SendMessageW(hwnd, BM_SETSTATE, FALSE, 0);
      }
      break;
    case WM_NCDESTROY:
      SetPressed(hwnd, false);
      RemoveWindowSubclass(hwnd, &KeepFocusProc, kKeepFocusSubclass);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

BOOL CALLBACK SetFontProc(HWND child, LPARAM font) {
  SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
  return TRUE;
}

}  // namespace

void KeepFocusOnClick(HWND button) {
  SetWindowSubclass(button, &KeepFocusProc, kKeepFocusSubclass, 0);
}

void SetFontRecursive(HWND hwnd, HFONT font) {
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  EnumChildWindows(hwnd, &SetFontProc, reinterpret_cast<LPARAM>(font));
}

void CentreOnScreen(HWND hwnd) {
  RECT rc;
  GetWindowRect(hwnd, &rc);
  MONITORINFO mi = {};
  mi.cbSize = sizeof mi;
  GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY), &mi);
  const RECT& wa = mi.rcWork;
  const int w = rc.right - rc.left;
  const int h = rc.bottom - rc.top;
  SetWindowPos(hwnd, nullptr, wa.left + (wa.right - wa.left - w) / 2,
               wa.top + (wa.bottom - wa.top - h) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace tftpcfg
