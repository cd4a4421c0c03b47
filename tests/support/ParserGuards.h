// Scoped changes to the parser's module state for tests: each guard sets a
// value for its own life and puts back what was there before, so that no test
// depends on the order in which the tests run.
#pragma once

#include <utility>

#include "APRSParser.h"
#include "Units.h"

namespace aprs::testing {

// The tests' one pinned time: 2024-03-10 12:34:56.250 UTC, TDateTime day 45361 of a leap year.
inline constexpr TDateTime kPinnedDay = 45361.0;
inline constexpr double kPinnedSeconds = 12 * 3600 + 34 * 60 + 56.25;
inline constexpr TDateTime kPinnedNow = kPinnedDay + kPinnedSeconds / units::kSecondsPerDay;

// Holds the parser's clock at `now`, which the test may move with Set.
class PinnedClock {
 public:
  explicit PinnedClock(TDateTime now = kPinnedNow) : m_now(now), m_previous(SetUtcClock([this] { return m_now; })) {}
  ~PinnedClock() { SetUtcClock(std::move(m_previous)); }
  PinnedClock(const PinnedClock&) = delete;
  PinnedClock& operator=(const PinnedClock&) = delete;

  void Set(TDateTime now) { m_now = now; }

 private:
  TDateTime m_now;
  TUtcClock m_previous;
};

// Holds RelaxedPhgChecking at `value`.
class RelaxedPhgSetting {
 public:
  explicit RelaxedPhgSetting(bool value) : m_previous(std::exchange(RelaxedPhgChecking, value)) {}
  ~RelaxedPhgSetting() { RelaxedPhgChecking = m_previous; }
  RelaxedPhgSetting(const RelaxedPhgSetting&) = delete;
  RelaxedPhgSetting& operator=(const RelaxedPhgSetting&) = delete;

 private:
  bool m_previous;
};

}  // namespace aprs::testing
