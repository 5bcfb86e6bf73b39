#pragma once
// The binding to the HTML Help control ("HHCtrl.OCX"): loaded from the system
// folder when the program starts, released when it ends, its entry points
// looked up by export ordinal.

#include <windows.h>

#include <string>

#include "platform/win32/system_library.h"

namespace tftpcfg {

class HelpViewer {
 public:
  using HtmlHelpAFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
  using HtmlHelpWFn = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

  // Loads the control by its file name from the system folder only (never the
  // program's); a missing control or export leaves the entry points absent,
  // and help then does nothing. A loaded control is initialised at once
  // (HH_INITIALIZE), so its viewer runs on this thread and takes its keyboard
  // input through PreTranslateMessage.
  explicit HelpViewer(const char* library = "HHCtrl.OCX");
  HelpViewer(const HelpViewer&) = delete;
  HelpViewer& operator=(const HelpViewer&) = delete;
  // Closes every viewer (HH_CLOSE_ALL), shuts the control down
  // (HH_UNINITIALIZE), then releases the library. A viewer still open when
  // the library goes would keep a window procedure whose code is gone. The
  // control uses COM: destroy this before COM is shut down on the thread.
  ~HelpViewer();

  bool Loaded() const { return library_.Loaded(); }
  HtmlHelpAFn HtmlHelpA() const { return htmlHelpA_; }
  HtmlHelpWFn HtmlHelpW() const { return htmlHelpW_; }

  // Opens a topic ("<file>::/<topic>") in the help viewer with the desktop as
  // the caller window, so the viewer lives beside the program's windows. The
  // address goes through the ANSI entry point; only an address that the ANSI
  // code page cannot hold (a program folder with such characters) uses the
  // wide one. Returns the viewer window, or none.
  HWND DisplayTopic(const std::string& topicAddress) const;

  // Offers a message taken from the thread's queue to the viewer
  // (HH_PRETRANSLATEMESSAGE) before it is translated and dispatched: its Tab
  // and shortcut keys. True when the viewer has handled it; the caller then
  // neither translates nor dispatches it. False without a control.
  bool PreTranslateMessage(MSG& msg) const;

 private:
  // A command that names no file: through whichever entry point exists.
  HWND Command(UINT command, DWORD_PTR data) const;

  SystemLibrary library_;
  HtmlHelpAFn htmlHelpA_ = nullptr;
  HtmlHelpWFn htmlHelpW_ = nullptr;
  // From HH_INITIALIZE, handed back to HH_UNINITIALIZE; zero when the control
  // was not initialised. Documented as a DWORD that the control writes; the
  // wider zeroed variable holds it whichever width the control writes.
  DWORD_PTR cookie_ = 0;
};

}  // namespace tftpcfg
