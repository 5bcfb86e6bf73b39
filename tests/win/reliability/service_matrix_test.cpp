// OK, then Yes, on the real window, with the real service controller and the
// stand-in service "OstrelTFTPd" in each of its ways of behaving: normal, slow
// to stop, stuck in start pending, exiting during its start, refusing the
// stop, disabled (stopped, and running), and not installed. For each: the
// controller's error boxes (exact texts), the window's own boxes, the requests
// sent and received, the result, the service's state afterwards, and the
// window closed with the settings saved whatever the restart's result. A case
// whose restart Wine's manager fails with its 1359 (the environment's) is run
// again from a fresh installation.

#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/service_win.h"
#include "ui/service_ui.h"
#include "service/service_controller.h"
#include "tests/support/win/message_box_answerer.h"
#include "tests/support/win/stub_service.h"
#include "tests/win/ui/main_window_fixture.h"

namespace tftpcfg::test {
namespace {

// The system's text for a code as the controller is to show it: FormatMessageA
// from the system, trailing blanks, control characters and full stops removed.
std::string SystemText(DWORD code) {
  char buffer[256] = {};
  DWORD n = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
      nullptr, code, 0, buffer, sizeof buffer, nullptr);
  while (n > 0 && (static_cast<unsigned char>(buffer[n - 1]) <= 32 || buffer[n - 1] == '.')) --n;
  return std::string(buffer, n);
}

std::string ErrorBox(const std::string& detail) {
  return "Error trying to peform specified action.\rError Message: " + detail + ".";
}

std::string Unfinished(const char* verb) {
  return ErrorBox(std::string("Couldn't ") + verb +
                  " service OstrelTFTPd.\rPlease refer EventLog for extended information about "
                  "error");
}

// The real manager, counting the requests the controller sends.
class CountingScm final : public IServiceControlManager {
 public:
  int starts = 0;
  int stops = 0;
  ScHandle OpenManager(const std::string& m, uint32_t a) override {
    return real_.OpenManager(m, a);
  }
  ScHandle OpenNamedService(ScHandle m, const std::string& s, uint32_t a) override {
    return real_.OpenNamedService(m, s, a);
  }
  bool QueryStatus(ScHandle s, ServiceStatus& st) override { return real_.QueryStatus(s, st); }
  bool QueryConfig(ScHandle s, std::span<std::byte> b, ServiceConfig& c, uint32_t& n) override {
    return real_.QueryConfig(s, b, c, n);
  }
  bool Start(ScHandle s) override {
    ++starts;
    return real_.Start(s);
  }
  bool Control(ScHandle s, uint32_t control) override {
    if (control == kServiceControlStop) ++stops;
    return real_.Control(s, control);
  }
  void Close(ScHandle h) override { real_.Close(h); }
  uint32_t LastError() override { return real_.LastError(); }
  std::string SystemErrorText(uint32_t code) override { return real_.SystemErrorText(code); }

 private:
  WinServiceControlManager real_;
};

// Real message dispatch through the window's keyboard handling; error boxes
// recorded, and also shown for real when asked (answered by the test).
class ServiceUi final : public IServiceUi {
 public:
  explicit ServiceUi(std::function<bool(MSG&)> preTranslate) : real_(std::move(preTranslate)) {}
  void DispatchMessages() override { real_.DispatchMessages(); }
  void ShowError(const std::string& text) override {
    errors.push_back(text);
    if (showReal) real_.ShowError(text);
  }
  void SetOwner(HWND owner) { real_.SetOwner(owner); }
  std::vector<std::string> errors;
  bool showReal = false;

 private:
  WinServiceUi real_;
};

struct ServiceCase {
  const char* name = nullptr;
  bool installed = true;
  StubBehaviour behaviour = StubBehaviour::Normal;
  bool disabled = false;
  bool running = false;  // running when OK is clicked; otherwise stopped
  // Expected.
  int stopsSent = 0;
  int startsSent = 0;
  DWORD stopsReceived = 0;
  DWORD startsReceived = 0;
  std::vector<std::string> errorBoxes;
  bool restarted = false;
  DWORD finalState = 0;  // 0: no such service
};

ServiceCase Setup(const char* name, bool installed, StubBehaviour behaviour, bool disabled,
                  bool running) {
  ServiceCase c;
  c.name = name;
  c.installed = installed;
  c.behaviour = behaviour;
  c.disabled = disabled;
  c.running = running;
  return c;
}

std::vector<ServiceCase> Cases() {
  std::vector<ServiceCase> cases;
  ServiceCase c;
  c = Setup("normal", true, StubBehaviour::Normal, false, true);
  c.stopsSent = c.startsSent = 1;
  c.stopsReceived = c.startsReceived = 1;
  c.restarted = true;
  c.finalState = SERVICE_RUNNING;
  cases.push_back(c);

  // Stop pending for ~3.5 s, longer than its 1 s hint, but advancing its
  // check-point: waited for.
  c = Setup("slow stop", true, StubBehaviour::SlowStop, false, true);
  c.stopsSent = c.startsSent = 1;
  c.stopsReceived = c.startsReceived = 1;
  c.restarted = true;
  c.finalState = SERVICE_RUNNING;
  cases.push_back(c);

  // Start pending with hint 0 and no progress: given up after one pause.
  c = Setup("stuck in start pending", true, StubBehaviour::StuckStart, false, false);
  c.startsSent = 1;
  c.startsReceived = 1;
  c.errorBoxes = {Unfinished("start")};
  c.finalState = SERVICE_START_PENDING;
  cases.push_back(c);

  c = Setup("exiting during start", true, StubBehaviour::ExitDuringStart, false, false);
  c.startsSent = 1;
  c.startsReceived = 1;
  c.errorBoxes = {Unfinished("start")};
  c.finalState = SERVICE_STOPPED;
  cases.push_back(c);

  // Accepts no stop: the manager refuses the request, no start follows.
  c = Setup("refusing stop", true, StubBehaviour::RefuseStop, false, true);
  c.stopsSent = 1;
  c.errorBoxes = {ErrorBox(SystemText(ERROR_INVALID_SERVICE_CONTROL))};
  c.finalState = SERVICE_RUNNING;
  cases.push_back(c);

  c = Setup("disabled", true, StubBehaviour::Normal, true, false);
  c.startsSent = 1;
  c.errorBoxes = {ErrorBox(SystemText(ERROR_SERVICE_DISABLED))};
  c.finalState = SERVICE_STOPPED;
  cases.push_back(c);

  // Disabled by the administrator while it runs: a stop would leave it down
  // for good, so it gets no request at all.
  c = Setup("running and disabled", true, StubBehaviour::Normal, true, true);
  c.errorBoxes = {ErrorBox(SystemText(ERROR_SERVICE_DISABLED))};
  c.finalState = SERVICE_RUNNING;
  cases.push_back(c);

  c = Setup("not installed", false, StubBehaviour::Normal, false, false);
  c.errorBoxes = {ErrorBox(SystemText(ERROR_SERVICE_DOES_NOT_EXIST))};
  cases.push_back(c);
  return cases;
}

class ServiceMatrixTest : public MainWindowTest {
 protected:
  void TearDown() override {
    MainWindowTest::TearDown();
    RemoveStubService();
  }

  void Prepare(const ServiceCase& c) {
    if (!c.installed) {
      ASSERT_EQ(RemoveStubService(), 0u);
      return;
    }
    StubInstall install;
    install.behaviour = c.behaviour;
    install.disabled = c.disabled && !c.running;
    ASSERT_EQ(InstallStubService(install), 0u);
    if (c.running) {
      ASSERT_EQ(StartStubService(), 0u);
      if (c.disabled) {
        ASSERT_EQ(DisableStubService(), 0u);
      }
    }
    ClearStubCounters();
  }

  // Opens the window on a complete key with the real controller behind it,
  // changes one setting and clicks OK, answering Yes.
  void OkYes() {
    scm_ = std::make_unique<CountingScm>();
    controller_ = std::make_unique<ServiceController>(*scm_, clock_, ui_);
    restart_ = [this] { return controller_->RestartService("", kServiceName); };
    DeleteSettingsKey();
    PutCompleteKey(existingDir_, existingDir_);
    dialogs_.shown.clear();
    ui_.errors.clear();
    Open();
    ui_.SetOwner(frm_->Handle());                     // as the program does
    ClickCheckBox(frm_->Control(IDC_HIGH_PRIORITY));  // stored 1, now 0
    dialogs_.restartAnswers = {RestartAnswer::Yes};
    ClickButton(frm_->Control(IDOK));
  }

  std::unique_ptr<CountingScm> scm_;
  WinServiceClock clock_;
  ServiceUi ui_{[this](MSG& m) { return frm_ && frm_->PreTranslateMessage(m); }};
  std::unique_ptr<ServiceController> controller_;
};

TEST_F(ServiceMatrixTest, OkYesGivesTheBoxesRequestsAndStateOfEachServiceBehaviour) {
  int repeats = 0;  // cases run again after the environment's 1359
  for (const ServiceCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    DWORD took = 0;
    repeats += RepeatOnEnvironmentStartFailure(ui_.errors, [&] {
      Prepare(c);
      if (HasFatalFailure()) return;
      const DWORD start = GetTickCount();
      OkYes();
      took = GetTickCount() - start;
    });
    if (HasFatalFailure()) return;

    EXPECT_EQ(ui_.errors, c.errorBoxes);
    EXPECT_EQ(dialogs_.Kinds(), c.restarted ? (std::vector<std::string>{"Restart", "Information"})
                                            : std::vector<std::string>{"Restart"});
    if (c.restarted) {
      EXPECT_EQ(dialogs_.shown.back().text, kRestartSucceeded);
    }
    EXPECT_EQ(restarts_, 1);
    EXPECT_EQ(scm_->stops, c.stopsSent);
    EXPECT_EQ(scm_->starts, c.startsSent);
    const StubCounters received = ReadStubCounters();
    EXPECT_EQ(received.stops, c.stopsReceived);
    EXPECT_EQ(received.starts, c.startsReceived);
    EXPECT_EQ(StubServiceState(), c.finalState);
    // OK closes the window after Yes whatever the restart gave, and the
    // settings were saved before the restart.
    EXPECT_FALSE(IsWindow(frm_->Handle()));
    DWORD highPriority = 1;
    EXPECT_TRUE(GetDword("HighPriority", highPriority));
    EXPECT_EQ(highPriority, 0u);
    std::printf("service matrix: %-24s %5lu ms, %zu error box(es), sent stop %d start %d\n", c.name,
                static_cast<unsigned long>(took), ui_.errors.size(), scm_->stops, scm_->starts);
    frm_.reset();
    dlg_.reset();
    Pump();
    restarts_ = 0;
  }
  std::printf("service matrix: %d case(s) repeated after the manager's error 1359\n", repeats);
}

// The controller's boxes as the user sees them: the program's message dialog,
// owned by the main window, captioned "Error" with the error icon and one OK
// button, the text as recorded, each carriage return breaking its line.
TEST_F(ServiceMatrixTest, ErrorBoxesAreRealMessageDialogs) {
  ui_.showReal = true;
  for (const ServiceCase& c : Cases()) {
    const std::string name = c.name;
    if (name != "not installed" && name != "stuck in start pending" &&
        name != "running and disabled")
      continue;
    SCOPED_TRACE(c.name);
    Prepare(c);
    HWND owner = nullptr;  // an owned window stays in front of its owner
    HWND main = nullptr;   // the main window while the box is open (OK closes it)
    MessageBoxAnswerer answer([&owner, &main, this](const SeenBox& box) {
      if (box.caption != "Error") return 0;
      owner = GetWindow(box.hwnd, GW_OWNER);
      main = frm_->Handle();
      return IDOK;
    });
    OkYes();
    EXPECT_EQ(owner, main);
    // The hook also sees the main window (a dialog too) activated again.
    std::vector<SeenBox> boxes;
    for (const SeenBox& seen : answer.seen())
      if (seen.hwnd != main) boxes.push_back(seen);
    std::string captions;
    for (const SeenBox& seen : answer.seen()) captions += "[" + seen.caption + "]";
    ASSERT_EQ(boxes.size(), 1u) << captions;
    const SeenBox& box = boxes[0];
    EXPECT_EQ(box.caption, "Error");
    std::string shown;
    for (const char ch : c.errorBoxes.at(0)) {
      shown += ch;
      if (ch == '\r') shown += '\n';
    }
    EXPECT_EQ(box.text, shown);
    EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});
    EXPECT_TRUE(box.hasIcon);
    EXPECT_FALSE(IsWindow(frm_->Handle()));
    frm_.reset();
    dlg_.reset();
    Pump();
  }
}

}  // namespace
}  // namespace tftpcfg::test
