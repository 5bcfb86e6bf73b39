#include "ui/main_window_tables.h"

#include <commctrl.h>

#include <array>
#include <string_view>

#include "config/access_rights.h"

namespace tftpcfg {
namespace {

constexpr GridColumn kRuleColumns[] = {{"Hosts / Networks ", 196}, {"Access Rights", 87}};

// Basic Options (tsBasic)
constexpr ControlRow kBasicPage[] = {
    Label("ElLabel1", {16, 28, 101, 13}, "TFTP Root Directory:"),
    FolderFieldRow("elTFTPRoot", IDC_TFTP_ROOT, {128, 24, 200, 21}, "Select Folder",
                   "Please select the folder to be used for TFTP transfers:"),
    Label("ElLabel2", {16, 60, 86, 13}, "TFTP Server Port:"),
    NumberFieldRow("seTFTPPort", IDC_TFTP_PORT, {128, 56, 65, 21}, kPortRange),
    Label("ElLabel8", {200, 60, 62, 13}, "(default = 69)"),
    Label("ElLabel10", {16, 96, 80, 13}, "Request timeout:"),
    NumberFieldRow("seTimeout", IDC_TIMEOUT, {128, 92, 65, 21}, kTimeoutRange),
    Label("ElLabel11", {200, 96, 40, 13}, "seconds"),
    Label("ElLabel12", {16, 132, 36, 13}, "Retries:"),
    NumberFieldRow("seRetries", IDC_RETRIES, {128, 128, 65, 21}, kRetriesRange),
    CheckBox("cbHighPriority", IDC_HIGH_PRIORITY, {16, 160, 102, 17}, "High priority level"),
    // Never shown or enabled, and no part of loading or saving.
    CheckBox("cbAllowOverwrite", IDC_ALLOW_OVERWRITE, {168, 160, 160, 17},
             "Allow overwriting existing files", 0, kHidden | kDisabled),
    GroupBox("ElGroupBox2", IDC_TFTP_OPTIONS, {16, 188, 313, 45}, "Accept TFTP options:"),
    CheckBox("cbOpTimeout", IDC_OPTION_TIMEOUT, {20, 18, 56, 17}, "timeout", IDC_TFTP_OPTIONS),
    CheckBox("cbOpBlocksize", IDC_OPTION_BLOCKSIZE, {132, 18, 66, 17}, "blocksize",
             IDC_TFTP_OPTIONS),
    CheckBox("cbOpTSize", IDC_OPTION_TSIZE, {243, 18, 43, 17}, "tsize", IDC_TFTP_OPTIONS),
};

// Security (tsSecurity): "Clients will have [right] access by default, except
// the following IP addresses:"
constexpr ControlRow kSecurityPage[] = {
    Label("ElLabel5", {8, 21, 75, 13}, "Clients will have"),
    DropDownList("cbDefaultAccess", IDC_DEFAULT_ACCESS, {96, 17, 145, 21}, kAccessLevelTexts),
    Label("ElLabel6", {248, 21, 86, 13}, "access by default,"),
    Label("ElLabel7", {8, 45, 161, 13}, "except the following IP addresses:"),
    RuleGridRow("tsgHosts", IDC_RULES, {8, 65, 324, 136}, kRuleColumns),
    PushButton("sbAdd", IDC_ADD_RULE, {139, 210, 57, 25}, "&Add"),
    PushButton("sbEdit", IDC_EDIT_RULE, {207, 210, 57, 25}, "&Edit"),
    PushButton("sbDelete", IDC_DELETE_RULE, {275, 210, 57, 25}, "&Delete"),
};

// Firewall (ElTabSheet1)
constexpr ControlRow kFirewallPage[] = {
    WrappedLabel("ElLabel13", {12, 16, 261, 52},
                 "Ostrel TFTP Service can be used behind the firewall so that you can restrict  "
                 "UDP ports' range used to organize data transfer. It allows network "
                 "administrators to define firewall rules permitting traffic to TFTP server."),
    CheckBox("cbFWEnabled", IDC_FIREWALL, {12, 84, 128, 17}, "Enable firewall support"),
    Label("ElLabel14", {24, 120, 96, 13}, "Use port range from:"),
    NumberFieldRow("seFWMinPort", IDC_FIREWALL_MIN_PORT, {136, 116, 65, 21}, kFirewallPortRange),
    Label("ElLabel15", {216, 120, 16, 13}, "To:"),
    NumberFieldRow("seFWMaxPort", IDC_FIREWALL_MAX_PORT, {244, 116, 65, 21}, kFirewallPortRange),
};

// Logging (ElTabSheet2): everything inside one group box. The time stamps are
// a group of two radio buttons in two columns, each half the frame's inner width.
constexpr ControlRow kLoggingPage[] = {
    GroupBox("ElGroupBox1", IDC_LOGGING, {12, 11, 321, 226}, "Logging parameters "),
    CheckBox("cbWriteLog", IDC_WRITE_LOG, {16, 24, 96, 17}, "Enable Logging", IDC_LOGGING),
    Label("ElLabel3", {16, 56, 84, 13}, "Logfiles Directory:", IDC_LOGGING),
    FolderFieldRow("elLogDir", IDC_LOG_DIRECTORY, {120, 52, 185, 21}, "", "", IDC_LOGGING),
    Label("ElLabel4", {16, 88, 70, 13}, "Logfiles Count:", IDC_LOGGING),
    NumberFieldRow("elLogCount", IDC_LOG_COUNT, {120, 84, 65, 21}, kLogCountRange, IDC_LOGGING),
    Label("ElLabel9", {16, 120, 66, 13}, "Logging level:", IDC_LOGGING),
    DropDownList("cbLoggingLevel", IDC_LOG_LEVEL, {120, 116, 185, 21}, kLogLevelTexts, IDC_LOGGING),
    GroupBox("rgTimestamps", IDC_TIMESTAMPS, {12, 152, 293, 61}, "Timestamps:", IDC_LOGGING),
    RadioButton("rgTimestamps[0]", IDC_UTC_TIMESTAMPS, {8, 26, 134, 17}, "UTC Timestamps",
                IDC_TIMESTAMPS, kFirstInGroup),
    RadioButton("rgTimestamps[1]", IDC_LOCAL_TIMESTAMPS, {146, 26, 134, 17}, "Local timestamps",
                IDC_TIMESTAMPS),
};

constexpr PageTable kPages[kPageCount] = {
    {"tsBasic", "Basic Options", kBasicPage},
    {"tsSecurity", "Security", kSecurityPage},
    {"ElTabSheet1", "Firewall", kFirewallPage},
    {"ElTabSheet2", "Logging", kLoggingPage},
    {"tsMulticasts", nullptr, {}},  // exists, holds no controls, has no tab
};

// The button strip (ElPanel1). OK is the default button.
constexpr ControlRow kButtonStrip[] = {
    PushButton("btnOk", IDOK, {103, 8, 75, 25}, "OK", true),
    PushButton("btnCancel", IDCANCEL, {187, 8, 75, 25}, "Cancel"),
    PushButton("btnApply", IDC_APPLY, {272, 8, 75, 25}, "&Apply"),
};

constexpr SettingBinding Text(int id, std::string ServiceSettings::*m) {
  return {id, Conversion::Text, m, nullptr, nullptr};
}
constexpr SettingBinding Number(int id, int32_t ServiceSettings::*m,
                                Conversion conversion = Conversion::Number) {
  return {id, conversion, nullptr, m, nullptr};
}
constexpr SettingBinding Flag(int id, bool ServiceSettings::*m,
                              Conversion conversion = Conversion::Check) {
  return {id, conversion, nullptr, nullptr, m};
}

constexpr SettingBinding kBindings[] = {
    Text(IDC_TFTP_ROOT, &ServiceSettings::TFTPRoot),
    Number(IDC_TFTP_PORT, &ServiceSettings::TFTPPort),
    Flag(IDC_WRITE_LOG, &ServiceSettings::WriteLog),
    Flag(IDC_HIGH_PRIORITY, &ServiceSettings::HighPriority),
    Text(IDC_LOG_DIRECTORY, &ServiceSettings::LogDirectory),
    Number(IDC_LOG_COUNT, &ServiceSettings::LogFileCount),
    Number(IDC_DEFAULT_ACCESS, &ServiceSettings::DefaultRights, Conversion::ListIndex),
    {IDC_RULES, Conversion::RuleList, &ServiceSettings::HostList, nullptr, nullptr},
    Number(IDC_TIMEOUT, &ServiceSettings::TFTPTimeout),
    Number(IDC_RETRIES, &ServiceSettings::TFTPRetr),
    Flag(IDC_OPTION_TIMEOUT, &ServiceSettings::OpTimeout),
    Flag(IDC_OPTION_BLOCKSIZE, &ServiceSettings::OpBlocksize),
    Flag(IDC_OPTION_TSIZE, &ServiceSettings::OpTSize),
    Flag(IDC_FIREWALL, &ServiceSettings::FWEnabled),
    Number(IDC_FIREWALL_MIN_PORT, &ServiceSettings::FWMinPort),
    Number(IDC_FIREWALL_MAX_PORT, &ServiceSettings::FWMaxPort),
    Number(IDC_LOG_LEVEL, &ServiceSettings::LogLevel, Conversion::ListIndex),
    Flag(IDC_UTC_TIMESTAMPS, &ServiceSettings::LocalTime, Conversion::RadioIndex),
};

}  // namespace

std::span<const PageTable> MainWindowPages() {
  return kPages;
}

std::span<const ControlRow> ButtonStripTable() {
  return kButtonStrip;
}

std::span<const SettingBinding> SettingBindings() {
  return kBindings;
}

}  // namespace tftpcfg
