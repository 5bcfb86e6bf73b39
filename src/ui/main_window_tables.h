#pragma once
// The main window described by data: a table of controls per page and one for
// the button strip (control_table.h), and the table that binds each settings
// value to the control that shows it.

#include <span>

#include "config/service_settings.h"
#include "platform/win32/dpi.h"
#include "ui/control_ids.h"
#include "toolkit/control_table.h"

namespace tftpcfg {

// The window in 96-DPI units: a client area of 348 x 312 inside an inner
// margin of 6, the page control above the button strip.
inline constexpr int kMainMargin = 6;
inline constexpr int kMainClientWidth = 348;
inline constexpr int kMainClientHeight = 312;
inline constexpr DesignRect kPageControlRect{kMainMargin, kMainMargin, 348, 271};
inline constexpr DesignRect kButtonStripOrigin{kMainMargin, kMainMargin + 271, 0, 0};

struct PageTable {
  const char* name;     // tsBasic, ...
  const char* caption;  // the tab's text; null for a page without a tab
  std::span<const ControlRow> controls;
};

// The pages in the page control's order (MainPage).
std::span<const PageTable> MainWindowPages();
// The button strip (ElPanel1), below the page control at kButtonStripOrigin.
std::span<const ControlRow> ButtonStripTable();

// How a settings value and its control correspond.
enum class Conversion {
  Text,        // a folder field's text, unchanged
  Number,      // a number field's value (shown clamped into its range)
  Check,       // a check box's tick
  ListIndex,   // a drop-down list's item index, -1 for none
  RadioIndex,  // true exactly when the second of the two radio buttons is selected
  RuleList,    // the rule grid's rules, encoded as the "HostList" text
};

struct SettingBinding {
  int controlId = 0;
  Conversion conversion = Conversion::Text;
  std::string ServiceSettings::*text = nullptr;
  int32_t ServiceSettings::*number = nullptr;
  bool ServiceSettings::*flag = nullptr;
};

// One row per settings value, in the record's order.
std::span<const SettingBinding> SettingBindings();

}  // namespace tftpcfg
