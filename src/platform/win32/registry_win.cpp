#include "platform/win32/registry_win.h"

#include "platform/win32/win_handles.h"
#include "platform/win32/win_text.h"

namespace tftpcfg {
namespace {

class WinRegistryKey final : public IRegistryKey {
 public:
  explicit WinRegistryKey(HKEY key) : key_(key) {}

  long QueryValue(const std::string& name, RegValue& value) override {
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG rc = RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, nullptr, &size);
    // The value may grow between the two calls; ask again until it fits.
    for (int attempt = 0; rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA; ++attempt) {
      value.data.assign(size, '\0');
      DWORD got = size;
      rc = RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type,
                            reinterpret_cast<BYTE*>(value.data.data()), &got);
      if (rc == ERROR_SUCCESS) {
        value.data.resize(got <= size ? got : size);
        value.type = type;
        return ERROR_SUCCESS;
      }
      if (rc != ERROR_MORE_DATA || attempt > 8) break;
      size = got;
    }
    value.data.clear();
    return rc;
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
