#include "controls/folder_edit.h"

#include <commctrl.h>
#include <shlobj.h>
#include <vsstyle.h>
#include <windowsx.h>

#include <algorithm>

#include "controls/control_notify.h"
#include "controls/edit_command_model.h"
#include "platform/win32/win_text.h"

namespace tftpcfg {
namespace {

constexpr wchar_t kFieldClass[] = L"TElFolderNameEdit";
constexpr wchar_t kButtonClass[] = L"TElFolderButton";
constexpr UINT_PTR kEditSubclassId = 1;
constexpr int kEditId = 1;
constexpr int kButtonId = 2;

IFolderBrowserShell* g_testShell = nullptr;

// The browse button's picture, 13 x 11: a folder. '#' outline, '.' fill.
constexpr int kGlyphWidth = 13;
constexpr int kGlyphHeight = 11;
constexpr const char* kGlyph[kGlyphHeight] = {
    " ####        ",  //
    "#....#       ",  //
    "#....####### ",  //
    "#..........# ",  //
    "#..........# ",  //
    "#..........# ",  //
    "#..........# ",  //
    "#..........# ",  //
    "#..........# ",  //
    "#..........# ",  //
    "############ ",  //
};
constexpr COLORREF kFolderFill = RGB(0xF4, 0xCE, 0x62);

std::wstring AnsiToWide(const std::string& ansi) {
  if (ansi.empty()) return {};
  const int n =
      MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
  return wide;
}

LPITEMIDLIST AsPidl(ShellItemId item) {
  return static_cast<LPITEMIDLIST>(item);
}

class WinFolderBrowserShell final : public IFolderBrowserShell {
 public:
  ShellItemId ParseDisplayName(const std::string& ansiPath) override {
    ComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.put())) || !desktop) return nullptr;
    std::wstring wide = AnsiToWide(ansiPath);
    if (wide.empty()) return nullptr;
    UniquePidl item;
    ULONG eaten = 0;
    if (FAILED(desktop.get()->ParseDisplayName(nullptr, nullptr, wide.data(), &eaten, item.put(),
                                               nullptr)))
      return nullptr;
    return item.release();
  }

  ShellItemId SpecialFolderLocation(WindowRef owner, int folder) override {
    UniquePidl item;
    if (FAILED(SHGetSpecialFolderLocation(static_cast<HWND>(owner), folder, item.put())))
      return nullptr;
    return item.release();
  }

  ShellItemId CloneItem(ShellItemId item) override { return ILClone(AsPidl(item)); }

  void FreeItem(ShellItemId item) override { UniquePidl owned(AsPidl(item)); }

  bool PathFromItem(ShellItemId item, std::string& ansiPath) override {
    char path[MAX_PATH] = {};
    if (!SHGetPathFromIDListA(AsPidl(item), path)) return false;
    ansiPath = path;
    return true;
  }

  ShellItemId BrowseForFolder(const FolderBrowseRequest& request,
                              IFolderBrowserEvents& events) override {
    BROWSEINFOA info{};
    info.hwndOwner = static_cast<HWND>(request.owner);
    info.pidlRoot = AsPidl(request.root);
    info.pszDisplayName = request.displayName;
    info.lpszTitle = request.prompt.c_str();
    info.ulFlags = request.flags;
    info.lpfn = Callback;
    info.lParam = reinterpret_cast<LPARAM>(&events);
    const ComApartment com(COINIT_APARTMENTTHREADED);
    return SHBrowseForFolderA(&info);
  }

  void SetCaption(WindowRef browser, const std::string& ansi) override {
    SetWindowTextA(static_cast<HWND>(browser), ansi.c_str());
  }

  void SetSelection(WindowRef browser, ShellItemId item) override {
    SendMessageA(static_cast<HWND>(browser), BFFM_SETSELECTIONA, FALSE,
                 reinterpret_cast<LPARAM>(item));
  }

 private:
  static int CALLBACK Callback(HWND hwnd, UINT msg, LPARAM lParam, LPARAM data) {
    auto* events = reinterpret_cast<IFolderBrowserEvents*>(data);
    try {
      if (msg == BFFM_INITIALIZED) events->Initialized(hwnd);
      if (msg == BFFM_SELCHANGED) events->SelectionChanged(hwnd, reinterpret_cast<void*>(lParam));
    } catch (...) {
      // The browser is the shell's; nothing may unwind through it.
    }
    return 0;
  }
};

IFolderBrowserShell& CurrentShell() {
  return g_testShell != nullptr ? *g_testShell : SystemFolderBrowserShell();
}

void DrawFolderGlyph(HDC dc, const RECT& area, int scale, bool disabled) {
  const UniqueBrush outline(
      CreateSolidBrush(GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT)));
  const UniqueBrush fill(CreateSolidBrush(kFolderFill));
  const int left = area.left + (area.right - area.left - kGlyphWidth * scale) / 2;
  const int top = area.top + (area.bottom - area.top - kGlyphHeight * scale) / 2;
  for (int y = 0; y < kGlyphHeight; ++y) {
    for (int x = 0; x < kGlyphWidth; ++x) {
      const char c = kGlyph[y][x];
      if (c == ' ' || (c == '.' && disabled)) continue;
      const RECT px{left + x * scale, top + y * scale, left + (x + 1) * scale,
                    top + (y + 1) * scale};
      FillRect(dc, &px, c == '#' ? outline.get() : fill.get());
    }
  }
}

}  // namespace

IFolderBrowserShell& SystemFolderBrowserShell() {
  static WinFolderBrowserShell shell;
  return shell;
}

void TElFolderNameEdit::SetShellForTesting(IFolderBrowserShell* shell) {
  g_testShell = shell;
}

TElFolderNameEdit::TElFolderNameEdit(PassKey) {}

TElFolderNameEdit::~TElFolderNameEdit() {
  *alive_ = false;
}

TElFolderNameEdit* TElFolderNameEdit::Create(HWND parent, int id, const RECT& rect) {
  RegisterFieldClass(kFieldClass, FieldProc, LoadCursorW(nullptr, IDC_IBEAM));
  RegisterFieldClass(kButtonClass, ButtonProc, LoadCursorW(nullptr, IDC_ARROW));

  auto self = std::make_unique<TElFolderNameEdit>(PassKey{});
  return CreateFieldWindow(std::move(self), kFieldClass, parent, id, rect);
}

TElFolderNameEdit* TElFolderNameEdit::FromHandle(HWND hwnd) {
  return FieldFromHandle<TElFolderNameEdit>(hwnd, kFieldClass);
}

bool TElFolderNameEdit::CreateChildren() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  settingText_ = true;
  edit_ = CreateWindowExW(
      0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT, 0, 0, 0, 0,
      hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), instance, nullptr);
  settingText_ = false;
  button_ =
      CreateWindowExW(0, kButtonClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd_,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId)), instance, this);
  if (edit_ == nullptr || button_ == nullptr) return false;
  SetWindowSubclass(edit_, EditProc, kEditSubclassId, reinterpret_cast<DWORD_PTR>(this));
  frame_.Attach(hwnd_, edit_, button_);
  theme_ = OpenThemeIfActive(button_, L"Button");
  Layout();
  return true;
}

void TElFolderNameEdit::Layout() {
  if (edit_ == nullptr || button_ == nullptr) return;
  RECT rc{};
  GetClientRect(hwnd_, &rc);
  const int width = buttonVisible_ ? std::clamp(ScaleForWindow(hwnd_, buttonWidth_), 0,
                                                static_cast<int>(rc.right))
                                   : 0;
  MoveWindow(button_, rc.right - width, 0, width, rc.bottom, TRUE);
  ShowWindow(button_, buttonVisible_ ? SW_SHOWNA : SW_HIDE);
  MoveWindow(edit_, 0, 0, rc.right - width, rc.bottom, TRUE);
}

std::string TElFolderNameEdit::Text() const {
  return GetWindowTextUtf8(edit_);
}

void TElFolderNameEdit::SetText(std::string_view text) {
  settingText_ = true;
  SetWindowTextUtf8(edit_, text);
  settingText_ = false;
}

void TElFolderNameEdit::SetReadOnly(bool on) {
  readOnly_ = on;
  // The EDIT's own read-only state also greys the items of its pop-up menu.
  SendMessageW(edit_, EM_SETREADONLY, on ? TRUE : FALSE, 0);
}

void TElFolderNameEdit::SetButtonVisible(bool on) {
  buttonVisible_ = on;
  Layout();
}

void TElFolderNameEdit::SetButtonWidth(int pixels) {
  buttonWidth_ = std::max(0, pixels);
  Layout();
}

void TElFolderNameEdit::SetButtonShortcut(UINT vk, UINT modifiers) {
  shortcutVk_ = vk;
  shortcutModifiers_ = modifiers & (MOD_ALT | MOD_CONTROL | MOD_SHIFT);
}

void TElFolderNameEdit::SetColor(COLORREF color) {
  frame_.SetColor(color);
}

void TElFolderNameEdit::Browse() {
  if (!IsWindowEnabled(hwnd_) || readOnly_) return;
  // The browser runs a message loop of its own; keep what this browse needs
  // even if the window is destroyed meanwhile.
  const AliveToken alive = alive_;
  const std::shared_ptr<TElFolderDialog> dialog = dialog_;
  const HWND self = hwnd_;
  // The browser is modal to the window holding the field, so that window
  // cannot be closed under it.
  const HWND owner = GetAncestor(self, GA_ROOT);
  const WinAnsiCodec codec;
  const std::optional<std::string> path = dialog->Browse(CurrentShell(), codec, owner, Text());
  if (!*alive || !path) return;
  SetText(*path);
  SetForegroundWindow(owner);
  NotifyParent(self, kNotifyChange, alive);
}

// --- the field window ------------------------------------------------------

LRESULT CALLBACK TElFolderNameEdit::FieldProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return FieldWindowProc<TElFolderNameEdit>(hwnd, msg, wParam, lParam);
}

LRESULT TElFolderNameEdit::FieldMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (frame_.Handle(msg, wParam, lParam, result)) return result;
  switch (msg) {
    case WM_SIZE:
    case kWmDpiChangedAfterParent:
      Layout();
      return 0;
    case WM_COMMAND:
      if (edit_ == nullptr || reinterpret_cast<HWND>(lParam) != edit_) return 0;
      if (HIWORD(wParam) == EN_CHANGE && !settingText_) NotifyParent(hwnd_, kNotifyChange, alive_);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

// --- the EDIT --------------------------------------------------------------

LRESULT CALLBACK TElFolderNameEdit::EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR id, DWORD_PTR data) {
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, EditProc, id);
    return DefSubclassProc(hwnd, msg, wParam, lParam);
  }
  auto* self = reinterpret_cast<TElFolderNameEdit*>(data);
  try {
    return self->EditMessage(msg, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

bool TElFolderNameEdit::ShortcutMatches(UINT msg, WPARAM wParam, LPARAM lParam) const {
  if (shortcutVk_ == 0 || wParam != shortcutVk_) return false;
  const KeyModifiers mods = ModifiersFor(msg, lParam);
  return mods.alt == ((shortcutModifiers_ & MOD_ALT) != 0) &&
         mods.ctrl == ((shortcutModifiers_ & MOD_CONTROL) != 0) &&
         mods.shift == ((shortcutModifiers_ & MOD_SHIFT) != 0);
}

LRESULT TElFolderNameEdit::EditMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CHAR: {
      const auto ch = static_cast<char32_t>(wParam);
      switch (ClassifyChar(ch)) {
        case CharKind::Command: {
          const EditCommand command = CommandForChar(ch);
          if (command == EditCommand::SelectAll) {
            SendMessageW(edit_, EM_SETSEL, 0, -1);
            return 0;
          }
          if (readOnly_ && ChangesText(command)) return 0;
          break;
        }
        case CharKind::Backspace:
        case CharKind::Printable:
          if (readOnly_) return 0;
          break;
        case CharKind::Other:
          return 0;  // Enter, Esc and Tab belong to the window
      }
      break;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (ShortcutMatches(msg, wParam, lParam) && buttonVisible_ && IsWindowEnabled(button_)) {
        Browse();  // may end with the field destroyed: touch nothing after it
        return 0;
      }
      if (readOnly_ && IsTextChangingMessage(msg, wParam, ModifiersFor(msg, lParam))) return 0;
      break;
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
      // Also what the EDIT's pop-up menu sends.
      if (readOnly_) return 0;
      break;
    default:
      break;
  }
  return DefSubclassProc(edit_, msg, wParam, lParam);
}

// --- the browse button -----------------------------------------------------

LRESULT CALLBACK TElFolderNameEdit::ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TElFolderNameEdit* self = FieldFromWindow<TElFolderNameEdit>(hwnd, msg, lParam);
  if (self == nullptr || msg == WM_NCCREATE || msg == WM_NCDESTROY) {
    if (msg == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  try {
    return self->ButtonMessage(msg, wParam, lParam);
  } catch (...) {
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

LRESULT TElFolderNameEdit::ButtonMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      const HDC dc = BeginPaint(button_, &ps);
      PaintButton(dc);
      EndPaint(button_, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONDOWN:
      // The button never takes the focus; the EDIT keeps it.
      if (!IsWindowEnabled(button_)) return 0;
      pressed_ = true;
      pressedInside_ = true;
      SetCapture(button_);
      InvalidateRect(button_, nullptr, FALSE);
      return 0;
    case WM_MOUSEMOVE: {
      const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      RECT rc{};
      GetClientRect(button_, &rc);
      const bool inside = PtInRect(&rc, pt) != FALSE;
      if (pressed_) {
        if (inside != pressedInside_) {
          pressedInside_ = inside;
          InvalidateRect(button_, nullptr, FALSE);
        }
        return 0;
      }
      if (!hot_) {
        hot_ = true;
        InvalidateRect(button_, nullptr, FALSE);
      }
      if (!trackingLeave_) {
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, button_, 0};
        trackingLeave_ = TrackMouseEvent(&tme) != FALSE;
      }
      return 0;
    }
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      hot_ = false;
      InvalidateRect(button_, nullptr, FALSE);
      return 0;
    case WM_LBUTTONUP: {
      if (!pressed_) return 0;
      RECT rc{};
      GetClientRect(button_, &rc);
      const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      const bool click = PtInRect(&rc, pt) != FALSE;
      pressed_ = false;
      ReleaseCapture();
      InvalidateRect(button_, nullptr, FALSE);
      if (click) Browse();  // may end with the field destroyed: touch nothing after it
      return 0;
    }
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
      if (pressed_) {
        pressed_ = false;
        InvalidateRect(button_, nullptr, FALSE);
      }
      if (msg == WM_CANCELMODE && GetCapture() == button_) ReleaseCapture();
      return 0;
    case WM_ENABLE:
      InvalidateRect(button_, nullptr, FALSE);
      return 0;
    case WM_THEMECHANGED:
      theme_ = OpenThemeIfActive(button_, L"Button");
      InvalidateRect(button_, nullptr, TRUE);
      return 0;
    case WM_DESTROY:
      theme_.reset();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(button_, msg, wParam, lParam);
}

void TElFolderNameEdit::PaintButton(HDC dc) {
  RECT rc{};
  GetClientRect(button_, &rc);
  const bool disabled = !IsWindowEnabled(button_);
  const bool down = pressed_ && pressedInside_;
  if (theme_) {
    const int state = disabled ? PBS_DISABLED : down ? PBS_PRESSED : hot_ ? PBS_HOT : PBS_NORMAL;
    if (uxtheme::IsThemeBackgroundPartiallyTransparent(theme_.get(), BP_PUSHBUTTON, state))
      uxtheme::DrawThemeParentBackground(button_, dc, &rc);
    uxtheme::DrawThemeBackground(theme_.get(), dc, BP_PUSHBUTTON, state, &rc, nullptr);
  } else {
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &rc, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
  RECT glyph = rc;
  if (down) OffsetRect(&glyph, 1, 1);
  const int scale = std::max(1, static_cast<int>(WindowDpi(button_)) / 96);
  DrawFolderGlyph(dc, glyph, scale, disabled);
}

}  // namespace tftpcfg
