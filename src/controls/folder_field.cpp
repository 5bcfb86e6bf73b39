#include "controls/folder_field.h"

#include <vsstyle.h>
#include <windowsx.h>

#include <algorithm>
#include <memory>

#include "controls/edit_command_model.h"
#include "platform/win32/dpi.h"
#include "platform/win32/folder_browser_win.h"
#include "platform/win32/theme.h"
#include "platform/win32/win_text.h"

namespace tftpcfg {
namespace {

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

std::string Utf8Of(LPARAM text) {
  const auto* wide = reinterpret_cast<const wchar_t*>(text);
  return wide ? Narrow(wide) : std::string();
}

// The state of a folder field's window.
class FolderFieldControl final : public FieldControl {
 public:
  FolderFieldControl(HWND hwnd, const CREATESTRUCTW& create) : FieldControl(hwnd, create) {
    const auto* params = ParamsOf<FolderFieldCreateParams>(create);
    shell_ = params != nullptr && params->shell != nullptr ? params->shell : &SystemFolderBrowser();
  }

 private:
  HWND EditWindow() const { return EditAt(0); }

  void CreateChildren() override {
    AddEdit(WS_TABSTOP | ES_LEFT, L"");
    theme_ = OpenThemeIfActive(Handle(), L"Button");
  }

  RECT Button() const {
    RECT rc{};
    GetClientRect(Handle(), &rc);
    const int width = buttonVisible_ ? std::clamp(Scale(buttonWidth_, WindowDpi(Handle())), 0,
                                                  static_cast<int>(rc.right))
                                     : 0;
    rc.left = rc.right - width;
    return rc;
  }

  void Layout() override {
    const RECT button = Button();
    const RECT line = TextBoxLine(button.left);
    PlaceChild(EditWindow(), line);
    InvalidateRect(Handle(), nullptr, TRUE);
  }

  std::string Text() const { return GetWindowTextUtf8(EditWindow()); }

  // What a click on the browse button does: the browser opens at the current
  // text; a confirmed folder becomes the text and raises the change.
  void Browse() {
    if (!IsWindowEnabled(Handle()) || ReadOnly()) return;
    // The browser runs a message loop of its own, in which the field may be
    // destroyed: the browse holds the dialog and its codec itself, the shell
    // outlives every field (the system's, or the creator's), and the owner is
    // only a handle.
    const std::weak_ptr<bool> alive = AliveToken();
    // The browser is modal to the window holding the field, so that window
    // cannot be closed under it by the user.
    const HWND owner = GetAncestor(Handle(), GA_ROOT);
    const std::optional<std::string> path = dialog_->Browse(*shell_, owner, Text());
    if (alive.expired() || !path) return;
    SetText(*path);
    SetForegroundWindow(owner);
    Notify(FN_CHANGE);
  }

  void SetText(std::string_view text) {
    const Silence silence(*this);
    SetWindowTextUtf8(EditWindow(), text);
  }

  bool ShortcutMatches(UINT msg, WPARAM wParam, LPARAM lParam) const {
    if (shortcutVk_ == 0 || wParam != shortcutVk_) return false;
    const KeyModifiers mods = ModifiersFor(msg, lParam);
    return mods.alt == ((shortcutModifiers_ & MOD_ALT) != 0) &&
           mods.ctrl == ((shortcutModifiers_ & MOD_CONTROL) != 0) &&
           mods.shift == ((shortcutModifiers_ & MOD_SHIFT) != 0);
  }

  // --- the field window ----------------------------------------------------

  LRESULT Message(UINT msg, WPARAM wParam, LPARAM lParam) override {
    switch (msg) {
      case WM_SETTEXT:
        SetText(Utf8Of(lParam));
        return TRUE;
      case WM_GETTEXT:
      case WM_GETTEXTLENGTH:
        return SendMessageW(EditWindow(), msg, wParam, lParam);
      case FFM_SETTITLE:
        dialog_->SetTitle(Utf8Of(lParam));
        return 0;
      case FFM_SETPROMPT:
        dialog_->SetPrompt(Utf8Of(lParam));
        return 0;
      case FFM_SETROOTFOLDER:
        dialog_->SetRootFolder(static_cast<ShellFolder>(wParam));
        return 0;
      case FFM_SETOPTIONS:
        dialog_->SetOptions(static_cast<unsigned>(wParam));
        return 0;
      case FFM_SETBUTTONVISIBLE:
        buttonVisible_ = wParam != 0;
        Layout();
        return 0;
      case FFM_GETBUTTONVISIBLE:
        return buttonVisible_;
      case FFM_SETBUTTONWIDTH:
        buttonWidth_ = std::max(0, static_cast<int>(wParam));
        Layout();
        return 0;
      case FFM_SETSHORTCUT:
        shortcutVk_ = static_cast<UINT>(wParam);
        shortcutModifiers_ = static_cast<UINT>(lParam) & (MOD_ALT | MOD_CONTROL | MOD_SHIFT);
        return 0;
      case FFM_BROWSE:
        Browse();  // may end with the field destroyed: touch nothing after it
        return 0;
      case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == EditWindow() && HIWORD(wParam) == EN_CHANGE) {
          Notify(FN_CHANGE);
          return 0;
        }
        break;
      case WM_LBUTTONDOWN:
        // The button never takes the focus; the EDIT keeps it.
        if (!InButton(lParam)) break;
        pressed_ = true;
        pressedInside_ = true;
        SetCapture(Handle());
        InvalidateButton();
        return 0;
      case WM_MOUSEMOVE: {
        const bool inside = InButton(lParam);
        if (pressed_) {
          if (inside != pressedInside_) {
            pressedInside_ = inside;
            InvalidateButton();
          }
          return 0;
        }
        if (inside != hot_) {
          hot_ = inside;
          InvalidateButton();
        }
        if (inside) TrackMouseLeave();
        return 0;
      }
      case WM_MOUSELEAVE:
        hot_ = false;
        InvalidateButton();
        break;
      case WM_LBUTTONUP: {
        if (!pressed_) return 0;
        const bool click = InButton(lParam);
        pressed_ = false;
        ReleaseCapture();
        InvalidateButton();
        if (click) Browse();  // may end with the field destroyed: touch nothing after it
        return 0;
      }
      case WM_CAPTURECHANGED:
      case WM_CANCELMODE:
        if (pressed_) {
          pressed_ = false;
          InvalidateButton();
        }
        if (msg == WM_CANCELMODE && GetCapture() == Handle()) ReleaseCapture();
        return 0;
      case WM_THEMECHANGED:
        theme_ = OpenThemeIfActive(Handle(), L"Button");
        break;
      default:
        break;
    }
    return FieldControl::Message(msg, wParam, lParam);
  }

  HCURSOR CursorAt(POINT pt) const override {
    const RECT button = Button();
    return PtInRect(&button, pt) ? LoadCursorW(nullptr, IDC_ARROW) : nullptr;
  }

  bool InButton(LPARAM lParam) const {
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const RECT button = Button();
    return buttonVisible_ && IsWindowEnabled(Handle()) && PtInRect(&button, pt);
  }

  void InvalidateButton() {
    const RECT button = Button();
    InvalidateRect(Handle(), &button, FALSE);
  }

  // --- the EDIT ------------------------------------------------------------

  LRESULT ChildMessage(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam) override {
    switch (msg) {
      case WM_CHAR:
        if (SelectAllOnCtrlA(edit, wParam)) return 0;
        // Enter, Esc, Tab and control characters are not text.
        if (ClassifyChar(static_cast<char32_t>(wParam)) == CharKind::Other) return 0;
        break;
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        if (ShortcutMatches(msg, wParam, lParam) && buttonVisible_ && IsWindowEnabled(Handle())) {
          Browse();  // may end with the field destroyed: touch nothing after it
          return 0;
        }
        break;
      default:
        break;
    }
    return CallChild(edit, msg, wParam, lParam);
  }

  void Paint(HDC dc) override {
    if (!buttonVisible_) return;
    const RECT rc = Button();
    const bool disabled = !IsWindowEnabled(Handle());
    const bool down = pressed_ && pressedInside_;
    if (theme_) {
      const int state = disabled ? PBS_DISABLED : down ? PBS_PRESSED : hot_ ? PBS_HOT : PBS_NORMAL;
      RECT area = rc;
      if (uxtheme::IsThemeBackgroundPartiallyTransparent(theme_.get(), BP_PUSHBUTTON, state))
        uxtheme::DrawThemeParentBackground(Handle(), dc, &area);
      uxtheme::DrawThemeBackground(theme_.get(), dc, BP_PUSHBUTTON, state, &rc, nullptr);
    } else {
      RECT edge = rc;
      FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
      DrawEdge(dc, &edge, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
    RECT glyph = rc;
    if (down) OffsetRect(&glyph, 1, 1);
    const int scale = std::max(1, static_cast<int>(WindowDpi(Handle())) / 96);
    DrawFolderGlyph(dc, glyph, scale, disabled);
  }

  IFolderBrowserShell* shell_ = nullptr;
  // Shared with a browse in progress, which may outlive the field when the
  // window is destroyed while the browser is open.
  std::shared_ptr<FolderBrowseDialog> dialog_ =
      FolderBrowseDialog::Create(std::make_shared<WinAnsiCodec>());
  bool buttonVisible_ = true;
  int buttonWidth_ = kDefaultBrowseButtonWidth;
  UINT shortcutVk_ = VK_DOWN;
  UINT shortcutModifiers_ = MOD_ALT;
  bool pressed_ = false;  // the left button went down on the browse button
  bool pressedInside_ = false;
  bool hot_ = false;
  UniqueTheme theme_;
};

}  // namespace

void FolderField::RegisterWindowClass() {
  FieldControl::RegisterClassOf<FolderFieldControl>(kFolderFieldClass);
}

FolderField FolderField::Create(HWND parent, int id, const RECT& rect,
                                const FolderFieldCreateParams& params) {
  return FolderField(CreateFieldWindow(kFolderFieldClass, parent, id, rect, 0, &params));
}

void FolderField::SetText(std::string_view text) const {
  SetWindowTextUtf8(hwnd_, text);
}

void FolderField::SetTitle(std::string_view title) const {
  SendMessageW(hwnd_, FFM_SETTITLE, 0, reinterpret_cast<LPARAM>(Widen(title).c_str()));
}

void FolderField::SetPrompt(std::string_view prompt) const {
  SendMessageW(hwnd_, FFM_SETPROMPT, 0, reinterpret_cast<LPARAM>(Widen(prompt).c_str()));
}

}  // namespace tftpcfg
