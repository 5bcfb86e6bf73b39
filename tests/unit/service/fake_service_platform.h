#pragma once
// A scripted Service Control Manager, a virtual clock and recording UI hooks for
// the controller's native tests. All three write into one call log, so a test
// sees the exact order of platform calls, pauses, dispatches and error boxes.
// The manager hands out distinct handles, and counts every open and close and
// every use of a handle that is not open.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/service_manager.h"

namespace tftpcfg::test {

using CallLog = std::vector<std::string>;

// One answer to a status read: the status, or a failure with its code.
struct StatusAnswer {
  ServiceStatus status;
  uint32_t error = 0;
};

inline StatusAnswer Status(uint32_t state, uint32_t checkPoint = 0, uint32_t waitHint = 0) {
  return {{state, checkPoint, waitHint}, 0};
}
inline StatusAnswer FailedRead(uint32_t error) {
  return {{}, error};
}

class FakeScm final : public IServiceControlManager {
 public:
  explicit FakeScm(CallLog& log) : log_(log) {}

  // Scripted failures, one entry per call in order: 0 succeeds, anything else
  // fails with that code. Calls beyond the script succeed.
  std::deque<uint32_t> openManagerErrors, openServiceErrors, configErrors, startErrors,
      controlErrors;
  // Answers to status reads in order; the last one repeats for ever. When
  // statusSource is set it answers instead, given the 0-based read number.
  std::deque<StatusAnswer> statuses{Status(1)};
  std::function<StatusAnswer(int)> statusSource;

  ServiceConfig config{"Ostrel TFTP Service", 3};
  uint32_t configBytes = 400;  // the buffer size the configuration needs
  std::map<uint32_t, std::string> errorTexts;

  // What was asked for.
  std::vector<std::pair<std::string, uint32_t>> managerOpens;  // machine, access
  std::vector<std::pair<std::string, uint32_t>> serviceOpens;  // service, access
  std::vector<size_t> configBufferSizes;
  int statusReads = 0;

  // Handle bookkeeping.
  int opened = 0;
  int closed = 0;
  int badHandleUses = 0;  // calls on a handle that is not open, double closes included
  std::map<ScHandle, bool> openHandles;  // handle, is a service handle

  ScHandle OpenManager(const std::string& machine, uint32_t access) override {
    log_.push_back("OpenSCManager");
    managerOpens.emplace_back(machine, access);
    if (Fails(openManagerErrors)) return kNoScHandle;
    return Issue(false);
  }
  ScHandle OpenNamedService(ScHandle manager, const std::string& service,
                            uint32_t access) override {
    log_.push_back("OpenService");
    serviceOpens.emplace_back(service, access);
    Check(manager, false);
    if (Fails(openServiceErrors)) return kNoScHandle;
    return Issue(true);
  }
  bool QueryStatus(ScHandle service, ServiceStatus& status) override {
    log_.push_back("QueryServiceStatus");
    Check(service, true);
    StatusAnswer answer;
    if (statusSource) {
      answer = statusSource(statusReads);
    } else {
      answer = statuses.front();
      if (statuses.size() > 1) statuses.pop_front();
    }
    ++statusReads;
    if (answer.error != 0) {
      lastError_ = answer.error;
      status = ServiceStatus{0xDEAD, 0xDEAD, 0xDEAD};  // a failed read may scribble
      return false;
    }
    status = answer.status;
    return true;
  }
  bool QueryConfig(ScHandle service, std::span<std::byte> buffer, ServiceConfig& out,
                   uint32_t& bytesNeeded) override {
    log_.push_back("QueryServiceConfig");
    configBufferSizes.push_back(buffer.size());
    Check(service, true);
    if (Fails(configErrors)) return false;
    if (buffer.size() < configBytes) {
      bytesNeeded = configBytes;
      lastError_ = kErrorInsufficientBuffer;
      return false;
    }
    out = config;
    return true;
  }
  bool Start(ScHandle service) override {
    log_.push_back("StartService");
    Check(service, true);
    return !Fails(startErrors);
  }
  bool Control(ScHandle service, uint32_t control) override {
    log_.push_back("ControlService(" + std::to_string(control) + ")");
    Check(service, true);
    return !Fails(controlErrors);
  }
  void Close(ScHandle handle) override {
    const auto it = openHandles.find(handle);
    if (it == openHandles.end()) {
      log_.push_back("Close(not open)");
      ++badHandleUses;
    } else {
      log_.push_back(it->second ? "CloseService" : "CloseManager");
      openHandles.erase(it);
    }
    ++closed;
  }
  uint32_t LastError() override { return lastError_; }
  std::string SystemErrorText(uint32_t code) override {
    const auto it = errorTexts.find(code);
    return it == errorTexts.end() ? std::string() : it->second;
  }

 private:
  bool Fails(std::deque<uint32_t>& script) {
    if (script.empty()) return false;
    const uint32_t code = script.front();
    script.pop_front();
    if (code == 0) return false;
    lastError_ = code;
    return true;
  }
  // Each handle is the address of its own slot, never reused.
  ScHandle Issue(bool service) {
    ++opened;
    const auto h = reinterpret_cast<ScHandle>(&slots_.emplace_back());
    openHandles[h] = service;
    return h;
  }
  void Check(ScHandle h, bool service) {
    const auto it = openHandles.find(h);
    if (it == openHandles.end() || it->second != service) ++badHandleUses;
  }

  CallLog& log_;
  std::deque<char> slots_;
  uint32_t lastError_ = 0;
};

// A clock that only moves when the code under test sleeps.
class FakeClock final : public IServiceClock {
 public:
  explicit FakeClock(CallLog& log) : log_(log) {}
  uint32_t now = 0;
  std::vector<uint32_t> sleeps;

  uint32_t TickCount() override { return now; }
  void Sleep(uint32_t milliseconds) override {
    log_.push_back("Sleep(" + std::to_string(milliseconds) + ")");
    sleeps.push_back(milliseconds);
    now += milliseconds;  // wraps like the real tick count
  }

 private:
  CallLog& log_;
};

class FakeUi final : public IServiceUi {
 public:
  explicit FakeUi(CallLog& log) : log_(log) {}
  std::vector<std::string> errors;
  int dispatches = 0;

  void DispatchMessages() override {
    log_.push_back("Dispatch");
    ++dispatches;
  }
  void ShowError(const std::string& text) override {
    log_.push_back("ShowError");
    errors.push_back(text);
  }

 private:
  CallLog& log_;
};

}  // namespace tftpcfg::test
