// The application-wide exception handler, the signal bridge and the cache's
// QTimer.
#include <gtest/gtest.h>

#include <QTest>
#include <csignal>
#include <stdexcept>

#include "Application.h"
#include "CacheTimer.h"
#include "UnixSignals.h"

namespace tarvik {
namespace {

TEST(DeliverGuarded, EscapedExceptionsAreLoggedNotRaised) {
  std::vector<std::string> logged;
  const TApplication::TLogSink sink = [&](const std::string& message) { logged.push_back(message); };

  EXPECT_TRUE(TApplication::DeliverGuarded([] { return true; }, sink));
  EXPECT_FALSE(TApplication::DeliverGuarded([]() -> bool { throw std::runtime_error("Unable to write"); }, sink));
  EXPECT_FALSE(TApplication::DeliverGuarded([]() -> bool { throw 42; }, sink));
  EXPECT_EQ(logged, (std::vector<std::string>{"Unable to write", "Unknown error"}));
}

TEST(DeliverGuarded, FailingLogDoesNotEscapeEither) {
  const TApplication::TLogSink sink = [](const std::string&) { throw std::runtime_error("log gone"); };
  EXPECT_NO_THROW(TApplication::DeliverGuarded([]() -> bool { throw std::runtime_error("first"); }, sink));
}

TEST(UnixSignals, TermAndIntArriveOnTheGuiThread) {
  std::vector<int> received;
  {
    TUnixSignals bridge([&](int signal) { received.push_back(signal); });
    ASSERT_EQ(std::raise(SIGTERM), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 1; }, 5000));
    ASSERT_EQ(std::raise(SIGINT), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 2; }, 5000));
  }
  EXPECT_EQ(received, (std::vector<int>{SIGTERM, SIGINT}));

  // The previous handlers are back once the bridge is gone.
  struct sigaction current {};
  ASSERT_EQ(sigaction(SIGTERM, nullptr, &current), 0);
  EXPECT_EQ(current.sa_handler, SIG_DFL);
}

TEST(QtCacheTimer, CacheDrivesTheQTimer) {
  auto timer = std::make_unique<TQtCacheTimer>();
  TQtCacheTimer* raw = timer.get();
  aprs::TPacketCache cache(std::move(timer));
  cache.SetPurgeInterval(60);
  EXPECT_EQ(raw->Interval(), 60000);
  EXPECT_EQ(raw->Active(), cache.Enabled());
  cache.SetEnabled(false);
  EXPECT_FALSE(raw->Active());
}

TEST(QtCacheTimer, TimeoutRunsThePurgeTick) {
  TQtCacheTimer timer;
  int ticks = 0;
  timer.SetOnTimer([&] { ++ticks; });
  timer.SetInterval(0);
  timer.Start();
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticks > 0; }, 5000));
  timer.Stop();
  EXPECT_FALSE(timer.Active());
}

}  // namespace
}  // namespace tarvik
