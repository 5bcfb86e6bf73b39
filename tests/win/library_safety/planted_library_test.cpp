// A copy of the program in a folder of its own, beside marker libraries under
// the names of system libraries it uses (oleacc.dll, wsock32.dll, HHCtrl.OCX),
// with Wine told to prefer such copies ("native"), as Windows does for a
// library that is not a known one. The program goes through start-up, a screen
// reader's query, F1 and the rule dialog, and closes: no planted library may
// have been loaded. (uxtheme cannot be told apart this way under Wine, whose
// own common controls import it; import_table_test.cpp covers it.)

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/file_system_win.h"
#include "platform/win32/win_handles.h"
#include "platform/win32/win_text.h"
#include "ui/message_boxes.h"

namespace tftpcfg::test {
namespace {

const wchar_t* const kBuiltProgram = TFTPCFG_TEST_BUILT_EXE;  // set by the build
const wchar_t* const kBuiltHelp = TFTPCFG_TEST_BUILT_CHM;
const wchar_t* const kPlanted[] = {L"HHCtrl.OCX", L"oleacc.dll", L"wsock32.dll"};
const wchar_t* const kNativeFirst[] = {L"hhctrl.ocx", L"oleacc", L"wsock32"};
const wchar_t* const kStarted[] = {L"tftpcfg.exe", L"bare_name_loader.exe"};

bool WaitFor(const std::function<bool()>& done, DWORD ms = 20000) {
  const ULONGLONG end = GetTickCount64() + ms;
  while (!done()) {
    if (GetTickCount64() >= end) return false;
    Sleep(20);
  }
  return true;
}

// The files of a folder, lower case and sorted, on one line; deleted if asked.
std::string FilesIn(const std::wstring& folder, bool remove = false) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW data;
  const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &data)) {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    if (remove) DeleteFileW((folder + L"\\" + data.cFileName).c_str());
    CharLowerW(data.cFileName);
    names.push_back(Narrow(data.cFileName));
  }
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
  std::sort(names.begin(), names.end());
  std::string line;
  for (const std::string& name : names) {
    if (!line.empty()) line += ' ';
    line += name;
  }
  return line;
}

// The program, its help file, the bare-name loader and the planted libraries
// in a folder of their own, with the subfolder for the markers; and Wine's
// preference for the planted names in the programs started there. A changed
// WINEDLLOVERRIDES would not reach a child process (Wine takes its own
// variables from the Unix environment), so the preference goes into the
// per-program key that Wine reads when a program starts. All removed at the end.
class PlantedFolder {
 public:
  PlantedFolder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    path_ = temp + (L"tftpcfg-planted-" + std::to_wstring(GetCurrentProcessId()));
    CreateDirectoryW(path_.c_str(), nullptr);
    CreateDirectoryW(Markers().c_str(), nullptr);
    for (const wchar_t* program : kStarted) {
      UniqueHKey key;
      RegCreateKeyExW(HKEY_CURRENT_USER, OverridesKey(program).c_str(), 0, nullptr, 0,
                      KEY_SET_VALUE, nullptr, key.put(), nullptr);
      for (const wchar_t* name : kNativeFirst)
        RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(L"native,builtin"),
                       sizeof L"native,builtin");
    }
  }
  ~PlantedFolder() {
    for (const wchar_t* program : kStarted)
      RegDeleteKeyW(HKEY_CURRENT_USER, OverridesKey(program).c_str());
    for (const std::wstring& folder : {Markers(), path_}) {
      FilesIn(folder, true);
      RemoveDirectoryW(folder.c_str());
    }
  }
  PlantedFolder(const PlantedFolder&) = delete;
  PlantedFolder& operator=(const PlantedFolder&) = delete;

  bool Fill() const {
    const std::wstring fixtures = Widen(ExecutableDirectory());
    bool ok = Copy(kBuiltProgram, L"tftpcfg.exe") && Copy(kBuiltHelp, L"tftpserv.chm") &&
              Copy(fixtures + L"bare_name_loader.exe", L"bare_name_loader.exe");
    for (const wchar_t* name : kPlanted) ok = ok && Copy(fixtures + L"marker_library.dll", name);
    return ok;
  }
  std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }
  const std::wstring& Path() const { return path_; }
  std::wstring Markers() const { return File(L"markers"); }

 private:
  static std::wstring OverridesKey(const std::wstring& program) {
    return L"Software\\Wine\\AppDefaults\\" + program + L"\\DllOverrides";
  }
  bool Copy(const std::wstring& from, const std::wstring& name) const {
    return CopyFileW(from.c_str(), File(name).c_str(), FALSE) != FALSE;
  }
  std::wstring path_;
};

// Starts a program in the folder; ended by force at the end of the scope if
// it is still running.
class Process {
 public:
  Process(std::wstring commandLine, const std::wstring& folder) {
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
  ~Process() {
    if (handle_ && !Ended(0) && TerminateProcess(handle_.get(), 1)) Ended(5000);
  }
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  bool Ended(DWORD ms) const { return WaitForSingleObject(handle_.get(), ms) == WAIT_OBJECT_0; }
  DWORD ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(handle_.get(), &code);
    return code;
  }
  bool Started() const { return static_cast<bool>(handle_); }
  DWORD Id() const { return id_; }

 private:
  UniqueKernelHandle handle_;
  DWORD id_ = 0;
};

std::wstring TextOf(HWND hwnd) {
  wchar_t text[128] = {};
  GetWindowTextW(hwnd, text, 128);
  return text;
}

bool IsClass(HWND hwnd, const wchar_t* name) {
  wchar_t text[64] = {};
  GetClassNameW(hwnd, text, 64);
  return lstrcmpiW(text, name) == 0;
}

// The first visible top-level window of the process that matches, or with a
// parent the first of its descendants that matches.
HWND FindWindowOf(DWORD processId, HWND parent, const std::function<bool(HWND)>& matches) {
  struct Search {
    DWORD processId;
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

void Click(HWND button) {
  PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  PostMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

// The accessible name of a window's client object, asked for from this
// process as a screen reader asks: the window's process answers WM_GETOBJECT.
std::string AccessibleName(HWND hwnd) {
  ComPtr<IAccessible> object;
  VARIANT self = {};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT),
                                        __uuidof(IAccessible),
                                        reinterpret_cast<void**>(object.put()))) ||
      !object || FAILED(object.get()->get_accName(self, &name)) || !name)
    return "<no name>";
  const std::string text = Narrow(name);
  SysFreeString(name);
  return text;
}

// Start-up, the accessibility query on the first field, F1 and the rule
// dialog (Security page, Add, Cancel), then closing the window.
void DriveProgram(const Process& program) {
  const DWORD id = program.Id();
  HWND main = nullptr;
  ASSERT_TRUE(WaitFor(
      [&] {
        main = FindWindowOf(id, nullptr, [](HWND h) {
          return IsWindowVisible(h) && TextOf(h) == Widen(kApplicationTitle);
        });
        return main != nullptr;
      },
      30000))
      << "the window did not open";
  GUITHREADINFO thread = {};
  thread.cbSize = sizeof thread;
  ASSERT_TRUE(WaitFor([&] {
    return GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &thread) &&
           IsClass(thread.hwndFocus, WC_EDITW);
  })) << "the first field did not get the focus";
  EXPECT_EQ(AccessibleName(thread.hwndFocus), "TFTP Root Directory");

  // F1 typed: the system makes WM_HELP of keyboard input only, not of a
  // posted key.
  SetForegroundWindow(main);
  ASSERT_EQ(GetForegroundWindow(), main);
  INPUT keys[2] = {};
  for (INPUT& key : keys) {
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = VK_F1;
  }
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, keys, sizeof(INPUT));
  HWND viewer = nullptr;
  EXPECT_TRUE(WaitFor([&] {
    return (viewer = FindWindowOf(id, nullptr, [](HWND h) { return IsClass(h, L"HH Parent"); }));
  })) << "F1 opened no help viewer";
  if (viewer) PostMessageW(viewer, WM_CLOSE, 0, 0);

  // TCM_SETCURFOCUS selects the tab and notifies the window, as a click does.
  const HWND tabs = FindWindowExW(main, nullptr, WC_TABCONTROLW, nullptr);
  DWORD_PTR result = 0;
  SendMessageTimeoutW(tabs, TCM_SETCURFOCUS, 1, 0, SMTO_ABORTIFHUNG, 5000, &result);
  const auto button = [](const wchar_t* text) {
    return [text](HWND h) { return IsClass(h, WC_BUTTONW) && TextOf(h) == text; };
  };
  const HWND add = FindWindowOf(id, main, button(L"&Add"));
  ASSERT_TRUE(add && WaitFor([&] { return IsWindowVisible(add) != FALSE; })) << "no Security page";
  Click(add);
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    return (dialog = FindWindowOf(id, nullptr, [&](HWND h) {
              return IsWindowVisible(h) && GetWindow(h, GW_OWNER) == main;
            }));
  })) << "Add opened no rule dialog";
  const HWND cancel = FindWindowOf(id, dialog, button(L"&Cancel"));
  ASSERT_NE(cancel, nullptr);
  Click(cancel);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(dialog); })) << "the rule dialog stayed open";

  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(program.Ended(30000)) << "the program did not end";
  EXPECT_EQ(program.ExitCode(), 0u);
}

TEST(PlantedLibraries, NoneIsLoadedIntoTheProgram) {
  const ComApartment com;
  const PlantedFolder folder;
  ASSERT_TRUE(folder.Fill());

  // A program that leaves the search as it is loads every planted library
  // here, so an empty marker folder below means something.
  {
    const Process loader(
        L"\"" + folder.File(L"bare_name_loader.exe") + L"\" HHCtrl.OCX oleacc.dll wsock32.dll",
        folder.Path());
    ASSERT_TRUE(loader.Started() && loader.Ended(30000));
    ASSERT_EQ(FilesIn(folder.Markers(), true), "hhctrl.ocx oleacc.dll wsock32.dll");
  }
  {
    const Process program(L"\"" + folder.File(L"tftpcfg.exe") + L"\"", folder.Path());
    ASSERT_TRUE(program.Started());
    DriveProgram(program);
  }
  EXPECT_EQ(FilesIn(folder.Markers()), "") << "planted libraries loaded into the program";
}

}  // namespace
}  // namespace tftpcfg::test
