// Every platform call of the controller's operations, and its error box,
// pauses and message dispatch, made to fail in turn: the manager's calls with
// a system error code, and each of them by throwing (as an allocation would).
// Whatever fails, every manager and service handle that was opened is closed
// exactly once, no closed handle is used, and a thrown error leaves the
// operation unchanged.

#include <gtest/gtest.h>

#include <functional>
#include <new>

#include "service/service_controller.h"
#include "tests/unit/service/fake_service_platform.h"

namespace tftpcfg {
namespace {

using test::CallLog;
using test::Status;

enum class Fault { kErrorCode, kThrow };

struct FaultPlan {
  Fault fault = Fault::kErrorCode;
  int failAt = 0;
  int count = 0;
  bool fired = false;

  // True when this call is to fail with an error code; throws when it is to
  // fail by throwing. Calls that cannot report an error only ever throw.
  bool Next(bool canReportError = true) {
    if (fault == Fault::kErrorCode && !canReportError) return false;
    if (++count != failAt) return false;
    fired = true;
    if (fault == Fault::kThrow) throw std::bad_alloc();
    return true;
  }
};

constexpr uint32_t kInjectedError = 1450;  // ERROR_NO_SYSTEM_RESOURCES

class FaultyScm final : public IServiceControlManager {
 public:
  FaultyScm(test::FakeScm& inner, FaultPlan& plan) : inner_(inner), plan_(plan) {}

  ScHandle OpenManager(const std::string& machine, uint32_t access) override {
    if (Inject()) return kNoScHandle;
    return inner_.OpenManager(machine, access);
  }
  ScHandle OpenNamedService(ScHandle manager, const std::string& service,
                            uint32_t access) override {
    if (Inject()) return kNoScHandle;
    return inner_.OpenNamedService(manager, service, access);
  }
  bool QueryStatus(ScHandle service, ServiceStatus& status) override {
    if (Inject()) return false;
    return inner_.QueryStatus(service, status);
  }
  bool QueryConfig(ScHandle service, std::span<std::byte> buffer, ServiceConfig& config,
                   uint32_t& bytesNeeded) override {
    if (Inject()) return false;
    return inner_.QueryConfig(service, buffer, config, bytesNeeded);
  }
  bool Start(ScHandle service) override {
    if (Inject()) return false;
    return inner_.Start(service);
  }
  bool Control(ScHandle service, uint32_t control) override {
    if (Inject()) return false;
    return inner_.Control(service, control);
  }
  void Close(ScHandle handle) override { inner_.Close(handle); }
  uint32_t LastError() override { return injected_ ? kInjectedError : inner_.LastError(); }
  std::string SystemErrorText(uint32_t code) override {
    plan_.Next(false);
    return inner_.SystemErrorText(code);
  }

 private:
  bool Inject() {
    injected_ = plan_.Next();
    return injected_;
  }
  test::FakeScm& inner_;
  FaultPlan& plan_;
  bool injected_ = false;
};

class FaultyClock final : public IServiceClock {
 public:
  FaultyClock(test::FakeClock& inner, FaultPlan& plan) : inner_(inner), plan_(plan) {}
  uint32_t TickCount() override { return inner_.TickCount(); }
  void Sleep(uint32_t ms) override {
    plan_.Next(false);
    inner_.Sleep(ms);
  }

 private:
  test::FakeClock& inner_;
  FaultPlan& plan_;
};

class FaultyUi final : public IServiceUi {
 public:
  FaultyUi(test::FakeUi& inner, FaultPlan& plan) : inner_(inner), plan_(plan) {}
  void DispatchMessages() override {
    plan_.Next(false);
    inner_.DispatchMessages();
  }
  void ShowError(const std::string& text) override {
    plan_.Next(false);
    inner_.ShowError(text);
  }

 private:
  test::FakeUi& inner_;
  FaultPlan& plan_;
};

struct Scenario {
  const char* name;
  std::function<void(test::FakeScm&)> script;
  std::function<void(ServiceController&)> run;
};

const std::string kName = "OstrelTFTPd";

std::vector<Scenario> Scenarios() {
  return {
      {"restart of a running service",
       [](test::FakeScm& scm) {
         scm.statuses = {Status(kServiceRunning), Status(kServiceStopPending, 1, 3000),
                         Status(kServiceStopped), Status(kServiceStartPending, 1, 3000),
                         Status(kServiceRunning)};
       },
       [](ServiceController& c) { c.RestartService("", kName); }},
      {"restart of a stopped service that starts slowly",
       [](test::FakeScm& scm) {
         scm.statuses = {Status(kServiceStopped), Status(kServiceStartPending, 1, 0),
                         Status(kServiceStartPending, 2, 0), Status(kServiceRunning)};
       },
       [](ServiceController& c) { c.RestartService("", kName); }},
      {"information with a large configuration",
       [](test::FakeScm& scm) {
         scm.configBytes = 4000;
         scm.statuses = {Status(kServicePaused)};
       },
       [](ServiceController& c) {
         ServiceInfo info;
         c.GetServiceInfo(kName, info);
       }},
      {"pause that does not finish",
       [](test::FakeScm& scm) { scm.statuses = {Status(kServicePausePending, 0, 0)}; },
       [](ServiceController& c) { c.PerformServiceAction(kName, saPause); }},
  };
}

TEST(ControllerFaultSweep, EveryHandleIsClosedWhateverFails) {
  for (const Scenario& scenario : Scenarios()) {
    for (const Fault fault : {Fault::kErrorCode, Fault::kThrow}) {
      // Count the calls of the run in which nothing fails.
      int total = 0;
      {
        CallLog log;
        test::FakeScm scm(log);
        test::FakeClock clock(log);
        test::FakeUi ui(log);
        scenario.script(scm);
        FaultPlan plan{fault, 0};
        FaultyScm faultyScm(scm, plan);
        FaultyClock faultyClock(clock, plan);
        FaultyUi faultyUi(ui, plan);
        ServiceController controller(faultyScm, faultyClock, faultyUi);
        scenario.run(controller);
        total = plan.count;
      }
      ASSERT_GT(total, 3) << scenario.name;
      for (int n = 1; n <= total; ++n) {
        SCOPED_TRACE(testing::Message()
                     << scenario.name << ", " << (fault == Fault::kThrow ? "throw" : "error")
                     << " at call " << n);
        CallLog log;
        test::FakeScm scm(log);
        test::FakeClock clock(log);
        test::FakeUi ui(log);
        scenario.script(scm);
        FaultPlan plan{fault, n};
        FaultyScm faultyScm(scm, plan);
        FaultyClock faultyClock(clock, plan);
        FaultyUi faultyUi(ui, plan);
        ServiceController controller(faultyScm, faultyClock, faultyUi);
        bool thrown = false;
        try {
          scenario.run(controller);
        } catch (const std::bad_alloc&) {
          thrown = true;
        }
        EXPECT_TRUE(plan.fired);
        EXPECT_EQ(thrown, fault == Fault::kThrow);
        EXPECT_EQ(scm.opened, scm.closed);
        EXPECT_TRUE(scm.openHandles.empty()) << "a handle was left open";
        EXPECT_EQ(scm.badHandleUses, 0);
        // A failure that the manager reports is shown: the run ends with at
        // least one error box.
        if (fault == Fault::kErrorCode) {
          EXPECT_FALSE(ui.errors.empty());
        }
      }
    }
  }
}

}  // namespace
}  // namespace tftpcfg
