#pragma once
// What the service controller needs of the platform, shaped after the Win32
// calls it stands for, so that the Win32 implementation is a few lines per
// method and native tests can script every answer: the Service Control Manager,
// the clock with its pauses, and the user-interface hooks (message dispatch and
// the error box). Portable: no Windows header.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tftpcfg {

// A manager or service handle as the manager hands it out, opaque to the
// controller; kNoScHandle is "none".
struct ScHandleObject;
using ScHandle = ScHandleObject*;
inline constexpr ScHandle kNoScHandle = nullptr;

// System error codes that the controller tells apart.
inline constexpr uint32_t kErrorInsufficientBuffer = 122;
inline constexpr uint32_t kErrorServiceDisabled = 1058;   // ERROR_SERVICE_DISABLED
inline constexpr uint32_t kErrorServiceNotActive = 1062;  // ERROR_SERVICE_NOT_ACTIVE

// The part of a service's status that the wait looks at.
struct ServiceStatus {
  uint32_t CurrentState = 0;
  uint32_t CheckPoint = 0;
  uint32_t WaitHint = 0;
};

// The part of a service's configuration that the controller keeps.
struct ServiceConfig {
  std::string DisplayName;  // UTF-8
  uint32_t StartType = 0;
};

class IServiceControlManager {
 public:
  virtual ~IServiceControlManager() = default;

  // Each call that fails returns kNoScHandle or false and leaves its system
  // error code for LastError(). Names are UTF-8; a name that the ANSI code page
  // cannot represent fails the call, as an invalid name would.

  // OpenSCManagerA on machine (empty: the local computer), active database.
  virtual ScHandle OpenManager(const std::string& machine, uint32_t access) = 0;
  // OpenServiceA.
  virtual ScHandle OpenNamedService(ScHandle manager, const std::string& service,
                                    uint32_t access) = 0;
  // QueryServiceStatus.
  virtual bool QueryStatus(ScHandle service, ServiceStatus& status) = 0;
  // QueryServiceConfigA into a caller-owned buffer (aligned as operator new
  // aligns). When the buffer is too small the call fails with
  // kErrorInsufficientBuffer and bytesNeeded holds the size that would do.
  virtual bool QueryConfig(ScHandle service, std::span<std::byte> buffer, ServiceConfig& config,
                           uint32_t& bytesNeeded) = 0;
  // StartServiceA with no start arguments.
  virtual bool Start(ScHandle service) = 0;
  // ControlService; the status it hands back is not needed.
  virtual bool Control(ScHandle service, uint32_t control) = 0;
  // CloseServiceHandle.
  virtual void Close(ScHandle handle) = 0;

  // The code left by the last call that failed (GetLastError at that point).
  virtual uint32_t LastError() = 0;
  // The system's text for a code, trimmed of trailing blanks, control
  // characters and full stops; empty when the system has none.
  virtual std::string SystemErrorText(uint32_t code) = 0;
};

// The wait's clock: a millisecond tick count that wraps at 2^32, and a pause.
class IServiceClock {
 public:
  virtual ~IServiceClock() = default;
  virtual uint32_t TickCount() = 0;
  // Returns after the given milliseconds. On the user-interface thread the
  // windows keep answering meanwhile: messages sent to them are handled and
  // they repaint, while posted input waits for IServiceUi::DispatchMessages.
  virtual void Sleep(uint32_t milliseconds) = 0;
};

// What the controller needs of the user interface.
class IServiceUi {
 public:
  virtual ~IServiceUi() = default;
  // Processes every window message that waits for the calling thread.
  virtual void DispatchMessages() = 0;
  // Shows the modal error box with this text; returns when it was closed.
  virtual void ShowError(const std::string& text) = 0;
};

}  // namespace tftpcfg
