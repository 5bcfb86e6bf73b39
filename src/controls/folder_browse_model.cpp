#include "controls/folder_browse_model.h"

#include <utility>

namespace tftpcfg {

int ShellFolderNumber(ShellFolder folder) {
  switch (folder) {
    case ShellFolder::sfoDesktopExpanded:
      return 0xFEFE;  // no such folder: the shell refuses it, so there is no top item
    case ShellFolder::sfoDesktop:
      return 0x0000;
    case ShellFolder::sfoPrograms:
      return 0x0002;
    case ShellFolder::sfoControlPanel:
      return 0x0003;
    case ShellFolder::sfoPrinters:
      return 0x0004;
    case ShellFolder::sfoPersonal:
      return 0x0005;
    case ShellFolder::sfoFavorites:
      return 0x0006;
    case ShellFolder::sfoStartup:
      return 0x0007;
    case ShellFolder::sfoRecent:
      return 0x0008;
    case ShellFolder::sfoSendTo:
      return 0x0009;
    case ShellFolder::sfoRecycleBin:
      return 0x000A;
    case ShellFolder::sfoStartMenu:
      return 0x000B;
    case ShellFolder::sfoDesktopDirectory:
      return 0x0010;
    case ShellFolder::sfoMyComputer:
      return 0x0011;
    case ShellFolder::sfoNetwork:
      return 0x0012;
    case ShellFolder::sfoNetworkNeighborhood:
      return 0x0013;
    case ShellFolder::sfoFonts:
      return 0x0014;
    case ShellFolder::sfoTemplates:
      return 0x0015;
  }
  return 0xFEFE;
}

// One browse: the shell, the text conversion and the dialog's current item,
// and the browser's callback messages.
class FolderBrowseDialog::Session final : public IFolderBrowserEvents {
 public:
  Session(FolderBrowseDialog& dialog, IFolderBrowserShell& shell, const IAnsiCodec& codec)
      : dialog_(dialog), shell_(shell), codec_(codec) {}

  // A path for the item, empty when it has none on the file system.
  std::string PathOf(ShellItemId item) const {
    std::string ansi;
    if (item == nullptr || !shell_.PathFromItem(item, ansi)) return {};
    return codec_.FromAnsi(ansi);
  }

  // Text for the browser's ANSI functions. These are the program's own
  // captions; one the code page cannot hold is left out rather than shown
  // garbled.
  std::string Ansi(std::string_view text) const {
    std::string ansi;
    if (!codec_.ToAnsi(text, ansi)) ansi.clear();
    return ansi;
  }

  void SetCurrent(OwnedShellItem item) {
    current_ = std::move(item);
    dialog_.folder_ = PathOf(current_.get());
  }
  bool HasCurrent() const { return static_cast<bool>(current_); }

  void Initialized(WindowRef browser) override {
    initialized_ = true;
    // Set also when empty, so the caption bar shows no text at all.
    shell_.SetCaption(browser, Ansi(dialog_.title_));
    if (current_) {
      // The browser does not take over the item it is given: hand it a copy
      // and free that copy here.
      const OwnedShellItem copy(shell_, shell_.CloneItem(current_.get()));
      if (copy) shell_.SetSelection(browser, copy.get());
    }
  }

  void SelectionChanged(WindowRef, ShellItemId item) override {
    // Selections the browser makes while it builds its window are not the
    // user's.
    if (!initialized_) return;
    SetCurrent(OwnedShellItem(shell_, item != nullptr ? shell_.CloneItem(item) : nullptr));
  }

 private:
  FolderBrowseDialog& dialog_;
  IFolderBrowserShell& shell_;
  const IAnsiCodec& codec_;
  OwnedShellItem current_;
  bool initialized_ = false;
};

std::optional<std::string> FolderBrowseDialog::Browse(IFolderBrowserShell& shell, WindowRef owner,
                                                      std::string_view text) {
  // Whoever owns this dialog may let go of it while the browser runs.
  const std::shared_ptr<FolderBrowseDialog> self = shared_from_this();
  const std::shared_ptr<const IAnsiCodec> codec = codec_;
  Session session(*this, shell, *codec);

  // The field's text becomes the folder. When the desktop folder can resolve
  // it, the browser opens with that item selected and the folder is the
  // shell's spelling of its path. Text the code page cannot hold names nothing
  // the ANSI functions could reach; an empty text names nothing either.
  folder_ = std::string(text);
  std::string ansi;
  if (!text.empty() && codec->ToAnsi(text, ansi)) {
    OwnedShellItem item(shell, shell.ParseDisplayName(ansi));
    if (item) session.SetCurrent(std::move(item));
  }

  const std::string remembered = folder_;

  const OwnedShellItem root(shell, shell.SpecialFolderLocation(owner, ShellFolderNumber(root_)));
  displayName_.fill('\0');
  FolderBrowseRequest request;
  request.owner = owner;
  request.displayName = displayName_.data();
  request.prompt = session.Ansi(prompt_);
  request.flags = options_;
  request.root = root.get();

  OwnedShellItem chosen(shell, shell.BrowseForFolder(request, session));
  if (!chosen) {
    folder_ = remembered;
    return std::nullopt;
  }
  session.SetCurrent(std::move(chosen));
  return folder_;
}

}  // namespace tftpcfg
