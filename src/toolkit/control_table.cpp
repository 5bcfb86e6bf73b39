#include "toolkit/control_table.h"

#include <commctrl.h>

#include <string>

#include "controls/folder_field.h"
#include "controls/ip_address_field.h"
#include "controls/number_field.h"
#include "platform/win32/win_text.h"
#include "toolkit/accessibility.h"
#include "toolkit/layout.h"

namespace tftpcfg {
namespace {

// The height of a drop-down list's window is that of its open list.
int ListHeight(const ControlRow& row) {
  return row.rect.cy + static_cast<int>(row.items.size()) * 16 + 4;
}

DesignRect Offset(DesignRect r, DesignRect origin) {
  r.x += origin.x;
  r.y += origin.y;
  return r;
}

HWND CreateChild(HWND parent, const wchar_t* className, const std::string& text, DWORD style,
                 DWORD exStyle, int id, const RECT& rc) {
  return CreateWindowExW(exStyle, className, Widen(text).c_str(), WS_CHILD | style, rc.left, rc.top,
                         rc.right - rc.left, rc.bottom - rc.top, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleW(nullptr), nullptr);
}

void AddGridColumns(HWND grid, const ControlRow& row, UINT dpi) {
  ListView_SetExtendedListViewStyle(grid,
                                    LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  int index = 0;
  for (const GridColumn& column : row.columns) {
    const std::wstring header = Widen(column.header);
    LVCOLUMNW col = {};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    col.fmt = LVCFMT_LEFT;
    col.pszText = const_cast<wchar_t*>(header.c_str());
    col.cx = Scale(column.width, dpi);
    col.iSubItem = index;
    SendMessageW(grid, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&col));
    ++index;
  }
}

// Column widths and the row height: rows 18 units high, which the list takes
// from its small image list.
void LayoutGrid(HWND grid, const ControlRow& row, UINT dpi) {
  int index = 0;
  for (const GridColumn& column : row.columns)
    SendMessageW(grid, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(index++), Scale(column.width, dpi));
  const HIMAGELIST rows = ImageList_Create(1, Scale(18, dpi), ILC_COLOR, 0, 0);
  if (const HIMAGELIST old = ListView_SetImageList(grid, rows, LVSIL_SMALL)) ImageList_Destroy(old);
}

bool NamedAfterLabel(ControlKind kind) {
  switch (kind) {
    case ControlKind::DropDownList:
    case ControlKind::NumberField:
    case ControlKind::FolderField:
    case ControlKind::IpAddressField:
    case ControlKind::RuleGrid:
      return true;
    default:
      return false;
  }
}

bool IsField(ControlKind kind) {
  return kind == ControlKind::NumberField || kind == ControlKind::FolderField ||
         kind == ControlKind::IpAddressField;
}

// The control carries the label's text as its accessible name; a field gives
// it to the text areas it is built from as well.
void NameControl(HWND control, ControlKind kind, const std::wstring& name) {
  if (IsField(kind)) {
    FieldWindow(control).SetAccessibleName(name);
  } else {
    SetAccessibleName(control, name);
  }
}

}  // namespace

HWND ControlTable::CreateOne(HWND parent, const ControlRow& row, const RECT& rc,
                             const Context& context, int& nextLabelId) {
  const DWORD visible = (row.flags & kHidden) ? 0 : WS_VISIBLE;
  const DWORD disabled = (row.flags & kDisabled) ? WS_DISABLED : 0;
  const DWORD common = visible | disabled;
  switch (row.kind) {
    case ControlKind::Label:
    case ControlKind::WrappedLabel:
      return CreateChild(parent, WC_STATICW, row.caption, common | SS_LEFT | SS_NOPREFIX, 0,
                         row.id ? row.id : nextLabelId++, rc);
    case ControlKind::CheckBox:
      return CreateChild(parent, WC_BUTTONW, row.caption,
                         common | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX, 0, row.id, rc);
    case ControlKind::RadioButton:
      return CreateChild(
          parent, WC_BUTTONW, row.caption,
          common | BS_AUTORADIOBUTTON | ((row.flags & kFirstInGroup) ? WS_TABSTOP | WS_GROUP : 0),
          0, row.id, rc);
    case ControlKind::GroupBox:
      return CreateChild(parent, WC_BUTTONW, row.caption, common | BS_GROUPBOX | WS_GROUP, 0,
                         row.id, rc);
    case ControlKind::DropDownList: {
      const HWND list = CreateChild(
          parent, WC_COMBOBOXW, "", common | WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWNLIST,
          0, row.id, RECT{rc.left, rc.top, rc.right, rc.top + Scale(ListHeight(row), context.dpi)});
      for (const std::string_view item : row.items)
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
      return list;
    }
    case ControlKind::PushButton:
    case ControlKind::DefaultButton: {
      const HWND button = CreateChild(
          parent, WC_BUTTONW, row.caption,
          common | WS_TABSTOP | WS_GROUP |
              (row.kind == ControlKind::DefaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
          0, row.id, rc);
      if (button) KeepFocusOnClick(button);
      return button;
    }
    case ControlKind::NumberField: {
      NumberFieldCreateParams params;
      params.minValue = row.range.min;
      params.maxValue = row.range.max;
      params.value = row.range.min;
      return NumberField::Create(parent, row.id, rc, params).Handle();
    }
    case ControlKind::FolderField: {
      FolderFieldCreateParams params;
      params.shell = context.folderBrowser;
      const FolderField field = FolderField::Create(parent, row.id, rc, params);
      field.SetTitle(row.caption);
      field.SetPrompt(row.prompt);
      field.SetShortcut(0, 0);  // no key for the browse button in these windows
      return field.Handle();
    }
    case ControlKind::IpAddressField:
      return IpAddressField::Create(parent, row.id, rc).Handle();
    case ControlKind::RuleGrid: {
      const HWND grid = CreateChild(parent, WC_LISTVIEWW, "",
                                    common | WS_TABSTOP | WS_GROUP | LVS_REPORT | LVS_SINGLESEL |
                                        LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | LVS_OWNERDATA,
                                    WS_EX_CLIENTEDGE, row.id, rc);
      if (grid) AddGridColumns(grid, row, context.dpi);  // Fit gives it its row height
      return grid;
    }
  }
  return nullptr;
}

void ControlTable::Create(HWND parent, std::span<const ControlRow> rows, const Context& context,
                          DesignRect origin) {
  int nextLabelId = context.firstLabelId;
  std::wstring label;  // the caption of the label before the current control
  for (const ControlRow& row : rows) {
    DesignRect rect = Offset(row.rect, origin);
    for (const Created& group : controls_)
      if (row.in != 0 && group.row->id == row.in) rect = Offset(row.rect, group.rect);
    HWND hwnd = nullptr;
    std::string reason;
    try {
      hwnd = CreateOne(parent, row, ScaleRect(rect, context.dpi), context, nextLabelId);
    } catch (const std::exception& e) {
      reason = std::string(": ") + e.what();
    }
    if (hwnd == nullptr)
      throw FatalError(std::string("The control '") + row.name +
                       "' of the window could not be created" + reason);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(context.font), FALSE);
    controls_.push_back({&row, hwnd, rect});
    if (row.kind == ControlKind::Label) label = NameFromLabelText(Widen(row.caption));
    if (NamedAfterLabel(row.kind) && !label.empty()) NameControl(hwnd, row.kind, label);
  }
  // Created at their places already: only the captions make room.
  Fit(context.dpi);
}

void ControlTable::Layout(UINT dpi) const {
  for (const Created& c : controls_) {
    RECT rc = ScaleRect(c.rect, dpi);
    if (c.row->kind == ControlKind::DropDownList)
      rc.bottom = rc.top + Scale(ListHeight(*c.row), dpi);
    SetWindowPos(c.hwnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  Fit(dpi);
}

void ControlTable::Fit(UINT dpi) const {
  for (const Created& c : controls_) {
    switch (c.row->kind) {
      case ControlKind::Label:
      case ControlKind::CheckBox:
      case ControlKind::RadioButton:
        FitWidthToCaption(c.hwnd);
        break;
      case ControlKind::WrappedLabel:
        FitHeightToText(c.hwnd);
        break;
      case ControlKind::RuleGrid:
        LayoutGrid(c.hwnd, *c.row, dpi);
        break;
      default:
        break;
    }
  }
}

HWND ControlTable::Find(int id) const {
  for (const Created& c : controls_)
    if (c.row->id == id) return c.hwnd;
  return nullptr;
}

const ControlRow* ControlTable::RowOf(int id) const {
  for (const Created& c : controls_)
    if (c.row->id == id) return c.row;
  return nullptr;
}

}  // namespace tftpcfg
