#pragma once
// The service settings as the main window's controls show them. Showing a
// record sets the controls by program, so nothing marks a change; controls
// whose page is not built yet show it when their page is. The rules are the
// grid's: loaded by the rule editor, read here. Reading gives the record the
// window would save.

#include <windows.h>

#include "config/service_settings.h"
#include "ui/main_window_tables.h"
#include "ui/page_set.h"
#include "ui/rule_grid.h"

namespace tftpcfg {

// A record as its controls show it: a number pulled into its field's range,
// a list index that its list does not have shown as no selection.
ServiceSettings AsShown(const ServiceSettings& settings);

class SettingsForm {
 public:
  SettingsForm(const PageSet& pages, const RuleGrid& rules) : pages_(pages), rules_(rules) {}

  void Show(const ServiceSettings& settings);
  // Shows the record's values in a page's controls once the page is built.
  void ShowPage(int page);
  ServiceSettings Read() const;
  // A check box's tick, its page built or not.
  bool Checked(int id) const;
  // The locking rule of a feature's check box (IDC_WRITE_LOG, IDC_FIREWALL):
  // while it is clear, its fields keep their values, which are still saved,
  // but are locked: folder fields read-only without their browse button,
  // number fields read-only (which paint in the button face's colour), lists
  // disabled. Logging also enables or disables the time stamp pair. A
  // page built later shows its fields as the last run of the rule left them.
  void ApplyLock(int checkBoxId);
  // True when the time stamp pair shows another item than it did last time
  // this was asked or the record was shown: a click on the selected item
  // changes nothing.
  bool TimestampsChanged();

 private:
  void ShowOne(const SettingBinding& binding);
  void ReadOne(const SettingBinding& binding, ServiceSettings& settings) const;
  int TimestampIndex() const;
  void SetFieldLocked(int id, bool locked) const;

  const PageSet& pages_;
  const RuleGrid& rules_;
  ServiceSettings shown_ = AsShown(InitialSettings());
  int timestampIndex_ = 0;  // the item selected last
  // Whether each locking rule has run: only then does a page built later
  // show its fields locked.
  bool loggingLockRan_ = false;
  bool firewallLockRan_ = false;
};

}  // namespace tftpcfg
