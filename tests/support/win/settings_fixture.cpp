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

}  // namespace tftpcfg::test
