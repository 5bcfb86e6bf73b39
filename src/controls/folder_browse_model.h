#pragma once
// The folder field's browse flow: the folder dialog each folder field owns,
// over the shell's folder browser (platform/folder_browser.h), which tests
// play. No Windows header.

#include <array>
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
class FolderBrowseDialog {
 public:
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
  std::optional<std::string> Browse(IFolderBrowserShell& shell, const IAnsiCodec& codec,
                                    WindowRef owner, std::string_view text);

 private:
  class Session;

  std::string title_;
  std::string prompt_;
  ShellFolder root_ = ShellFolder::sfoDesktopExpanded;
  unsigned options_ = 0;
  std::string folder_;
  std::array<char, kDisplayNameSize> displayName_{};
};

}  // namespace tftpcfg
