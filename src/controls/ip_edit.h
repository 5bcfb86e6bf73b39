#pragma once
// TElIPEdit: the IP address field, a child window of class "TElIPEdit" holding
// four EDIT parts of class "TElIPPartEdit", one per octet. The field is one tab
// stop; its parts read what is typed into their octets by the rules in
// controls/ip_edit_model.h. Every read-in is announced to the parent as
// WM_COMMAND(MAKEWPARAM(id, kNotifyChange), (LPARAM)fieldHwnd).
//
// Messages the field handles for its owner: WM_SETFONT/WM_GETFONT (applied to
// the parts), WM_ENABLE (EnableWindow on the field enables or disables the
// parts with it), WM_SIZE (lays the parts out again). The field keeps its object
// in its window's extra bytes; GWLP_USERDATA stays free for the owner.

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "controls/control_notify.h"
#include "controls/ip_edit_model.h"

namespace tftpcfg {

class TElIPEdit {
 public:
  // Window class names.
  static constexpr wchar_t kClassName[] = L"TElIPEdit";
  static constexpr wchar_t kPartClassName[] = L"TElIPPartEdit";

  // Registers both window classes (once per process; later calls only report
  // the result). Create calls it; call it before creating a field from a
  // dialog template.
  static bool RegisterClasses();

  // Creates a visible field with a sunken client edge at rect (parent client
  // coordinates). The object is owned by its window and freed with it. Returns
  // nullptr when the window cannot be created.
  static TElIPEdit* Create(HWND parent, int id, const RECT& rect);
  // The field of a window of class "TElIPEdit", else nullptr.
  static TElIPEdit* FromHandle(HWND hwnd);

  struct PassKey {
   private:
    friend class TElIPEdit;
    PassKey() = default;
  };
  // Only the window procedure creates the object (see Create).
  TElIPEdit(PassKey, HWND hwnd) : hwnd_(hwnd) {}
  TElIPEdit(const TElIPEdit&) = delete;
  TElIPEdit& operator=(const TElIPEdit&) = delete;
  ~TElIPEdit() = default;

  HWND Handle() const { return hwnd_; }
  // index 0..3 is Part1..Part4; std::out_of_range otherwise (also for Part,
  // SetPart, PartCanEdit and SetPartCanEdit).
  HWND PartHandle(int index) const;

  // The octets in dotted decimal text (inet_ntoa form), e.g. "0.0.0.0".
  std::string IPString() const;
  // Sets the four octets from an address text: "255.255.255.255", or any form
  // inet_addr accepts ("10.1" is 10.0.0.1). Throws AppError("Invalid IP address
  // string") and leaves the field unchanged when the text is not an address
  // (empty or blank text included). Parts whose text changes notify.
  void SetIPString(std::string_view text);

  uint8_t Part(int index) const;
  // Sets the octet, shows its decimal text and puts the part's caret at the
  // start. Raises the change notification only when the part's text changes.
  void SetPart(int index, uint8_t value);

  bool PartCanEdit(int index) const;
  // false makes the part read-only: typing is ignored, writing still works.
  void SetPartCanEdit(int index, bool on);

 private:
  static LRESULT CALLBACK FieldProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK PartProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CallEdit(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  LRESULT HandleField(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandlePart(int index, UINT msg, WPARAM wParam, LPARAM lParam);

  bool CreateParts();
  void Layout();
  void Paint();
  HBRUSH Background() const;
  void OnFieldFocus(HWND previous);
  // Handles the keys the part treats specially; false leaves the key to the edit.
  bool OnPartKeyDown(int index, WPARAM key);
  void OnPartKillFocus(int index);
  void FocusPart(int index);
  void LeaveField(bool backwards);
  HWND NavigationRoot() const;
  void MoveFocusTo(HWND root, HWND target);
  int PartIndex(HWND part) const;
  std::size_t Caret(int index) const;

  // Shows a part's octet as its text (when it differs) with the caret at the start.
  void ShowOctet(int index);
  // Reads a part's text into its octet, rewriting the text when the rules say so.
  void ReadIn(int index);
  // Replaces a part's text, then reads it in.
  void WritePartText(int index, const std::string& text);
  void NotifyChange();

  HWND hwnd_;
  std::array<HWND, ipedit::kPartCount> parts_{};
  ipedit::Octets octets_{};
  std::array<std::string, ipedit::kPartCount> readText_;  // each part's text when last read
  HFONT font_ = nullptr;                                  // not owned: the font the owner set
  int textHeight_ = 0;                                    // line height of font_
  bool writing_ = false;  // the field itself is replacing a part's text
  bool destroying_ = false;
};

}  // namespace tftpcfg
