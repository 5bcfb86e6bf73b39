// The Win32 side of the controller's platform: the message drain between
// pauses, the error box and the system error text.

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/service_win.h"
#include "ui/service_ui.h"
#include "tests/support/win/message_box_answerer.h"

namespace tftpcfg {
namespace {

// A message-only window that records what reaches its window procedure.
class RecordingWindow {
 public:
  RecordingWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ServiceUiTestWindow";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            wc.hInstance, nullptr);
    received().clear();
  }
  ~RecordingWindow() { DestroyWindow(hwnd_); }
  HWND Handle() const { return hwnd_; }
  static std::vector<UINT>& received() {
    static std::vector<UINT> messages;
    return messages;
  }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg >= WM_APP || msg == WM_KEYDOWN || msg == WM_CHAR) received().push_back(msg);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  HWND hwnd_ = nullptr;
};

// Removes whatever an earlier test left in the queue, WM_QUIT included.
void DrainQueue() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

TEST(WinServiceUiTest, DispatchDeliversEveryWaitingMessageTranslated) {
  DrainQueue();
  RecordingWindow window;
  PostMessageW(window.Handle(), WM_APP + 1, 0, 0);
  PostMessageW(window.Handle(), WM_KEYDOWN, 'A',
               MAKELPARAM(1, MapVirtualKeyW('A', MAPVK_VK_TO_VSC)));
  PostMessageW(window.Handle(), WM_APP + 2, 0, 0);
  WinServiceUi ui;
  ui.DispatchMessages();
  // TranslateMessage turned the key into a character, posted behind the others
  // and still delivered in the same drain.
  EXPECT_EQ(RecordingWindow::received(),
            (std::vector<UINT>{WM_APP + 1, WM_KEYDOWN, WM_APP + 2, WM_CHAR}));
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST(WinServiceUiTest, PreTranslateSeesEachMessageAndMayKeepItFromTheWindow) {
  DrainQueue();
  RecordingWindow window;
  std::vector<UINT> offered;
  WinServiceUi ui([&](MSG& msg) {
    offered.push_back(msg.message);
    return msg.message == WM_APP + 1;  // handled here, e.g. by dialog keyboard handling
  });
  PostMessageW(window.Handle(), WM_APP + 1, 0, 0);
  PostMessageW(window.Handle(), WM_APP + 2, 0, 0);
  ui.DispatchMessages();
  EXPECT_EQ(offered, (std::vector<UINT>{WM_APP + 1, WM_APP + 2}));
  EXPECT_EQ(RecordingWindow::received(), std::vector<UINT>{WM_APP + 2});
}

TEST(WinServiceUiTest, QuitIsPostedAgainAndEndsTheDrain) {
  DrainQueue();
  RecordingWindow window;
  PostThreadMessageW(GetCurrentThreadId(), WM_QUIT, 7, 0);
  PostMessageW(window.Handle(), WM_APP + 3, 0, 0);
  WinServiceUi ui([](MSG&) { return false; });
  ui.DispatchMessages();
  EXPECT_TRUE(RecordingWindow::received().empty());
  // What followed the quit is still waiting, and the quit comes after it.
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_APP + 3));
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 7u);
}

// Enter and Esc each close the box. A key that did not close it is caught by
// a fallback timer that clicks OK, so the test fails instead of hanging.
TEST(WinServiceUiTest, ErrorBoxClosesOnEnterAndOnEsc) {
  static bool fallbackUsed;
  static HWND shown;
  for (const WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    SCOPED_TRACE(key);
    fallbackUsed = false;
    shown = nullptr;
    test::MessageBoxAnswerer answerer([key](const test::SeenBox& box) {
      shown = box.hwnd;
      HWND focus = GetFocus();
      PostMessageW(focus ? focus : box.hwnd, WM_KEYDOWN, key, 1);
      PostMessageW(focus ? focus : box.hwnd, WM_KEYUP, key, 0xC0000001);
      return 0;
    });
    const UINT_PTR fallback = SetTimer(nullptr, 0, 3000, [](HWND, UINT, UINT_PTR id, DWORD) {
      KillTimer(nullptr, id);
      fallbackUsed = true;
      if (shown) PostMessageW(shown, WM_COMMAND, IDOK, 0);
    });
    WinServiceUi ui;
    ui.ShowError("Error trying to peform specified action.\rError Message: x.");
    KillTimer(nullptr, fallback);
    ASSERT_EQ(answerer.seen().size(), 1u);
    // The line breaks at the carriage return.
    EXPECT_EQ(answerer.seen()[0].text,
              "Error trying to peform specified action.\r\nError Message: x.");
    EXPECT_FALSE(fallbackUsed);
  }
}

TEST(WinServiceControlManagerTest, SystemTextIsTrimmedAndEmptyWithoutOne) {
  WinServiceControlManager scm;
  for (const DWORD code : {ERROR_SERVICE_DOES_NOT_EXIST, ERROR_ACCESS_DENIED,
                           ERROR_SERVICE_DISABLED, ERROR_INVALID_SERVICE_CONTROL}) {
    SCOPED_TRACE(code);
    const std::string text = scm.SystemErrorText(code);
    ASSERT_FALSE(text.empty());
    const unsigned char last = static_cast<unsigned char>(text.back());
    EXPECT_GT(last, 32u);
    EXPECT_NE(last, '.');
  }
  EXPECT_EQ(scm.SystemErrorText(0x2000ABCD), "");  // a customer code the system has no text for
}

TEST(WinServiceControlManagerTest, FailedCallsLeaveTheirCode) {
  WinServiceControlManager scm;
  const ScHandle manager = scm.OpenManager("", 0xA0000000);
  ASSERT_NE(manager, kNoScHandle);
  EXPECT_EQ(scm.OpenNamedService(manager, "NoSuchServiceAnywhere", 0xA0000100), kNoScHandle);
  EXPECT_EQ(scm.LastError(), static_cast<uint32_t>(ERROR_SERVICE_DOES_NOT_EXIST));
  EXPECT_EQ(scm.OpenNamedService(manager, std::string("Ostrel\0TFTPd", 12), 0xA0000100),
            kNoScHandle);
  EXPECT_EQ(scm.LastError(), static_cast<uint32_t>(ERROR_INVALID_NAME));
  scm.Close(manager);
}

}  // namespace
}  // namespace tftpcfg
