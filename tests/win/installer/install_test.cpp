// The installer package, installed and removed with msiexec in the test prefix:
// where the files and the Start-menu shortcut land, the version the package
// registers, upgrades to a newer package, and that removal leaves nothing.

#include <windows.h>
#include <msi.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/win32/win_handles.h"

namespace {

// Set by the build (installer/CMakeLists.txt).
const wchar_t* const kPackage = TFTPCFG_TEST_MSI;
const wchar_t* const kNextPackage = TFTPCFG_TEST_NEXT_MSI;
const wchar_t* const kVersion = TFTPCFG_TEST_VERSION;
const wchar_t* const kNextVersion = TFTPCFG_TEST_NEXT_VERSION;
const wchar_t* const kUpgradeCode = TFTPCFG_TEST_UPGRADE_CODE;
const wchar_t* const kProductName = TFTPCFG_TEST_PRODUCT_NAME;
const wchar_t* const kBuiltProgram = TFTPCFG_TEST_BUILT_EXE;
const wchar_t* const kBuiltHelp = TFTPCFG_TEST_BUILT_CHM;

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::wstring result;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) result = path;
  CoTaskMemFree(path);
  return result;
}

std::wstring InstallDir() {
  return KnownFolder(FOLDERID_ProgramFiles) + L"\\" + kProductName;
}

// The shortcut may land in the machine's or, under Wine, the user's Start Menu.
std::vector<std::wstring> ShortcutCandidates() {
  const std::wstring name = std::wstring(L"\\") + kProductName + L".lnk";
  return {KnownFolder(FOLDERID_CommonPrograms) + name, KnownFolder(FOLDERID_Programs) + name};
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFile(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs msiexec with the arguments and returns its exit code (or -1).
DWORD Msiexec(const std::wstring& arguments) {
  std::wstring command = L"msiexec.exe " + arguments;
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi))
    return static_cast<DWORD>(-1);
  const tftpcfg::UniqueKernelHandle process(pi.hProcess);
  const tftpcfg::UniqueKernelHandle thread(pi.hThread);
  WaitForSingleObject(pi.hProcess, 180000);
  DWORD code = static_cast<DWORD>(-1);
  GetExitCodeProcess(pi.hProcess, &code);
  return code;
}

DWORD Install(const wchar_t* package) {
  return Msiexec(L"/i \"" + std::wstring(package) + L"\" /qn");
}

// Product codes of every installed package with the product's upgrade code.
std::vector<std::wstring> InstalledProducts() {
  std::vector<std::wstring> products;
  wchar_t code[39];
  for (DWORD i = 0; MsiEnumRelatedProductsW(kUpgradeCode, 0, i, code) == ERROR_SUCCESS; ++i)
    products.emplace_back(code);
  return products;
}

std::wstring ProductVersion(const std::wstring& productCode) {
  wchar_t version[64] = {};
  DWORD size = 64;
  if (MsiGetProductInfoW(productCode.c_str(), INSTALLPROPERTY_VERSIONSTRING, version, &size) !=
      ERROR_SUCCESS)
    return L"";
  return version;
}

// The target of a shell link, or empty when it cannot be read.
std::wstring LinkTarget(const std::wstring& link) {
  tftpcfg::ComPtr<IShellLinkW> shellLink;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(shellLink.put()))))
    return L"";
  tftpcfg::ComPtr<IPersistFile> file;
  if (FAILED(shellLink.get()->QueryInterface(IID_PPV_ARGS(file.put()))) ||
      FAILED(file.get()->Load(link.c_str(), STGM_READ)))
    return L"";
  wchar_t target[MAX_PATH] = {};
  if (FAILED(shellLink.get()->GetPath(target, MAX_PATH, nullptr, 0))) return L"";
  return target;
}

class InstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    RemoveAll();
    ASSERT_TRUE(InstalledProducts().empty()) << "a package from an earlier run stays installed";
  }
  void TearDown() override {
    RemoveAll();
    CoUninitialize();
  }
  static void RemoveAll() {
    for (const std::wstring& product : InstalledProducts()) Msiexec(L"/x " + product + L" /qn");
  }

  // Everything the package puts on the machine, as present (true) or gone (false).
  void ExpectInstalled(bool installed) {
    const std::wstring dir = InstallDir();
    EXPECT_EQ(Exists(dir + L"\\tftpcfg.exe"), installed);
    EXPECT_EQ(Exists(dir + L"\\tftpserv.chm"), installed);
    EXPECT_EQ(Exists(dir), installed) << "the product folder";
    int shortcuts = 0;
    for (const std::wstring& link : ShortcutCandidates()) shortcuts += Exists(link) ? 1 : 0;
    EXPECT_EQ(shortcuts, installed ? 1 : 0);
  }
};

TEST_F(InstallerTest, InstallsProgramHelpAndShortcutAndRemovesThemAgain) {
  ASSERT_EQ(Install(kPackage), 0u);
  ExpectInstalled(true);
  const std::wstring dir = InstallDir();
  // The installed files are the ones the build made.
  EXPECT_EQ(ReadFile(dir + L"\\tftpcfg.exe"), ReadFile(kBuiltProgram));
  EXPECT_EQ(ReadFile(dir + L"\\tftpserv.chm"), ReadFile(kBuiltHelp));
  // The shortcut starts the installed program.
  for (const std::wstring& link : ShortcutCandidates()) {
    if (!Exists(link)) continue;
    EXPECT_EQ(CompareStringOrdinal(LinkTarget(link).c_str(), -1, (dir + L"\\tftpcfg.exe").c_str(),
                                   -1, TRUE),
              CSTR_EQUAL)
        << "target: " << std::string(LinkTarget(link).begin(), LinkTarget(link).end());
  }
  // One product, registered with the build's version.
  const std::vector<std::wstring> products = InstalledProducts();
  ASSERT_EQ(products.size(), 1u);
  EXPECT_EQ(ProductVersion(products[0]), kVersion);

  ASSERT_EQ(Msiexec(L"/x \"" + std::wstring(kPackage) + L"\" /qn"), 0u);
  ExpectInstalled(false);
  EXPECT_TRUE(InstalledProducts().empty());
}

TEST_F(InstallerTest, NewerPackageReplacesTheInstalledOne) {
  ASSERT_EQ(Install(kPackage), 0u);
  ASSERT_EQ(Install(kNextPackage), 0u);
  const std::vector<std::wstring> products = InstalledProducts();
  ASSERT_EQ(products.size(), 1u) << "the older product was not removed";
  EXPECT_EQ(ProductVersion(products[0]), kNextVersion);
  ExpectInstalled(true);

  ASSERT_EQ(Msiexec(L"/x \"" + std::wstring(kNextPackage) + L"\" /qn"), 0u);
  ExpectInstalled(false);
  EXPECT_TRUE(InstalledProducts().empty());
}

TEST_F(InstallerTest, OlderPackageDoesNotReplaceANewerOne) {
  ASSERT_EQ(Install(kNextPackage), 0u);
  EXPECT_NE(Install(kPackage), 0u);
  const std::vector<std::wstring> products = InstalledProducts();
  ASSERT_EQ(products.size(), 1u);
  EXPECT_EQ(ProductVersion(products[0]), kNextVersion);
  ExpectInstalled(true);
}

TEST_F(InstallerTest, SameVersionInstallsOnlyOnce) {
  ASSERT_EQ(Install(kPackage), 0u);
  Install(kPackage);  // a repair or a refusal; never a second product
  EXPECT_EQ(InstalledProducts().size(), 1u);
  ExpectInstalled(true);
}

}  // namespace
