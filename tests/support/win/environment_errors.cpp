#include "tests/support/win/environment_errors.h"

#include "base/error_text.h"
#include "service/service_controller.h"

namespace tftpcfg::test {
namespace {

// The system's text for 1359 as UTF-8, trimmed.
std::string InternalErrorText() {
  wchar_t buffer[256] = {};
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, ERROR_INTERNAL_ERROR, 0, buffer, 256, nullptr);
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, buffer, static_cast<int>(n), nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, buffer, static_cast<int>(n), text.data(), size, nullptr, nullptr);
  return TrimErrorText(std::move(text));
}

}  // namespace

bool IsEnvironmentStartFailure(const std::vector<std::string>& errorBoxes) {
  // Built on the first call whatever the boxes are, so a test that counts
  // resources can have it built before it counts.
  static const std::string box = ServiceErrorText(InternalErrorText());
  return errorBoxes.size() == 1 && errorBoxes[0] == box;
}

}  // namespace tftpcfg::test
