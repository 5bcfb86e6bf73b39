// SystemLibrary takes a library from the system folder or not at all: a file
// of the name beside the program is never loaded, and a library it cannot load
// is reported with its name and the system's reason.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/app_error.h"
#include "platform/win32/file_system_win.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win_text.h"

namespace tftpcfg::test {
namespace {

using IsAppThemedFn = BOOL(WINAPI*)();

TEST(SystemLibrary, LoadsFromTheSystemFolderOnly) {
  const SystemLibrary system("uxtheme.dll");
  ASSERT_TRUE(system.Loaded()) << system.ErrorText();
  EXPECT_NE(system.Find<IsAppThemedFn>("IsAppThemed"), nullptr);
  EXPECT_EQ(system.Find<IsAppThemedFn>("NoSuchFunction"), nullptr);
  EXPECT_NO_THROW(system.Require());

  // The marker library lies beside the test program only. (Once loaded, it
  // would be found by name wherever it came from: the usual search comes last.)
  const std::string name = "marker_library.dll";
  ASSERT_NE(GetFileAttributesA((ExecutableDirectory() + name).c_str()), INVALID_FILE_ATTRIBUTES);
  const SystemLibrary beside(name.c_str());
  EXPECT_FALSE(beside.Loaded());
  EXPECT_EQ(beside.Error(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(beside.Find<IsAppThemedFn>("IsAppThemed"), nullptr);
  const std::string reason = "The system library \"marker_library.dll\" could not be loaded: " +
                             SystemErrorTextUtf8(ERROR_MOD_NOT_FOUND);
  EXPECT_EQ(beside.ErrorText(), reason);
  try {
    beside.Require();
    ADD_FAILURE() << "Require did not throw";
  } catch (const AppError& e) {
    EXPECT_EQ(e.what(), reason);
  }
  const UniqueModule usual(LoadLibraryA(name.c_str()));
  EXPECT_TRUE(usual) << "the usual search does not find it beside the program";
}

}  // namespace
}  // namespace tftpcfg::test
