#pragma once
// Control identifiers of the main window and the rule dialog.

#include <windows.h>

namespace tftpcfg {

// The main window: the page control, the controls of its pages and the
// button strip below them.
enum MainWindowControlId : int {
  IDC_APPLY = 1000,
  IDC_PAGES,
  // Basic Options
  IDC_TFTP_ROOT,
  IDC_TFTP_PORT,
  IDC_TIMEOUT,
  IDC_RETRIES,
  IDC_HIGH_PRIORITY,
  IDC_ALLOW_OVERWRITE,
  IDC_TFTP_OPTIONS,
  IDC_OPTION_TIMEOUT,
  IDC_OPTION_BLOCKSIZE,
  IDC_OPTION_TSIZE,
  // Security
  IDC_DEFAULT_ACCESS,
  IDC_RULES,
  IDC_ADD_RULE,
  IDC_EDIT_RULE,
  IDC_DELETE_RULE,
  // Firewall
  IDC_FIREWALL,
  IDC_FIREWALL_MIN_PORT,
  IDC_FIREWALL_MAX_PORT,
  // Logging
  IDC_LOGGING,
  IDC_WRITE_LOG,
  IDC_LOG_DIRECTORY,
  IDC_LOG_COUNT,
  IDC_LOG_LEVEL,
  IDC_TIMESTAMPS,
  IDC_UTC_TIMESTAMPS,
  IDC_LOCAL_TIMESTAMPS,
  // Labels, which nothing refers to, count up from here.
  IDC_FIRST_LABEL = 1100,
};
// OK and Cancel of the button strip are IDOK and IDCANCEL.

// The rule dialog; its OK and Cancel are IDOK and IDCANCEL.
enum RuleDialogControlId : int {
  IDC_RULE_GROUP = 2000,
  IDC_ACCESS,
  IDC_SINGLE_HOST,
  IDC_NETWORK,
  IDC_ADDRESS_LABEL,
  IDC_ADDRESS,
  IDC_MASK_LABEL,
  IDC_MASK,
  IDC_RULE_FIRST_LABEL = 2100,
};

// Pages of the main window, by their position in the page control.
enum MainPage : int {
  kPageBasic = 0,       // tsBasic
  kPageSecurity = 1,    // tsSecurity
  kPageFirewall = 2,    // ElTabSheet1
  kPageLogging = 3,     // ElTabSheet2
  kPageMulticasts = 4,  // tsMulticasts: exists, has no tab, never shown
  kPageCount = 5,
};
inline constexpr int kTabbedPages = 4;

}  // namespace tftpcfg
