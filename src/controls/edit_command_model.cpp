#include "controls/edit_command_model.h"

namespace tftpcfg {

EditCommand CommandForChar(char32_t ch) {
  switch (ch) {
    case 0x01:
      return EditCommand::SelectAll;
    case 0x03:
      return EditCommand::Copy;
    case 0x18:
      return EditCommand::Cut;
    case 0x16:
      return EditCommand::Paste;
    case 0x1A:
      return EditCommand::Undo;
    default:
      return EditCommand::None;
  }
}

bool ChangesText(EditCommand command) {
  return command == EditCommand::Cut || command == EditCommand::Paste ||
         command == EditCommand::Undo;
}

CharKind ClassifyChar(char32_t ch) {
  if (CommandForChar(ch) != EditCommand::None) return CharKind::Command;
  if (ch == 0x08) return CharKind::Backspace;
  // C0 controls, DEL and the C1 controls never stand in a one-line text.
  if (ch < 0x20 || ch == 0x7F || (ch >= 0x80 && ch < 0xA0)) return CharKind::Other;
  return CharKind::Printable;
}

}  // namespace tftpcfg
