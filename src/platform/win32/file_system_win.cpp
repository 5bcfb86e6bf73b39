#include "platform/win32/file_system_win.h"

#include <windows.h>

#include "platform/win32/win_text.h"

namespace tftpcfg {

bool DirectoryExists(const std::string& utf8Path) {
  std::string ansi;
  if (!WinAnsiCodec().ToAnsi(utf8Path, ansi) || ansi.empty()) return false;
  const DWORD attributes = GetFileAttributesA(ansi.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string ExecutableDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  const size_t slash = path.find_last_of(L"\\/");
  path.resize(slash == std::wstring::npos ? 0 : slash + 1);
  return Narrow(path);
}

}  // namespace tftpcfg
