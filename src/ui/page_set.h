#pragma once
// The main window's page control and what hangs on it: one child dialog per
// page, each built from its table when it is first brought to the front (the
// Multicasts page, which never is, never), and the button strip below. Pages
// pass what their controls report on to the window.

#include <windows.h>

#include <array>
#include <functional>

#include "ui/control_ids.h"
#include "toolkit/control_table.h"
#include "ui/main_window_tables.h"

namespace tftpcfg {

class PageSet {
 public:
  // Called when a page has been built, before it is shown.
  using PageBuilt = std::function<void(int page)>;

  // Creates the page control and the button strip in window; no page yet.
  // Raises FatalError naming what could not be created.
  void Create(HWND window, const ControlTable::Context& context, PageBuilt built);
  // Lays out the page control, the built pages and the strip at dpi with font.
  void Layout(UINT dpi, HFONT font);

  HWND Tabs() const { return tabs_; }
  // A control that exists (its page built), else null.
  HWND Existing(int id) const;
  // A control, its page built first when it was not.
  HWND Control(int id);
  HWND Page(int index);
  bool Built(int index) const { return built_.at(static_cast<size_t>(index)); }
  int Active() const { return active_; }
  // Brings a tabbed page to the front, building it first; the focus follows
  // when it was on the page that goes.
  void Show(int index);
  void ShowNext(bool forward);
  // Whether the focus is on the page control or a page.
  bool HasFocus() const;
  // The visible, enabled push button whose caption marks `ch` with "&": the
  // page's in front before the strip's; null when there is none.
  HWND ButtonForMnemonic(wchar_t ch) const;

  // The table row and the page of a control of the pages.
  static const ControlRow* RowOf(int id);
  static int PageOf(int id);

 private:
  void Build(int index);
  void LayoutPage(int index) const;
  static INT_PTR CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  HWND tabs_ = nullptr;
  ControlTable::Context context_;
  PageBuilt onBuilt_;
  std::array<HWND, kPageCount> pages_{};
  std::array<bool, kPageCount> built_{};
  std::array<ControlTable, kPageCount> controls_;
  ControlTable strip_;
  int active_ = kPageBasic;
};

}  // namespace tftpcfg
