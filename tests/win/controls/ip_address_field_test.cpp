// The IP address field driven through its messages and the input a user
// produces (WM_CHAR and WM_KEYDOWN sent to the focused part): the parts' texts
// and carets, the address, the focus and the change notifications its parent
// receives, on a plain window and in a dialog.

#include "controls/ip_address_field.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/app_error.h"
#include "platform/win32/gdi.h"
#include "platform/win32/win_text.h"
#include "tests/support/win/control_harness.h"

namespace tftpcfg {
namespace {

using test::RectIn;
using test::Selection;
using test::SetKeyDown;
using Sel = std::pair<DWORD, DWORD>;
using namespace std::string_view_literals;

constexpr int kId = 7;

// What a keyboard produces, delivered to the window with the focus; Backspace
// also brings the character that TranslateMessage makes of it.
void Type(std::wstring_view chars) {
  for (wchar_t ch : chars) {
    if (ch == L'\b') SendMessageW(GetFocus(), WM_KEYDOWN, VK_BACK, 1);
    SendMessageW(GetFocus(), WM_CHAR, ch, 1);
  }
}

void Press(UINT vk) {
  const HWND focus = GetFocus();
  SendMessageW(focus, WM_KEYDOWN, vk, 1);
  SendMessageW(focus, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001));
}

std::string Texts(const IpAddressField& field) {
  std::string texts;
  for (int i = 0; i < 4; ++i) {
    if (i > 0) texts += '|';
    texts += GetWindowTextUtf8(field.Part(i));
  }
  return texts;
}

int FocusedPart(const IpAddressField& field) {
  for (int i = 0; i < 4; ++i)
    if (GetFocus() == field.Part(i)) return i;
  return -1;
}

class IpAddressFieldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetKeyDown(VK_SHIFT, false);
    // Each change notification with the address it announces.
    host.onNotify = [this](const test::Notification& n) {
      if (n.from != field.Handle()) return;  // the other EDITs' focus changes
      EXPECT_EQ(n.id, kId);
      EXPECT_EQ(n.code, FN_CHANGE);
      notes.push_back(field.Text());
    };
  }
  void TearDown() override { SetKeyDown(VK_SHIFT, false); }

  HWND Part(int i) const { return field.Part(i); }
  std::string Text(int i) const { return GetWindowTextUtf8(Part(i)); }
  RECT PartRect(int i) const { return RectIn(field.Handle(), Part(i)); }
  // Focus into part i from outside (which selects its whole text), then the
  // given selection.
  void Enter(int i, int start = -1, int end = -1) const {
    SetFocus(after);
    SetFocus(Part(i));
    if (start >= 0) SendMessageW(Part(i), EM_SETSEL, start, end);
  }
  HWND AddEdit(int x) const {
    return CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, x, 10, 60, 21,
                           host.Handle(), nullptr, nullptr, nullptr);
  }
  // Checks the layout: four parts, each (inner width - 15) / 4 wide and 5
  // apart, one line of the font high, centred.
  void ExpectLayout(HFONT font) const {
    RECT inner{};
    GetClientRect(field.Handle(), &inner);
    const int width = (inner.right - 15) / 4;
    const int height = FontMetrics(font).tmHeight;
    for (int i = 0; i < 4; ++i) {
      const RECT r = PartRect(i);
      EXPECT_EQ(r.left, i * (width + 5)) << i;
      EXPECT_EQ(r.right - r.left, width) << i;
      EXPECT_EQ(r.bottom - r.top, height) << i;
      EXPECT_EQ(r.top, (inner.bottom - height) / 2) << i;
    }
  }

  test::NotifyHost host{320, 160, L"IP field"};
  HWND before = AddEdit(10);
  IpAddressField field = IpAddressField::Create(host.Handle(), kId, RECT{80, 10, 197, 31});
  HWND after = AddEdit(210);
  std::vector<std::string> notes;
};

TEST_F(IpAddressFieldTest, NewFieldHoldsZerosInFourNarrowCentredPartsAndIsOneTabStop) {
  EXPECT_EQ(field.Text(), "0.0.0.0");
  EXPECT_EQ(Texts(field), "0|0|0|0");
  EXPECT_TRUE(notes.empty());
  wchar_t name[64];
  GetClassNameW(field.Handle(), name, 64);
  EXPECT_STREQ(name, kIpAddressFieldClass);
  // The field itself is the tab stop: the dialog manager does not walk into it.
  EXPECT_TRUE(GetWindowLongPtrW(field.Handle(), GWL_STYLE) & WS_TABSTOP);
  EXPECT_FALSE(GetWindowLongPtrW(field.Handle(), GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
  for (int i = 0; i < 4; ++i) {
    const LONG_PTR style = GetWindowLongPtrW(Part(i), GWL_STYLE);
    EXPECT_EQ(style & (ES_CENTER | ES_AUTOHSCROLL | WS_TABSTOP), ES_CENTER | ES_AUTOHSCROLL);
    EXPECT_EQ(SendMessageW(Part(i), EM_GETLIMITTEXT, 0, 0), 3);
  }
  ExpectLayout(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
  EXPECT_EQ(Part(4), nullptr);
}

TEST_F(IpAddressFieldTest, WritingAddressTextsNotifiesOncePerChangedPart) {
  // All octets are set before the parts show them.
  const struct {
    const char* text;
    const char* address;
    const char* texts;
    size_t notes;
  } cases[] = {
      {"1.2.3.4", "1.2.3.4", "1|2|3|4", 4},
      {"1.2.3.4", "1.2.3.4", "1|2|3|4", 0},  // texts unchanged
      {"10.1", "10.0.0.1", "10|0|0|1", 4},   // as inet_addr reads it
      {"255.255.255.255", "255.255.255.255", "255|255|255|255", 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Enter(2, 3, 3);
    notes.clear();
    field.SetText(c.text);
    EXPECT_EQ(field.Text(), c.address);
    EXPECT_EQ(Texts(field), c.texts);
    EXPECT_EQ(notes, std::vector<std::string>(c.notes, c.address));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Selection(Part(i)), Sel(0, 0)) << i;
  }
  EXPECT_EQ(field.Octet(3), 255);
  field.SetOctet(2, 7);
  EXPECT_EQ(Text(2), "7");
  EXPECT_EQ(field.Text(), "255.255.7.255");
}

TEST_F(IpAddressFieldTest, InvalidAddressTextIsRefusedAndLeavesTheFieldAlone) {
  field.SetText("192.168.1.20");
  notes.clear();
  // A window text ends at a zero, so only the wrapper sees the last one whole.
  for (const std::string_view text : {""sv, " "sv, "host.example"sv, "1.2.3.256"sv, "0xffffffff"sv,
                                      "1.2.3.4.5"sv, "1.2.3.4\0x"sv}) {
    SCOPED_TRACE(text);
    if (text.find('\0') == text.npos) {
      EXPECT_FALSE(SendMessageW(field.Handle(), WM_SETTEXT, 0,
                                reinterpret_cast<LPARAM>(Widen(text).c_str())));
    }
    try {
      field.SetText(text);
      ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
      EXPECT_STREQ(e.what(), "Invalid IP address string");
    }
    EXPECT_EQ(field.Text(), "192.168.1.20");
    EXPECT_EQ(Texts(field), "192|168|1|20");
  }
  EXPECT_TRUE(notes.empty());
}

TEST_F(IpAddressFieldTest, Typing) {
  struct Case {
    const char* name;
    const char* address;  // before
    int part;             // the part entered...
    int start, end;       // ...and its selection (-1: whole text, as entering leaves it)
    const wchar_t* keys;
    const char* texts;  // after
    const char* read;   // the address after
    int focus;
    Sel sel;
    size_t notes;
  };
  // Typing a digit over the same selected digit changes no text and reads
  // nothing in: "blanks", "007" and "same digit" count no notification for it.
  const Case cases[] = {
      {"dots", "0.0.0.0", 0, -1, -1, L"192.168.1.20", "192|168|1|20", "192.168.1.20", 3, {2, 2}, 9},
      {"blanks", "0.0.0.0", 0, -1, -1, L"10 0 0 7", "10|0|0|7", "10.0.0.7", 3, {1, 1}, 3},
      {"dot in part 4", "1.2.3.4", 3, -1, -1, L"5.", "1|2|3|5", "1.2.3.5", 3, {1, 1}, 1},
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
      {"tab char", "0.42.0.0", 1, 1, 1, L"\t", "0|42|0|0", "0.42.0.0", 1, {1, 1}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    field.SetText(c.address);
    Enter(c.part, c.start, c.end);
    notes.clear();
    Type(c.keys);
    EXPECT_EQ(Texts(field), c.texts);
    EXPECT_EQ(field.Text(), c.read);
    EXPECT_EQ(FocusedPart(field), c.focus);
    EXPECT_EQ(Selection(Part(c.focus)), c.sel);
    EXPECT_EQ(notes.size(), c.notes);
    if (!notes.empty()) {
      EXPECT_EQ(notes.back(), c.read);
    }
  }
}

TEST_F(IpAddressFieldTest, LeavingAnEmptiedPartShowsItsOctetAgain) {
  field.SetText("10.20.30.40");
  Enter(2);
  EXPECT_EQ(Selection(Part(2)), Sel(0, 2));
  notes.clear();
  Press(VK_DELETE);  // the whole selected text at once
  EXPECT_EQ(Text(2), "");
  EXPECT_EQ(field.Text(), "10.20.30.40");
  EXPECT_TRUE(notes.empty());
  SetFocus(after);
  EXPECT_EQ(Text(2), "30");
  EXPECT_EQ(notes, std::vector<std::string>{"10.20.30.40"});

  // A part emptied character by character shows the octet its last digit left.
  Enter(0, 2, 2);
  Type(L"\b\b.");  // the dot leaves for the next part
  EXPECT_EQ(Text(0), "1");
  EXPECT_EQ(FocusedPart(field), 1);
  EXPECT_EQ(Selection(Part(0)).first, Selection(Part(0)).second);  // no selection left behind
}

TEST_F(IpAddressFieldTest, TextWrittenIntoAPartByACallerIsReadByTheSameRules) {
  SetWindowTextW(Part(0), L"300");
  EXPECT_EQ(Text(0), "0");
  EXPECT_EQ(notes.size(), 2u);  // the digits, then the rewritten text
  SetWindowTextW(Part(1), L"42");
  EXPECT_EQ(field.Text(), "0.42.0.0");
  SetWindowTextW(Part(1), L"42");  // the same text again
  EXPECT_EQ(notes.size(), 3u);
}

TEST_F(IpAddressFieldTest, ArrowKeys) {
  const struct {
    int part, start, end;  // -1: whole text selected, as entering leaves it
    UINT vk;
    bool shift;
    int focus;
  } cases[] = {
      {1, 1, 1, VK_LEFT, false, 1},     // inside the text: ordinary editing
      {1, 0, 0, VK_LEFT, false, 0},     // at the start: previous part
      {0, 0, 0, VK_LEFT, false, 0},     // part 1 has no previous part
      {1, 2, 2, VK_RIGHT, false, 2},    // at the end: next part
      {3, 1, 1, VK_RIGHT, false, 3},    // part 4 has no next part
      {1, 2, 2, VK_RIGHT, true, 1},     // Shift only selects
      {1, 0, 0, VK_LEFT, true, 1},      //
      {1, -1, -1, VK_RIGHT, false, 2},  // whole text selected: the caret is at its end
      {1, -1, -1, VK_LEFT, false, 1},   //
      {1, 2, 0, VK_LEFT, false, 0},     // selected leftwards: the caret is at its start
  };
  field.SetText("1.22.3.4");
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.part << " " << c.start << " " << c.vk << " " << c.shift);
    Enter(c.part, c.start, c.end);
    SetKeyDown(VK_SHIFT, c.shift);
    Press(c.vk);
    SetKeyDown(VK_SHIFT, false);
    EXPECT_EQ(FocusedPart(field), c.focus);
  }
  Enter(2);
  Press(VK_LEFT);  // from the end of "3" one character back
  EXPECT_EQ(Selection(Part(2)), Sel(0, 0));
  Press(VK_LEFT);
  EXPECT_EQ(FocusedPart(field), 1);
  EXPECT_EQ(Selection(Part(1)), Sel(0, 2));  // entered: whole text selected
}

TEST_F(IpAddressFieldTest, FocusTabAndClicks) {
  SetFocus(after);
  SetFocus(field.Handle());  // from outside: part 1, whole text selected
  EXPECT_EQ(FocusedPart(field), 0);
  EXPECT_EQ(Selection(Part(0)), Sel(0, 1));
  SetFocus(Part(2));
  SetFocus(field.Handle());  // from one of its parts: the control before the field
  EXPECT_EQ(GetFocus(), before);

  EXPECT_EQ(SendMessageW(Part(1), WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB, DLGC_WANTTAB);
  Enter(2);
  Press(VK_TAB);
  EXPECT_EQ(GetFocus(), after);
  Enter(1);
  SetKeyDown(VK_SHIFT, true);
  Press(VK_TAB);
  SetKeyDown(VK_SHIFT, false);
  EXPECT_EQ(GetFocus(), before);

  // The first click into a part enters it; a click on a gap goes to the nearer part.
  SetFocus(after);
  SendMessageW(Part(2), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageW(Part(2), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(FocusedPart(field), 2);
  EXPECT_EQ(Selection(Part(2)), Sel(0, 1));
  const RECT second = PartRect(1);
  SendMessageW(field.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(second.right + 1, 2));
  EXPECT_EQ(FocusedPart(field), 1);
  SendMessageW(field.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(second.right + 4, 2));
  EXPECT_EQ(FocusedPart(field), 2);
}

TEST_F(IpAddressFieldTest, ReadOnlyPartIgnoresTypingButTakesWrites) {
  field.SetPartReadOnly(1, true);
  EXPECT_TRUE(field.PartReadOnly(1));
  EXPECT_FALSE(field.PartReadOnly(0));
  Enter(0);
  Type(L"1.23");  // the dot still moves into the read-only part
  EXPECT_EQ(Texts(field), "1|0|0|0");
  EXPECT_EQ(FocusedPart(field), 1);
  Type(L".4");
  EXPECT_EQ(field.Text(), "1.0.4.0");
  field.SetText("5.6.7.8");
  EXPECT_EQ(Text(1), "6");
  field.SetPartReadOnly(1, false);
  Enter(1);
  Type(L"9");
  EXPECT_EQ(field.Text(), "5.9.7.8");
}

TEST_F(IpAddressFieldTest, EnablingFontAndSizeReachTheParts) {
  EnableWindow(field.Handle(), FALSE);
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(IsWindowEnabled(Part(i)));
  EnableWindow(field.Handle(), TRUE);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(IsWindowEnabled(Part(i)));

  const UniqueFont font(
      CreateFontW(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
  ASSERT_TRUE(font);
  SendMessageW(field.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  EXPECT_EQ(SendMessageW(field.Handle(), WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font.get()));
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(SendMessageW(Part(i), WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font.get()));
  SetWindowPos(field.Handle(), nullptr, 0, 0, 200, 32, SWP_NOMOVE | SWP_NOZORDER);
  ExpectLayout(font.get());
  DestroyWindow(field.Handle());  // the field goes before the font it uses
}

TEST_F(IpAddressFieldTest, SystemAddressMessages) {
  SendMessageW(field.Handle(), IPM_SETADDRESS, 0, MAKEIPADDRESS(192, 168, 1, 20));
  EXPECT_EQ(Texts(field), "192|168|1|20");
  EXPECT_EQ(notes, std::vector<std::string>(4, "192.168.1.20"));
  SendMessageW(field.Handle(), IPM_SETADDRESS, 0, MAKEIPADDRESS(192, 168, 1, 21));
  EXPECT_EQ(notes.size(), 5u);
  DWORD address = 0;
  EXPECT_EQ(SendMessageW(field.Handle(), IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address)), 4);
  EXPECT_EQ(address, MAKEIPADDRESS(192, 168, 1, 21));

  SetFocus(after);
  SendMessageW(field.Handle(), IPM_SETFOCUS, 2, 0);
  EXPECT_EQ(FocusedPart(field), 2);
  EXPECT_EQ(Selection(Part(2)), Sel(0, 1));
  SendMessageW(field.Handle(), IPM_SETFOCUS, 4, 0);  // no such part: the first, as the system's
  EXPECT_EQ(FocusedPart(field), 0);

  // The field's own part messages refuse a part it does not have.
  EXPECT_FALSE(SendMessageW(field.Handle(), IAFM_SETPART, 4, 9));
  EXPECT_FALSE(SendMessageW(field.Handle(), IAFM_SETPARTREADONLY, 4, TRUE));
  EXPECT_EQ(SendMessageW(field.Handle(), IAFM_GETPART, 4, 0), 0);
  EXPECT_EQ(field.Text(), "192.168.1.21");
}

// The parent may destroy the field from its change handler, also in the
// middle of a rewrite or of an address written part by part: the field then
// sends nothing more and touches nothing of itself.
TEST_F(IpAddressFieldTest, ParentMayDestroyTheFieldFromItsHandler) {
  const std::pair<const char*, std::function<void(IpAddressField)>> cases[] = {
      {"typed digit", [](IpAddressField) { Type(L"7"); }},
      {"typed past 255: read in, then rewritten",
       [](IpAddressField f) {
         SendMessageW(f.Part(1), EM_SETSEL, 2, 2);
         Type(L"6");  // "256" reads as 56
       }},
      {"address set",
       [](IpAddressField f) { SendMessageW(f.Handle(), IPM_SETADDRESS, 0, 0x01020304); }},
      {"address text set", [](IpAddressField f) { f.SetText("9.8.7.6"); }},
      {"emptied part left",
       [this](IpAddressField) {
         Press(VK_DELETE);
         SetFocus(after);
       }},
  };
  for (const auto& [what, act] : cases) {
    SCOPED_TRACE(what);
    const IpAddressField f = IpAddressField::Create(host.Handle(), kId + 1, RECT{80, 40, 197, 61});
    f.SetText("10.25.30.40");
    SetFocus(f.Part(1));
    SendMessageW(f.Part(1), EM_SETSEL, 0, -1);
    int sent = 0;
    host.onNotify = [&](const test::Notification& n) {
      if (n.from != f.Handle()) return;
      ++sent;
      DestroyWindow(n.from);
    };
    act(f);
    host.onNotify = nullptr;
    EXPECT_FALSE(IsWindow(f.Handle()));
    EXPECT_EQ(sent, 1);
  }
}

// --- in a dialog -------------------------------------------------------------

class IpAddressFieldDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetKeyDown(VK_SHIFT, false);
    // Tab order: the EDIT, the field, then OK and Cancel.
    SetWindowPos(field.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(edit, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetFocus(edit);
    dialog.Run();
  }
  void TearDown() override { SetKeyDown(VK_SHIFT, false); }

  // Each character posted to the window with the focus then, as a keyboard does.
  void TypeKeys(std::wstring_view chars) {
    for (wchar_t ch : chars) {
      PostMessageW(GetFocus(), WM_CHAR, ch, 1);
      dialog.Run();
    }
  }
  void ShiftTab() {
    SetKeyDown(VK_SHIFT, true);
    dialog.PressKey(VK_TAB);
    SetKeyDown(VK_SHIFT, false);
  }
  size_t Changes() const {
    size_t n = 0;
    for (const test::Notification& note : dialog.notes)
      n += note.id == kId && note.code == FN_CHANGE;
    return n;
  }
  HWND Part(int i) const { return field.Part(i); }

  test::TestDialog dialog;
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER, 10,
                              10, 60, 21, dialog.Handle(), nullptr, nullptr, nullptr);
  IpAddressField field = IpAddressField::Create(dialog.Handle(), kId, RECT{80, 10, 200, 31});
  HWND ok = GetDlgItem(dialog.Handle(), IDOK);
};

TEST_F(IpAddressFieldDialogTest, TabEntersTheFirstPartAndTypingFillsTheAddress) {
  dialog.PressKey(VK_TAB);
  ASSERT_EQ(GetFocus(), Part(0));
  EXPECT_EQ(Selection(Part(0)), Sel(0, 1));

  TypeKeys(L"192.168.1.20");
  EXPECT_EQ(field.Text(), "192.168.1.20");
  EXPECT_EQ(GetFocus(), Part(3));
  EXPECT_EQ(Changes(), 9u);

  dialog.PressKey(VK_TAB);  // from the last part, as from any other, to the next control
  EXPECT_EQ(GetFocus(), ok);
  ShiftTab();  // back into the field from outside: part 1
  EXPECT_EQ(GetFocus(), Part(0));
  ShiftTab();  // out of the field backwards
  EXPECT_EQ(GetFocus(), edit);
  EXPECT_TRUE(dialog.Commands().empty());
}

TEST_F(IpAddressFieldDialogTest, TabFromAMiddlePartLeavesTheFieldAndEnterAndEscReachTheButtons) {
  SetFocus(Part(2));
  dialog.PressKey(VK_TAB);
  EXPECT_EQ(GetFocus(), ok);
  SetFocus(Part(1));
  ShiftTab();
  EXPECT_EQ(GetFocus(), edit);

  field.SetText("10.0.0.7");
  SetFocus(Part(3));
  dialog.PressKey(VK_RETURN);
  dialog.PressKey(VK_ESCAPE);
  EXPECT_EQ(dialog.Commands(), (std::vector<int>{IDOK, IDCANCEL}));
  EXPECT_EQ(field.Text(), "10.0.0.7");
  EXPECT_EQ(GetWindowTextUtf8(Part(3)), "7");
}

}  // namespace
}  // namespace tftpcfg
