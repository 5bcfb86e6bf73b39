#include "ui/help_viewer.h"

#include "platform/win32/win_text.h"

namespace tftpcfg {
namespace {

// The control's commands (htmlhelp.h).
constexpr UINT kHhDisplayTopic = 0x0000;
constexpr UINT kHhCloseAll = 0x0012;
constexpr UINT kHhInitialize = 0x001C;
constexpr UINT kHhUninitialize = 0x001D;
constexpr UINT kHhPretranslateMessage = 0x00FD;
constexpr WORD kOrdinalHtmlHelpA = 14;
constexpr WORD kOrdinalHtmlHelpW = 15;

}  // namespace

HelpViewer::HelpViewer(const char* library)
    : library_(library),
      htmlHelpA_(library_.Find<HtmlHelpAFn>(kOrdinalHtmlHelpA)),
      htmlHelpW_(library_.Find<HtmlHelpWFn>(kOrdinalHtmlHelpW)) {
  Command(kHhInitialize, reinterpret_cast<DWORD_PTR>(&cookie_));
}

HelpViewer::~HelpViewer() {
  Command(kHhCloseAll, 0);
  if (cookie_) Command(kHhUninitialize, cookie_);
  // The library is released with library_, after this body.
}

HWND HelpViewer::Command(UINT command, DWORD_PTR data) const {
  if (htmlHelpA_) return htmlHelpA_(nullptr, nullptr, command, data);
  if (htmlHelpW_) return htmlHelpW_(nullptr, nullptr, command, data);
  return nullptr;
}

HWND HelpViewer::DisplayTopic(const std::string& topicAddress) const {
  if (!htmlHelpA_) return nullptr;
  std::string ansi;
  if (WinAnsiCodec().ToAnsi(topicAddress, ansi))
    return htmlHelpA_(GetDesktopWindow(), ansi.c_str(), kHhDisplayTopic, 0);
  if (htmlHelpW_)
    return htmlHelpW_(GetDesktopWindow(), Widen(topicAddress).c_str(), kHhDisplayTopic, 0);
  return nullptr;
}

bool HelpViewer::PreTranslateMessage(MSG& msg) const {
  return Command(kHhPretranslateMessage, reinterpret_cast<DWORD_PTR>(&msg)) != nullptr;
}

}  // namespace tftpcfg
