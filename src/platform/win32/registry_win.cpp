#include "platform/win32/registry_win.h"

#include <cstring>

#include "platform/win32/win_handles.h"
#include "platform/win32/win_text.h"

namespace tftpcfg {
namespace {

// The value's data as the registry holds it, asked for again while it grows
// between the size query and the read.
LONG QueryRaw(HKEY key, const std::wstring& name, DWORD& type, std::string& data) {
  DWORD size = 0;
  LONG rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
  for (int attempt = 0; rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA; ++attempt) {
    data.assign(size, '\0');
    DWORD got = size;
    rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                          &got);
    if (rc == ERROR_SUCCESS) {
      data.resize(got <= size ? got : size);
      return ERROR_SUCCESS;
    }
    if (rc != ERROR_MORE_DATA || attempt > 8) break;
    size = got;
  }
  data.clear();
  return rc;
}

// The text of REG_SZ data as the registry holds it (UTF-16, whoever wrote it)
// in the ANSI code page: the whole code units up to the first zero unit, and
// that zero as one byte when there is one. A text that the code page cannot
// hold exactly fails with ERROR_NO_UNICODE_TRANSLATION instead of arriving
// with its characters replaced, so that nothing is shown or saved back
// altered.
LONG AnsiText(const std::string& raw, std::string& ansi) {
  std::wstring units(raw.size() / sizeof(wchar_t), L'\0');
  std::memcpy(units.data(), raw.data(), units.size() * sizeof(wchar_t));
  const size_t zero = units.find(L'\0');
  if (zero != std::wstring::npos) units.resize(zero);
  ansi.clear();
  if (!units.empty()) {
    const int n = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, units.data(),
                                      static_cast<int>(units.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return ERROR_NO_UNICODE_TRANSLATION;  // a lone surrogate
    if (!WinAnsiCodec().ToAnsi(Narrow(units), ansi)) return ERROR_NO_UNICODE_TRANSLATION;
  }
  if (zero != std::wstring::npos) ansi.push_back('\0');
  return ERROR_SUCCESS;
}

// UTF-16 data in the ANSI code page, character for character as the ANSI
// registry functions convert it, replacements included.
std::string AnsiUnits(const std::string& raw) {
  const int units = static_cast<int>(raw.size() / sizeof(wchar_t));
  std::wstring wide(static_cast<size_t>(units), L'\0');
  std::memcpy(wide.data(), raw.data(), wide.size() * sizeof(wchar_t));
  if (units == 0) return {};
  const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, wide.data(), units, ansi.data(), n, nullptr, nullptr);
  return ansi;
}

class WinRegistryKey final : public IRegistryKey {
 public:
  explicit WinRegistryKey(HKEY key) : key_(key) {}

  // Read through the wide-character function, so that text written by any
  // tool arrives whole or not at all; other types are their raw bytes.
  long QueryValue(const std::string& name, RegValue& value) override {
    const std::wstring wideName = WidenAnsi(name).value_or(std::wstring());
    DWORD type = REG_NONE;
    std::string raw;
    LONG rc = QueryRaw(key_.get(), wideName, type, raw);
    if (rc == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
      rc = AnsiText(raw, value.data);
    } else if (rc == ERROR_SUCCESS && type == REG_MULTI_SZ) {
      // No text of it is used, only its type and size: converted as the
      // ANSI query converts it.
      value.data = AnsiUnits(raw);
    } else {
      value.data = std::move(raw);
    }
    if (rc != ERROR_SUCCESS) {
      value.data.clear();
      return rc;
    }
    value.type = type;
    return ERROR_SUCCESS;
  }

  long SetValue(const std::string& name, uint32_t type, std::string_view data) override {
    return RegSetValueExA(key_.get(), name.c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size()));
  }

 private:
  UniqueHKey key_;
};

}  // namespace

std::unique_ptr<IRegistryKey> WinRegistry::OpenLocalMachineKey(const std::string& path,
                                                               uint32_t access, long& error) {
  UniqueHKey key;
  error = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, key.put());
  if (error != ERROR_SUCCESS) return nullptr;
  return std::make_unique<WinRegistryKey>(key.release());
}

std::unique_ptr<IRegistryKey> WinRegistry::CreateLocalMachineKey(const std::string& path,
                                                                 uint32_t access, long& error) {
  UniqueHKey key;
  DWORD disposition = 0;
  error = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          access, nullptr, key.put(), &disposition);
  if (error != ERROR_SUCCESS) return nullptr;
  return std::make_unique<WinRegistryKey>(key.release());
}

std::string WinRegistry::SystemErrorText(long code) {
  return SystemErrorTextUtf8(static_cast<DWORD>(code));
}

}  // namespace tftpcfg
