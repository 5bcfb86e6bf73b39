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

struct Notification {
  int id;
  HWND from;
  std::string address;  // IPString when the notification arrived
};

class IpEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static const ATOM hostClass = [] {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof wc;
      wc.lpfnWndProc = HostProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
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

  static LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<IpEditTest*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_COMMAND && HIWORD(wParam) == ipedit::kNotifyChange && self) {
      TElIPEdit* field = TElIPEdit::FromHandle(reinterpret_cast<HWND>(lParam));
      self->notes_.push_back({LOWORD(wParam), reinterpret_cast<HWND>(lParam),
                              field ? field->IPString() : std::string("?")});
      return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }

  HWND Part(int i) const { return field_->PartHandle(i); }
  std::string Text(int i) const { return GetWindowTextUtf8(Part(i)); }
  std::vector<std::string> Texts() const { return {Text(0), Text(1), Text(2), Text(3)}; }
  std::pair<DWORD, DWORD> Selection(int i) const {
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

  // What a keyboard produces, delivered to the window with the focus.
  static void Type(std::wstring_view chars) {
    for (wchar_t ch : chars) SendMessageW(GetFocus(), WM_CHAR, ch, 1);
  }
  // A key press, with the character that TranslateMessage makes of Backspace.
  static void Press(UINT vk) {
    HWND focus = GetFocus();
    SendMessageW(focus, WM_KEYDOWN, vk, 1);
    if (vk == VK_BACK) SendMessageW(GetFocus(), WM_CHAR, L'\b', 1);
    SendMessageW(focus, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001));
  }
  static void SetShift(bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
  }
  // Focus on part i with its caret at the end and nothing selected.
  void EnterPartAtEnd(int i) {
    SetFocus(Part(i));
    const int len = GetWindowTextLengthW(Part(i));
    SendMessageW(Part(i), EM_SETSEL, len, len);
  }

  HWND host_ = nullptr;
  HWND before_ = nullptr;
  HWND after_ = nullptr;
  TElIPEdit* field_ = nullptr;
  std::vector<Notification> notes_;
};

using TextList = std::vector<std::string>;

TEST_F(IpEditTest, NewFieldHoldsZerosInFourCentredPartsAndIsOneTabStop) {
  EXPECT_EQ(field_->IPString(), "0.0.0.0");
  EXPECT_EQ(Texts(), (TextList{"0", "0", "0", "0"}));
  EXPECT_TRUE(notes_.empty());
  EXPECT_EQ(TElIPEdit::FromHandle(field_->Handle()), field_);
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
    SCOPED_TRACE(i);
    GetClassNameW(Part(i), name, 32);
    EXPECT_STREQ(name, L"TElIPPartEdit");
    const LONG_PTR style = GetWindowLongPtrW(Part(i), GWL_STYLE);
    EXPECT_TRUE(style & ES_CENTER);
    EXPECT_TRUE(style & ES_AUTOHSCROLL);
    EXPECT_FALSE(style & WS_TABSTOP);
    EXPECT_EQ(SendMessageW(Part(i), EM_GETLIMITTEXT, 0, 0), 3);
    EXPECT_TRUE(field_->PartCanEdit(i));
    RECT r{};
    GetWindowRect(Part(i), &r);
    MapWindowPoints(HWND_DESKTOP, field_->Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, i * (width + 5));
    EXPECT_EQ(r.right - r.left, width);
  }
  EXPECT_THROW(field_->PartHandle(4), std::out_of_range);
  EXPECT_THROW(field_->Part(-1), std::out_of_range);
}

TEST_F(IpEditTest, WritingAddressTexts) {
  field_->SetIPString("10.1");
  EXPECT_EQ(field_->IPString(), "10.0.0.1");
  EXPECT_EQ(Texts(), (TextList{"10", "0", "0", "1"}));
  EXPECT_EQ(notes_.size(), 2u);  // only the parts whose text changed

  field_->SetIPString("255.255.255.255");
  EXPECT_EQ(Texts(), (TextList{"255", "255", "255", "255"}));
  EXPECT_EQ(field_->IPString(), "255.255.255.255");
  for (int i = 0; i < 4; ++i) EXPECT_EQ(field_->Part(i), 255);

  field_->SetIPString("0.0.0.0");
  EXPECT_EQ(Texts(), (TextList{"0", "0", "0", "0"}));
  EXPECT_EQ(field_->IPString(), "0.0.0.0");
}

TEST_F(IpEditTest, InvalidAddressTextRaisesAndLeavesTheFieldAlone) {
  field_->SetIPString("192.168.1.20");
  notes_.clear();
  for (const char* bad : {"", " ", "host.example", "1.2.3.256", "0xffffffff", "1.2.3.4.5"}) {
    SCOPED_TRACE(bad);
    try {
      field_->SetIPString(bad);
      ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
      EXPECT_STREQ(e.what(), "Invalid IP address string");
    }
    EXPECT_EQ(field_->IPString(), "192.168.1.20");
    EXPECT_EQ(Texts(), (TextList{"192", "168", "1", "20"}));
  }
  EXPECT_TRUE(notes_.empty());
}

TEST_F(IpEditTest, WritesNotifyOncePerChangedPartAndPutTheCaretAtTheStart) {
  field_->SetIPString("1.2.3.4");
  ASSERT_EQ(notes_.size(), 4u);
  EXPECT_EQ(notes_[0].id, kFieldId);
  EXPECT_EQ(notes_[0].from, field_->Handle());
  EXPECT_EQ(notes_[0].address, "1.2.3.4");  // all octets are set before the parts are shown
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Selection(i), std::make_pair(DWORD{0}, DWORD{0}));

  notes_.clear();
  field_->SetIPString("1.2.3.4");  // texts unchanged
  EXPECT_TRUE(notes_.empty());
  field_->SetIPString("1.2.3.5");
  EXPECT_EQ(notes_.size(), 1u);

  notes_.clear();
  EnterPartAtEnd(2);
  field_->SetPart(2, 200);
  EXPECT_EQ(Text(2), "200");
  EXPECT_EQ(Selection(2), std::make_pair(DWORD{0}, DWORD{0}));
  EXPECT_EQ(field_->IPString(), "1.2.200.5");
  EXPECT_EQ(notes_.size(), 1u);
}

TEST_F(IpEditTest, TextWrittenIntoAPartByACallerIsReadByTheSameRules) {
  SetWindowTextW(Part(0), L"300");
  EXPECT_EQ(Text(0), "0");
  EXPECT_EQ(notes_.size(), 2u);  // the digits, then the rewritten text
  SetWindowTextW(Part(1), L"42");
  EXPECT_EQ(field_->IPString(), "0.42.0.0");
  EXPECT_EQ(notes_.size(), 3u);
  SetWindowTextW(Part(1), L"42");  // the same text again
  EXPECT_EQ(notes_.size(), 3u);
  // Typing a digit over the same selected digit changes nothing either.
  SetFocus(Part(1));
  SendMessageW(Part(1), EM_SETSEL, 1, 2);
  Type(L"2");
  EXPECT_EQ(Text(1), "42");
  EXPECT_EQ(notes_.size(), 3u);
}

TEST_F(IpEditTest, TypingAnAddressWithDotsFillsAllParts) {
  SetFocus(field_->Handle());  // entering the field lands in Part1
  ASSERT_EQ(FocusedPart(), 0);
  Type(L"192.168.1.20");
  EXPECT_EQ(Texts(), (TextList{"192", "168", "1", "20"}));
  EXPECT_EQ(field_->IPString(), "192.168.1.20");
  EXPECT_EQ(FocusedPart(), 3);
  // One notification per digit typed, each reporting the address so far.
  ASSERT_EQ(notes_.size(), 9u);
  EXPECT_EQ(notes_[0].address, "1.0.0.0");
  EXPECT_EQ(notes_[3].address, "192.1.0.0");
  EXPECT_EQ(notes_[8].address, "192.168.1.20");
  // A dot in the last part does nothing.
  Type(L".");
  EXPECT_EQ(FocusedPart(), 3);
  EXPECT_EQ(Text(3), "20");
}

TEST_F(IpEditTest, BlankMovesOnLikeADot) {
  SetFocus(Part(0));
  Type(L"10 0 0 7");
  EXPECT_EQ(field_->IPString(), "10.0.0.7");
}

TEST_F(IpEditTest, ThirdDigitOverflowKeepsTheLastTwo) {
  field_->SetIPString("9.9.9.9");
  SetFocus(Part(1));  // whole text selected: typing replaces it
  Type(L"256");
  EXPECT_EQ(Text(1), "56");
  EXPECT_EQ(Selection(1), std::make_pair(DWORD{2}, DWORD{2}));  // at the end of the new text
  EXPECT_EQ(field_->IPString(), "9.56.9.9");
  EXPECT_EQ(notes_.back().address, "9.56.9.9");

  SetFocus(Part(2));
  Type(L"300");
  EXPECT_EQ(Text(2), "0");
  EXPECT_EQ(field_->Part(2), 0);

  // An overflowing digit typed in the middle keeps the caret after it.
  field_->SetPart(3, 25);
  SetFocus(Part(3));
  SendMessageW(Part(3), EM_SETSEL, 1, 1);
  Type(L"9");  // 295 -> 95
  EXPECT_EQ(Text(3), "95");
  EXPECT_EQ(Selection(3), std::make_pair(DWORD{2}, DWORD{2}));
}

TEST_F(IpEditTest, ALetterIsRemovedAgainAndTheOctetStays) {
  field_->SetPart(1, 12);
  EnterPartAtEnd(1);
  notes_.clear();
  Type(L"x");
  EXPECT_EQ(Text(1), "12");
  EXPECT_EQ(field_->Part(1), 12);
  EXPECT_EQ(Selection(1), std::make_pair(DWORD{2}, DWORD{2}));
  EXPECT_EQ(notes_.size(), 1u);  // the rewritten text is read again

  SendMessageW(Part(1), EM_SETSEL, 1, 1);
  Type(L"-");  // "1-2" with the caret at 2 goes back to "12"; the caret stays at 2
  EXPECT_EQ(Text(1), "12");
  EXPECT_EQ(Selection(1), std::make_pair(DWORD{2}, DWORD{2}));
}

TEST_F(IpEditTest, SelectedTextDeletedThenLeftShowsThePreviousValue) {
  field_->SetIPString("10.20.30.40");
  SetFocus(Part(2));
  EXPECT_EQ(Selection(2), std::make_pair(DWORD{0}, DWORD{2}));
  notes_.clear();
  Press(VK_DELETE);
  EXPECT_EQ(Text(2), "");
  EXPECT_EQ(field_->IPString(), "10.20.30.40");
  EXPECT_TRUE(notes_.empty());

  SetFocus(after_);  // leave the part
  EXPECT_EQ(Text(2), "30");
  EXPECT_EQ(field_->IPString(), "10.20.30.40");
  EXPECT_EQ(notes_.size(), 1u);
}

TEST_F(IpEditTest, DeletingCharacterByCharacterPassesThroughEachShorterText) {
  field_->SetPart(0, 12);
  EnterPartAtEnd(0);
  Press(VK_BACK);
  EXPECT_EQ(Text(0), "1");
  EXPECT_EQ(field_->Part(0), 1);
  Press(VK_BACK);
  EXPECT_EQ(Text(0), "");
  EXPECT_EQ(field_->Part(0), 1);
  // Backspace at the start stays in the part.
  field_->SetPart(1, 5);
  SetFocus(Part(1));
  SendMessageW(Part(1), EM_SETSEL, 0, 0);
  Press(VK_BACK);
  EXPECT_EQ(FocusedPart(), 1);
  EXPECT_EQ(Text(1), "5");
  EXPECT_EQ(Text(0), "1");  // left the emptied part: its octet shows again
}

TEST_F(IpEditTest, LeadingZerosStayWhileTheOctetIsRead) {
  SetFocus(Part(2));
  Type(L"007");
  EXPECT_EQ(Text(2), "007");
  EXPECT_EQ(field_->IPString(), "0.0.7.0");
  SetFocus(after_);
  EXPECT_EQ(Text(2), "007");  // leaving keeps a non-empty text
}

TEST_F(IpEditTest, AFullPartRefusesMoreCharactersUnlessTextIsSelected) {
  field_->SetPart(0, 192);
  EnterPartAtEnd(0);
  Type(L"5");
  EXPECT_EQ(Text(0), "192");
  SendMessageW(Part(0), EM_SETSEL, 1, 3);
  Type(L"0");
  EXPECT_EQ(Text(0), "10");
  EXPECT_EQ(field_->Part(0), 10);
}

TEST_F(IpEditTest, ArrowsMoveBetweenPartsAtTheEdges) {
  field_->SetIPString("1.22.3.4");
  EnterPartAtEnd(1);
  Press(VK_LEFT);  // inside the text: ordinary editing
  EXPECT_EQ(FocusedPart(), 1);
  EXPECT_EQ(Selection(1), std::make_pair(DWORD{1}, DWORD{1}));
  Press(VK_LEFT);
  Press(VK_LEFT);  // at position 0: previous part, whole text selected
  EXPECT_EQ(FocusedPart(), 0);
  EXPECT_EQ(Selection(0), std::make_pair(DWORD{0}, DWORD{1}));
  SendMessageW(Part(0), EM_SETSEL, 0, 0);
  Press(VK_LEFT);  // Part1 has no previous part
  EXPECT_EQ(FocusedPart(), 0);

  EnterPartAtEnd(2);
  Press(VK_RIGHT);
  EXPECT_EQ(FocusedPart(), 3);
  SendMessageW(Part(3), EM_SETSEL, 1, 1);
  Press(VK_RIGHT);  // Part4 has no next part
  EXPECT_EQ(FocusedPart(), 3);

  // With Shift the arrows only select.
  EnterPartAtEnd(1);
  SetShift(true);
  Press(VK_RIGHT);
  SetShift(false);
  EXPECT_EQ(FocusedPart(), 1);
}

TEST_F(IpEditTest, ArrowsLeaveFromTheCaretSideOfASelection) {
  field_->SetIPString("1.22.3.4");
  SetFocus(Part(1));  // whole text selected with the caret at its end
  Press(VK_RIGHT);
  EXPECT_EQ(FocusedPart(), 2);
  // A selection made leftwards has its caret at the start.
  SetFocus(Part(1));
  SendMessageW(Part(1), EM_SETSEL, 2, 0);
  Press(VK_LEFT);
  EXPECT_EQ(FocusedPart(), 0);
}

TEST_F(IpEditTest, TabLeavesTheFieldAndShiftTabGoesBack) {
  SetFocus(Part(2));
  Press(VK_TAB);
  EXPECT_EQ(GetFocus(), after_);
  SetFocus(Part(1));
  SetShift(true);
  Press(VK_TAB);
  SetShift(false);
  EXPECT_EQ(GetFocus(), before_);
  // The Tab character is never inserted.
  SetFocus(Part(1));
  SendMessageW(Part(1), WM_CHAR, L'\t', 1);
  EXPECT_EQ(Text(1), "0");
  EXPECT_EQ(SendMessageW(Part(1), WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB, DLGC_WANTTAB);
}

TEST_F(IpEditTest, FocusFromOutsideGoesToPart1AndFromAPartBackwards) {
  SetFocus(after_);
  SetFocus(field_->Handle());
  EXPECT_EQ(FocusedPart(), 0);
  EXPECT_EQ(Selection(0), std::make_pair(DWORD{0}, DWORD{1}));
  SetFocus(Part(2));
  SetFocus(field_->Handle());
  EXPECT_EQ(GetFocus(), before_);
}

TEST_F(IpEditTest, ClicksFocusThePartClicked) {
  SetFocus(after_);
  SendMessageW(Part(2), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageW(Part(2), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(FocusedPart(), 2);
  EXPECT_EQ(Selection(2), std::make_pair(DWORD{0}, DWORD{1}));
  // A click on a gap of the field goes to the nearer part.
  RECT r{};
  GetWindowRect(Part(1), &r);
  MapWindowPoints(HWND_DESKTOP, field_->Handle(), reinterpret_cast<POINT*>(&r), 2);
  SendMessageW(field_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right + 1, 2));
  EXPECT_EQ(FocusedPart(), 1);
  SendMessageW(field_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right + 4, 2));
  EXPECT_EQ(FocusedPart(), 2);
}

TEST_F(IpEditTest, ReadOnlyPartIgnoresTypingButTakesWrites) {
  field_->SetPartCanEdit(1, false);
  EXPECT_FALSE(field_->PartCanEdit(1));
  EXPECT_TRUE(field_->PartCanEdit(0));
  SetFocus(Part(0));
  Type(L"1.23");  // the dot still moves into the read-only part
  EXPECT_EQ(Texts(), (TextList{"1", "0", "0", "0"}));
  EXPECT_EQ(FocusedPart(), 1);
  Type(L".4");
  EXPECT_EQ(field_->IPString(), "1.0.4.0");
  field_->SetIPString("5.6.7.8");
  EXPECT_EQ(Text(1), "6");
  field_->SetPartCanEdit(1, true);
  SetFocus(Part(1));
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
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(field_->Handle(), WM_GETFONT, 0, 0)), font);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(Part(i), WM_GETFONT, 0, 0)), font);
  }

  SetWindowPos(field_->Handle(), nullptr, 0, 0, 200, 30, SWP_NOMOVE | SWP_NOZORDER);
  RECT inner{}, part{};
  GetClientRect(field_->Handle(), &inner);
  GetWindowRect(Part(3), &part);
  MapWindowPoints(HWND_DESKTOP, field_->Handle(), reinterpret_cast<POINT*>(&part), 2);
  const int width = (inner.right - 15) / 4;
  EXPECT_EQ(part.left, 3 * (width + 5));
  EXPECT_EQ(part.right - part.left, width);
  EXPECT_GE(part.top, 0);
  EXPECT_LE(part.bottom, inner.bottom);

  DestroyWindow(host_);  // the field is gone before the font it uses
  host_ = nullptr;
  DeleteObject(font);
}

}  // namespace
}  // namespace tftpcfg
