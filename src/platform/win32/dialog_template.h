#pragma once
// An in-memory dialog template without controls, for the dialogs whose
// controls are created by code: the window is a dialog (the dialog manager's
// keyboard handling, a modal loop where wanted), the caller creates the
// controls in WM_INITDIALOG and sizes the window itself.

#include <windows.h>

#include <string>
#include <vector>

namespace tftpcfg {

class DialogTemplate {
 public:
  DialogTemplate(DWORD style, DWORD exStyle, const std::wstring& title) {
    words_.resize(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* t = reinterpret_cast<DLGTEMPLATE*>(words_.data());
    t->style = style;
    t->dwExtendedStyle = exStyle;
    t->cx = 100;
    t->cy = 100;
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the standard dialog class
    for (wchar_t c : title) words_.push_back(static_cast<WORD>(c));
    words_.push_back(0);
  }
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  std::vector<WORD> words_;
};

}  // namespace tftpcfg
