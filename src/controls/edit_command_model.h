#pragma once
// What a character typed into a one-line text field stands for: text to insert,
// Backspace, a clipboard or undo command, or a key the field does not take.
// Both text fields use it to keep Enter and Esc out of the text (they belong to
// the window) and to refuse every text-changing command while read-only.

#include <cstdint>

namespace tftpcfg {

enum class EditCommand {
  None,       // not a command
  SelectAll,  // Ctrl+A
  Copy,       // Ctrl+C
  Cut,        // Ctrl+X
  Paste,      // Ctrl+V
  Undo,       // Ctrl+Z
};

// The command that a control character stands for (the characters that Ctrl+A,
// Ctrl+C, Ctrl+X, Ctrl+V and Ctrl+Z produce), or None.
EditCommand CommandForChar(char32_t ch);

// Whether carrying out the command can change the text.
bool ChangesText(EditCommand command);

enum class CharKind {
  Command,    // a command (see CommandForChar)
  Backspace,  // deletes; an editing key
  Printable,  // a character that can stand in the text
  Other,      // Enter, Esc, Tab and the other control characters: never typed
};

CharKind ClassifyChar(char32_t ch);

}  // namespace tftpcfg
