#pragma once
// Dots per inch: the DPI of a window, lengths given in 96-DPI design units
// scaled to it, and the system metrics at it. Every window and control of the
// program takes its sizes from here.

#include <windows.h>

namespace tftpcfg {

// Sent to child windows after their parent moved to a monitor of another DPI
// (declared by the headers only for newer Windows versions than we target).
inline constexpr UINT kWmDpiChangedAfterParent = 0x02E3;

// The system's DPI, and a window's (GetDpiForWindow where the system has it).
UINT SystemDpi();
UINT WindowDpi(HWND hwnd);

// A DPI from outside (a message) pulled into the range the program lays out
// for: 0 and absurd values cannot divide by zero or make giant fonts.
inline constexpr UINT kMinDpi = 48;
inline constexpr UINT kMaxDpi = 960;
inline UINT ClampDpi(UINT dpi) {
  return dpi < kMinDpi ? kMinDpi : (dpi > kMaxDpi ? kMaxDpi : dpi);
}

inline int Scale(int length96, UINT dpi) {
  return MulDiv(length96, static_cast<int>(dpi), 96);
}

// A rectangle in design units, as x, y, width, height.
struct DesignRect {
  int x = 0, y = 0, cx = 0, cy = 0;
};
RECT ScaleRect(const DesignRect& r, UINT dpi);

// A system metric (SM_CXICON, SM_CXVSCROLL, ...) at the given DPI.
int SystemMetricForDpi(int index, UINT dpi);

// The outer size of a window with this style whose client area is `client`,
// with the caption and borders it has at `dpi` (AdjustWindowRectExForDpi
// where the system has it; before that, every window has the system's DPI).
SIZE FrameSizeForDpi(SIZE client, DWORD style, DWORD exStyle, UINT dpi);

// Turns off the dialog manager's own reaction to a DPI change for a
// dialog-class window (Windows 10 1703 and later): the program lays the
// window out and sets its fonts itself, so the system must neither rescale it
// nor reset its controls' fonts.
void DisableSystemDialogScaling(HWND dialog);

}  // namespace tftpcfg
