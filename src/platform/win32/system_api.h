#pragma once
// The functions the program takes from system libraries at run time, with the
// shape of the system's own declarations: those outside the known libraries
// (see system_library.h), and the known ones that only some of its windows
// need, so that starting the program does not load them. Each library is
// loaded from the system folder when one of its functions is first called and
// released when the program ends. Without the library (or the function) the
// calls answer as the system does with the feature off: no visual styles, so
// the classic drawing is used; no accessible object of the program's own, so
// a screen reader gets the system's default one; no folder browser, so a
// browse ends as cancelled; no address conversion, so no text is an address.

#include <winsock2.h>
#include <windows.h>
#include <oleacc.h>
#include <shlobj.h>
#include <uxtheme.h>

namespace tftpcfg {

// Visual styles (uxtheme.dll).
namespace uxtheme {

BOOL IsAppThemed();
BOOL IsThemeActive();
HTHEME OpenThemeData(HWND hwnd, LPCWSTR classList);
HRESULT CloseThemeData(HTHEME theme);
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                            const RECT* clip);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state);
HRESULT DrawThemeParentBackground(HWND hwnd, HDC dc, RECT* rect);
HRESULT EnableThemeDialogTexture(HWND hwnd, DWORD flags);

}  // namespace uxtheme

// Accessible objects for screen readers (oleacc.dll).
namespace oleacc {

HRESULT CreateStdAccessibleObject(HWND hwnd, LONG objectId, REFIID riid, void** object);
LRESULT LresultFromObject(REFIID riid, WPARAM wParam, LPUNKNOWN object);

BSTR SysAllocStringLen(const OLECHAR* text, UINT length);  // oleaut32

}  // namespace oleacc

// The folder browser and the shell namespace (shell32.dll), for the folder
// field's browse.
namespace shell32 {

HRESULT SHGetDesktopFolder(IShellFolder** folder);
HRESULT SHGetSpecialFolderLocation(HWND owner, int folder, PIDLIST_ABSOLUTE* item);
PIDLIST_ABSOLUTE SHBrowseForFolderA(BROWSEINFOA* info);
BOOL SHGetPathFromIDListA(PCIDLIST_ABSOLUTE item, LPSTR path);
PIDLIST_RELATIVE ILClone(PCUIDLIST_RELATIVE item);
HRESULT SHGetMalloc(IMalloc** allocator);

}  // namespace shell32

// Address text conversions of Windows Sockets (ws2_32.dll), for the IP
// address field.
namespace ws2_32 {

int WSAStartup(WORD version, WSADATA* data);
int WSACleanup();
unsigned long inet_addr(const char* text);
char* inet_ntoa(in_addr address);

}  // namespace ws2_32

}  // namespace tftpcfg
