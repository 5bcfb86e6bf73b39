#pragma once
// The folder field: a window of class "TElFolderNameEdit" holding a real EDIT
// child (the tab stop that takes the focus) and a browse button inside its
// right end. The button opens the shell's folder browser through the field's
// folder dialog (folder_browse_model.h); a confirmed folder replaces the text.
// The field tells its parent about the user's changes (control_notify.h).

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "controls/field_window.h"
#include "controls/folder_browse_model.h"
#include "platform/win32/win_handles.h"

namespace tftpcfg {

// The shell's own folder browser and namespace calls.
IFolderBrowserShell& SystemFolderBrowserShell();

class TElFolderNameEdit {
  struct PassKey {};

 public:
  static constexpr int kDefaultButtonWidth = 15;

  // Creates the field as a child of parent; rect in parent client pixels. The
  // object belongs to its window and is destroyed with it. nullptr on failure.
  static TElFolderNameEdit* Create(HWND parent, int id, const RECT& rect);
  // nullptr if hwnd is not a folder field.
  static TElFolderNameEdit* FromHandle(HWND hwnd);

  HWND Handle() const { return hwnd_; }
  HWND EditHandle() const { return edit_; }
  HWND ButtonHandle() const { return button_; }

  // The text as shown. Setting it by program raises no notification.
  std::string Text() const;
  void SetText(std::string_view text);

  // The browser's caption (also known as Title) and the prompt above its tree.
  const std::string& DialogTitle() const { return dialog_->Title(); }
  void SetDialogTitle(std::string title) { dialog_->SetTitle(std::move(title)); }
  const std::string& Prompt() const { return dialog_->Prompt(); }
  void SetPrompt(std::string prompt) { dialog_->SetPrompt(std::move(prompt)); }
  TShellFolders RootFolder() const { return dialog_->RootFolder(); }
  void SetRootFolder(TShellFolders root) { dialog_->SetRootFolder(root); }
  unsigned Options() const { return dialog_->Options(); }
  void SetOptions(unsigned browseFlags) { dialog_->SetOptions(browseFlags); }

  // Read-only refuses every change of the text by the user, the browse
  // included; focus, selection and copy still work.
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool on);

  bool ButtonVisible() const { return buttonVisible_; }
  void SetButtonVisible(bool on);
  // Width in pixels at 96 DPI; scaled with the field's DPI.
  int ButtonWidth() const { return buttonWidth_; }
  void SetButtonWidth(int pixels);

  // The key that clicks the browse button while the EDIT has the focus; vk 0
  // for none. modifiers: MOD_ALT, MOD_CONTROL, MOD_SHIFT. Alt+Down until set.
  void SetButtonShortcut(UINT vk, UINT modifiers);

  // Background of the text area (COLOR_WINDOW until set).
  COLORREF Color() const { return frame_.Color(); }
  void SetColor(COLORREF color);

  // What a click on the browse button does: the browser opens at the current
  // text; a confirmed folder becomes the text and raises the change.
  void Browse();

  // Tests replace the shell for all fields (nullptr restores the real one).
  static void SetShellForTesting(IFolderBrowserShell* shell);

  explicit TElFolderNameEdit(PassKey);
  ~TElFolderNameEdit();
  TElFolderNameEdit(const TElFolderNameEdit&) = delete;
  TElFolderNameEdit& operator=(const TElFolderNameEdit&) = delete;

 private:
  static LRESULT CALLBACK FieldProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  template <typename T>
  friend LRESULT FieldWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  template <typename T>
  friend T* CreateFieldWindow(std::unique_ptr<T> self, const wchar_t* className, HWND parent,
                              int id, const RECT& rect);
  static LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                   DWORD_PTR data);

  LRESULT FieldMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT ButtonMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT EditMessage(UINT msg, WPARAM wParam, LPARAM lParam);

  bool CreateChildren();
  void Layout();
  bool ShortcutMatches(UINT msg, WPARAM wParam, LPARAM lParam) const;
  void PaintButton(HDC dc);

  HWND hwnd_ = nullptr;
  HWND edit_ = nullptr;
  HWND button_ = nullptr;
  bool ownedByWindow_ = false;
  AliveToken alive_ = std::make_shared<bool>(true);

  // Shared with a browse in progress, which may outlive the field when the
  // window is destroyed while the browser is open.
  std::shared_ptr<TElFolderDialog> dialog_ = std::make_shared<TElFolderDialog>();
  bool settingText_ = false;
  bool readOnly_ = false;
  bool buttonVisible_ = true;
  int buttonWidth_ = kDefaultButtonWidth;
  UINT shortcutVk_ = VK_DOWN;
  UINT shortcutModifiers_ = MOD_ALT;

  bool pressed_ = false;  // left button went down on the browse button
  bool pressedInside_ = false;
  bool hot_ = false;
  bool trackingLeave_ = false;
  UniqueTheme theme_;

  FieldFrame frame_;
};

}  // namespace tftpcfg
