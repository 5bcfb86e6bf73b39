#pragma once
// Installs, drives and removes the stand-in service that the Windows tests run
// as "OstrelTFTPd" (tests/fixtures/stub_service.cpp), and reads what it
// received. The stand-in only walks through service states; the behaviour is
// chosen at installation and travels in its binary path. It counts the start
// and stop requests in HKLM\SOFTWARE\OstrelTest\StubService, and winds down
// through SERVICE_STOPPED whenever RemoveStubService asks it to (Wine never
// marks a killed service stopped, so a stand-in must always leave that way).
//
// The same code serves the stand-in's own --install/--remove modes, so scripts
// can install it too. Text is UTF-16 here: these helpers use the W calls.

#include <windows.h>

#include <string>

namespace tftpcfg::test {

inline constexpr wchar_t kStubServiceName[] = L"OstrelTFTPd";
inline constexpr wchar_t kStubDisplayName[] = L"Ostrel TFTP Service (stand-in)";
// Where the stand-in keeps its counters.
inline constexpr wchar_t kStubStateKey[] = L"SOFTWARE\\OstrelTest\\StubService";
// Set by RemoveStubService: the stand-in then reports SERVICE_STOPPED and exits.
inline constexpr wchar_t kStubReleaseEvent[] = L"Global\\OstrelTestStubServiceRelease";

enum class StubBehaviour {
  Normal,           // start and stop pending ~300 ms each, advancing check-points
  SlowStop,         // stop pending ~3.5 s, longer than its 1000 ms hint, but advancing
  StuckStart,       // start pending with wait hint 0 and no progress, until released
  RefuseStop,       // starts normally, never accepts a stop (the manager fails with 1052)
  ExitDuringStart,  // start pending for ~400 ms, then stopped with an exit code
  LongHintStop,     // stop pending ~2 s with a wait hint of 60 s, advancing
};

// "normal", "slow-stop", "stuck-start", "refuse-stop", "exit-during-start",
// "long-hint-stop".
const wchar_t* StubBehaviourName(StubBehaviour behaviour);
bool ParseStubBehaviour(const std::wstring& name, StubBehaviour& behaviour);

struct StubInstall {
  StubBehaviour behaviour = StubBehaviour::Normal;
  bool disabled = false;  // start type disabled instead of on demand
  std::wstring displayName = kStubDisplayName;
  std::wstring extraArguments;  // appended to the binary path, ignored by the stand-in
  std::wstring exePath;         // empty: StubServiceExePath()
};

// stub_service.exe in the folder of the running executable.
std::wstring StubServiceExePath();

// Removes any earlier installation, clears the counters and creates the
// service. Returns 0 or the system error code of the step that failed.
DWORD InstallStubService(const StubInstall& install);
// Ends a running stand-in through SERVICE_STOPPED, deletes the service and
// waits until the manager has forgotten it. 0 also when none was installed.
DWORD RemoveStubService();
// StartServiceW, tried again after a short pause while the manager fails it
// with the environment's 1359 (see environment_errors.h), a bounded number of
// times. Returns 0 or the system error code of the last try.
DWORD StartServiceRetrying(SC_HANDLE service);
// Starts the installed stand-in directly through the manager (as
// StartServiceRetrying) and waits (up to 10 s) until it runs. Returns 0 or a
// system error code.
DWORD StartStubService();
// Sets the installed stand-in's start type to disabled, as an administrator
// does, whatever its state. Returns 0 or a system error code.
DWORD DisableStubService();
// The current state (SERVICE_RUNNING, ...), or 0 when it cannot be read.
DWORD StubServiceState();

// What the stand-in received since its installation.
struct StubCounters {
  DWORD starts = 0;
  DWORD stops = 0;
  std::wstring events;  // "start stop start ...", in the order received
};
StubCounters ReadStubCounters();
void ClearStubCounters();

}  // namespace tftpcfg::test
