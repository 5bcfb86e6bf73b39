// The settings store against the real registry of the Wine prefix.

#include <windows.h>

#include <gtest/gtest.h>

#include "config/access_rights.h"
#include "config/settings_store.h"
#include "platform/win32/registry_win.h"
#include "platform/win32/win_text.h"

namespace tftpcfg {
namespace {

const char kPath[] = "SOFTWARE\\Ostrel\\TFTPService";

class RegistryStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { DeleteKey(); }
  void TearDown() override { DeleteKey(); }

  static void DeleteKey() {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kPath);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kPath);
  }
  static void PutRaw(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  static void PutDword(const char* name, DWORD v) { PutRaw(name, REG_DWORD, &v, 4); }
  static void PutSz(const char* name, const char* text, DWORD type = REG_SZ) {
    PutRaw(name, type, text, static_cast<DWORD>(strlen(text) + 1));
  }
  static bool GetRaw(const char* name, DWORD& type, std::string& data) {
    char buf[512];
    DWORD size = sizeof buf;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, kPath, name, RRF_RT_ANY | RRF_NOEXPAND, &type, buf,
                     &size) != ERROR_SUCCESS)
      return false;
    data.assign(buf, size);
    return true;
  }

  // Writes a complete, valid set of values through the store itself.
  void SaveDefaults() { SaveSettings(registry, codec, InitialSettings()); }

  std::string Load() {
    try {
      return LoadSettings(registry, codec, settings).Message();
    } catch (const AppError& e) {
      return e.what();
    }
  }

  WinRegistry registry;
  WinAnsiCodec codec;
  ServiceSettings settings = InitialSettings();
};

TEST_F(RegistryStoreTest, MissingKeyLoadsNothingAndSaveCreatesIt) {
  EXPECT_EQ(Load(), "");
  EXPECT_EQ(settings, InitialSettings());
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPath, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);

  ServiceSettings stored = InitialSettings();
  stored.TFTPRoot = "C:\\tftp root";
  stored.HostList = EncodeHostList({{"10.0.0.7", "255.255.255.255", kReadOnly}});
  stored.DefaultRights = kReadOnly;
  stored.LogLevel = -1;
  SaveSettings(registry, codec, stored);

  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(GetRaw("TFTPRoot", type, data));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(data, std::string("C:\\tftp root\0", 13));  // with its zero byte
  ASSERT_TRUE(GetRaw("OpTSize", type, data));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(data, std::string("\1\0\0\0", 4));

  EXPECT_EQ(Load(), "");
  EXPECT_EQ(settings, stored);
}

TEST_F(RegistryStoreTest, ExpandableTextIsReadUnexpandedAndWrittenBackAsPlainText) {
  SaveDefaults();
  PutSz("TFTPRoot", "%SystemRoot%\\tftp", REG_EXPAND_SZ);
  ASSERT_EQ(Load(), "");
  EXPECT_EQ(settings.TFTPRoot, "%SystemRoot%\\tftp");
  SaveSettings(registry, codec, settings);
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(GetRaw("TFTPRoot", type, data));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(data, std::string("%SystemRoot%\\tftp\0", 18));
}

// Text as other tools write it, through the wide-character functions or the
// ANSI ones: it arrives whole, or fails and stays as stored; never altered.
TEST_F(RegistryStoreTest, TextWrittenByOtherToolsLoadsWholeOrNotAtAll) {
  struct Case {
    const wchar_t* text;
    DWORD bytes;         // of the UTF-16 data written
    const char* loaded;  // UTF-8; null when the value cannot be read
  };
  const Case cases[] = {
      {L"C:\\Gr\u00fc\u00df", 16, "C:\\Gr\xc3\xbc\xc3\x9f"},  // with its zero
      {L"C:\\tftp", 14, "C:\\tftp"},                          // without a zero
      {L"C:\\tftp", 15, "C:\\tftp"},                          // half of the zero
      {L"C:\\tftp", 13, "C:\\tft"},                           // half of the last unit
      {L"C:\\tftp", 1, ""},
      {L"C:\\\u65e5\u672c", 12, nullptr},  // not in Windows-1252
      {L"C:\\\xd800x", 12, nullptr},       // a lone surrogate
  };
  for (const Case& c : cases) {
    SaveDefaults();
    HKEY key = nullptr;
    ASSERT_EQ(
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Ostrel\\TFTPService", 0, KEY_WRITE, &key),
        ERROR_SUCCESS);
    RegSetValueExW(key, L"LogDirectory", 0, REG_SZ, reinterpret_cast<const BYTE*>(c.text), c.bytes);
    RegCloseKey(key);
    settings = InitialSettings();
    settings.LogDirectory = "before";
    const LoadOutcome outcome = LoadSettings(registry, codec, settings);
    if (c.loaded) {
      EXPECT_EQ(outcome.Message(), "") << c.loaded;
      EXPECT_EQ(settings.LogDirectory, c.loaded);
      continue;
    }
    EXPECT_EQ(outcome.Message(), "Failed to get data for 'LogDirectory'");
    EXPECT_EQ(settings.LogDirectory, "before");
    // A save leaves it as it was written.
    SaveSettings(registry, codec, settings, outcome.unread);
    wchar_t stored[16] = {};
    DWORD size = sizeof stored;
    ASSERT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Ostrel\\TFTPService", L"LogDirectory",
                           RRF_RT_REG_SZ, nullptr, stored, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(stored), std::wstring(c.text, c.bytes / 2 - 1));
  }
  // Text that the ANSI functions wrote without its zero.
  PutRaw("LogDirectory", REG_SZ, "C:\\logs", 7);
  ASSERT_EQ(Load(), "");
  EXPECT_EQ(settings.LogDirectory, "C:\\logs");
}

TEST_F(RegistryStoreTest, WrongTypesAndSizesGiveTheStoreMessages) {
  struct Case {
    const char* name;
    DWORD type;
    std::string data;
    const char* message;
  };
  const Case cases[] = {
      {"TFTPPort", REG_SZ, std::string("69\0", 3), "Invalid data type for 'TFTPPort'"},
      {"TFTPPort", REG_SZ, std::string("1024\0", 5), "Failed to get data for 'TFTPPort'"},
      {"WriteLog", REG_BINARY, std::string("\1\0\0\0\0", 5), "Failed to get data for 'WriteLog'"},
      {"WriteLog", REG_BINARY, std::string("\1", 1), "Invalid data type for 'WriteLog'"},
      {"FWMinPort", REG_QWORD, std::string(8, '\0'), "Failed to get data for 'FWMinPort'"},
      {"HostList", REG_DWORD, std::string(4, '\0'), "Invalid data type for 'HostList'"},
      {"LogLevel", REG_DWORD, std::string("\x08\0\0\0", 4), "List index out of bounds (8)"},
  };
  for (const auto& c : cases) {
    SaveDefaults();
    PutRaw(c.name, c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
    settings = InitialSettings();
    EXPECT_EQ(Load(), c.message) << c.name;
  }
  // DefaultRights of a wrong type reads as No Access and the load goes on.
  SaveDefaults();
  PutDword("DefaultRights", 1);
  PutDword("LocalTime", 1);
  EXPECT_EQ(Load(), "");
  EXPECT_EQ(settings.DefaultRights, kNoAccess);
  EXPECT_TRUE(settings.LocalTime);
}

TEST_F(RegistryStoreTest, AMissingIntegerKeepsItsFieldAndTheLoadGoesOn) {
  SaveDefaults();
  PutSz("TFTPRoot", "C:\\x");
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPath, 0, KEY_WRITE, &key), ERROR_SUCCESS);
  RegDeleteValueA(key, "TFTPPort");
  RegCloseKey(key);
  settings.TFTPPort = 77;
  settings.LocalTime = true;
  EXPECT_EQ(Load(), "Failed to get data for 'TFTPPort'");
  EXPECT_EQ(settings.TFTPRoot, "C:\\x");
  EXPECT_EQ(settings.TFTPPort, 77);
  EXPECT_FALSE(settings.LocalTime) << "read after the missing value";
}

TEST_F(RegistryStoreTest, UnknownValuesAreLeftUntouched) {
  PutDword("Foreign", 42);
  PutSz("ForeignText", "keep me");
  SaveDefaults();
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(GetRaw("Foreign", type, data));
  EXPECT_EQ(data, std::string("\x2a\0\0\0", 4));
  ASSERT_TRUE(GetRaw("ForeignText", type, data));
  EXPECT_EQ(data, std::string("keep me\0", 8));
}

TEST_F(RegistryStoreTest, TextOutsideTheCodePageIsRefusedAndNothingIsWritten) {
  ServiceSettings s = InitialSettings();
  s.TFTPRoot = "C:\\\xe6\x97\xa5\xe6\x9c\xac";  // two CJK characters, not in Windows-1252
  try {
    SaveSettings(registry, codec, s);
    FAIL() << "no error";
  } catch (const AppError& e) {
    EXPECT_NE(std::string(e.what()).find("'TFTPRoot'"), std::string::npos) << e.what();
  }
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPath, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryStoreTest, AnsiTextRoundTripsThroughTheCodePage) {
  ServiceSettings s = InitialSettings();
  s.LogDirectory = "C:\\Gr\xc3\xbc\xc3\x9f";  // "Grüß" in UTF-8
  SaveSettings(registry, codec, s);
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(GetRaw("LogDirectory", type, data));
  EXPECT_EQ(data, std::string("C:\\Gr\xfc\xdf\0", 8));  // Windows-1252 bytes
  EXPECT_EQ(Load(), "");
  EXPECT_EQ(settings.LogDirectory, s.LogDirectory);
}

}  // namespace
}  // namespace tftpcfg
