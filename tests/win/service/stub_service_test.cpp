// The stand-in service itself, driven directly through the manager: the states
// and check-points it walks through, how long that takes, and what it counts.
// The controller's tests rely on this behaviour; the times are printed as the
// stand-in's share of a restart.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "platform/win32/win_handles.h"
#include "tests/support/win/stub_service.h"

namespace tftpcfg {
namespace {

struct Observed {
  std::vector<SERVICE_STATUS> changes;  // each status that differed from the one before
  double ms = 0;                        // until the pending state was left
};

// Polls every 5 ms while the service is in pending.
Observed WatchWhile(SC_HANDLE service, DWORD pending) {
  Observed seen;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 2000; ++i) {
    SERVICE_STATUS s{};
    if (!QueryServiceStatus(service, &s)) break;
    if (seen.changes.empty() || s.dwCurrentState != seen.changes.back().dwCurrentState ||
        s.dwCheckPoint != seen.changes.back().dwCheckPoint)
      seen.changes.push_back(s);
    if (s.dwCurrentState != pending) break;
    Sleep(5);
  }
  seen.ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  return seen;
}

// Pending with check-points that only grow, each with a non-zero hint, then target.
void ExpectAdvancingThenSettled(const Observed& seen, DWORD pending, DWORD target) {
  ASSERT_GE(seen.changes.size(), 3u);
  EXPECT_EQ(seen.changes.back().dwCurrentState, target);
  for (size_t i = 0; i + 1 < seen.changes.size(); ++i) {
    EXPECT_EQ(seen.changes[i].dwCurrentState, pending) << i;
    EXPECT_GT(seen.changes[i].dwWaitHint, 0u) << i;
    if (i > 0) {
      EXPECT_GT(seen.changes[i].dwCheckPoint, seen.changes[i - 1].dwCheckPoint) << i;
    }
  }
}

class StubServiceTest : public ::testing::Test {
 protected:
  // The service can only be deleted once no handle holds it.
  void TearDown() override {
    service_.reset();
    manager_.reset();
    EXPECT_EQ(test::RemoveStubService(), 0u);
  }

  void Open() {
    manager_.reset(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    ASSERT_TRUE(manager_);
    service_.reset(OpenServiceW(manager_.get(), test::kStubServiceName, SERVICE_ALL_ACCESS));
    ASSERT_TRUE(service_);
  }
  SC_HANDLE service() const { return service_.get(); }

 private:
  UniqueScHandle manager_;
  UniqueScHandle service_;
};

TEST_F(StubServiceTest, NormalWalksThroughAFewHundredMillisecondsOfEachPendingState) {
  ASSERT_EQ(test::InstallStubService({}), 0u);
  Open();
  ASSERT_EQ(test::StartServiceRetrying(service()), 0u);
  const Observed start = WatchWhile(service(), SERVICE_START_PENDING);
  ExpectAdvancingThenSettled(start, SERVICE_START_PENDING, SERVICE_RUNNING);

  SERVICE_STATUS status{};
  ASSERT_TRUE(ControlService(service(), SERVICE_CONTROL_STOP, &status));
  const Observed stop = WatchWhile(service(), SERVICE_STOP_PENDING);
  ExpectAdvancingThenSettled(stop, SERVICE_STOP_PENDING, SERVICE_STOPPED);

  EXPECT_GT(start.ms, 200);
  EXPECT_LT(start.ms, 1000);
  EXPECT_GT(stop.ms, 200);
  EXPECT_LT(stop.ms, 1000);
  std::printf("stand-in: start pending %.0f ms, stop pending %.0f ms\n", start.ms, stop.ms);

  const test::StubCounters counters = test::ReadStubCounters();
  EXPECT_EQ(counters.starts, 1u);
  EXPECT_EQ(counters.stops, 1u);
  EXPECT_EQ(counters.events, L"start stop");
}

}  // namespace
}  // namespace tftpcfg
