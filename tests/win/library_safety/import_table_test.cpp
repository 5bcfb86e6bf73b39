// The program's file as the loader sees it: every library in its import
// tables (plain and delay-loaded) is one the system always takes from the
// system folder, so no new dependency can bring a planted library in unnoticed.

#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

const wchar_t* const kBuiltProgram = TFTPCFG_TEST_BUILT_EXE;  // set by the build

// The known system libraries (KnownDLLs) the program may import, and comctl32,
// which the manifest binds side by side from the system's assembly store.
const std::set<std::string> kAllowed = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll",    "imm32.dll",
    "kernel32.dll", "msvcrt.dll",   "ole32.dll",    "oleaut32.dll", "rpcrt4.dll",
    "setupapi.dll", "shell32.dll",  "shlwapi.dll",  "user32.dll",   "ws2_32.dll"};

// The library names of the import and delay-load tables of the file, mapped as
// an image (not run) so that addresses in it are offsets from its start.
std::vector<std::string> ImportedLibraries(const wchar_t* path) {
  const HMODULE mapped =
      LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE);
  if (!mapped) return {};
  // The handle of a data mapping carries flags in its low bits.
  const auto* base =
      reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(mapped) & ~ULONG_PTR{3});
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY* directories = nt->OptionalHeader.DataDirectory;
  const auto text = [base](DWORD rva) {
    return std::string(reinterpret_cast<const char*>(base + rva));
  };
  std::vector<std::string> names;
  if (const DWORD rva = directories[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress) {
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + rva); d->Name; ++d)
      names.push_back(text(d->Name));
  }
  if (const DWORD rva = directories[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT].VirtualAddress) {
    for (auto* d = reinterpret_cast<const IMAGE_DELAYLOAD_DESCRIPTOR*>(base + rva); d->DllNameRVA;
         ++d)
      names.push_back(text(d->DllNameRVA));
  }
  FreeLibrary(mapped);
  return names;
}

TEST(ImportTable, NamesOnlyLibrariesTheSystemTakesFromTheSystemFolder) {
  const std::vector<std::string> libraries = ImportedLibraries(kBuiltProgram);
  ASSERT_FALSE(libraries.empty());
  for (std::string name : libraries) {
    CharLowerA(name.data());
    const bool ucrt = name.rfind("api-ms-win-crt-", 0) == 0 || name == "ucrtbase.dll";
    EXPECT_TRUE(kAllowed.count(name))
        << name << " would be looked for beside the program"
        << (ucrt ? ": the toolchain links the Universal C Runtime; build with one that links "
                   "msvcrt.dll (MSYS2 MINGW64, not UCRT64)"
                 : "");
  }
}

}  // namespace
