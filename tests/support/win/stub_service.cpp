#include "tests/support/win/stub_service.h"

#include <winsvc.h>

#include <array>
#include <cstdio>
#include <utility>

#include "platform/win32/win_handles.h"
#include "tests/support/win/environment_errors.h"

namespace tftpcfg::test {
namespace {

constexpr std::array<std::pair<StubBehaviour, const wchar_t*>, 6> kNames = {{
    {StubBehaviour::Normal, L"normal"},
    {StubBehaviour::SlowStop, L"slow-stop"},
    {StubBehaviour::StuckStart, L"stuck-start"},
    {StubBehaviour::RefuseStop, L"refuse-stop"},
    {StubBehaviour::ExitDuringStart, L"exit-during-start"},
    {StubBehaviour::LongHintStop, L"long-hint-stop"},
}};

// Polls the service's state until pred holds or the time is up.
template <typename Pred>
bool WaitForState(SC_HANDLE service, DWORD timeoutMs, Pred pred) {
  const DWORD start = GetTickCount();
  for (;;) {
    SERVICE_STATUS s{};
    if (!QueryServiceStatus(service, &s)) return false;
    if (pred(s.dwCurrentState)) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(20);
  }
}

DWORD ReadDword(HKEY key, const wchar_t* name) {
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegGetValueW(key, nullptr, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
    return 0;
  return value;
}

// A REG_SZ value of any length; empty when missing.
std::wstring ReadText(HKEY key, const wchar_t* name) {
  DWORD size = 0;
  if (RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS)
    return {};
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, text.data(), &size) != ERROR_SUCCESS)
    return {};
  text.resize(text.find(L'\0'));
  return text;
}

}  // namespace

const wchar_t* StubBehaviourName(StubBehaviour behaviour) {
  for (const auto& [b, name] : kNames)
    if (b == behaviour) return name;
  return L"normal";
}

bool ParseStubBehaviour(const std::wstring& name, StubBehaviour& behaviour) {
  for (const auto& [b, n] : kNames) {
    if (name == n) {
      behaviour = b;
      return true;
    }
  }
  return false;
}

std::wstring StubServiceExePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  path.resize(path.find_last_of(L"\\/") + 1);
  return path + L"stub_service.exe";
}

DWORD InstallStubService(const StubInstall& install) {
  if (const DWORD error = RemoveStubService()) return error;
  ClearStubCounters();
  UniqueScHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  if (!manager) return GetLastError();
  const std::wstring exe = install.exePath.empty() ? StubServiceExePath() : install.exePath;
  std::wstring command = L"\"" + exe + L"\" --service " + StubBehaviourName(install.behaviour);
  if (!install.extraArguments.empty()) command += L" " + install.extraArguments;
  // A service that is still marked for deletion cannot be created again yet.
  const DWORD start = GetTickCount();
  for (;;) {
    UniqueScHandle service(CreateServiceW(
        manager.get(), kStubServiceName, install.displayName.c_str(), SERVICE_ALL_ACCESS,
        SERVICE_WIN32_OWN_PROCESS, install.disabled ? SERVICE_DISABLED : SERVICE_DEMAND_START,
        SERVICE_ERROR_NORMAL, command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
    if (service) return 0;
    const DWORD error = GetLastError();
    if (error != ERROR_SERVICE_MARKED_FOR_DELETE || GetTickCount() - start > 10000) return error;
    Sleep(50);
  }
}

DWORD RemoveStubService() {
  UniqueScHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  if (!manager) return GetLastError();
  {
    UniqueScHandle service(OpenServiceW(manager.get(), kStubServiceName, SERVICE_ALL_ACCESS));
    if (!service) {
      const DWORD error = GetLastError();
      return error == ERROR_SERVICE_DOES_NOT_EXIST ? 0 : error;
    }
    // Released, any stand-in winds down through SERVICE_STOPPED; one in the
    // middle of a pending step finishes that step first.
    UniqueKernelHandle release(CreateEventW(nullptr, TRUE, FALSE, kStubReleaseEvent));
    if (!release) return GetLastError();
    SetEvent(release.get());
    const bool stopped =
        WaitForState(service.get(), 30000, [](DWORD state) { return state == SERVICE_STOPPED; });
    ResetEvent(release.get());
    if (!stopped) return ERROR_SERVICE_REQUEST_TIMEOUT;
    if (!DeleteService(service.get()) && GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE)
      return GetLastError();
  }
  // Gone once no handle holds it any more.
  const DWORD start = GetTickCount();
  for (;;) {
    UniqueScHandle probe(OpenServiceW(manager.get(), kStubServiceName, SERVICE_QUERY_STATUS));
    if (!probe) {
      const DWORD error = GetLastError();
      return error == ERROR_SERVICE_DOES_NOT_EXIST ? 0 : error;
    }
    if (GetTickCount() - start > 10000) return ERROR_SERVICE_MARKED_FOR_DELETE;
    Sleep(50);
  }
}

DWORD StartServiceRetrying(SC_HANDLE service) {
  for (int attempt = 1;; ++attempt) {
    if (StartServiceW(service, 0, nullptr)) return 0;
    const DWORD error = GetLastError();
    if (!IsEnvironmentStartFailure(error) || attempt == kEnvironmentStartAttempts) return error;
    std::fprintf(stderr, "stand-in start: the manager failed with error %lu, trying again\n",
                 error);
    Sleep(kEnvironmentStartPauseMs);
  }
}

DWORD StartStubService() {
  UniqueScHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager) return GetLastError();
  UniqueScHandle service(
      OpenServiceW(manager.get(), kStubServiceName, SERVICE_START | SERVICE_QUERY_STATUS));
  if (!service) return GetLastError();
  if (const DWORD error = StartServiceRetrying(service.get())) return error;
  const bool running = WaitForState(service.get(), 10000,
                                    [](DWORD state) { return state != SERVICE_START_PENDING; });
  return running && StubServiceState() == SERVICE_RUNNING ? 0 : ERROR_SERVICE_REQUEST_TIMEOUT;
}

DWORD DisableStubService() {
  UniqueScHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager) return GetLastError();
  UniqueScHandle service(OpenServiceW(manager.get(), kStubServiceName, SERVICE_CHANGE_CONFIG));
  if (!service ||
      !ChangeServiceConfigW(service.get(), SERVICE_NO_CHANGE, SERVICE_DISABLED, SERVICE_NO_CHANGE,
                            nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr))
    return GetLastError();
  return 0;
}

DWORD StubServiceState() {
  UniqueScHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager) return 0;
  UniqueScHandle service(OpenServiceW(manager.get(), kStubServiceName, SERVICE_QUERY_STATUS));
  SERVICE_STATUS s{};
  if (!service || !QueryServiceStatus(service.get(), &s)) return 0;
  return s.dwCurrentState;
}

StubCounters ReadStubCounters() {
  StubCounters counters;
  UniqueHKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kStubStateKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
    return counters;
  counters.starts = ReadDword(key.get(), L"StartCount");
  counters.stops = ReadDword(key.get(), L"StopCount");
  counters.events = ReadText(key.get(), L"Events");
  return counters;
}

void ClearStubCounters() {
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, kStubStateKey);
}

}  // namespace tftpcfg::test
