// Every registry call and text conversion of a load and a save, made to fail
// in turn: first with a system error code, then by throwing (as an allocation
// for a large value would). Whatever fails, the key is closed, only the
// store's own error or the thrown one comes out, a load goes on past a value
// whose query failed and counts it unread, and a save that fails part way has
// written exactly the values before the failing one.

#include <gtest/gtest.h>

#include <new>

#include "config/settings_store.h"
#include "tests/support/latin1_codec.h"
#include "tests/support/memory_registry.h"

namespace tftpcfg {
namespace {

using test::Dword;
using test::Sz;

const std::string kPath(kSettingsKeyPath);

enum class Fault { kErrorCode, kThrow };

// Counts the operations of the registry, its keys and the codec, and makes
// the one numbered failAt (1-based) fail.
struct FaultPlan {
  Fault fault = Fault::kErrorCode;
  int failAt = 0;
  int count = 0;
  bool fired = false;

  // True when this operation is to fail with an error code; throws when it is
  // to fail by throwing.
  bool Next() {
    if (++count != failAt) return false;
    fired = true;
    if (fault == Fault::kThrow) throw std::bad_alloc();
    return true;
  }
};

class FaultyKey final : public IRegistryKey {
 public:
  FaultyKey(std::unique_ptr<IRegistryKey> inner, FaultPlan& plan)
      : inner_(std::move(inner)), plan_(plan) {}
  long QueryValue(const std::string& name, RegValue& value) override {
    if (plan_.Next()) return kErrorAccessDenied;
    return inner_->QueryValue(name, value);
  }
  long SetValue(const std::string& name, uint32_t type, std::string_view data) override {
    if (plan_.Next()) return kErrorAccessDenied;
    return inner_->SetValue(name, type, data);
  }

 private:
  std::unique_ptr<IRegistryKey> inner_;
  FaultPlan& plan_;
};

class FaultyRegistry final : public IRegistry {
 public:
  FaultyRegistry(test::MemoryRegistry& inner, FaultPlan& plan) : inner_(inner), plan_(plan) {}
  std::unique_ptr<IRegistryKey> OpenLocalMachineKey(const std::string& path, uint32_t access,
                                                    long& error) override {
    if (plan_.Next()) {
      error = kErrorAccessDenied;
      return nullptr;
    }
    return Wrap(inner_.OpenLocalMachineKey(path, access, error));
  }
  std::unique_ptr<IRegistryKey> CreateLocalMachineKey(const std::string& path, uint32_t access,
                                                      long& error) override {
    if (plan_.Next()) {
      error = kErrorAccessDenied;
      return nullptr;
    }
    return Wrap(inner_.CreateLocalMachineKey(path, access, error));
  }
  std::string SystemErrorText(long code) override { return inner_.SystemErrorText(code); }

 private:
  std::unique_ptr<IRegistryKey> Wrap(std::unique_ptr<IRegistryKey> key) {
    if (!key) return nullptr;
    return std::make_unique<FaultyKey>(std::move(key), plan_);
  }
  test::MemoryRegistry& inner_;
  FaultPlan& plan_;
};

// Conversions fail only by throwing; a refused conversion is another test's.
class FaultyCodec final : public IAnsiCodec {
 public:
  explicit FaultyCodec(FaultPlan& plan) : plan_(plan) {}
  bool ToAnsi(std::string_view utf8, std::string& ansi) const override {
    if (plan_.fault == Fault::kThrow) plan_.Next();
    return latin1_.ToAnsi(utf8, ansi);
  }
  std::string FromAnsi(std::string_view ansi) const override {
    if (plan_.fault == Fault::kThrow) plan_.Next();
    return latin1_.FromAnsi(ansi);
  }
  std::string CodePageName() const override { return latin1_.CodePageName(); }

 private:
  FaultPlan& plan_;
  test::Latin1Codec latin1_;
};

void FillCompleteKey(test::MemoryRegistry& reg) {
  reg.Put(kPath, "TFTPRoot", kRegSz, Sz("C:\\tftp"));
  reg.Put(kPath, "TFTPPort", kRegDword, Dword(69));
  reg.Put(kPath, "WriteLog", kRegDword, Dword(1));
  reg.Put(kPath, "HighPriority", kRegDword, Dword(1));
  reg.Put(kPath, "LogDirectory", kRegSz, Sz("C:\\logs"));
  reg.Put(kPath, "LogFileCount", kRegDword, Dword(9));
  reg.Put(kPath, "DefaultRights", kRegSz, Sz("R"));
  reg.Put(kPath, "HostList", kRegSz, Sz("[1.2.3.4, 255.255.255.255, R]"));
  reg.Put(kPath, "TFTPTimeout", kRegDword, Dword(30));
  reg.Put(kPath, "TFTPRetr", kRegDword, Dword(7));
  reg.Put(kPath, "OpTimeout", kRegDword, Dword(0));
  reg.Put(kPath, "OpBlocksize", kRegDword, Dword(0));
  reg.Put(kPath, "OpTSize", kRegDword, Dword(0));
  reg.Put(kPath, "FWEnabled", kRegDword, Dword(0));
  reg.Put(kPath, "FWMinPort", kRegDword, Dword(2000));
  reg.Put(kPath, "FWMaxPort", kRegDword, Dword(3000));
  reg.Put(kPath, "LogLevel", kRegDword, Dword(7));
  reg.Put(kPath, "LocalTime", kRegDword, Dword(1));
}

// The operations a run makes when nothing fails.
template <typename Run>
int OperationsOf(Run run) {
  FaultPlan plan;
  run(plan);
  return plan.count;
}

// What a store call raised: its message, "bad_alloc", or nothing.
template <typename Call>
std::string ErrorOf(Call call) {
  try {
    call();
  } catch (const AppError& e) {
    return e.what();
  } catch (const std::bad_alloc&) {
    return "bad_alloc";
  }
  return {};
}

TEST(StoreFaultSweep, LoadClosesTheKeyWhateverFails) {
  LoadOutcome outcome;
  const auto load = [&outcome](FaultPlan& plan, test::MemoryRegistry& reg, std::string& error) {
    FaultyRegistry registry(reg, plan);
    FaultyCodec codec(plan);
    ServiceSettings settings = InitialSettings();
    outcome = {};
    error = ErrorOf([&] { outcome = LoadSettings(registry, codec, settings); });
  };
  for (const Fault fault : {Fault::kErrorCode, Fault::kThrow}) {
    const int total = OperationsOf([&](FaultPlan& plan) {
      plan.fault = fault;
      test::MemoryRegistry reg;
      FillCompleteKey(reg);
      std::string error;
      load(plan, reg, error);
      EXPECT_EQ(error, "");
    });
    // Open and 18 queries, and in the throwing pass the three text conversions.
    EXPECT_EQ(total, fault == Fault::kThrow ? 22 : 19);
    for (int n = 1; n <= total; ++n) {
      SCOPED_TRACE(testing::Message()
                   << (fault == Fault::kThrow ? "throw" : "error") << " at " << n);
      test::MemoryRegistry reg;
      FillCompleteKey(reg);
      FaultPlan plan{fault, n};
      std::string error;
      load(plan, reg, error);
      EXPECT_TRUE(plan.fired);
      EXPECT_EQ(reg.keysOpened, reg.keysClosed) << "a key was left open";
      if (fault == Fault::kThrow) {
        EXPECT_EQ(error, "bad_alloc");
      } else if (n >= 2) {
        // Query n - 1 failed: only that value is unread, with its message
        // (none for DefaultRights, which reads as No Access).
        const size_t value = static_cast<size_t>(n - 2);
        EXPECT_EQ(error, "");
        EXPECT_EQ(outcome.unread, StoredValueSet().set(value));
        EXPECT_EQ(outcome.failures.size(),
                  StoredValues()[value].name == std::string("DefaultRights") ? 0u : 1u);
      }
    }
  }
}

TEST(StoreFaultSweep, SaveClosesTheKeyAndStopsAtTheFailingValue) {
  ServiceSettings settings = InitialSettings();
  settings.TFTPRoot = "C:\\tftp";
  const auto save = [&settings](FaultPlan& plan, test::MemoryRegistry& reg, std::string& error) {
    FaultyRegistry registry(reg, plan);
    FaultyCodec codec(plan);
    error = ErrorOf([&] { SaveSettings(registry, codec, settings); });
  };
  for (const Fault fault : {Fault::kErrorCode, Fault::kThrow}) {
    const int total = OperationsOf([&](FaultPlan& plan) {
      plan.fault = fault;
      test::MemoryRegistry reg;
      std::string error;
      save(plan, reg, error);
      EXPECT_EQ(error, "");
    });
    // Create and 18 writes, and in the throwing pass the three text conversions.
    EXPECT_EQ(total, fault == Fault::kThrow ? 22 : 19);
    for (int n = 1; n <= total; ++n) {
      SCOPED_TRACE(testing::Message()
                   << (fault == Fault::kThrow ? "throw" : "error") << " at " << n);
      test::MemoryRegistry reg;
      reg.Put(kPath, "Unrelated", kRegBinary, "\x01");
      FaultPlan plan{fault, n};
      std::string error;
      save(plan, reg, error);
      EXPECT_TRUE(plan.fired);
      EXPECT_FALSE(error.empty());
      EXPECT_EQ(reg.keysOpened, reg.keysClosed) << "a key was left open";
      // The values written are a prefix of the eighteen, in order: what the
      // calls log shows as set is exactly what the key holds besides the
      // unrelated value.
      size_t sets = 0;
      for (const std::string& call : reg.calls) sets += call.rfind("set ", 0) == 0;
      EXPECT_EQ(reg.keys[kPath].size(), sets + 1);
      EXPECT_LT(sets, 18u);
      // With error codes the create is operation 1 and the writes follow.
      if (fault == Fault::kErrorCode) {
        EXPECT_EQ(sets, n >= 2 ? static_cast<size_t>(n - 2) : 0u);
      }
    }
  }
}

}  // namespace
}  // namespace tftpcfg
