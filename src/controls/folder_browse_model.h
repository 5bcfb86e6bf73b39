#pragma once
// The folder field's browse flow: the folder dialog each folder field owns,
// over the shell's folder browser (platform/folder_browser.h), which tests
// play. No Windows header.

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ansi_codec.h"
#include "platform/folder_browser.h"

namespace tftpcfg {

// The browser's top item. sfoDesktopExpanded asks the shell for a folder number
// it refuses, so the browser gets no top item and shows the whole namespace
// from the desktop down.
enum class ShellFolder {
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
int ShellFolderNumber(ShellFolder folder);

// The folder dialog a folder field owns. Between browses it remembers the last
// folder as a path; the shell items it works with live only for one browse.
// It is always held by a shared pointer: the browser runs a message loop of
// its own, in which the field that owns the dialog may be destroyed, and a
// browse keeps the dialog and its codec alive until it returns.
class FolderBrowseDialog : public std::enable_shared_from_this<FolderBrowseDialog> {
 public:
  static std::shared_ptr<FolderBrowseDialog> Create(std::shared_ptr<const IAnsiCodec> codec) {
    return std::shared_ptr<FolderBrowseDialog>(new FolderBrowseDialog(std::move(codec)));
  }

  const std::string& Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }
  const std::string& Prompt() const { return prompt_; }
  void SetPrompt(std::string prompt) { prompt_ = std::move(prompt); }
  ShellFolder RootFolder() const { return root_; }
  void SetRootFolder(ShellFolder root) { root_ = root; }
  unsigned Options() const { return options_; }
  void SetOptions(unsigned flags) { options_ = flags; }
  // The folder as a path (UTF-8).
  const std::string& Folder() const { return folder_; }

  // Browses starting from `text` (the field's text). Returns the path of the
  // confirmed item, empty for an item without a file-system path, or nullopt
  // when the user cancelled (the dialog's folder is then what it was before).
  // The shell must outlive the call; the dialog and its codec are kept alive
  // by the browse itself.
  std::optional<std::string> Browse(IFolderBrowserShell& shell, WindowRef owner,
                                    std::string_view text);

 private:
  class Session;

  explicit FolderBrowseDialog(std::shared_ptr<const IAnsiCodec> codec) : codec_(std::move(codec)) {}

  std::shared_ptr<const IAnsiCodec> codec_;

  std::string title_;
  std::string prompt_;
  ShellFolder root_ = ShellFolder::sfoDesktopExpanded;
  unsigned options_ = 0;
  std::string folder_;
  std::array<char, kDisplayNameSize> displayName_{};
};

}  // namespace tftpcfg
