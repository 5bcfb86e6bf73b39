// What the three fields share through their base, checked on each of them:
// read-only for every text area, the system's colours as they are when the
// field paints (or the caller's), and messages with null pointers or sent out
// of turn. The fields' classes are registered once, as at the program's
// start-up.

#include "controls/field_control.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/folder_field.h"
#include "controls/ip_address_field.h"
#include "controls/number_field.h"
#include "platform/win32/gdi.h"
#include "platform/win32/win_text.h"
#include "tests/support/win/control_harness.h"

namespace tftpcfg {
namespace {

using test::SetKeyDown;

constexpr int kId = 501;

class FieldClasses : public ::testing::Environment {
 public:
  void SetUp() override { RegisterFieldClasses(); }
};
const auto* const kFieldClasses = ::testing::AddGlobalTestEnvironment(new FieldClasses);

struct Message {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

// One kind of field: how it is made with a text in it, and the messages of
// its own that take a pointer.
struct FieldKind {
  const char* name;
  std::function<FieldWindow(HWND parent, const RECT& rect)> make;
  const char* text;
  std::vector<Message> pointerMessages;
};

const std::vector<FieldKind>& Kinds() {
  static const std::vector<FieldKind> kinds = {
      {"number",
       [](HWND parent, const RECT& rect) {
         return NumberField::Create(parent, kId, rect, {0, 65535, 1024});
       },
       "1024",
       {{NFM_GETRANGE, 0, 0}}},
      {"folder",
       [](HWND parent, const RECT& rect) {
         const FolderField f = FolderField::Create(parent, kId, rect);
         f.SetText("C:\\logs");
         return f;
       },
       "C:\\logs",
       {{FFM_SETTITLE, 0, 0}, {FFM_SETPROMPT, 0, 0}}},
      {"IP address",
       [](HWND parent, const RECT& rect) {
         const IpAddressField f = IpAddressField::Create(parent, kId, rect);
         f.SetText("10.1.2.3");
         return f;
       },
       "10.1.2.3",
       {{IPM_GETADDRESS, 0, 0}}},
  };
  return kinds;
}

std::vector<HWND> EditsOf(const FieldWindow& field) {
  std::vector<HWND> edits;
  for (int i = 0; field.Edit(i) != nullptr; ++i) edits.push_back(field.Edit(i));
  return edits;
}

// What an EDIT's pop-up menu offers: for each command it carries out, whether
// the item can be chosen. The menu is opened with WM_CONTEXTMENU and read and
// closed from a thread timer that its modal loop dispatches.
class ContextMenu {
 public:
  static std::vector<std::pair<UINT, bool>> Of(HWND edit) {
    items_.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, &Read);
    RECT rc{};
    GetWindowRect(edit, &rc);
    SendMessageW(edit, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit),
                 MAKELPARAM(rc.left + 2, rc.top + 2));
    KillTimer(nullptr, timer);
    return items_;
  }

 private:
  static void CALLBACK Read(HWND, UINT, UINT_PTR, DWORD) {
    const HWND window = FindWindowW(L"#32768", nullptr);
    if (window == nullptr || !IsWindowVisible(window)) return;
    const auto menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
    items_.clear();
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      const UINT id = GetMenuItemID(menu, i);
      if (id == 0 || id == static_cast<UINT>(-1)) continue;  // separators
      items_.emplace_back(id, (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) == 0);
    }
    EndMenu();
  }
  static inline std::vector<std::pair<UINT, bool>> items_;
};

bool ChangesText(UINT command) {
  return command == WM_CUT || command == WM_PASTE || command == WM_CLEAR || command == WM_UNDO ||
         command == EM_UNDO;
}

bool Offered(const std::vector<std::pair<UINT, bool>>& menu, UINT command) {
  for (const auto& [id, enabled] : menu)
    if (id == command) return enabled;
  return false;
}

class FieldControlTest : public ::testing::Test {
 protected:
  void SetUp() override { SetKeyDown(VK_SHIFT, false); }
  void TearDown() override { SetKeyDown(VK_SHIFT, false); }

  FieldWindow Make(const FieldKind& kind) {
    const FieldWindow field = kind.make(host.hwnd(), RECT{10, 10, 200, 31});
    SendMessageW(field.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(host.font()), TRUE);
    host.notes.clear();
    return field;
  }

  test::NotifyHost host{320, 120, L"Fields"};
};

// --- read-only ---------------------------------------------------------------

// Every way a user changes a text, in each text area of the field: keys,
// characters, the clipboard and undo commands that keys and the pop-up menu
// send. (Typing a '.' in an address part moves on to the next part, which
// changes nothing.)
TEST_F(FieldControlTest, ReadOnlyRefusesEveryChangeByTheUserInEveryTextArea) {
  const auto key = [](UINT vk, bool shift) {
    return [vk, shift](HWND edit) {
      SetKeyDown(VK_SHIFT, shift);
      SendMessageW(edit, WM_KEYDOWN, vk, 1);
      SendMessageW(edit, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001));
      SetKeyDown(VK_SHIFT, false);
    };
  };
  const auto chars = [](std::wstring typed) {
    return [typed](HWND edit) {
      for (wchar_t ch : typed) {
        if (ch == L'\b') SendMessageW(edit, WM_KEYDOWN, VK_BACK, 1);
        SendMessageW(edit, WM_CHAR, ch, 1);
      }
    };
  };
  const auto message = [](UINT msg) { return [msg](HWND edit) { SendMessageW(edit, msg, 0, 0); }; };
  const std::function<void(HWND)> attempts[] = {
      chars(L"7x"),          chars(L"\b"),         chars(L"\x18\x16\x1a"),  // Ctrl+X, V, Z
      key(VK_DELETE, false), key(VK_DELETE, true), key(VK_INSERT, true),   message(WM_PASTE),
      message(WM_CUT),       message(WM_CLEAR),    message(WM_UNDO),       message(EM_UNDO),
  };
  for (const FieldKind& kind : Kinds()) {
    SCOPED_TRACE(kind.name);
    const FieldWindow field = Make(kind);
    field.SetReadOnly(true);
    EXPECT_TRUE(field.ReadOnly());
    ASSERT_TRUE(test::SetClipboardUtf16(L"5"));
    for (const HWND edit : EditsOf(field)) {
      SetFocus(edit);
      for (const auto& attempt : attempts) {
        SendMessageW(edit, EM_SETSEL, 0, -1);
        attempt(edit);
      }
      SendMessageW(edit, EM_SETSEL, 0, -1);
      const auto menu = ContextMenu::Of(edit);
      EXPECT_TRUE(Offered(menu, WM_COPY)) << "no pop-up menu with Copy";
      for (const auto& [command, enabled] : menu)
        EXPECT_TRUE(!ChangesText(command) || !enabled) << "menu command " << command;
    }
    EXPECT_EQ(field.Text(), kind.text);
    EXPECT_TRUE(host.notes.empty());

    // Unlocked, the same typing changes the text.
    field.SetReadOnly(false);
    EXPECT_FALSE(field.ReadOnly());
    SetFocus(field.Edit());
    SendMessageW(field.Edit(), EM_SETSEL, 0, -1);
    chars(L"7")(field.Edit());
    EXPECT_NE(field.Text(), kind.text);
    EXPECT_EQ(host.Codes(kId), std::vector<WORD>{FN_CHANGE});
    DestroyWindow(field.hwnd());
  }
}

// --- colours -----------------------------------------------------------------

// Sets system colours for the life of the object (as a switch to a high
// contrast theme does) and puts the ones before back.
class SystemColours {
 public:
  explicit SystemColours(std::vector<std::pair<int, COLORREF>> colours) {
    for (const auto& [index, colour] : colours) {
      indices_.push_back(index);
      saved_.push_back(GetSysColor(index));
      wanted_.push_back(colour);
    }
    ok_ = SetSysColors(static_cast<int>(indices_.size()), indices_.data(), wanted_.data()) != 0;
  }
  SystemColours(const SystemColours&) = delete;
  SystemColours& operator=(const SystemColours&) = delete;
  ~SystemColours() {
    SetSysColors(static_cast<int>(indices_.size()), indices_.data(), saved_.data());
  }
  bool ok() const { return ok_; }

 private:
  std::vector<int> indices_;
  std::vector<COLORREF> saved_;
  std::vector<COLORREF> wanted_;
  bool ok_ = false;
};

struct Painted {
  COLORREF brush = CLR_INVALID;
  COLORREF background = CLR_INVALID;
  COLORREF text = CLR_INVALID;
};

// What the field tells its EDIT to paint with, as the EDIT asks for it.
Painted AnswerTo(const FieldWindow& field, HWND edit) {
  const bool readOnly = (GetWindowLongPtrW(edit, GWL_STYLE) & ES_READONLY) != 0;
  const WindowDC dc(edit);
  const auto brush = reinterpret_cast<HBRUSH>(
      SendMessageW(field.hwnd(), readOnly ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT,
                   reinterpret_cast<WPARAM>(dc.get()), reinterpret_cast<LPARAM>(edit)));
  LOGBRUSH lb{};
  Painted painted;
  if (brush && GetObjectW(brush, sizeof lb, &lb)) painted.brush = lb.lbColor;
  painted.background = GetBkColor(dc.get());
  painted.text = GetTextColor(dc.get());
  return painted;
}

// A pixel of the EDIT's own background (its right end, after the text) and
// of the field's (the client area's top row, above the text line).
std::pair<COLORREF, COLORREF> PaintedPixels(const FieldWindow& field, HWND edit) {
  RedrawWindow(field.hwnd(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT rc{};
  GetClientRect(edit, &rc);
  const WindowDC editDc(edit);
  const WindowDC fieldDc(field.hwnd());
  return {GetPixel(editDc.get(), rc.right - 2, rc.bottom / 2), GetPixel(fieldDc.get(), 5, 0)};
}

TEST_F(FieldControlTest, ColoursAreTheSystemsInForceWhenTheFieldPaints) {
  constexpr COLORREF kWindow = RGB(16, 32, 48);
  constexpr COLORREF kWindowText = RGB(240, 224, 208);
  constexpr COLORREF kFace = RGB(64, 0, 96);
  constexpr COLORREF kFaceText = RGB(200, 250, 100);
  for (const FieldKind& kind : Kinds()) {
    for (const bool locked : {false, true}) {
      SCOPED_TRACE(testing::Message() << kind.name << (locked ? ", locked" : ""));
      const FieldWindow field = Make(kind);
      field.SetReadOnly(locked);
      // Changed after the field was made and locked, as a theme switch does.
      const SystemColours colours({{COLOR_WINDOW, kWindow},
                                   {COLOR_WINDOWTEXT, kWindowText},
                                   {COLOR_BTNFACE, kFace},
                                   {COLOR_BTNTEXT, kFaceText}});
      ASSERT_TRUE(colours.ok());
      const COLORREF background = locked ? kFace : kWindow;
      const COLORREF text = locked ? kFaceText : kWindowText;
      EXPECT_EQ(field.Color(), background);
      for (const HWND edit : EditsOf(field)) {
        const Painted painted = AnswerTo(field, edit);
        EXPECT_EQ(painted.brush, background);
        EXPECT_EQ(painted.background, background);
        EXPECT_EQ(painted.text, text);
        const auto [inEdit, inField] = PaintedPixels(field, edit);
        EXPECT_EQ(inEdit, background);
        EXPECT_EQ(inField, background);
      }
      // A colour of the caller's holds in either state, until the system's
      // is asked for again.
      field.SetColor(RGB(1, 2, 3));
      EXPECT_EQ(field.Color(), RGB(1, 2, 3));
      EXPECT_EQ(AnswerTo(field, field.Edit()).brush, RGB(1, 2, 3));
      EXPECT_EQ(AnswerTo(field, field.Edit()).background, RGB(1, 2, 3));
      EXPECT_EQ(SendMessageW(field.hwnd(), FM_SETBKCOLOR, kFieldSystemColor, 0), RGB(1, 2, 3));
      EXPECT_EQ(AnswerTo(field, field.Edit()).brush, background);
      DestroyWindow(field.hwnd());
    }
  }
}

// --- messages with null pointers or out of turn --------------------------------

TEST_F(FieldControlTest, MessagesWithNullPointersOrOutOfTurnAreHarmless) {
  // Null pointers, and creation messages sent to a field that exists: no
  // second state object, no second set of EDITs.
  const Message common[] = {{WM_GETTEXT, 16, 0},
                            {WM_GETTEXT, 0, 0},
                            {FM_SETACCESSIBLENAME, 0, 0},
                            {WM_CREATE, 0, 0},
                            {WM_NCCREATE, 0, 0}};
  for (const FieldKind& kind : Kinds()) {
    SCOPED_TRACE(kind.name);
    const FieldWindow field = Make(kind);
    const std::vector<HWND> edits = EditsOf(field);
    std::vector<Message> messages(std::begin(common), std::end(common));
    messages.insert(messages.end(), kind.pointerMessages.begin(), kind.pointerMessages.end());
    for (const Message& m : messages) SendMessageW(field.hwnd(), m.msg, m.wParam, m.lParam);
    EXPECT_EQ(EditsOf(field), edits);
    EXPECT_EQ(field.Text(), kind.text);
    SendMessageW(field.hwnd(), WM_SETTEXT, 0, 0);  // no text: the field's empty one, or refused
    EXPECT_TRUE(host.notes.empty());
    DestroyWindow(field.hwnd());
  }
}

}  // namespace
}  // namespace tftpcfg
