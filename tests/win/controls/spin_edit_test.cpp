// The number field as the user drives it: the messages that keys, the
// clipboard, the wheel and the arrow buttons produce, sent to the real control.

#include "controls/spin_edit.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "controls/control_notify.h"
#include "platform/win32/win_text.h"
#include "tests/support/win/control_harness.h"

namespace tftpcfg {
namespace {

using test::ClipboardUtf16;
using test::NotifyHost;
using test::Pump;
using test::PumpFor;
using test::SetClipboardUtf16;

constexpr int kId = 101;
constexpr int kOtherId = 102;
const std::vector<WORD> kNoCodes;
const std::vector<WORD> kChange{kNotifyChange};
const std::vector<WORD> kUpChange{kNotifyUpClick, kNotifyChange};
const std::vector<WORD> kDownChange{kNotifyDownClick, kNotifyChange};

class SpinEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &savedWheelLines_, 0);
    BYTE keys[256] = {};
    SetKeyboardState(keys);
  }
  void TearDown() override {
    SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, savedWheelLines_, nullptr, 0);
    BYTE keys[256] = {};
    SetKeyboardState(keys);
  }

  TElSpinEdit* Make(int32_t min, int32_t max, int32_t value, int id = kId, int top = 10) {
    const RECT rect{10, top, 75, top + 21};
    TElSpinEdit* field = TElSpinEdit::Create(host.hwnd(), id, rect, min, max, value);
    EXPECT_NE(field, nullptr);
    SendMessageW(field->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(host.font()), TRUE);
    return field;
  }
  // A field with the focus, as the user would have it.
  TElSpinEdit* Focused(int32_t min, int32_t max, int32_t value) {
    TElSpinEdit* field = Make(min, max, value);
    SetFocus(field->EditHandle());
    Pump();
    host.notes.clear();
    return field;
  }

  static void Char(TElSpinEdit* f, wchar_t ch) { SendMessageW(f->EditHandle(), WM_CHAR, ch, 1); }
  static void Key(TElSpinEdit* f, UINT vk) {
    SendMessageW(f->EditHandle(), WM_KEYDOWN, vk, 1);
    SendMessageW(f->EditHandle(), WM_KEYUP, vk, 0xC0000001);
  }
  static void Select(TElSpinEdit* f, int start, int end) {
    SendMessageW(f->EditHandle(), EM_SETSEL, start, end);
  }
  static std::pair<int, int> Selection(TElSpinEdit* f) {
    DWORD s = 0, e = 0;
    SendMessageW(f->EditHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&s),
                 reinterpret_cast<LPARAM>(&e));
    return {static_cast<int>(s), static_cast<int>(e)};
  }
  static void Wheel(HWND target, short delta) {
    SendMessageW(target, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0);
  }
  static int ButtonsHeight(TElSpinEdit* f) {
    RECT rc{};
    GetClientRect(f->ButtonsHandle(), &rc);
    return rc.bottom;
  }
  static void MouseDown(TElSpinEdit* f, int y) {
    SendMessageW(f->ButtonsHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, y));
  }
  static void MouseMove(TElSpinEdit* f, int y) {
    SendMessageW(f->ButtonsHandle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(4, y));
  }
  static void MouseUp(TElSpinEdit* f, int y) {
    SendMessageW(f->ButtonsHandle(), WM_LBUTTONUP, 0, MAKELPARAM(4, y));
  }
  static void SetWheelLines(UINT lines) {
    ASSERT_TRUE(SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, lines, nullptr, 0));
  }

  std::vector<WORD> Codes() const { return host.Codes(kId); }

  NotifyHost host;
  UINT savedWheelLines_ = 3;
};

// --- creation and programmatic setting ------------------------------------

TEST_F(SpinEditTest, CreatesTheFieldWithItsEditAsTheTabStop) {
  TElSpinEdit* port = Make(1, 65535, 1);
  EXPECT_EQ(TElSpinEdit::FromHandle(port->Handle()), port);
  EXPECT_EQ(TElSpinEdit::FromHandle(port->EditHandle()), nullptr);
  EXPECT_EQ(TElSpinEdit::FromHandle(host.hwnd()), nullptr);
  EXPECT_EQ(port->Text(), "1");
  EXPECT_EQ(GetWindowTextUtf8(port->EditHandle()), "1");
  EXPECT_TRUE(GetWindowLongW(port->EditHandle(), GWL_STYLE) & WS_TABSTOP);
  EXPECT_FALSE(GetWindowLongW(port->Handle(), GWL_STYLE) & WS_TABSTOP);
  EXPECT_TRUE(GetWindowLongW(port->Handle(), GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
  EXPECT_EQ(GetDlgCtrlID(port->Handle()), kId);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(port->EditHandle(), WM_GETFONT, 0, 0)),
            host.font());

  TElSpinEdit* fw = Make(0, 65535, 1024, kOtherId, 40);
  EXPECT_EQ(fw->Value(), 1024);
  EXPECT_EQ(fw->Text(), "1024");
  EXPECT_TRUE(host.notes.empty());
}

TEST_F(SpinEditTest, ProgrammaticSettingsClampAndRaiseNothing) {
  TElSpinEdit* timeout = Make(1, 180, 3);
  TElSpinEdit* retries = Make(1, 100, 3, kOtherId, 40);
  timeout->SetValue(500);
  EXPECT_EQ(timeout->Text(), "180");
  EXPECT_EQ(timeout->Value(), 180);
  retries->SetValue(0);
  EXPECT_EQ(retries->Text(), "1");
  retries->SetMinValue(5);
  EXPECT_EQ(retries->Text(), "5");
  retries->SetMaxValue(4);  // below the lower bound: ignored
  EXPECT_EQ(retries->MaxValue(), 100);
  timeout->SetMaxValue(60);
  EXPECT_EQ(timeout->Text(), "60");
  timeout->SetReadOnly(true);
  timeout->SetReadOnly(false);
  EXPECT_EQ(timeout->Text(), "60");
  EXPECT_TRUE(host.notes.empty());
}

// --- typing, the clipboard, undo ------------------------------------------

TEST_F(SpinEditTest, PortZeroOverTheWholeTextIsRefused) {
  TElSpinEdit* port = Focused(1, 65535, 69);
  Select(port, 0, -1);
  Char(port, L'0');
  EXPECT_EQ(port->Text(), "69");
  EXPECT_EQ(port->Value(), 69);
  EXPECT_EQ(Selection(port), std::make_pair(0, 2));
  EXPECT_EQ(Codes(), kChange);
}

TEST_F(SpinEditTest, PortEmptiedIsTidiedUpSilentlyWhenTheFocusMovesOn) {
  TElSpinEdit* port = Focused(1, 65535, 69);
  TElSpinEdit* other = Make(1, 180, 3, kOtherId, 40);
  Select(port, 0, -1);
  Char(port, L'\b');
  EXPECT_EQ(port->Text(), "");
  EXPECT_EQ(port->Value(), 69);
  EXPECT_EQ(Codes(), kChange);

  SetFocus(other->EditHandle());
  Pump();
  EXPECT_EQ(port->Text(), "1");
  EXPECT_EQ(port->Value(), 1);
  EXPECT_EQ(Codes(), kChange);  // nothing more
}

TEST_F(SpinEditTest, FocusGoingToAnotherWindowLeavesTheTextAsTyped) {
  TElSpinEdit* port = Focused(1, 65535, 69);
  Select(port, 0, -1);
  Char(port, L'\b');
  NotifyHost elsewhere(200, 100, L"Another window");
  SetFocus(elsewhere.hwnd());
  Pump();
  ASSERT_NE(GetFocus(), port->EditHandle());
  // As when OK is clicked and a message box takes the focus: still empty.
  EXPECT_EQ(port->Text(), "");
  EXPECT_EQ(port->Value(), 69);
}

TEST_F(SpinEditTest, TimeoutTakesATrailingZeroAndRefusesTheNext) {
  TElSpinEdit* timeout = Focused(1, 180, 18);
  Select(timeout, 2, 2);
  Char(timeout, L'0');
  EXPECT_EQ(timeout->Text(), "180");
  EXPECT_EQ(timeout->Value(), 180);
  Char(timeout, L'0');
  EXPECT_EQ(timeout->Text(), "180");
  EXPECT_EQ(timeout->Value(), 180);
  EXPECT_EQ(Selection(timeout), std::make_pair(3, 3));
  EXPECT_EQ(Codes(), (std::vector<WORD>{kNotifyChange, kNotifyChange}));
}

TEST_F(SpinEditTest, ARewriteKeepsTheCaretWhereTheKeyLeftIt) {
  TElSpinEdit* port = Focused(1, 65535, 15);
  Select(port, 0, 0);
  Char(port, L'2');
  EXPECT_EQ(port->Text(), "215");
  EXPECT_EQ(port->Value(), 215);
  EXPECT_EQ(Selection(port), std::make_pair(1, 1));
}

TEST_F(SpinEditTest, MinusSignIsFilteredAndChecked) {
  TElSpinEdit* fw = Focused(0, 65535, 55);
  Select(fw, 1, 1);
  Char(fw, L'-');  // in the middle: dropped
  Select(fw, 2, 2);
  Char(fw, L'-');  // at the end: dropped
  Select(fw, 1, 2);
  Char(fw, L'-');  // less than the whole text: dropped
  EXPECT_EQ(fw->Text(), "55");
  EXPECT_TRUE(Codes().empty());

  Select(fw, 0, 0);
  Char(fw, L'-');  // "-55" is out of range: refused
  EXPECT_EQ(fw->Text(), "55");
  EXPECT_EQ(Selection(fw), std::make_pair(0, 0));
  Select(fw, 0, -1);
  Char(fw, L'-');
  EXPECT_EQ(fw->Text(), "-");
  EXPECT_EQ(fw->Value(), 55);
  EXPECT_EQ(Codes(), (std::vector<WORD>{kNotifyChange, kNotifyChange}));
}

TEST_F(SpinEditTest, MinusZeroStaysForZeroAndIsRewrittenOtherwise) {
  TElSpinEdit* zero = Focused(0, 65535, 0);
  Select(zero, 0, 0);
  Char(zero, L'-');
  EXPECT_EQ(zero->Text(), "-0");
  EXPECT_EQ(zero->Value(), 0);

  zero->SetValue(5);
  Select(zero, 0, -1);
  ASSERT_TRUE(SetClipboardUtf16(L"-0"));
  SendMessageW(zero->EditHandle(), WM_PASTE, 0, 0);
  EXPECT_EQ(zero->Text(), "0");
  EXPECT_EQ(zero->Value(), 0);
}

TEST_F(SpinEditTest, KeyFilterDropsEverythingButDigitsBackspaceAndMinus) {
  TElSpinEdit* port = Focused(1, 65535, 69);
  Select(port, 2, 2);
  for (wchar_t ch : {L'a', L'+', L' ', L'.', L'\r', L'\x1b', L'\t', L'\x7f', L'\x0663'})
    Char(port, ch);
  EXPECT_EQ(port->Text(), "69");
  EXPECT_TRUE(Codes().empty());
  Char(port, L'1');
  EXPECT_EQ(port->Text(), "691");
  EXPECT_EQ(port->Value(), 691);
  EXPECT_EQ(Codes(), kChange);
}

TEST_F(SpinEditTest, PasteCutClearAndUndoGoThroughTheEditAndAreChecked) {
  TElSpinEdit* port = Focused(1, 65535, 1);
  Select(port, 1, 1);
  Char(port, L'5');
  ASSERT_EQ(port->Text(), "15");

  SendMessageW(port->EditHandle(), WM_UNDO, 0, 0);
  EXPECT_EQ(port->Text(), "1");
  EXPECT_EQ(port->Value(), 1);

  ASSERT_TRUE(SetClipboardUtf16(L"0x50"));
  Select(port, 0, -1);
  Char(port, 0x16);  // Ctrl+V
  EXPECT_EQ(port->Text(), "80");
  EXPECT_EQ(port->Value(), 80);

  // Not a number, and a hexadecimal one of nine digits: refused.
  for (const wchar_t* refused : {L"12ab", L"$000000046"}) {
    ASSERT_TRUE(SetClipboardUtf16(refused));
    Select(port, 0, -1);
    SendMessageW(port->EditHandle(), WM_PASTE, 0, 0);
    EXPECT_EQ(port->Text(), "80");
    EXPECT_EQ(Selection(port), std::make_pair(0, 2));
  }

  Select(port, 0, 1);
  SendMessageW(port->EditHandle(), WM_CUT, 0, 0);  // leaves "0", below 1: refused
  EXPECT_EQ(port->Value(), 80);
  EXPECT_EQ(port->Text(), "80");

  Select(port, 0, -1);
  SendMessageW(port->EditHandle(), WM_CLEAR, 0, 0);
  EXPECT_EQ(port->Text(), "");
  EXPECT_EQ(Codes(), std::vector<WORD>(7, kNotifyChange));
}

TEST_F(SpinEditTest, DeleteKeyIsAnEditingKey) {
  TElSpinEdit* retries = Focused(1, 100, 42);
  Select(retries, 0, 0);
  Key(retries, VK_DELETE);
  EXPECT_EQ(retries->Text(), "2");
  EXPECT_EQ(retries->Value(), 2);
  EXPECT_EQ(Codes(), kChange);
}

// --- keys -----------------------------------------------------------------

TEST_F(SpinEditTest, RetriesAtTheLimitStillRaiseUpClickAndChange) {
  TElSpinEdit* retries = Focused(1, 100, 100);
  Key(retries, VK_UP);
  EXPECT_EQ(retries->Value(), 100);
  EXPECT_EQ(retries->Text(), "100");
  EXPECT_EQ(Selection(retries), std::make_pair(3, 3));
  EXPECT_EQ(Codes(), kUpChange);
}

TEST_F(SpinEditTest, ArrowAndPageKeysStepTheValue) {
  TElSpinEdit* fw = Focused(0, 65535, 1024);
  Key(fw, VK_UP);
  EXPECT_EQ(fw->Text(), "1025");
  Key(fw, VK_DOWN);
  Key(fw, VK_DOWN);
  EXPECT_EQ(fw->Value(), 1023);
  Key(fw, VK_PRIOR);
  EXPECT_EQ(fw->Value(), 1033);
  Key(fw, VK_NEXT);
  EXPECT_EQ(fw->Value(), 1023);
  EXPECT_EQ(Selection(fw), std::make_pair(4, 4));
  EXPECT_EQ(Codes(),
            (std::vector<WORD>{kNotifyUpClick, kNotifyChange, kNotifyDownClick, kNotifyChange,
                               kNotifyDownClick, kNotifyChange, kNotifyUpClick, kNotifyChange,
                               kNotifyDownClick, kNotifyChange}));
}

TEST_F(SpinEditTest, KeysWithAModifierHeldDoNothingToTheValue) {
  TElSpinEdit* fw = Focused(0, 65535, 1024);
  BYTE keys[256] = {};
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  Key(fw, VK_UP);
  keys[VK_SHIFT] = 0;
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  Key(fw, VK_PRIOR);
  EXPECT_EQ(fw->Value(), 1024);
  EXPECT_TRUE(Codes().empty());
}

TEST_F(SpinEditTest, KeyboardInputTakesTheSameRoad) {
  // Through the system's input queue and TranslateMessage, as a user types.
  TElSpinEdit* timeout = Focused(1, 180, 18);
  SetForegroundWindow(host.hwnd());
  Select(timeout, 2, 2);
  const auto send = [](WORD vk, wchar_t ch) {
    INPUT in[2] = {};
    for (INPUT& i : in) {
      i.type = INPUT_KEYBOARD;
      i.ki.wVk = vk;
      i.ki.wScan = ch;
      i.ki.dwFlags = ch != 0 ? KEYEVENTF_UNICODE : 0;
    }
    in[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
    test::PumpFor(100);
  };
  send(0, L'0');
  EXPECT_EQ(timeout->Text(), "180");
  send(0, L'0');
  EXPECT_EQ(timeout->Text(), "180");
  send(VK_DOWN, 0);
  EXPECT_EQ(timeout->Value(), 179);
  EXPECT_EQ(Codes(),
            (std::vector<WORD>{kNotifyChange, kNotifyChange, kNotifyDownClick, kNotifyChange}));
}

// --- read-only --------------------------------------------------------------

TEST_F(SpinEditTest, ReadOnlyFirewallPortRefusesEveryChange) {
  TElSpinEdit* fw = Focused(0, 65535, 1024);
  fw->SetReadOnly(true);
  SetWheelLines(3);
  Select(fw, 0, -1);
  Key(fw, VK_UP);
  Key(fw, VK_NEXT);
  MouseDown(fw, 1);
  MouseUp(fw, 1);
  MouseDown(fw, ButtonsHeight(fw) - 1);
  MouseUp(fw, ButtonsHeight(fw) - 1);
  MouseDown(fw, ButtonsHeight(fw) / 2);
  MouseMove(fw, 0);
  MouseUp(fw, 0);
  Wheel(fw->EditHandle(), 120);
  Wheel(fw->ButtonsHandle(), -120);
  Char(fw, L'7');
  Char(fw, L'\b');
  Char(fw, 0x18);  // Ctrl+X
  Char(fw, 0x16);  // Ctrl+V
  Char(fw, 0x1A);  // Ctrl+Z
  Key(fw, VK_DELETE);
  BYTE keys[256] = {};
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  Key(fw, VK_INSERT);  // Shift+Insert pastes
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  ASSERT_TRUE(SetClipboardUtf16(L"5"));
  for (UINT msg : {UINT{WM_PASTE}, UINT{WM_CUT}, UINT{WM_CLEAR}, UINT{WM_UNDO}, UINT{EM_UNDO}})
    SendMessageW(fw->EditHandle(), msg, 0, 0);
  EXPECT_EQ(fw->Value(), 1024);
  EXPECT_EQ(fw->Text(), "1024");
  EXPECT_TRUE(Codes().empty());

  // Focus, selection and copy still work.
  EXPECT_EQ(GetFocus(), fw->EditHandle());
  Select(fw, 0, -1);
  SendMessageW(fw->EditHandle(), WM_COPY, 0, 0);
  EXPECT_EQ(ClipboardUtf16(), L"1024");
  Char(fw, 0x03);  // Ctrl+C
  EXPECT_EQ(ClipboardUtf16(), L"1024");

  fw->SetReadOnly(false);
  Key(fw, VK_UP);
  EXPECT_EQ(fw->Value(), 1025);
}

TEST_F(SpinEditTest, ReadOnlyStillTidiesUpWhenLeft) {
  TElSpinEdit* fw = Focused(0, 65535, 1024);
  TElSpinEdit* other = Make(0, 65535, 65535, kOtherId, 40);
  Select(fw, 0, -1);
  Char(fw, L'\b');
  fw->SetReadOnly(true);
  SetFocus(other->EditHandle());
  Pump();
  EXPECT_EQ(fw->Text(), "0");
  EXPECT_EQ(Codes(), kChange);  // from the Backspace only
}

// --- wheel ----------------------------------------------------------------

TEST_F(SpinEditTest, WheelFollowsTheSystemsLinesSetting) {
  TElSpinEdit* port = Focused(1, 65535, 100);
  SetWheelLines(3);
  Wheel(port->EditHandle(), 120);
  EXPECT_EQ(port->Value(), 103);
  Wheel(port->EditHandle(), 60);  // half a notch with 3 lines: one step
  EXPECT_EQ(port->Value(), 104);
  Wheel(port->EditHandle(), 30);  // less than one step: nothing, not even a change
  EXPECT_EQ(port->Value(), 104);
  Wheel(port->EditHandle(), -120);
  EXPECT_EQ(port->Value(), 101);
  SetWheelLines(0);  // counts as one line
  Wheel(port->EditHandle(), 120);
  EXPECT_EQ(port->Value(), 102);
  EXPECT_EQ(port->Text(), "102");
  EXPECT_EQ(Codes(), std::vector<WORD>(4, kNotifyChange));
}

TEST_F(SpinEditTest, WheelOnTheArrowButtonsReachesTheField) {
  TElSpinEdit* port = Focused(1, 65535, 100);
  SetWheelLines(3);
  Wheel(port->ButtonsHandle(), -120);
  EXPECT_EQ(port->Value(), 97);
  Wheel(port->Handle(), 240);
  EXPECT_EQ(port->Value(), 103);
  EXPECT_EQ(Codes(), std::vector<WORD>(2, kNotifyChange));
}

// --- arrow buttons and the divider ----------------------------------------

TEST_F(SpinEditTest, ArrowButtonsStepFocusAndSelectTheText) {
  TElSpinEdit* timeout = Make(1, 180, 9);
  TElSpinEdit* other = Make(1, 100, 3, kOtherId, 40);
  SetFocus(other->EditHandle());
  Pump();
  host.notes.clear();

  MouseDown(timeout, 1);
  MouseUp(timeout, 1);
  EXPECT_EQ(timeout->Value(), 10);
  EXPECT_EQ(GetFocus(), timeout->EditHandle());
  EXPECT_EQ(Selection(timeout), std::make_pair(0, 2));
  EXPECT_EQ(Codes(), kUpChange);

  MouseDown(timeout, ButtonsHeight(timeout) - 1);
  MouseUp(timeout, ButtonsHeight(timeout) - 1);
  EXPECT_EQ(timeout->Value(), 9);
  EXPECT_EQ(Codes(),
            (std::vector<WORD>{kNotifyUpClick, kNotifyChange, kNotifyDownClick, kNotifyChange}));
  // The buttons never take the focus themselves.
  EXPECT_NE(GetFocus(), timeout->ButtonsHandle());
}

TEST_F(SpinEditTest, ArrowButtonsAreAlwaysEnabledAtTheLimits) {
  TElSpinEdit* retries = Focused(1, 100, 100);
  EXPECT_TRUE(IsWindowEnabled(retries->ButtonsHandle()));
  MouseDown(retries, 1);
  MouseUp(retries, 1);
  EXPECT_EQ(retries->Value(), 100);
  EXPECT_EQ(Codes(), kUpChange);
}

TEST_F(SpinEditTest, HeldArrowRepeatsAfter400ThenEvery100Milliseconds) {
  TElSpinEdit* port = Focused(1, 65535, 100);
  std::vector<DWORD> steps;
  host.onNotify = [&](const test::Notification& n) {
    if (n.code == kNotifyUpClick) steps.push_back(n.tick);
  };
  const DWORD pressed = GetTickCount();
  MouseDown(port, 1);
  EXPECT_EQ(GetCapture(), port->ButtonsHandle());
  PumpFor(300);
  EXPECT_EQ(steps.size(), 1u) << "no repetition before 400 ms";
  PumpFor(700);
  MouseUp(port, 1);
  const DWORD heldFor = GetTickCount() - pressed;
  const size_t held = steps.size();
  // One at once, one at 400 ms, then one every 100 ms: never more than that,
  // and fewer only by what a busy machine delays.
  EXPECT_GE(held, 4u);
  EXPECT_LE(held, 2u + (heldFor - 400) / 100);
  ASSERT_GE(held, 3u);
  EXPECT_GE(steps[1] - pressed, 390u);
  for (size_t i = 2; i < held; ++i) EXPECT_GE(steps[i] - steps[i - 1], 85u) << i;
  EXPECT_EQ(port->Value(), static_cast<int32_t>(100 + held));

  PumpFor(300);
  EXPECT_EQ(steps.size(), held) << "released: no more steps";
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(SpinEditTest, RepetitionGoesOnWhereverThePointerIs) {
  TElSpinEdit* port = Focused(1, 65535, 100);
  MouseDown(port, ButtonsHeight(port) - 1);
  SendMessageW(port->ButtonsHandle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 300));
  PumpFor(650);
  MouseUp(port, 300);
  EXPECT_LE(port->Value(), 97);  // at least the press and two repetitions
}

TEST_F(SpinEditTest, DraggingTheDividerStepsPerPixel) {
  TElSpinEdit* port = Focused(1, 65535, 100);
  const int h = ButtonsHeight(port);
  MouseDown(port, h / 2);
  EXPECT_EQ(GetCapture(), port->ButtonsHandle());
  EXPECT_EQ(port->Value(), 100);
  MouseMove(port, h / 2 - 3);
  EXPECT_EQ(port->Value(), 103);
  MouseMove(port, h / 2 + 2);
  EXPECT_EQ(port->Value(), 98);
  MouseMove(port, h / 2 + 2);
  MouseUp(port, h / 2 + 2);
  EXPECT_EQ(GetCapture(), nullptr);
  MouseMove(port, 0);
  EXPECT_EQ(port->Value(), 98);
  EXPECT_EQ(Codes(), std::vector<WORD>(3, kNotifyChange));
  EXPECT_TRUE(SpinHitTest(h / 2 + 1, h) == SpinPart::Divider);
}

TEST_F(SpinEditTest, DividerShowsTheVerticalResizePointer) {
  TElSpinEdit* port = Focused(1, 65535, 100);
  RECT rc{};
  GetWindowRect(port->ButtonsHandle(), &rc);
  const int h = rc.bottom - rc.top;
  // The pointer moves asynchronously under Wine: wait until it is there.
  const auto moveTo = [&](int y) {
    for (int i = 0; i < 50; ++i) {
      SetCursorPos(rc.left + 3, rc.top + y);
      PumpFor(10);
      POINT pt{};
      GetCursorPos(&pt);
      if (pt.x == rc.left + 3 && pt.y == rc.top + y) return true;
    }
    return false;
  };
  const auto cursorAt = [&] {
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    SendMessageW(port->ButtonsHandle(), WM_SETCURSOR,
                 reinterpret_cast<WPARAM>(port->ButtonsHandle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
  };
  if (!moveTo(h / 2)) GTEST_SKIP() << "the pointer cannot be moved here";
  EXPECT_EQ(cursorAt(), LoadCursorW(nullptr, IDC_SIZENS));
  ASSERT_TRUE(moveTo(h / 2 + 1));
  EXPECT_EQ(cursorAt(), LoadCursorW(nullptr, IDC_SIZENS));
  ASSERT_TRUE(moveTo(1));
  EXPECT_NE(cursorAt(), LoadCursorW(nullptr, IDC_SIZENS));
  ASSERT_TRUE(moveTo(h / 2));
  port->SetReadOnly(true);  // no dragging, so no resize pointer
  EXPECT_NE(cursorAt(), LoadCursorW(nullptr, IDC_SIZENS));
}

TEST_F(SpinEditTest, MiddleClickGivesTheFieldTheFocus) {
  TElSpinEdit* port = Make(1, 65535, 1);
  TElSpinEdit* other = Make(1, 100, 3, kOtherId, 40);
  SetFocus(other->EditHandle());
  SendMessageW(port->EditHandle(), WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(2, 2));
  EXPECT_EQ(GetFocus(), port->EditHandle());
  SetFocus(other->EditHandle());
  SendMessageW(port->ButtonsHandle(), WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(2, 2));
  EXPECT_EQ(GetFocus(), port->EditHandle());
}

// --- window behaviour -------------------------------------------------------

TEST_F(SpinEditTest, ArrowPairIsAsWideAsTheScrollBarArrowAndAsHighAsTheField) {
  TElSpinEdit* port = Make(1, 65535, 1);
  RECT client{}, buttons{}, edit{};
  GetClientRect(port->Handle(), &client);
  GetWindowRect(port->ButtonsHandle(), &buttons);
  GetWindowRect(port->EditHandle(), &edit);
  EXPECT_EQ(buttons.right - buttons.left, GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(buttons.bottom - buttons.top, client.bottom);
  EXPECT_EQ(edit.right - edit.left, client.right - GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(edit.right, buttons.left);

  MoveWindow(port->Handle(), 10, 10, 120, 30, TRUE);
  GetClientRect(port->Handle(), &client);
  GetWindowRect(port->EditHandle(), &edit);
  GetWindowRect(port->ButtonsHandle(), &buttons);
  EXPECT_EQ(edit.right - edit.left, client.right - GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(buttons.bottom - buttons.top, client.bottom);
}

TEST_F(SpinEditTest, DisablingTheFieldDisablesEditAndArrows) {
  TElSpinEdit* port = Make(1, 65535, 1);
  EnableWindow(port->Handle(), FALSE);
  EXPECT_FALSE(IsWindowEnabled(port->EditHandle()));
  EXPECT_FALSE(IsWindowEnabled(port->ButtonsHandle()));
  EnableWindow(port->Handle(), TRUE);
  EXPECT_TRUE(IsWindowEnabled(port->EditHandle()));
  EXPECT_TRUE(IsWindowEnabled(port->ButtonsHandle()));
}

TEST_F(SpinEditTest, BackgroundColourIsTheFieldsBrushEditableOrReadOnly) {
  TElSpinEdit* port = Make(1, 65535, 1);
  const HDC dc = GetDC(port->EditHandle());
  const auto brushColour = [&](UINT msg) {
    const auto brush =
        reinterpret_cast<HBRUSH>(SendMessageW(port->Handle(), msg, reinterpret_cast<WPARAM>(dc),
                                              reinterpret_cast<LPARAM>(port->EditHandle())));
    LOGBRUSH lb{};
    GetObjectW(brush, sizeof lb, &lb);
    return lb.lbColor;
  };
  EXPECT_EQ(brushColour(WM_CTLCOLOREDIT), GetSysColor(COLOR_WINDOW));
  port->SetColor(GetSysColor(COLOR_BTNFACE));
  port->SetReadOnly(true);
  EXPECT_EQ(brushColour(WM_CTLCOLORSTATIC), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE));
  port->SetColor(RGB(10, 20, 30));
  EXPECT_EQ(brushColour(WM_CTLCOLOREDIT), RGB(10, 20, 30));
  ReleaseDC(port->EditHandle(), dc);
}

TEST_F(SpinEditTest, ParentMayDestroyTheFieldFromItsHandler) {
  TElSpinEdit* port = Focused(1, 65535, 1);
  const HWND hwnd = port->Handle();
  host.onNotify = [&](const test::Notification& n) {
    if (n.code == kNotifyUpClick) DestroyWindow(n.from);
  };
  Key(port, VK_UP);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(Codes(), std::vector<WORD>{kNotifyUpClick});  // the change is not sent any more
}

TEST_F(SpinEditTest, InADialogTabSelectsTheTextAndEnterAndEscReachTheButtons) {
  test::TestDialog dialog;
  TElSpinEdit* first = TElSpinEdit::Create(dialog.hwnd(), 201, RECT{10, 10, 80, 31}, 1, 65535, 69);
  TElSpinEdit* second = TElSpinEdit::Create(dialog.hwnd(), 202, RECT{10, 40, 80, 61}, 1, 180, 120);
  // Put the fields first in the tab order.
  SetWindowPos(second->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetWindowPos(first->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetFocus(first->EditHandle());
  dialog.Run();

  dialog.PressKey(VK_TAB);
  EXPECT_EQ(GetFocus(), second->EditHandle());
  DWORD s = 0, e = 0;
  SendMessageW(second->EditHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&s),
               reinterpret_cast<LPARAM>(&e));
  EXPECT_EQ(s, 0u);
  EXPECT_EQ(e, 3u);

  dialog.PressKey(VK_RETURN);
  dialog.PressKey(VK_ESCAPE);
  EXPECT_EQ(dialog.Commands(), (std::vector<int>{IDOK, IDCANCEL}));
  EXPECT_EQ(second->Text(), "120");

  dialog.PressKey(VK_UP);  // the arrows are the field's, not the dialog's
  EXPECT_EQ(second->Value(), 121);
  EXPECT_EQ(GetFocus(), second->EditHandle());

  BYTE keys[256] = {};
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  dialog.PressKey(VK_TAB);
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(GetFocus(), first->EditHandle());
  SendMessageW(first->EditHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&s),
               reinterpret_cast<LPARAM>(&e));
  EXPECT_EQ(s, 0u);
  EXPECT_EQ(e, 2u);
}

}  // namespace
}  // namespace tftpcfg
