#pragma once
// The program's own message dialog for errors, information and yes/no
// questions. A system message box without a Cancel button ignores Esc and
// greys its close box; this dialog answers Esc with its Esc button ("OK", or
// "&No" in a question) and treats the close box as neither Yes nor OK.
//
// Caption and icon follow the kind: "Error" with the error icon, "Information"
// with the information icon, "Confirm" with the question icon. The text wraps
// at half the width of the work area and breaks at each carriage return; the
// dialog is sized to it, scaled with the DPI and centred on the screen. While
// it is open, every other window of the thread is disabled, as with a
// task-modal message box.

#include <windows.h>

#include <string_view>

namespace tftpcfg {

enum class MessageKind { Error, Information, Confirmation };

// Ok and Yes/No are the buttons; Closed is the close box, Alt+F4 or the
// system menu, which count as neither Yes nor OK.
enum class MessageResult { Ok, Yes, No, Closed };

// Shows the dialog over owner (may be null) and returns when it was closed.
MessageResult ShowMessageDialog(HWND owner, MessageKind kind, std::string_view text);

// Control ids: the text has the id that system message boxes give theirs.
inline constexpr int kMessageTextId = 0xFFFF;
inline constexpr int kMessageIconId = 20;

}  // namespace tftpcfg
