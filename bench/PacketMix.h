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
};

// Stations around 49N 72W; Mic-E destinations are valid, positions in range.
std::vector<std::string> GenerateMix(const MixOptions& options);

// The non-comment, non-empty lines of a feed file; empty when it cannot be read.
std::vector<std::string> ReadFeed(const std::string& path);

}  // namespace tarvik::bench
