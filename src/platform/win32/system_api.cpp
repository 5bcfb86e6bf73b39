#include "platform/win32/system_api.h"

#include "platform/win32/system_library.h"

namespace tftpcfg {
namespace {

// The function's answer, or `absent` when the function is missing.
template <typename R, typename Fn, typename... Args>
R CallOr(R absent, Fn fn, Args... args) {
  return fn ? fn(args...) : absent;
}

HRESULT Unavailable() {
  return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
}

// A member holding the export of the same name from the member `library`,
// typed after the system's declaration. (The argument is a name, not an
// expression: it cannot be parenthesised.)
#define TFTPCFG_SYSTEM_FUNCTION(name) \
  const decltype(&::name) name = library.Find<decltype(&::name)>(#name)  // NOLINT

struct ThemeFunctions {
  const SystemLibrary library{"uxtheme.dll"};
  TFTPCFG_SYSTEM_FUNCTION(IsAppThemed);
  TFTPCFG_SYSTEM_FUNCTION(IsThemeActive);
  TFTPCFG_SYSTEM_FUNCTION(OpenThemeData);
  TFTPCFG_SYSTEM_FUNCTION(CloseThemeData);
  TFTPCFG_SYSTEM_FUNCTION(DrawThemeBackground);
  TFTPCFG_SYSTEM_FUNCTION(IsThemeBackgroundPartiallyTransparent);
  TFTPCFG_SYSTEM_FUNCTION(DrawThemeParentBackground);
  TFTPCFG_SYSTEM_FUNCTION(EnableThemeDialogTexture);
};

struct AccessibilityFunctions {
  const SystemLibrary library{"oleacc.dll"};
  TFTPCFG_SYSTEM_FUNCTION(CreateStdAccessibleObject);
  TFTPCFG_SYSTEM_FUNCTION(LresultFromObject);
};

struct AutomationFunctions {
  const SystemLibrary library{"oleaut32.dll"};
  TFTPCFG_SYSTEM_FUNCTION(SysAllocStringLen);
};

struct ShellFunctions {
  const SystemLibrary library{"shell32.dll"};
  TFTPCFG_SYSTEM_FUNCTION(SHGetDesktopFolder);
  TFTPCFG_SYSTEM_FUNCTION(SHGetSpecialFolderLocation);
  TFTPCFG_SYSTEM_FUNCTION(SHBrowseForFolderA);
  TFTPCFG_SYSTEM_FUNCTION(SHGetPathFromIDListA);
  TFTPCFG_SYSTEM_FUNCTION(ILClone);
  TFTPCFG_SYSTEM_FUNCTION(SHGetMalloc);
};

struct SocketFunctions {
  const SystemLibrary library{"ws2_32.dll"};
  TFTPCFG_SYSTEM_FUNCTION(WSAStartup);
  TFTPCFG_SYSTEM_FUNCTION(WSACleanup);
  TFTPCFG_SYSTEM_FUNCTION(inet_addr);
  TFTPCFG_SYSTEM_FUNCTION(inet_ntoa);
};

#undef TFTPCFG_SYSTEM_FUNCTION

// Each library is loaded on the first call of one of its functions, once, and
// released when the program ends.
const ThemeFunctions& Theme() {
  static const ThemeFunctions functions;
  return functions;
}

const AccessibilityFunctions& Accessibility() {
  static const AccessibilityFunctions functions;
  return functions;
}

const AutomationFunctions& Automation() {
  static const AutomationFunctions functions;
  return functions;
}

const ShellFunctions& Shell() {
  static const ShellFunctions functions;
  return functions;
}

const SocketFunctions& Sockets() {
  static const SocketFunctions functions;
  return functions;
}

}  // namespace

namespace uxtheme {

BOOL IsAppThemed() {
  return CallOr<BOOL>(FALSE, Theme().IsAppThemed);
}

BOOL IsThemeActive() {
  return CallOr<BOOL>(FALSE, Theme().IsThemeActive);
}

HTHEME OpenThemeData(HWND hwnd, LPCWSTR classList) {
  return CallOr<HTHEME>(nullptr, Theme().OpenThemeData, hwnd, classList);
}

HRESULT CloseThemeData(HTHEME theme) {
  return CallOr(Unavailable(), Theme().CloseThemeData, theme);
}

HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                            const RECT* clip) {
  return CallOr(Unavailable(), Theme().DrawThemeBackground, theme, dc, part, state, rect, clip);
}

BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state) {
  return CallOr<BOOL>(FALSE, Theme().IsThemeBackgroundPartiallyTransparent, theme, part, state);
}

HRESULT DrawThemeParentBackground(HWND hwnd, HDC dc, RECT* rect) {
  return CallOr(Unavailable(), Theme().DrawThemeParentBackground, hwnd, dc, rect);
}

HRESULT EnableThemeDialogTexture(HWND hwnd, DWORD flags) {
  return CallOr(Unavailable(), Theme().EnableThemeDialogTexture, hwnd, flags);
}

}  // namespace uxtheme

namespace oleacc {

HRESULT CreateStdAccessibleObject(HWND hwnd, LONG objectId, REFIID riid, void** object) {
  if (const auto create = Accessibility().CreateStdAccessibleObject)
    return create(hwnd, objectId, riid, object);
  if (object) *object = nullptr;
  return Unavailable();
}

LRESULT LresultFromObject(REFIID riid, WPARAM wParam, LPUNKNOWN object) {
  return CallOr<LRESULT>(Unavailable(), Accessibility().LresultFromObject, riid, wParam, object);
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  return CallOr<BSTR>(nullptr, Automation().SysAllocStringLen, text, length);
}

}  // namespace oleacc

namespace shell32 {

HRESULT SHGetDesktopFolder(IShellFolder** folder) {
  if (folder) *folder = nullptr;
  return CallOr(Unavailable(), Shell().SHGetDesktopFolder, folder);
}

HRESULT SHGetSpecialFolderLocation(HWND owner, int folder, PIDLIST_ABSOLUTE* item) {
  if (item) *item = nullptr;
  return CallOr(Unavailable(), Shell().SHGetSpecialFolderLocation, owner, folder, item);
}

PIDLIST_ABSOLUTE SHBrowseForFolderA(BROWSEINFOA* info) {
  return CallOr<PIDLIST_ABSOLUTE>(nullptr, Shell().SHBrowseForFolderA, info);
}

BOOL SHGetPathFromIDListA(PCIDLIST_ABSOLUTE item, LPSTR path) {
  return CallOr<BOOL>(FALSE, Shell().SHGetPathFromIDListA, item, path);
}

PIDLIST_RELATIVE ILClone(PCUIDLIST_RELATIVE item) {
  return CallOr<PIDLIST_RELATIVE>(nullptr, Shell().ILClone, item);
}

HRESULT SHGetMalloc(IMalloc** allocator) {
  if (allocator) *allocator = nullptr;
  return CallOr(Unavailable(), Shell().SHGetMalloc, allocator);
}

}  // namespace shell32

namespace ws2_32 {

int WSAStartup(WORD version, WSADATA* data) {
  return CallOr(WSASYSNOTREADY, Sockets().WSAStartup, version, data);
}

int WSACleanup() {
  return CallOr(SOCKET_ERROR, Sockets().WSACleanup);
}

unsigned long inet_addr(const char* text) {
  return CallOr<unsigned long>(INADDR_NONE, Sockets().inet_addr, text);
}

char* inet_ntoa(in_addr address) {
  return CallOr<char*>(nullptr, Sockets().inet_ntoa, address);
}

}  // namespace ws2_32

}  // namespace tftpcfg
