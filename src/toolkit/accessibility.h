#pragma once
// Names for screen readers taken from the labels. The system names a control
// after the static label just before it among its siblings; the windows here
// name controls explicitly after that label (controls/accessible_name.h),
// also the input fields, which name their own text areas.

#include <windows.h>

#include <initializer_list>
#include <string>

#include "controls/accessible_name.h"

namespace tftpcfg {

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

}  // namespace tftpcfg
