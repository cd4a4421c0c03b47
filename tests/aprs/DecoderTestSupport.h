// Helpers for the decoder tables: the pinned clock and exact-size text buffers.
#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "APRSParser.h"
#include "ParserGuards.h"
#include "Units.h"

namespace aprs::testing {

inline TDateTime At(TDateTime day, int hour, int minute, int second) {
  return day + (hour * 3600 + minute * 60 + second) / static_cast<double>(units::kSecondsPerDay);
}

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
