// The controller against Wine's real Service Control Manager, with the
// stand-in service installed as "OstrelTFTPd" in the test prefix.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <numeric>

#include "platform/win32/service_win.h"
#include "ui/service_ui.h"
#include "service/service_controller.h"
#include "tests/support/win/environment_errors.h"
#include "tests/support/win/message_box_answerer.h"
#include "tests/support/win/stub_service.h"

namespace tftpcfg {
namespace {

using test::StubBehaviour;

const std::string kName = "OstrelTFTPd";
const std::string kUnfinishedStart =
    "Error trying to peform specified action.\rError Message: Couldn't start service "
    "OstrelTFTPd.\rPlease refer EventLog for extended information about error.";

std::string Box(const std::string& detail) {
  return "Error trying to peform specified action.\rError Message: " + detail + ".";
}

// The real clock, with a record of the pauses the wait took.
class RecordingClock final : public IServiceClock {
 public:
  std::vector<uint32_t> sleeps;
  uint32_t TickCount() override { return real_.TickCount(); }
  void Sleep(uint32_t milliseconds) override {
    sleeps.push_back(milliseconds);
    real_.Sleep(milliseconds);
  }
  uint32_t Slept() const { return std::accumulate(sleeps.begin(), sleeps.end(), 0u); }

 private:
  WinServiceClock real_;
};

// Real message dispatch; error boxes recorded instead of shown.
class RecordingUi final : public IServiceUi {
 public:
  std::vector<std::string> errors;
  void DispatchMessages() override { real_.DispatchMessages(); }
  void ShowError(const std::string& text) override { errors.push_back(text); }

 private:
  WinServiceUi real_;
};

class ControllerWinTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(test::RemoveStubService(), 0u); }

  static void Install(StubBehaviour behaviour, bool disabled = false) {
    test::StubInstall install;
    install.behaviour = behaviour;
    install.disabled = disabled;
    ASSERT_EQ(test::InstallStubService(install), 0u);
  }
  static void InstallRunning(StubBehaviour behaviour) {
    Install(behaviour);
    ASSERT_EQ(test::StartStubService(), 0u);
    test::ClearStubCounters();
  }

  // Restarts and returns the elapsed milliseconds.
  double TimedRestart(bool& result) {
    const auto start = std::chrono::steady_clock::now();
    result = controller.RestartService("", kName);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
  }

  // Installs the stand-in (started first when running) and restarts it as
  // TimedRestart does; again, from a fresh installation, while Wine's manager
  // fails the start with its 1359 (the environment's), each repeat printed.
  // A start can meet it even with the service stopped, when the previous
  // case's stand-in process is still on its way out.
  double RestartFresh(StubBehaviour behaviour, bool running, bool& result) {
    for (int attempt = 1;; ++attempt) {
      if (running)
        InstallRunning(behaviour);
      else
        Install(behaviour);
      if (HasFatalFailure()) return 0;
      clock.sleeps.clear();
      ui.errors.clear();
      const double ms = TimedRestart(result);
      if (attempt == test::kEnvironmentStartAttempts || !test::IsEnvironmentStartFailure(ui.errors))
        return ms;
      std::printf("restart repeated after the manager's error 1359\n");
    }
  }

  WinServiceControlManager scm;
  RecordingClock clock;
  RecordingUi ui;
  ServiceController controller{scm, clock, ui};
};

TEST_F(ControllerWinTest, StoppedServiceIsOnlyStarted) {
  bool ok = false;
  const double ms = RestartFresh(StubBehaviour::Normal, false, ok);
  EXPECT_TRUE(ok);
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_EQ(test::ReadStubCounters().events, L"start");
  EXPECT_EQ(test::StubServiceState(), static_cast<DWORD>(SERVICE_RUNNING));
  std::printf("restart of the stopped stand-in: %.0f ms, of which %u ms pauses (%zu)\n", ms,
              clock.Slept(), clock.sleeps.size());
}

TEST_F(ControllerWinTest, RunningServiceIsStoppedThenStarted) {
  bool ok = false;
  const double ms = RestartFresh(StubBehaviour::Normal, true, ok);
  EXPECT_TRUE(ok);
  EXPECT_TRUE(ui.errors.empty());
  const test::StubCounters counters = test::ReadStubCounters();
  EXPECT_EQ(counters.events, L"stop start");
  EXPECT_EQ(counters.stops, 1u);
  EXPECT_EQ(counters.starts, 1u);
  EXPECT_EQ(test::StubServiceState(), static_cast<DWORD>(SERVICE_RUNNING));
  // The stand-in is pending ~300 ms per step, so each wait costs one pause.
  EXPECT_EQ(clock.sleeps, (std::vector<uint32_t>{1000, 1000}));
  std::printf("restart of the running stand-in: %.0f ms, of which %u ms pauses (%zu)\n", ms,
              clock.Slept(), clock.sleeps.size());
}

TEST_F(ControllerWinTest, StopLongerThanItsHintIsWaitedForWhileItAdvances) {
  bool ok = false;
  const double ms = RestartFresh(StubBehaviour::SlowStop, true, ok);
  EXPECT_TRUE(ok);
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_EQ(test::ReadStubCounters().events, L"stop start");
  EXPECT_GE(ms, 3500);  // the stop alone takes ~3.5 s against a hint of 1 s
}

TEST_F(ControllerWinTest, MissingServiceShowsOneRealErrorBoxAndNothingElse) {
  ASSERT_EQ(test::RemoveStubService(), 0u);
  const std::string system = scm.SystemErrorText(ERROR_SERVICE_DOES_NOT_EXIST);
  ASSERT_FALSE(system.empty());
  EXPECT_NE(system.back(), '.');

  WinServiceUi realUi;
  ServiceController real(scm, clock, realUi);
  bool errorIcon = false;
  test::MessageBoxAnswerer answerer([&](const test::SeenBox& box) {
    // Looked at while the box is open: its icon goes with it.
    errorIcon = test::SameIconImage(box.icon, test::SystemIconForDpi(IDI_ERROR, 96));
    return IDOK;
  });
  EXPECT_FALSE(real.RestartService("", kName));
  ASSERT_EQ(answerer.seen().size(), 1u);
  const test::SeenBox& box = answerer.seen()[0];
  EXPECT_EQ(box.caption, "Error");
  EXPECT_EQ(box.text, "Error trying to peform specified action.\r\nError Message: " + system + ".");
  EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});
  EXPECT_EQ(box.defaultId, IDOK);
  EXPECT_TRUE(errorIcon);
  // Centred on the screen (on Windows, its work area), give or take a pixel.
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const auto centredIn = [&box](const RECT& r) {
    return std::abs((box.rect.left + box.rect.right) - (r.left + r.right)) <= 3 &&
           std::abs((box.rect.top + box.rect.bottom) - (r.top + r.bottom)) <= 3;
  };
  EXPECT_TRUE(centredIn(screen) || centredIn(work))
      << box.rect.left << "," << box.rect.top << "-" << box.rect.right << "," << box.rect.bottom;
}

TEST_F(ControllerWinTest, StuckStartIsGivenUpAfterOnePause) {
  bool ok = true;
  const double ms = RestartFresh(StubBehaviour::StuckStart, false, ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(ui.errors, std::vector<std::string>{kUnfinishedStart});
  EXPECT_EQ(clock.sleeps, std::vector<uint32_t>{1000});
  EXPECT_LT(ms, 5000);
  EXPECT_EQ(test::StubServiceState(), static_cast<DWORD>(SERVICE_START_PENDING));
}

TEST_F(ControllerWinTest, ServiceThatStopsDuringItsStartIsNotRunning) {
  bool ok = true;
  RestartFresh(StubBehaviour::ExitDuringStart, false, ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(ui.errors, std::vector<std::string>{kUnfinishedStart});
  EXPECT_EQ(test::StubServiceState(), static_cast<DWORD>(SERVICE_STOPPED));
}

TEST_F(ControllerWinTest, DisabledServiceShowsSystemTextAndStaysStopped) {
  Install(StubBehaviour::Normal, true);
  const std::string system = scm.SystemErrorText(ERROR_SERVICE_DISABLED);
  ASSERT_FALSE(system.empty());
  bool ok = true;
  TimedRestart(ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(ui.errors, std::vector<std::string>{Box(system)});
  EXPECT_EQ(test::StubServiceState(), static_cast<DWORD>(SERVICE_STOPPED));
  EXPECT_EQ(test::ReadStubCounters().starts, 0u);
}

TEST_F(ControllerWinTest, RefusedStopShowsSystemTextAndNoStartFollows) {
  InstallRunning(StubBehaviour::RefuseStop);
  const std::string system = scm.SystemErrorText(ERROR_INVALID_SERVICE_CONTROL);
  ASSERT_FALSE(system.empty());
  bool ok = true;
  TimedRestart(ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(ui.errors, std::vector<std::string>{Box(system)});
  EXPECT_EQ(test::ReadStubCounters().events, L"");
  EXPECT_EQ(test::StubServiceState(), static_cast<DWORD>(SERVICE_RUNNING));
}

// The manager answers a stop of a service that is not running with 1062; the
// controller counts that as stopped, with no box and no wait.
TEST_F(ControllerWinTest, StopThatFindsTheServiceStoppedSucceeds) {
  Install(StubBehaviour::Normal);
  EXPECT_TRUE(controller.PerformServiceAction(kName, saStop));
  EXPECT_EQ(scm.LastError(), static_cast<uint32_t>(ERROR_SERVICE_NOT_ACTIVE));
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_TRUE(clock.sleeps.empty());
}

// The tests recognise the environment's start failure by the controller's box
// for 1359 alone: one such box, and no box for another code.
TEST_F(ControllerWinTest, EnvironmentStartFailureIsTheBoxForItsCodeAlone) {
  const std::string internal = ServiceErrorText(scm.SystemErrorText(ERROR_INTERNAL_ERROR));
  for (const DWORD code : {ERROR_SERVICE_ALREADY_RUNNING, ERROR_SERVICE_REQUEST_TIMEOUT,
                           ERROR_SERVICE_DISABLED, ERROR_GEN_FAILURE}) {
    EXPECT_FALSE(test::IsEnvironmentStartFailure({ServiceErrorText(scm.SystemErrorText(code))}))
        << code;
  }
  EXPECT_TRUE(test::IsEnvironmentStartFailure({internal}));
  EXPECT_FALSE(test::IsEnvironmentStartFailure({internal, internal}));
  EXPECT_FALSE(test::IsEnvironmentStartFailure({}));
}

TEST_F(ControllerWinTest, InfoReadsALargeConfigurationAndConvertsTheDisplayName) {
  test::StubInstall install;
  install.disabled = true;
  install.displayName = L"Ostrel TFTP Dienst f\u00fcr Tests";
  install.extraArguments = L"--padding " + std::wstring(1500, L'x');  // beyond 1024 bytes
  ASSERT_EQ(test::InstallStubService(install), 0u);
  ServiceInfo info;
  controller.GetServiceInfo(kName, info);
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_EQ(info.DisplayName, "Ostrel TFTP Dienst f\xc3\xbcr Tests");
  EXPECT_EQ(info.StartType, kServiceDisabled);
  EXPECT_EQ(info.CurrentState, kServiceStopped);
}

TEST_F(ControllerWinTest, NameOutsideTheCodePageIsRefusedWithTheSystemsText) {
  ServiceInfo info;
  controller.GetServiceInfo("\xe6\x97\xa5\xe6\x9c\xac", info);  // two CJK characters
  EXPECT_EQ(info.CurrentState, kServiceStateUnknown);
  EXPECT_EQ(ui.errors,
            std::vector<std::string>{Box(scm.SystemErrorText(ERROR_NO_UNICODE_TRANSLATION))});
}

}  // namespace
}  // namespace tftpcfg
