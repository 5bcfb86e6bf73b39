// The folder field driven through its messages and the input a user produces:
// typing, the clipboard, the locked state, the browse button and its shortcut
// with a scripted shell, and the real shell's folder browser.

#include "controls/folder_field.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/gdi.h"
#include "platform/win32/win_text.h"
#include "tests/support/win/control_harness.h"

namespace tftpcfg {
namespace {

using test::ClipboardUtf16;
using test::NotifyHost;
using test::Selection;
using test::SetClipboardUtf16;
using test::SetKeyDown;
using Sel = std::pair<DWORD, DWORD>;
using Codes = std::vector<WORD>;

constexpr int kId = 301;
const Codes kNone;
const Codes kChange{FN_CHANGE};
constexpr char kPrompt[] = "Please select the folder to be used for TFTP transfers:";

// Plays the shell: every text parses to an item whose path is the text, and
// the browser confirms `answer` (an empty path: a virtual item without one) or,
// for nullopt, is cancelled.
class ScriptedShell final : public IFolderBrowserShell {
 public:
  std::optional<std::string> answer = "C:\\tftp";  // ANSI
  int browses = 0;
  std::vector<std::string> parsed;
  int rootFolder = -1;
  FolderBrowseRequest request;  // the last browse's
  std::string caption;
  HWND focusWhileOpen = nullptr;
  std::function<void()> whileOpen;  // what the user does meanwhile

  ~ScriptedShell() override { EXPECT_TRUE(items_.empty()) << "shell items leaked"; }

  ShellItemId ParseDisplayName(const std::string& ansiPath) override {
    parsed.push_back(ansiPath);
    return Make(ansiPath);
  }
  ShellItemId SpecialFolderLocation(WindowRef, int folder) override {
    rootFolder = folder;
    return nullptr;
  }
  ShellItemId CloneItem(ShellItemId item) override { return Make(*items_.at(item)); }
  void FreeItem(ShellItemId item) override { EXPECT_EQ(items_.erase(item), 1u); }
  bool PathFromItem(ShellItemId item, std::string& ansiPath) override {
    ansiPath = *items_.at(item);
    return !ansiPath.empty();
  }
  ShellItemId BrowseForFolder(const FolderBrowseRequest& r, IFolderBrowserEvents& events) override {
    ++browses;
    request = r;
    focusWhileOpen = GetFocus();
    events.Initialized(this);
    if (whileOpen) whileOpen();
    return answer ? Make(*answer) : nullptr;
  }
  void SetCaption(WindowRef, const std::string& ansi) override { caption = ansi; }
  void SetSelection(WindowRef, ShellItemId) override {}

 private:
  ShellItemId Make(const std::string& path) {
    auto item = std::make_unique<std::string>(path);
    ShellItemId id = item.get();
    items_[id] = std::move(item);
    return id;
  }
  std::map<ShellItemId, std::unique_ptr<std::string>> items_;
};

class FolderFieldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetKeyDown(VK_SHIFT, false);
    SendMessageW(field.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(host.font()), TRUE);
    SetFocus(edit);
    test::Pump();
  }

  void Char(wchar_t ch) const { SendMessageW(edit, WM_CHAR, ch, 1); }
  void Key(UINT vk) const { SendMessageW(edit, WM_KEYDOWN, vk, 1); }
  void AltDown() const { SendMessageW(edit, WM_SYSKEYDOWN, VK_DOWN, 1 | (1 << 29)); }
  RECT Client() const {
    RECT rc{};
    GetClientRect(field.Handle(), &rc);
    return rc;
  }
  // Presses the left button on the browse button and releases it dx pixels
  // to the right of there.
  void ClickButton(int dx = 0) const {
    const RECT rc = Client();
    const int x = rc.right - 5, y = rc.bottom / 2;
    SendMessageW(field.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(field.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x + dx, y));
  }
  Codes Notes() const { return host.Codes(kId); }

  ScriptedShell shell;
  NotifyHost host;
  FolderField field = FolderField::Create(host.Handle(), kId, RECT{10, 10, 210, 31}, {&shell});
  HWND edit = field.Edit();
  HWND other = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 50, 100, 21,
                               host.Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
};

// --- text and change notifications -----------------------------------------

TEST_F(FolderFieldTest, StartsEmptyWithTheDefaults) {
  wchar_t name[64] = {};
  GetClassNameW(field.Handle(), name, 64);
  EXPECT_STREQ(name, kFolderFieldClass);
  EXPECT_EQ(field.Text(), "");
  EXPECT_TRUE(field.ButtonVisible());
  EXPECT_FALSE(field.ReadOnly());
  EXPECT_EQ(field.Color(), GetSysColor(COLOR_WINDOW));
  // The EDIT is the tab stop; the dialog manager walks into the field for it.
  EXPECT_TRUE(GetWindowLongW(edit, GWL_STYLE) & WS_TABSTOP);
  EXPECT_FALSE(GetWindowLongW(field.Handle(), GWL_STYLE) & WS_TABSTOP);
  EXPECT_TRUE(GetWindowLongW(field.Handle(), GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
  EXPECT_EQ(SendMessageW(field.Handle(), FM_GETEDIT, 1, 0), 0);
  EXPECT_EQ(SendMessageW(edit, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(host.font()));
  EXPECT_EQ(SendMessageW(field.Handle(), WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(host.font()));
}

TEST_F(FolderFieldTest, EachUserEditRaisesOneChangeAndSettingByProgramNone) {
  field.SetText("C:\\TFTP-Root");
  EXPECT_EQ(GetWindowTextUtf8(edit), "C:\\TFTP-Root");
  EXPECT_EQ(Notes(), kNone);

  SendMessageW(edit, EM_SETSEL, 12, 12);
  Char(L'2');
  Char(L'\b');
  Char(L'\u00e9');  // any printable character
  SendMessageW(edit, EM_SETSEL, 0, 0);
  Key(VK_DELETE);
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, WM_CUT, 0, 0);
  EXPECT_EQ(ClipboardUtf16(), L":\\TFTP-Root\u00e9");
  ASSERT_TRUE(SetClipboardUtf16(L"D:\\logs"));
  Char(0x16);  // Ctrl+V
  EXPECT_EQ(field.Text(), "D:\\logs");
  EXPECT_EQ(Notes(), Codes(6, FN_CHANGE));

  SetWindowTextW(field.Handle(), L"E:\\x");
  EXPECT_EQ(field.Text(), "E:\\x");
  EXPECT_EQ(Notes().size(), 6u);
}

TEST_F(FolderFieldTest, ControlCharactersAreNotTypedButTheNoBreakSpaceIsAndCtrlASelectsAll) {
  field.SetText("C:\\x");
  SendMessageW(edit, EM_SETSEL, 4, 4);
  for (wchar_t ch : {L'\r', L'\n', L'\x1b', L'\t', L'\x7f', L'\x9f'}) Char(ch);
  EXPECT_EQ(field.Text(), "C:\\x");
  EXPECT_EQ(Notes(), kNone);
  Char(L'\xa0');
  EXPECT_EQ(field.Text(), "C:\\x\u00a0");
  EXPECT_EQ(Notes(), kChange);
  SendMessageW(edit, EM_SETSEL, 2, 2);
  Char(0x01);
  EXPECT_EQ(Selection(edit), Sel(0, 5));
  EXPECT_EQ(Notes(), kChange);
}

// --- the locked state ------------------------------------------------------

// (Typing and the clipboard, refused in every locked field alike, are tried
// in field_control_test.cpp.)
TEST_F(FolderFieldTest, LockedFieldCanBeFocusedAndCopiedAndSetByProgram) {
  field.SetText("C:\\logs");
  field.SetReadOnly(true);
  SetFocus(other);
  SetFocus(field.Handle());  // the field hands the focus to its EDIT
  EXPECT_EQ(GetFocus(), edit);
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, WM_COPY, 0, 0);
  EXPECT_EQ(ClipboardUtf16(), L"C:\\logs");

  field.SetText("D:\\other");  // the program can still set the text
  EXPECT_EQ(field.Text(), "D:\\other");
  EXPECT_EQ(Notes(), kNone);
  field.SetReadOnly(false);
  Char(L'x');
  EXPECT_EQ(Notes(), kChange);
}

TEST_F(FolderFieldTest, TextLineIsCentredAndTheHiddenButtonGivesItTheWholeWidth) {
  const RECT client = Client();
  const int lineHeight = FontMetrics(host.font()).tmHeight;
  // The text keeps a pixel inside the sunken edge, as an edit box's does.
  RECT line = test::RectIn(field.Handle(), edit);
  EXPECT_EQ(line.left, 1);
  EXPECT_EQ(line.bottom - line.top, lineHeight);
  EXPECT_EQ(line.top, (client.bottom - lineHeight) / 2);
  EXPECT_EQ(line.right, client.right - kDefaultBrowseButtonWidth);  // at 96 DPI

  const struct {
    bool visible;
    int buttonWidth;
    int textWidth;
  } cases[] = {
      {false, 15, client.right - 2},
      {true, 15, client.right - 16},
      {true, 24, client.right - 25},
      {false, 24, client.right - 2},
  };
  for (const auto& c : cases) {
    field.SetButtonVisible(c.visible);
    field.SetButtonWidth(c.buttonWidth);
    EXPECT_EQ(field.ButtonVisible(), c.visible);
    line = test::RectIn(field.Handle(), edit);
    EXPECT_EQ(line.right - line.left, c.textWidth) << c.visible << " " << c.buttonWidth;
  }
}

TEST_F(FolderFieldTest, NeitherALockedNorADisabledFieldBrowses) {
  field.SetReadOnly(true);
  field.Browse();
  ClickButton();
  AltDown();
  field.SetReadOnly(false);
  EnableWindow(field.Handle(), FALSE);
  EXPECT_FALSE(IsWindowEnabled(edit));
  field.Browse();
  ClickButton();
  AltDown();
  EXPECT_EQ(shell.browses, 0);
  EXPECT_EQ(Notes(), kNone);
  EnableWindow(field.Handle(), TRUE);
  EXPECT_TRUE(IsWindowEnabled(edit));
  ClickButton();
  EXPECT_EQ(shell.browses, 1);
}

// --- browsing --------------------------------------------------------------

TEST_F(FolderFieldTest, BrowserGetsTheTextAndTheFieldsSettings) {
  // Until set: no caption, no prompt, the whole namespace, no flags; an empty
  // text names no folder.
  field.Browse();
  EXPECT_EQ(shell.caption, "");
  EXPECT_EQ(shell.request.prompt, "");
  EXPECT_EQ(shell.rootFolder, ShellFolderNumber(ShellFolder::sfoDesktopExpanded));
  EXPECT_EQ(shell.request.flags, 0u);
  EXPECT_TRUE(shell.parsed.empty());

  field.SetTitle("Select Folder");
  field.SetPrompt(kPrompt);
  field.SetRootFolder(ShellFolder::sfoMyComputer);
  field.SetOptions(0x41);
  field.SetText("C:\\tftp-old");
  ClickButton();
  EXPECT_EQ(shell.browses, 2);
  EXPECT_EQ(shell.parsed, std::vector<std::string>{"C:\\tftp-old"});
  EXPECT_EQ(shell.caption, "Select Folder");
  EXPECT_EQ(shell.request.prompt, kPrompt);
  EXPECT_EQ(shell.rootFolder, ShellFolderNumber(ShellFolder::sfoMyComputer));
  EXPECT_EQ(shell.request.flags, 0x41u);
  EXPECT_EQ(shell.request.owner, host.Handle());
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(FolderFieldTest, WhatTheBrowserAnswers) {
  // A confirmed folder is a change each time, the same folder again too, and
  // brings the window holding the field back to the front.
  const struct {
    std::optional<std::string> answer;
    const char* text;
    Codes notes;
    bool hostInFront;
  } cases[] = {
      {std::nullopt, "C:\\keep", kNone, false},
      {"C:\\tftp", "C:\\tftp", kChange, true},
      {"C:\\tftp", "C:\\tftp", kChange, true},
      {"", "", kChange, true},  // an item without a path
  };
  NotifyHost browser(200, 100, L"Browser");
  shell.whileOpen = [&] { SetForegroundWindow(browser.Handle()); };
  field.SetText("C:\\keep");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    shell.answer = c.answer;
    host.notes.clear();
    ClickButton();
    EXPECT_EQ(field.Text(), c.text);
    EXPECT_EQ(Notes(), c.notes);
    EXPECT_EQ(GetForegroundWindow(), c.hostInFront ? host.Handle() : browser.Handle());
  }
  EXPECT_EQ(shell.browses, 4);
}

TEST_F(FolderFieldTest, FieldDestroyedWhileTheBrowserIsOpenIsLeftAlone) {
  shell.whileOpen = [&] { DestroyWindow(field.Handle()); };
  ClickButton();
  EXPECT_EQ(shell.browses, 1);
  EXPECT_FALSE(IsWindow(field.Handle()));
  EXPECT_EQ(Notes(), kNone);
}

TEST_F(FolderFieldTest, PathsComeBackFromTheAnsiCodePage) {
  if (GetACP() != 1252) GTEST_SKIP() << "needs code page 1252";
  shell.answer = "C:\\Caf\xe9";  // Windows-1252, the Wine prefix's code page
  field.Browse();
  EXPECT_EQ(field.Text(), "C:\\Caf\xc3\xa9");
  field.Browse();
  EXPECT_EQ(shell.parsed.back(), "C:\\Caf\xe9");
}

TEST_F(FolderFieldTest, ButtonBrowsesOnlyWhenReleasedOnItAndNeverTakesTheFocus) {
  ClickButton(-40);
  ClickButton(+40);  // beyond the field's right edge
  EXPECT_EQ(shell.browses, 0);
  EXPECT_EQ(GetCapture(), nullptr);

  ClickButton();
  EXPECT_EQ(shell.focusWhileOpen, edit);
  EXPECT_EQ(GetFocus(), edit);
  SetFocus(other);
  ClickButton();
  EXPECT_EQ(shell.browses, 2);
  EXPECT_EQ(GetFocus(), other);
}

TEST_F(FolderFieldTest, AltDownBrowsesUnlessTheShortcutIsRemovedOrTheButtonHidden) {
  AltDown();
  EXPECT_EQ(shell.browses, 1);
  EXPECT_EQ(Notes(), kChange);

  field.SetButtonVisible(false);
  AltDown();
  EXPECT_EQ(shell.browses, 1);
  field.SetButtonVisible(true);

  field.SetShortcut(0, 0);  // as on the main window
  AltDown();
  EXPECT_EQ(shell.browses, 1);

  field.SetShortcut(VK_F4, 0);
  Key(VK_F4);
  EXPECT_EQ(shell.browses, 2);
  AltDown();
  SetKeyDown(VK_SHIFT, true);
  Key(VK_F4);  // with a modifier the shortcut does not have
  SetKeyDown(VK_SHIFT, false);
  EXPECT_EQ(shell.browses, 2);
}

TEST_F(FolderFieldTest, InADialogTabSelectsTheTextAndEnterAndEscReachTheButtons) {
  test::TestDialog dialog;
  const FolderField first =
      FolderField::Create(dialog.Handle(), 401, RECT{10, 10, 200, 31}, {&shell});
  const FolderField second =
      FolderField::Create(dialog.Handle(), 402, RECT{10, 40, 200, 61}, {&shell});
  second.SetText("C:\\logs");
  // Tab order: the two fields, then OK and Cancel.
  SetWindowPos(second.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetWindowPos(first.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetFocus(first.Edit());
  dialog.Run();

  dialog.PressKey(VK_TAB);
  EXPECT_EQ(GetFocus(), second.Edit());
  EXPECT_EQ(Selection(second.Edit()), Sel(0, 7));
  dialog.PressKey(VK_RETURN);
  dialog.PressKey(VK_ESCAPE);
  EXPECT_EQ(dialog.Commands(), (std::vector<int>{IDOK, IDCANCEL}));
  EXPECT_EQ(second.Text(), "C:\\logs");
  EXPECT_EQ(shell.browses, 0);
}

// --- the real folder browser -----------------------------------------------

// Opens the field's browser and, from a thread timer that the browser's modal
// loop dispatches, reads its caption and static texts and answers it.
class RealBrowserTest : public ::testing::Test {
 protected:
  void BrowseAnswering(int answer) {
    current = this;
    answer_ = answer;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, OnTimer);
    field.Browse();
    KillTimer(nullptr, timer);
  }
  bool ShowsText(const std::wstring& text) const {
    return std::find(statics.begin(), statics.end(), text) != statics.end();
  }

  NotifyHost host;
  FolderField field = FolderField::Create(host.Handle(), kId, RECT{10, 10, 210, 31});
  bool seen = false;
  std::wstring caption;
  std::vector<std::wstring> statics;

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    HWND browser = nullptr;
    while ((browser = FindWindowExW(nullptr, browser, L"#32770", nullptr)) != nullptr)
      if (GetWindowThreadProcessId(browser, nullptr) == GetCurrentThreadId()) break;
    if (browser == nullptr || current->seen) return;
    KillTimer(nullptr, id);
    current->seen = true;
    current->caption = Widen(GetWindowTextUtf8(browser));
    for (HWND s = nullptr; (s = FindWindowExW(browser, s, L"Static", nullptr)) != nullptr;)
      current->statics.push_back(Widen(GetWindowTextUtf8(s)));
    PostMessageW(browser, WM_COMMAND, MAKEWPARAM(current->answer_, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(browser, current->answer_)));
  }
  static inline RealBrowserTest* current = nullptr;
  int answer_ = IDCANCEL;
};

TEST_F(RealBrowserTest, OpensWithCaptionPromptAndFolderAndOkWritesItBack) {
  char windows[MAX_PATH] = {};
  ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
  field.SetTitle("Select Folder");
  field.SetPrompt(kPrompt);
  field.SetText(windows);
  BrowseAnswering(IDOK);

  ASSERT_TRUE(seen);
  EXPECT_EQ(caption, L"Select Folder");
  EXPECT_TRUE(ShowsText(Widen(kPrompt)));
  // OK without moving returns the preselected folder, as the shell spells it.
  EXPECT_EQ(
      CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, field.Text().c_str(), -1, windows, -1),
      CSTR_EQUAL)
      << field.Text();
  EXPECT_EQ(host.Codes(kId), kChange);
  EXPECT_TRUE(IsWindowEnabled(host.Handle()));

  // COM was initialised for the browse only.
  const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  EXPECT_EQ(hr, S_OK);
  if (SUCCEEDED(hr)) CoUninitialize();
}

TEST_F(RealBrowserTest, LogDirectoryBrowserHasNoCaptionAndCancelKeepsTheText) {
  field.SetText("C:\\no\\such\\folder");
  BrowseAnswering(IDCANCEL);
  ASSERT_TRUE(seen);
  EXPECT_EQ(caption, L"");
  EXPECT_FALSE(ShowsText(Widen(kPrompt)));
  EXPECT_EQ(field.Text(), "C:\\no\\such\\folder");
  EXPECT_EQ(host.Codes(kId), kNone);
}

}  // namespace
}  // namespace tftpcfg
