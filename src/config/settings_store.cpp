#include "config/settings_store.h"

#include <array>
#include <optional>
#include <string>

#include "config/access_rights.h"

namespace tftpcfg {
namespace {

enum class Kind { Text, Integer, Boolean, AccessRight, LogLevel };

// One registry value and the field that holds it.
struct ValueMapping {
  const char* name = nullptr;
  Kind kind = Kind::Text;
  std::string ServiceSettings::*text = nullptr;
  int32_t ServiceSettings::*integer = nullptr;
  bool ServiceSettings::*boolean = nullptr;
};

constexpr ValueMapping Text(const char* name, std::string ServiceSettings::*m) {
  return {name, Kind::Text, m, nullptr, nullptr};
}
constexpr ValueMapping Int(const char* name, int32_t ServiceSettings::*m,
                           Kind kind = Kind::Integer) {
  return {name, kind, nullptr, m, nullptr};
}
constexpr ValueMapping Bool(const char* name, bool ServiceSettings::*m) {
  return {name, Kind::Boolean, nullptr, nullptr, m};
}

// The order of reads and writes; a failed load has filled the rows above it.
constexpr std::array<ValueMapping, kStoredValueCount> kValues = {
    Text("TFTPRoot", &ServiceSettings::TFTPRoot),
    Int("TFTPPort", &ServiceSettings::TFTPPort),
    Bool("WriteLog", &ServiceSettings::WriteLog),
    Bool("HighPriority", &ServiceSettings::HighPriority),
    Text("LogDirectory", &ServiceSettings::LogDirectory),
    Int("LogFileCount", &ServiceSettings::LogFileCount),
    Int("DefaultRights", &ServiceSettings::DefaultRights, Kind::AccessRight),
    Text("HostList", &ServiceSettings::HostList),
    Int("TFTPTimeout", &ServiceSettings::TFTPTimeout),
    Int("TFTPRetr", &ServiceSettings::TFTPRetr),
    Bool("OpTimeout", &ServiceSettings::OpTimeout),
    Bool("OpBlocksize", &ServiceSettings::OpBlocksize),
    Bool("OpTSize", &ServiceSettings::OpTSize),
    Bool("FWEnabled", &ServiceSettings::FWEnabled),
    Int("FWMinPort", &ServiceSettings::FWMinPort),
    Int("FWMaxPort", &ServiceSettings::FWMaxPort),
    Int("LogLevel", &ServiceSettings::LogLevel, Kind::LogLevel),
    Bool("LocalTime", &ServiceSettings::LocalTime),
};

constexpr std::array<StoredValue, kValues.size()> kStoredValues = [] {
  std::array<StoredValue, kValues.size()> stored{};
  for (size_t i = 0; i < kValues.size(); ++i) {
    const bool text = kValues[i].kind == Kind::Text || kValues[i].kind == Kind::AccessRight;
    stored[i] = {kValues[i].name, text ? kRegSz : kRegDword};
  }
  return stored;
}();

std::string Quoted(const char* name) {
  return std::string("'") + name + "'";
}

std::string KeyFailure(IRegistry& registry, const char* purpose, long error) {
  std::string text = registry.SystemErrorText(error);
  if (text.empty()) text = "system error " + std::to_string(error);
  return "Failed to open registry key '" + std::string(kSettingsKeyPath) + "' for " + purpose +
         ": " + text;
}

// Why a value could not be read, and whether it is in the key at all (a
// missing value loses nothing when it is written).
struct ReadFailure {
  std::string message;
  bool stored = true;
};

// A text value: missing or empty data reads as the empty text; the text ends
// at the first zero byte, or with the data when there is none. Any other
// failed query is a failure, never an empty text.
std::optional<std::string> ReadText(IRegistryKey& key, const char* name, ReadFailure& failure) {
  RegValue value;
  const long rc = key.QueryValue(name, value);
  if (rc == kErrorFileNotFound) return std::string();
  if (rc != kErrorSuccess) {
    failure = {"Failed to get data for " + Quoted(name)};
    return std::nullopt;
  }
  if (value.data.empty()) return std::string();
  if (value.type != kRegSz && value.type != kRegExpandSz) {
    failure = {"Invalid data type for " + Quoted(name)};
    return std::nullopt;
  }
  const size_t zero = value.data.find('\0');
  if (zero != std::string::npos) value.data.resize(zero);
  return std::move(value.data);
}

// An integer value, read as into a 4-byte buffer: longer data does not fit.
std::optional<int32_t> ReadInteger(IRegistryKey& key, const char* name, ReadFailure& failure) {
  RegValue value;
  const long rc = key.QueryValue(name, value);
  if (rc != kErrorSuccess || value.data.size() > 4) {
    failure = {"Failed to get data for " + Quoted(name), rc != kErrorFileNotFound};
    return std::nullopt;
  }
  if (value.type != kRegDword) {
    failure = {"Invalid data type for " + Quoted(name)};
    return std::nullopt;
  }
  uint32_t bits = 0;
  for (size_t i = 0; i < value.data.size(); ++i)
    bits |= static_cast<uint32_t>(static_cast<unsigned char>(value.data[i])) << (8 * i);
  return static_cast<int32_t>(bits);
}

// Reads one value into its field. False, with the field as it was (but for
// DefaultRights, which becomes No Access without a message), when the value
// cannot be read or shown.
bool ReadValue(IRegistryKey& key, const IAnsiCodec& codec, const ValueMapping& v,
               ServiceSettings& settings, ReadFailure& failure) {
  switch (v.kind) {
    case Kind::Text: {
      const std::optional<std::string> text = ReadText(key, v.name, failure);
      if (text) settings.*v.text = codec.FromAnsi(*text);
      return text.has_value();
    }
    case Kind::Integer:
    case Kind::Boolean: {
      const std::optional<int32_t> number = ReadInteger(key, v.name, failure);
      if (number && v.kind == Kind::Integer) settings.*v.integer = *number;
      if (number && v.kind == Kind::Boolean) settings.*v.boolean = *number != 0;
      return number.has_value();
    }
    case Kind::AccessRight: {
      const std::optional<std::string> code = ReadText(key, v.name, failure);
      settings.*v.integer = code ? AccessCodeToLevel(*code) : kNoAccess;
      failure.message.clear();
      return code.has_value();
    }
    case Kind::LogLevel: {
      const std::optional<int32_t> level = ReadInteger(key, v.name, failure);
      if (!level) return false;
      if (*level < -1 || *level >= static_cast<int32_t>(kLogLevelTexts.size())) {
        failure = {"List index out of bounds (" + std::to_string(*level) + ")"};
        return false;
      }
      settings.*v.integer = *level;
      return true;
    }
  }
  return true;
}

std::string DwordBytes(int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  std::string data(4, '\0');
  for (size_t i = 0; i < 4; ++i) data[i] = static_cast<char>((u >> (8 * i)) & 0xFF);
  return data;
}

}  // namespace

std::span<const StoredValue> StoredValues() {
  return kStoredValues;
}

std::string LoadOutcome::Message() const {
  std::string text;
  for (const std::string& failure : failures) {
    if (!text.empty()) text += '\n';
    text += failure;
  }
  return text;
}

LoadOutcome LoadSettings(IRegistry& registry, const IAnsiCodec& codec, ServiceSettings& settings) {
  LoadOutcome outcome;
  long error = kErrorSuccess;
  const auto key = registry.OpenLocalMachineKey(std::string(kSettingsKeyPath), kKeyRead, error);
  if (!key) {
    // A missing key is the normal state before the first save.
    if (error == kErrorFileNotFound || error == 3 /* ERROR_PATH_NOT_FOUND */) return outcome;
    throw SettingsKeyError(KeyFailure(registry, "reading", error));
  }
  for (size_t i = 0; i < kValues.size(); ++i) {
    ReadFailure failure;
    if (ReadValue(*key, codec, kValues[i], settings, failure)) continue;
    if (!failure.message.empty()) outcome.failures.push_back(failure.message);
    if (failure.stored) outcome.unread.set(i);
  }
  return outcome;
}

void SaveSettings(IRegistry& registry, const IAnsiCodec& codec, const ServiceSettings& settings,
                  const StoredValueSet& keep) {
  // Every value's data is prepared before the key is touched, so a text that
  // the code page cannot hold leaves the stored settings exactly as they were.
  std::array<std::string, kValues.size()> data;
  std::array<uint32_t, kValues.size()> types{};
  for (size_t i = 0; i < kValues.size(); ++i) {
    if (keep.test(i)) continue;
    const ValueMapping& v = kValues[i];
    switch (v.kind) {
      case Kind::Text: {
        if (!codec.ToAnsi(settings.*v.text, data[i]))
          throw AppError("The text for " + Quoted(v.name) +
                         " contains characters that cannot be stored in the system code page (" +
                         codec.CodePageName() + "). Nothing was saved");
        data[i].push_back('\0');
        types[i] = kRegSz;
        break;
      }
      case Kind::AccessRight:
        data[i] = AccessLevelToCode(settings.*v.integer);
        data[i].push_back('\0');
        types[i] = kRegSz;
        break;
      case Kind::Integer:
      case Kind::LogLevel:
        data[i] = DwordBytes(settings.*v.integer);
        types[i] = kRegDword;
        break;
      case Kind::Boolean:
        data[i] = DwordBytes(settings.*v.boolean ? 1 : 0);
        types[i] = kRegDword;
        break;
    }
  }

  long error = kErrorSuccess;
  const auto key = registry.CreateLocalMachineKey(std::string(kSettingsKeyPath), kKeyWrite, error);
  if (!key) throw AppError(KeyFailure(registry, "writing", error));

  for (size_t i = 0; i < kValues.size(); ++i) {
    if (keep.test(i)) continue;
    if (key->SetValue(kValues[i].name, types[i], data[i]) != kErrorSuccess)
      throw AppError("Failed to set data for " + Quoted(kValues[i].name));
  }
}

}  // namespace tftpcfg
