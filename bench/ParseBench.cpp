// Lines per second of ParsePacket (items_per_second) over the demo feed and
// over a generated mix of every data type.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "APRSParser.h"
#include "PacketMix.h"

namespace {

using tarvik::bench::GenerateMix;
using tarvik::bench::MixOptions;

void ParseAll(benchmark::State& state, const std::vector<std::string>& lines) {
  if (lines.empty()) {
    state.SkipWithError("no input lines");
    return;
  }
  std::size_t packets = 0;
  for (auto _ : state) {
    for (const std::string& line : lines) {
      auto packet = aprs::ParsePacket(line);
      packets += packet ? 1 : 0;
      benchmark::DoNotOptimize(packet);
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(lines.size()));
  state.counters["packets_per_pass"] =
      static_cast<double>(packets) / static_cast<double>(state.iterations() > 0 ? state.iterations() : 1);
}

void BM_ParseDemoFeed(benchmark::State& state) {
  static const std::vector<std::string> lines = tarvik::bench::ReadFeed(TARVIK_SOURCE_DIR "/data/demo-feed.txt");
  ParseAll(state, lines);
}
BENCHMARK(BM_ParseDemoFeed);

// 100,000 lines, 10 percent weather.
void BM_ParseMix(benchmark::State& state) {
  static const std::vector<std::string> lines = GenerateMix(MixOptions{});
  ParseAll(state, lines);
}
BENCHMARK(BM_ParseMix)->Unit(benchmark::kMillisecond);

// The same mix without weather, to see what the weather patterns cost.
void BM_ParseMixNoWeather(benchmark::State& state) {
  MixOptions options;
  options.WeatherPercent = 0;
  static const std::vector<std::string> lines = GenerateMix(options);
  ParseAll(state, lines);
}
BENCHMARK(BM_ParseMixNoWeather)->Unit(benchmark::kMillisecond);

}  // namespace
