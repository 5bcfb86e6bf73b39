#include "config/settings_store.h"

#include "config/access_rights.h"

#include <gtest/gtest.h>

#include "tests/support/latin1_codec.h"
#include "tests/support/memory_registry.h"

namespace tftpcfg {
namespace {

using test::Dword;
using test::Sz;

const std::string kPath(kSettingsKeyPath);

class SettingsStoreTest : public ::testing::Test {
 protected:
  // A key holding every value, all different from the initial settings.
  void FillCompleteKey() {
    Put("TFTPRoot", kRegSz, Sz("C:\\tftp"));
    Put("TFTPPort", kRegDword, Dword(6969));
    Put("WriteLog", kRegDword, Dword(1));
    Put("HighPriority", kRegDword, Dword(1));
    Put("LogDirectory", kRegSz, Sz("C:\\logs"));
    Put("LogFileCount", kRegDword, Dword(9));
    Put("DefaultRights", kRegSz, Sz("R"));
    Put("HostList", kRegSz, Sz("[1.2.3.4, 255.255.255.255, R]"));
    Put("TFTPTimeout", kRegDword, Dword(30));
    Put("TFTPRetr", kRegDword, Dword(7));
    Put("OpTimeout", kRegDword, Dword(0));
    Put("OpBlocksize", kRegDword, Dword(0));
    Put("OpTSize", kRegDword, Dword(0));
    Put("FWEnabled", kRegDword, Dword(0));
    Put("FWMinPort", kRegDword, Dword(2000));
    Put("FWMaxPort", kRegDword, Dword(3000));
    Put("LogLevel", kRegDword, Dword(7));
    Put("LocalTime", kRegDword, Dword(1));
  }
  void Put(const std::string& name, uint32_t type, std::string data) {
    reg.Put(kPath, name, type, std::move(data));
  }
  void Remove(const std::string& name) { reg.keys[kPath].erase(name); }

  // Loads into settings and returns the failures' messages, if any.
  std::string Load() {
    outcome = LoadSettings(reg, codec, settings);
    return outcome.Message();
  }
  // The values that the last load left unread, by name.
  std::vector<std::string> Unread() const {
    std::vector<std::string> names;
    for (size_t i = 0; i < kStoredValueCount; ++i)
      if (outcome.unread.test(i)) names.emplace_back(StoredValues()[i].name);
    return names;
  }
  std::string Save(const StoredValueSet& keep = {}) {
    try {
      SaveSettings(reg, codec, settings, keep);
    } catch (const AppError& e) {
      return e.what();
    }
    return {};
  }
  void TearDown() override { EXPECT_EQ(reg.keysOpened, reg.keysClosed) << "a key was left open"; }

  test::MemoryRegistry reg;
  test::Latin1Codec codec;
  ServiceSettings settings = InitialSettings();
  LoadOutcome outcome;
};

using Names = std::vector<std::string>;

TEST_F(SettingsStoreTest, MissingKeyLeavesSettingsAsPassedAndIsNeverCreatedByLoad) {
  EXPECT_EQ(Load(), "");
  EXPECT_EQ(settings, InitialSettings());
  EXPECT_EQ(reg.lastAccess, kKeyRead);
  EXPECT_TRUE(reg.keys.empty());
  // A key whose path is missing higher up (ERROR_PATH_NOT_FOUND) is missing too.
  reg.openError = 3;
  EXPECT_EQ(Load(), "");
  EXPECT_EQ(settings, InitialSettings());
}

TEST_F(SettingsStoreTest, KeyThatCannotBeOpenedIsReportedWithTheSystemReason) {
  FillCompleteKey();
  reg.openError = kErrorAccessDenied;
  try {
    LoadSettings(reg, codec, settings);
    FAIL() << "no error";
  } catch (const SettingsKeyError& e) {
    EXPECT_STREQ(e.what(),
                 "Failed to open registry key 'SOFTWARE\\Ostrel\\TFTPService' for reading: "
                 "Access is denied");
  }
  EXPECT_EQ(settings, InitialSettings());
}

TEST_F(SettingsStoreTest, CompleteKeyLoadsEveryValueInOrder) {
  FillCompleteKey();
  ASSERT_EQ(Load(), "");
  ServiceSettings expected;
  expected.TFTPRoot = "C:\\tftp";
  expected.TFTPPort = 6969;
  expected.WriteLog = true;
  expected.HighPriority = true;
  expected.LogDirectory = "C:\\logs";
  expected.LogFileCount = 9;
  expected.DefaultRights = kReadOnly;
  expected.HostList = "[1.2.3.4, 255.255.255.255, R]";
  expected.TFTPTimeout = 30;
  expected.TFTPRetr = 7;
  expected.OpTimeout = expected.OpBlocksize = expected.OpTSize = expected.FWEnabled = false;
  expected.FWMinPort = 2000;
  expected.FWMaxPort = 3000;
  expected.LogLevel = 7;
  expected.LocalTime = true;
  EXPECT_EQ(settings, expected);
  const std::vector<std::string> order = {
      "open " + kPath,      "query TFTPRoot",     "query TFTPPort",     "query WriteLog",
      "query HighPriority", "query LogDirectory", "query LogFileCount", "query DefaultRights",
      "query HostList",     "query TFTPTimeout",  "query TFTPRetr",     "query OpTimeout",
      "query OpBlocksize",  "query OpTSize",      "query FWEnabled",    "query FWMinPort",
      "query FWMaxPort",    "query LogLevel",     "query LocalTime"};
  EXPECT_EQ(reg.calls, order);
}

TEST_F(SettingsStoreTest, AValueThatCannotBeReadKeepsItsFieldAndTheLoadGoesOn) {
  FillCompleteKey();
  Remove("TFTPPort");
  EXPECT_EQ(Load(), "Failed to get data for 'TFTPPort'");
  ServiceSettings expected = settings;
  FillCompleteKey();
  settings = InitialSettings();
  ASSERT_EQ(Load(), "");
  expected.TFTPPort = settings.TFTPPort = 1;
  EXPECT_EQ(expected, settings) << "every other value was read";
  EXPECT_EQ(Unread(), Names{}) << "a missing value is written by the next save";

  // Two failures: one line each, in the order of reading; each keeps its field.
  FillCompleteKey();
  settings = InitialSettings();
  Put("WriteLog", kRegSz, Sz("1"));
  Put("LogLevel", kRegDword, Dword(8));
  EXPECT_EQ(Load(), "Invalid data type for 'WriteLog'\nList index out of bounds (8)");
  EXPECT_EQ(Unread(), (Names{"WriteLog", "LogLevel"}));
  EXPECT_FALSE(settings.WriteLog);
  EXPECT_EQ(settings.LogLevel, 5);
  EXPECT_TRUE(settings.LocalTime) << "the value after the level was read";
}

TEST_F(SettingsStoreTest, IntegerOfWrongTypeOrSize) {
  struct Case {
    uint32_t type;
    std::string data;
    const char* message;
  };
  const Case cases[] = {
      {kRegSz, Sz("69"), "Invalid data type for 'TFTPPort'"},     // 3 bytes
      {kRegSz, Sz("1024"), "Failed to get data for 'TFTPPort'"},  // 5 bytes
      {kRegBinary, std::string("\x45\0\0\0", 4), "Invalid data type for 'TFTPPort'"},
      {kRegDwordBigEndian, Dword(69), "Invalid data type for 'TFTPPort'"},
      {kRegQword, std::string(8, '\0'), "Failed to get data for 'TFTPPort'"},
      {kRegDword, std::string(5, '\0'), "Failed to get data for 'TFTPPort'"},
      {kRegNone, "", "Invalid data type for 'TFTPPort'"},
  };
  for (const auto& c : cases) {
    FillCompleteKey();
    settings = InitialSettings();
    Put("TFTPPort", c.type, c.data);
    EXPECT_EQ(Load(), c.message) << "type " << c.type << " size " << c.data.size();
    EXPECT_EQ(settings.TFTPPort, 1);
    EXPECT_EQ(Unread(), Names{"TFTPPort"});
  }
  // A query that fails for another reason than a missing value.
  FillCompleteKey();
  reg.unreadableValues = {"TFTPPort"};
  EXPECT_EQ(Load(), "Failed to get data for 'TFTPPort'");
  EXPECT_EQ(Unread(), Names{"TFTPPort"});
}

TEST_F(SettingsStoreTest, ShortDwordDataIsReadAsItsBytes) {
  FillCompleteKey();
  Put("TFTPPort", kRegDword, std::string("\x45\x00", 2));
  Put("LogFileCount", kRegDword, "");
  ASSERT_EQ(Load(), "");
  EXPECT_EQ(settings.TFTPPort, 69);
  EXPECT_EQ(settings.LogFileCount, 0);
}

TEST_F(SettingsStoreTest, BooleansAreTrueForAnyNonZeroValue) {
  FillCompleteKey();
  Put("WriteLog", kRegDword, Dword(2));
  Put("OpTSize", kRegDword, Dword(0xFFFFFFFF));
  ASSERT_EQ(Load(), "");
  EXPECT_TRUE(settings.WriteLog);
  EXPECT_TRUE(settings.OpTSize);
}

TEST_F(SettingsStoreTest, TextValues) {
  FillCompleteKey();
  Put("TFTPRoot", kRegExpandSz, Sz("%SystemRoot%\\tftp"));
  Put("LogDirectory", kRegSz, "C:\\no-terminator");
  Put("HostList", kRegSz, std::string("[a, b, R]\0junk after the zero\0", 30));
  ASSERT_EQ(Load(), "");
  EXPECT_EQ(settings.TFTPRoot, "%SystemRoot%\\tftp");  // not expanded
  EXPECT_EQ(settings.LogDirectory, "C:\\no-terminator");
  EXPECT_EQ(settings.HostList, "[a, b, R]");
}

TEST_F(SettingsStoreTest, MissingOrEmptyTextIsEmptyAndAnyOtherFailureFails) {
  FillCompleteKey();
  Remove("TFTPRoot");
  Put("LogDirectory", kRegBinary, "");  // no data at all reads as empty, whatever the type
  settings.TFTPRoot = settings.LogDirectory = "before";
  ASSERT_EQ(Load(), "");
  EXPECT_EQ(settings.TFTPRoot, "");
  EXPECT_EQ(settings.LogDirectory, "");
  EXPECT_EQ(Unread(), Names{});

  settings.LogDirectory = "before";
  Put("LogDirectory", kRegDword, Dword(1));
  EXPECT_EQ(Load(), "Invalid data type for 'LogDirectory'");
  Put("LogDirectory", kRegMultiSz, Sz("a") + '\0');
  EXPECT_EQ(Load(), "Invalid data type for 'LogDirectory'");
  EXPECT_EQ(settings.LogDirectory, "before");
  // A query refused for another reason is a failure, not an empty text.
  Put("LogDirectory", kRegSz, Sz("C:\\logs"));
  reg.unreadableValues = {"HostList"};
  settings.HostList = "before";
  EXPECT_EQ(Load(), "Failed to get data for 'HostList'");
  EXPECT_EQ(settings.HostList, "before");
  EXPECT_EQ(settings.LogDirectory, "C:\\logs");
  EXPECT_EQ(Unread(), Names{"HostList"});
}

TEST_F(SettingsStoreTest, TextIsConvertedFromTheCodePage) {
  FillCompleteKey();
  Put("TFTPRoot", kRegSz, Sz("C:\\Gr\xfc\xdf"));
  ASSERT_EQ(Load(), "");
  EXPECT_EQ(settings.TFTPRoot, "C:\\Gr\u00fc\u00df");
}

TEST_F(SettingsStoreTest, DefaultRightsNeverFailsTheLoad) {
  struct Case {
    uint32_t type;
    std::string data;
    int32_t expected;
    bool unread;  // in the key, but not readable as a code: left as stored by a save
  };
  const Case cases[] = {
      {kRegSz, Sz("r"), kReadOnly, false},       {kRegSz, Sz("R"), kReadOnly, false},
      {kRegSz, Sz("NA"), kNoAccess, false},      {kRegSz, Sz("RW"), kNoAccess, false},
      {kRegDword, Dword(1), kNoAccess, true},    {kRegSz, Sz(""), kNoAccess, false},
      {kRegExpandSz, Sz("r"), kReadOnly, false},
  };
  for (const auto& c : cases) {
    FillCompleteKey();
    settings = InitialSettings();
    Put("DefaultRights", c.type, c.data);
    EXPECT_EQ(Load(), "");
    EXPECT_EQ(settings.DefaultRights, c.expected);
    EXPECT_EQ(Unread(), c.unread ? Names{"DefaultRights"} : Names{});
    EXPECT_EQ(settings.LocalTime, true) << "the load went on to the last value";
  }
  FillCompleteKey();
  Remove("DefaultRights");
  EXPECT_EQ(Load(), "");
  EXPECT_EQ(settings.DefaultRights, kNoAccess);
  EXPECT_EQ(Unread(), Names{});
}

TEST_F(SettingsStoreTest, LogLevelOutsideTheListKeepsItsFieldAndLocalTimeIsRead) {
  FillCompleteKey();
  Put("LogLevel", kRegDword, Dword(8));
  EXPECT_EQ(Load(), "List index out of bounds (8)");
  EXPECT_EQ(settings.LogLevel, 5);
  EXPECT_EQ(settings.LocalTime, true);
  EXPECT_EQ(settings.FWMaxPort, 3000);
  EXPECT_EQ(Unread(), Names{"LogLevel"});

  Put("LogLevel", kRegDword, Dword(static_cast<uint32_t>(-2)));
  EXPECT_EQ(Load(), "List index out of bounds (-2)");

  Put("LogLevel", kRegDword, Dword(static_cast<uint32_t>(-1)));
  settings = InitialSettings();
  EXPECT_EQ(Load(), "");
  EXPECT_EQ(settings.LogLevel, -1);
  EXPECT_TRUE(settings.LocalTime);
}

TEST_F(SettingsStoreTest, SaveCreatesTheKeyAndWritesAllValuesInOrder) {
  settings = InitialSettings();
  settings.TFTPRoot = "C:\\tftp";
  settings.WriteLog = true;
  settings.DefaultRights = -1;
  ASSERT_EQ(Save(), "");
  EXPECT_EQ(reg.lastAccess, kKeyWrite);
  const auto& v = reg.keys.at(kPath);
  ASSERT_EQ(v.size(), 18u);
  EXPECT_EQ(v.at("TFTPRoot").type, kRegSz);
  EXPECT_EQ(v.at("TFTPRoot").data, Sz("C:\\tftp"));
  EXPECT_EQ(v.at("HostList").data, Sz(""));
  EXPECT_EQ(v.at("DefaultRights").data, Sz("NA"));
  EXPECT_EQ(v.at("TFTPPort").type, kRegDword);
  EXPECT_EQ(v.at("TFTPPort").data, Dword(1));
  EXPECT_EQ(v.at("WriteLog").data, Dword(1));
  EXPECT_EQ(v.at("HighPriority").data, Dword(0));
  EXPECT_EQ(v.at("LogLevel").data, Dword(5));
  EXPECT_EQ(reg.calls.size(), 19u);
  EXPECT_EQ(reg.calls[1], "set TFTPRoot");
  EXPECT_EQ(reg.calls[18], "set LocalTime");
}

TEST_F(SettingsStoreTest, SaveNormalisesCodesAndBooleansAndRoundTrips) {
  FillCompleteKey();
  Put("DefaultRights", kRegSz, Sz("r"));
  Put("WriteLog", kRegDword, Dword(2));
  Put("TFTPRoot", kRegExpandSz, Sz("%TEMP%"));
  Put("LogLevel", kRegDword, Dword(static_cast<uint32_t>(-1)));
  ASSERT_EQ(Load(), "");
  const ServiceSettings loaded = settings;
  ASSERT_EQ(Save(), "");
  const auto& v = reg.keys.at(kPath);
  EXPECT_EQ(v.at("DefaultRights").data, Sz("R"));
  EXPECT_EQ(v.at("WriteLog").data, Dword(1));
  EXPECT_EQ(v.at("TFTPRoot").type, kRegSz);
  EXPECT_EQ(v.at("LogLevel").data, Dword(0xFFFFFFFF));
  settings = InitialSettings();
  ASSERT_EQ(Load(), "");
  EXPECT_EQ(settings, loaded);
}

TEST_F(SettingsStoreTest, SaveLeavesKeptValuesAsStored) {
  FillCompleteKey();
  Put("TFTPPort", kRegSz, Sz("1024"));
  Put("HostList", kRegDword, Dword(7));
  const auto before = reg.keys.at(kPath);
  StoredValueSet keep;
  keep.set(1).set(7);          // TFTPPort, HostList
  settings.HostList = "\xff";  // not even converted: a text to keep is not written
  ASSERT_EQ(Save(keep), "");
  const auto& v = reg.keys.at(kPath);
  EXPECT_EQ(v.at("TFTPPort"), before.at("TFTPPort"));
  EXPECT_EQ(v.at("HostList"), before.at("HostList"));
  EXPECT_EQ(v.at("TFTPRoot").data, Sz(""));
  EXPECT_EQ(v.at("LocalTime").data, Dword(0));
  EXPECT_EQ(reg.calls.size(), 17u) << "create and sixteen writes";
}

TEST_F(SettingsStoreTest, SaveLeavesUnknownValuesAlone) {
  Put("SomethingElse", kRegBinary, "\x01\x02");
  ASSERT_EQ(Save(), "");
  EXPECT_EQ(reg.keys.at(kPath).at("SomethingElse").data, "\x01\x02");
  EXPECT_EQ(reg.keys.at(kPath).size(), 19u);
}

TEST_F(SettingsStoreTest, RefusedValueStopsTheSaveThere) {
  reg.refusedValues = {"LogDirectory"};
  EXPECT_EQ(Save(), "Failed to set data for 'LogDirectory'");
  const auto& v = reg.keys.at(kPath);
  EXPECT_EQ(v.count("HighPriority"), 1u);
  EXPECT_EQ(v.count("LogDirectory"), 0u);
  EXPECT_EQ(v.count("LogFileCount"), 0u);
}

TEST_F(SettingsStoreTest, KeyThatCannotBeCreatedFailsTheSaveWithTheReason) {
  reg.createError = kErrorAccessDenied;
  EXPECT_EQ(Save(),
            "Failed to open registry key 'SOFTWARE\\Ostrel\\TFTPService' for writing: "
            "Access is denied");
  EXPECT_TRUE(reg.keys.empty());
  reg.createError = 1234;  // no system text: the code is named instead
  EXPECT_NE(Save().find("system error 1234"), std::string::npos);
}

TEST_F(SettingsStoreTest, TextOutsideTheCodePageIsRefusedBeforeAnythingIsWritten) {
  FillCompleteKey();
  const auto before = reg.keys;
  settings.LogDirectory = "C:\\\u65e5\u672c";
  const std::string message = Save();
  EXPECT_NE(message.find("'LogDirectory'"), std::string::npos) << message;
  EXPECT_NE(message.find("ISO-8859-1"), std::string::npos) << message;
  EXPECT_EQ(reg.keys, before);
  EXPECT_TRUE(reg.calls.empty()) << "the key was not even opened";
}

}  // namespace
}  // namespace tftpcfg
