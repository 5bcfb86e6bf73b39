#pragma once
// Visual styles: the theme data of a window as an owned handle, opened only
// while visual styles are on (otherwise the classic drawing is used).

#include <windows.h>
#include <uxtheme.h>

#include "base/unique_handle.h"
#include "platform/win32/system_api.h"

namespace tftpcfg {

struct ThemeTraits {
  using type = HTHEME;
  static constexpr type invalid() noexcept { return nullptr; }
  static void close(type h) noexcept { uxtheme::CloseThemeData(h); }
};
using UniqueTheme = UniqueHandle<ThemeTraits>;

// The theme data of a class list ("Edit", "Spin", "Button") for the window
// when visual styles are on for it; none otherwise.
inline UniqueTheme OpenThemeIfActive(HWND hwnd, const wchar_t* classList) {
  if (!uxtheme::IsAppThemed() || !uxtheme::IsThemeActive()) return UniqueTheme();
  return UniqueTheme(uxtheme::OpenThemeData(hwnd, classList));
}

}  // namespace tftpcfg
