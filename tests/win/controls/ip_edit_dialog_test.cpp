// The IP address field inside a dialog made from a template and run by
// IsDialogMessage, as the rule dialog is, driven with real keyboard input
// (SendInput): one tab stop, Tab and Shift+Tab out of the parts, Enter and Esc
// left to the dialog's buttons.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/ip_edit.h"
#include "platform/win32/win_text.h"

namespace tftpcfg {
namespace {

constexpr WORD kEditId = 100;
constexpr WORD kFieldId = 200;

// An in-memory dialog template.
class DialogTemplate {
 public:
  DialogTemplate(WORD items, short cx, short cy) {
    Dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_SETFONT | DS_MODALFRAME);
    Dword(0);
    words_.push_back(items);
    for (short v : {short{20}, short{20}, cx, cy}) words_.push_back(static_cast<WORD>(v));
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the dialog class
    String(L"Rule");
    words_.push_back(8);
    String(L"MS Sans Serif");
  }
  void Item(const wchar_t* cls, const wchar_t* text, WORD id, DWORD style, DWORD exStyle, short x,
            short y, short cx, short cy) {
    if (words_.size() % 2) words_.push_back(0);  // items start on a DWORD boundary
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(exStyle);
    for (short v : {x, y, cx, cy}) words_.push_back(static_cast<WORD>(v));
    words_.push_back(id);
    String(cls);
    String(text);
    words_.push_back(0);  // no creation data
  }
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Dword(DWORD v) {
    words_.push_back(LOWORD(v));
    words_.push_back(HIWORD(v));
  }
  void String(const wchar_t* s) {
    while (*s) words_.push_back(*s++);
    words_.push_back(0);
  }
  std::vector<WORD> words_;
};

class IpEditDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TElIPEdit::RegisterClasses());
    DialogTemplate t(4, 150, 50);
    t.Item(L"EDIT", L"", kEditId, WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, 5, 5, 40, 12);
    t.Item(TElIPEdit::kClassName, L"", kFieldId, WS_TABSTOP, WS_EX_CLIENTEDGE, 50, 5, 80, 13);
    t.Item(L"BUTTON", L"OK", IDOK, WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 5, 25, 40, 14);
    t.Item(L"BUTTON", L"Cancel", IDCANCEL, WS_TABSTOP, 0, 50, 25, 40, 14);
    dialog_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.get(), nullptr, DialogProc,
                                         reinterpret_cast<LPARAM>(this));
    ASSERT_TRUE(dialog_);
    field_ = TElIPEdit::FromHandle(GetDlgItem(dialog_, kFieldId));
    ASSERT_TRUE(field_);
    SetForegroundWindow(dialog_);
    SetFocus(GetDlgItem(dialog_, kEditId));
    Pump();
  }
  void TearDown() override {
    if (dialog_) DestroyWindow(dialog_);
  }

  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
      SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
      return FALSE;  // the test sets the focus
    }
    auto* self = reinterpret_cast<IpEditDialogTest*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (msg == WM_COMMAND && self) {
      if (LOWORD(wParam) == kFieldId && HIWORD(wParam) == kNotifyChange) {
        ++self->changes_;
      } else if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        self->commands_.push_back(LOWORD(wParam));
      }
      return TRUE;
    }
    return FALSE;
  }

  // Runs the dialog's message loop until the input sent so far is handled.
  void Pump() {
    const DWORD start = GetTickCount();
    DWORD idleSince = start;
    while (GetTickCount() - start < 3000 && GetTickCount() - idleSince < 60) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        idleSince = GetTickCount();
        if (!IsDialogMessageW(dialog_, &msg)) {
          TranslateMessage(&msg);
          DispatchMessageW(&msg);
        }
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
  }

  static INPUT KeyInput(WORD vk, WORD scan, DWORD flags) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = scan;
    in.ki.dwFlags = flags;
    return in;
  }
  void Send(std::vector<INPUT> inputs) {
    ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)),
              inputs.size());
    Pump();
  }
  void Type(std::wstring_view text) {
    std::vector<INPUT> inputs;
    for (wchar_t ch : text) {
      inputs.push_back(KeyInput(0, ch, KEYEVENTF_UNICODE));
      inputs.push_back(KeyInput(0, ch, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
    }
    Send(inputs);
  }
  void Tap(WORD vk, bool shift = false) {
    std::vector<INPUT> inputs;
    if (shift) inputs.push_back(KeyInput(VK_SHIFT, 0, 0));
    inputs.push_back(KeyInput(vk, 0, 0));
    inputs.push_back(KeyInput(vk, 0, KEYEVENTF_KEYUP));
    if (shift) inputs.push_back(KeyInput(VK_SHIFT, 0, KEYEVENTF_KEYUP));
    Send(inputs);
  }

  HWND Item(int id) const { return GetDlgItem(dialog_, id); }
  HWND Part(int i) const { return field_->PartHandle(i); }

  HWND dialog_ = nullptr;
  TElIPEdit* field_ = nullptr;
  int changes_ = 0;
  std::vector<int> commands_;
};

TEST_F(IpEditDialogTest, TabEntersPart1AndTypingFillsTheAddress) {
  ASSERT_EQ(GetFocus(), Item(kEditId));
  Tap(VK_TAB);
  ASSERT_EQ(GetFocus(), Part(0));
  DWORD start = 9, end = 9;
  SendMessageW(Part(0), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 1u);

  Type(L"192.168.1.20");
  EXPECT_EQ(field_->IPString(), "192.168.1.20");
  EXPECT_EQ(GetFocus(), Part(3));
  EXPECT_EQ(changes_, 9);

  Tap(VK_TAB);  // from the last part, and likewise from any other, to the next control
  EXPECT_EQ(GetFocus(), Item(IDOK));
  Tap(VK_TAB, true);  // back into the field from outside: Part1
  EXPECT_EQ(GetFocus(), Part(0));
  Tap(VK_TAB, true);  // out of the field backwards
  EXPECT_EQ(GetFocus(), Item(kEditId));
  EXPECT_TRUE(commands_.empty());
}

TEST_F(IpEditDialogTest, TabFromAMiddlePartLeavesTheFieldAndEnterAndEscapeReachTheButtons) {
  SetFocus(Part(2));
  Tap(VK_TAB);
  EXPECT_EQ(GetFocus(), Item(IDOK));
  SetFocus(Part(1));
  Tap(VK_TAB, true);
  EXPECT_EQ(GetFocus(), Item(kEditId));

  field_->SetIPString("10.0.0.7");
  SetFocus(Part(3));
  Tap(VK_RETURN);
  ASSERT_EQ(commands_.size(), 1u);
  EXPECT_EQ(commands_[0], IDOK);
  Tap(VK_ESCAPE);
  ASSERT_EQ(commands_.size(), 2u);
  EXPECT_EQ(commands_[1], IDCANCEL);
  EXPECT_EQ(field_->IPString(), "10.0.0.7");
  EXPECT_EQ(GetWindowTextUtf8(Part(3)), "7");
}

TEST_F(IpEditDialogTest, TemplateFieldTakesTheDialogFontAndLaysOutItsParts) {
  const auto font = SendMessageW(dialog_, WM_GETFONT, 0, 0);
  ASSERT_NE(font, 0);
  EXPECT_EQ(SendMessageW(field_->Handle(), WM_GETFONT, 0, 0), font);
  RECT inner{}, part{};
  GetClientRect(field_->Handle(), &inner);
  GetWindowRect(Part(3), &part);
  MapWindowPoints(HWND_DESKTOP, field_->Handle(), reinterpret_cast<POINT*>(&part), 2);
  EXPECT_EQ(part.left, 3 * ((inner.right - 15) / 4 + 5));
  EXPECT_EQ(SendMessageW(Part(3), WM_GETFONT, 0, 0), font);
  EXPECT_EQ(field_->IPString(), "0.0.0.0");
}

}  // namespace
}  // namespace tftpcfg
