// The folder field driven through its messages and the input a user produces:
// typing, the clipboard, the locked state, the browse button and its shortcut
// with a scripted shell, and the real shell's folder browser.

#include "controls/folder_field.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

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
const std::vector<WORD> kChange{FN_CHANGE};
constexpr char kPrompt[] = "Please select the folder to be used for TFTP transfers:";

// Plays the shell: every text parses to an item whose path is the text, and
// the browser answers as the test says: OK on a folder, OK on a virtual item
// without a path, or Cancel.
class ScriptedShell final : public IFolderBrowserShell {
 public:
  enum class Answer { Ok, OkVirtual, Cancel };
  Answer answer = Answer::Ok;
  std::string okPath = "C:\\tftp";  // ANSI

  int browses = 0;
  std::vector<std::string> parsed;
  int rootFolder = -1;
  FolderBrowseRequest request;  // the last browse's
  std::string caption;
  HWND focusWhileOpen = nullptr;
  // Runs while the browser is open, as the user would act meanwhile.
  std::function<void()> whileOpen;

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
    const std::string& path = *items_.at(item);
    if (path.empty()) return false;
    ansiPath = path;
    return true;
  }
  ShellItemId BrowseForFolder(const FolderBrowseRequest& r, IFolderBrowserEvents& events) override {
    ++browses;
    request = r;
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

DWORD SelectionEnd(HWND edit, DWORD* start) {
  DWORD end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(start), reinterpret_cast<LPARAM>(&end));
  return end;
}

RECT RectIn(HWND parent, HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void SetShift(bool down) {
  BYTE keys[256] = {};
  keys[VK_SHIFT] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

class FolderFieldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetShift(false);
    field = FolderField::Create(host.hwnd(), kId, RECT{10, 10, 210, 31}, {&shell});
    SendMessageW(field.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(host.font()), TRUE);
    edit = field.Edit();
    other = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 50, 100, 21,
                            host.hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SetFocus(edit);
    Pump();
  }
  void TearDown() override { DestroyWindow(field.hwnd()); }

  void Char(wchar_t ch) const { SendMessageW(edit, WM_CHAR, ch, 1); }
  void Key(UINT vk) const { SendMessageW(edit, WM_KEYDOWN, vk, 1); }
  void AltDown() const { SendMessageW(edit, WM_SYSKEYDOWN, VK_DOWN, 1 | (1 << 29)); }
  void SelectAll() const { SendMessageW(edit, EM_SETSEL, 0, -1); }
  RECT Client() const {
    RECT rc{};
    GetClientRect(field.hwnd(), &rc);
    return rc;
  }
  // Presses the left button on the browse button and releases it `dx` pixels
  // to the right of where it went down.
  void ClickButton(int dx = 0) const {
    const RECT rc = Client();
    const int x = rc.right - 5, y = rc.bottom / 2;
    SendMessageW(field.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(field.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(x + dx, y));
  }
  std::vector<WORD> Codes() const { return host.Codes(kId); }

  ScriptedShell shell;
  NotifyHost host;
  FolderField field{nullptr};
  HWND edit = nullptr;
  HWND other = nullptr;
};

// --- text and change notifications -----------------------------------------

TEST_F(FolderFieldTest, StartsEmptyWithTheDefaults) {
  wchar_t name[64] = {};
  GetClassNameW(field.hwnd(), name, 64);
  EXPECT_STREQ(name, kFolderFieldClass);
  EXPECT_EQ(field.Text(), "");
  EXPECT_TRUE(field.ButtonVisible());
  EXPECT_FALSE(field.ReadOnly());
  EXPECT_EQ(field.Color(), GetSysColor(COLOR_WINDOW));
  // The EDIT is the tab stop; the dialog manager walks into the field for it.
  EXPECT_TRUE(GetWindowLongW(edit, GWL_STYLE) & WS_TABSTOP);
  EXPECT_FALSE(GetWindowLongW(field.hwnd(), GWL_STYLE) & WS_TABSTOP);
  EXPECT_TRUE(GetWindowLongW(field.hwnd(), GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
  EXPECT_EQ(SendMessageW(field.hwnd(), FM_GETEDIT, 1, 0), 0);
  EXPECT_EQ(SendMessageW(edit, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(host.font()));
  EXPECT_EQ(SendMessageW(field.hwnd(), WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(host.font()));

  // The browser: no caption, no prompt, the whole namespace, no flags.
  field.Browse();
  EXPECT_EQ(shell.caption, "");
  EXPECT_EQ(shell.request.prompt, "");
  EXPECT_EQ(shell.rootFolder, ShellFolderNumber(TShellFolders::sfoDesktopExpanded));
  EXPECT_EQ(shell.request.flags, 0u);
  EXPECT_TRUE(shell.parsed.empty());  // an empty text names no folder
  field.SetRootFolder(TShellFolders::sfoMyComputer);
  field.SetOptions(0x41);
  field.Browse();
  EXPECT_EQ(shell.rootFolder, ShellFolderNumber(TShellFolders::sfoMyComputer));
  EXPECT_EQ(shell.request.flags, 0x41u);
}

TEST_F(FolderFieldTest, EachUserEditRaisesOneChangeAndSettingByProgramNone) {
  field.SetText("C:\\TFTP-Root");
  EXPECT_EQ(field.Text(), "C:\\TFTP-Root");
  EXPECT_EQ(GetWindowTextUtf8(edit), "C:\\TFTP-Root");
  EXPECT_EQ(Codes(), kNoCodes);

  SendMessageW(edit, EM_SETSEL, 12, 12);
  Char(L'2');
  Char(L'\b');
  Char(L'\u00e9');  // any printable character
  SendMessageW(edit, EM_SETSEL, 0, 0);
  Key(VK_DELETE);
  SelectAll();
  SendMessageW(edit, WM_CUT, 0, 0);
  EXPECT_EQ(ClipboardUtf16(), L":\\TFTP-Root\u00e9");
  ASSERT_TRUE(SetClipboardUtf16(L"D:\\logs"));
  Char(0x16);  // Ctrl+V
  EXPECT_EQ(field.Text(), "D:\\logs");
  EXPECT_EQ(Codes(), std::vector<WORD>(6, FN_CHANGE));

  SetWindowTextW(field.hwnd(), L"E:\\x");
  EXPECT_EQ(field.Text(), "E:\\x");
  EXPECT_EQ(Codes().size(), 6u);
}

TEST_F(FolderFieldTest, ControlCharactersAreNotTypedAndTheNoBreakSpaceIs) {
  field.SetText("C:\\x");
  SendMessageW(edit, EM_SETSEL, 4, 4);
  for (wchar_t ch : {L'\r', L'\n', L'\x1b', L'\t', L'\x7f', L'\x9f'}) Char(ch);
  EXPECT_EQ(field.Text(), "C:\\x");
  EXPECT_EQ(Codes(), kNoCodes);
  Char(L'\xa0');
  EXPECT_EQ(field.Text(), "C:\\x\u00a0");
  EXPECT_EQ(Codes(), kChange);
}

TEST_F(FolderFieldTest, CtrlASelectsTheWholeText) {
  field.SetText("C:\\tftp");
  SendMessageW(edit, EM_SETSEL, 2, 2);
  Char(0x01);
  DWORD start = 9;
  EXPECT_EQ(SelectionEnd(edit, &start), 7u);
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(field.Text(), "C:\\tftp");
}

// --- the locked state ------------------------------------------------------

TEST_F(FolderFieldTest, LockedFieldRefusesEveryChangeButCanBeFocusedAndCopied) {
  field.SetText("C:\\logs");
  field.SetReadOnly(true);
  EXPECT_TRUE(field.ReadOnly());
  ASSERT_TRUE(SetClipboardUtf16(L"zzz"));
  SendMessageW(edit, EM_SETSEL, 2, 2);
  for (wchar_t ch : {L'x', L'\b', L'\x16', L'\x18', L'\x1a'}) Char(ch);
  Key(VK_DELETE);
  SetShift(true);
  Key(VK_INSERT);  // Shift+Insert pastes
  Key(VK_DELETE);  // Shift+Delete cuts
  SetShift(false);
  SelectAll();
  for (UINT msg : {UINT{WM_PASTE}, UINT{WM_CUT}, UINT{WM_CLEAR}, UINT{WM_UNDO}, UINT{EM_UNDO}})
    SendMessageW(edit, msg, 0, 0);
  EXPECT_EQ(field.Text(), "C:\\logs");
  EXPECT_EQ(Codes(), kNoCodes);

  SetFocus(other);
  SetFocus(field.hwnd());  // the field hands the focus to its EDIT
  EXPECT_EQ(GetFocus(), edit);
  SelectAll();
  SendMessageW(edit, WM_COPY, 0, 0);
  EXPECT_EQ(ClipboardUtf16(), L"C:\\logs");

  field.SetText("D:\\other");  // the program can still set the text
  EXPECT_EQ(field.Text(), "D:\\other");
  EXPECT_EQ(Codes(), kNoCodes);

  field.SetReadOnly(false);
  Char(L'x');
  EXPECT_EQ(Codes(), kChange);
}

TEST_F(FolderFieldTest, TextLineIsCentredAndTheHiddenButtonGivesItTheWholeWidth) {
  const auto textWidth = [&] {
    const RECT r = RectIn(field.hwnd(), edit);
    return r.right - r.left;
  };
  const RECT client = Client();
  const RECT line = RectIn(field.hwnd(), edit);
  TEXTMETRICW tm{};
  const HDC dc = GetDC(edit);
  const HGDIOBJ old = SelectObject(dc, host.font());
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(edit, dc);
  EXPECT_EQ(line.left, 0);
  EXPECT_EQ(line.bottom - line.top, tm.tmHeight);
  EXPECT_EQ(line.top, (client.bottom - tm.tmHeight) / 2);
  EXPECT_EQ(textWidth(), client.right - kDefaultBrowseButtonWidth);  // 96 DPI

  struct Case {
    bool visible;
    int buttonWidth;
    int textWidth;
  };
  const Case cases[] = {
      {false, 15, client.right},
      {true, 15, client.right - 15},
      {true, 24, client.right - 24},
      {false, 24, client.right},
  };
  for (const Case& c : cases) {
    field.SetButtonVisible(c.visible);
    field.SetButtonWidth(c.buttonWidth);
    EXPECT_EQ(field.ButtonVisible(), c.visible);
    EXPECT_EQ(textWidth(), c.textWidth) << c.visible << " " << c.buttonWidth;
  }
}

TEST_F(FolderFieldTest, NeitherALockedNorADisabledFieldBrowses) {
  field.SetReadOnly(true);
  field.Browse();
  ClickButton();
  AltDown();
  field.SetReadOnly(false);
  EnableWindow(field.hwnd(), FALSE);
  EXPECT_FALSE(IsWindowEnabled(edit));
  field.Browse();
  ClickButton();
  AltDown();
  EXPECT_EQ(shell.browses, 0);
  EXPECT_EQ(Codes(), kNoCodes);
  EnableWindow(field.hwnd(), TRUE);
  EXPECT_TRUE(IsWindowEnabled(edit));
  ClickButton();
  EXPECT_EQ(shell.browses, 1);
}

// --- browsing --------------------------------------------------------------

TEST_F(FolderFieldTest, ConfirmedBrowseWritesThePathAndRaisesChangeEachTime) {
  field.SetTitle("Select Folder");
  field.SetPrompt(kPrompt);
  field.SetText("C:\\tftp-old");
  ClickButton();
  EXPECT_EQ(shell.browses, 1);
  EXPECT_EQ(shell.parsed, std::vector<std::string>{"C:\\tftp-old"});
  EXPECT_EQ(shell.caption, "Select Folder");
  EXPECT_EQ(shell.request.prompt, kPrompt);
  EXPECT_EQ(shell.request.owner, host.hwnd());
  EXPECT_EQ(field.Text(), "C:\\tftp");
  EXPECT_EQ(Codes(), kChange);
  EXPECT_EQ(GetCapture(), nullptr);

  // The same folder again is still a change; and the window holding the field
  // comes back to the front, where the browser had been.
  NotifyHost browserStandIn(200, 100, L"Browser");
  shell.whileOpen = [&] { SetForegroundWindow(browserStandIn.hwnd()); };
  ClickButton();
  EXPECT_EQ(field.Text(), "C:\\tftp");
  EXPECT_EQ(Codes(), std::vector<WORD>(2, FN_CHANGE));
  EXPECT_EQ(GetForegroundWindow(), host.hwnd());
}

TEST_F(FolderFieldTest, CancelledBrowseChangesNothing) {
  NotifyHost browserStandIn(200, 100, L"Browser");
  field.SetText("C:\\keep");
  shell.answer = ScriptedShell::Answer::Cancel;
  shell.whileOpen = [&] { SetForegroundWindow(browserStandIn.hwnd()); };
  ClickButton();
  EXPECT_EQ(shell.browses, 1);
  EXPECT_EQ(field.Text(), "C:\\keep");
  EXPECT_EQ(Codes(), kNoCodes);
  EXPECT_EQ(GetForegroundWindow(), browserStandIn.hwnd());
}

TEST_F(FolderFieldTest, ConfirmedItemWithoutAPathEmptiesTheText) {
  field.SetText("C:\\tftp");
  shell.answer = ScriptedShell::Answer::OkVirtual;
  field.Browse();
  EXPECT_EQ(field.Text(), "");
  EXPECT_EQ(Codes(), kChange);
}

TEST_F(FolderFieldTest, FieldDestroyedWhileTheBrowserIsOpenIsLeftAlone) {
  shell.whileOpen = [&] { DestroyWindow(field.hwnd()); };
  ClickButton();
  EXPECT_EQ(shell.browses, 1);
  EXPECT_FALSE(IsWindow(field.hwnd()));
  EXPECT_EQ(Codes(), kNoCodes);
}

TEST_F(FolderFieldTest, PathsComeBackFromTheAnsiCodePage) {
  if (GetACP() != 1252) GTEST_SKIP() << "needs code page 1252";
  shell.okPath = "C:\\Caf\xe9";  // Windows-1252, the Wine prefix's code page
  field.Browse();
  EXPECT_EQ(field.Text(), "C:\\Caf\xc3\xa9");
  field.Browse();
  EXPECT_EQ(shell.parsed.back(), "C:\\Caf\xe9");
}

TEST_F(FolderFieldTest, ButtonReleasedOutsideDoesNotBrowse) {
  ClickButton(-40);
  EXPECT_EQ(shell.browses, 0);
  EXPECT_EQ(GetCapture(), nullptr);
  ClickButton(+40);  // beyond the field's right edge
  EXPECT_EQ(shell.browses, 0);
}

TEST_F(FolderFieldTest, ButtonNeverTakesTheFocus) {
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
  EXPECT_EQ(Codes(), kChange);

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
  SetShift(true);
  Key(VK_F4);  // with a modifier the shortcut does not have
  SetShift(false);
  EXPECT_EQ(shell.browses, 2);
}

TEST_F(FolderFieldTest, BackgroundColourIsTheFieldsBrush) {
  const HDC dc = GetDC(edit);
  const auto brushColour = [&](UINT msg) {
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
        field.hwnd(), msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit)));
    LOGBRUSH lb{};
    GetObjectW(brush, sizeof lb, &lb);
    return lb.lbColor;
  };
  EXPECT_EQ(brushColour(WM_CTLCOLOREDIT), GetSysColor(COLOR_WINDOW));
  field.SetReadOnly(true);
  field.SetColor(RGB(1, 2, 3));
  EXPECT_EQ(field.Color(), RGB(1, 2, 3));
  EXPECT_EQ(brushColour(WM_CTLCOLORSTATIC), RGB(1, 2, 3));
  EXPECT_EQ(GetBkColor(dc), RGB(1, 2, 3));
  ReleaseDC(edit, dc);
}

TEST_F(FolderFieldTest, InADialogTabSelectsTheTextAndEnterAndEscReachTheButtons) {
  test::TestDialog dialog;
  const FolderField first =
      FolderField::Create(dialog.hwnd(), 401, RECT{10, 10, 200, 31}, {&shell});
  const FolderField second =
      FolderField::Create(dialog.hwnd(), 402, RECT{10, 40, 200, 61}, {&shell});
  second.SetText("C:\\logs");
  // Tab order: the two fields, then OK and Cancel.
  SetWindowPos(second.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetWindowPos(first.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetFocus(first.Edit());
  dialog.Run();

  dialog.PressKey(VK_TAB);
  EXPECT_EQ(GetFocus(), second.Edit());
  DWORD start = 9;
  EXPECT_EQ(SelectionEnd(second.Edit(), &start), 7u);
  EXPECT_EQ(start, 0u);
  dialog.PressKey(VK_RETURN);
  dialog.PressKey(VK_ESCAPE);
  EXPECT_EQ(dialog.Commands(), (std::vector<int>{IDOK, IDCANCEL}));
  EXPECT_EQ(second.Text(), "C:\\logs");
  EXPECT_EQ(shell.browses, 0);
}

// --- the real folder browser -----------------------------------------------

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
  void SetUp() override { BrowserWatch::current = &watch; }
  void TearDown() override { BrowserWatch::current = nullptr; }

  void BrowseAnswering(int answer) {
    watch.answer = answer;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, BrowserWatch::OnTimer);
    field.Browse();
    KillTimer(nullptr, timer);
  }

  NotifyHost host;
  FolderField field = FolderField::Create(host.hwnd(), kId, RECT{10, 10, 210, 31});
  BrowserWatch watch;
};

TEST_F(RealBrowserTest, OpensWithCaptionPromptAndFolderAndOkWritesItBack) {
  char windows[MAX_PATH] = {};
  ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
  field.SetTitle("Select Folder");
  field.SetPrompt(kPrompt);
  field.SetText(windows);
  BrowseAnswering(IDOK);

  ASSERT_TRUE(watch.seen);
  EXPECT_EQ(watch.caption, L"Select Folder");
  EXPECT_TRUE(watch.ShowsText(Widen(kPrompt)));
  // OK without moving returns the preselected folder, as the shell spells it.
  EXPECT_EQ(
      CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, field.Text().c_str(), -1, windows, -1),
      CSTR_EQUAL)
      << field.Text();
  EXPECT_EQ(host.Codes(kId), kChange);
  EXPECT_TRUE(IsWindowEnabled(host.hwnd()));

  // COM was initialised for the browse only.
  const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  EXPECT_EQ(hr, S_OK);
  if (SUCCEEDED(hr)) CoUninitialize();
}

TEST_F(RealBrowserTest, LogDirectoryBrowserHasNoCaptionAndCancelKeepsTheText) {
  field.SetText("C:\\no\\such\\folder");
  BrowseAnswering(IDCANCEL);
  ASSERT_TRUE(watch.seen);
  EXPECT_EQ(watch.caption, L"");
  EXPECT_FALSE(watch.ShowsText(Widen(kPrompt)));
  EXPECT_EQ(field.Text(), "C:\\no\\such\\folder");
  EXPECT_EQ(host.Codes(kId), kNoCodes);
}

}  // namespace
}  // namespace tftpcfg
