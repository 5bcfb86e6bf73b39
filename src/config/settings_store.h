#pragma once
// Moves the service settings between memory and the registry key
// HKEY_LOCAL_MACHINE\SOFTWARE\Ostrel\TFTPService. Each call opens the key, does
// its work and closes it again on every path.

#include <bitset>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "config/service_settings.h"
#include "platform/ansi_codec.h"
#include "base/app_error.h"
#include "platform/registry.h"

namespace tftpcfg {

// Raised by LoadSettings when the key exists but cannot be opened (access
// denied, for instance). The settings are then untouched, as with a missing key,
// but the user must be told that what the window shows is not what is stored.
class SettingsKeyError : public AppError {
 public:
  using AppError::AppError;
};

// The key's values, in the order of reads and writes, each with the registry
// type it is written as (kRegSz or kRegDword).
struct StoredValue {
  const char* name;
  uint32_t type;
};
inline constexpr size_t kStoredValueCount = 18;
std::span<const StoredValue> StoredValues();

// A set of the key's values, by their place in StoredValues() (which is also
// the order of the fields of ServiceSettings).
using StoredValueSet = std::bitset<kStoredValueCount>;

// What a load could not read.
struct LoadOutcome {
  // One message per value that could not be read, in the order of reading.
  std::vector<std::string> failures;
  // Values that are in the key but could not be read or shown (wrong type,
  // data too long, a failed query, a logging level out of range). Their fields
  // kept what they held, so a save must leave them as stored. A missing value
  // is not among them: nothing stored is lost by writing it.
  StoredValueSet unread;

  bool Failed() const { return !failures.empty(); }
  // The failures' messages, one per line.
  std::string Message() const;
};

// Reads the eighteen values in their order into settings. A missing key leaves
// settings as they were and reports nothing; a key that exists but cannot be
// opened raises SettingsKeyError. A value that cannot be read does not end the
// load: its field keeps what it held, its message is added to the outcome, and
// the load goes on with the next value. DefaultRights that cannot be read
// becomes No Access without a message.
LoadOutcome LoadSettings(IRegistry& registry, const IAnsiCodec& codec, ServiceSettings& settings);

// Writes the values in their order, creating the key when missing, all but
// those in `keep`, which stay as stored. Raises AppError, before writing
// anything, when a text to be written cannot be represented in the ANSI code
// page or the key can neither be opened nor created; raises "Failed to set data
// for '<name>'" when the registry refuses a value (the values before it stay
// written).
void SaveSettings(IRegistry& registry, const IAnsiCodec& codec, const ServiceSettings& settings,
                  const StoredValueSet& keep = {});

}  // namespace tftpcfg
