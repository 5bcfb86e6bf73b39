#pragma once
// Names for screen readers. The system names a control after the static label
// just before it among its siblings; the text areas of the input fields are
// children of the fields, out of that rule's reach, so they get explicit names
// here. A named window answers the accessibility query for its client object
// with the system's own object for it, whose name (and, if given, description)
// is replaced; role, state, value and the rest stay the system's.

#include <windows.h>

#include <initializer_list>
#include <string>

namespace tftpcfg {

// Gives hwnd the accessible name and description; a later call replaces them.
// The window keeps them until it is destroyed.
void SetAccessibleName(HWND hwnd, const std::wstring& name, const std::wstring& description = L"");

// The name a control gets from its visible label: the label's text without
// an accelerator "&", surrounding blanks and a closing colon.
std::wstring NameFromLabel(HWND label);
std::wstring NameFromLabelText(std::wstring text);

// The label of a control: the nearest static control before it among its
// siblings (the order they were created in), or none.
HWND LabelBefore(HWND control);

// Names the windows after the label before control (see LabelBefore) and
// returns the name; empty, and nothing named, when control has no label.
std::wstring NameAfterLabel(HWND control, std::initializer_list<HWND> windows);

// Names an IP address field and each of its four parts; a part says which of
// the four it is ("part 2 of 4").
void NameAddressParts(HWND field, const std::wstring& name);

}  // namespace tftpcfg
