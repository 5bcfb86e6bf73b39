#include "ui/page_set.h"

#include <commctrl.h>

#include <string>

#include "base/fatal_error.h"
#include "platform/win32/dialog_template.h"
#include "platform/win32/dpi.h"
#include "platform/win32/system_api.h"
#include "platform/win32/win_text.h"

namespace tftpcfg {
namespace {

constexpr int kFirstPageId = 900;

}  // namespace

void PageSet::Create(HWND window, const ControlTable::Context& context, PageBuilt built) {
  window_ = window;
  context_ = context;
  onBuilt_ = std::move(built);
  // The page control: one tab per page that has one; it never takes the focus.
  tabs_ = CreateWindowExW(0, WC_TABCONTROLW, L"",
                          WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_TABS | TCS_FOCUSNEVER, 0, 0,
                          0, 0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PAGES)),
                          GetModuleHandleW(nullptr), nullptr);
  if (!tabs_) throw FatalError("The control 'pcMain' of the window could not be created.");
  SendMessageW(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(context_.font), FALSE);
  int tab = 0;
  for (const PageTable& page : MainWindowPages()) {
    if (!page.caption) continue;
    const std::wstring caption = Widen(page.caption);
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(caption.c_str());
    SendMessageW(tabs_, TCM_INSERTITEMW, static_cast<WPARAM>(tab++),
                 reinterpret_cast<LPARAM>(&item));
  }
  strip_.Create(window_, ButtonStripTable(), {context_.dpi, context_.font, nullptr, 0},
                kButtonStripOrigin);
  // The tab row lies under the pages, so that it never paints over them.
  SetWindowPos(tabs_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// The pages are child dialogs; what their controls report goes to the window.
INT_PTR CALLBACK PageSet::PageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  // The page only passes messages on; the window's own dispatch catches what
  // its handlers raise.
  switch (msg) {
    case WM_INITDIALOG:
      uxtheme::EnableThemeDialogTexture(hwnd, ETDT_ENABLETAB);
      DisableSystemDialogScaling(hwnd);
      return FALSE;
    case WM_COMMAND:
      SendMessageW(GetParent(hwnd), WM_COMMAND, wParam, lParam);
      return TRUE;
    case WM_NOTIFY:
      SetWindowLongPtrW(hwnd, DWLP_MSGRESULT,
                        SendMessageW(GetParent(hwnd), WM_NOTIFY, wParam, lParam));
      return TRUE;
    default:
      return FALSE;
  }
}

void PageSet::Build(int index) {
  const PageTable& table = MainWindowPages()[static_cast<size_t>(index)];
  const DialogTemplate pageTemplate(WS_CHILD | DS_CONTROL | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT,
                                    L"");
  HWND& page = pages_[static_cast<size_t>(index)];
  page = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), pageTemplate.get(), window_,
                                    &PageSet::PageProc, 0);
  if (!page)
    throw FatalError(std::string("The page '") + table.name +
                     "' of the window could not be created.");
  SetWindowLongPtrW(page, GWLP_ID, kFirstPageId + index);
  // Above the button strip, so that Tab visits the page's controls first.
  SetWindowPos(page, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageW(page, WM_SETFONT, reinterpret_cast<WPARAM>(context_.font), FALSE);
  LayoutPage(index);
  ControlTable::Context context = context_;
  context.firstLabelId = IDC_FIRST_LABEL;
  for (int i = 0; i < index; ++i)
    context.firstLabelId +=
        static_cast<int>(MainWindowPages()[static_cast<size_t>(i)].controls.size());
  controls_[static_cast<size_t>(index)].Create(page, table.controls, context);
  built_[static_cast<size_t>(index)] = true;
  if (onBuilt_) onBuilt_(index);
}

void PageSet::Layout(UINT dpi, HFONT font) {
  context_.dpi = dpi;
  context_.font = font;
  const RECT tab = ScaleRect(kPageControlRect, dpi);
  SetWindowPos(tabs_, nullptr, tab.left, tab.top, tab.right - tab.left, tab.bottom - tab.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  for (int i = 0; i < kPageCount; ++i) LayoutPage(i);
  for (const ControlTable& page : controls_) page.Layout(dpi);  // the built ones
  strip_.Layout(dpi);
}

// A page fills the page control's display area.
void PageSet::LayoutPage(int index) const {
  const HWND page = pages_[static_cast<size_t>(index)];
  if (!page) return;
  RECT display = ScaleRect(kPageControlRect, context_.dpi);
  SendMessageW(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  SetWindowPos(page, nullptr, display.left, display.top, display.right - display.left,
               display.bottom - display.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND PageSet::Existing(int id) const {
  if (id == IDC_PAGES) return tabs_;
  if (const HWND hwnd = strip_.Find(id)) return hwnd;
  for (const ControlTable& page : controls_)
    if (const HWND hwnd = page.Find(id)) return hwnd;
  return nullptr;
}

HWND PageSet::Control(int id) {
  const int page = PageOf(id);
  if (page >= 0 && page < kTabbedPages && !Built(page)) Build(page);
  return Existing(id);
}

HWND PageSet::Page(int index) {
  if (index >= 0 && index < kTabbedPages && !Built(index)) Build(index);
  return pages_.at(static_cast<size_t>(index));
}

void PageSet::Show(int index) {
  if (index < 0 || index >= kTabbedPages) return;  // the Multicasts page is never shown
  if (!Built(index)) Build(index);
  const HWND focus = GetFocus();
  const HWND oldPage = pages_[static_cast<size_t>(active_)];
  const bool focusOnOldPage = active_ != index && focus && oldPage && IsChild(oldPage, focus);
  active_ = index;
  SendMessageW(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  for (int i = 0; i < kPageCount; ++i)
    if (pages_[i]) ShowWindow(pages_[i], i == index ? SW_SHOW : SW_HIDE);
  if (focusOnOldPage) {
    // The focus follows to the first control of the page now in front.
    const HWND first = GetNextDlgTabItem(pages_[index], nullptr, FALSE);
    if (first) SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
  }
}

void PageSet::ShowNext(bool forward) {
  Show((active_ + (forward ? 1 : kTabbedPages - 1)) % kTabbedPages);
}

bool PageSet::HasFocus() const {
  const HWND focus = GetFocus();
  if (!focus) return false;
  if (focus == tabs_) return true;
  for (HWND page : pages_)
    if (page && (focus == page || IsChild(page, focus))) return true;
  return false;
}

HWND PageSet::ButtonForMnemonic(wchar_t ch) const {
  const auto lower = [](wchar_t c) {
    CharLowerBuffW(&c, 1);
    return c;
  };
  const wchar_t key = lower(ch);
  const bool security = active_ == kPageSecurity;
  const std::array<HWND, 6> candidates = {security ? Existing(IDC_ADD_RULE) : nullptr,
                                          security ? Existing(IDC_EDIT_RULE) : nullptr,
                                          security ? Existing(IDC_DELETE_RULE) : nullptr,
                                          Existing(IDOK),
                                          Existing(IDCANCEL),
                                          Existing(IDC_APPLY)};
  for (HWND button : candidates) {
    if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button)) continue;
    const std::wstring caption = Widen(GetWindowTextUtf8(button));
    const size_t amp = caption.find(L'&');
    if (amp != std::wstring::npos && amp + 1 < caption.size() && lower(caption[amp + 1]) == key)
      return button;
  }
  return nullptr;
}

int PageSet::PageOf(int id) {
  const std::span<const PageTable> pages = MainWindowPages();
  for (size_t page = 0; page < pages.size(); ++page)
    for (const ControlRow& row : pages[page].controls)
      if (row.id == id) return static_cast<int>(page);
  return -1;
}

const ControlRow* PageSet::RowOf(int id) {
  for (const PageTable& page : MainWindowPages())
    for (const ControlRow& row : page.controls)
      if (row.id == id) return &row;
  return nullptr;
}

}  // namespace tftpcfg
