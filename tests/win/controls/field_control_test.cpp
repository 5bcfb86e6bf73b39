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
#include "base/fatal_error.h"
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
  LPARAM lParam = 0;
  bool shift = false;  // held down while it is sent
};

void Send(HWND hwnd, const Message& m) {
  SetKeyDown(VK_SHIFT, m.shift);
  SendMessageW(hwnd, m.msg, m.wParam, m.lParam);
  SetKeyDown(VK_SHIFT, false);
}

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

// Opens an EDIT's pop-up menu (WM_CONTEXTMENU) and, from a thread timer that
// its modal loop dispatches, reads which items can be chosen and closes it.
struct ContextMenu {
  bool copy = false;     // Copy can be chosen
  bool changes = false;  // some item that changes the text can be chosen
  static inline ContextMenu* open = nullptr;

  explicit ContextMenu(HWND edit) {
    open = this;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, &Read);
    SendMessageW(edit, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit), MAKELPARAM(0, 0));
    KillTimer(nullptr, timer);
  }
  static void CALLBACK Read(HWND, UINT, UINT_PTR, DWORD) {
    const HWND window = FindWindowW(L"#32768", nullptr);
    if (window == nullptr || !IsWindowVisible(window)) return;
    const auto menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
    for (const UINT id : {WM_COPY, WM_CUT, WM_PASTE, WM_CLEAR, WM_UNDO, EM_UNDO}) {
      const UINT state = GetMenuState(menu, id, MF_BYCOMMAND);
      const bool enabled = state != static_cast<UINT>(-1) && (state & MF_GRAYED) == 0;
      (id == WM_COPY ? open->copy : open->changes) |= enabled;
    }
    EndMenu();
  }
};

class FieldControlTest : public ::testing::Test {
 protected:
  void SetUp() override { SetKeyDown(VK_SHIFT, false); }
  void TearDown() override { SetKeyDown(VK_SHIFT, false); }

  FieldWindow Make(const FieldKind& kind) {
    const FieldWindow field = kind.make(host.Handle(), RECT{10, 10, 200, 31});
    SendMessageW(field.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(host.font()), TRUE);
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
  // clang-format off
  const Message attempts[] = {
      {WM_CHAR, '7'}, {WM_CHAR, 'x'}, {WM_KEYDOWN, VK_BACK}, {WM_CHAR, '\b'},
      {WM_CHAR, 0x18}, {WM_CHAR, 0x16}, {WM_CHAR, 0x1a},
      {WM_KEYDOWN, VK_DELETE}, {WM_KEYDOWN, VK_DELETE, 0, true}, {WM_KEYDOWN, VK_INSERT, 0, true},
      {WM_PASTE, 0}, {WM_CUT, 0}, {WM_CLEAR, 0}, {WM_UNDO, 0}, {EM_UNDO, 0}};
  // clang-format on
  for (const FieldKind& kind : Kinds()) {
    SCOPED_TRACE(kind.name);
    const FieldWindow field = Make(kind);
    field.SetReadOnly(true);
    EXPECT_TRUE(field.ReadOnly());
    ASSERT_TRUE(test::SetClipboardUtf16(L"5"));
    for (const HWND edit : EditsOf(field)) {
      SetFocus(edit);
      for (const Message& attempt : attempts) {
        SendMessageW(edit, EM_SETSEL, 0, -1);
        Send(edit, attempt);
      }
      SendMessageW(edit, EM_SETSEL, 0, -1);
      const ContextMenu menu(edit);
      EXPECT_TRUE(menu.copy) << "no pop-up menu with Copy";
      EXPECT_FALSE(menu.changes);
    }
    EXPECT_EQ(field.Text(), kind.text);
    EXPECT_TRUE(host.notes.empty());

    // Unlocked, the same typing changes the text.
    field.SetReadOnly(false);
    EXPECT_FALSE(field.ReadOnly());
    SetFocus(field.Edit());
    SendMessageW(field.Edit(), EM_SETSEL, 0, -1);
    Send(field.Edit(), {WM_CHAR, '7'});
    EXPECT_NE(field.Text(), kind.text);
    EXPECT_EQ(host.Codes(kId), std::vector<WORD>{FN_CHANGE});
    DestroyWindow(field.Handle());
  }
}

// --- colours -----------------------------------------------------------------

// Sets the colours of the background and text of windows and of buttons, as
// a switch to a high contrast theme does, and puts the earlier ones back.
class SystemColours {
 public:
  explicit SystemColours(const COLORREF (&colours)[4]) {
    for (int i = 0; i < 4; ++i) saved_[i] = GetSysColor(kIndices[i]);
    ok_ = SetSysColors(4, kIndices, colours) != 0;
  }
  SystemColours(const SystemColours&) = delete;
  SystemColours& operator=(const SystemColours&) = delete;
  ~SystemColours() { SetSysColors(4, kIndices, saved_); }
  bool ok() const { return ok_; }

 private:
  static constexpr int kIndices[4] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE, COLOR_BTNTEXT};
  COLORREF saved_[4] = {};
  bool ok_ = false;
};

// What the field tells its EDIT to paint with when the EDIT asks (brush,
// background, text), and the pixels then painted in the EDIT (its right end,
// after the text) and in the field (its top row, above the text line).
std::vector<COLORREF> PaintedColours(const FieldWindow& field, HWND edit) {
  const bool readOnly = (GetWindowLongPtrW(edit, GWL_STYLE) & ES_READONLY) != 0;
  const WindowDC dc(edit);
  const auto brush = reinterpret_cast<HBRUSH>(
      SendMessageW(field.Handle(), readOnly ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT,
                   reinterpret_cast<WPARAM>(dc.get()), reinterpret_cast<LPARAM>(edit)));
  LOGBRUSH lb{CLR_INVALID, 0, 0};
  if (brush) GetObjectW(brush, sizeof lb, &lb);
  RedrawWindow(field.Handle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT rc{};
  GetClientRect(edit, &rc);
  const WindowDC fieldDc(field.Handle());
  return {lb.lbColor, GetBkColor(dc.get()), GetTextColor(dc.get()),
          GetPixel(dc.get(), rc.right - 2, rc.bottom / 2), GetPixel(fieldDc.get(), 5, 0)};
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
      const SystemColours colours({kWindow, kWindowText, kFace, kFaceText});
      ASSERT_TRUE(colours.ok());
      const COLORREF background = locked ? kFace : kWindow;
      const COLORREF text = locked ? kFaceText : kWindowText;
      EXPECT_EQ(field.Color(), background);
      for (const HWND edit : EditsOf(field)) {
        EXPECT_EQ(PaintedColours(field, edit),
                  std::vector<COLORREF>({background, background, text, background, background}));
      }
      // A colour of the caller's holds in either state, until the system's
      // is asked for again.
      field.SetColor(RGB(1, 2, 3));
      EXPECT_EQ(field.Color(), RGB(1, 2, 3));
      EXPECT_EQ(
          PaintedColours(field, field.Edit()),
          std::vector<COLORREF>({RGB(1, 2, 3), RGB(1, 2, 3), text, RGB(1, 2, 3), RGB(1, 2, 3)}));
      EXPECT_EQ(SendMessageW(field.Handle(), FM_SETBKCOLOR, kFieldSystemColor, 0), RGB(1, 2, 3));
      EXPECT_EQ(field.Color(), background);
      DestroyWindow(field.Handle());
    }
  }
}

// --- messages with null pointers or out of turn --------------------------------

TEST_F(FieldControlTest, MessagesWithNullPointersOrOutOfTurnAreHarmless) {
  // Null pointers, and creation messages sent to a field that exists: no
  // second state object, no second set of EDITs.
  // clang-format off
  const Message common[] = {{WM_GETTEXT, 16, 0}, {WM_GETTEXT, 0, 0}, {FM_SETACCESSIBLENAME, 0, 0},
                            {WM_CREATE, 0, 0}, {WM_NCCREATE, 0, 0}};
  // clang-format on
  for (const FieldKind& kind : Kinds()) {
    SCOPED_TRACE(kind.name);
    const FieldWindow field = Make(kind);
    const std::vector<HWND> edits = EditsOf(field);
    std::vector<Message> messages(std::begin(common), std::end(common));
    messages.insert(messages.end(), kind.pointerMessages.begin(), kind.pointerMessages.end());
    for (const Message& m : messages) Send(field.Handle(), m);
    EXPECT_EQ(EditsOf(field), edits);
    EXPECT_EQ(field.Text(), kind.text);
    SendMessageW(field.Handle(), WM_SETTEXT, 0, 0);  // no text: the field's empty one, or refused
    EXPECT_TRUE(host.notes.empty());
    DestroyWindow(field.Handle());
  }
}

// A field that cannot be made says why: here the system refuses a parent that
// is no window.
TEST_F(FieldControlTest, AFieldThatCannotBeCreatedSaysWhy) {
  const HWND noWindow = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7FFF0));
  for (const FieldKind& kind : Kinds()) {
    SCOPED_TRACE(kind.name);
    try {
      kind.make(noWindow, RECT{0, 0, 100, 21});
      ADD_FAILURE() << "created";
    } catch (const FatalError& e) {
      const std::string message = e.what();
      EXPECT_EQ(message.rfind("An input field could not be created: ", 0), 0u) << message;
      EXPECT_GT(message.size(), std::string("An input field could not be created: ").size() + 3);
    }
  }
}

}  // namespace
}  // namespace tftpcfg
