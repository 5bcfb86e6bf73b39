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
  // and help then does nothing.
  explicit HelpViewer(const char* library = "HHCtrl.OCX");
  HelpViewer(const HelpViewer&) = delete;
  HelpViewer& operator=(const HelpViewer&) = delete;
  ~HelpViewer() = default;  // the library is released with its handle

  bool Loaded() const { return library_.Loaded(); }
  HtmlHelpAFn HtmlHelpA() const { return htmlHelpA_; }
  HtmlHelpWFn HtmlHelpW() const { return htmlHelpW_; }

  // Opens a topic ("<file>::/<topic>") in the help viewer with the desktop as
  // the caller window, so the viewer lives beside the program's windows. The
  // address goes through the ANSI entry point; only an address that the ANSI
  // code page cannot hold (a program folder with such characters) uses the
  // wide one. Returns the viewer window, or none.
  HWND DisplayTopic(const std::string& topicAddress) const;

 private:
  SystemLibrary library_;
  HtmlHelpAFn htmlHelpA_ = nullptr;
  HtmlHelpWFn htmlHelpW_ = nullptr;
};

}  // namespace tftpcfg
