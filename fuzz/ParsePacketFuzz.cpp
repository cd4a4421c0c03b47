// libFuzzer target: arbitrary bytes as one monitor line, through the parser,
// every information-field decoder, the text report and the decoder tool's JSON.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "APRSParser.h"
#include "JsonOut.h"

namespace {

// Clock readings around the calendar's awkward days, so that time stamps
// ("z", "/", "h") and weather dates meet month ends, a leap day and a new year.
constexpr std::array<aprs::TDateTime, 6> kClocks = {
    46363.84375,   // 2026-12-07 20:15
    46053.5,       // 2026-01-31 12:00
    46081.99999,   // 2026-02-28 23:59:59
    45351.25,      // 2024-02-29 06:00
    46387.999988,  // 2026-12-31 23:59:59
    46113.0,       // 2026-04-01 00:00, the day after a 31st
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const aprs::TDateTime now = kClocks[size % kClocks.size()];
  aprs::SetUtcClock([now] { return now; });

  const auto packet = aprs::ParsePacket(line);
  // Throws (and so aborts the run) if any text reached nlohmann as invalid UTF-8.
  const std::string json = tarvik::decode::JsonLine(packet.get());
  if (json.empty()) __builtin_trap();
  if (packet) {
    const std::string all = packet->AsText(aprs::tsAll);
    const std::string errorOnly = packet->AsText(0);
    // Keep the reports alive so that nothing is optimised away.
    if (all.size() < errorOnly.size()) __builtin_trap();
  }
  return 0;
}
