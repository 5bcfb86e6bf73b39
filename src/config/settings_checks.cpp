#include "config/settings_checks.h"

#include "base/int_text.h"

namespace tftpcfg {

std::optional<CheckFailure> CheckSettings(const SettingsCheckInput& in,
                                          const DirectoryExistsFn& directoryExists) {
  if (!directoryExists(in.rootDirectory))
    return CheckFailure{CheckedField::RootDirectory, "Specified TFTP Root Directory is not valid."};
  const std::optional<int32_t> port = ParseInteger(in.portText);
  if (!port) return CheckFailure{CheckedField::Port, "Please specify a valid TFTP Server Port."};
  if (*port < 1 || *port > 65535)
    return CheckFailure{CheckedField::Port,
                        "TFTP Server Port is not valid. Valid range is 1 to 65535."};
  if (in.firewallEnabled) {
    const int32_t low = in.firewallMinPort;
    const int32_t high = in.firewallMaxPort;
    // The lowest port the range may use does not appear in the message.
    if (low < 1024 || high < 1024 || low > high)
      return CheckFailure{CheckedField::FirewallRange, "Range [" + std::to_string(low) + ".." +
                                                           std::to_string(high) +
                                                           "] is not a valid port range!"};
  }
  if (in.loggingEnabled && !directoryExists(in.logDirectory))
    return CheckFailure{CheckedField::LogDirectory, "Specified Logfiles Directory is not valid."};
  return std::nullopt;
}

}  // namespace tftpcfg
