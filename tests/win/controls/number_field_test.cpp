// The number field as the user drives it: the messages that keys, the
// clipboard, the wheel and the arrows produce, sent to the real control, and
// the notifications its parent receives. A held arrow's clock is played by the
// test (FakeRepeatTimer), so nothing here waits on the wall clock.

#include "controls/number_field.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/win32/gdi.h"
#include "tests/support/win/control_harness.h"

namespace tftpcfg {
namespace {

using test::NotifyHost;
using test::Pump;
using Codes = std::vector<WORD>;
using Range = std::pair<int, int>;

constexpr int kId = 101;
constexpr int kOtherId = 102;
const Codes kNone;
const Codes kChange{FN_CHANGE};
const Codes kUp{NFN_UPCLICK, FN_CHANGE};
const Codes kDown{NFN_DOWNCLICK, FN_CHANGE};

Codes Repeat(const Codes& codes, int times) {
  Codes all;
  for (int i = 0; i < times; ++i) all.insert(all.end(), codes.begin(), codes.end());
  return all;
}

// The clock of a held arrow: records the delays the field asks for.
class FakeRepeatTimer final : public IRepeatTimer {
 public:
  void Start(HWND f, UINT milliseconds) override {
    field = f;
    delays.push_back(milliseconds);
    running = true;
  }
  void Stop(HWND) override { running = false; }

  HWND field = nullptr;
  std::vector<UINT> delays;
  bool running = false;
};

// Sets the thread's keyboard state: only vk held down (0: nothing).
void HoldKey(BYTE vk) {
  BYTE keys[256] = {};
  if (vk != 0) keys[vk] = 0x80;
  SetKeyboardState(keys);
}

// An action on a field, such as the user's on its EDIT.
using Action = std::function<void(NumberField)>;

class NumberFieldTest : public ::testing::Test {
 protected:
  void SetUp() override { SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &savedWheelLines_, 0); }
  void TearDown() override {
    SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, savedWheelLines_, nullptr, 0);
    HoldKey(0);
  }

  NumberField Make(int32_t min, int32_t max, int32_t value, int id = kId, int top = 10) {
    const NumberField f = NumberField::Create(host.Handle(), id, RECT{10, top, 75, top + 21},
                                              {min, max, value, &timer});
    SendMessageW(f.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(host.font()), TRUE);
    return f;
  }
  // A field with the focus, as the user would have it.
  NumberField Focused(int32_t min, int32_t max, int32_t value) {
    const NumberField f = Make(min, max, value);
    SetFocus(f.Edit());
    Pump();
    host.notes.clear();
    return f;
  }
  Codes Sent() const { return host.Codes(kId); }

  static Range Selection(HWND edit) {
    DWORD s = 0, e = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    return {static_cast<int>(s), static_cast<int>(e)};
  }
  static void Select(NumberField f, int start, int end) {
    SendMessageW(f.Edit(), EM_SETSEL, start, end);
  }
  static void Type(NumberField f, const std::wstring& chars) {
    for (wchar_t ch : chars) SendMessageW(f.Edit(), WM_CHAR, ch, 1);
  }
  static void Key(HWND target, UINT vk) {
    SendMessageW(target, WM_KEYDOWN, vk, 1);
    SendMessageW(target, WM_KEYUP, vk, 0xC0000001);
  }
  static void Wheel(HWND target, int delta) {
    SendMessageW(target, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0);
  }
  // Actions with text put on the clipboard first.
  static Action Types(const std::wstring& chars, const wchar_t* clipboard = nullptr) {
    return [=](NumberField f) {
      Clip(clipboard);
      Type(f, chars);
    };
  }
  static Action Sends(UINT msg, const wchar_t* clipboard = nullptr) {
    return [=](NumberField f) {
      Clip(clipboard);
      SendMessageW(f.Edit(), msg, 0, 0);
    };
  }
  static Action Presses(UINT vk, BYTE held = 0, const wchar_t* clipboard = nullptr) {
    return [=](NumberField f) {
      Clip(clipboard);
      HoldKey(held);
      Key(f.Edit(), vk);
      HoldKey(0);
    };
  }
  static void Clip(const wchar_t* text) {
    ASSERT_TRUE(text == nullptr || test::SetClipboardUtf16(text));
  }

  // The field's client area; the arrow pair takes its right end, full height.
  static RECT Client(NumberField f) {
    RECT rc{};
    GetClientRect(f.Handle(), &rc);
    return rc;
  }
  static int ArrowsLeft(NumberField f) { return Client(f).right - GetSystemMetrics(SM_CXVSCROLL); }
  static int ArrowsHeight(NumberField f) { return Client(f).bottom; }
  // A mouse message to the field at y on the arrows (or at x when given).
  static void Mouse(NumberField f, UINT msg, int y, int x = -1) {
    if (x < 0) x = ArrowsLeft(f) + 4;
    SendMessageW(f.Handle(), msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
  }
  static void Click(NumberField f, int y, int x = -1) {
    Mouse(f, WM_LBUTTONDOWN, y, x);
    Mouse(f, WM_LBUTTONUP, y, x);
  }
  static void Tick(NumberField f) { SendMessageW(f.Handle(), WM_TIMER, kRepeatTimerId, 0); }

  FakeRepeatTimer timer;  // outlives the fields, which stop it when they go
  NotifyHost host;
  UINT savedWheelLines_ = 3;
};

// --- creation and setting by program ------------------------------------------

TEST_F(NumberFieldTest, CreatedWithItsEditAsTabStopAndSetByProgramWithoutNotifying) {
  const NumberField fw = Make(0, 65535, 1024);
  EXPECT_EQ(GetParent(fw.Edit()), fw.Handle());
  EXPECT_EQ(fw.Value(), 1024);
  EXPECT_EQ(fw.Text(), "1024");  // WM_GETTEXT: the EDIT's text
  EXPECT_TRUE(GetWindowLongW(fw.Edit(), GWL_STYLE) & WS_TABSTOP);
  EXPECT_FALSE(GetWindowLongW(fw.Handle(), GWL_STYLE) & WS_TABSTOP);
  EXPECT_TRUE(GetWindowLongW(fw.Handle(), GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
  EXPECT_EQ(GetDlgCtrlID(fw.Handle()), kId);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(fw.Edit(), WM_GETFONT, 0, 0)), host.font());
  SetFocus(fw.Handle());
  EXPECT_EQ(GetFocus(), fw.Edit());

  // Made by class name alone, as a dialog template makes it: 0 to 100, 0.
  const NumberField plain(CreateWindowExW(0, kNumberFieldClass, L"", WS_CHILD | WS_VISIBLE, 10, 70,
                                          65, 21, host.Handle(), nullptr, nullptr, nullptr));
  ASSERT_NE(plain.Handle(), nullptr);
  EXPECT_EQ(plain.MinValue(), 0);
  EXPECT_EQ(plain.MaxValue(), 100);
  EXPECT_EQ(plain.Text(), "0");

  // Settings by program clamp and raise nothing.
  const NumberField timeout = Make(1, 180, 3, kOtherId, 40);
  const NumberField retries = Make(1, 100, 3, kOtherId + 1, 100);
  timeout.SetValue(500);
  EXPECT_EQ(timeout.Text(), "180");
  EXPECT_EQ(timeout.Value(), 180);
  retries.SetValue(0);
  EXPECT_EQ(retries.Text(), "1");
  retries.SetMinValue(5);
  EXPECT_EQ(retries.Text(), "5");
  retries.SetMaxValue(4);  // below the lower bound: ignored
  EXPECT_EQ(retries.MaxValue(), 100);
  EXPECT_EQ(retries.MinValue(), 5);
  timeout.SetMaxValue(60);
  timeout.SetIncrement(5, 50);
  timeout.SetReadOnly(true);
  EXPECT_TRUE(timeout.ReadOnly());
  timeout.SetReadOnly(false);
  EXPECT_FALSE(timeout.ReadOnly());
  // The text follows the value: setting it is refused.
  EXPECT_FALSE(SendMessageW(timeout.Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"7")));
  EXPECT_EQ(timeout.Text(), "60");
  EXPECT_EQ(timeout.Value(), 60);
  EXPECT_TRUE(host.notes.empty());
}

// --- typing, the clipboard, undo ------------------------------------------------

TEST_F(NumberFieldTest, EditingIsFilteredCheckedAndRefusedWithTheSelectionRestored) {
  struct Case {
    const char* what;
    int32_t min, max, value;
    Range select;
    Action act;
    const char* text;  // afterwards
    int32_t newValue;
    Range selection;
    int changes;
  };
  // clang-format off
  const Case cases[] = {
      {"zero over all of the port: refused", 1, 65535, 69, {0, -1}, Types(L"0"),
       "69", 69, {0, 2}, 1},
      {"trailing zero taken, the next refused", 1, 180, 18, {2, 2}, Types(L"00"),
       "180", 180, {3, 3}, 2},
      {"digit before: caret stays after it", 1, 65535, 15, {0, 0}, Types(L"2"),
       "215", 215, {1, 1}, 1},
      {"key filter: digits, Backspace, minus", 1, 65535, 69, {2, 2},
       Types(L"a+ .\r\x1b\t\x7f\x0663" L"1"), "691", 691, {3, 3}, 1},
      {"minus in the middle: dropped", 0, 65535, 55, {1, 1}, Types(L"-"), "55", 55, {1, 1}, 0},
      {"minus at the end: dropped", 0, 65535, 55, {2, 2}, Types(L"-"), "55", 55, {2, 2}, 0},
      {"minus over part: dropped", 0, 65535, 55, {1, 2}, Types(L"-"), "55", 55, {1, 2}, 0},
      {"minus, out of range: refused", 0, 65535, 55, {0, 0}, Types(L"-"), "55", 55, {0, 0}, 1},
      {"minus over all of it stands", 0, 65535, 55, {0, -1}, Types(L"-"), "-", 55, {1, 1}, 1},
      {"minus before zero stands", 0, 65535, 0, {0, 0}, Types(L"-"), "-0", 0, {1, 1}, 1},
      {"Backspace over all empties it", 1, 65535, 69, {0, -1}, Types(L"\b"), "", 69, {0, 0}, 1},
      {"pasted -0 is rewritten", 0, 65535, 5, {0, -1}, Sends(WM_PASTE, L"-0"), "0", 0, {1, 1}, 1},
      {"Ctrl+V of hexadecimal is rewritten", 1, 65535, 1, {0, -1}, Types(L"\x16", L"0x50"),
       "80", 80, {2, 2}, 1},
      {"pasted non-number: refused", 1, 65535, 69, {0, -1}, Sends(WM_PASTE, L"12ab"),
       "69", 69, {0, 2}, 1},
      {"pasted nine hex digits: refused", 1, 65535, 69, {0, -1}, Sends(WM_PASTE, L"$000000046"),
       "69", 69, {0, 2}, 1},
      {"cut leaving 0: refused", 1, 65535, 80, {0, 1}, Sends(WM_CUT), "80", 80, {0, 1}, 1},
      {"clear leaves it empty", 1, 65535, 69, {0, -1}, Sends(WM_CLEAR), "", 69, {0, 0}, 1},
      {"Ctrl+Z undoes", 1, 65535, 1, {1, 1}, Types(L"5\x1a"), "1", 1, {1, 1}, 2},
      {"Delete key", 1, 100, 42, {0, 0}, Presses(VK_DELETE), "2", 2, {0, 0}, 1},
      {"Shift+Delete cuts", 1, 100, 42, {0, 1}, Presses(VK_DELETE, VK_SHIFT), "2", 2, {0, 0}, 1},
      {"Shift+Insert pastes, refused", 1, 100, 42, {2, 2}, Presses(VK_INSERT, VK_SHIFT, L"7"),
       "42", 42, {2, 2}, 1},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const NumberField f = Focused(c.min, c.max, c.value);
    Select(f, c.select.first, c.select.second);
    c.act(f);
    EXPECT_EQ(f.Text(), c.text);
    EXPECT_EQ(f.Value(), c.newValue);
    EXPECT_EQ(Selection(f.Edit()), c.selection);
    EXPECT_EQ(Sent(), Repeat(kChange, c.changes));
    DestroyWindow(f.Handle());
  }
}

TEST_F(NumberFieldTest, LeavingForAnotherControlTidiesUpSilentlyButNotForAnotherWindow) {
  const NumberField port = Focused(1, 65535, 69);
  const NumberField other = Make(1, 180, 3, kOtherId, 40);
  Select(port, 0, -1);
  Type(port, L"\b");
  {
    // As when OK is clicked and a message box takes the focus: still empty.
    NotifyHost elsewhere(200, 100, L"Another window");
    SetFocus(elsewhere.Handle());
    Pump();
    ASSERT_NE(GetFocus(), port.Edit());
    EXPECT_EQ(port.Text(), "");
    EXPECT_EQ(port.Value(), 69);
  }
  SetFocus(port.Edit());
  port.SetReadOnly(true);  // does not stop the tidy-up
  SetFocus(other.Edit());
  EXPECT_EQ(port.Text(), "1");
  EXPECT_EQ(port.Value(), 1);
  EXPECT_EQ(Sent(), kChange);  // from the Backspace only

  port.SetReadOnly(false);
  SetFocus(port.Edit());
  Select(port, 0, -1);
  Type(port, L"-");
  SetFocus(other.Edit());
  EXPECT_EQ(port.Text(), "1");
}

// --- keys ---------------------------------------------------------------------------

TEST_F(NumberFieldTest, ArrowAndPageKeysStepUnlessAModifierIsHeld) {
  struct Case {
    UINT vk;
    BYTE held;
    int32_t min, max, value, step, page, newValue;
    const Codes& codes;
  };
  const Case cases[] = {
      {VK_UP, 0, 0, 65535, 1024, 1, 10, 1025, kUp},
      {VK_DOWN, 0, 0, 65535, 1024, 1, 10, 1023, kDown},
      {VK_PRIOR, 0, 0, 65535, 1024, 1, 10, 1034, kUp},
      {VK_NEXT, 0, 0, 65535, 1024, 1, 10, 1014, kDown},
      {VK_UP, 0, 0, 65535, 1024, 5, 50, 1029, kUp},
      {VK_NEXT, 0, 0, 65535, 1024, 5, 50, 974, kDown},
      {VK_UP, 0, 1, 100, 100, 1, 10, 100, kUp},  // at the limit: still notified
      {VK_NEXT, 0, 1, 100, 5, 1, 10, 1, kDown},
      {VK_UP, VK_SHIFT, 0, 65535, 1024, 1, 10, 1024, kNone},
      {VK_PRIOR, VK_CONTROL, 0, 65535, 1024, 1, 10, 1024, kNone},
      {VK_DOWN, VK_MENU, 0, 65535, 1024, 1, 10, 1024, kNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "key " << c.vk << " held " << int{c.held});
    const NumberField f = Focused(c.min, c.max, c.value);
    f.SetIncrement(c.step, c.page);
    Select(f, 0, 0);
    Presses(c.vk, c.held)(f);
    EXPECT_EQ(f.Value(), c.newValue);
    EXPECT_EQ(f.Text(), std::to_string(c.newValue));
    EXPECT_EQ(Sent(), c.codes);
    const int end = static_cast<int>(f.Text().size());
    if (!c.codes.empty()) {
      EXPECT_EQ(Selection(f.Edit()), (Range{end, end}));
    }
    DestroyWindow(f.Handle());
  }
}

// --- read-only ----------------------------------------------------------------------

TEST_F(NumberFieldTest, ReadOnlyRefusesStepsButKeepsFocusSelectionAndCopy) {
  const NumberField fw = Focused(0, 65535, 1024);
  fw.SetReadOnly(true);
  ASSERT_TRUE(SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, 3, nullptr, 0));
  const int h = ArrowsHeight(fw);
  const auto click = [](int y) { return [y](NumberField f) { Click(f, y); }; };
  const auto wheel = [](bool onText) {
    return [onText](NumberField f) { Wheel(onText ? f.Edit() : f.Handle(), onText ? 120 : -120); };
  };
  const Action drag = [h](NumberField f) {
    Mouse(f, WM_LBUTTONDOWN, h / 2);  // the divider
    Mouse(f, WM_MOUSEMOVE, 0);
    Mouse(f, WM_LBUTTONUP, 0);
  };
  // The number field's own ways; typing and the clipboard, refused in every
  // field alike, are tried in field_control_test.cpp.
  const Action attempts[] = {Presses(VK_UP), Presses(VK_NEXT), click(1),    click(h - 1),
                             drag,           wheel(true),      wheel(false)};
  for (const Action& attempt : attempts) {
    Select(fw, 0, -1);
    attempt(fw);
    EXPECT_EQ(fw.Text(), "1024");
    EXPECT_FALSE(timer.running);
    EXPECT_EQ(GetCapture(), nullptr);
  }
  EXPECT_EQ(fw.Value(), 1024);
  EXPECT_EQ(Sent(), kNone);

  EXPECT_EQ(GetFocus(), fw.Edit());
  Select(fw, 0, -1);
  SendMessageW(fw.Edit(), WM_COPY, 0, 0);
  EXPECT_EQ(test::ClipboardUtf16(), L"1024");
  ASSERT_TRUE(test::SetClipboardUtf16(L"5"));
  Type(fw, L"\x03");  // Ctrl+C
  EXPECT_EQ(test::ClipboardUtf16(), L"1024");

  fw.SetReadOnly(false);
  Key(fw.Edit(), VK_UP);
  EXPECT_EQ(fw.Value(), 1025);
}

// --- the wheel ----------------------------------------------------------------------

TEST_F(NumberFieldTest, WheelStepsByTheSystemsLinesSettingOnTheTextAndTheArrows) {
  const NumberField port = Focused(1, 65535, 100);
  struct Case {
    UINT lines;
    HWND target;
    int delta;
    int32_t newValue;  // from the row before
  };
  const Case cases[] = {
      {3, port.Edit(), 120, 103},
      {3, port.Edit(), 60, 104},  // half a notch with 3 lines: one step
      {3, port.Edit(), 30, 104},  // less than one step: nothing, not even a change
      {3, port.Edit(), -120, 101},
      {0, port.Edit(), 120, 102},    // 0 lines counts as one
      {3, port.Handle(), -120, 99},  // on the arrows
      {3, port.Handle(), 240, 105},
      {WHEEL_PAGESCROLL, port.Edit(), 2, 107},  // a page per notch counts as 120 lines
  };
  int32_t before = port.Value();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.lines << " lines, delta " << c.delta);
    ASSERT_TRUE(SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, c.lines, nullptr, 0));
    host.notes.clear();
    Wheel(c.target, c.delta);
    EXPECT_EQ(port.Value(), c.newValue);
    EXPECT_EQ(port.Text(), std::to_string(c.newValue));
    EXPECT_EQ(Sent(), c.newValue != before ? kChange : kNone);
    before = c.newValue;
  }
}

// --- the arrows and the divider -----------------------------------------------------

TEST_F(NumberFieldTest, ArrowsStepFocusAndSelectTheTextAndStayEnabledAtTheLimits) {
  const NumberField timeout = Make(1, 180, 9);
  const NumberField other = Make(1, 100, 3, kOtherId, 40);
  SetFocus(other.Edit());
  const int left = ArrowsLeft(timeout);
  const int bottom = ArrowsHeight(timeout) - 1;
  host.notes.clear();

  Click(timeout, bottom, left - 1);  // beside the arrows: the text's
  EXPECT_EQ(Sent(), kNone);
  Click(timeout, 0, Client(timeout).right - 1);
  EXPECT_EQ(timeout.Value(), 10);
  EXPECT_EQ(GetFocus(), timeout.Edit());
  EXPECT_EQ(Selection(timeout.Edit()), (Range{0, 2}));
  Click(timeout, bottom, left);
  EXPECT_EQ(timeout.Value(), 9);
  EXPECT_EQ(Selection(timeout.Edit()), (Range{0, 1}));
  timeout.SetValue(180);
  Click(timeout, 1);
  EXPECT_EQ(timeout.Value(), 180);
  EXPECT_EQ(Sent(),
            (Codes{NFN_UPCLICK, FN_CHANGE, NFN_DOWNCLICK, FN_CHANGE, NFN_UPCLICK, FN_CHANGE}));
}

// A held arrow steps at once, again after 400 ms and then every 100 ms,
// wherever the pointer goes, until it is released or the press is cut short.
TEST_F(NumberFieldTest, HeldArrowRepeatsUntilReleasedOrCutShort) {
  const std::pair<const char*, Action> endings[] = {
      {"released far away", [](NumberField f) { Mouse(f, WM_LBUTTONUP, 300, 200); }},
      {"capture taken", [](NumberField) { ReleaseCapture(); }},
      {"cancel mode", [](NumberField f) { SendMessageW(f.Handle(), WM_CANCELMODE, 0, 0); }},
      {"made read-only", [](NumberField f) { f.SetReadOnly(true); }},
      {"disabled", [](NumberField f) { EnableWindow(f.Handle(), FALSE); }},
  };
  EXPECT_EQ(kRepeatDelayMs, 400u);
  EXPECT_EQ(kRepeatIntervalMs, 100u);
  bool up = true;
  for (const auto& [how, end] : endings) {
    SCOPED_TRACE(how);
    up = !up;  // both arrows in turn
    const NumberField port = Focused(1, 65535, 100);
    timer.delays.clear();
    const int sign = up ? 1 : -1;
    Mouse(port, WM_LBUTTONDOWN, up ? 1 : ArrowsHeight(port) - 1);
    EXPECT_EQ(port.Value(), 100 + sign);
    EXPECT_EQ(GetCapture(), port.Handle());
    EXPECT_EQ(timer.field, port.Handle());
    EXPECT_EQ(timer.delays, std::vector<UINT>{kRepeatDelayMs});
    Tick(port);
    Mouse(port, WM_MOUSEMOVE, 300, 200);  // far away
    Tick(port);
    EXPECT_EQ(port.Value(), 100 + 3 * sign);
    EXPECT_EQ(timer.delays, (std::vector<UINT>{400, 100, 100}));

    end(port);
    EXPECT_FALSE(timer.running);
    EXPECT_EQ(GetCapture(), nullptr);
    Tick(port);  // one already on its way
    EXPECT_EQ(port.Value(), 100 + 3 * sign);
    EXPECT_EQ(Sent(), Repeat(up ? kUp : kDown, 3));
    DestroyWindow(port.Handle());
  }
}

TEST_F(NumberFieldTest, DraggingTheDividerStepsPerPixel) {
  const NumberField port = Focused(1, 65535, 100);
  port.SetIncrement(2, 10);
  const int h = ArrowsHeight(port);
  for (const int divider : {h / 2, h / 2 + 1}) {
    SCOPED_TRACE(divider);
    Mouse(port, WM_LBUTTONDOWN, divider);
    EXPECT_EQ(GetCapture(), port.Handle());
    EXPECT_FALSE(timer.running);
    EXPECT_EQ(port.Value(), 100);
    Mouse(port, WM_MOUSEMOVE, h / 2 - 3);
    EXPECT_EQ(port.Value(), 106);
    Mouse(port, WM_MOUSEMOVE, h / 2 + 2, 0);  // off the arrows: still dragging
    EXPECT_EQ(port.Value(), 96);
    Mouse(port, WM_MOUSEMOVE, h / 2);
    Mouse(port, WM_LBUTTONUP, h / 2);
    EXPECT_EQ(GetCapture(), nullptr);
    Mouse(port, WM_MOUSEMOVE, 0);
    EXPECT_EQ(port.Value(), 100);
    EXPECT_EQ(Sent(), Repeat(kChange, 3));
    host.notes.clear();
  }
}

TEST_F(NumberFieldTest, DividerShowsTheVerticalResizePointerUnlessReadOnly) {
  const NumberField port = Focused(1, 65535, 100);
  POINT origin{ArrowsLeft(port) + 3, 0};
  ClientToScreen(port.Handle(), &origin);
  const int h = ArrowsHeight(port);
  // The pointer moves asynchronously under Wine: wait until it is there.
  const auto moveTo = [&](int y) {
    for (int i = 0; i < 50; ++i) {
      SetCursorPos(origin.x, origin.y + y);
      test::PumpFor(10);
      POINT pt{};
      GetCursorPos(&pt);
      if (pt.x == origin.x && pt.y == origin.y + y) return true;
    }
    return false;
  };
  const auto cursor = [&] {
    SetCursor(LoadCursorW(nullptr, IDC_IBEAM));
    SendMessageW(port.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(port.Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
  };
  const std::tuple<int, bool, const wchar_t*> cases[] = {
      {h / 2, false, IDC_SIZENS},
      {h / 2 + 1, false, IDC_SIZENS},
      {1, false, IDC_ARROW},
      {h / 2, true, IDC_ARROW}};  // read-only: no dragging, so no resize pointer
  for (const auto& [y, readOnly, expected] : cases) {
    if (!moveTo(y)) GTEST_SKIP() << "the pointer cannot be moved here";
    port.SetReadOnly(readOnly);
    EXPECT_EQ(cursor(), LoadCursorW(nullptr, expected)) << y;
  }
}

TEST_F(NumberFieldTest, MiddleClickOrAClickBesideTheTextGivesTheTextTheFocus) {
  const NumberField port = Make(1, 65535, 1);
  const NumberField other = Make(1, 100, 3, kOtherId, 40);
  const std::pair<HWND, UINT> clicks[] = {{port.Edit(), WM_MBUTTONDOWN},
                                          {port.Handle(), WM_MBUTTONDOWN},
                                          {port.Handle(), WM_LBUTTONDOWN}};
  for (const auto& [target, msg] : clicks) {
    SetFocus(other.Edit());
    SendMessageW(target, msg, 0, MAKELPARAM(1, 0));  // the top-left corner
    EXPECT_EQ(GetFocus(), port.Edit());
  }
  EXPECT_EQ(port.Value(), 1);
  EXPECT_TRUE(host.notes.empty());
}

// --- the window ---------------------------------------------------------------------

// Where the EDIT draws its first character, from the top-left corner of the
// window rectangle of `box`.
POINT TextOrigin(HWND edit, HWND box) {
  const LRESULT pos = SendMessageW(edit, EM_POSFROMCHAR, 0, 0);
  POINT pt{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
  ClientToScreen(edit, &pt);
  RECT rc{};
  GetWindowRect(box, &rc);
  return {pt.x - rc.left, pt.y - rc.top};
}

TEST_F(NumberFieldTest, TextSitsAsInAnEditBoxLinedUpWithItsLabelBesideTheArrows) {
  const NumberField port = Make(1, 65535, 50);
  const HWND box =
      CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"50", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 200,
                      10, 65, 21, host.Handle(), nullptr, nullptr, nullptr);
  SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(host.font()), TRUE);
  // As in the main window: a field 21 high, its label's top 4 below the field's.
  EXPECT_EQ(TextOrigin(port.Edit(), port.Handle()).y, 4);
  const int lineHeight = FontMetrics(host.font()).tmHeight;
  for (const SIZE size : {SIZE{65, 21}, SIZE{120, 30}}) {
    SCOPED_TRACE(size.cx);
    MoveWindow(port.Handle(), 10, 10, size.cx, size.cy, TRUE);
    MoveWindow(box, 200, 10, size.cx, size.cy, TRUE);
    EXPECT_EQ(TextOrigin(port.Edit(), port.Handle()).x, TextOrigin(box, box).x);
    // One line, centred, ending where the arrows begin.
    const RECT client = Client(port);
    RECT edit{};
    GetWindowRect(port.Edit(), &edit);
    MapWindowPoints(nullptr, port.Handle(), reinterpret_cast<POINT*>(&edit), 2);
    EXPECT_EQ(edit.bottom - edit.top, lineHeight);
    EXPECT_LE(std::abs(edit.top - (client.bottom - edit.bottom)), 1);
    EXPECT_LE(ArrowsLeft(port) - edit.right, 1);
  }
}

// (The colours every field paints with: field_control_test.cpp.)
TEST_F(NumberFieldTest, DisabledWithItsText) {
  const NumberField port = Make(1, 65535, 1);
  EnableWindow(port.Handle(), FALSE);
  EXPECT_FALSE(IsWindowEnabled(port.Edit()));
  EnableWindow(port.Handle(), TRUE);
  EXPECT_TRUE(IsWindowEnabled(port.Edit()));
}

TEST_F(NumberFieldTest, ParentMayDestroyTheFieldFromItsHandler) {
  struct Case {
    const char* what;
    Action act;
    WORD destroyOn;  // what is sent after it is not sent any more
  };
  const Case cases[] = {
      {"up key", Presses(VK_UP), NFN_UPCLICK},
      {"typed digit", Types(L"5"), FN_CHANGE},
      {"refused paste", Sends(WM_PASTE, L"x"), FN_CHANGE},
      {"down arrow", [](NumberField f) { Mouse(f, WM_LBUTTONDOWN, ArrowsHeight(f) - 1); },
       NFN_DOWNCLICK},
      {"wheel", [](NumberField f) { Wheel(f.Handle(), 120); }, FN_CHANGE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const NumberField port = Focused(1, 65535, 10);
    host.onNotify = [&](const test::Notification& n) {
      if (n.code == c.destroyOn) DestroyWindow(n.from);
    };
    c.act(port);
    host.onNotify = nullptr;
    EXPECT_FALSE(IsWindow(port.Handle()));
    EXPECT_FALSE(timer.running);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Sent(), Codes{c.destroyOn});
  }
}

TEST_F(NumberFieldTest, InADialogTabSelectsTheTextAndEnterAndEscReachTheButtons) {
  test::TestDialog dialog;
  const NumberField first =
      NumberField::Create(dialog.Handle(), 201, RECT{10, 10, 80, 31}, {1, 65535, 69, &timer});
  const NumberField second =
      NumberField::Create(dialog.Handle(), 202, RECT{10, 40, 80, 61}, {1, 180, 120, &timer});
  // The fields first in the tab order.
  SetWindowPos(second.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetWindowPos(first.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetFocus(first.Edit());
  dialog.Run();

  dialog.PressKey(VK_TAB);
  EXPECT_EQ(GetFocus(), second.Edit());
  EXPECT_EQ(Selection(second.Edit()), (Range{0, 3}));
  dialog.PressKey(VK_RETURN);
  dialog.PressKey(VK_ESCAPE);
  EXPECT_EQ(dialog.Commands(), (std::vector<int>{IDOK, IDCANCEL}));
  EXPECT_EQ(second.Text(), "120");

  dialog.PressKey(VK_UP);  // the arrow keys are the field's, not the dialog's
  EXPECT_EQ(second.Value(), 121);
  EXPECT_EQ(GetFocus(), second.Edit());
  HoldKey(VK_SHIFT);
  dialog.PressKey(VK_TAB);
  HoldKey(0);
  EXPECT_EQ(GetFocus(), first.Edit());
  EXPECT_EQ(Selection(first.Edit()), (Range{0, 2}));
}

}  // namespace
}  // namespace tftpcfg
