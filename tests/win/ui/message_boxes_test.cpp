// The window's message boxes: the program's own message dialog (captions,
// icons, buttons, keys, the close box, size and DPI) and the two system boxes
// (the restart question and the application's error box).

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "platform/win32/win_text.h"
#include "tests/support/win/control_harness.h"
#include "tests/support/win/message_box_answerer.h"
#include "ui/message_boxes.h"
#include "toolkit/message_dialog.h"

namespace tftpcfg::test {
namespace {

using Buttons = std::vector<std::string>;

TEST(MessageBoxes, RestartQuestion) {
  WindowMessageBoxes dialogs;
  for (const auto& [id, expected] :
       {std::pair{IDYES, RestartAnswer::Yes}, std::pair{IDNO, RestartAnswer::No},
        std::pair{IDCANCEL, RestartAnswer::Cancel}}) {
    MessageBoxAnswerer answer(id);
    EXPECT_EQ(dialogs.AskRestart(nullptr), expected);
    ASSERT_EQ(answer.seen().size(), 1u);
    const SeenBox& box = answer.seen()[0];
    EXPECT_EQ(box.caption, "Confirmation");
    EXPECT_EQ(box.text,
              "It is necessary to restart the service in order to apply new configuration. "
              "Restart the TFTP service now?");
    EXPECT_EQ(box.buttons, (Buttons{"&Yes", "&No", "Cancel"}));
    EXPECT_EQ(box.defaultId, IDYES);
    EXPECT_TRUE(box.hasIcon);
  }
}

TEST(MessageBoxes, ConfirmationAnswersYesOnlyForYes) {
  WindowMessageBoxes dialogs;
  {
    MessageBoxAnswerer answer(IDYES);
    EXPECT_TRUE(dialogs.Confirm(nullptr, "Are you sure to delete rule?"));
    ASSERT_EQ(answer.seen().size(), 1u);
    EXPECT_EQ(answer.seen()[0].caption, "Confirm");
    EXPECT_EQ(answer.seen()[0].text, "Are you sure to delete rule?");
    EXPECT_EQ(answer.seen()[0].buttons, (Buttons{"&Yes", "&No"}));
    EXPECT_EQ(answer.seen()[0].defaultId, IDYES);
    EXPECT_TRUE(answer.seen()[0].hasIcon);
  }
  MessageBoxAnswerer no(IDNO);
  EXPECT_FALSE(dialogs.Confirm(nullptr, "Are you sure you want to discard all changes and exit?"));
}

TEST(MessageBoxes, ErrorInformationAndApplicationError) {
  WindowMessageBoxes dialogs;
  MessageBoxAnswerer answer(IDOK);
  dialogs.Error(nullptr, "Specified TFTP Root Directory is not valid.");
  dialogs.Information(nullptr, "The service was restarted succesfully.");
  dialogs.ApplicationError(nullptr, "Invalid IP address string");
  dialogs.ApplicationError(nullptr, "Failed to get data for 'TFTPPort'");
  ASSERT_EQ(answer.seen().size(), 4u);
  EXPECT_EQ(answer.seen()[0].caption, "Error");
  EXPECT_EQ(answer.seen()[1].caption, "Information");
  EXPECT_EQ(answer.seen()[1].text, "The service was restarted succesfully.");
  EXPECT_EQ(answer.seen()[2].caption, "Ostrel TFTP Service Configuration");
  EXPECT_EQ(answer.seen()[2].text, "Invalid IP address string.");
  EXPECT_EQ(answer.seen()[3].text, "Failed to get data for 'TFTPPort'");
  for (const SeenBox& box : answer.seen()) {
    EXPECT_EQ(box.buttons, Buttons{"OK"}) << box.caption;
    EXPECT_TRUE(box.hasIcon) << box.caption;
  }
  // The standard dialogs are centred on the screen.
  const RECT& r = answer.seen()[0].rect;
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_LE(std::abs((r.left + r.right) / 2 - (work.left + work.right) / 2), 2);
}

// Shows a message dialog and, once it is on screen, does `act` to it; a
// fallback timer clicks its first button if `act` did not close it, so a
// failure does not hang the test.
struct Shown {
  MessageResult result = MessageResult::Closed;
  SeenBox box;
  bool fallbackUsed = false;
};
Shown ShowAnd(MessageKind kind, const std::string& text, const std::function<void(HWND)>& act) {
  static HWND open;
  static bool fallback;
  open = nullptr;
  fallback = false;
  Shown shown;
  MessageBoxAnswerer answerer([&](const SeenBox& box) {
    open = box.hwnd;
    act(box.hwnd);
    return 0;
  });
  const UINT_PTR timer = SetTimer(nullptr, 0, 3000, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    fallback = true;
    if (IsWindow(open)) PostMessageW(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    if (IsWindow(open)) PostMessageW(open, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
  });
  shown.result = ShowMessageDialog(nullptr, kind, text);
  KillTimer(nullptr, timer);
  shown.fallbackUsed = fallback;
  if (!answerer.seen().empty()) shown.box = answerer.seen()[0];
  return shown;
}

void PressKey(HWND dialog, UINT vk) {
  const HWND focus = GetFocus() ? GetFocus() : dialog;
  PostMessageW(focus, WM_KEYDOWN, vk, 1);
  PostMessageW(focus, WM_KEYUP, vk, 0xC0000001);
}

TEST(MessageDialog, KeysAndTheCloseBoxAnswerAsTheButtonsSay) {
  struct Case {
    MessageKind kind;
    std::function<void(HWND)> act;
    MessageResult expected;
  };
  const auto key = [](UINT vk) { return [vk](HWND d) { PressKey(d, vk); }; };
  const auto closeBox = [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); };
  const Case cases[] = {
      {MessageKind::Confirmation, key(VK_ESCAPE), MessageResult::No},
      {MessageKind::Confirmation, key(VK_RETURN), MessageResult::Yes},
      {MessageKind::Confirmation, closeBox, MessageResult::Closed},
      {MessageKind::Error, key(VK_ESCAPE), MessageResult::Ok},
      {MessageKind::Error, key(VK_RETURN), MessageResult::Ok},
      {MessageKind::Information, closeBox, MessageResult::Closed},
  };
  for (const Case& c : cases) {
    const Shown shown = ShowAnd(c.kind, "Are you sure to delete rule?", c.act);
    EXPECT_FALSE(shown.fallbackUsed) << static_cast<int>(c.kind);
    EXPECT_EQ(shown.result, c.expected) << static_cast<int>(c.kind);
  }
}

TEST(MessageDialog, EscAnswersNoInBothQuestionsOfTheWindow) {
  WindowMessageBoxes dialogs;
  for (const char* question :
       {"Are you sure you want to discard all changes and exit?", "Are you sure to delete rule?"}) {
    MessageBoxAnswerer answer([](const SeenBox& box) {
      PressKey(box.hwnd, VK_ESCAPE);
      return 0;
    });
    EXPECT_FALSE(dialogs.Confirm(nullptr, question));
    ASSERT_EQ(answer.seen().size(), 1u);
    EXPECT_EQ(answer.seen()[0].text, question);
  }
}

TEST(MessageDialog, CaptionIconAndButtonsFollowTheKind) {
  struct Case {
    MessageKind kind;
    const char* caption;
    const wchar_t* icon;
    std::vector<std::string> buttons;
    int defaultId;
  };
  const Case cases[] = {
      {MessageKind::Error, "Error", IDI_ERROR, {"OK"}, IDOK},
      {MessageKind::Information, "Information", IDI_INFORMATION, {"OK"}, IDOK},
      {MessageKind::Confirmation, "Confirm", IDI_QUESTION, {"&Yes", "&No"}, IDYES},
  };
  for (const Case& c : cases) {
    bool systemIcon = false;
    std::wstring focused;
    const Shown shown = ShowAnd(c.kind, "x", [&](HWND d) {
      systemIcon = SameIconImage(
          reinterpret_cast<HICON>(SendDlgItemMessageW(d, kMessageIconId, STM_GETICON, 0, 0)),
          SystemIconForDpi(c.icon, 96));
      wchar_t text[32] = {};
      GetWindowTextW(GetFocus(), text, 32);
      focused = text;
      PressKey(d, VK_RETURN);
    });
    EXPECT_EQ(shown.box.caption, c.caption);
    EXPECT_EQ(shown.box.buttons, c.buttons);
    EXPECT_EQ(shown.box.defaultId, c.defaultId);
    EXPECT_TRUE(systemIcon) << c.caption;
    EXPECT_EQ(Narrow(focused), c.buttons.front()) << "the default button has the focus";
  }
}

// Everything the dialog shows lies inside it, the text needs no more room than
// its control has, the buttons sit below the text, and the dialog is centred
// on the work area unless it was moved.
void ExpectTextFits(HWND d, bool centred = true) {
  RECT client{};
  GetClientRect(d, &client);
  const HWND text = GetDlgItem(d, kMessageTextId);
  RECT tr{};
  GetWindowRect(text, &tr);
  MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&tr), 2);
  wchar_t buf[4096] = {};
  const int length = GetWindowTextW(text, buf, 4096);
  const HDC dc = GetDC(text);
  const HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(text, WM_GETFONT, 0, 0)));
  RECT needed{0, 0, tr.right - tr.left, 0};
  DrawTextW(dc, buf, length, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  SelectObject(dc, old);
  ReleaseDC(text, dc);
  EXPECT_LE(needed.bottom, tr.bottom - tr.top);
  EXPECT_LE(needed.right, tr.right - tr.left);
  EXPECT_TRUE(tr.left >= 0 && tr.right <= client.right && tr.bottom <= client.bottom);
  for (HWND b = FindWindowExW(d, nullptr, L"Button", nullptr); b;
       b = FindWindowExW(d, b, L"Button", nullptr)) {
    RECT br{};
    GetWindowRect(b, &br);
    MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&br), 2);
    EXPECT_GE(br.top, tr.bottom);
    EXPECT_TRUE(br.left >= 0 && br.right <= client.right && br.bottom <= client.bottom);
  }
  RECT window{}, work{};
  GetWindowRect(d, &window);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_LE(window.right - window.left, work.right - work.left);
  if (!centred) return;
  EXPECT_LE(std::abs((window.left + window.right) - (work.left + work.right)), 3);
  EXPECT_LE(std::abs((window.top + window.bottom) - (work.top + work.bottom)), 3);
}

int TextLineHeight(HWND d) {
  const HWND text = GetDlgItem(d, kMessageTextId);
  const HDC dc = GetDC(text);
  const HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(text, WM_GETFONT, 0, 0)));
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(text, dc);
  return tm.tmHeight;
}

TEST(MessageDialog, ALongTextWrapsAndTheDialogFitsItAt96And144Dpi) {
  std::string text = "Error trying to peform specified action.\rError Message: ";
  for (int i = 0; i < 40; ++i) text += "a long explanation ";
  int lines96 = 0;
  int lines144 = 0;
  int lineHeight96 = 0;
  const Shown shown = ShowAnd(MessageKind::Error, text, [&](HWND d) {
    ExpectTextFits(d);
    RECT tr{};
    GetClientRect(GetDlgItem(d, kMessageTextId), &tr);
    lineHeight96 = TextLineHeight(d);
    lines96 = tr.bottom / lineHeight96;
    // A move to a monitor of 144 DPI: the dialog goes where the system
    // suggests instead of centring itself again.
    const RECT suggested = SendDpiChangeMovedBy(d, 144);
    EXPECT_EQ(PlacedAt(d, suggested), "");
    // A DPI of 0 or no rectangle, as any process could send: harmless.
    SendMessageW(d, WM_DPICHANGED, 0, 0);
    SendMessageW(d, WM_DPICHANGED, MAKEWPARAM(144, 144), 0);
    EXPECT_EQ(PlacedAt(d, suggested), "");
    ExpectTextFits(d, false);
    GetClientRect(GetDlgItem(d, kMessageTextId), &tr);
    EXPECT_GE(TextLineHeight(d) * 4, lineHeight96 * 5) << "the font grows with the DPI";
    lines144 = tr.bottom / TextLineHeight(d);
    PressKey(d, VK_RETURN);
  });
  EXPECT_FALSE(shown.fallbackUsed);
  EXPECT_GE(lines96, 3) << "the carriage return and the wrapping each start a line";
  EXPECT_GE(lines144, lines96);
}

TEST(MessageDialog, TheThreadsOtherWindowsWaitWhileItIsOpen) {
  const HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                     nullptr, nullptr, nullptr, nullptr);
  bool otherEnabled = true;
  ShowAnd(MessageKind::Confirmation, "?", [&](HWND d) {
    otherEnabled = IsWindowEnabled(other) != FALSE;
    PressKey(d, VK_ESCAPE);
  });
  EXPECT_FALSE(otherEnabled);
  EXPECT_TRUE(IsWindowEnabled(other)) << "enabled again once the dialog is closed";
  DestroyWindow(other);
}

TEST(MessageBoxes, FullStopRuleOfTheApplicationErrorBox) {
  EXPECT_EQ(ApplicationErrorText("Invalid IP address string"), "Invalid IP address string.");
  EXPECT_EQ(ApplicationErrorText("List index out of bounds (8)"), "List index out of bounds (8)");
  EXPECT_EQ(ApplicationErrorText("Invalid data type for 'X'"), "Invalid data type for 'X'");
  EXPECT_EQ(ApplicationErrorText("ends with a full stop."), "ends with a full stop.");
  EXPECT_EQ(ApplicationErrorText("ends with 7"), "ends with 7.");
  EXPECT_EQ(ApplicationErrorText(""), "");
}

}  // namespace
}  // namespace tftpcfg::test
