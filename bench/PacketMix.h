// A generated mix of monitor lines covering every data type the parser
// decodes, for benchmarks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tarvik::bench {

struct MixOptions {
  std::size_t Lines = 100000;
  std::uint32_t Seed = 4907;
  int WeatherPercent = 10;  // the rest of the shares scale around it
  // 0: every line from a new random callsign. Otherwise the lines come from
  // this many distinct stations: each one is heard once in the first
  // `Stations` lines, then again and again, a few of them far more often than
  // the rest, as on a real network; objects come from a pool a fiftieth that size.
  std::size_t Stations = 0;
  // Where the stations are, in degrees: by default the demo feed's region.
  // Mic-E lines are written for north and west below 100 degrees of longitude.
  double South = 48.3;
  double North = 49.7;
  double West = -73.1;
  double East = -70.9;
};

// Stations in the options' region; Mic-E destinations are valid, positions in range.
std::vector<std::string> GenerateMix(const MixOptions& options);

// The non-comment, non-empty lines of a feed file; empty when it cannot be read.
std::vector<std::string> ReadFeed(const std::string& path);

}  // namespace tarvik::bench
