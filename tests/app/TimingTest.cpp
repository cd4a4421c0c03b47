// The tick waits on simulated time: how long they wait, the quit request, the
// clock's wrap, and the pump.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>
#include <QTimer>
#include <climits>
#include <stdexcept>

#include "Timing.h"

namespace tarvik {
namespace {

// A clock that moves only when the wait rests, by `step` ms each time.
struct SimClock {
  std::uint32_t now = 0;
  std::uint32_t step = 1;
  int clockReads = 0;
  int pumps = 0;
  int rests = 0;
  int quitAfterPumps = -1;

  TTiming Timing() {
    return TTiming([this] { return ++clockReads, now; },
                   [this]() -> unsigned {
                     ++pumps;
                     return pumps == quitAfterPumps ? kQuitMessage : kNoMessage;
                   },
                   [this](std::uint32_t, bool) {
                     if (++rests > 10000000) throw std::runtime_error("the wait never ends");
                     now += step;
                   });
  }
};

TEST(Timing, SecondsToTicks) {
  EXPECT_EQ(SecondsToTicks(0), 0);
  EXPECT_EQ(SecondsToTicks(1), 18);
  EXPECT_EQ(SecondsToTicks(2), 36);
  EXPECT_EQ(SecondsToTicks(10), 182);
}

struct WaitCase {
  std::uint32_t start;
  int ticks;
  std::uint32_t minMs;  // the wait lasts more than this
  std::uint32_t maxMs;  // and at most this
};

TEST(Timing, DelayTicksWaitsItsTicks) {
  // clang-format off
  const std::vector<WaitCase> cases = {
      {0, 36, 1980, 2035},           // starting on a tick boundary
      {54, 36, 1980, 1981},          // starting at the end of a tick
      {1000, 18, 990, 1045},         // one second
      {0xFFFFFFF0u, 2, 110, 165},    // across the 32-bit clock's wrap
      {0xFFFFFFFFu - 54, 1, 55, 110},
  };
  // clang-format on
  for (const WaitCase& c : cases) {
    SimClock clock;
    clock.now = c.start;
    clock.Timing().DelayTicks(c.ticks, true);
    const std::uint32_t waited = clock.now - c.start;
    EXPECT_GT(waited, c.minMs) << c.start << " " << c.ticks;
    EXPECT_LE(waited, c.maxMs) << c.start << " " << c.ticks;
  }
}

TEST(Timing, DelayOfTwoSecondsIs36Ticks) {
  SimClock clock;
  clock.now = 55 * 100;  // on a tick boundary
  clock.Timing().Delay(2, true);
  EXPECT_EQ((clock.now - 5500) / 55, 37u);  // passes the 36th tick after the start
}

TEST(Timing, NoWaitBelowOneTick) {
  for (const int ticks : {0, -1, INT_MIN}) {
    SimClock clock;
    clock.Timing().DelayTicks(ticks, true);
    EXPECT_EQ(clock.clockReads, 0);
    EXPECT_EQ(clock.pumps, 0);
  }
}

TEST(Timing, QuitRequestEndsThePumpingWait) {
  SimClock clock;
  clock.quitAfterPumps = 3;
  clock.Timing().DelayTicks(1000, true);
  EXPECT_EQ(clock.pumps, 3);
  EXPECT_LT(clock.now, 55u * 1000);
}

TEST(Timing, WaitWithoutPumpDispatchesNothing) {
  SimClock clock;
  clock.quitAfterPumps = 1;
  clock.Timing().DelayTicks(5, false);
  EXPECT_EQ(clock.pumps, 0);
  EXPECT_GT(clock.now, 5u * 55 - 1);
}

TEST(Timing, LongestWaitIsCapped) {
  SimClock clock;
  clock.step = 1000000;
  clock.Timing().DelayTicks(INT_MAX, false);
  const std::uint64_t capMs = static_cast<std::uint64_t>(kMaxDelayTicks) * kTickMs;
  EXPECT_GE(clock.now, capMs);
  EXPECT_LT(clock.now, capMs + 55 + clock.step);
}

TEST(Timing, ProcessOneMessageDispatchesPendingEvents) {
  // Flush whatever the test program left pending.
  for (int i = 0; i < 100 && ProcessOneMessage() != kNoMessage; ++i) {
  }
  bool fired = false;
  QTimer::singleShot(0, [&] { fired = true; });
  unsigned result = kNoMessage;
  for (int i = 0; i < 100 && !fired; ++i) result = ProcessOneMessage();
  EXPECT_TRUE(fired);
  EXPECT_EQ(result, kOtherMessage);
}

TEST(Timing, RealDelayKeepsDispatching) {
  // One tick on the real clock: a zero timer posted before still fires.
  bool fired = false;
  QTimer::singleShot(0, [&] { fired = true; });
  TTiming().DelayTicks(1, true);
  EXPECT_TRUE(fired);
}

}  // namespace
}  // namespace tarvik
