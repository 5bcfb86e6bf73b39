#include "ui/help_viewer.h"

#include "platform/win32/win_text.h"

namespace tftpcfg {
namespace {

constexpr UINT kHhDisplayTopic = 0;
constexpr WORD kOrdinalHtmlHelpA = 14;
constexpr WORD kOrdinalHtmlHelpW = 15;

}  // namespace

HelpViewer::HelpViewer(const char* library)
    : library_(library),
      htmlHelpA_(library_.Find<HtmlHelpAFn>(kOrdinalHtmlHelpA)),
      htmlHelpW_(library_.Find<HtmlHelpWFn>(kOrdinalHtmlHelpW)) {}

HWND HelpViewer::DisplayTopic(const std::string& topicAddress) const {
  if (!htmlHelpA_) return nullptr;
  std::string ansi;
  if (WinAnsiCodec().ToAnsi(topicAddress, ansi))
    return htmlHelpA_(GetDesktopWindow(), ansi.c_str(), kHhDisplayTopic, 0);
  if (htmlHelpW_)
    return htmlHelpW_(GetDesktopWindow(), Widen(topicAddress).c_str(), kHhDisplayTopic, 0);
  return nullptr;
}

}  // namespace tftpcfg
