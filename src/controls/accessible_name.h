#pragma once
// Accessible names of windows, for screen readers. Where the system offers
// its annotation service (IAccPropServices), the name is given to the
// window's client object there, so that UI Automation and its proxies for
// the standard controls read it too. Where it does not (or refuses), the
// window answers the accessibility query for its client object itself, with
// the system's own object whose name (and, if given, description) is
// replaced; role, state, value and the rest stay the system's.

#include <windows.h>
#include <oleacc.h>

#include <string>

namespace tftpcfg {

// Gives hwnd the accessible name and description; a later call replaces
// them. The window keeps them until it is destroyed, when its annotations
// are cleared. Uses the system's annotation service when COM is initialised
// on the thread; a window named through it must be destroyed before COM is
// shut down there.
void SetAccessibleName(HWND hwnd, const std::wstring& name, const std::wstring& description = L"");

// The same through the given annotation service; null names the window
// through its own answer alone.
void SetAccessibleName(HWND hwnd, const std::wstring& name, const std::wstring& description,
                       IAccPropServices* services);

}  // namespace tftpcfg
