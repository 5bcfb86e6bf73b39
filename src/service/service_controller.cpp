#include "service/service_controller.h"

#include <algorithm>
#include <vector>

namespace tftpcfg {

// The manager and service handles of one operation. They are closed service
// first and manager last, each only if it was opened, on every path.
class ServiceController::Connection {
 public:
  explicit Connection(IServiceControlManager& scm) : scm_(scm) {}
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  ~Connection() {
    if (service_ != kNoScHandle) scm_.Close(service_);
    if (manager_ != kNoScHandle) scm_.Close(manager_);
  }

  // Opens the manager on machine, then the service. False when either fails;
  // the failure's code is then left for LastError().
  bool Open(const std::string& machine, const std::string& service) {
    manager_ = scm_.OpenManager(machine, kManagerAccess);
    if (manager_ == kNoScHandle) return false;
    service_ = scm_.OpenNamedService(manager_, service, kServiceAccess);
    return service_ != kNoScHandle;
  }

  ScHandle service() const { return service_; }

 private:
  IServiceControlManager& scm_;
  ScHandle manager_ = kNoScHandle;
  ScHandle service_ = kNoScHandle;
};

std::string ServiceErrorText(const std::string& detail) {
  return "Error trying to peform specified action.\rError Message: " + detail + ".";
}

std::string UnfinishedRequestDetail(ServiceAction action, const std::string& service) {
  return std::string("Couldn't ") + ServiceActionInfo(action).Verb + " service " + service +
         ".\rPlease refer EventLog for extended information about error";
}

uint32_t PendingPollInterval(uint32_t waitHint) {
  return std::clamp<uint32_t>(waitHint / 10, 1000, 10000);
}

bool ServiceController::RestartService(const std::string& machine, const std::string& service) {
  machine_ = machine;
  // The start type stays boot start unless the configuration is read, so an
  // unread configuration never counts as disabled.
  ServiceInfo info;
  GetServiceInfo(service, info);
  // Whatever went wrong has been shown already.
  if (info.CurrentState == kServiceStateUnknown) return false;
  if (info.CurrentState != kServiceStopped) {
    // A disabled service would be stopped and then refused its start. It is
    // left as it is, with the text that the refused start would have shown.
    if (info.StartType == kServiceDisabled) {
      ShowServiceError(scm_.SystemErrorText(kErrorServiceDisabled));
      return false;
    }
    // Running, paused or pending: stop first; a start is tried only after a
    // stop that succeeded.
    if (!PerformServiceAction(service, saStop)) return false;
  }
  return PerformServiceAction(service, saStart);
}

bool ServiceController::PerformServiceAction(const std::string& service, ServiceAction action) {
  const ServiceActionRow& row = ServiceActionInfo(action);
  Connection connection(scm_);
  if (!connection.Open(machine_, service)) {
    ShowSystemError();
    return false;
  }
  if (!SendRequest(connection.service(), action)) {
    // The service stopped on its own since its state was read: the stop has
    // nothing left to do.
    if (action == saStop && scm_.LastError() == kErrorServiceNotActive) return true;
    ShowSystemError();
    return false;
  }
  if (WaitWhilePending(connection.service(), row.PendingState) != row.TargetState) {
    ShowServiceError(UnfinishedRequestDetail(action, service));
    return false;
  }
  return true;
}

bool ServiceController::SendRequest(ScHandle service, ServiceAction action) {
  const ServiceActionRow& row = ServiceActionInfo(action);
  if (action == saStart) return scm_.Start(service);
  return scm_.Control(service, row.Control);
}

void ServiceController::GetServiceInfo(const std::string& service, ServiceInfo& info) {
  info.DisplayName.clear();
  info.CurrentState = kServiceStateUnknown;
  Connection connection(scm_);
  if (!connection.Open(machine_, service)) {
    ShowSystemError();
    return;
  }
  ReadConfig(connection.service(), info);
  ServiceStatus status;
  if (scm_.QueryStatus(connection.service(), status)) {
    info.CurrentState = status.CurrentState;
  } else {
    // Shown, so that a restart that ends here always tells why.
    ShowSystemError();
  }
}

void ServiceController::ReadConfig(ScHandle service, ServiceInfo& info) {
  std::vector<std::byte> buffer(kServiceConfigBufferSize);
  ServiceConfig config;
  uint32_t needed = 0;
  bool ok = scm_.QueryConfig(service, buffer, config, needed);
  if (!ok && scm_.LastError() == kErrorInsufficientBuffer) {
    buffer.resize(std::max<size_t>(needed, buffer.size()));
    ok = scm_.QueryConfig(service, buffer, config, needed);
  }
  if (!ok) {
    // The restart goes on without the configuration.
    ShowSystemError();
    return;
  }
  info.DisplayName = std::move(config.DisplayName);
  info.StartType = config.StartType;
}

uint32_t ServiceController::WaitWhilePending(ScHandle service, uint32_t pendingState) {
  ServiceStatus status;
  if (!scm_.QueryStatus(service, status)) return kServiceStateUnknown;
  uint32_t progressStart = clock_.TickCount();
  uint32_t lastCheckPoint = status.CheckPoint;
  while (status.CurrentState == pendingState) {
    clock_.Sleep(PendingPollInterval(status.WaitHint));
    ui_.DispatchMessages();
    ServiceStatus next;
    // A failed read ends the wait; the last status read decides.
    if (!scm_.QueryStatus(service, next)) break;
    status = next;
    if (status.CheckPoint > lastCheckPoint) {
      progressStart = clock_.TickCount();
      lastCheckPoint = status.CheckPoint;
    } else if (static_cast<uint32_t>(clock_.TickCount() - progressStart) > status.WaitHint) {
      // Silent for longer than the service itself promised: give up. The
      // unsigned difference stays right when the tick count wraps.
      break;
    }
  }
  return status.CurrentState;
}

void ServiceController::ShowServiceError(const std::string& detail) {
  ui_.ShowError(ServiceErrorText(detail));
}

void ServiceController::ShowSystemError() {
  ShowServiceError(scm_.SystemErrorText(scm_.LastError()));
}

}  // namespace tftpcfg
