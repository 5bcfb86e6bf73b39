#pragma once
// The one failure of the test environment that the Windows tests allow for:
// Wine's service manager now and then fails a StartService that closely
// follows a stop with ERROR_INTERNAL_ERROR (1359), and a second try a moment
// later works. The program shows it like any refused request and does not try
// again; the tests recognise it, repeat what failed and count the repeats.
// Any other error stays a failure.

#include <windows.h>

#include <string>
#include <vector>

namespace tftpcfg::test {

// How often a start (or a whole restart through the program) is tried before
// the failure counts as real, and the pause before a fixture tries again.
inline constexpr int kEnvironmentStartAttempts = 5;
inline constexpr DWORD kEnvironmentStartPauseMs = 200;

inline bool IsEnvironmentStartFailure(DWORD error) {
  return error == ERROR_INTERNAL_ERROR;
}

// True when the service controller showed exactly one error box and it is the
// box for that failure: the system's text for 1359 (FormatMessage, trimmed as
// the controller trims it) in the controller's error box.
bool IsEnvironmentStartFailure(const std::vector<std::string>& errorBoxes);

}  // namespace tftpcfg::test
