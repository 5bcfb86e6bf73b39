#pragma once
// The IP address field: four small text boxes, one per octet, with a dot
// drawn between them. A window of class kIpAddressFieldClass built on
// FieldControl (field_control.h); the four parts are real EDITs, and what is
// typed into them is read by the rules of ip_edit_model.h. The field is one
// tab stop; its parts are not.
//
// Messages (beside the common ones of field_control.h; FM_GETEDIT wParam 0 to
// 3 gives the parts):
//   WM_SETTEXT            the address as text: "255.255.255.255" or any form
//                         inet_addr reads ("10.1" is 10.0.0.1); FALSE, and the
//                         field unchanged, when the text is no address
//   WM_GETTEXT            the octets in dotted decimal (inet_ntoa's form)
//   EM_SETREADONLY        (every field's) locks the four parts
//   IPM_SETADDRESS        lParam: the address as MAKEIPADDRESS builds it
//   IPM_GETADDRESS        lParam: DWORD* for it; returns 4
//   IPM_SETFOCUS          wParam: the part (0 to 3) to put the focus in; any
//                         other value: the first part
//   IAFM_SETPART           wParam: part, lParam: octet; the part shows it with
//                         its caret at the start
//   IAFM_GETPART           wParam: part; returns its octet
//   IAFM_SETPARTREADONLY   wParam: part, lParam: TRUE locks that part alone
//                         against the user, as EM_SETREADONLY locks them all
//   IAFM_GETPARTREADONLY   wParam: part; whether it is locked by itself
// Notification: FN_CHANGE each time a part's text is read into its octet,
// after typing and after a rewrite by the field or a caller alike. The parent
// may destroy the field from its handler: the field then stops where it is.
// The parts' accessible names (FM_SETACCESSIBLENAME) say which part they are
// ("part 2 of 4").

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "controls/field_control.h"

namespace tftpcfg {

inline constexpr char kInvalidIpAddress[] = "Invalid IP address string";

// An IP address field's window, seen through its messages. It owns nothing.
class IpAddressField : public FieldWindow {
 public:
  // The window class (see RegisterFieldClasses).
  static void RegisterWindowClass();
  // Creates a field; throws when it cannot.
  static IpAddressField Create(HWND parent, int id, const RECT& rect);

  explicit IpAddressField(HWND hwnd) : FieldWindow(hwnd) {}
  HWND Part(int index) const { return Edit(index); }

  // Text(): the octets as dotted text ("0.0.0.0" for a new field).
  // Raises AppError "Invalid IP address string", the field unchanged, when the
  // text is no address.
  void SetText(std::string_view address) const;
  uint8_t Octet(int index) const {
    return static_cast<uint8_t>(SendMessageW(hwnd_, IAFM_GETPART, static_cast<WPARAM>(index), 0));
  }
  void SetOctet(int index, uint8_t value) const {
    SendMessageW(hwnd_, IAFM_SETPART, static_cast<WPARAM>(index), value);
  }
  bool PartReadOnly(int index) const {
    return SendMessageW(hwnd_, IAFM_GETPARTREADONLY, static_cast<WPARAM>(index), 0) != 0;
  }
  void SetPartReadOnly(int index, bool on) const {
    SendMessageW(hwnd_, IAFM_SETPARTREADONLY, static_cast<WPARAM>(index), on);
  }
};

}  // namespace tftpcfg
