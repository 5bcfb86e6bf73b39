// OK and Apply with Yes against the stand-in service through the real service
// controller: what the service receives, that the window ignores its own
// commands while the restart is under way, and that it answers throughout the
// wait. A restart whose start Wine's manager fails with its 1359 (the
// environment's) is run again from a fresh installation.

#include "tests/win/ui/main_window_fixture.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

#include "platform/win32/service_win.h"
#include "ui/service_ui.h"
#include "service/service_controller.h"
#include "tests/support/win/stub_service.h"

namespace tftpcfg::test {
namespace {

// The controller's hooks: real message dispatch through the window's keyboard
// handling, error boxes recorded instead of shown.
class RecordingServiceUi final : public IServiceUi {
 public:
  explicit RecordingServiceUi(std::function<bool(MSG&)> preTranslate)
      : dispatch_(std::move(preTranslate)) {}
  void DispatchMessages() override { dispatch_.DispatchMessages(); }
  void ShowError(const std::string& text) override { errors.push_back(text); }
  std::vector<std::string> errors;

 private:
  WinServiceUi dispatch_;
};

class RestartTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    PutCompleteKey(existingDir_, existingDir_);
  }
  void TearDown() override {
    MainWindowTest::TearDown();
    RemoveStubService();
  }
  void Install(StubBehaviour behaviour, bool running) {
    StubInstall install;
    install.behaviour = behaviour;
    ASSERT_EQ(InstallStubService(install), 0u);
    if (running) {
      ASSERT_EQ(StartStubService(), 0u);
    }
    ClearStubCounters();
  }
  void UseRealController() {
    restart_ = [this] { return controller_.RestartService("", kServiceName); };
  }

  WinServiceControlManager scm_;
  WinServiceClock clock_;
  RecordingServiceUi ui_{[this](MSG& m) { return frm_ && frm_->PreTranslateMessage(m); }};
  ServiceController controller_{scm_, clock_, ui_};
};

TEST_F(RestartTest, OkYesRestartsTheRunningService) {
  RepeatOnEnvironmentStartFailure(ui_.errors, [this] {
    PutCompleteKey(existingDir_, existingDir_);
    Install(StubBehaviour::Normal, true);
    if (HasFatalFailure()) return;
    UseRealController();
    Open();
    ClickCheckBox(frm_->Control(IDC_HIGH_PRIORITY));
    dialogs_.restartAnswers = {RestartAnswer::Yes};
    ClickButton(frm_->Control(IDOK));
  });
  if (HasFatalFailure()) return;
  const StubCounters c = ReadStubCounters();
  EXPECT_EQ(c.stops, 1u);
  EXPECT_EQ(c.starts, 1u);
  EXPECT_EQ(StubServiceState(), static_cast<DWORD>(SERVICE_RUNNING));
  EXPECT_EQ(dialogs_.Kinds(), (std::vector<std::string>{"Restart", "Information"}));
  EXPECT_TRUE(ui_.errors.empty());
  EXPECT_FALSE(IsWindow(frm_->Handle()));
}

// A failed restart: the controller's error box, no success message, the
// settings saved and the window unchanged; OK closes it, Apply keeps it open.
TEST_F(RestartTest, YesWithTheServiceMissingShowsTheSystemText) {
  for (const bool ok : {true, false}) {
    SCOPED_TRACE(ok ? "OK" : "Apply");
    RemoveStubService();
    UseRealController();
    Open();
    ClickCheckBox(frm_->Control(IDC_HIGH_PRIORITY));
    dialogs_.shown.clear();
    ui_.errors.clear();
    dialogs_.restartAnswers = {RestartAnswer::Yes};
    ClickButton(ok ? frm_->Control(IDOK) : frm_->Control(IDC_APPLY));
    ASSERT_EQ(ui_.errors.size(), 1u);
    EXPECT_NE(ui_.errors[0].find("Error Message: "), std::string::npos);
    EXPECT_EQ(dialogs_.Kinds(), std::vector<std::string>{"Restart"});  // no success message
    EXPECT_EQ(IsWindow(frm_->Handle()) != FALSE, !ok);
    if (!ok) {
      EXPECT_FALSE(frm_->Modified());
      EXPECT_FALSE(IsWindowEnabled(frm_->Control(IDC_APPLY)));
    }
    DWORD v = 0;
    ASSERT_TRUE(GetDword("HighPriority", v));
    EXPECT_EQ(v, 0u) << "the settings were saved";
    dlg_.reset();
    frm_.reset();
    PutCompleteKey(existingDir_, existingDir_);
  }
}

// While the service takes its time to stop, the user clicks OK, Apply, Cancel,
// Delete, the close box and presses Alt+F4. None of it may start a second save
// and restart or close the window under the first.
TEST_F(RestartTest, CommandsDuringARestartAreIgnored) {
  static MainWindow* window = nullptr;
  static bool sawBusyCursor = false;
  static int ticks = 0;
  struct Poke {
    static void CALLBACK Timer(HWND, UINT, UINT_PTR id, DWORD) {
      if (!window->RestartInProgress()) return;
      sawBusyCursor |= GetCursor() == LoadCursorW(nullptr, IDC_WAIT);
      const HWND w = window->Handle();
      if (ticks++ > 0) return;
      // Everything at once: the wait dispatches them in one go.
      PostMessageW(w, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      PostMessageW(w, WM_COMMAND, MAKEWPARAM(IDC_APPLY, BN_CLICKED), 0);
      PostMessageW(w, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      PostMessageW(w, WM_COMMAND, MAKEWPARAM(IDC_DELETE_RULE, BN_CLICKED), 0);
      PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);
      PostMessageW(w, WM_CLOSE, 0, 0);
      KillTimer(nullptr, id);
    }
  };
  RepeatOnEnvironmentStartFailure(ui_.errors, [this] {
    PutCompleteKey(existingDir_, existingDir_);
    Install(StubBehaviour::SlowStop, true);
    if (HasFatalFailure()) return;
    UseRealController();
    Open();
    ClickCheckBox(frm_->Control(IDC_HIGH_PRIORITY));
    window = frm_.get();
    sawBusyCursor = false;
    ticks = 0;
    dialogs_.restartAnswers = {RestartAnswer::Yes, RestartAnswer::Yes};
    dialogs_.confirmAnswers = {true, true, true};
    dialogs_.onShow = [](const ScriptedMessageBoxes::Box& box) {
      if (box.kind == "Restart") SetTimer(nullptr, 0, 300, &Poke::Timer);
    };
    ClickButton(frm_->Control(IDOK));
    dialogs_.onShow = nullptr;
  });
  if (HasFatalFailure()) return;
  EXPECT_GE(ticks, 1) << "the pokes ran during the restart";
  EXPECT_TRUE(sawBusyCursor);
  const StubCounters c = ReadStubCounters();
  EXPECT_EQ(c.stops, 1u);
  EXPECT_EQ(c.starts, 1u);
  EXPECT_EQ(restarts_, 1);
  // One question, one success message; no discard or delete question.
  EXPECT_EQ(dialogs_.Kinds(), (std::vector<std::string>{"Restart", "Information"}));
  EXPECT_FALSE(IsWindow(frm_->Handle())) << "OK closed the window once the restart was over";
}

// A service that announces a wait hint of 60 s, so that the wait pauses 6 s at
// a time: a message sent to the window from another thread is answered within
// 1.5 s throughout the restart (and the window is never taken for hung), and
// the restart still completes.
TEST_F(RestartTest, WindowAnswersThroughoutAWaitWithLongPauses) {
  DWORD longest = 0;
  DWORD restartMs = 0;
  int missed = 0;
  RepeatOnEnvironmentStartFailure(ui_.errors, [&] {
    PutCompleteKey(existingDir_, existingDir_);
    Install(StubBehaviour::LongHintStop, true);
    if (HasFatalFailure()) return;
    restart_ = [&] {
      const DWORD start = GetTickCount();
      const bool restarted = controller_.RestartService("", kServiceName);
      restartMs = GetTickCount() - start;
      return restarted;
    };
    Open();
    ClickCheckBox(frm_->Control(IDC_HIGH_PRIORITY));
    longest = 0;
    missed = 0;
    std::atomic<bool> over{false}, probing{true};
    std::thread probe([&, window = frm_->Handle()] {
      for (; !over; Sleep(100)) {
        const DWORD sent = GetTickCount();
        if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1500, nullptr)) ++missed;
        longest = std::max(longest, GetTickCount() - sent);
      }
      probing = false;
    });
    dialogs_.restartAnswers = {RestartAnswer::Yes};
    ClickButton(frm_->Control(IDC_APPLY));
    over = true;
    while (probing) PumpFor(20);  // answers the probe's last message
    probe.join();
  });
  if (HasFatalFailure()) return;
  EXPECT_EQ(missed, 0);
  EXPECT_LT(longest, 1500u);
  EXPECT_GE(restartMs, 6000u) << "the stop's wait paused 6 s";
  EXPECT_EQ(dialogs_.Kinds(), (std::vector<std::string>{"Restart", "Information"}));
  EXPECT_EQ(ReadStubCounters().events, L"stop start");
  std::printf("restart with pauses of 6 s: %lu ms; longest answer of the window %lu ms\n",
              restartMs, longest);
}

}  // namespace
}  // namespace tftpcfg::test
