#pragma once
// What the three input fields (number, folder, IP address) are built on.
//
// Each field is a window class of its own, registered once at start-up
// (RegisterFieldClasses). Its state object is created with the window
// (WM_NCCREATE), reached from the HWND through the class's extra window bytes,
// and deleted with it (WM_NCDESTROY); nobody else holds it. Its EDIT children
// are extended with SetWindowSubclass, and the subclass goes at the child's
// WM_NCDESTROY. Its API is window messages, and it tells its parent about the
// user's changes with WM_COMMAND codes. Whatever a message sets is a change by
// program, which never notifies: one Silence scope covers them all.
//
// Messages every field answers, beside its own:
//   WM_SETFONT / WM_GETFONT      the font of its text, passed on to its EDITs
//   WM_SETTEXT / WM_GETTEXT      its text (what setting it means is the field's)
//   EM_SETREADONLY               wParam: TRUE refuses every change by the user
//                                in every EDIT of the field (keys, characters,
//                                clipboard, undo, the EDITs' pop-up menus)
//   FM_GETREADONLY               whether it is read-only
//   FM_SETBKCOLOR / FM_GETBKCOLOR  background of the text area: wParam a
//                                COLORREF, or kFieldSystemColor (the default):
//                                the system's COLOR_WINDOW, COLOR_BTNFACE while
//                                read-only, as they are when the field paints;
//                                the text is COLOR_WINDOWTEXT, COLOR_BTNTEXT
//                                while read-only. FM_SETBKCOLOR returns the
//                                setting before, FM_GETBKCOLOR the colour in
//                                force.
//   FM_GETEDIT                   the EDIT child number wParam (0 for the first)
//   FM_SETACCESSIBLENAME         lParam: the name (const wchar_t*) for screen
//                                readers, given to the field and its EDITs
//   EnableWindow                 enables or disables the children with it
// A field's own text area lines up with the label beside it: each EDIT is one
// line of text high, centred in the field, with an edit box's usual margins.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/field_messages.h"
#include "platform/win32/win_handles.h"

namespace tftpcfg {

// Registers the window classes of the number, folder and IP address fields.
// Called once at start-up, beside InitCommonControlsEx, before a window that
// holds a field is made (again, it does nothing). Throws when a class cannot
// be registered.
void RegisterFieldClasses();

// Creates a field window of a registered class: a child with a sunken edge
// that the dialog manager walks into for the tab stops of its EDITs, or, with
// WS_TABSTOP in extraStyle, stops on as one tab stop. params travels in
// CREATESTRUCT's lpCreateParams. Throws when the window cannot be created,
// saying so when the class was not registered (RegisterFieldClasses).
HWND CreateFieldWindow(const wchar_t* className, HWND parent, int id, const RECT& rect,
                       DWORD extraStyle = 0, const void* params = nullptr);

// The modifier keys as the thread's keyboard state has them; for a
// WM_SYSKEYDOWN, Alt comes from the message itself.
struct KeyModifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};
KeyModifiers ModifiersFor(UINT msg, LPARAM lParam);

// Whether a key pressed in an EDIT changes its text though it types nothing:
// Delete (with Shift: cut) and Shift+Insert (paste). Ctrl+Insert copies.
bool IsTextChangingKey(WPARAM vk, const KeyModifiers& modifiers);

// Whether the focus moving from field (or a child of it) to `to` goes to
// another control of the same window, which is when a field tidies up.
bool FocusMovesWithinWindow(HWND field, HWND to);

// A field's window seen through the messages every field answers; the typed
// wrappers of the fields build on it. It owns nothing.
class FieldWindow {
 public:
  explicit FieldWindow(HWND hwnd) : hwnd_(hwnd) {}
  HWND Handle() const { return hwnd_; }
  // The EDIT child number `index` (an IP address field has four).
  HWND Edit(int index = 0) const {
    return reinterpret_cast<HWND>(SendMessageW(hwnd_, FM_GETEDIT, static_cast<WPARAM>(index), 0));
  }
  std::string Text() const;
  bool ReadOnly() const { return SendMessageW(hwnd_, FM_GETREADONLY, 0, 0) != 0; }
  void SetReadOnly(bool on) const { SendMessageW(hwnd_, EM_SETREADONLY, on, 0); }
  COLORREF Color() const { return static_cast<COLORREF>(SendMessageW(hwnd_, FM_GETBKCOLOR, 0, 0)); }
  void SetColor(COLORREF color) const { SendMessageW(hwnd_, FM_SETBKCOLOR, color, 0); }
  void SetAccessibleName(const std::wstring& name) const {
    SendMessageW(hwnd_, FM_SETACCESSIBLENAME, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }

 protected:
  HWND hwnd_;
};

class FieldControl {
 public:
  FieldControl(const FieldControl&) = delete;
  FieldControl& operator=(const FieldControl&) = delete;
  virtual ~FieldControl();

  // Registers the window class of field T (once). Its window procedure makes
  // a T for each window at WM_NCCREATE, from the HWND and the CREATESTRUCT,
  // and hands it every message through Message(); an error that reaches it is
  // shown in the application's error box.
  template <typename T>
  static void RegisterClassOf(const wchar_t* className) {
    RegisterFieldClass(className, &ProcOf<T>);
  }

 protected:
  FieldControl(HWND hwnd, const CREATESTRUCTW& create);

  HWND Handle() const { return hwnd_; }

  // The field's messages; what a field does not handle goes to
  // FieldControl::Message, which handles the common ones.
  virtual LRESULT Message(UINT msg, WPARAM wParam, LPARAM lParam);
  // Messages of the subclassed children; the default passes them on.
  virtual LRESULT ChildMessage(HWND child, UINT msg, WPARAM wParam, LPARAM lParam);
  // Creates the children (at WM_CREATE); an error fails the window's creation.
  virtual void CreateChildren() {}
  // Places the children in the client area (after a size, font or DPI change).
  virtual void Layout() {}
  // Paints what the field draws itself (buttons, separators); the background
  // is already filled.
  virtual void Paint(HDC) {}
  // The pointer's shape over a point of the client area outside the EDITs;
  // null for the class's (the text cursor).
  virtual HCURSOR CursorAt(POINT) const { return nullptr; }
  // The child that takes the focus when the field is given it.
  virtual HWND FocusTarget() const { return EditAt(0); }
  // Whether the EDIT number `index` refuses the user's changes: while the
  // field is read-only; a field may lock single EDITs besides.
  virtual bool EditReadOnly(size_t) const { return readOnly_; }
  // After the field became read-only or editable again (the EDITs follow).
  virtual void ReadOnlyChanged() {}
  // What a screen reader says of EDIT number `index` beside the field's name.
  virtual std::wstring EditDescription(size_t) const { return {}; }

  // Moves a child to `rect` (client coordinates) when it is not there yet.
  void PlaceChild(HWND child, const RECT& rect) const;
  // Creates an EDIT child and subclasses it; throws when it cannot be made.
  HWND AddEdit(DWORD style, const wchar_t* text);
  HWND EditAt(size_t index) const { return index < edits_.size() ? edits_[index] : nullptr; }
  size_t EditCount() const { return edits_.size(); }
  // Passes a child's message on to the child's own procedure; what would
  // change the text of a read-only EDIT (keys, characters, clipboard and undo
  // commands) is refused there, after the field has seen it.
  LRESULT CallChild(HWND child, UINT msg, WPARAM wParam, LPARAM lParam) const;
  bool ReadOnly() const { return readOnly_; }
  // Gives every EDIT its read-only state (see EditReadOnly).
  void ApplyEditReadOnly() const;
  // The colour the field's text is drawn in, in its present state.
  COLORREF TextColor() const;
  // The creation parameters the window was made with, or null.
  template <typename P>
  static const P* ParamsOf(const CREATESTRUCTW& create) {
    return static_cast<const P*>(create.lpCreateParams);
  }

  // Sends the code to the parent unless a change by program is under way.
  // Returns false when the field was destroyed meanwhile (the parent's
  // handler may do that): the caller must then touch nothing.
  bool Notify(WORD code);
  // While one exists, nothing the field does notifies.
  class Silence {
   public:
    explicit Silence(FieldControl& field) : field_(field) { ++field_.silent_; }
    Silence(const Silence&) = delete;
    Silence& operator=(const Silence&) = delete;
    ~Silence() { --field_.silent_; }

   private:
    FieldControl& field_;
  };
  bool Silent() const { return silent_ > 0; }
  // Expires when the field goes: for code that waits in a message loop of its
  // own (a browser) and must not touch the field after it went.
  std::weak_ptr<bool> AliveToken() const { return alive_; }

  // The line of text inside [left, right) of the client area: one line of the
  // font high, centred vertically, as an EDIT's text sits in an edit box.
  RECT TextLine(int left, int right) const;
  // The text line of a field with one EDIT that ends at `right` (a button's
  // edge): a pixel inside the sunken edge, where an edit box keeps its text.
  RECT TextBoxLine(int right) const;
  // Line height of the field's font, in pixels.
  int LineHeight() const { return lineHeight_; }
  // Typed Ctrl+A selects the whole text of the EDIT (an EDIT does nothing with it).
  static bool SelectAllOnCtrlA(HWND edit, WPARAM ch);

  // For a button the field draws in its client area: the mouse is over it,
  // and leaving the area is reported (WM_MOUSELEAVE).
  void TrackMouseLeave();

 private:
  using Factory = std::unique_ptr<FieldControl> (*)(HWND hwnd, const CREATESTRUCTW& create);
  template <typename T>
  static std::unique_ptr<FieldControl> Make(HWND hwnd, const CREATESTRUCTW& create) {
    return std::make_unique<T>(hwnd, create);
  }
  template <typename T>
  static LRESULT CALLBACK ProcOf(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Dispatch(hwnd, msg, wParam, lParam, &Make<T>);
  }
  static void RegisterFieldClass(const wchar_t* className, WNDPROC proc);
  static LRESULT Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, Factory make);
  static LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                   DWORD_PTR self);
  void SetFont(HFONT font);
  void PaintBorder() const;
  void OpenTheme();
  LRESULT SetColor(COLORREF color);
  COLORREF BackgroundColor() const;
  HBRUSH BackgroundBrush() const;
  void SetAccessibleNames(const wchar_t* name) const;

  HWND hwnd_;
  bool created_ = false;  // WM_CREATE was handled (a second one is ignored)
  std::vector<HWND> edits_;
  HFONT font_ = nullptr;  // not owned: WM_SETFONT's caller keeps it
  int lineHeight_ = 0;    // of font_
  bool readOnly_ = false;
  // The caller's colour and its brush, or kFieldSystemColor (see FM_SETBKCOLOR).
  COLORREF color_ = kFieldSystemColor;
  UniqueBrush brush_;
  struct Theme;
  std::unique_ptr<Theme> theme_;
  int silent_ = 0;
  bool trackingLeave_ = false;
  // Set false when the field goes, for Notify.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tftpcfg
