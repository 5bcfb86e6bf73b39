#include "config/service_settings.h"

namespace tftpcfg {

ServiceSettings InitialSettings() {
  ServiceSettings s;
  s.TFTPRoot = "";
  s.TFTPPort = 1;
  s.WriteLog = false;
  s.HighPriority = false;
  s.LogDirectory = "";
  s.LogFileCount = 3;
  s.DefaultRights = -1;
  s.HostList = "";
  s.TFTPTimeout = 3;
  s.TFTPRetr = 3;
  s.OpTimeout = true;
  s.OpBlocksize = true;
  s.OpTSize = true;
  s.FWEnabled = true;
  s.FWMinPort = 1024;
  s.FWMaxPort = 65535;
  s.LogLevel = 5;
  s.LocalTime = false;
  return s;
}

}  // namespace tftpcfg
