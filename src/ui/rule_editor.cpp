#include "ui/rule_editor.h"

#include "config/access_rights.h"
#include "platform/win32/win_text.h"
#include "ui/control_ids.h"
#include "ui/rule_dialog.h"

namespace tftpcfg {
namespace {

constexpr UINT_PTR kGridSubclass = 0x7467;

// Insert and Delete in the rule grid run Add and Delete, with any modifier
// held, and are consumed so the grid does nothing else with them. They take
// the road of the buttons' clicks, through the window's dispatch.
LRESULT CALLBACK RuleGridKeysProc(HWND grid, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                  DWORD_PTR) {
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(grid, &RuleGridKeysProc, id);
  const bool ruleKey =
      (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) && (wParam == VK_INSERT || wParam == VK_DELETE);
  if (!ruleKey) return DefSubclassProc(grid, msg, wParam, lParam);
  const int command = wParam == VK_INSERT ? IDC_ADD_RULE : IDC_DELETE_RULE;
  SendMessageW(GetAncestor(grid, GA_ROOT), WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
  return 0;
}

}  // namespace

void RuleEditor::Attach(HWND listView) {
  SetWindowSubclass(listView, &RuleGridKeysProc, kGridSubclass, 0);
  grid_.Attach(listView);
}

void RuleEditor::Load(const std::string& hostList) {
  const bool hadRows = !grid_.Rows().empty();
  grid_.Load(hostList);
  if (hadRows) UpdateButtons();  // rows were removed
}

void RuleEditor::UpdateButtons() {
  if (GetActiveWindow() != window_) return;
  const BOOL selected = grid_.Selected() >= 0 ? TRUE : FALSE;
  EnableWindow(hooks_.existing(IDC_EDIT_RULE), selected);
  EnableWindow(hooks_.existing(IDC_DELETE_RULE), selected);
}

// A row as the rule dialog holds it: the first column by the dialog's mode, the
// access right's display text, and the rule.
RuleGrid::Row RuleEditor::RowFromDialog() const {
  RuleGrid::Row row;
  row.addressText = Widen(dialog_->RowAddressText());
  row.rightText = Widen(AccessCodeToText(AccessLevelToCode(dialog_->AccessIndex())));
  row.rule.Address = dialog_->Address();
  row.rule.Mask = dialog_->Mask();
  row.rule.Right = dialog_->AccessIndex();
  return row;
}

RuleDialog* RuleEditor::DialogForUse() {
  if (!dialog_ && makeDialog_) dialog_ = makeDialog_();
  return dialog_;
}

void RuleEditor::Add() {
  if (!DialogForUse()) return;
  dialog_->SetAccessIndex(kNoAccess);
  if (!dialog_->ShowModal(window_)) return;
  grid_.Append(RowFromDialog());
  hooks_.changed(true);
}

void RuleEditor::Edit() {
  if (!DialogForUse()) return;
  const int selected = grid_.Selected();
  if (selected < 0) return;
  const AccessRule rule = grid_.Rows()[static_cast<size_t>(selected)].rule;
  // An address or mask that is no address raises here: the dialog does not open.
  dialog_->SetAddress(rule.Address);
  dialog_->SetMask(rule.Mask);
  dialog_->SetAccessIndex(rule.Right);
  dialog_->SelectSingle(rule.Mask == kSingleHostMask);
  if (!dialog_->ShowModal(window_)) return;
  grid_.Replace(selected, RowFromDialog());  // the same rule, updated in place
  hooks_.changed(true);
}

void RuleEditor::Delete() {
  if (!hooks_.messageBoxes->Confirm(window_, kDeleteRuleQuestion)) return;
  const int selected = grid_.Selected();
  if (selected < 0) {
    hooks_.changed(false);
    return;
  }
  grid_.Erase(selected);
  UpdateButtons();
  hooks_.changed(true);
}

bool RuleEditor::OnNotify(const NMHDR& header) {
  if (header.hwndFrom == nullptr || header.hwndFrom != grid_.ListView()) return false;
  switch (header.code) {
    case LVN_GETDISPINFOW:
      grid_.FillDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header)));
      break;
    case LVN_ITEMCHANGED: {
      const auto& change = *reinterpret_cast<const NMLISTVIEW*>(&header);
      if ((change.uChanged & LVIF_STATE) && ((change.uOldState ^ change.uNewState) & LVIS_SELECTED))
        UpdateButtons();
      break;
    }
    case LVN_ODSTATECHANGED:
      UpdateButtons();
      break;
    case NM_DBLCLK:
      if (grid_.Selected() >= 0) Edit();
      break;
    default:
      break;
  }
  return true;
}

}  // namespace tftpcfg
