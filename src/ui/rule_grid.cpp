#include "ui/rule_grid.h"

#include <algorithm>

#include "platform/win32/win_text.h"

namespace tftpcfg {

RuleGrid::Row RuleGrid::RowOf(AccessRule rule) {
  Row row;
  row.addressText = Widen(RuleAddressText(rule));
  row.rightText = Widen(RuleRightText(rule));
  row.rule = std::move(rule);
  return row;
}

void RuleGrid::Attach(HWND listView) {
  list_ = listView;
  if (list_) SendMessageW(list_, LVM_SETITEMCOUNT, rows_.size(), 0);
}

void RuleGrid::Load(const std::string& hostList) {
  if (list_) SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  rows_.clear();
  loaded_ = hostList;
  if (list_) SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
  std::vector<AccessRule> rules = DecodeHostList(hostList);
  rows_.reserve(rules.size());
  for (AccessRule& rule : rules) rows_.push_back(RowOf(std::move(rule)));
  if (!list_) return;
  SendMessageW(list_, LVM_SETITEMCOUNT, rows_.size(), 0);
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
}

std::string RuleGrid::Save() const {
  std::vector<AccessRule> rules;
  rules.reserve(rows_.size());
  for (const Row& row : rows_) rules.push_back(row.rule);
  return EncodeHostList(rules);
}

int RuleGrid::Selected() const {
  if (!list_) return -1;
  const auto selected = static_cast<int>(
      SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  return selected < static_cast<int>(rows_.size()) ? selected : -1;
}

void RuleGrid::Select(int index) {
  if (!list_) return;
  ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (index >= 0 && index < static_cast<int>(rows_.size()))
    ListView_SetItemState(list_, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void RuleGrid::Append(Row row) {
  rows_.push_back(std::move(row));
  loaded_.reset();
  if (list_)
    SendMessageW(list_, LVM_SETITEMCOUNT, rows_.size(), LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
}

void RuleGrid::Replace(int index, Row row) {
  rows_.at(static_cast<size_t>(index)) = std::move(row);
  loaded_.reset();
  if (list_) SendMessageW(list_, LVM_REDRAWITEMS, static_cast<WPARAM>(index), index);
}

void RuleGrid::Erase(int index) {
  rows_.erase(rows_.begin() + index);
  loaded_.reset();
  if (!list_) return;
  SendMessageW(list_, LVM_SETITEMCOUNT, rows_.size(), LVSICF_NOSCROLL);
  Select(rows_.empty() ? -1 : std::min<int>(index, static_cast<int>(rows_.size()) - 1));
  InvalidateRect(list_, nullptr, TRUE);
}

void RuleGrid::FillDisplayInfo(NMLVDISPINFOW& info) const {
  const auto row = static_cast<size_t>(info.item.iItem);
  if (!(info.item.mask & LVIF_TEXT) || row >= rows_.size() || info.item.pszText == nullptr ||
      info.item.cchTextMax <= 0)
    return;
  const std::wstring& text =
      info.item.iSubItem == 0 ? rows_[row].addressText : rows_[row].rightText;
  lstrcpynW(info.item.pszText, text.c_str(), info.item.cchTextMax);
}

}  // namespace tftpcfg
