#pragma once
// The settings key of the tests: a complete, valid record, written to
// HKLM\SOFTWARE\Ostrel\TFTPService through the program's own store, and the
// key removed again.

#include <map>
#include <string>

#include "config/service_settings.h"
#include "platform/registry.h"

namespace tftpcfg::test {

// Every value set, none at its initial value: root and log directory as
// given, port 69, logging on, high priority, 7 log files, Read Only by
// default, a network rule and a host rule, time-out 10, 4 retries, blocksize
// off, firewall range 2000 to 3000, level "Info", local time stamps.
ServiceSettings CompleteSettings(const std::string& root, const std::string& logDir);

// Replaces the key by one holding exactly the record's values.
void WriteSettingsKey(const ServiceSettings& settings);
void DeleteSettingsKey();

// One value of the key set to raw data of any type, or removed.
void PutRawValue(const char* name, uint32_t type, const std::string& data);
void RemoveValue(const char* name);
// The key's eighteen values as the registry's ANSI query hands them out.
std::map<std::string, RegValue> ReadSettingsKeyRaw();

}  // namespace tftpcfg::test
