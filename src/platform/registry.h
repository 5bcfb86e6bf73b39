#pragma once
// The registry as the settings store needs it, shaped after the Win32 calls:
// open a key under HKEY_LOCAL_MACHINE for reading, create-or-open one for writing,
// query a value (type and raw bytes), set a value. A key is closed when its
// object is destroyed. Names and data are single-byte text in the ANSI code page.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tftpcfg {

// Registry value types and system codes used by the callers.
inline constexpr uint32_t kRegNone = 0;
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;
inline constexpr uint32_t kRegDwordBigEndian = 5;
inline constexpr uint32_t kRegMultiSz = 7;
inline constexpr uint32_t kRegQword = 11;

inline constexpr uint32_t kKeyRead = 0x20019;
inline constexpr uint32_t kKeyWrite = 0x20006;

inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;

struct RegValue {
  uint32_t type = kRegNone;
  std::string data;  // the raw bytes, whatever the type

  friend bool operator==(const RegValue&, const RegValue&) = default;
};

class IRegistryKey {
 public:
  virtual ~IRegistryKey() = default;
  // kErrorSuccess with the whole value, kErrorFileNotFound when it is missing,
  // another system error code otherwise.
  virtual long QueryValue(const std::string& name, RegValue& value) = 0;
  virtual long SetValue(const std::string& name, uint32_t type, std::string_view data) = 0;
};

class IRegistry {
 public:
  virtual ~IRegistry() = default;
  // Opens an existing key; never creates one. On failure returns null and sets error.
  virtual std::unique_ptr<IRegistryKey> OpenLocalMachineKey(const std::string& path,
                                                            uint32_t access, long& error) = 0;
  // Opens the key, creating it and any missing parent (non-volatile, default security).
  virtual std::unique_ptr<IRegistryKey> CreateLocalMachineKey(const std::string& path,
                                                              uint32_t access, long& error) = 0;
  // The system's text for an error code, without trailing blanks or full stop.
  virtual std::string SystemErrorText(long code) = 0;
};

}  // namespace tftpcfg
