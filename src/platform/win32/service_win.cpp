#include "platform/win32/service_win.h"

#include <winsvc.h>

#include <algorithm>
#include <limits>
#include <optional>

#include "base/error_text.h"

namespace tftpcfg {
namespace {

SC_HANDLE Sc(ScHandle h) {
  return reinterpret_cast<SC_HANDLE>(h);
}
ScHandle Sc(SC_HANDLE h) {
  return reinterpret_cast<ScHandle>(h);
}

}  // namespace

bool WinServiceControlManager::ToAnsiName(const std::string& utf8, std::string& ansi) {
  if (utf8.find('\0') != std::string::npos) {
    lastError_ = ERROR_INVALID_NAME;
    return false;
  }
  if (!codec_.ToAnsi(utf8, ansi)) {
    lastError_ = ERROR_NO_UNICODE_TRANSLATION;
    return false;
  }
  return true;
}

ScHandle WinServiceControlManager::OpenManager(const std::string& machine, uint32_t access) {
  std::string name;
  if (!ToAnsiName(machine, name)) return kNoScHandle;
  // The active services database: no database name.
  SC_HANDLE h = OpenSCManagerA(machine.empty() ? nullptr : name.c_str(), nullptr, access);
  if (!h) RecordFailure();
  return Sc(h);
}

ScHandle WinServiceControlManager::OpenNamedService(ScHandle manager, const std::string& service,
                                                    uint32_t access) {
  std::string name;
  if (!ToAnsiName(service, name)) return kNoScHandle;
  SC_HANDLE h = OpenServiceA(Sc(manager), name.c_str(), access);
  if (!h) RecordFailure();
  return Sc(h);
}

bool WinServiceControlManager::QueryStatus(ScHandle service, ServiceStatus& status) {
  SERVICE_STATUS s{};
  if (!QueryServiceStatus(Sc(service), &s)) {
    RecordFailure();
    return false;
  }
  status = {s.dwCurrentState, s.dwCheckPoint, s.dwWaitHint};
  return true;
}

bool WinServiceControlManager::QueryConfig(ScHandle service, std::span<std::byte> buffer,
                                           ServiceConfig& config, uint32_t& bytesNeeded) {
  // The record's pointers point into the buffer itself, so the buffer must be
  // aligned for the record; a size beyond a DWORD is never needed.
  if (reinterpret_cast<uintptr_t>(buffer.data()) % alignof(QUERY_SERVICE_CONFIGA) != 0 ||
      buffer.size() > std::numeric_limits<DWORD>::max()) {
    lastError_ = ERROR_INVALID_PARAMETER;
    return false;
  }
  auto* record = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
  DWORD needed = 0;
  if (!QueryServiceConfigA(Sc(service), record, static_cast<DWORD>(buffer.size()), &needed)) {
    RecordFailure();
    bytesNeeded = needed;
    return false;
  }
  config.DisplayName = record->lpDisplayName ? codec_.FromAnsi(record->lpDisplayName) : "";
  config.StartType = record->dwStartType;
  return true;
}

bool WinServiceControlManager::Start(ScHandle service) {
  if (StartServiceA(Sc(service), 0, nullptr)) return true;
  RecordFailure();
  return false;
}

bool WinServiceControlManager::Control(ScHandle service, uint32_t control) {
  SERVICE_STATUS unused{};
  if (ControlService(Sc(service), control, &unused)) return true;
  RecordFailure();
  return false;
}

void WinServiceControlManager::Close(ScHandle handle) {
  CloseServiceHandle(Sc(handle));
}

std::string WinServiceControlManager::SystemErrorText(uint32_t code) {
  // A text that does not fit the buffer fails the call and counts as none.
  char buffer[256] = {};
  const DWORD n = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
      nullptr, code, 0, buffer, sizeof buffer, nullptr);
  if (n == 0) return {};
  return TrimErrorText(codec_.FromAnsi(std::string_view(buffer, n)));
}

void WinServiceClock::Sleep(uint32_t milliseconds) {
  // A thread that has not looked at its queue for 5 s counts as hung.
  constexpr DWORD kLookEveryMs = 500;
  const DWORD start = GetTickCount();
  const auto left = [&]() -> DWORD {
    const DWORD elapsed = GetTickCount() - start;
    return elapsed < milliseconds ? milliseconds - elapsed : 0;
  };
  std::optional<int> quit;
  for (DWORD rest = left(); rest > 0; rest = left()) {
    const DWORD slice = std::min(rest, kLookEveryMs);
    if (MsgWaitForMultipleObjectsEx(0, nullptr, slice, QS_SENDMESSAGE | QS_PAINT, 0) ==
        WAIT_FAILED) {
      ::Sleep(slice);
      continue;
    }
    // PeekMessage handles the sent messages itself and hands out only paint
    // messages. A window that never validates itself cannot hold the pause
    // beyond its end.
    MSG msg;
    while (left() > 0 &&
           PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_SENDMESSAGE | PM_QS_PAINT)) {
      if (msg.message == WM_QUIT)
        quit = static_cast<int>(msg.wParam);
      else
        DispatchMessageW(&msg);
    }
  }
  // A quit taken from the queue goes back for the program's message loop.
  if (quit) PostQuitMessage(*quit);
}

}  // namespace tftpcfg
