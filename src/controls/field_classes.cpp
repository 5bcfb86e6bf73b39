// The registration of the three fields' window classes (field_control.h).

#include "controls/field_control.h"
#include "controls/folder_field.h"
#include "controls/ip_address_field.h"
#include "controls/number_field.h"

namespace tftpcfg {

void RegisterFieldClasses() {
  NumberField::RegisterWindowClass();
  FolderField::RegisterWindowClass();
  IpAddressField::RegisterWindowClass();
}

}  // namespace tftpcfg
