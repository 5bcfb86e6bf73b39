#pragma once
// The window messages of the three input fields, in one list so that their
// numbers never meet, and the notification codes they send their parent in
// WM_COMMAND. What each message takes and returns is said where the field is
// declared (field_control.h, number_field.h, folder_field.h,
// ip_address_field.h).

#include <windows.h>

namespace tftpcfg {

inline constexpr wchar_t kNumberFieldClass[] = L"TftpcfgNumberField";
inline constexpr wchar_t kFolderFieldClass[] = L"TftpcfgFolderField";
inline constexpr wchar_t kIpAddressFieldClass[] = L"TftpcfgIpAddressField";

// FM_SETBKCOLOR's colour for "the system's colour of the field's state"
// (CLR_DEFAULT), which is what a field starts with.
inline constexpr COLORREF kFieldSystemColor = 0xFF000000;

enum FieldMessage : UINT {
  // Every field.
  FM_SETBKCOLOR = WM_USER + 0x40,
  FM_GETBKCOLOR,
  FM_GETEDIT,
  FM_GETREADONLY,
  FM_SETACCESSIBLENAME,
  // The number field.
  NFM_SETVALUE = WM_USER + 0x50,
  NFM_GETVALUE,
  NFM_SETMINVALUE,
  NFM_SETMAXVALUE,
  NFM_GETRANGE,
  NFM_SETINCREMENT,
  // The folder field.
  FFM_SETTITLE = WM_USER + 0x60,
  FFM_SETPROMPT,
  FFM_SETROOTFOLDER,
  FFM_SETOPTIONS,
  FFM_SETBUTTONVISIBLE,
  FFM_GETBUTTONVISIBLE,
  FFM_SETBUTTONWIDTH,
  FFM_SETSHORTCUT,
  FFM_BROWSE,
  // The IP address field's own (IAFM_), beside the system's IPM_SETADDRESS,
  // IPM_GETADDRESS and IPM_SETFOCUS (commctrl.h), which it answers too.
  IAFM_SETPART = WM_USER + 0x70,
  IAFM_GETPART,
  IAFM_SETPARTREADONLY,
  IAFM_GETPARTREADONLY,
};

enum FieldNotification : WORD {
  FN_CHANGE = EN_CHANGE,  // the user changed the field
  NFN_UPCLICK = 0x4002,   // the user stepped a number field up
  NFN_DOWNCLICK,          // ... or down
};

}  // namespace tftpcfg
