#pragma once
// Answers the real message boxes (dialogs of class "#32770" with a message text) that the
// test's own thread shows: a WH_CBT hook sees each one when it is activated;
// once the box runs its modal loop (initialised, on screen) the answerer records
// its caption, text, buttons, default button and rectangle, and clicks the
// button that the test's answer function names. Only one answerer is active at
// a time.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace tftpcfg::test {

struct SeenBox {
  HWND hwnd = nullptr;
  std::string caption;               // UTF-8
  std::string text;                  // the static text with id 0xFFFF, as message boxes have it
  std::vector<std::string> buttons;  // captions of the push buttons, in z-order
  int defaultId = 0;                 // the button of default push-button style
  bool hasIcon = false;              // an icon is shown
  HICON icon = nullptr;              // the icon shown, if any
  RECT rect{};                       // the box's window rectangle
};

// Whether two icons draw the same picture at the same size (their handles may
// differ: a scaled copy of a system icon is an icon of its own).
bool SameIconImage(HICON a, HICON b);

// The system's icon (IDI_ERROR, ...) at the size a DPI gives it.
HICON SystemIconForDpi(const wchar_t* id, UINT dpi);

class MessageBoxAnswerer {
 public:
  // answer returns the command id to click (IDOK, IDYES, ...), or 0 to leave
  // the box alone (the test then closes it itself).
  explicit MessageBoxAnswerer(std::function<int(const SeenBox&)> answer);
  // Clicks the same button in every box.
  explicit MessageBoxAnswerer(int id) : MessageBoxAnswerer([id](const SeenBox&) { return id; }) {}
  MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
  MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;
  ~MessageBoxAnswerer();

  const std::vector<SeenBox>& seen() const { return seen_; }

 private:
  static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
  static void CALLBACK InspectProc(HWND hwnd, UINT, UINT_PTR id, DWORD);
  static constexpr UINT_PTR kInspectTimer = 0x7E57;

  std::function<int(const SeenBox&)> answer_;
  std::vector<SeenBox> seen_;
  std::vector<HWND> boxes_;  // every box seen activated, so a re-activation is not a new box
  HHOOK hook_ = nullptr;
};

}  // namespace tftpcfg::test
