#include "toolkit/message_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/fatal_error.h"
#include "platform/win32/dpi.h"
#include "platform/win32/gdi.h"
#include "platform/win32/win_handles.h"
#include "platform/win32/win_text.h"
#include "toolkit/dialog_window.h"
#include "toolkit/layout.h"

namespace tftpcfg {
namespace {

// Design sizes in 96-DPI units.
constexpr int kMargin = 11;
constexpr int kIconGap = 11;     // between the icon and the text
constexpr int kButtonsGap = 14;  // between the text and the buttons
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonSpacing = 7;
constexpr int kMinTextWrap = 200;  // the wrap width never goes below this

struct Button {
  int id;
  const wchar_t* caption;
};

struct Kind {
  const wchar_t* caption;
  const wchar_t* icon;
  std::vector<Button> buttons;  // the first is the default button
};

Kind KindOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::Error:
      return {L"Error", IDI_ERROR, {{IDOK, L"OK"}}};
    case MessageKind::Information:
      return {L"Information", IDI_INFORMATION, {{IDOK, L"OK"}}};
    case MessageKind::Confirmation:
      break;
  }
  return {L"Confirm", IDI_QUESTION, {{IDYES, L"&Yes"}, {IDNO, L"&No"}}};
}

// A carriage return, a line feed or both together end a line; the text
// control breaks lines at CR LF.
std::wstring WithLineBreaks(std::string_view text) {
  const std::wstring wide = Widen(text);
  std::wstring out;
  out.reserve(wide.size() + 8);
  for (size_t i = 0; i < wide.size(); ++i) {
    const wchar_t c = wide[i];
    if (c == L'\r' || c == L'\n') {
      out += L"\r\n";
      if (c == L'\r' && i + 1 < wide.size() && wide[i + 1] == L'\n') ++i;
    } else {
      out += c;
    }
  }
  return out;
}

// Disables the thread's visible, enabled top-level windows for as long as the
// dialog is open, and enables them again before the dialog goes, so that the
// activation returns to them.
class ThreadWindowsDisabled {
 public:
  ThreadWindowsDisabled() {
    EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(&windows_));
    for (HWND w : windows_) EnableWindow(w, FALSE);
  }
  ThreadWindowsDisabled(const ThreadWindowsDisabled&) = delete;
  ThreadWindowsDisabled& operator=(const ThreadWindowsDisabled&) = delete;
  ~ThreadWindowsDisabled() { Restore(); }
  void Restore() {
    for (HWND w : windows_)
      if (IsWindow(w)) EnableWindow(w, TRUE);
    windows_.clear();
  }

 private:
  static BOOL CALLBACK Collect(HWND hwnd, LPARAM list) {
    if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd))
      reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
  }
  std::vector<HWND> windows_;
};

void PlaceChild(HWND control, int x, int y, int cx, int cy) {
  SetWindowPos(control, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The text's size when wrapped at most at maxWidth pixels.
SIZE MeasureText(HWND dialog, HFONT font, const std::wstring& text, int maxWidth) {
  RECT rc{0, 0, maxWidth, 0};
  const WindowDC dc(dialog);
  if (!dc) return SIZE{maxWidth, 0};
  const SelectedObject selected(dc.get(), font);
  DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &rc,
            DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

// A system icon drawn at the given size: scaled down from the system's
// largest image where common controls 6 can (it has LoadIconWithScaleDown),
// else stretched from the standard one.
UniqueIcon SystemIcon(const wchar_t* id, int size) {
  using LoadIconWithScaleDownFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
  const HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
  const auto scaleDown = comctl ? reinterpret_cast<LoadIconWithScaleDownFn>(reinterpret_cast<void*>(
                                      GetProcAddress(comctl, "LoadIconWithScaleDown")))
                                : nullptr;
  HICON icon = nullptr;
  if (scaleDown && SUCCEEDED(scaleDown(nullptr, id, size, size, &icon))) return UniqueIcon(icon);
  return UniqueIcon(
      static_cast<HICON>(CopyImage(LoadIconW(nullptr, id), IMAGE_ICON, size, size, 0)));
}

HWND AddChild(HWND dialog, const wchar_t* cls, const wchar_t* text, DWORD style, int id) {
  const HWND h = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, dialog,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
  if (h == nullptr) throw FatalError("The message dialog could not create its controls.");
  return h;
}

class MessageDialog final : public DialogWindow {
 public:
  MessageDialog(MessageKind kind, std::wstring text, ThreadWindowsDisabled& others)
      : kind_(kind), text_(std::move(text)), others_(others) {}

  // Shows the dialog over owner; -1 when it could not be made.
  INT_PTR Run(HWND owner) {
    // Visible from the start, as a system message box is: a modal loop would
    // otherwise show it only once its queue first runs empty.
    const DialogTemplate tpl(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0,
                             KindOf(kind_).caption);
    return RunModal(GetModuleHandleW(nullptr), tpl, owner);
  }
  MessageResult Answer() const { return result_; }

 private:
  void OnCreate() override {
    const Kind kind = KindOf(kind_);
    AddChild(Handle(), WC_STATICW, L"", SS_ICON, kMessageIconId);
    AddChild(Handle(), WC_STATICW, text_.c_str(), SS_LEFT | SS_NOPREFIX, kMessageTextId);
    bool first = true;
    for (const Button& b : kind.buttons) {
      AddChild(Handle(), WC_BUTTONW, b.caption,
               WS_TABSTOP | (first ? WS_GROUP | BS_DEFPUSHBUTTON : BS_PUSHBUTTON), b.id);
      first = false;
    }
    SendMessageW(Handle(), DM_SETDEFID, static_cast<WPARAM>(kind.buttons.front().id), 0);
    SetFontRecursive(Handle(), Font());
    OnDpiChanged();
    // Centred on the screen when it opens; after a move to a monitor of
    // another DPI, where the system puts it.
    const SIZE client = Layout();
    Place({0, 0}, client);
    CentreOnScreen(Handle());
    SendMessageW(Handle(), WM_NEXTDLGCTL,
                 reinterpret_cast<WPARAM>(GetDlgItem(Handle(), kind.buttons.front().id)), TRUE);
  }

  // The kind's system icon at the size of the DPI.
  void OnDpiChanged() override {
    UniqueIcon icon = SystemIcon(KindOf(kind_).icon, SystemMetricForDpi(SM_CXICON, Dpi()));
    SendMessageW(GetDlgItem(Handle(), kMessageIconId), STM_SETICON,
                 reinterpret_cast<WPARAM>(icon.get()), 0);
    icon_ = std::move(icon);  // the control has let go of the one before
  }

  SIZE Layout() override {
    const UINT dpi = Dpi();
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    GetMonitorInfoW(MonitorFromWindow(Handle(), MONITOR_DEFAULTTOPRIMARY), &mi);
    const int wrap =
        std::max(Scale(kMinTextWrap, dpi), static_cast<int>(mi.rcWork.right - mi.rcWork.left) / 2);
    const SIZE text = MeasureText(Handle(), Font(), text_, wrap);
    const int icon = SystemMetricForDpi(SM_CXICON, dpi);
    const int margin = Scale(kMargin, dpi);

    const int textLeft = margin + icon + Scale(kIconGap, dpi);
    // A text shorter than the icon is centred on it.
    const int textTop = margin + std::max(0, (icon - static_cast<int>(text.cy)) / 2);
    const int bodyHeight = std::max(icon, static_cast<int>(text.cy));

    const std::vector<Button>& buttons = KindOf(kind_).buttons;
    const int count = static_cast<int>(buttons.size());
    const int buttonWidth = Scale(kButtonWidth, dpi);
    const int buttonHeight = Scale(kButtonHeight, dpi);
    const int spacing = Scale(kButtonSpacing, dpi);
    const int rowWidth = count * buttonWidth + (count - 1) * spacing;

    const int clientWidth =
        std::max(textLeft + static_cast<int>(text.cx) + margin, 2 * margin + rowWidth);
    const int rowTop = margin + bodyHeight + Scale(kButtonsGap, dpi);
    const int clientHeight = rowTop + buttonHeight + margin;

    PlaceChild(GetDlgItem(Handle(), kMessageIconId), margin, margin, icon, icon);
    // One pixel more than measured, so the control wraps exactly as measured.
    PlaceChild(GetDlgItem(Handle(), kMessageTextId), textLeft, textTop, text.cx + 1, text.cy);
    int x = (clientWidth - rowWidth) / 2;
    for (const Button& b : buttons) {
      PlaceChild(GetDlgItem(Handle(), b.id), x, rowTop, buttonWidth, buttonHeight);
      x += buttonWidth + spacing;
    }
    return SIZE{clientWidth, clientHeight};
  }

  INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM) override {
    switch (msg) {
      case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) return FALSE;
        switch (LOWORD(wParam)) {
          case IDOK:
            Finish(MessageResult::Ok);
            return TRUE;
          case IDYES:
            Finish(MessageResult::Yes);
            return TRUE;
          case IDNO:
            Finish(MessageResult::No);
            return TRUE;
          case IDCANCEL:  // Esc: the Esc button answers
            Finish(kind_ == MessageKind::Confirmation ? MessageResult::No : MessageResult::Ok);
            return TRUE;
          default:
            return FALSE;
        }
      case WM_CLOSE:  // the close box, Alt+F4, the system menu
        Finish(MessageResult::Closed);
        return TRUE;
      case WM_HELP:
        // The dialog offers no help, and the request goes no further.
        return Result(TRUE);
      default:
        return FALSE;
    }
  }

  // The dialog cannot go on as it should: it closes, counting as closed, and
  // the error is shown.
  void OnError(const std::exception& error) override {
    Finish(MessageResult::Closed);
    DialogWindow::OnError(error);
  }

  void Finish(MessageResult result) {
    result_ = result;
    // The other windows come back before this one goes, so one of them is
    // activated in its place.
    others_.Restore();
    EndDialog(Handle(), 0);
  }

  MessageKind kind_;
  std::wstring text_;
  ThreadWindowsDisabled& others_;
  UniqueIcon icon_;
  MessageResult result_ = MessageResult::Closed;
};

}  // namespace

MessageResult ShowMessageDialog(HWND owner, MessageKind kind, std::string_view text) {
  const HWND previous = GetActiveWindow();
  ThreadWindowsDisabled others;
  const std::wstring wideText = WithLineBreaks(text);
  MessageDialog dialog(kind, wideText, others);
  const INT_PTR shown = dialog.Run(owner ? GetAncestor(owner, GA_ROOT) : nullptr);
  others.Restore();
  if (previous && IsWindow(previous)) SetActiveWindow(previous);
  if (shown == -1) {
    // Without the dialog, the system's own box still tells the user.
    const int answer =
        MessageBoxW(owner, wideText.c_str(), KindOf(kind).caption,
                    MB_TASKMODAL | (kind == MessageKind::Confirmation ? MB_YESNO | MB_ICONQUESTION
                                    : kind == MessageKind::Error      ? MB_OK | MB_ICONERROR
                                                                 : MB_OK | MB_ICONINFORMATION));
    return answer == IDYES  ? MessageResult::Yes
           : answer == IDNO ? MessageResult::No
                            : MessageResult::Ok;
  }
  return dialog.Answer();
}

}  // namespace tftpcfg
