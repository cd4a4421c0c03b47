// Helpers for the decoder tables: a pinned clock and exact-size text buffers.
#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "APRSParser.h"

namespace aprs::testing {

// 2024-03-10 12:34:56.250 UTC: TDateTime day 45361 of a leap year.
inline constexpr double kSecondsPerDay = 86400.0;
inline constexpr TDateTime kPinnedDay = 45361.0;
inline constexpr double kPinnedSeconds = 12 * 3600 + 34 * 60 + 56.25;
inline constexpr TDateTime kPinnedNow = kPinnedDay + kPinnedSeconds / kSecondsPerDay;

inline TDateTime At(TDateTime day, int hour, int minute, int second) {
  return day + (hour * 3600 + minute * 60 + second) / kSecondsPerDay;
}

// Holds the parser's clock at `now` for the life of the object.
class PinnedClock {
 public:
  explicit PinnedClock(TDateTime now = kPinnedNow) : m_previous(SetUtcClock([now] { return now; })) {}
  ~PinnedClock() { SetUtcClock(std::move(m_previous)); }
  PinnedClock(const PinnedClock&) = delete;
  PinnedClock& operator=(const PinnedClock&) = delete;

 private:
  TUtcClock m_previous;
};

// A heap copy of the text with no terminator after it, so that AddressSanitizer
// reports a read one past the end (a std::string always has a NUL there).
class ExactText {
 public:
  explicit ExactText(std::string_view s) : m_size(s.size()), m_data(new char[s.size()]) {
    if (!s.empty()) std::memcpy(m_data.get(), s.data(), s.size());
  }
  std::string_view View() const { return {m_data.get(), m_size}; }

 private:
  std::size_t m_size;
  std::unique_ptr<char[]> m_data;
};

}  // namespace aprs::testing
