#pragma once
// The folder field's browse flow: the folder dialog each folder field owns, and
// the small interface over the shell calls it makes, so tests can play the
// shell's folder browser. No Windows header: shell items and windows are opaque
// pointers here, and the Win32 implementation of the interface casts them.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ansi_codec.h"

namespace tftpcfg {

// The browser's top item. sfoDesktopExpanded asks the shell for a folder number
// it refuses, so the browser gets no top item and shows the whole namespace
// from the desktop down.
enum class TShellFolders {
  sfoDesktopExpanded,
  sfoDesktop,
  sfoPrograms,
  sfoControlPanel,
  sfoPrinters,
  sfoPersonal,
  sfoFavorites,
  sfoStartup,
  sfoRecent,
  sfoSendTo,
  sfoRecycleBin,
  sfoStartMenu,
  sfoDesktopDirectory,
  sfoMyComputer,
  sfoNetwork,
  sfoNetworkNeighborhood,
  sfoFonts,
  sfoTemplates,
};

// The shell's special folder number (CSIDL) asked for the top item.
int ShellFolderNumber(TShellFolders folder);

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
  OwnedShellItem& operator=(OwnedShellItem&& other) noexcept;
  ~OwnedShellItem() { reset(); }

  ShellItemId get() const { return id_; }
  explicit operator bool() const { return id_ != nullptr; }
  void reset();

 private:
  IFolderBrowserShell* shell_ = nullptr;
  ShellItemId id_ = nullptr;
};

// The folder dialog a folder field owns. Between browses it remembers the last
// folder as a path; the shell items it works with live only for one browse.
class TElFolderDialog {
 public:
  const std::string& Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }
  const std::string& Prompt() const { return prompt_; }
  void SetPrompt(std::string prompt) { prompt_ = std::move(prompt); }
  TShellFolders RootFolder() const { return root_; }
  void SetRootFolder(TShellFolders root) { root_ = root; }
  unsigned Options() const { return options_; }
  void SetOptions(unsigned flags) { options_ = flags; }
  // The folder as a path (UTF-8).
  const std::string& Folder() const { return folder_; }

  // Browses starting from `text` (the field's text). Returns the path of the
  // confirmed item, empty for an item without a file-system path, or nullopt
  // when the user cancelled (the dialog's folder is then what it was before).
  std::optional<std::string> Browse(IFolderBrowserShell& shell, const IAnsiCodec& codec,
                                    WindowRef owner, std::string_view text);

 private:
  class Session;

  std::string title_;
  std::string prompt_;
  TShellFolders root_ = TShellFolders::sfoDesktopExpanded;
  unsigned options_ = 0;
  std::string folder_;
  std::array<char, kDisplayNameSize> displayName_{};
};

}  // namespace tftpcfg
