#include "toolkit/accessibility.h"

#include <commctrl.h>

#include "controls/accessible_name.h"

namespace tftpcfg {

std::wstring NameFromLabelText(std::wstring text) {
  const size_t amp = text.find(L'&');
  if (amp != std::wstring::npos) text.erase(amp, 1);
  const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
  while (!text.empty() && blank(text.back())) text.pop_back();
  if (!text.empty() && text.back() == L':') text.pop_back();
  while (!text.empty() && blank(text.back())) text.pop_back();
  size_t start = 0;
  while (start < text.size() && blank(text[start])) ++start;
  return text.substr(start);
}

std::wstring NameFromLabel(HWND label) {
  const int length = GetWindowTextLengthW(label);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(label, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  return NameFromLabelText(std::move(text));
}

HWND LabelBefore(HWND control) {
  for (HWND h = GetWindow(control, GW_HWNDPREV); h; h = GetWindow(h, GW_HWNDPREV)) {
    wchar_t className[16] = {};
    GetClassNameW(h, className, 16);
    if (lstrcmpiW(className, WC_STATICW) == 0) return h;
  }
  return nullptr;
}

std::wstring NameAfterLabel(HWND control, std::initializer_list<HWND> windows) {
  const HWND label = LabelBefore(control);
  if (!label) return L"";
  std::wstring name = NameFromLabel(label);
  for (HWND h : windows) SetAccessibleName(h, name);
  return name;
}

}  // namespace tftpcfg
