#pragma once
// The checks before saving, in their fixed order; the first that fails ends
// them. They look at what the window's fields hold: the texts of the two
// directories and of the port, the firewall range's values and the two
// switches. Nothing is corrected.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tftpcfg {

struct SettingsCheckInput {
  std::string rootDirectory;  // the text of the root directory field
  std::string portText;       // the text of the port field, not its value
  bool firewallEnabled = false;
  int32_t firewallMinPort = 0;
  int32_t firewallMaxPort = 0;
  bool loggingEnabled = false;
  std::string logDirectory;
};

// The field a failed check points at.
enum class CheckedField { RootDirectory, Port, FirewallRange, LogDirectory };

struct CheckFailure {
  CheckedField field;
  std::string message;
  friend bool operator==(const CheckFailure&, const CheckFailure&) = default;
};

// True when the text names an existing directory.
using DirectoryExistsFn = std::function<bool(const std::string&)>;

// Nothing when every check that runs passes, else the first failure.
std::optional<CheckFailure> CheckSettings(const SettingsCheckInput& input,
                                          const DirectoryExistsFn& directoryExists);

}  // namespace tftpcfg
