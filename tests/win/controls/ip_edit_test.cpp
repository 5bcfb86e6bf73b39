// The IP address field as a real window under Wine, driven with the messages
// that a user's typing produces (WM_CHAR and WM_KEYDOWN sent to the focused
// part), checking the parts' texts and carets, the address and the change
// notifications that the parent window receives.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/ip_edit.h"
#include "platform/app_error.h"
#include "platform/win32/win_text.h"

namespace tftpcfg {
namespace {

constexpr int kFieldId = 7;
using Selection = std::pair<DWORD, DWORD>;

class IpEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static const ATOM hostClass = [] {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof wc;
      wc.lpfnWndProc = HostProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"IpEditTestHost";
      return RegisterClassExW(&wc);
    }();
    ASSERT_NE(hostClass, 0);
    host_ = CreateWindowExW(0, L"IpEditTestHost", L"IP field", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50,
                            50, 320, 160, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(host_);
    SetWindowLongPtrW(host_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetForegroundWindow(host_);
    before_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10, 60, 21,
                              host_, nullptr, nullptr, nullptr);
    field_ = TElIPEdit::Create(host_, kFieldId, RECT{80, 10, 197, 31});
    ASSERT_TRUE(field_);
    after_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 210, 10, 60, 21,
                             host_, nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    SetShift(false);
    if (host_) DestroyWindow(host_);
  }

  // Records each change notification with the address it announces.
  static LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<IpEditTest*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_COMMAND && HIWORD(wParam) == kNotifyChange && self) {
      TElIPEdit* field = TElIPEdit::FromHandle(reinterpret_cast<HWND>(lParam));
      EXPECT_EQ(LOWORD(wParam), kFieldId);
      EXPECT_EQ(field, self->field_);
      self->notes_.push_back(field ? field->IPString() : "?");
      return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }

  HWND Part(int i) const { return field_->PartHandle(i); }
  std::string Text(int i) const { return GetWindowTextUtf8(Part(i)); }
  std::string Texts() const { return Text(0) + "|" + Text(1) + "|" + Text(2) + "|" + Text(3); }
  Selection Sel(int i) const {
    DWORD start = 0, end = 0;
    SendMessageW(Part(i), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return {start, end};
  }
  int FocusedPart() const {
    for (int i = 0; i < 4; ++i) {
      if (GetFocus() == Part(i)) return i;
    }
    return -1;
  }
  RECT PartRect(int i) const {
    RECT r{};
    GetWindowRect(Part(i), &r);
    MapWindowPoints(HWND_DESKTOP, field_->Handle(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  // What a keyboard produces, delivered to the window with the focus; Backspace
  // also brings the character that TranslateMessage makes of it.
  static void Type(std::wstring_view chars) {
    for (wchar_t ch : chars) {
      if (ch == L'\b') SendMessageW(GetFocus(), WM_KEYDOWN, VK_BACK, 1);
      SendMessageW(GetFocus(), WM_CHAR, ch, 1);
    }
  }
  static void Press(UINT vk) {
    HWND focus = GetFocus();
    SendMessageW(focus, WM_KEYDOWN, vk, 1);
    SendMessageW(focus, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001));
  }
  static void SetShift(bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
  }
  // Focus into part i from outside (which selects its whole text), then the
  // given selection.
  void Enter(int i, int start = -1, int end = -1) {
    SetFocus(after_);
    SetFocus(Part(i));
    if (start >= 0) SendMessageW(Part(i), EM_SETSEL, start, end);
  }

  HWND host_ = nullptr;
  HWND before_ = nullptr;
  HWND after_ = nullptr;
  TElIPEdit* field_ = nullptr;
  std::vector<std::string> notes_;
};

TEST_F(IpEditTest, NewFieldHoldsZerosInFourNarrowCentredPartsAndIsOneTabStop) {
  EXPECT_EQ(field_->IPString(), "0.0.0.0");
  EXPECT_EQ(Texts(), "0|0|0|0");
  EXPECT_TRUE(notes_.empty());
  EXPECT_EQ(TElIPEdit::FromHandle(before_), nullptr);

  wchar_t name[32];
  GetClassNameW(field_->Handle(), name, 32);
  EXPECT_STREQ(name, L"TElIPEdit");
  EXPECT_TRUE(GetWindowLongPtrW(field_->Handle(), GWL_STYLE) & WS_TABSTOP);
  EXPECT_FALSE(GetWindowLongPtrW(field_->Handle(), GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
  RECT inner{};
  GetClientRect(field_->Handle(), &inner);
  const int width = (inner.right - 15) / 4;
  for (int i = 0; i < 4; ++i) {
    GetClassNameW(Part(i), name, 32);
    EXPECT_STREQ(name, L"TElIPPartEdit");
    const LONG_PTR style = GetWindowLongPtrW(Part(i), GWL_STYLE);
    EXPECT_EQ(style & (ES_CENTER | ES_AUTOHSCROLL | WS_TABSTOP), ES_CENTER | ES_AUTOHSCROLL);
    EXPECT_EQ(SendMessageW(Part(i), EM_GETLIMITTEXT, 0, 0), 3);
    EXPECT_EQ(PartRect(i).left, i * (width + 5));
    EXPECT_EQ(PartRect(i).right - PartRect(i).left, width);
  }
  EXPECT_THROW(field_->PartHandle(4), std::out_of_range);
  EXPECT_THROW(field_->Part(-1), std::out_of_range);
}

TEST_F(IpEditTest, WritingAddressTextsNotifiesOncePerChangedPart) {
  field_->SetIPString("1.2.3.4");
  EXPECT_EQ(Texts(), "1|2|3|4");
  // All octets are set before the parts show them.
  EXPECT_EQ(notes_, std::vector<std::string>(4, "1.2.3.4"));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Sel(i), Selection(0, 0));

  field_->SetIPString("1.2.3.4");  // texts unchanged
  EXPECT_EQ(notes_.size(), 4u);
  field_->SetIPString("10.1");
  EXPECT_EQ(field_->IPString(), "10.0.0.1");
  EXPECT_EQ(Texts(), "10|0|0|1");
  EXPECT_EQ(notes_.size(), 8u);
  field_->SetIPString("255.255.255.255");
  EXPECT_EQ(field_->IPString(), "255.255.255.255");
  EXPECT_EQ(field_->Part(3), 255);

  Enter(2, 3, 3);
  field_->SetPart(2, 7);
  EXPECT_EQ(Text(2), "7");
  EXPECT_EQ(Sel(2), Selection(0, 0));
  EXPECT_EQ(field_->IPString(), "255.255.7.255");
}

TEST_F(IpEditTest, InvalidAddressTextRaisesAndLeavesTheFieldAlone) {
  field_->SetIPString("192.168.1.20");
  notes_.clear();
  for (const char* bad : {"", " ", "host.example", "1.2.3.256", "0xffffffff", "1.2.3.4.5"}) {
    try {
      field_->SetIPString(bad);
      ADD_FAILURE() << "no error for '" << bad << "'";
    } catch (const AppError& e) {
      EXPECT_STREQ(e.what(), "Invalid IP address string");
    }
    EXPECT_EQ(field_->IPString(), "192.168.1.20");
    EXPECT_EQ(Texts(), "192|168|1|20");
  }
  EXPECT_TRUE(notes_.empty());
}

TEST_F(IpEditTest, Typing) {
  struct Case {
    const char* name;
    const char* address;  // before
    int part;             // the part entered...
    int start, end;       // ...and its selection (-1: whole text, as entering leaves it)
    const wchar_t* keys;
    const char* texts;  // after
    const char* read;   // IPString after
    int focus;
    Selection sel;
    size_t notes;
  };
  // Typing a digit over the same selected digit changes no text and reads
  // nothing in: "blanks", "007" and "same digit" count no notification for it.
  const Case cases[] = {
      {"dots", "0.0.0.0", 0, -1, -1, L"192.168.1.20", "192|168|1|20", "192.168.1.20", 3, {2, 2}, 9},
      {"blanks", "0.0.0.0", 0, -1, -1, L"10 0 0 7", "10|0|0|7", "10.0.0.7", 3, {1, 1}, 3},
      {"dot in Part4", "1.2.3.4", 3, -1, -1, L"5.", "1|2|3|5", "1.2.3.5", 3, {1, 1}, 1},
      // 2, 25, then 256 read as 256 and again as 56.
      {"overflow", "9.9.9.9", 1, -1, -1, L"256", "9|56|9|9", "9.56.9.9", 1, {2, 2}, 4},
      {"300", "9.9.9.9", 2, -1, -1, L"300", "9|9|0|9", "9.9.0.9", 2, {1, 1}, 4},
      {"overflow mid", "0.0.0.25", 3, 1, 1, L"9", "0|0|0|95", "0.0.0.95", 3, {2, 2}, 2},
      {"letter", "0.12.0.0", 1, 2, 2, L"x", "0|12|0|0", "0.12.0.0", 1, {2, 2}, 1},
      {"sign mid", "0.12.0.0", 1, 1, 1, L"-", "0|12|0|0", "0.12.0.0", 1, {2, 2}, 1},
      {"007", "0.0.0.0", 2, -1, -1, L"007", "0|0|007|0", "0.0.7.0", 2, {3, 3}, 2},
      {"full part", "192.0.0.0", 0, 3, 3, L"5x", "192|0|0|0", "192.0.0.0", 0, {3, 3}, 0},
      {"full, selected", "192.0.0.0", 0, 1, 3, L"0", "10|0|0|0", "10.0.0.0", 0, {2, 2}, 1},
      {"backspace", "12.0.0.0", 0, 2, 2, L"\b", "1|0|0|0", "1.0.0.0", 0, {1, 1}, 1},
      {"backspaces", "12.0.0.0", 0, 2, 2, L"\b\b", "|0|0|0", "1.0.0.0", 0, {0, 0}, 1},
      {"backspace at 0", "0.5.0.0", 1, 0, 0, L"\b", "0|5|0|0", "0.5.0.0", 1, {0, 0}, 0},
      {"same digit", "0.42.0.0", 1, 1, 2, L"2", "0|42|0|0", "0.42.0.0", 1, {2, 2}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    field_->SetIPString(c.address);
    Enter(c.part, c.start, c.end);
    notes_.clear();
    Type(c.keys);
    EXPECT_EQ(Texts(), c.texts);
    EXPECT_EQ(field_->IPString(), c.read);
    EXPECT_EQ(FocusedPart(), c.focus);
    EXPECT_EQ(Sel(c.focus), c.sel);
    EXPECT_EQ(notes_.size(), c.notes);
    if (!notes_.empty()) {
      EXPECT_EQ(notes_.back(), c.read);
    }
  }
}

TEST_F(IpEditTest, LeavingAnEmptiedPartShowsItsOctetAgain) {
  field_->SetIPString("10.20.30.40");
  Enter(2);
  EXPECT_EQ(Sel(2), Selection(0, 2));
  notes_.clear();
  Press(VK_DELETE);  // the whole selected text at once
  EXPECT_EQ(Text(2), "");
  EXPECT_EQ(field_->IPString(), "10.20.30.40");
  EXPECT_TRUE(notes_.empty());
  SetFocus(after_);
  EXPECT_EQ(Text(2), "30");
  EXPECT_EQ(notes_, std::vector<std::string>{"10.20.30.40"});

  // A part emptied character by character shows the octet its last digit left.
  Enter(0, 2, 2);
  Type(L"\b\b");
  Type(L".");  // leaves for the next part
  EXPECT_EQ(Text(0), "1");
  EXPECT_EQ(FocusedPart(), 1);
  EXPECT_EQ(Sel(0).first, Sel(0).second);  // no selection left behind
}

TEST_F(IpEditTest, TextWrittenIntoAPartByACallerIsReadByTheSameRules) {
  SetWindowTextW(Part(0), L"300");
  EXPECT_EQ(Text(0), "0");
  EXPECT_EQ(notes_.size(), 2u);  // the digits, then the rewritten text
  SetWindowTextW(Part(1), L"42");
  EXPECT_EQ(field_->IPString(), "0.42.0.0");
  SetWindowTextW(Part(1), L"42");  // the same text again
  EXPECT_EQ(notes_.size(), 3u);
}

TEST_F(IpEditTest, ArrowKeys) {
  struct Case {
    int part, start, end;  // -1: whole text selected, as entering leaves it
    UINT vk;
    bool shift;
    int focus;
  };
  const Case cases[] = {
      {1, 1, 1, VK_LEFT, false, 1},   // inside the text: ordinary editing
      {1, 0, 0, VK_LEFT, false, 0},   // at the start: previous part
      {0, 0, 0, VK_LEFT, false, 0},   // Part1 has no previous part
      {1, 2, 2, VK_RIGHT, false, 2},  // at the end: next part
      {3, 1, 1, VK_RIGHT, false, 3},  // Part4 has no next part
      {1, 2, 2, VK_RIGHT, true, 1},   // Shift only selects
      {1, 0, 0, VK_LEFT, true, 1},
      {1, -1, -1, VK_RIGHT, false, 2},  // whole text selected: the caret is at its end
      {1, -1, -1, VK_LEFT, false, 1},
      {1, 2, 0, VK_LEFT, false, 0},  // selected leftwards: the caret is at its start
  };
  field_->SetIPString("1.22.3.4");
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.part << " " << c.start << " " << c.vk << " " << c.shift);
    Enter(c.part, c.start, c.end);
    SetShift(c.shift);
    Press(c.vk);
    SetShift(false);
    EXPECT_EQ(FocusedPart(), c.focus);
  }
  Enter(2);
  Press(VK_LEFT);  // from the end of "3" one character back
  EXPECT_EQ(Sel(2), Selection(0, 0));
  Press(VK_LEFT);
  EXPECT_EQ(FocusedPart(), 1);
  EXPECT_EQ(Sel(1), Selection(0, 2));  // entered: whole text selected
}

TEST_F(IpEditTest, FocusTabAndClicks) {
  SetFocus(after_);
  SetFocus(field_->Handle());  // from outside: Part1, whole text selected
  EXPECT_EQ(FocusedPart(), 0);
  EXPECT_EQ(Sel(0), Selection(0, 1));
  SetFocus(Part(2));
  SetFocus(field_->Handle());  // from one of its parts: the control before the field
  EXPECT_EQ(GetFocus(), before_);

  EXPECT_EQ(SendMessageW(Part(1), WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB, DLGC_WANTTAB);
  Enter(2);
  Press(VK_TAB);
  EXPECT_EQ(GetFocus(), after_);
  Enter(1);
  SetShift(true);
  Press(VK_TAB);
  SetShift(false);
  EXPECT_EQ(GetFocus(), before_);
  Enter(1);
  SendMessageW(Part(1), WM_CHAR, L'\t', 1);
  EXPECT_EQ(Text(1), "0");

  // The first click into a part enters it; a click on a gap goes to the nearer part.
  SetFocus(after_);
  SendMessageW(Part(2), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageW(Part(2), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(FocusedPart(), 2);
  EXPECT_EQ(Sel(2), Selection(0, 1));
  const RECT part1 = PartRect(1);
  SendMessageW(field_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(part1.right + 1, 2));
  EXPECT_EQ(FocusedPart(), 1);
  SendMessageW(field_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(part1.right + 4, 2));
  EXPECT_EQ(FocusedPart(), 2);
}

TEST_F(IpEditTest, ReadOnlyPartIgnoresTypingButTakesWrites) {
  field_->SetPartCanEdit(1, false);
  EXPECT_FALSE(field_->PartCanEdit(1));
  EXPECT_TRUE(field_->PartCanEdit(0));
  Enter(0);
  Type(L"1.23");  // the dot still moves into the read-only part
  EXPECT_EQ(Texts(), "1|0|0|0");
  EXPECT_EQ(FocusedPart(), 1);
  Type(L".4");
  EXPECT_EQ(field_->IPString(), "1.0.4.0");
  field_->SetIPString("5.6.7.8");
  EXPECT_EQ(Text(1), "6");
  field_->SetPartCanEdit(1, true);
  Enter(1);
  Type(L"9");
  EXPECT_EQ(field_->IPString(), "5.9.7.8");
}

TEST_F(IpEditTest, EnablingFontAndSizeReachTheParts) {
  EnableWindow(field_->Handle(), FALSE);
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(IsWindowEnabled(Part(i)));
  EnableWindow(field_->Handle(), TRUE);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(IsWindowEnabled(Part(i)));

  HFONT font = CreateFontW(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
  ASSERT_TRUE(font);
  SendMessageW(field_->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  EXPECT_EQ(SendMessageW(field_->Handle(), WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font));
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(SendMessageW(Part(i), WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font));
  }
  SetWindowPos(field_->Handle(), nullptr, 0, 0, 200, 30, SWP_NOMOVE | SWP_NOZORDER);
  RECT inner{};
  GetClientRect(field_->Handle(), &inner);
  const int width = (inner.right - 15) / 4;
  EXPECT_EQ(PartRect(3).left, 3 * (width + 5));
  EXPECT_EQ(PartRect(3).right - PartRect(3).left, width);
  EXPECT_GE(PartRect(3).top, 0);
  EXPECT_LE(PartRect(3).bottom, inner.bottom);

  DestroyWindow(host_);  // the field goes before the font it uses
  host_ = nullptr;
  DeleteObject(font);
}

}  // namespace
}  // namespace tftpcfg
