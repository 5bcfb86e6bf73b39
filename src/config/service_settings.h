#pragma once
// The in-memory image of the TFTP service's registry settings, one field per
// registry value, named after the value.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/int_text.h"

namespace tftpcfg {

inline constexpr std::string_view kSettingsKeyPath = "SOFTWARE\\Ostrel\\TFTPService";

struct ServiceSettings {
  std::string TFTPRoot;
  int32_t TFTPPort = 0;
  bool WriteLog = false;
  bool HighPriority = false;
  std::string LogDirectory;
  int32_t LogFileCount = 0;
  int32_t DefaultRights = -1;  // a AccessLevel, or -1 when no item is selected
  std::string HostList;        // the encoded rule list
  int32_t TFTPTimeout = 0;
  int32_t TFTPRetr = 0;
  bool OpTimeout = false;
  bool OpBlocksize = false;
  bool OpTSize = false;
  bool FWEnabled = false;
  int32_t FWMinPort = 0;
  int32_t FWMaxPort = 0;
  int32_t LogLevel = -1;  // index into kLogLevelTexts, -1 when none is selected
  bool LocalTime = false;

  friend bool operator==(const ServiceSettings&, const ServiceSettings&) = default;
};

// Logging levels in the order of their index (the syslog severity numbers).
inline constexpr std::array<std::string_view, 8> kLogLevelTexts = {
    "Emergency", "Alert", "Critical", "Error", "Warning", "Notice (default)", "Info", "Debug"};

// What the window shows before any stored setting is loaded, and what it keeps
// when the settings key does not exist.
ServiceSettings InitialSettings();

// Ranges that the window's number fields offer.
inline constexpr IntRange kPortRange{1, 65535};
inline constexpr IntRange kTimeoutRange{1, 180};
inline constexpr IntRange kRetriesRange{1, 100};
inline constexpr IntRange kFirewallPortRange{0, 65535};
inline constexpr IntRange kLogCountRange{0, 65535};

}  // namespace tftpcfg
