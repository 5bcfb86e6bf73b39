#pragma once
// Editing the access rules on the Security page: Add, Edit and Delete through
// the rule dialog and the delete question, the grid's Insert and Delete keys
// and its double-click, and Edit and Delete enabled while a rule is selected.
// Nothing here writes to the registry; every change is reported to the window.

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "ui/message_boxes.h"
#include "ui/rule_grid.h"

namespace tftpcfg {

class RuleDialog;

inline constexpr char kDeleteRuleQuestion[] = "Are you sure to delete rule?";

class RuleEditor {
 public:
  struct Hooks {
    IMessageBoxes* messageBoxes = nullptr;
    // A control of the window that exists (its page built), else null.
    std::function<HWND(int id)> existing;
    // A rule was added, replaced or deleted (true), or Delete was confirmed
    // with nothing selected (false).
    std::function<void(bool rulesChanged)> changed;
  };
  explicit RuleEditor(Hooks hooks) : hooks_(std::move(hooks)) {}

  const RuleGrid& Grid() const { return grid_; }
  // The window that owns the rule dialog and the questions, once it exists.
  void SetWindow(HWND window) { window_ = window; }
  // The grid's list view, once the Security page is built.
  void Attach(HWND listView);
  // The rule dialog: made by `make` when Add or Edit first needs it, or given.
  void SetDialogFactory(std::function<RuleDialog*()> make) { makeDialog_ = std::move(make); }
  void SetDialog(RuleDialog* dialog) { dialog_ = dialog; }

  // Replaces every rule by those decoded from a "HostList" text.
  void Load(const std::string& hostList);
  void Add();
  void Edit();
  void Delete();
  // The list view's notifications; false for any other window's.
  bool OnNotify(const NMHDR& header);

 private:
  RuleDialog* DialogForUse();
  RuleGrid::Row RowFromDialog() const;
  void UpdateButtons();

  Hooks hooks_;
  HWND window_ = nullptr;
  RuleGrid grid_;
  RuleDialog* dialog_ = nullptr;
  std::function<RuleDialog*()> makeDialog_;
};

}  // namespace tftpcfg
