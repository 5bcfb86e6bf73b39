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

}  // namespace tftpcfg
