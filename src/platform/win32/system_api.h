#pragma once
// The functions the program uses from system libraries outside the known ones
// (see system_library.h), with the shape of the system's own declarations. Each
// library is loaded from the system folder when one of its functions is first
// called and released when the program ends. Without the library (or the
// function) the calls answer as the system does with the feature off: no
// visual styles, so the classic drawing is used; no accessible object of the
// program's own, so a screen reader gets the system's default one.

#include <windows.h>
#include <oleacc.h>
#include <uxtheme.h>

namespace tftpcfg {

// Visual styles (uxtheme.dll).
namespace uxtheme {

BOOL IsAppThemed();
BOOL IsThemeActive();
HTHEME OpenThemeData(HWND hwnd, LPCWSTR classList);
HRESULT CloseThemeData(HTHEME theme);
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                            const RECT* clip);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state);
HRESULT DrawThemeParentBackground(HWND hwnd, HDC dc, RECT* rect);
HRESULT EnableThemeDialogTexture(HWND hwnd, DWORD flags);

}  // namespace uxtheme

// Accessible objects for screen readers (oleacc.dll).
namespace oleacc {

HRESULT CreateStdAccessibleObject(HWND hwnd, LONG objectId, REFIID riid, void** object);
LRESULT LresultFromObject(REFIID riid, WPARAM wParam, LPUNKNOWN object);

}  // namespace oleacc

}  // namespace tftpcfg
