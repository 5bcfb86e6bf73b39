#include "platform/win32/folder_browser_win.h"

#include <windows.h>
#include <shlobj.h>

#include <exception>

#include "platform/win32/application_error.h"
#include "platform/win32/system_api.h"
#include "platform/win32/win_handles.h"
#include "platform/win32/win_text.h"

namespace tftpcfg {
namespace {

// Item identifier lists are freed with the shell's allocator.
struct PidlTraits {
  using type = LPITEMIDLIST;
  static constexpr type invalid() noexcept { return nullptr; }
  static void close(type p) noexcept {
    IMalloc* malloc = nullptr;
    if (SUCCEEDED(shell32::SHGetMalloc(&malloc)) && malloc) {
      malloc->Free(p);
      malloc->Release();
    }
  }
};
using UniquePidl = UniqueHandle<PidlTraits>;

LPITEMIDLIST AsPidl(ShellItemId item) {
  return static_cast<LPITEMIDLIST>(item);
}

class WinFolderBrowserShell final : public IFolderBrowserShell {
 public:
  ShellItemId ParseDisplayName(const std::string& ansiPath) override {
    // A text the code page cannot read names nothing the shell knows.
    std::optional<std::wstring> wide = WidenAnsi(ansiPath);
    if (!wide || wide->empty()) return nullptr;
    ComPtr<IShellFolder> desktop;
    if (FAILED(shell32::SHGetDesktopFolder(desktop.put())) || !desktop) return nullptr;
    UniquePidl item;
    ULONG eaten = 0;
    if (FAILED(desktop.get()->ParseDisplayName(nullptr, nullptr, wide->data(), &eaten, item.put(),
                                               nullptr)))
      return nullptr;
    return item.release();
  }

  ShellItemId SpecialFolderLocation(WindowRef owner, int folder) override {
    UniquePidl item;
    if (FAILED(shell32::SHGetSpecialFolderLocation(static_cast<HWND>(owner), folder, item.put())))
      return nullptr;
    return item.release();
  }

  ShellItemId CloneItem(ShellItemId item) override { return shell32::ILClone(AsPidl(item)); }

  void FreeItem(ShellItemId item) override { UniquePidl owned(AsPidl(item)); }

  bool PathFromItem(ShellItemId item, std::string& ansiPath) override {
    char path[MAX_PATH] = {};
    if (!shell32::SHGetPathFromIDListA(AsPidl(item), path)) return false;
    ansiPath = path;
    return true;
  }

  ShellItemId BrowseForFolder(const FolderBrowseRequest& request,
                              IFolderBrowserEvents& events) override {
    BROWSEINFOA info{};
    info.hwndOwner = static_cast<HWND>(request.owner);
    info.pidlRoot = AsPidl(request.root);
    info.pszDisplayName = request.displayName;
    info.lpszTitle = request.prompt.c_str();
    info.ulFlags = request.flags;
    info.lpfn = Callback;
    info.lParam = reinterpret_cast<LPARAM>(&events);
    const ComApartment com(COINIT_APARTMENTTHREADED);
    return shell32::SHBrowseForFolderA(&info);
  }

  void SetCaption(WindowRef browser, const std::string& ansi) override {
    SetWindowTextA(static_cast<HWND>(browser), ansi.c_str());
  }

  void SetSelection(WindowRef browser, ShellItemId item) override {
    SendMessageA(static_cast<HWND>(browser), BFFM_SETSELECTIONA, FALSE,
                 reinterpret_cast<LPARAM>(item));
  }

 private:
  static int CALLBACK Callback(HWND hwnd, UINT msg, LPARAM lParam, LPARAM data) {
    auto* events = reinterpret_cast<IFolderBrowserEvents*>(data);
    // The browser is the shell's: nothing may unwind through it.
    try {
      if (msg == BFFM_INITIALIZED) events->Initialized(hwnd);
      if (msg == BFFM_SELCHANGED) events->SelectionChanged(hwnd, reinterpret_cast<void*>(lParam));
    } catch (const std::exception& e) {
      ShowApplicationError(hwnd, e.what());
    }
    return 0;
  }
};

}  // namespace

IFolderBrowserShell& SystemFolderBrowser() {
  static WinFolderBrowserShell shell;
  return shell;
}

}  // namespace tftpcfg
