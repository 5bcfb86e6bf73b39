// Loading the settings from an in-memory registry key filled from the input:
// any value names, types, sizes and contents. The load reads what it can and
// reports the store's messages for the rest, exactly as the store's rules
// predict (tests/support/store_oracle.h); it never crashes, never reads
// outside the data, and closes the key on every path. Saving the loaded record
// back over the same key leaves every unread value's bytes as they were,
// writes the others with the right types and sizes, and that key loads the
// same record with the same values unread.
//
// Input: one flags byte (low two bits: 2 no key, 3 a key that cannot be
// opened, otherwise a key), then records until the end: value name byte
// (0..17 the settings in order, 18 an unknown name, 19 the default value),
// type byte (index into the usual types, or the raw byte), length byte (255:
// a 16-bit length follows), data.

#include <array>
#include <cstdint>
#include <exception>
#include <string>

#include "config/settings_store.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/support/latin1_codec.h"
#include "tests/support/memory_registry.h"
#include "tests/support/store_oracle.h"

namespace tftpcfg {
namespace {

using fuzz::Escaped;
using fuzz::FuzzInput;

const std::string kPath(kSettingsKeyPath);

constexpr std::array<const char*, 20> kNames = {
    "TFTPRoot",     "TFTPPort",      "WriteLog",  "HighPriority", "LogDirectory",
    "LogFileCount", "DefaultRights", "HostList",  "TFTPTimeout",  "TFTPRetr",
    "OpTimeout",    "OpBlocksize",   "OpTSize",   "FWEnabled",    "FWMinPort",
    "FWMaxPort",    "LogLevel",      "LocalTime", "Unknown",      ""};

constexpr std::array<uint32_t, 8> kTypes = {kRegNone,    kRegSz,    kRegExpandSz,
                                            kRegBinary,  kRegDword, kRegDwordBigEndian,
                                            kRegMultiSz, kRegQword};

std::string Describe(const ServiceSettings& s) {
  return "root=" + Escaped(s.TFTPRoot, 40) + " port=" + std::to_string(s.TFTPPort) +
         " log=" + std::to_string(s.WriteLog) + " prio=" + std::to_string(s.HighPriority) +
         " logdir=" + Escaped(s.LogDirectory, 40) + " count=" + std::to_string(s.LogFileCount) +
         " rights=" + std::to_string(s.DefaultRights) + " hosts=" + Escaped(s.HostList, 40) +
         " timeout=" + std::to_string(s.TFTPTimeout) + " retr=" + std::to_string(s.TFTPRetr) +
         " ops=" + std::to_string(s.OpTimeout) + std::to_string(s.OpBlocksize) +
         std::to_string(s.OpTSize) + " fw=" + std::to_string(s.FWEnabled) + " " +
         std::to_string(s.FWMinPort) + ".." + std::to_string(s.FWMaxPort) +
         " level=" + std::to_string(s.LogLevel) + " local=" + std::to_string(s.LocalTime);
}

// Runs the load; the messages of its failures (or of the key's error), and
// what it left unread.
std::string Load(test::MemoryRegistry& reg, const IAnsiCodec& codec, ServiceSettings& s,
                 StoredValueSet& unread) {
  try {
    const LoadOutcome outcome = LoadSettings(reg, codec, s);
    unread = outcome.unread;
    return outcome.Message();
  } catch (const AppError& e) {
    return e.what();
  } catch (const std::exception& e) {
    fuzz::Fail("the load raised something other than the store's error", e.what());
  }
  return {};
}

// What a save over `before` wrote: the kept values as they were; texts as
// REG_SZ with one zero byte, the rest as four-byte REG_DWORD, booleans 0 or 1,
// the access right as "R" or "NA".
void CheckSavedKey(const test::MemoryRegistry::Values& before,
                   const test::MemoryRegistry::Values& saved, const StoredValueSet& kept) {
  for (size_t i = 0; i < 18; ++i) {
    const auto it = saved.find(kNames[i]);
    FUZZ_CHECK(it != saved.end(), kNames[i]);
    const RegValue& v = it->second;
    const std::string name = kNames[i];
    if (kept.test(i)) {
      FUZZ_CHECK(v == before.at(name), name + " was overwritten: " + Escaped(v.data));
      continue;
    }
    if (name == "TFTPRoot" || name == "LogDirectory" || name == "HostList" ||
        name == "DefaultRights") {
      FUZZ_CHECK(v.type == kRegSz && !v.data.empty() && v.data.back() == '\0' &&
                     v.data.find('\0') == v.data.size() - 1,
                 name + " " + Escaped(v.data));
      if (name == "DefaultRights")
        FUZZ_CHECK(v.data == std::string("R\0", 2) || v.data == std::string("NA\0", 3),
                   Escaped(v.data));
    } else {
      FUZZ_CHECK(v.type == kRegDword && v.data.size() == 4, name);
    }
  }
  for (const size_t i : {2, 3, 10, 11, 12, 13, 17}) {  // the booleans
    const std::string& d = saved.at(kNames[i]).data;
    FUZZ_CHECK(kept.test(i) || d == test::Dword(0) || d == test::Dword(1), kNames[i]);
  }
}

void Run(FuzzInput& in) {
  const uint8_t flags = in.Byte();
  const bool noKey = (flags & 3) == 2;
  const bool lockedKey = (flags & 3) == 3;

  test::MemoryRegistry::Values values;
  while (!in.empty()) {
    const char* name = kNames[in.Byte() % kNames.size()];
    const uint8_t typeByte = in.Byte();
    const uint32_t type = typeByte % 9 < kTypes.size() ? kTypes[typeByte % 9] : typeByte;
    size_t length = in.Byte();
    if (length == 255) length = in.Word();
    values[name] = RegValue{type, in.Bytes(length)};
  }

  test::MemoryRegistry reg;
  if (!noKey) reg.keys[kPath] = values;
  if (lockedKey) reg.openError = kErrorAccessDenied;
  const test::Latin1Codec codec;
  const ServiceSettings initial = InitialSettings();

  ServiceSettings loaded = initial;
  StoredValueSet unread;
  const std::string message = Load(reg, codec, loaded, unread);
  FUZZ_CHECK(reg.keysOpened == reg.keysClosed, "a key was left open");
  FUZZ_CHECK(reg.keysOpened <= 1, "the key was opened more than once");

  test::ExpectedLoad expected;
  if (lockedKey) {
    expected = {
        initial, "Failed to open registry key '" + kPath + "' for reading: Access is denied", {}};
  } else {
    expected = test::PredictLoad(noKey ? nullptr : &values, initial, codec);
  }
  FUZZ_CHECK(message == expected.message,
             "message \"" + message + "\", expected \"" + expected.message + "\"");
  FUZZ_CHECK(loaded == expected.settings,
             "loaded   " + Describe(loaded) + "\n  expected " + Describe(expected.settings));
  FUZZ_CHECK(unread.to_string() == expected.unread.to_string(),
             "unread " + unread.to_string() + ", expected " + expected.unread.to_string());
  if (noKey || lockedKey) return;

  // What was loaded saves over the same key, leaving the unread values as they
  // are, and loads again unchanged.
  test::MemoryRegistry copy;
  copy.keys[kPath] = values;
  try {
    SaveSettings(copy, codec, loaded, unread);
  } catch (const std::exception& e) {
    fuzz::Fail("saving a loaded record failed", e.what());
  }
  FUZZ_CHECK(copy.keysOpened == copy.keysClosed, "a key was left open by the save");
  CheckSavedKey(values, copy.keys[kPath], unread);
  ServiceSettings again = InitialSettings();
  StoredValueSet unreadAgain;
  Load(copy, codec, again, unreadAgain);
  FUZZ_CHECK(unreadAgain == unread, "unread after the save " + unreadAgain.to_string());
  FUZZ_CHECK(again == loaded, "reloaded " + Describe(again) + "\n  saved    " + Describe(loaded));
}

}  // namespace
}  // namespace tftpcfg

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tftpcfg::fuzz::FuzzInput in(data, size);
  tftpcfg::Run(in);
  return 0;
}
