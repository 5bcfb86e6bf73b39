#include "tests/support/win/settings_fixture.h"

#include <windows.h>

#include "config/settings_store.h"
#include "platform/win32/registry_win.h"
#include "platform/win32/win_text.h"

namespace tftpcfg::test {

ServiceSettings CompleteSettings(const std::string& root, const std::string& logDir) {
  ServiceSettings s;
  s.TFTPRoot = root;
  s.TFTPPort = 69;
  s.WriteLog = true;
  s.HighPriority = true;
  s.LogDirectory = logDir;
  s.LogFileCount = 7;
  s.DefaultRights = 1;
  s.HostList = "[192.168.10.0, 255.255.255.0, R], [10.0.0.7, 255.255.255.255, NA]";
  s.TFTPTimeout = 10;
  s.TFTPRetr = 4;
  s.OpTimeout = true;
  s.OpBlocksize = false;
  s.OpTSize = true;
  s.FWEnabled = true;
  s.FWMinPort = 2000;
  s.FWMaxPort = 3000;
  s.LogLevel = 6;
  s.LocalTime = true;
  return s;
}

void DeleteSettingsKey() {
  const std::string path(kSettingsKeyPath);
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, path.c_str());
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
}

void WriteSettingsKey(const ServiceSettings& settings) {
  DeleteSettingsKey();
  WinRegistry registry;
  SaveSettings(registry, WinAnsiCodec(), settings);
}

void PutRawValue(const char* name, uint32_t type, const std::string& data) {
  const std::string path(kSettingsKeyPath);
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                 static_cast<DWORD>(data.size()));
  RegCloseKey(key);
}

void RemoveValue(const char* name) {
  const std::string path(kSettingsKeyPath);
  RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, path.c_str(), name);
}

std::map<std::string, RegValue> ReadSettingsKeyRaw() {
  std::map<std::string, RegValue> values;
  const std::string path(kSettingsKeyPath);
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return values;
  for (const StoredValue& v : StoredValues()) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, v.name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) continue;
    std::string data(size, '\0');
    if (RegQueryValueExA(key, v.name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &size) != ERROR_SUCCESS)
      continue;
    data.resize(size);
    values[v.name] = RegValue{type, data};
  }
  RegCloseKey(key);
  return values;
}

}  // namespace tftpcfg::test
