#include "toolkit/layout.h"

#include <commctrl.h>

#include "platform/win32/application_error.h"
#include "platform/win32/gdi.h"

namespace tftpcfg {

namespace {

UniqueFont MakeFont(const wchar_t* face, int emHeight) {
  LOGFONTW lf = {};
  lf.lfHeight = -emHeight;
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
  return UniqueFont(CreateFontIndirectW(&lf));
}

// Whether the font the system made is the face asked for, at the character
// height asked for (a pixel either way is the rounding of a bitmap font).
bool FontIs(HFONT font, const wchar_t* face, int emHeight) {
  const ScreenDC dc;
  if (!dc) return false;
  const SelectedObject selected(dc.get(), font);
  wchar_t actual[LF_FACESIZE] = {};
  GetTextFaceW(dc.get(), LF_FACESIZE, actual);
  TEXTMETRICW tm = {};
  GetTextMetricsW(dc.get(), &tm);
  const int em = tm.tmHeight - tm.tmInternalLeading;
  return lstrcmpiW(actual, face) == 0 && em >= emHeight - 1 && em <= emHeight + 1;
}

}  // namespace

UniqueFont CreateUiFont(UINT dpi) {
  const int em = MulDiv(8, static_cast<int>(dpi), 72);
  // "MS Sans Serif" is a bitmap font with a few sizes. Where it has none of the
  // height this DPI asks for, a scalable sans serif face of that height takes
  // its place, so the text grows with the layout.
  for (const wchar_t* face : {L"MS Sans Serif", L"Microsoft Sans Serif", L"Tahoma"}) {
    UniqueFont font = MakeFont(face, em);
    if (font && FontIs(font.get(), face, em)) return font;
  }
  return MakeFont(L"MS Sans Serif", em);
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
LRESULT KeepFocusMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK KeepFocusProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR) {
  return Guarded(hwnd, 0, [&] { return KeepFocusMessage(hwnd, msg, wParam, lParam); });
}

LRESULT KeepFocusMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
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

// Only the controls of dialogs (the windows and their pages) are told: a
// control passes its font on to the windows it is built from itself.
BOOL CALLBACK SetFontProc(HWND child, LPARAM font) {
  wchar_t parentClass[16] = {};
  GetClassNameW(GetParent(child), parentClass, 16);
  if (lstrcmpW(parentClass, L"#32770") == 0)
    SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
  return TRUE;
}

}  // namespace

int CaptionWidth(HWND control) {
  wchar_t className[16] = {};
  GetClassNameW(control, className, 16);
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
  const bool label = lstrcmpiW(className, WC_STATICW) == 0 && (style & SS_TYPEMASK) == SS_LEFT;
  const DWORD kind = style & BS_TYPEMASK;
  const bool checkOrRadio =
      lstrcmpiW(className, WC_BUTTONW) == 0 &&
      (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_3STATE ||
       kind == BS_AUTO3STATE || kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON);
  if (!label && !checkOrRadio) return 0;
  if (checkOrRadio) {
    // The button's own answer covers its box, the gap and the focus frame.
    SIZE ideal{0, 0};
    if (SendMessageW(control, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)) &&
        ideal.cx > 0)
      return ideal.cx;
  }
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(control, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  const WindowDC dc(control);
  if (!dc) return 0;
  const SelectedObject selected(dc.get(),
                                reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  RECT rc{0, 0, 0, 0};
  UINT format = DT_CALCRECT | DT_SINGLELINE;
  if (label && (style & SS_NOPREFIX)) format |= DT_NOPREFIX;
  DrawTextW(dc.get(), text.c_str(), length, &rc, format);
  TEXTMETRICW tm = {};
  GetTextMetricsW(dc.get(), &tm);
  if (label) return rc.right;
  // A box as high as the text's ascent, a gap of half a character, the text
  // and its focus frame.
  return tm.tmAscent + tm.tmAveCharWidth / 2 + rc.right + 2;
}

void FitWidthToCaption(HWND control) {
  const int needed = CaptionWidth(control);
  RECT rc;
  GetWindowRect(control, &rc);
  if (needed <= rc.right - rc.left) return;
  SetWindowPos(control, nullptr, 0, 0, needed, rc.bottom - rc.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FitHeightToText(HWND label) {
  RECT client;
  GetClientRect(label, &client);
  const int length = GetWindowTextLengthW(label);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(label, text.data(), length + 1);
  RECT needed{0, 0, client.right, 0};
  {
    const WindowDC dc(label);
    if (!dc) return;
    const SelectedObject selected(dc.get(),
                                  reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    DrawTextW(dc.get(), text.c_str(), length, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  }
  RECT rc;
  GetWindowRect(label, &rc);
  if (needed.bottom <= client.bottom) return;
  SetWindowPos(label, nullptr, 0, 0, rc.right - rc.left, needed.bottom,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

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
