#pragma once
// Windows described by data. A window's controls are rows of a table: the
// control's name as the documents give it, its kind, id, rectangle in 96-DPI
// units, caption or items, and range. One loop (ControlTable) creates them in
// table order, which is also the tab order; lays them out again at another
// DPI, making room for captions the font needs; and names the input controls
// for screen readers after the label before them in the table.

#include <windows.h>

#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "base/int_text.h"
#include "base/fatal_error.h"
#include "platform/folder_browser.h"
#include "platform/win32/dpi.h"

namespace tftpcfg {

enum class ControlKind {
  Label,         // one line; widens when its caption needs more room
  WrappedLabel,  // wraps inside its width; grows downwards when it needs more
  CheckBox,
  RadioButton,  // kFirstInGroup starts a group and is its tab stop
  GroupBox,
  DropDownList,  // items; selection only
  PushButton,    // keeps the focus where it was when clicked with the mouse
  DefaultButton,
  NumberField,  // range
  FolderField,  // caption: the browser's title; prompt: the text above its tree
  IpAddressField,
  RuleGrid,  // columns
};

enum ControlFlags : unsigned {
  kFirstInGroup = 1,  // radio button
  kHidden = 2,
  kDisabled = 4,
};

struct GridColumn {
  const char* header;
  int width;  // 96-DPI units
};

struct ControlRow {
  const char* name = "";  // the control's name in the documents (seTFTPPort)
  ControlKind kind = ControlKind::Label;
  int id = 0;       // 0 for a label nothing refers to
  DesignRect rect;  // in the parent's client area, or inside the group box `in`
  const char* caption = "";
  std::span<const std::string_view> items = {};
  IntRange range = {0, 100};
  const char* prompt = "";
  std::span<const GridColumn> columns = {};
  int in = 0;  // the id of the group box `rect` is relative to, 0 for none
  unsigned flags = 0;
};

// Rows for the tables, one per kind.
constexpr ControlRow Label(const char* name, DesignRect r, const char* caption, int in = 0) {
  return {.name = name, .kind = ControlKind::Label, .rect = r, .caption = caption, .in = in};
}
constexpr ControlRow WrappedLabel(const char* name, DesignRect r, const char* caption) {
  return {.name = name, .kind = ControlKind::WrappedLabel, .rect = r, .caption = caption};
}
constexpr ControlRow CheckBox(const char* name, int id, DesignRect r, const char* caption,
                              int in = 0, unsigned flags = 0) {
  return {.name = name,
          .kind = ControlKind::CheckBox,
          .id = id,
          .rect = r,
          .caption = caption,
          .in = in,
          .flags = flags};
}
constexpr ControlRow RadioButton(const char* name, int id, DesignRect r, const char* caption,
                                 int in = 0, unsigned flags = 0) {
  return {.name = name,
          .kind = ControlKind::RadioButton,
          .id = id,
          .rect = r,
          .caption = caption,
          .in = in,
          .flags = flags};
}
constexpr ControlRow GroupBox(const char* name, int id, DesignRect r, const char* caption,
                              int in = 0) {
  return {.name = name,
          .kind = ControlKind::GroupBox,
          .id = id,
          .rect = r,
          .caption = caption,
          .in = in};
}
constexpr ControlRow DropDownList(const char* name, int id, DesignRect r,
                                  std::span<const std::string_view> items, int in = 0) {
  return {.name = name,
          .kind = ControlKind::DropDownList,
          .id = id,
          .rect = r,
          .items = items,
          .in = in};
}
constexpr ControlRow PushButton(const char* name, int id, DesignRect r, const char* caption,
                                bool isDefault = false) {
  return {.name = name,
          .kind = isDefault ? ControlKind::DefaultButton : ControlKind::PushButton,
          .id = id,
          .rect = r,
          .caption = caption};
}
constexpr ControlRow NumberFieldRow(const char* name, int id, DesignRect r, IntRange range,
                                    int in = 0) {
  return {.name = name,
          .kind = ControlKind::NumberField,
          .id = id,
          .rect = r,
          .range = range,
          .in = in};
}
constexpr ControlRow FolderFieldRow(const char* name, int id, DesignRect r, const char* title,
                                    const char* prompt, int in = 0) {
  return {.name = name,
          .kind = ControlKind::FolderField,
          .id = id,
          .rect = r,
          .caption = title,
          .prompt = prompt,
          .in = in};
}
constexpr ControlRow IpAddressFieldRow(const char* name, int id, DesignRect r, int in = 0) {
  return {.name = name, .kind = ControlKind::IpAddressField, .id = id, .rect = r, .in = in};
}
constexpr ControlRow RuleGridRow(const char* name, int id, DesignRect r,
                                 std::span<const GridColumn> columns) {
  return {.name = name, .kind = ControlKind::RuleGrid, .id = id, .rect = r, .columns = columns};
}

class ControlTable {
 public:
  struct Context {
    UINT dpi = 96;
    HFONT font = nullptr;
    IFolderBrowserShell* folderBrowser = nullptr;  // null: the system's
    int firstLabelId = 0;                          // ids given to labels, counting up
  };

  // Creates the controls of the rows as children of parent, rectangles offset by
  // origin. Throws FatalError naming the control that failed.
  void Create(HWND parent, std::span<const ControlRow> rows, const Context& context,
              DesignRect origin = {});
  // Places every control again at dpi; captions make room as their font needs.
  void Layout(UINT dpi) const;
  // Makes room for captions and lays out the grid, the controls where they are.
  void Fit(UINT dpi) const;

  HWND Find(int id) const;
  const ControlRow* RowOf(int id) const;

  struct Created {
    const ControlRow* row = nullptr;
    HWND hwnd = nullptr;
    DesignRect rect;  // in the parent's client area
  };
  std::span<const Created> Controls() const { return controls_; }

 private:
  HWND CreateOne(HWND parent, const ControlRow& row, const RECT& rc, const Context& context,
                 int& nextLabelId);
  std::vector<Created> controls_;
};

}  // namespace tftpcfg
