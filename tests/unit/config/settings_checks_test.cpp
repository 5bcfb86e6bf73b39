#include "config/settings_checks.h"

#include <gtest/gtest.h>

#include <set>

namespace tftpcfg {
namespace {

const std::set<std::string> kDirectories = {"C:\\tftp", "C:\\logs"};

bool Exists(const std::string& path) {
  return kDirectories.count(path) != 0;
}

// Every check passes: root and log directory exist, port 69, range 1024-2000.
SettingsCheckInput Valid() {
  return {"C:\\tftp", "69", true, 1024, 2000, true, "C:\\logs"};
}

TEST(SettingsChecks, EachCheckWithItsMessageAndField) {
  const std::string root = "Specified TFTP Root Directory is not valid.";
  const std::string portText = "Please specify a valid TFTP Server Port.";
  const std::string portRange = "TFTP Server Port is not valid. Valid range is 1 to 65535.";
  const std::string logs = "Specified Logfiles Directory is not valid.";
  struct Case {
    const char* what = nullptr;
    void (*change)(SettingsCheckInput&) = nullptr;
    std::optional<CheckFailure> expected;
  };
  const Case cases[] = {
      {"all valid", [](SettingsCheckInput&) {}, std::nullopt},
      {"empty root", [](SettingsCheckInput& i) { i.rootDirectory = ""; },
       CheckFailure{CheckedField::RootDirectory, root}},
      {"root and port wrong: only the root",
       [](SettingsCheckInput& i) {
         i.rootDirectory = "C:\\file.txt";
         i.portText = "";
       },
       CheckFailure{CheckedField::RootDirectory, root}},
      {"empty port", [](SettingsCheckInput& i) { i.portText = ""; },
       CheckFailure{CheckedField::Port, portText}},
      {"minus alone", [](SettingsCheckInput& i) { i.portText = "-"; },
       CheckFailure{CheckedField::Port, portText}},
      {"trailing blank", [](SettingsCheckInput& i) { i.portText = "69 "; },
       CheckFailure{CheckedField::Port, portText}},
      {"nine hexadecimal digits", [](SettingsCheckInput& i) { i.portText = "$000000046"; },
       CheckFailure{CheckedField::Port, portText}},
      {"leading blank", [](SettingsCheckInput& i) { i.portText = " 69"; }, std::nullopt},
      {"eight hexadecimal digits", [](SettingsCheckInput& i) { i.portText = "$00000046"; },
       std::nullopt},
      {"port 0", [](SettingsCheckInput& i) { i.portText = "0"; },
       CheckFailure{CheckedField::Port, portRange}},
      {"port 65536", [](SettingsCheckInput& i) { i.portText = "65536"; },
       CheckFailure{CheckedField::Port, portRange}},
      {"port 65535", [](SettingsCheckInput& i) { i.portText = "65535"; }, std::nullopt},
      {"range reversed",
       [](SettingsCheckInput& i) {
         i.firewallMinPort = 2000;
         i.firewallMaxPort = 1500;
       },
       CheckFailure{CheckedField::FirewallRange, "Range [2000..1500] is not a valid port range!"}},
      {"lower port 1023", [](SettingsCheckInput& i) { i.firewallMinPort = 1023; },
       CheckFailure{CheckedField::FirewallRange, "Range [1023..2000] is not a valid port range!"}},
      {"both ports 1024", [](SettingsCheckInput& i) { i.firewallMaxPort = 1024; }, std::nullopt},
      {"range off is not looked at",
       [](SettingsCheckInput& i) {
         i.firewallEnabled = false;
         i.firewallMinPort = 2000;
         i.firewallMaxPort = 1500;
       },
       std::nullopt},
      {"missing log directory", [](SettingsCheckInput& i) { i.logDirectory = "C:\\nowhere"; },
       CheckFailure{CheckedField::LogDirectory, logs}},
      {"logging off is not looked at",
       [](SettingsCheckInput& i) {
         i.loggingEnabled = false;
         i.logDirectory = "";
       },
       std::nullopt},
  };
  for (const Case& c : cases) {
    SettingsCheckInput input = Valid();
    c.change(input);
    EXPECT_EQ(CheckSettings(input, Exists), c.expected) << c.what;
  }
}

}  // namespace
}  // namespace tftpcfg
