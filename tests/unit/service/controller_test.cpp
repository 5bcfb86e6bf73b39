// The controller's operations on a scripted manager: the calls of a restart,
// every failure along the way with the box it shows, and the handles.

#include <gtest/gtest.h>

#include <algorithm>

#include "service/service_controller.h"
#include "tests/unit/service/fake_service_platform.h"

namespace tftpcfg {
namespace {

using test::CallLog;
using test::FailedRead;
using test::Status;

const std::string kName = "OstrelTFTPd";
const std::string kUnfinishedStop =
    "Error trying to peform specified action.\rError Message: Couldn't stop service "
    "OstrelTFTPd.\rPlease refer EventLog for extended information about error.";
const std::string kUnfinishedStart =
    "Error trying to peform specified action.\rError Message: Couldn't start service "
    "OstrelTFTPd.\rPlease refer EventLog for extended information about error.";

std::string Box(const std::string& detail) {
  return "Error trying to peform specified action.\rError Message: " + detail + ".";
}

class ControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scm.errorTexts = {{5, "Access is denied"},
                      {122, "The data area passed to a system call is too small"},
                      {1052, "The requested control is not valid for this service"},
                      {1058, "The service cannot be started, either because it is disabled"},
                      {1060, "The specified service does not exist as an installed service"},
                      {1061, "The service cannot accept control messages at this time"},
                      {1062, "The service has not been started"},
                      {1722, "The RPC server is unavailable"}};
  }
  // Every handle opened was closed exactly once, and no call used a closed one.
  void TearDown() override {
    EXPECT_EQ(scm.opened, scm.closed);
    EXPECT_TRUE(scm.openHandles.empty());
    EXPECT_EQ(scm.badHandleUses, 0);
  }

  bool Restart() { return controller.RestartService("", kName); }
  bool Requested(const std::string& call) const {
    return std::find(log.begin(), log.end(), call) != log.end();
  }
  bool AnyRequest() const {
    return std::any_of(log.begin(), log.end(), [](const std::string& c) {
      return c == "StartService" || c.rfind("ControlService", 0) == 0;
    });
  }

  CallLog log;
  test::FakeScm scm{log};
  test::FakeClock clock{log};
  test::FakeUi ui{log};
  ServiceController controller{scm, clock, ui};
};

// --- Restart: the calls in order --------------------------------------------

TEST_F(ControllerTest, RestartOfARunningServiceStopsWaitsStartsWaits) {
  scm.statuses = {Status(kServiceRunning), Status(kServiceStopPending, 1, 3000),
                  Status(kServiceStopped), Status(kServiceStartPending, 1, 3000),
                  Status(kServiceRunning)};
  EXPECT_TRUE(Restart());
  EXPECT_EQ(log, (CallLog{"OpenSCManager",      "OpenService",  "QueryServiceConfig",
                          "QueryServiceStatus", "CloseService", "CloseManager",
                          "OpenSCManager",      "OpenService",  "ControlService(1)",
                          "QueryServiceStatus", "Sleep(1000)",  "Dispatch",
                          "QueryServiceStatus", "CloseService", "CloseManager",
                          "OpenSCManager",      "OpenService",  "StartService",
                          "QueryServiceStatus", "Sleep(1000)",  "Dispatch",
                          "QueryServiceStatus", "CloseService", "CloseManager"}));
  EXPECT_TRUE(ui.errors.empty());
}

TEST_F(ControllerTest, RestartOfAStoppedServiceIsAPlainStart) {
  scm.statuses = {Status(kServiceStopped), Status(kServiceRunning)};
  EXPECT_TRUE(Restart());
  EXPECT_EQ(log,
            (CallLog{"OpenSCManager", "OpenService", "QueryServiceConfig", "QueryServiceStatus",
                     "CloseService", "CloseManager", "OpenSCManager", "OpenService", "StartService",
                     "QueryServiceStatus", "CloseService", "CloseManager"}));
  EXPECT_TRUE(ui.errors.empty());
}

TEST_F(ControllerTest, EveryStateButStoppedIsStoppedFirst) {
  for (const uint32_t state : {kServiceStartPending, kServiceStopPending, kServiceRunning,
                               kServiceContinuePending, kServicePausePending, kServicePaused}) {
    SCOPED_TRACE(state);
    log.clear();
    scm.statuses = {Status(state), Status(kServiceStopped), Status(kServiceRunning)};
    EXPECT_TRUE(Restart());
    EXPECT_TRUE(Requested("ControlService(1)"));
    EXPECT_TRUE(Requested("StartService"));
  }
}

TEST_F(ControllerTest, EveryConnectionNamesTheRestartsMachineWithTheFixedAccess) {
  EXPECT_EQ(controller.ServiceMachineName(), "");
  scm.statuses = {Status(kServiceRunning), Status(kServiceStopped), Status(kServiceRunning)};
  EXPECT_TRUE(controller.RestartService("\\\\tftphost", kName));
  EXPECT_EQ(controller.ServiceMachineName(), "\\\\tftphost");
  // A later single action keeps naming that machine.
  EXPECT_TRUE(controller.PerformServiceAction(kName, saStart));
  ASSERT_EQ(scm.managerOpens.size(), 4u);
  for (const auto& [machine, access] : scm.managerOpens) {
    EXPECT_EQ(machine, "\\\\tftphost");
    EXPECT_EQ(access, 0xA0000000u);
  }
  for (const auto& [service, access] : scm.serviceOpens) {
    EXPECT_EQ(service, kName);
    EXPECT_EQ(access, 0xA0000100u);
  }
}

// --- One action --------------------------------------------------------------

TEST_F(ControllerTest, EachActionSendsItsRequestAndIsJudgedByItsTargetState) {
  struct Row {
    ServiceAction action;
    const char* request;
    uint32_t pending;
    uint32_t target;
    const char* verb;
  };
  const Row rows[] = {
      {saStart, "StartService", kServiceStartPending, kServiceRunning, "start"},
      {saStop, "ControlService(1)", kServiceStopPending, kServiceStopped, "stop"},
      {saPause, "ControlService(2)", kServicePausePending, kServicePaused, "pause"},
      {saContinue, "ControlService(3)", kServiceContinuePending, kServiceRunning, "continue"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.verb);
    log.clear();
    ui.errors.clear();
    scm.statuses = {Status(r.pending, 1, 0), Status(r.target)};
    EXPECT_TRUE(controller.PerformServiceAction(kName, r.action));
    EXPECT_EQ(log, (CallLog{"OpenSCManager", "OpenService", r.request, "QueryServiceStatus",
                            "Sleep(1000)", "Dispatch", "QueryServiceStatus", "CloseService",
                            "CloseManager"}));
    EXPECT_TRUE(ui.errors.empty());

    // Stuck in the pending state: given up after one pause, the box names the verb.
    scm.statuses = {Status(r.pending, 1, 0)};
    EXPECT_FALSE(controller.PerformServiceAction(kName, r.action));
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0], Box(std::string("Couldn't ") + r.verb +
                                " service OstrelTFTPd.\rPlease refer EventLog for extended "
                                "information about error"));

    // Any other settled state than the target is a failure too.
    ui.errors.clear();
    scm.statuses = {Status(r.target == kServiceStopped ? kServiceRunning : kServiceStopped)};
    EXPECT_FALSE(controller.PerformServiceAction(kName, r.action));
    EXPECT_EQ(ui.errors.size(), 1u);
  }
}

TEST_F(ControllerTest, UnfinishedRequestIsShownBeforeTheHandlesAreClosed) {
  scm.statuses = {Status(kServiceStartPending, 0, 0)};
  EXPECT_FALSE(controller.PerformServiceAction(kName, saStart));
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ((CallLog{log.end() - 3, log.end()}),
            (CallLog{"ShowError", "CloseService", "CloseManager"}));
}

TEST_F(ControllerTest, StatusUnreadableAfterTheRequestCountsAsUnfinished) {
  scm.statuses = {FailedRead(6)};
  EXPECT_FALSE(controller.PerformServiceAction(kName, saStart));
  EXPECT_EQ(ui.errors, std::vector<std::string>{kUnfinishedStart});
}

// --- Reading the service's information ---------------------------------------

TEST_F(ControllerTest, InfoReadsNameTypeAndStateInOneBuffer) {
  scm.config = {"Ostrel TFTP Service", kServiceAutoStart};
  scm.statuses = {Status(kServicePaused)};
  ServiceInfo info;
  controller.GetServiceInfo(kName, info);
  EXPECT_EQ(info.DisplayName, "Ostrel TFTP Service");
  EXPECT_EQ(info.StartType, kServiceAutoStart);
  EXPECT_EQ(info.CurrentState, kServicePaused);
  EXPECT_EQ(scm.configBufferSizes, std::vector<size_t>{1024});
  EXPECT_TRUE(ui.errors.empty());
}

TEST_F(ControllerTest, InfoEnlargesTheBufferToTheReportedSizeOnce) {
  scm.configBytes = 5000;
  scm.config = {std::string(3000, 'N'), kServiceDisabled};
  ServiceInfo info;
  controller.GetServiceInfo(kName, info);
  EXPECT_EQ(scm.configBufferSizes, (std::vector<size_t>{1024, 5000}));
  EXPECT_EQ(info.DisplayName, std::string(3000, 'N'));
  EXPECT_EQ(info.StartType, kServiceDisabled);
  EXPECT_TRUE(ui.errors.empty());

  // Still too small at the second read (the configuration grew meanwhile): shown.
  scm.configBufferSizes.clear();
  scm.configErrors = {0, 122};
  controller.GetServiceInfo(kName, info);
  EXPECT_EQ(scm.configBufferSizes, (std::vector<size_t>{1024, 5000}));
  EXPECT_EQ(ui.errors,
            std::vector<std::string>{Box("The data area passed to a system call is too small")});
  EXPECT_EQ(info.DisplayName, "");
  EXPECT_EQ(info.CurrentState, kServiceStopped);
}

TEST_F(ControllerTest, InfoThatCannotOpenTheServiceLeavesNameEmptyStateUnknownTypeKept) {
  ServiceInfo info{"stale", kServiceRunning, kServiceAutoStart};
  scm.openServiceErrors = {1060};
  controller.GetServiceInfo(kName, info);
  EXPECT_EQ(info.DisplayName, "");
  EXPECT_EQ(info.CurrentState, kServiceStateUnknown);
  EXPECT_EQ(info.StartType, kServiceAutoStart);
  EXPECT_FALSE(Requested("QueryServiceConfig"));
}

// --- Failures along a restart: what is shown and what follows ------------------

TEST_F(ControllerTest, ManagerUnreachableShowsSystemTextAndSendsNothing) {
  scm.openManagerErrors = {1722};
  EXPECT_FALSE(Restart());
  EXPECT_EQ(ui.errors, std::vector<std::string>{Box("The RPC server is unavailable")});
  EXPECT_FALSE(AnyRequest());
  EXPECT_FALSE(Requested("OpenService"));
}

TEST_F(ControllerTest, MissingOrForbiddenServiceShowsSystemTextAndSendsNothing) {
  for (const uint32_t code : {1060u, 5u}) {
    SCOPED_TRACE(code);
    log.clear();
    ui.errors.clear();
    scm.openServiceErrors = {code};
    EXPECT_FALSE(Restart());
    EXPECT_EQ(ui.errors, std::vector<std::string>{Box(scm.errorTexts[code])});
    EXPECT_FALSE(AnyRequest());
  }
}

TEST_F(ControllerTest, UnreadableConfigurationIsShownAndTheRestartGoesOn) {
  scm.configErrors = {5};
  scm.statuses = {Status(kServiceStopped), Status(kServiceRunning)};
  EXPECT_TRUE(Restart());
  EXPECT_EQ(ui.errors, std::vector<std::string>{Box("Access is denied")});
  EXPECT_EQ(scm.configBufferSizes, std::vector<size_t>{1024});  // no second read
  EXPECT_TRUE(Requested("StartService"));
}

TEST_F(ControllerTest, UnreadableStatusAfterOpeningIsShownAndSendsNothing) {
  scm.statuses = {FailedRead(5)};
  EXPECT_FALSE(Restart());
  EXPECT_EQ(ui.errors, std::vector<std::string>{Box("Access is denied")});
  EXPECT_FALSE(AnyRequest());
}

TEST_F(ControllerTest, ConnectionFailingForTheStopOrTheStartEndsTheRestart) {
  // The second connection (the stop's) cannot reach the manager: no start.
  scm.statuses = {Status(kServiceRunning)};
  scm.openManagerErrors = {0, 1722};
  EXPECT_FALSE(Restart());
  EXPECT_EQ(ui.errors, std::vector<std::string>{Box("The RPC server is unavailable")});
  EXPECT_FALSE(AnyRequest());

  // The third connection (the start's) cannot open the service.
  log.clear();
  ui.errors.clear();
  scm.statuses = {Status(kServiceRunning), Status(kServiceStopped)};
  scm.openServiceErrors = {0, 0, 5};
  EXPECT_FALSE(Restart());
  EXPECT_EQ(ui.errors, std::vector<std::string>{Box("Access is denied")});
  EXPECT_TRUE(Requested("ControlService(1)"));
  EXPECT_FALSE(Requested("StartService"));
}

TEST_F(ControllerTest, RefusedStopShowsSystemTextAndNoStartFollows) {
  // A service found stop pending is still sent a stop, which the manager refuses.
  scm.statuses = {Status(kServiceStopPending, 3, 5000)};
  scm.controlErrors = {1061};
  EXPECT_FALSE(Restart());
  EXPECT_EQ(ui.errors, std::vector<std::string>{
                           Box("The service cannot accept control messages at this time")});
  EXPECT_TRUE(Requested("ControlService(1)"));
  EXPECT_FALSE(Requested("StartService"));
  EXPECT_TRUE(clock.sleeps.empty());
}

// The service stopped on its own after its state was read: the stop has done
// its work, with no box and no wait, and the start follows. The same answer to
// a pause or a continue is still a failure.
TEST_F(ControllerTest, StopThatFindsTheServiceNotActiveCountsAsStopped) {
  scm.statuses = {Status(kServiceRunning), Status(kServiceRunning)};
  scm.controlErrors = {1062};
  EXPECT_TRUE(Restart());
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_EQ((CallLog{log.begin() + 6, log.end()}),
            (CallLog{"OpenSCManager", "OpenService", "ControlService(1)", "CloseService",
                     "CloseManager", "OpenSCManager", "OpenService", "StartService",
                     "QueryServiceStatus", "CloseService", "CloseManager"}));
  for (const ServiceAction action : {saPause, saContinue}) {
    ui.errors.clear();
    scm.controlErrors = {1062};
    EXPECT_FALSE(controller.PerformServiceAction(kName, action));
    EXPECT_EQ(ui.errors, std::vector<std::string>{Box("The service has not been started")});
  }
}

TEST_F(ControllerTest, StopThatDoesNotFinishShowsTheStopDetailAndNoStartFollows) {
  scm.statuses = {Status(kServiceRunning), Status(kServiceStopPending, 2, 4000)};
  EXPECT_FALSE(Restart());
  EXPECT_EQ(ui.errors, std::vector<std::string>{kUnfinishedStop});
  EXPECT_FALSE(Requested("StartService"));
  EXPECT_EQ(clock.sleeps, std::vector<uint32_t>(5, 1000));
}

TEST_F(ControllerTest, RefusedStartShowsSystemTextAndLeavesTheServiceAlone) {
  scm.statuses = {Status(kServiceStopped)};
  scm.startErrors = {1058};
  EXPECT_FALSE(Restart());
  EXPECT_EQ(ui.errors, std::vector<std::string>{
                           Box("The service cannot be started, either because it is disabled")});
  EXPECT_EQ(scm.statusReads, 1);  // no wait after a refused request
}

// A disabled service is never stopped, since it could not be started again:
// one that is not stopped gets no request and the box of the refused start; a
// stopped one is sent its start as before. A configuration that could not be
// read does not count as disabled.
TEST_F(ControllerTest, DisabledServiceIsNeverStopped) {
  const std::vector<std::string> disabled{
      Box("The service cannot be started, either because it is disabled")};
  scm.config.StartType = kServiceDisabled;
  for (const uint32_t state : {kServiceStartPending, kServiceStopPending, kServiceRunning,
                               kServiceContinuePending, kServicePausePending, kServicePaused}) {
    SCOPED_TRACE(state);
    log.clear();
    ui.errors.clear();
    scm.statuses = {Status(state)};
    EXPECT_FALSE(Restart());
    EXPECT_EQ(ui.errors, disabled);
    EXPECT_FALSE(AnyRequest());
  }
  log.clear();
  ui.errors.clear();
  scm.statuses = {Status(kServiceStopped)};
  scm.startErrors = {1058};
  EXPECT_FALSE(Restart());
  EXPECT_TRUE(Requested("StartService"));
  EXPECT_EQ(ui.errors, disabled);

  log.clear();
  ui.errors.clear();
  scm.configErrors = {5};
  scm.statuses = {Status(kServiceRunning), Status(kServiceStopped), Status(kServiceRunning)};
  EXPECT_TRUE(Restart());
  EXPECT_EQ(ui.errors, std::vector<std::string>{Box("Access is denied")});
  EXPECT_TRUE(Requested("ControlService(1)"));
}

TEST_F(ControllerTest, StartThatDoesNotReachRunningShowsTheStartDetail) {
  // Stuck in start pending with wait hint 0: one pause, one more read, given up.
  scm.statuses = {Status(kServiceStopped), Status(kServiceStartPending, 0, 0)};
  EXPECT_FALSE(Restart());
  EXPECT_EQ(ui.errors, std::vector<std::string>{kUnfinishedStart});
  EXPECT_EQ(clock.sleeps, std::vector<uint32_t>{1000});
  EXPECT_EQ(ui.dispatches, 1);

  // Stopped again during its start.
  ui.errors.clear();
  scm.statuses = {Status(kServiceStopped), Status(kServiceStartPending, 1, 2000),
                  Status(kServiceStopped)};
  EXPECT_FALSE(Restart());
  EXPECT_EQ(ui.errors, std::vector<std::string>{kUnfinishedStart});
}

TEST_F(ControllerTest, CodeWithoutSystemTextGivesAnEmptyDetail) {
  scm.openManagerErrors = {0xE0001234};
  EXPECT_FALSE(Restart());
  EXPECT_EQ(ui.errors,
            std::vector<std::string>{"Error trying to peform specified action.\rError Message: ."});
}

}  // namespace
}  // namespace tftpcfg
