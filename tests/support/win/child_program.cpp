#include "tests/support/win/child_program.h"

namespace tftpcfg::test {

bool WaitFor(const std::function<bool()>& done, DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  while (!done()) {
    if (GetTickCount64() >= end) return false;
    Sleep(20);
  }
  return true;
}

ChildProcess::ChildProcess(std::wstring commandLine, const std::wstring& folder) {
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &si, &pi))
    return;
  handle_.reset(pi.hProcess);
  CloseHandle(pi.hThread);
  id_ = pi.dwProcessId;
}

ChildProcess::~ChildProcess() {
  if (handle_ && !Ended(0) && TerminateProcess(handle_.get(), 1)) Ended(5000);
}

bool ChildProcess::Ended(DWORD ms) const {
  return WaitForSingleObject(handle_.get(), ms) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(handle_.get(), &code);
  return code;
}

std::wstring WindowTextOf(HWND hwnd) {
  wchar_t text[128] = {};
  GetWindowTextW(hwnd, text, 128);
  return text;
}

bool IsClass(HWND hwnd, const wchar_t* name) {
  wchar_t text[64] = {};
  GetClassNameW(hwnd, text, 64);
  return lstrcmpiW(text, name) == 0;
}

HWND FindWindowOf(DWORD processId, HWND parent, const std::function<bool(HWND)>& matches) {
  struct Search {
    DWORD processId = 0;
    const std::function<bool(HWND)>& matches;
    HWND found = nullptr;
  } search{processId, matches};
  const WNDENUMPROC visit = [](HWND hwnd, LPARAM param) -> BOOL {
    auto& s = *reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner != s.processId || !s.matches(hwnd)) return TRUE;
    s.found = hwnd;
    return FALSE;
  };
  if (parent)
    EnumChildWindows(parent, visit, reinterpret_cast<LPARAM>(&search));
  else
    EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForVisibleWindow(const ChildProcess& process, const std::wstring& title, DWORD ms) {
  HWND found = nullptr;
  WaitFor(
      [&] {
        found = FindWindowOf(process.Id(), nullptr, [&](HWND h) {
          return IsWindowVisible(h) && WindowTextOf(h) == title;
        });
        return found != nullptr;
      },
      ms);
  return found;
}

bool TypeKeyInto(HWND window, WORD virtualKey) {
  SetForegroundWindow(window);
  if (GetForegroundWindow() != window) return false;
  INPUT keys[2] = {};
  for (INPUT& key : keys) {
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = virtualKey;
  }
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  return SendInput(2, keys, sizeof(INPUT)) == 2;
}

}  // namespace tftpcfg::test
