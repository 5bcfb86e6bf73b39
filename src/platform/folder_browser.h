#pragma once
// The shell's folder browser and the namespace calls around it, behind a small
// interface, so tests can play the browser. No Windows header: shell items and
// windows are opaque pointers here, and the Win32 implementation
// (win32/folder_browser_win.h) casts them.

#include <cstddef>
#include <string>
#include <utility>

namespace tftpcfg {

// An item identifier list of the shell namespace, allocated by the shell.
using ShellItemId = void*;
// A window of the platform.
using WindowRef = void*;

// Size of the display-name buffer handed to the browser (MAX_PATH).
inline constexpr size_t kDisplayNameSize = 260;

// What the browser reports while it is open (its callback messages).
class IFolderBrowserEvents {
 public:
  // The browser window exists (BFFM_INITIALIZED).
  virtual void Initialized(WindowRef browser) = 0;
  // The user selected another item (BFFM_SELCHANGED); the item stays the
  // browser's, copy it to keep it.
  virtual void SelectionChanged(WindowRef browser, ShellItemId item) = 0;

 protected:
  ~IFolderBrowserEvents() = default;
};

// The fields of the browser's BROWSEINFOA record that the dialog fills.
struct FolderBrowseRequest {
  WindowRef owner = nullptr;
  char* displayName = nullptr;  // kDisplayNameSize bytes
  std::string prompt;           // ANSI; shown above the tree
  unsigned flags = 0;           // BIF_ flags
  ShellItemId root = nullptr;   // nullptr: the whole namespace
};

// The shell calls of the browse flow. Text crossing this interface is in the
// system's ANSI code page. Every item it hands out belongs to the caller and
// goes back through FreeItem (the shell's allocator).
class IFolderBrowserShell {
 public:
  virtual ~IFolderBrowserShell() = default;
  // The desktop folder's ParseDisplayName; nullptr when the text names nothing.
  virtual ShellItemId ParseDisplayName(const std::string& ansiPath) = 0;
  // SHGetSpecialFolderLocation; nullptr when refused or failed.
  virtual ShellItemId SpecialFolderLocation(WindowRef owner, int folder) = 0;
  virtual ShellItemId CloneItem(ShellItemId item) = 0;
  virtual void FreeItem(ShellItemId item) = 0;
  // SHGetPathFromIDListA; false for an item without a file-system path.
  virtual bool PathFromItem(ShellItemId item, std::string& ansiPath) = 0;
  // Shows the browser (with COM initialised apartment-threaded around it) and
  // returns the item the user confirmed, or nullptr when cancelled or failed.
  // Reports the browser's callback messages to events while it is open.
  virtual ShellItemId BrowseForFolder(const FolderBrowseRequest& request,
                                      IFolderBrowserEvents& events) = 0;
  // The browser window's caption (SetWindowTextA).
  virtual void SetCaption(WindowRef browser, const std::string& ansi) = 0;
  // Selects an item in the browser's tree (BFFM_SETSELECTIONA with an item).
  virtual void SetSelection(WindowRef browser, ShellItemId item) = 0;
};

// Owns one shell item and gives it back to the shell that made it.
class OwnedShellItem {
 public:
  OwnedShellItem() = default;
  OwnedShellItem(IFolderBrowserShell& shell, ShellItemId id) : shell_(&shell), id_(id) {}
  OwnedShellItem(const OwnedShellItem&) = delete;
  OwnedShellItem& operator=(const OwnedShellItem&) = delete;
  OwnedShellItem(OwnedShellItem&& other) noexcept : shell_(other.shell_), id_(other.id_) {
    other.id_ = nullptr;
  }
  OwnedShellItem& operator=(OwnedShellItem&& other) noexcept {
    if (this != &other) {
      reset();
      shell_ = other.shell_;
      id_ = std::exchange(other.id_, nullptr);
    }
    return *this;
  }
  ~OwnedShellItem() { reset(); }

  ShellItemId get() const { return id_; }
  explicit operator bool() const { return id_ != nullptr; }
  void reset() {
    if (id_ != nullptr) shell_->FreeItem(std::exchange(id_, nullptr));
  }

 private:
  IFolderBrowserShell* shell_ = nullptr;
  ShellItemId id_ = nullptr;
};

}  // namespace tftpcfg
