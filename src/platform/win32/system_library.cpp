#include "platform/win32/system_library.h"

#include "base/app_error.h"
#include "platform/win32/win_text.h"

namespace tftpcfg {
namespace {

HMODULE LoadFromSystemFolder(const std::string& fileName) {
  if (const HMODULE module =
          LoadLibraryExA(fileName.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
    return module;
  // A system without the search flags (Windows 7 without KB2533623) refuses
  // them as an invalid parameter. The full path then names the file, and the
  // altered search order looks for the library's own imports in its folder
  // (the system folder) instead of the program's.
  if (GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
  char folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::string path = std::string(folder, length) + "\\" + fileName;
  return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

bool LimitLibrarySearchToSystemFolder() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  const auto setDefaultDllDirectories =
      reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (setDefaultDllDirectories && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
    return true;
  // Without it the program's folder stays first in the search and cannot be
  // taken out; the current folder can. The program's own loads are safe
  // anyway (SystemLibrary), and its import table names known libraries only.
  SetDllDirectoryW(L"");
  return false;
}

SystemLibrary::SystemLibrary(const char* fileName)
    : fileName_(fileName), module_(LoadFromSystemFolder(fileName_)) {
  if (!module_) error_ = GetLastError();
}

std::string SystemLibrary::ErrorText() const {
  if (Loaded()) return {};
  std::string reason = SystemErrorTextUtf8(error_);
  if (reason.empty()) reason = "error " + std::to_string(error_);
  return "The system library \"" + fileName_ + "\" could not be loaded: " + reason;
}

void SystemLibrary::Require() const {
  if (!Loaded()) throw AppError(ErrorText());
}

}  // namespace tftpcfg
