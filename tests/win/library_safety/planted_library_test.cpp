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
#include <string>
#include <vector>

#include "platform/win32/file_system_win.h"
#include "platform/win32/win_handles.h"
#include "platform/win32/win_text.h"
#include "tests/support/win/child_program.h"
#include "ui/message_boxes.h"

namespace tftpcfg::test {
namespace {

const wchar_t* const kBuiltProgram = TFTPCFG_TEST_BUILT_EXE;  // set by the build
const wchar_t* const kBuiltHelp = TFTPCFG_TEST_BUILT_CHM;
#ifdef TFTPCFG_TEST_HELP_FILE_BUILT
constexpr bool kHelpFileBuilt = true;
#else
constexpr bool kHelpFileBuilt = false;  // no help compiler: F1 opens no viewer
#endif
const wchar_t* const kPlanted[] = {L"HHCtrl.OCX", L"oleacc.dll", L"wsock32.dll"};
const wchar_t* const kNativeFirst[] = {L"hhctrl.ocx", L"oleacc", L"wsock32"};
const wchar_t* const kStarted[] = {L"tftpcfg.exe", L"bare_name_loader.exe"};

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
    bool ok = Copy(kBuiltProgram, L"tftpcfg.exe") &&
              (!kHelpFileBuilt || Copy(kBuiltHelp, L"tftpserv.chm")) &&
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
  std::string text = Narrow(name);
  SysFreeString(name);
  return text;
}

// Start-up, the accessibility query on the first field, F1 and the rule
// dialog (Security page, Add, Cancel), then closing the window.
void DriveProgram(const ChildProcess& program) {
  const DWORD id = program.Id();
  const HWND main = WaitForVisibleWindow(program, Widen(kApplicationTitle), 30000);
  ASSERT_NE(main, nullptr) << "the window did not open";
  GUITHREADINFO thread = {};
  thread.cbSize = sizeof thread;
  ASSERT_TRUE(WaitFor([&] {
    return GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &thread) &&
           IsClass(thread.hwndFocus, WC_EDITW);
  })) << "the first field did not get the focus";
  EXPECT_EQ(AccessibleName(thread.hwndFocus), "TFTP Root Directory");

  if (kHelpFileBuilt) {
    ASSERT_TRUE(TypeKeyInto(main, VK_F1));
    HWND viewer = nullptr;
    EXPECT_TRUE(WaitFor([&] {
      return (viewer = FindWindowOf(id, nullptr, [](HWND h) { return IsClass(h, L"HH Parent"); }));
    })) << "F1 opened no help viewer";
    if (viewer) PostMessageW(viewer, WM_CLOSE, 0, 0);
  }

  // TCM_SETCURFOCUS selects the tab and notifies the window, as a click does.
  const HWND tabs = FindWindowExW(main, nullptr, WC_TABCONTROLW, nullptr);
  DWORD_PTR result = 0;
  SendMessageTimeoutW(tabs, TCM_SETCURFOCUS, 1, 0, SMTO_ABORTIFHUNG, 5000, &result);
  const auto button = [](const wchar_t* text) {
    return [text](HWND h) { return IsClass(h, WC_BUTTONW) && WindowTextOf(h) == text; };
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
    const ChildProcess loader(
        L"\"" + folder.File(L"bare_name_loader.exe") + L"\" HHCtrl.OCX oleacc.dll wsock32.dll",
        folder.Path());
    ASSERT_TRUE(loader.Started() && loader.Ended(30000));
    ASSERT_EQ(FilesIn(folder.Markers(), true), "hhctrl.ocx oleacc.dll wsock32.dll");
  }
  {
    const ChildProcess program(L"\"" + folder.File(L"tftpcfg.exe") + L"\"", folder.Path());
    ASSERT_TRUE(program.Started());
    DriveProgram(program);
  }
  EXPECT_EQ(FilesIn(folder.Markers()), "") << "planted libraries loaded into the program";
  if (!kHelpFileBuilt)
    GTEST_SKIP() << "checked without F1: this build has no help compiler, so no help file "
                    "for the viewer to open";
}

}  // namespace
}  // namespace tftpcfg::test
