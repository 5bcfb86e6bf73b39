#pragma once
// Moves the service settings between memory and the registry key
// HKEY_LOCAL_MACHINE\SOFTWARE\Ostrel\TFTPService. Each call opens the key, does
// its work and closes it again on every path.

#include <cstdint>
#include <span>

#include "config/service_settings.h"
#include "platform/ansi_codec.h"
#include "platform/app_error.h"
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
std::span<const StoredValue> StoredValues();

// Reads the eighteen values in their order into settings. A missing key leaves
// settings as they were and reports nothing. A value that cannot be read raises
// AppError with the store's message; the fields read before it hold the stored
// values, the failing one and all later ones keep what they held.
void LoadSettings(IRegistry& registry, const IAnsiCodec& codec, ServiceSettings& settings);

// Writes all eighteen values in their order, creating the key when missing.
// Raises AppError, before writing anything, when a text cannot be represented in
// the ANSI code page or the key can neither be opened nor created; raises
// "Failed to set data for '<name>'" when the registry refuses a value (the
// values before it stay written).
void SaveSettings(IRegistry& registry, const IAnsiCodec& codec, const ServiceSettings& settings);

}  // namespace tftpcfg
