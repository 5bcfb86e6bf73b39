#include "ui/settings_form.h"

#include <algorithm>

#include "controls/folder_field.h"
#include "controls/number_field.h"

namespace tftpcfg {
namespace {

bool IsChecked(HWND button) {
  return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
void SetChecked(HWND button, bool on) {
  SendMessageW(button, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

}  // namespace

ServiceSettings AsShown(const ServiceSettings& settings) {
  ServiceSettings shown = settings;
  for (const SettingBinding& b : SettingBindings()) {
    if (!b.number) continue;
    const ControlRow& row = *PageSet::RowOf(b.controlId);
    int32_t& v = shown.*b.number;
    if (b.conversion == Conversion::Number)
      v = std::clamp(v, row.range.min, row.range.max);
    else if (v < -1 || v >= static_cast<int32_t>(row.items.size()))
      v = -1;
  }
  return shown;
}

void SettingsForm::Show(const ServiceSettings& settings) {
  shown_ = AsShown(settings);
  for (const SettingBinding& binding : SettingBindings()) ShowOne(binding);
}

void SettingsForm::ShowPage(int page) {
  for (const SettingBinding& binding : SettingBindings())
    if (PageSet::PageOf(binding.controlId) == page) ShowOne(binding);
  if (page == kPageLogging && loggingLockRan_) ApplyLock(IDC_WRITE_LOG);
  if (page == kPageFirewall && firewallLockRan_) ApplyLock(IDC_FIREWALL);
}

void SettingsForm::ApplyLock(int checkBoxId) {
  const bool on = Checked(checkBoxId);
  if (checkBoxId == IDC_WRITE_LOG) {
    loggingLockRan_ = true;
    for (const int id : {IDC_LOG_DIRECTORY, IDC_LOG_COUNT, IDC_LOG_LEVEL}) SetFieldLocked(id, !on);
    for (const int id : {IDC_TIMESTAMPS, IDC_UTC_TIMESTAMPS, IDC_LOCAL_TIMESTAMPS})
      EnableWindow(pages_.Existing(id), on ? TRUE : FALSE);
  } else if (checkBoxId == IDC_FIREWALL) {
    firewallLockRan_ = true;
    for (const int id : {IDC_FIREWALL_MIN_PORT, IDC_FIREWALL_MAX_PORT}) SetFieldLocked(id, !on);
  }
}

void SettingsForm::SetFieldLocked(int id, bool locked) const {
  const HWND control = pages_.Existing(id);
  const ControlRow* row = PageSet::RowOf(id);
  if (!control || !row) return;  // a page not built yet locks it when it is
  switch (row->kind) {
    case ControlKind::FolderField: {
      const FolderField field(control);
      field.SetReadOnly(locked);
      field.SetButtonVisible(!locked);
      break;
    }
    case ControlKind::NumberField:
      NumberField(control).SetReadOnly(locked);
      break;
    case ControlKind::DropDownList:
      EnableWindow(control, locked ? FALSE : TRUE);
      break;
    default:
      break;
  }
}

void SettingsForm::ShowOne(const SettingBinding& b) {
  const HWND control = pages_.Existing(b.controlId);
  if (!control) return;
  switch (b.conversion) {
    case Conversion::Text:
      FolderField(control).SetText(shown_.*b.text);
      break;
    case Conversion::Number:
      NumberField(control).SetValue(shown_.*b.number);
      break;
    case Conversion::Check:
      SetChecked(control, shown_.*b.flag);
      break;
    case Conversion::ListIndex:
      SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(shown_.*b.number), 0);
      break;
    case Conversion::RadioIndex:
      timestampIndex_ = shown_.*b.flag ? 1 : 0;
      SetChecked(pages_.Existing(IDC_UTC_TIMESTAMPS), timestampIndex_ == 0);
      SetChecked(pages_.Existing(IDC_LOCAL_TIMESTAMPS), timestampIndex_ == 1);
      break;
    case Conversion::RuleList:
      break;
  }
}

ServiceSettings SettingsForm::Read() const {
  ServiceSettings settings;
  for (const SettingBinding& binding : SettingBindings()) ReadOne(binding, settings);
  return settings;
}

void SettingsForm::ReadOne(const SettingBinding& b, ServiceSettings& s) const {
  if (b.conversion == Conversion::RuleList) {
    s.*b.text = rules_.HostListText();
    return;
  }
  const HWND control = pages_.Existing(b.controlId);
  if (!control) {
    // What the control will show once its page is built.
    if (b.text) s.*b.text = shown_.*b.text;
    if (b.number) s.*b.number = shown_.*b.number;
    if (b.flag) s.*b.flag = shown_.*b.flag;
    return;
  }
  switch (b.conversion) {
    case Conversion::Text:
      s.*b.text = FolderField(control).Text();
      break;
    case Conversion::Number:
      s.*b.number = NumberField(control).Value();
      break;
    case Conversion::Check:
      s.*b.flag = IsChecked(control);
      break;
    case Conversion::ListIndex:
      s.*b.number = static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0));
      break;
    case Conversion::RadioIndex:
      s.*b.flag = TimestampIndex() != 0;
      break;
    case Conversion::RuleList:
      break;
  }
}

bool SettingsForm::Checked(int id) const {
  for (const SettingBinding& binding : SettingBindings()) {
    if (binding.controlId != id || !binding.flag) continue;
    ServiceSettings settings;
    ReadOne(binding, settings);
    return settings.*binding.flag;
  }
  return false;
}

int SettingsForm::TimestampIndex() const {
  if (!pages_.Existing(IDC_UTC_TIMESTAMPS)) return shown_.LocalTime ? 1 : 0;
  if (IsChecked(pages_.Existing(IDC_LOCAL_TIMESTAMPS))) return 1;
  return IsChecked(pages_.Existing(IDC_UTC_TIMESTAMPS)) ? 0 : -1;
}

bool SettingsForm::TimestampsChanged() {
  const int index = TimestampIndex();
  if (index == timestampIndex_) return false;
  timestampIndex_ = index;
  return true;
}

}  // namespace tftpcfg
