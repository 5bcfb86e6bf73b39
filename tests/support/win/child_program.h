#pragma once
// A program started by a test as a process of its own and driven from the
// outside, as a user would: its windows found by process, keys typed into it.

#include <windows.h>

#include <functional>
#include <string>

#include "platform/win32/win_handles.h"

namespace tftpcfg::test {

// Polls until done() or the time is up; returns whether it was done.
bool WaitFor(const std::function<bool()>& done, DWORD ms = 20000);

// Starts a command line in a folder; ended by force at the end of the scope if
// it is still running.
class ChildProcess {
 public:
  ChildProcess(std::wstring commandLine, const std::wstring& folder);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return static_cast<bool>(handle_); }
  DWORD Id() const { return id_; }
  bool Ended(DWORD ms) const;
  // STILL_ACTIVE while it runs.
  DWORD ExitCode() const;

 private:
  UniqueKernelHandle handle_;
  DWORD id_ = 0;
};

std::wstring WindowTextOf(HWND hwnd);
// The window's class is name, compared without case.
bool IsClass(HWND hwnd, const wchar_t* name);

// The first top-level window of the process that matches, or with a parent
// the first of its descendants that matches; none when nothing matches.
HWND FindWindowOf(DWORD processId, HWND parent, const std::function<bool(HWND)>& matches);

// The visible top-level window of the process with the title, once it shows.
HWND WaitForVisibleWindow(const ChildProcess& process, const std::wstring& title, DWORD ms);

// Types a key into the window, brought to the foreground first: the system
// makes WM_HELP of typed F1 only, not of a posted key. False when the window
// did not come to the foreground.
bool TypeKeyInto(HWND window, WORD virtualKey);

}  // namespace tftpcfg::test
