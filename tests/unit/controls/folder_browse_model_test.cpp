#include "controls/folder_browse_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <optional>
#include <string>
#include <vector>

#include "controls/edit_command_model.h"
#include "tests/support/latin1_codec.h"

namespace tftpcfg {
namespace {

WindowRef const kOwner = reinterpret_cast<WindowRef>(0x1234);
WindowRef const kBrowser = reinterpret_cast<WindowRef>(0x5678);

// Plays the shell: a namespace of named items, some with a file-system path,
// items handed out as heap objects whose every release is checked, and a
// browser whose part the test scripts.
class FakeShell final : public IFolderBrowserShell {
 public:
  struct Item {
    std::string name;
    std::optional<std::string> path;  // ANSI
  };
  using Browser = std::function<ShellItemId(const FolderBrowseRequest&, IFolderBrowserEvents&)>;

  ~FakeShell() override { EXPECT_EQ(Outstanding(), 0u) << "shell items leaked"; }

  // Names the desktop folder resolves, with the path the shell spells for them.
  std::map<std::string, std::optional<std::string>> names;
  Browser browser;

  // What the flow asked of the shell.
  std::vector<std::string> parsed;
  std::vector<int> specialFolders;
  std::optional<FolderBrowseRequest> request;
  std::string rootName;
  std::vector<std::string> captions;
  std::vector<std::string> selections;  // items selected in the browser's tree
  int browses = 0;

  ShellItemId Make(const std::string& name, std::optional<std::string> path) {
    auto item = std::make_unique<Item>(Item{name, std::move(path)});
    ShellItemId id = item.get();
    items_[id] = std::move(item);
    return id;
  }
  // An item as the browser would return it for a name of the namespace.
  ShellItemId MakeNamed(const std::string& name) { return Make(name, names.at(name)); }
  size_t Outstanding() const { return items_.size(); }
  const Item& Get(ShellItemId id) const {
    const auto it = items_.find(id);
    if (it == items_.end()) throw std::logic_error("not a live item");
    return *it->second;
  }

  ShellItemId ParseDisplayName(const std::string& ansiPath) override {
    parsed.push_back(ansiPath);
    const auto it = names.find(ansiPath);
    return it == names.end() ? nullptr : Make(it->first, it->second);
  }
  ShellItemId SpecialFolderLocation(WindowRef owner, int folder) override {
    EXPECT_EQ(owner, kOwner);
    specialFolders.push_back(folder);
    if (folder == 0xFEFE) return nullptr;  // the shell refuses unknown numbers
    return Make("special " + std::to_string(folder), std::nullopt);
  }
  ShellItemId CloneItem(ShellItemId item) override {
    const Item& original = Get(item);
    return Make(original.name, original.path);
  }
  void FreeItem(ShellItemId item) override {
    if (items_.erase(item) == 0) ADD_FAILURE() << "freed an item that is not live";
  }
  bool PathFromItem(ShellItemId item, std::string& ansiPath) override {
    const Item& it = Get(item);
    if (!it.path) return false;
    ansiPath = *it.path;
    return true;
  }
  ShellItemId BrowseForFolder(const FolderBrowseRequest& req,
                              IFolderBrowserEvents& events) override {
    ++browses;
    request = req;
    rootName = req.root ? Get(req.root).name : "";
    return browser ? browser(req, events) : nullptr;
  }
  void SetCaption(WindowRef browser, const std::string& ansi) override {
    EXPECT_EQ(browser, kBrowser);
    captions.push_back(ansi);
  }
  void SetSelection(WindowRef browser, ShellItemId item) override {
    EXPECT_EQ(browser, kBrowser);
    selections.push_back(Get(item).name);
  }

 private:
  std::map<ShellItemId, std::unique_ptr<Item>> items_;
};

class FolderDialogTest : public ::testing::Test {
 protected:
  FolderDialogTest() {
    shell.names["C:\\Windows"] = "C:\\windows";
    shell.names["C:\\windows"] = "C:\\windows";
    shell.names["D:\\tftp"] = "D:\\tftp";
    shell.names["Control Panel"] = std::nullopt;
    shell.names["C:\\Caf\xe9"] = "C:\\Caf\xe9";
  }

  std::optional<std::string> Browse(std::string_view text) {
    return dialog->Browse(shell, kOwner, text);
  }

  // The user presses OK on whatever the tree shows selected.
  FakeShell::Browser OkWithoutMoving() {
    return [this](const FolderBrowseRequest&, IFolderBrowserEvents& events) -> ShellItemId {
      events.Initialized(kBrowser);
      if (shell.selections.empty()) return nullptr;
      return shell.MakeNamed(shell.selections.back());
    };
  }
  // The user moves through the tree and then presses OK or Cancel.
  FakeShell::Browser MoveThen(std::vector<std::string> path, bool ok) {
    return [this, path = std::move(path), ok](const FolderBrowseRequest&,
                                              IFolderBrowserEvents& events) {
      events.Initialized(kBrowser);
      for (const std::string& name : path) {
        // The browser owns the item it reports and frees it afterwards.
        OwnedShellItem item(shell, shell.MakeNamed(name));
        events.SelectionChanged(kBrowser, item.get());
      }
      return ok ? shell.MakeNamed(path.back()) : nullptr;
    };
  }

  FakeShell shell;
  std::shared_ptr<FolderBrowseDialog> dialog =
      FolderBrowseDialog::Create(std::make_shared<test::Latin1Codec>());
};

TEST_F(FolderDialogTest, ExistingFolderOpensSelectedAndOkWritesTheShellsSpelling) {
  dialog->SetTitle("Select Folder");
  dialog->SetPrompt("Please select the folder to be used for TFTP transfers:");
  shell.browser = OkWithoutMoving();

  EXPECT_EQ(Browse("C:\\Windows"), "C:\\windows");

  EXPECT_EQ(shell.parsed, std::vector<std::string>{"C:\\Windows"});
  EXPECT_EQ(shell.captions, std::vector<std::string>{"Select Folder"});
  EXPECT_EQ(shell.selections, std::vector<std::string>{"C:\\Windows"});
  ASSERT_TRUE(shell.request);
  EXPECT_EQ(shell.request->prompt, "Please select the folder to be used for TFTP transfers:");
  EXPECT_EQ(shell.request->owner, kOwner);
  EXPECT_EQ(shell.request->flags, 0u);
  EXPECT_NE(shell.request->displayName, nullptr);
  EXPECT_EQ(dialog->Folder(), "C:\\windows");
}

TEST_F(FolderDialogTest, DesktopExpandedAsksForFolderFEFEAndGetsNoTopItem) {
  shell.browser = OkWithoutMoving();
  Browse("D:\\tftp");
  EXPECT_EQ(shell.specialFolders, std::vector<int>{0xFEFE});
  ASSERT_TRUE(shell.request);
  EXPECT_EQ(shell.request->root, nullptr);
}

TEST_F(FolderDialogTest, AnotherRootFolderIsHandedToTheBrowserAndFreed) {
  dialog->SetRootFolder(ShellFolder::sfoMyComputer);
  dialog->SetOptions(0x41);
  Browse("D:\\tftp");
  EXPECT_EQ(shell.specialFolders, std::vector<int>{0x11});
  EXPECT_EQ(shell.rootName, "special 17");
  EXPECT_EQ(shell.request->flags, 0x41u);
  EXPECT_EQ(shell.Outstanding(), 0u);
}

TEST_F(FolderDialogTest, MissingOrEmptyFolderOpensWithNothingSelectedAndCancelKeepsIt) {
  shell.browser = [this](const FolderBrowseRequest&, IFolderBrowserEvents& events) {
    events.Initialized(kBrowser);
    return ShellItemId{nullptr};  // Cancel
  };
  EXPECT_EQ(Browse("C:\\does\\not\\exist"), std::nullopt);
  EXPECT_TRUE(shell.selections.empty());
  EXPECT_EQ(dialog->Folder(), "C:\\does\\not\\exist");

  EXPECT_EQ(Browse(""), std::nullopt);
  EXPECT_TRUE(shell.selections.empty());
  EXPECT_EQ(dialog->Folder(), "");
  // An empty text is not handed to the shell at all.
  EXPECT_EQ(shell.parsed, std::vector<std::string>{"C:\\does\\not\\exist"});
}

TEST_F(FolderDialogTest, EmptyTitleStillSetsTheCaptionAndNoPromptIsShown) {
  shell.browser = OkWithoutMoving();
  Browse("");
  EXPECT_EQ(shell.captions, std::vector<std::string>{""});
  EXPECT_EQ(shell.request->prompt, "");
}

TEST_F(FolderDialogTest, SelectionChangesAreFollowedAfterInitialisationOnly) {
  std::vector<std::string> seen;
  shell.browser = [&](const FolderBrowseRequest&, IFolderBrowserEvents& events) {
    OwnedShellItem early(shell, shell.MakeNamed("D:\\tftp"));
    events.SelectionChanged(kBrowser, early.get());
    seen.push_back(dialog->Folder());
    events.Initialized(kBrowser);
    OwnedShellItem moved(shell, shell.MakeNamed("D:\\tftp"));
    events.SelectionChanged(kBrowser, moved.get());
    seen.push_back(dialog->Folder());
    OwnedShellItem virtualItem(shell, shell.MakeNamed("Control Panel"));
    events.SelectionChanged(kBrowser, virtualItem.get());
    seen.push_back(dialog->Folder());
    return ShellItemId{nullptr};
  };
  EXPECT_EQ(Browse("C:\\Windows"), std::nullopt);
  EXPECT_EQ(seen, (std::vector<std::string>{"C:\\windows", "D:\\tftp", ""}));
  // Cancel goes back to the folder the browse started from.
  EXPECT_EQ(dialog->Folder(), "C:\\windows");
}

TEST_F(FolderDialogTest, ConfirmedItemWithoutAPathGivesAnEmptyPath) {
  shell.browser = MoveThen({"D:\\tftp", "Control Panel"}, true);
  const std::optional<std::string> result = Browse("D:\\tftp");
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(*result, "");
  EXPECT_EQ(dialog->Folder(), "");
}

TEST_F(FolderDialogTest, ConfirmedAfterMovingGivesTheNewPath) {
  shell.browser = MoveThen({"C:\\windows", "D:\\tftp"}, true);
  EXPECT_EQ(Browse(""), "D:\\tftp");
}

TEST_F(FolderDialogTest, PathsCrossTheShellInTheAnsiCodePage) {
  shell.browser = OkWithoutMoving();
  EXPECT_EQ(Browse("C:\\Caf\xc3\xa9"), "C:\\Caf\xc3\xa9");
  EXPECT_EQ(shell.parsed, std::vector<std::string>{"C:\\Caf\xe9"});
}

TEST_F(FolderDialogTest, TextTheCodePageCannotHoldParsesToNothing) {
  shell.browser = OkWithoutMoving();
  EXPECT_EQ(Browse("C:\\\xe4\xb8\xad"), std::nullopt);  // U+4E2D
  EXPECT_TRUE(shell.parsed.empty());
  EXPECT_TRUE(shell.selections.empty());
  EXPECT_EQ(shell.browses, 1);
  EXPECT_EQ(dialog->Folder(), "C:\\\xe4\xb8\xad");

  dialog->SetTitle("\xe4\xb8\xad");  // a caption it cannot hold is left out
  Browse("");
  EXPECT_EQ(shell.captions.back(), "");
}

TEST_F(FolderDialogTest, EveryItemIsFreedOnEveryPath) {
  dialog->SetRootFolder(ShellFolder::sfoDesktop);
  // OK, Cancel, a browser that fails at once, and one that moves a lot.
  shell.browser = OkWithoutMoving();
  Browse("C:\\Windows");
  EXPECT_EQ(shell.Outstanding(), 0u);
  shell.browser = MoveThen({"D:\\tftp", "C:\\windows", "Control Panel"}, false);
  Browse("C:\\Windows");
  EXPECT_EQ(shell.Outstanding(), 0u);
  shell.browser = nullptr;
  Browse("C:\\Windows");
  EXPECT_EQ(shell.Outstanding(), 0u);
  shell.browser = MoveThen({"D:\\tftp", "C:\\windows", "Control Panel"}, true);
  Browse("C:\\Windows");
  EXPECT_EQ(shell.Outstanding(), 0u);
}

TEST_F(FolderDialogTest, ABrowseOutlivesTheFieldThatStartedIt) {
  // The field's window is destroyed while the browser runs its own message
  // loop; the browse goes on with what it holds.
  struct Field {
    std::shared_ptr<FolderBrowseDialog> dialog =
        FolderBrowseDialog::Create(std::make_shared<test::Latin1Codec>());
  };
  auto field = std::make_unique<Field>();
  shell.browser = [&](const FolderBrowseRequest&, IFolderBrowserEvents& events) {
    events.Initialized(kBrowser);
    field.reset();
    OwnedShellItem moved(shell, shell.MakeNamed("D:\\tftp"));
    events.SelectionChanged(kBrowser, moved.get());
    return shell.MakeNamed("C:\\Caf\xe9");
  };
  FolderBrowseDialog& fieldDialog = *field->dialog;
  EXPECT_EQ(fieldDialog.Browse(shell, kOwner, "C:\\Windows"), "C:\\Caf\xc3\xa9");
}

TEST(ShellFolderNumber, MapsToTheShellsFolderNumbers) {
  EXPECT_EQ(ShellFolderNumber(ShellFolder::sfoDesktopExpanded), 0xFEFE);
  EXPECT_EQ(ShellFolderNumber(ShellFolder::sfoDesktop), 0x00);
  EXPECT_EQ(ShellFolderNumber(ShellFolder::sfoPersonal), 0x05);
  EXPECT_EQ(ShellFolderNumber(ShellFolder::sfoMyComputer), 0x11);
  EXPECT_EQ(ShellFolderNumber(ShellFolder::sfoTemplates), 0x15);
}

TEST(EditCommands, ControlCharactersAreCommandsOrKeptOut) {
  EXPECT_EQ(CommandForChar(0x03), EditCommand::Copy);
  EXPECT_EQ(CommandForChar(0x18), EditCommand::Cut);
  EXPECT_EQ(CommandForChar(0x16), EditCommand::Paste);
  EXPECT_EQ(CommandForChar(0x1A), EditCommand::Undo);
  EXPECT_EQ(CommandForChar(0x01), EditCommand::SelectAll);
  EXPECT_EQ(CommandForChar(U'v'), EditCommand::None);

  EXPECT_TRUE(ChangesText(EditCommand::Cut));
  EXPECT_TRUE(ChangesText(EditCommand::Paste));
  EXPECT_TRUE(ChangesText(EditCommand::Undo));
  EXPECT_FALSE(ChangesText(EditCommand::Copy));
  EXPECT_FALSE(ChangesText(EditCommand::SelectAll));

  EXPECT_EQ(ClassifyChar(0x08), CharKind::Backspace);
  // Control characters end at 0x9F; the no-break space 0xA0 is text.
  for (char32_t ch : {U'\r', U'\n', U'\t', char32_t{0x1B}, char32_t{0x7F}, char32_t{0x80},
                      char32_t{0x85}, char32_t{0x9F}})
    EXPECT_EQ(ClassifyChar(ch), CharKind::Other) << static_cast<unsigned>(ch);
  for (char32_t ch : {U' ', U'a', U'\\', U':', char32_t{0xA0}, U'\u00e9', U'\u4e2d'})
    EXPECT_EQ(ClassifyChar(ch), CharKind::Printable) << static_cast<unsigned>(ch);
  EXPECT_EQ(ClassifyChar(0x16), CharKind::Command);
}

}  // namespace
}  // namespace tftpcfg
