// Writes the traffic of scripts/soak: the benchmarks' packet mix from a fixed
// population of stations spread over a large region, one TNC2 line per line,
// for the stand-in host to replay in a loop.
//   tarvik_soak_feed FILE [LINES [STATIONS]]
#include <charconv>
#include <cstdio>
#include <fstream>
#include <string_view>

#include "PacketMix.h"

namespace {

constexpr std::size_t kDefaultLines = 1000000;
constexpr std::size_t kDefaultStations = 100000;
// Eastern North America, about the spread of a big APRS-IS region: a map of
// the demo region (about 2 by 1.5 degrees) shows a few hundred of the stations.
constexpr double kSouth = 30.0;
constexpr double kNorth = 55.0;
constexpr double kWest = -99.0;
constexpr double kEast = -60.0;

bool ParseCount(std::string_view text, std::size_t& count) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
  return error == std::errc() && end == text.data() + text.size() && count > 0;
}

}  // namespace

int main(int argc, char** argv) {
  tarvik::bench::MixOptions options;
  options.Lines = kDefaultLines;
  options.Stations = kDefaultStations;
  options.South = kSouth;
  options.North = kNorth;
  options.West = kWest;
  options.East = kEast;
  if (argc < 2 || argc > 4 || (argc > 2 && !ParseCount(argv[2], options.Lines)) ||
      (argc > 3 && !ParseCount(argv[3], options.Stations))) {
    std::fprintf(stderr, "usage: tarvik_soak_feed FILE [LINES [STATIONS]]\n");
    return 2;
  }
  std::ofstream out(argv[1], std::ios::binary);
  for (const std::string& line : tarvik::bench::GenerateMix(options)) out << line << '\n';
  out.close();
  if (!out) {
    std::fprintf(stderr, "tarvik_soak_feed: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
