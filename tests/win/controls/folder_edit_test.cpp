// The folder field as the user drives it: typing, the clipboard, the locked
// state, the browse button and its shortcut with a scripted shell, and one
// browse with the real shell's folder browser.

#include "controls/folder_edit.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "controls/control_notify.h"
#include "platform/win32/win_text.h"
#include "tests/support/win/control_harness.h"

namespace tftpcfg {
namespace {

using test::ClipboardUtf16;
using test::NotifyHost;
using test::Pump;
using test::SetClipboardUtf16;

constexpr int kId = 301;
const std::vector<WORD> kNoCodes;
const std::vector<WORD> kChange{kNotifyChange};

// Plays the shell: every text parses to an item whose path is the text, and
// the browser answers as the test says, OK on a folder, OK on a virtual item
// without a path, or Cancel.
class ScriptedShell final : public IFolderBrowserShell {
 public:
  enum class Answer { Ok, OkVirtual, Cancel };
  Answer answer = Answer::Ok;
  std::string okPath = "C:\\tftp";  // ANSI

  int browses = 0;
  std::vector<std::string> parsed;
  std::string caption;
  std::string prompt;
  WindowRef owner = nullptr;
  HWND focusWhileOpen = nullptr;
  // Runs while the browser is open, as the user would act meanwhile.
  std::function<void()> whileOpen;

  ~ScriptedShell() override { EXPECT_TRUE(items_.empty()) << "shell items leaked"; }

  ShellItemId ParseDisplayName(const std::string& ansiPath) override {
    parsed.push_back(ansiPath);
    return Make(ansiPath);
  }
  ShellItemId SpecialFolderLocation(WindowRef, int) override { return nullptr; }
  ShellItemId CloneItem(ShellItemId item) override { return Make(*items_.at(item)); }
  void FreeItem(ShellItemId item) override { EXPECT_EQ(items_.erase(item), 1u); }
  bool PathFromItem(ShellItemId item, std::string& ansiPath) override {
    const std::string& path = *items_.at(item);
    if (path.empty()) return false;
    ansiPath = path;
    return true;
  }
  ShellItemId BrowseForFolder(const FolderBrowseRequest& request,
                              IFolderBrowserEvents& events) override {
    ++browses;
    owner = request.owner;
    prompt = request.prompt;
    focusWhileOpen = GetFocus();
    events.Initialized(this);
    if (whileOpen) whileOpen();
    switch (answer) {
      case Answer::Ok:
        return Make(okPath);
      case Answer::OkVirtual:
        return Make("");
      case Answer::Cancel:
        return nullptr;
    }
    return nullptr;
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

class FolderEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TElFolderNameEdit::SetShellForTesting(&shell);
    BYTE keys[256] = {};
    SetKeyboardState(keys);
    field = TElFolderNameEdit::Create(host.hwnd(), kId, RECT{10, 10, 210, 31});
    ASSERT_NE(field, nullptr);
    SendMessageW(field->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(host.font()), TRUE);
    other = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 50, 100, 21,
                            host.hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SetFocus(field->EditHandle());
    Pump();
  }
  void TearDown() override {
    DestroyWindow(field->Handle());
    TElFolderNameEdit::SetShellForTesting(nullptr);
  }

  void Char(wchar_t ch) { SendMessageW(field->EditHandle(), WM_CHAR, ch, 1); }
  void Key(UINT vk) { SendMessageW(field->EditHandle(), WM_KEYDOWN, vk, 1); }
  void AltDown() { SendMessageW(field->EditHandle(), WM_SYSKEYDOWN, VK_DOWN, 1 | (1 << 29)); }
  void SelectAll() { SendMessageW(field->EditHandle(), EM_SETSEL, 0, -1); }
  void ClickButton(int x = 3, int y = 3) {
    SendMessageW(field->ButtonHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageW(field->ButtonHandle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }
  std::vector<WORD> Codes() const { return host.Codes(kId); }
  static int Width(HWND hwnd) {
    RECT rc{};
    GetWindowRect(hwnd, &rc);
    return rc.right - rc.left;
  }
  int ClientWidth() const {
    RECT rc{};
    GetClientRect(field->Handle(), &rc);
    return rc.right;
  }

  ScriptedShell shell;
  NotifyHost host;
  TElFolderNameEdit* field = nullptr;
  HWND other = nullptr;
};

// --- text and change notifications -----------------------------------------

TEST_F(FolderEditTest, StartsEmptyWithTheDefaults) {
  EXPECT_EQ(TElFolderNameEdit::FromHandle(field->Handle()), field);
  EXPECT_EQ(TElFolderNameEdit::FromHandle(field->EditHandle()), nullptr);
  EXPECT_EQ(field->Text(), "");
  EXPECT_EQ(field->DialogTitle(), "");
  EXPECT_EQ(field->Prompt(), "");
  EXPECT_EQ(field->RootFolder(), TShellFolders::sfoDesktopExpanded);
  EXPECT_EQ(field->Options(), 0u);
  EXPECT_TRUE(field->ButtonVisible());
  EXPECT_FALSE(field->ReadOnly());
  EXPECT_EQ(field->ButtonWidth(), 15);
  EXPECT_TRUE(GetWindowLongW(field->EditHandle(), GWL_STYLE) & WS_TABSTOP);
  EXPECT_FALSE(GetWindowLongW(field->Handle(), GWL_STYLE) & WS_TABSTOP);
  EXPECT_TRUE(GetWindowLongW(field->Handle(), GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(field->EditHandle(), WM_GETFONT, 0, 0)),
            host.font());
}

TEST_F(FolderEditTest, EachUserEditRaisesOneChangeAndSettingByProgramNone) {
  field->SetText("C:\\TFTP-Root");
  EXPECT_EQ(field->Text(), "C:\\TFTP-Root");
  EXPECT_TRUE(Codes().empty());

  SendMessageW(field->EditHandle(), EM_SETSEL, 12, 12);
  Char(L'2');
  Char(L'\b');
  Char(L'\u00e9');  // any printable character
  SendMessageW(field->EditHandle(), EM_SETSEL, 0, 0);
  Key(VK_DELETE);
  SelectAll();
  SendMessageW(field->EditHandle(), WM_CUT, 0, 0);
  EXPECT_EQ(ClipboardUtf16(), L":\\TFTP-Root\u00e9");
  ASSERT_TRUE(SetClipboardUtf16(L"D:\\logs"));
  Char(0x16);  // Ctrl+V
  EXPECT_EQ(field->Text(), "D:\\logs");
  EXPECT_EQ(Codes(), std::vector<WORD>(6, kNotifyChange));
}

TEST_F(FolderEditTest, ControlCharactersAreNotTypedAndTheNoBreakSpaceIs) {
  field->SetText("C:\\x");
  SendMessageW(field->EditHandle(), EM_SETSEL, 4, 4);
  for (wchar_t ch : {L'\r', L'\n', L'\x1b', L'\t', L'\x9f'}) Char(ch);
  EXPECT_EQ(field->Text(), "C:\\x");
  EXPECT_TRUE(Codes().empty());
  Char(L'\xa0');
  EXPECT_EQ(field->Text(), "C:\\x\u00a0");
  EXPECT_EQ(Codes().size(), 1u);
}

TEST_F(FolderEditTest, CtrlASelectsTheWholeText) {
  field->SetText("C:\\tftp");
  SendMessageW(field->EditHandle(), EM_SETSEL, 2, 2);
  Char(0x01);
  DWORD s = 0, e = 0;
  SendMessageW(field->EditHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&s),
               reinterpret_cast<LPARAM>(&e));
  EXPECT_EQ(s, 0u);
  EXPECT_EQ(e, 7u);
  EXPECT_EQ(field->Text(), "C:\\tftp");
}

// --- the locked state ------------------------------------------------------

TEST_F(FolderEditTest, LockedFieldRefusesEveryChangeButCanBeFocusedAndCopied) {
  field->SetText("C:\\logs");
  field->SetReadOnly(true);
  field->SetButtonVisible(false);
  ASSERT_TRUE(SetClipboardUtf16(L"zzz"));
  SendMessageW(field->EditHandle(), EM_SETSEL, 2, 2);
  for (wchar_t ch : {L'x', L'\b', L'\x16', L'\x18', L'\x1a'}) Char(ch);
  Key(VK_DELETE);
  BYTE keys[256] = {};
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  Key(VK_INSERT);  // Shift+Insert pastes
  Key(VK_DELETE);  // Shift+Delete cuts
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  SelectAll();
  for (UINT msg : {UINT{WM_PASTE}, UINT{WM_CUT}, UINT{WM_CLEAR}, UINT{WM_UNDO}, UINT{EM_UNDO}})
    SendMessageW(field->EditHandle(), msg, 0, 0);
  EXPECT_EQ(field->Text(), "C:\\logs");
  EXPECT_TRUE(Codes().empty());

  SetFocus(other);
  SetFocus(field->EditHandle());
  EXPECT_EQ(GetFocus(), field->EditHandle());
  SelectAll();
  SendMessageW(field->EditHandle(), WM_COPY, 0, 0);
  EXPECT_EQ(ClipboardUtf16(), L"C:\\logs");

  field->SetText("D:\\other");  // the window can still set the text
  EXPECT_EQ(field->Text(), "D:\\other");
  EXPECT_TRUE(Codes().empty());
}

TEST_F(FolderEditTest, HiddenButtonGivesTheTextTheWholeWidth) {
  EXPECT_TRUE(IsWindowVisible(field->ButtonHandle()));
  EXPECT_EQ(Width(field->ButtonHandle()), 15);  // 96 DPI
  EXPECT_EQ(Width(field->EditHandle()), ClientWidth() - 15);
  RECT client{}, button{};
  GetClientRect(field->Handle(), &client);
  GetWindowRect(field->ButtonHandle(), &button);
  EXPECT_EQ(button.bottom - button.top, client.bottom);

  field->SetReadOnly(true);
  field->SetButtonVisible(false);
  EXPECT_FALSE(IsWindowVisible(field->ButtonHandle()));
  EXPECT_EQ(Width(field->EditHandle()), ClientWidth());

  field->SetReadOnly(false);
  field->SetButtonVisible(true);
  EXPECT_TRUE(IsWindowVisible(field->ButtonHandle()));
  EXPECT_EQ(Width(field->EditHandle()), ClientWidth() - 15);

  field->SetButtonWidth(24);
  EXPECT_EQ(Width(field->ButtonHandle()), 24);
  EXPECT_EQ(Width(field->EditHandle()), ClientWidth() - 24);
}

TEST_F(FolderEditTest, LockedFieldDoesNotBrowse) {
  field->SetReadOnly(true);
  field->Browse();
  ClickButton();
  AltDown();
  EXPECT_EQ(shell.browses, 0);
  EXPECT_TRUE(Codes().empty());
}

// --- browsing --------------------------------------------------------------

TEST_F(FolderEditTest, ConfirmedBrowseWritesThePathAndRaisesChangeEachTime) {
  field->SetDialogTitle("Select Folder");
  field->SetPrompt("Please select the folder to be used for TFTP transfers:");
  field->SetText("C:\\tftp-old");
  ClickButton();
  EXPECT_EQ(shell.browses, 1);
  EXPECT_EQ(shell.parsed, std::vector<std::string>{"C:\\tftp-old"});
  EXPECT_EQ(shell.caption, "Select Folder");
  EXPECT_EQ(shell.prompt, "Please select the folder to be used for TFTP transfers:");
  EXPECT_EQ(shell.owner, host.hwnd());
  EXPECT_EQ(field->Text(), "C:\\tftp");
  EXPECT_EQ(Codes(), kChange);

  // The same folder again is still a change; and the window holding the field
  // comes back to the front, as the browser had it.
  NotifyHost browserStandIn(200, 100, L"Browser");
  shell.whileOpen = [&] { SetForegroundWindow(browserStandIn.hwnd()); };
  ClickButton();
  EXPECT_EQ(field->Text(), "C:\\tftp");
  EXPECT_EQ(Codes(), (std::vector<WORD>{kNotifyChange, kNotifyChange}));
  EXPECT_EQ(GetForegroundWindow(), host.hwnd());
}

TEST_F(FolderEditTest, CancelLeavesTheForegroundAlone) {
  NotifyHost browserStandIn(200, 100, L"Browser");
  shell.answer = ScriptedShell::Answer::Cancel;
  shell.whileOpen = [&] { SetForegroundWindow(browserStandIn.hwnd()); };
  ClickButton();
  EXPECT_EQ(GetForegroundWindow(), browserStandIn.hwnd());
}

TEST_F(FolderEditTest, CancelledBrowseChangesNothing) {
  field->SetText("C:\\keep");
  shell.answer = ScriptedShell::Answer::Cancel;
  ClickButton();
  EXPECT_EQ(shell.browses, 1);
  EXPECT_EQ(field->Text(), "C:\\keep");
  EXPECT_TRUE(Codes().empty());
}

TEST_F(FolderEditTest, ConfirmedItemWithoutAPathEmptiesTheText) {
  field->SetText("C:\\tftp");
  shell.answer = ScriptedShell::Answer::OkVirtual;
  field->Browse();
  EXPECT_EQ(field->Text(), "");
  EXPECT_EQ(Codes(), kChange);
}

TEST_F(FolderEditTest, PathsComeBackFromTheAnsiCodePage) {
  shell.okPath = "C:\\Caf\xe9";  // Windows-1252, the Wine prefix's code page
  if (GetACP() != 1252) GTEST_SKIP() << "needs code page 1252";
  field->Browse();
  EXPECT_EQ(field->Text(), "C:\\Caf\xc3\xa9");
  field->Browse();
  EXPECT_EQ(shell.parsed.back(), "C:\\Caf\xe9");
}

TEST_F(FolderEditTest, ButtonReleasedOutsideDoesNotBrowse) {
  ClickButton(40, 3);
  EXPECT_EQ(shell.browses, 0);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(FolderEditTest, ButtonNeverTakesTheFocus) {
  ClickButton();
  EXPECT_EQ(shell.focusWhileOpen, field->EditHandle());
  EXPECT_EQ(GetFocus(), field->EditHandle());
  SetFocus(other);
  ClickButton();
  EXPECT_EQ(GetFocus(), other);
}

TEST_F(FolderEditTest, AltDownBrowsesUnlessTheShortcutIsRemovedOrTheButtonHidden) {
  AltDown();
  EXPECT_EQ(shell.browses, 1);
  EXPECT_EQ(Codes(), kChange);

  field->SetButtonVisible(false);
  AltDown();
  EXPECT_EQ(shell.browses, 1);
  field->SetButtonVisible(true);

  field->SetButtonShortcut(0, 0);  // as on the main window
  AltDown();
  EXPECT_EQ(shell.browses, 1);

  field->SetButtonShortcut(VK_F4, 0);
  Key(VK_F4);
  EXPECT_EQ(shell.browses, 2);
  AltDown();
  EXPECT_EQ(shell.browses, 2);
}

TEST_F(FolderEditTest, DisablingTheFieldDisablesEditAndButton) {
  EnableWindow(field->Handle(), FALSE);
  EXPECT_FALSE(IsWindowEnabled(field->EditHandle()));
  EXPECT_FALSE(IsWindowEnabled(field->ButtonHandle()));
  AltDown();
  field->Browse();
  EXPECT_EQ(shell.browses, 0);
  EnableWindow(field->Handle(), TRUE);
  EXPECT_TRUE(IsWindowEnabled(field->EditHandle()));
  EXPECT_TRUE(IsWindowEnabled(field->ButtonHandle()));
}

TEST_F(FolderEditTest, BackgroundColourIsTheFieldsBrush) {
  const HDC dc = GetDC(field->EditHandle());
  const auto brushColour = [&](UINT msg) {
    const auto brush =
        reinterpret_cast<HBRUSH>(SendMessageW(field->Handle(), msg, reinterpret_cast<WPARAM>(dc),
                                              reinterpret_cast<LPARAM>(field->EditHandle())));
    LOGBRUSH lb{};
    GetObjectW(brush, sizeof lb, &lb);
    return lb.lbColor;
  };
  EXPECT_EQ(brushColour(WM_CTLCOLOREDIT), GetSysColor(COLOR_WINDOW));
  field->SetReadOnly(true);
  field->SetColor(GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(brushColour(WM_CTLCOLORSTATIC), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE));
  ReleaseDC(field->EditHandle(), dc);
}

TEST_F(FolderEditTest, InADialogTabSelectsTheTextAndEnterAndEscReachTheButtons) {
  test::TestDialog dialog;
  TElFolderNameEdit* first = TElFolderNameEdit::Create(dialog.hwnd(), 401, RECT{10, 10, 200, 31});
  TElFolderNameEdit* second = TElFolderNameEdit::Create(dialog.hwnd(), 402, RECT{10, 40, 200, 61});
  second->SetText("C:\\logs");
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
  EXPECT_EQ(e, 7u);
  dialog.PressKey(VK_RETURN);
  dialog.PressKey(VK_ESCAPE);
  EXPECT_EQ(dialog.Commands(), (std::vector<int>{IDOK, IDCANCEL}));
  EXPECT_EQ(second->Text(), "C:\\logs");
}

// --- the real folder browser -------------------------------------------------

// Watches for the folder browser from a thread timer (the browser's modal loop
// dispatches it), reads its caption and static texts and closes it.
struct BrowserWatch {
  static BrowserWatch* current;
  int answer = IDCANCEL;
  bool seen = false;
  std::wstring caption;
  std::vector<std::wstring> statics;

  static BOOL CALLBACK FindDialog(HWND hwnd, LPARAM found) {
    wchar_t cls[32] = {};
    GetClassNameW(hwnd, cls, 32);
    if (IsWindowVisible(hwnd) && lstrcmpW(cls, L"#32770") == 0) {
      *reinterpret_cast<HWND*>(found) = hwnd;
      return FALSE;
    }
    return TRUE;
  }
  static BOOL CALLBACK CollectStatic(HWND hwnd, LPARAM) {
    wchar_t cls[32] = {};
    GetClassNameW(hwnd, cls, 32);
    if (lstrcmpiW(cls, L"Static") == 0) {
      wchar_t text[512] = {};
      GetWindowTextW(hwnd, text, 512);
      current->statics.push_back(text);
    }
    return TRUE;
  }
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr || current == nullptr || current->seen) return;
    KillTimer(nullptr, id);
    current->seen = true;
    wchar_t caption[256] = {};
    GetWindowTextW(dialog, caption, 256);
    current->caption = caption;
    EnumChildWindows(dialog, CollectStatic, 0);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(current->answer, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, current->answer)));
  }
  bool ShowsText(const std::wstring& text) const {
    for (const std::wstring& s : statics)
      if (s == text) return true;
    return false;
  }
};
BrowserWatch* BrowserWatch::current = nullptr;

class RealBrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TElFolderNameEdit::SetShellForTesting(nullptr);
    field = TElFolderNameEdit::Create(host.hwnd(), kId, RECT{10, 10, 210, 31});
    ASSERT_NE(field, nullptr);
    BrowserWatch::current = &watch;
  }
  void TearDown() override { BrowserWatch::current = nullptr; }

  void BrowseAnswering(int answer) {
    watch.answer = answer;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, BrowserWatch::OnTimer);
    field->Browse();
    KillTimer(nullptr, timer);
  }

  NotifyHost host;
  TElFolderNameEdit* field = nullptr;
  BrowserWatch watch;
};

TEST_F(RealBrowserTest, OpensWithCaptionPromptAndFolderAndOkWritesItBack) {
  char windows[MAX_PATH] = {};
  ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
  field->SetDialogTitle("Select Folder");
  field->SetPrompt("Please select the folder to be used for TFTP transfers:");
  field->SetText(windows);
  BrowseAnswering(IDOK);

  ASSERT_TRUE(watch.seen);
  EXPECT_EQ(watch.caption, L"Select Folder");
  EXPECT_TRUE(watch.ShowsText(L"Please select the folder to be used for TFTP transfers:"));
  // OK without moving returns the preselected folder, as the shell spells it.
  EXPECT_EQ(
      CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, field->Text().c_str(), -1, windows, -1),
      CSTR_EQUAL)
      << field->Text();
  EXPECT_EQ(host.Codes(kId), kChange);
  EXPECT_TRUE(IsWindowEnabled(host.hwnd()));

  // COM was initialised for the browse only.
  const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  EXPECT_EQ(hr, S_OK);
  if (SUCCEEDED(hr)) CoUninitialize();
}

TEST_F(RealBrowserTest, LogDirectoryBrowserHasNoCaptionAndCancelKeepsTheText) {
  field->SetText("C:\\no\\such\\folder");
  BrowseAnswering(IDCANCEL);
  ASSERT_TRUE(watch.seen);
  EXPECT_EQ(watch.caption, L"");
  EXPECT_FALSE(watch.ShowsText(L"Please select the folder to be used for TFTP transfers:"));
  EXPECT_EQ(field->Text(), "C:\\no\\such\\folder");
  EXPECT_TRUE(host.Codes(kId).empty());
}

}  // namespace
}  // namespace tftpcfg
