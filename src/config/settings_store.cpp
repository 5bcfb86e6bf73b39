#include "config/settings_store.h"

#include <array>
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
constexpr std::array<ValueMapping, 18> kValues = {
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

// A text value: missing or empty data reads as the empty text; the text ends
// at the first zero byte, or with the data when there is none.
std::string ReadText(IRegistryKey& key, const char* name) {
  RegValue value;
  if (key.QueryValue(name, value) != kErrorSuccess || value.data.empty()) return {};
  if (value.type != kRegSz && value.type != kRegExpandSz)
    throw AppError("Invalid data type for " + Quoted(name));
  const size_t zero = value.data.find('\0');
  if (zero != std::string::npos) value.data.resize(zero);
  return std::move(value.data);
}

// An integer value, read as into a 4-byte buffer: longer data does not fit.
int32_t ReadInteger(IRegistryKey& key, const char* name) {
  RegValue value;
  if (key.QueryValue(name, value) != kErrorSuccess || value.data.size() > 4)
    throw AppError("Failed to get data for " + Quoted(name));
  if (value.type != kRegDword) throw AppError("Invalid data type for " + Quoted(name));
  uint32_t bits = 0;
  for (size_t i = 0; i < value.data.size(); ++i)
    bits |= static_cast<uint32_t>(static_cast<unsigned char>(value.data[i])) << (8 * i);
  return static_cast<int32_t>(bits);
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

void LoadSettings(IRegistry& registry, const IAnsiCodec& codec, ServiceSettings& settings) {
  long error = kErrorSuccess;
  const auto key = registry.OpenLocalMachineKey(std::string(kSettingsKeyPath), kKeyRead, error);
  if (!key) {
    // A missing key is the normal state before the first save.
    if (error == kErrorFileNotFound || error == 3 /* ERROR_PATH_NOT_FOUND */) return;
    throw SettingsKeyError(KeyFailure(registry, "reading", error));
  }

  for (const ValueMapping& v : kValues) {
    switch (v.kind) {
      case Kind::Text:
        settings.*v.text = codec.FromAnsi(ReadText(*key, v.name));
        break;
      case Kind::Integer:
        settings.*v.integer = ReadInteger(*key, v.name);
        break;
      case Kind::Boolean:
        settings.*v.boolean = ReadInteger(*key, v.name) != 0;
        break;
      case Kind::AccessRight:
        // The only value whose failure does not end the load.
        try {
          settings.*v.integer = AccessCodeToLevel(ReadText(*key, v.name));
        } catch (const AppError&) {
          settings.*v.integer = kNoAccess;
        }
        break;
      case Kind::LogLevel: {
        const int32_t level = ReadInteger(*key, v.name);
        if (level < -1 || level >= static_cast<int32_t>(kLogLevelTexts.size()))
          throw AppError("List index out of bounds (" + std::to_string(level) + ")");
        settings.*v.integer = level;
        break;
      }
    }
  }
}

void SaveSettings(IRegistry& registry, const IAnsiCodec& codec, const ServiceSettings& settings) {
  // Every value's data is prepared before the key is touched, so a text that
  // the code page cannot hold leaves the stored settings exactly as they were.
  std::array<std::string, kValues.size()> data;
  std::array<uint32_t, kValues.size()> types{};
  for (size_t i = 0; i < kValues.size(); ++i) {
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
    if (key->SetValue(kValues[i].name, types[i], data[i]) != kErrorSuccess)
      throw AppError("Failed to set data for " + Quoted(kValues[i].name));
  }
}

}  // namespace tftpcfg
