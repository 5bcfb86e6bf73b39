#pragma once
// The access rules as the Security page's grid shows them: one row per rule,
// in list order, each with the two texts it shows. An owner-data list view
// draws the rows from here; the rows exist before the list view does and
// outlive nothing but the window.

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "config/access_rights.h"

namespace tftpcfg {

class RuleGrid {
 public:
  struct Row {
    AccessRule rule;
    std::wstring addressText;  // first column
    std::wstring rightText;    // second column
  };
  // A row as the rule list decodes it: the first column by the rule's mask.
  static Row RowOf(AccessRule rule);

  // The list view that shows the rows, once it exists.
  void Attach(HWND listView);
  HWND ListView() const { return list_; }

  // Replaces every row by the rules decoded from a "HostList" text, with the
  // list's repainting suspended meanwhile.
  void Load(const std::string& hostList);
  // The rules of all rows, encoded, first row first.
  std::string Save() const;
  // The rules as the "HostList" text to store: while no row was added,
  // replaced or erased since the last Load, the text they were loaded from, so
  // that a list the decoding cannot show exactly is written back as it was;
  // their encoding once the rows changed.
  std::string HostListText() const { return loaded_ ? *loaded_ : Save(); }

  const std::vector<Row>& Rows() const { return rows_; }
  // The selected row, or -1.
  int Selected() const;
  void Select(int index);
  void Append(Row row);
  void Replace(int index, Row row);
  // Removes a row; the selection moves to the row that took its place, if any.
  void Erase(int index);

  // Answers the list view's LVN_GETDISPINFOW.
  void FillDisplayInfo(NMLVDISPINFOW& info) const;

 private:
  HWND list_ = nullptr;
  std::vector<Row> rows_;
  std::optional<std::string> loaded_;  // the text of the last Load, until a row changes
};

}  // namespace tftpcfg
