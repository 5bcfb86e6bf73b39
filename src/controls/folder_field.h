#pragma once
// The folder field: a one-line text box for a directory path with a browse
// button inside its right end. A window of class kFolderFieldClass built on
// FieldControl (field_control.h). The button opens the shell's folder browser
// through the field's folder dialog (folder_browse_model.h); a folder the user
// confirms replaces the text.
//
// Messages (beside the common ones of field_control.h):
//   WM_SETTEXT / WM_GETTEXT  the path as shown; setting it notifies nothing
//   FFM_SETTITLE             lParam: the browser's caption (const wchar_t*)
//   FFM_SETPROMPT            lParam: the text above the browser's tree
//   FFM_SETROOTFOLDER        wParam: the browser's top item (ShellFolder)
//   FFM_SETOPTIONS           wParam: the browser's BIF_ flags
//   FFM_SETBUTTONVISIBLE     wParam: show or hide the browse button
//   FFM_GETBUTTONVISIBLE
//   FFM_SETBUTTONWIDTH       wParam: its width in 96-DPI pixels (15 until set)
//   FFM_SETSHORTCUT          wParam: virtual key (0: none), lParam: MOD_ flags;
//                            the key clicks the button (Alt+Down until set)
//   FFM_BROWSE               does what a click on the button does
//   EM_SETREADONLY           (every field's) also refuses the browse
// Notification: FN_CHANGE for each editing key or command, and after each
// browse the user confirms.

#include <windows.h>

#include <string>
#include <string_view>

#include "controls/field_control.h"
#include "controls/folder_browse_model.h"

namespace tftpcfg {

inline constexpr int kDefaultBrowseButtonWidth = 15;

// What a folder field is created with (CreateWindowEx's lpParam).
struct FolderFieldCreateParams {
  IFolderBrowserShell* shell = nullptr;  // null: the system's folder browser
};

// A folder field's window, seen through its messages. It owns nothing.
class FolderField : public FieldWindow {
 public:
  // The window class (see RegisterFieldClasses).
  static void RegisterWindowClass();
  // Creates a field; throws when it cannot.
  static FolderField Create(HWND parent, int id, const RECT& rect,
                            const FolderFieldCreateParams& params = {});

  explicit FolderField(HWND hwnd) : FieldWindow(hwnd) {}

  void SetText(std::string_view text) const;
  void SetTitle(std::string_view title) const;
  void SetPrompt(std::string_view prompt) const;
  void SetRootFolder(ShellFolder root) const {
    SendMessageW(hwnd_, FFM_SETROOTFOLDER, static_cast<WPARAM>(root), 0);
  }
  void SetOptions(unsigned browseFlags) const {
    SendMessageW(hwnd_, FFM_SETOPTIONS, browseFlags, 0);
  }
  bool ButtonVisible() const { return SendMessageW(hwnd_, FFM_GETBUTTONVISIBLE, 0, 0) != 0; }
  void SetButtonVisible(bool on) const { SendMessageW(hwnd_, FFM_SETBUTTONVISIBLE, on, 0); }
  void SetButtonWidth(int pixels96) const {
    SendMessageW(hwnd_, FFM_SETBUTTONWIDTH, static_cast<WPARAM>(pixels96), 0);
  }
  void SetShortcut(UINT vk, UINT modifiers) const {
    SendMessageW(hwnd_, FFM_SETSHORTCUT, vk, modifiers);
  }
  void Browse() const { SendMessageW(hwnd_, FFM_BROWSE, 0, 0); }
};

}  // namespace tftpcfg
