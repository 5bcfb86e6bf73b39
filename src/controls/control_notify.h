#pragma once
// Notification codes the input fields send to their parent for the user's
// actions, as WM_COMMAND(MAKEWPARAM(id, code), (LPARAM)fieldHwnd). Setting a
// field's value by program sends none of them.

#include <windows.h>

namespace tftpcfg {

inline constexpr WORD kNotifyChange = 0x4001;     // the user changed the field (OnChange)
inline constexpr WORD kNotifyUpClick = 0x4002;    // the user stepped a number up (OnUpClick)
inline constexpr WORD kNotifyDownClick = 0x4003;  // the user stepped a number down (OnDownClick)

}  // namespace tftpcfg
