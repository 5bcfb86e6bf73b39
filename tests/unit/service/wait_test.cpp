// The wait on a pending request, on a virtual clock: pause lengths, giving up,
// check-point progress and tick-count wrap-around.

#include <gtest/gtest.h>

#include "service/service_controller.h"
#include "tests/unit/service/fake_service_platform.h"

namespace tftpcfg {
namespace {

using test::FailedRead;
using test::Status;

class WaitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    manager_ = scm.OpenManager("", kManagerAccess);
    service_ = scm.OpenNamedService(manager_, "OstrelTFTPd", kServiceAccess);
    log.clear();
  }
  void TearDown() override {
    scm.Close(service_);
    scm.Close(manager_);
    EXPECT_EQ(scm.badHandleUses, 0);
  }

  uint32_t Wait(uint32_t pending = kServiceStartPending) {
    return controller.WaitWhilePending(service_, pending);
  }

  test::CallLog log;
  test::FakeScm scm{log};
  test::FakeClock clock{log};
  test::FakeUi ui{log};
  ServiceController controller{scm, clock, ui};

 private:
  ScHandle manager_ = kNoScHandle;
  ScHandle service_ = kNoScHandle;
};

TEST_F(WaitTest, RequestThatCompletesAtOnceCostsOneReadAndNothingElse) {
  scm.statuses = {Status(kServiceRunning)};
  EXPECT_EQ(Wait(), kServiceRunning);
  EXPECT_EQ(log, test::CallLog{"QueryServiceStatus"});
}

TEST_F(WaitTest, PauseFollowsTheWaitHintAndGivesUpAtTheFirstReadPastIt) {
  struct Case {
    uint32_t hint;
    uint32_t pause;
    size_t pauses;  // reads after which more than the hint has passed without progress
  };
  const Case cases[] = {{0, 1000, 1},       {5000, 1000, 6},   {9999, 1000, 10},
                        {10000, 1000, 11},  {10009, 1000, 11}, {10010, 1001, 11},
                        {30000, 3000, 11},  {99999, 9999, 11}, {100000, 10000, 11},
                        {200000, 10000, 21}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hint);
    scm.statuses = {Status(kServiceStartPending, 7, c.hint)};
    scm.statusReads = 0;
    clock.sleeps.clear();
    ui.dispatches = 0;
    EXPECT_EQ(Wait(), kServiceStartPending);
    EXPECT_EQ(clock.sleeps, std::vector<uint32_t>(c.pauses, c.pause));
    EXPECT_EQ(ui.dispatches, static_cast<int>(c.pauses));
    EXPECT_EQ(scm.statusReads, static_cast<int>(c.pauses) + 1);
  }
}

TEST_F(WaitTest, AdvancingCheckPointIsWaitedForBeyondTheHint) {
  // Hint 2000 ms, but the check-point moves on every read for 40 s.
  scm.statusSource = [](int read) {
    if (read >= 40) return Status(kServiceRunning);
    return Status(kServiceStartPending, static_cast<uint32_t>(read), 2000);
  };
  EXPECT_EQ(Wait(), kServiceRunning);
  EXPECT_EQ(clock.sleeps.size(), 40u);
  EXPECT_TRUE(ui.errors.empty());
}

TEST_F(WaitTest, ProgressRestartsThePeriodThatTheHintLimits) {
  // Progress at the reads after 1, 2 and 3 s; then silence. With a hint of
  // 2000 ms the wait gives up at 6 s, the first read more than 2 s after 3 s.
  scm.statuses = {Status(kServiceStartPending, 0, 2000), Status(kServiceStartPending, 1, 2000),
                  Status(kServiceStartPending, 2, 2000), Status(kServiceStartPending, 3, 2000)};
  EXPECT_EQ(Wait(), kServiceStartPending);
  EXPECT_EQ(clock.now, 6000u);
}

TEST_F(WaitTest, OnlyAGreaterCheckPointCountsAsProgress) {
  // A check-point that falls back (unsigned: 0xFFFFFFFF to 0) is no progress.
  scm.statuses = {Status(kServiceStartPending, 0xFFFFFFFF, 0), Status(kServiceStartPending, 0, 0),
                  Status(kServiceRunning)};
  EXPECT_EQ(Wait(), kServiceStartPending);
  EXPECT_EQ(clock.sleeps, std::vector<uint32_t>{1000});
}

TEST_F(WaitTest, HintOfTheLatestReadSetsPauseAndLimit) {
  scm.statuses = {Status(kServiceStartPending, 0, 0), Status(kServiceStartPending, 1, 30000)};
  EXPECT_EQ(Wait(), kServiceStartPending);
  std::vector<uint32_t> expected{1000};
  expected.insert(expected.end(), 11, 3000);  // given up 33 s after the progress at 1 s
  EXPECT_EQ(clock.sleeps, expected);
}

TEST_F(WaitTest, TickCountWrapDuringTheWaitChangesNothing) {
  for (const uint32_t start : {0xFFFFFFFFu - 2500, 0xFFFFFFFFu, 0xFFFFFFFFu - 5999}) {
    SCOPED_TRACE(start);
    clock.now = start;
    clock.sleeps.clear();
    scm.statuses = {Status(kServiceStartPending, 4, 5000)};
    EXPECT_EQ(Wait(), kServiceStartPending);
    EXPECT_EQ(clock.sleeps, std::vector<uint32_t>(6, 1000));
  }
  // Progress across the wrap is still progress, and the period restarts there.
  clock.now = 0xFFFFFFFFu - 1500;
  clock.sleeps.clear();
  scm.statuses = {Status(kServiceStartPending, 0, 1500), Status(kServiceStartPending, 1, 1500),
                  Status(kServiceStartPending, 2, 1500), Status(kServiceStartPending, 2, 1500)};
  EXPECT_EQ(Wait(), kServiceStartPending);
  EXPECT_EQ(clock.sleeps.size(), 4u);  // progress at +1 s and +2 s, given up at +4 s
}

TEST_F(WaitTest, FailedFirstReadGivesUnknownWithoutWaiting) {
  scm.statuses = {FailedRead(6)};
  EXPECT_EQ(Wait(), kServiceStateUnknown);
  EXPECT_EQ(log, test::CallLog{"QueryServiceStatus"});
}

TEST_F(WaitTest, FailedLaterReadEndsTheWaitWithTheLastGoodState) {
  scm.statuses = {Status(kServiceStopPending, 1, 60000), Status(kServiceStopPending, 2, 60000),
                  FailedRead(6), Status(kServiceStopped)};
  EXPECT_EQ(Wait(kServiceStopPending), kServiceStopPending);
  EXPECT_EQ(scm.statusReads, 3);
  EXPECT_EQ(clock.sleeps, (std::vector<uint32_t>{6000, 6000}));
}

TEST_F(WaitTest, OtherStateThanTheOneWaitedThroughEndsTheWait) {
  scm.statuses = {Status(kServiceStartPending, 1, 5000), Status(kServiceRunning)};
  EXPECT_EQ(Wait(kServiceStopPending), kServiceStartPending);
  EXPECT_TRUE(clock.sleeps.empty());
}

}  // namespace
}  // namespace tftpcfg
