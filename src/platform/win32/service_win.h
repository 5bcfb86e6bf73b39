#pragma once
// The service controller's platform over Win32: the Service Control Manager
// through its ANSI calls, the tick count and the wait's pause. (Its
// user-interface hooks live with the windows: ui/service_ui.h.)

#include <windows.h>

#include "platform/win32/win_text.h"
#include "platform/service_manager.h"

namespace tftpcfg {

class WinServiceControlManager final : public IServiceControlManager {
 public:
  ScHandle OpenManager(const std::string& machine, uint32_t access) override;
  ScHandle OpenNamedService(ScHandle manager, const std::string& service, uint32_t access) override;
  bool QueryStatus(ScHandle service, ServiceStatus& status) override;
  bool QueryConfig(ScHandle service, std::span<std::byte> buffer, ServiceConfig& config,
                   uint32_t& bytesNeeded) override;
  bool Start(ScHandle service) override;
  bool Control(ScHandle service, uint32_t control) override;
  void Close(ScHandle handle) override;
  uint32_t LastError() override { return lastError_; }
  std::string SystemErrorText(uint32_t code) override;

 private:
  // Converts a name for an A call; false (with the error recorded) when the
  // code page cannot hold it or it has an embedded zero.
  bool ToAnsiName(const std::string& utf8, std::string& ansi);
  // Records GetLastError() right after a failed call, before anything else can
  // overwrite it.
  void RecordFailure() { lastError_ = GetLastError(); }

  WinAnsiCodec codec_;
  uint32_t lastError_ = ERROR_SUCCESS;
};

class WinServiceClock final : public IServiceClock {
 public:
  uint32_t TickCount() override { return GetTickCount(); }
  // Waits the whole pause, but wakes at once for messages sent to the thread's
  // windows and for painting, and handles them, so that the windows answer
  // during a wait whose pauses last seconds. Posted messages, input among them,
  // stay in the queue for the drain after the pause. The queue is also looked
  // at every half second, so Windows never takes the thread for hung.
  void Sleep(uint32_t milliseconds) override;
};

}  // namespace tftpcfg
