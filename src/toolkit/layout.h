#pragma once
// Layout helpers of the windows: the font at a DPI, captions that make room
// for their text, and a window centred on its monitor. Positions are 96-DPI
// design units scaled to the window's DPI (platform/win32/dpi.h).

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/dpi.h"
#include "platform/win32/win_handles.h"

namespace tftpcfg {

// The font of the windows: "MS Sans Serif", 8 point, at the given DPI.
UniqueFont CreateUiFont(UINT dpi);

// Push buttons keep the keyboard focus where it was when they are clicked with
// the mouse: a click on OK does not make a number field tidy up its text. Tab
// still reaches them, and Space and Enter work as usual when they have focus.
void KeepFocusOnClick(HWND button);

// The width in pixels that a label, check box or radio button needs to show its
// whole caption on one line in its current font; 0 for any other window.
int CaptionWidth(HWND control);

// Widens a label, check box or radio button whose caption its width would cut
// off or wrap (a font that grows faster than the DPI); never narrows one.
void FitWidthToCaption(HWND control);

// Makes a label whose text wraps over several lines tall enough for all of
// them at its width; never shrinks it.
void FitHeightToText(HWND label);

// Sets the font of a window and all its descendants.
void SetFontRecursive(HWND hwnd, HFONT font);

// Places a top-level window in the middle of the work area of its monitor.
void CentreOnScreen(HWND hwnd);

}  // namespace tftpcfg
