#pragma once
// The settings key of the tests: a complete, valid record, written to
// HKLM\SOFTWARE\Ostrel\TFTPService through the program's own store, and the
// key removed again.

#include <string>

#include "config/service_settings.h"

namespace tftpcfg::test {

// Every value set, none at its initial value: root and log directory as
// given, port 69, logging on, high priority, 7 log files, Read Only by
// default, a network rule and a host rule, time-out 10, 4 retries, blocksize
// off, firewall range 2000 to 3000, level "Info", local time stamps.
ServiceSettings CompleteSettings(const std::string& root, const std::string& logDir);

// Replaces the key by one holding exactly the record's values.
void WriteSettingsKey(const ServiceSettings& settings);
void DeleteSettingsKey();

}  // namespace tftpcfg::test
