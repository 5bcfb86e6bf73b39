// Each of the eighteen settings values, stored wrongly in every way the real
// registry allows: missing, each wrong type, 0 to 5 bytes of data, a 1 MB
// REG_SZ, a REG_SZ without its terminating zero, a REG_EXPAND_SZ. The real
// window starts on each key. What it shows and says must be what the store's
// rules give for the key as the registry hands it out (tests/support/
// store_oracle.h, worked out without the store), and nothing may crash. A
// save after a change elsewhere leaves every value the load could not read
// exactly as stored.

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "config/access_rights.h"
#include "config/service_settings.h"
#include "config/settings_store.h"
#include "tests/support/memory_registry.h"
#include "tests/support/store_oracle.h"
#include "tests/win/reliability/resource_counts.h"
#include "tests/win/ui/main_window_fixture.h"

namespace tftpcfg::test {
namespace {

struct Corruption {
  std::string label;
  bool remove = false;
  DWORD type = REG_NONE;
  std::string data;
};

std::string Bytes(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s.push_back(static_cast<char>(b));
  return s;
}

// A megabyte of text that reads as something for each value: rules for the
// host list, a path for the others.
std::string Megabyte(const char* name) {
  const std::string unit = std::string(name) == "HostList" ? "[10.0.0.1, 255.255.255.255, R], "
                                                           : "C:\\a long folder name\\";
  std::string text;
  while (text.size() + unit.size() <= (1u << 20)) text += unit;
  text.resize(1u << 20, 'x');
  return text + '\0';
}

std::vector<Corruption> CorruptionsOf(const StoredValue& v) {
  std::vector<Corruption> list;
  list.push_back({"missing", true, REG_NONE, ""});
  // Wrong types, with data of a plausible size for each.
  const std::vector<std::pair<DWORD, std::string>> typed = {
      {REG_NONE, Bytes({1, 0, 0, 0})},          {REG_SZ, std::string("69\0", 3)},
      {REG_EXPAND_SZ, std::string("69\0", 3)},  {REG_BINARY, Bytes({1, 0, 0, 0})},
      {REG_DWORD, Bytes({1, 0, 0, 0})},         {REG_DWORD_BIG_ENDIAN, Bytes({0, 0, 0, 1})},
      {REG_MULTI_SZ, std::string("69\0\0", 4)}, {REG_QWORD, Bytes({1, 0, 0, 0, 0, 0, 0, 0})},
  };
  for (const auto& [type, data] : typed) {
    const bool right =
        v.type == kRegDword ? type == REG_DWORD : (type == REG_SZ || type == REG_EXPAND_SZ);
    if (!right) list.push_back({"type " + std::to_string(type), false, type, data});
  }
  // Sizes 0 to 5 of the right type.
  const std::string dword = Bytes({0x07, 0x01, 0x00, 0x00, 0x2A});
  const std::string text("r\0xyz", 5);
  for (size_t n = 0; n <= 5; ++n) {
    if (v.type == kRegDword)
      list.push_back({std::to_string(n) + " bytes", false, REG_DWORD, dword.substr(0, n)});
    else
      list.push_back({std::to_string(n) + " bytes", false, REG_SZ, text.substr(0, n)});
  }
  list.push_back({"1 MB REG_SZ", false, REG_SZ, Megabyte(v.name)});
  list.push_back(
      {"REG_SZ without zero", false, REG_SZ, v.type == kRegDword ? "69" : std::string("C:\\tftp")});
  list.push_back({"REG_EXPAND_SZ", false, REG_EXPAND_SZ,
                  std::string(v.type == kRegDword ? "69" : "%SystemRoot%\\tftp") + '\0'});
  return list;
}

void Store(const char* name, const Corruption& c) {
  if (c.remove) {
    RemoveValue(name);
  } else {
    PutRawValue(name, c.type, c.data);
  }
}

int32_t Clamp(int32_t v, IntRange r) {
  return v < r.min ? r.min : (v > r.max ? r.max : v);
}

// A record as the window shows it: numbers clamped into their fields' ranges;
// the host list, while no rule changes, is the text it was loaded from.
ServiceSettings ExpectedShown(ServiceSettings s) {
  s.TFTPPort = Clamp(s.TFTPPort, kPortRange);
  s.LogFileCount = Clamp(s.LogFileCount, kLogCountRange);
  s.TFTPTimeout = Clamp(s.TFTPTimeout, kTimeoutRange);
  s.TFTPRetr = Clamp(s.TFTPRetr, kRetriesRange);
  s.FWMinPort = Clamp(s.FWMinPort, kFirewallPortRange);
  s.FWMaxPort = Clamp(s.FWMaxPort, kFirewallPortRange);
  return s;
}

std::string Head(const std::string& s) {
  return s.size() > 60 ? s.substr(0, 60) + "... (" + std::to_string(s.size()) + " bytes)" : s;
}

std::string MessageKind(const std::string& message) {
  for (const char* prefix : {"Failed to get data", "Invalid data type", "List index out of bounds"})
    if (message.rfind(prefix, 0) == 0) return prefix;
  return message;
}

class RegistryMatrixTest : public MainWindowTest {};

TEST_F(RegistryMatrixTest, EveryValueStoredWronglyEveryWayStartsTheWindowWithTheStoresOutcome) {
  int cases = 0;
  int loaded = 0;
  int saves = 0;
  std::map<std::string, int> messages;
  const DWORD start = GetTickCount();
  // Every case creates and destroys the window and the rule dialog: what the
  // first that went through a save left behind (the first case failed the
  // checks instead) must be all that the last leaves.
  ResourceCounts afterFirst;
  bool counted = false;
  SettleRuntime();
  for (const StoredValue& v : StoredValues()) {
    for (const Corruption& c : CorruptionsOf(v)) {
      SCOPED_TRACE(std::string(v.name) + ": " + c.label);
      ++cases;
      DeleteSettingsKey();
      PutCompleteKey(existingDir_, existingDir_);
      Store(v.name, c);
      const std::map<std::string, RegValue> raw = ReadSettingsKeyRaw();
      // The corruption is in the key as intended (text types may gain a
      // terminating zero on the way through the ANSI query).
      if (c.remove) {
        ASSERT_EQ(raw.count(v.name), 0u);
      } else {
        ASSERT_EQ(raw.count(v.name), 1u);
        EXPECT_EQ(raw.at(v.name).type, c.type);
        const std::string& got = raw.at(v.name).data;
        const bool text = c.type == REG_SZ || c.type == REG_EXPAND_SZ || c.type == REG_MULTI_SZ;
        if (!text || got != c.data + '\0') {
          EXPECT_EQ(got, c.data);
        }
      }
      const ExpectedLoad expected = PredictLoad(&raw, InitialSettings(), codec_);

      dialogs_.shown.clear();
      Open();
      ASSERT_TRUE(frm_ && IsWindow(frm_->Handle()));
      if (expected.message.empty()) {
        ++loaded;
        EXPECT_TRUE(dialogs_.shown.empty());
      } else {
        ++messages[MessageKind(expected.message)];
        ASSERT_EQ(dialogs_.shown.size(), 1u);
        EXPECT_EQ(dialogs_.shown[0].kind, "ApplicationError");
        EXPECT_EQ(dialogs_.shown[0].text, expected.message) << "no full stop after ' or )";
      }
      const ServiceSettings want = ExpectedShown(expected.settings);
      const ServiceSettings shown = frm_->SettingsFromControls();
      EXPECT_EQ(Head(shown.TFTPRoot), Head(want.TFTPRoot));
      EXPECT_EQ(Head(shown.LogDirectory), Head(want.LogDirectory));
      EXPECT_EQ(shown.HostList.size(), want.HostList.size());
      EXPECT_TRUE(shown == want) << "shown and expected records differ";
      EXPECT_FALSE(frm_->Modified());
      EXPECT_FALSE(IsWindowEnabled(frm_->Control(IDC_APPLY)));

      // A change of another value, and Apply without a restart: the unread
      // values keep their bytes, the others are written as shown. Where what
      // is shown fails the checks (a root that does not exist, an empty
      // firewall range), nothing is written at all.
      const int other =
          std::string(v.name) == "HighPriority" ? IDC_OPTION_TSIZE : IDC_HIGH_PRIORITY;
      ClickCheckBox(frm_->Control(other));
      ClickCheckBox(frm_->Control(other));
      dialogs_.shown.clear();
      dialogs_.restartAnswers = {RestartAnswer::No};
      ClickButton(frm_->Control(IDC_APPLY));
      const bool saved = dialogs_.Kinds() == std::vector<std::string>{"Restart"};
      saves += saved;
      MemoryRegistry written;
      if (saved) SaveSettings(written, codec_, shown, expected.unread);
      auto& writtenValues = written.keys[std::string(kSettingsKeyPath)];
      const std::map<std::string, RegValue> after = ReadSettingsKeyRaw();
      for (const StoredValue& stored : StoredValues()) {
        const auto it = writtenValues.find(stored.name);
        if (it == writtenValues.end()) {
          EXPECT_EQ(after.count(stored.name), raw.count(stored.name)) << stored.name;
          if (raw.count(stored.name)) {
            EXPECT_TRUE(after.at(stored.name) == raw.at(stored.name))
                << stored.name << " was overwritten";
          }
        } else {
          ASSERT_EQ(after.count(stored.name), 1u) << stored.name;
          EXPECT_TRUE(after.at(stored.name) == it->second)
              << stored.name << " was not written as shown";
        }
      }
      // Every page in front once, so that what the controls allocate once per
      // process is allocated before the counts are taken.
      if (cases == 1) {
        for (int page = 0; page < kTabbedPages; ++page) {
          frm_->ShowPage(page);
          UpdateWindow(frm_->Handle());
          SetFocus(GetNextDlgTabItem(frm_->Page(page), nullptr, FALSE));
          Pump();
        }
      }
      dlg_.reset();
      frm_.reset();
      Pump();
      if (saved && !counted) {
        afterFirst = CountResources();
        counted = true;
      }
    }
  }
  const ResourceCounts afterLast = CountResources();
  EXPECT_EQ(afterLast, afterFirst) << "after the first window: " << afterFirst.Text()
                                   << "; after the last: " << afterLast.Text();
  std::printf("registry matrix: %d cases in %lu ms; %d loaded, %d saved after a change", cases,
              static_cast<unsigned long>(GetTickCount() - start), loaded, saves);
  for (const auto& [m, n] : messages) std::printf(", %d \"%s\"", n, m.c_str());
  std::printf("; after the first window %s, after the last %s\n", afterFirst.Text().c_str(),
              afterLast.Text().c_str());
  EXPECT_EQ(cases, 14 * 17 + 4 * 16);
}

}  // namespace
}  // namespace tftpcfg::test
