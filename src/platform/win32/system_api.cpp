#include "platform/win32/system_api.h"

#include "platform/win32/system_library.h"

namespace tftpcfg {
namespace {

// The function's answer, or `absent` when the function is missing.
template <typename R, typename Fn, typename... Args>
R CallOr(R absent, Fn fn, Args... args) {
  return fn ? fn(args...) : absent;
}

HRESULT Unavailable() {
  return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
}

// A member holding the export of the same name from the member `library`,
// typed after the system's declaration. (The argument is a name, not an
// expression: it cannot be parenthesised.)
#define TFTPCFG_SYSTEM_FUNCTION(name) \
  const decltype(&::name) name = library.Find<decltype(&::name)>(#name)  // NOLINT

struct ThemeFunctions {
  const SystemLibrary library{"uxtheme.dll"};
  TFTPCFG_SYSTEM_FUNCTION(IsAppThemed);
  TFTPCFG_SYSTEM_FUNCTION(IsThemeActive);
  TFTPCFG_SYSTEM_FUNCTION(OpenThemeData);
  TFTPCFG_SYSTEM_FUNCTION(CloseThemeData);
  TFTPCFG_SYSTEM_FUNCTION(DrawThemeBackground);
  TFTPCFG_SYSTEM_FUNCTION(IsThemeBackgroundPartiallyTransparent);
  TFTPCFG_SYSTEM_FUNCTION(DrawThemeParentBackground);
  TFTPCFG_SYSTEM_FUNCTION(EnableThemeDialogTexture);
};

struct AccessibilityFunctions {
  const SystemLibrary library{"oleacc.dll"};
  TFTPCFG_SYSTEM_FUNCTION(CreateStdAccessibleObject);
  TFTPCFG_SYSTEM_FUNCTION(LresultFromObject);
};

#undef TFTPCFG_SYSTEM_FUNCTION

// Each library is loaded on the first call of one of its functions, once, and
// released when the program ends.
const ThemeFunctions& Theme() {
  static const ThemeFunctions functions;
  return functions;
}

const AccessibilityFunctions& Accessibility() {
  static const AccessibilityFunctions functions;
  return functions;
}

}  // namespace

namespace uxtheme {

BOOL IsAppThemed() {
  return CallOr<BOOL>(FALSE, Theme().IsAppThemed);
}

BOOL IsThemeActive() {
  return CallOr<BOOL>(FALSE, Theme().IsThemeActive);
}

HTHEME OpenThemeData(HWND hwnd, LPCWSTR classList) {
  return CallOr<HTHEME>(nullptr, Theme().OpenThemeData, hwnd, classList);
}

HRESULT CloseThemeData(HTHEME theme) {
  return CallOr(Unavailable(), Theme().CloseThemeData, theme);
}

HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                            const RECT* clip) {
  return CallOr(Unavailable(), Theme().DrawThemeBackground, theme, dc, part, state, rect, clip);
}

BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state) {
  return CallOr<BOOL>(FALSE, Theme().IsThemeBackgroundPartiallyTransparent, theme, part, state);
}

HRESULT DrawThemeParentBackground(HWND hwnd, HDC dc, RECT* rect) {
  return CallOr(Unavailable(), Theme().DrawThemeParentBackground, hwnd, dc, rect);
}

HRESULT EnableThemeDialogTexture(HWND hwnd, DWORD flags) {
  return CallOr(Unavailable(), Theme().EnableThemeDialogTexture, hwnd, flags);
}

}  // namespace uxtheme

namespace oleacc {

HRESULT CreateStdAccessibleObject(HWND hwnd, LONG objectId, REFIID riid, void** object) {
  if (const auto create = Accessibility().CreateStdAccessibleObject)
    return create(hwnd, objectId, riid, object);
  if (object) *object = nullptr;
  return Unavailable();
}

LRESULT LresultFromObject(REFIID riid, WPARAM wParam, LPUNKNOWN object) {
  return CallOr<LRESULT>(Unavailable(), Accessibility().LresultFromObject, riid, wParam, object);
}

}  // namespace oleacc

}  // namespace tftpcfg
