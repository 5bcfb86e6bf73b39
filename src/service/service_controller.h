#pragma once
// The service controller: reads a named service's status and configuration,
// starts, stops, pauses, continues and restarts it through the Service Control
// Manager, waits after each request until the service has left the request's
// pending state, and shows every failure itself in its error box. Callers get
// nothing but a success flag.

#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "platform/service_manager.h"

namespace tftpcfg {

// Service states in the platform's codes.
inline constexpr uint32_t kServiceStopped = 1;
inline constexpr uint32_t kServiceStartPending = 2;
inline constexpr uint32_t kServiceStopPending = 3;
inline constexpr uint32_t kServiceRunning = 4;
inline constexpr uint32_t kServiceContinuePending = 5;
inline constexpr uint32_t kServicePausePending = 6;
inline constexpr uint32_t kServicePaused = 7;
// The state is not known (also written -1).
inline constexpr uint32_t kServiceStateUnknown = 0xFFFFFFFF;

// Start types in the platform's codes.
inline constexpr uint32_t kServiceBootStart = 0;
inline constexpr uint32_t kServiceSystemStart = 1;
inline constexpr uint32_t kServiceAutoStart = 2;
inline constexpr uint32_t kServiceDemandStart = 3;
inline constexpr uint32_t kServiceDisabled = 4;

// Control codes of the requests sent with ControlService.
inline constexpr uint32_t kServiceControlStop = 1;
inline constexpr uint32_t kServiceControlPause = 2;
inline constexpr uint32_t kServiceControlContinue = 3;

// Access asked for: GENERIC_READ | GENERIC_EXECUTE for the manager, and in
// addition SERVICE_USER_DEFINED_CONTROL for the service.
inline constexpr uint32_t kManagerAccess = 0xA0000000;
inline constexpr uint32_t kServiceAccess = 0xA0000100;

// The size the configuration buffer starts with.
inline constexpr size_t kServiceConfigBufferSize = 1024;

// What the controller learns about one service.
struct ServiceInfo {
  std::string DisplayName;  // empty until the configuration was read
  uint32_t CurrentState = kServiceStateUnknown;
  uint32_t StartType = 0;  // meaningful once the configuration was read
};

// The four requests; the value is the row of the action table.
enum ServiceAction : uint8_t { saStart = 0, saStop = 1, saPause = 2, saContinue = 3 };

// Everything that differs between the actions.
struct ServiceActionRow {
  const char* Verb;            // goes into the message for an unfinished request
  uint32_t Control;            // ControlService code; 0 for the start, which uses StartService
  uint32_t PendingState;       // the state waited through
  uint32_t TargetState;        // the state that means success
  const char* InProgressName;  // "Starting", ...
  const char* CompletedName;   // "Started", ...
};

inline constexpr std::array<ServiceActionRow, 4> kServiceActions = {{
    {"start", 0, kServiceStartPending, kServiceRunning, "Starting", "Started"},
    {"stop", kServiceControlStop, kServiceStopPending, kServiceStopped, "Stopping", "Stopped"},
    {"pause", kServiceControlPause, kServicePausePending, kServicePaused, "Pausing", "Paused"},
    {"continue", kServiceControlContinue, kServiceContinuePending, kServiceRunning, "Continuing",
     "Continued"},
}};

inline const ServiceActionRow& ServiceActionInfo(ServiceAction action) {
  return kServiceActions.at(action);
}

// The text of the error box around a detail (which comes without a closing
// full stop): "Error trying to peform specified action.\rError Message: "
// + detail + ".". The \r is a single carriage return.
std::string ServiceErrorText(const std::string& detail);

// The detail for a request that was accepted but whose service was not in the
// target state when the wait ended.
std::string UnfinishedRequestDetail(ServiceAction action, const std::string& service);

// How long the wait pauses between status reads for a wait hint: a tenth of
// the hint, but at least 1000 and at most 10000 milliseconds.
uint32_t PendingPollInterval(uint32_t waitHint);

class ServiceController {
 public:
  ServiceController(IServiceControlManager& scm, IServiceClock& clock, IServiceUi& ui)
      : scm_(scm), clock_(clock), ui_(ui) {}

  // Stops the service unless it is stopped, then starts it. True exactly when
  // the start reached the running state. A service that is not stopped but
  // whose start type is disabled receives no request: the error box shows the
  // system's text for ERROR_SERVICE_DISABLED and the result is false. Sets
  // ServiceMachineName to machine (empty: the local computer). Every failure
  // has been shown when it returns.
  bool RestartService(const std::string& machine, const std::string& service);

  // Sends one request and waits for it. True when the request was accepted and
  // the service then was in the action's target state, and for a stop that the
  // manager refuses because the service is not active (it is stopped already).
  bool PerformServiceAction(const std::string& service, ServiceAction action);

  // Clears DisplayName, sets CurrentState to unknown, then reads what it can.
  // StartType keeps its value until the configuration is read.
  void GetServiceInfo(const std::string& service, ServiceInfo& info);

  // Waits while the service is in pendingState and keeps advancing its
  // check-point, or has not yet been silent for longer than its wait hint.
  // Returns the state of the last status read, or kServiceStateUnknown when not
  // even the first read succeeded.
  uint32_t WaitWhilePending(ScHandle service, uint32_t pendingState);

  // Shows the error box with the detail and returns when it was closed.
  void ShowServiceError(const std::string& detail);

  // The machine that every connection names; empty for the local computer.
  const std::string& ServiceMachineName() const { return machine_; }
  void SetServiceMachineName(std::string machine) { machine_ = std::move(machine); }

 private:
  class Connection;

  void ShowSystemError();
  bool SendRequest(ScHandle service, ServiceAction action);
  void ReadConfig(ScHandle service, ServiceInfo& info);

  IServiceControlManager& scm_;
  IServiceClock& clock_;
  IServiceUi& ui_;
  std::string machine_;
};

}  // namespace tftpcfg
