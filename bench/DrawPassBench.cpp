// The draw pass over 10,000 stations in view against a host map that does
// nothing: what the pass itself costs (bounds, class choice, geometry).
#include <benchmark/benchmark.h>

#include <vector>

#include "DrawPass.h"

namespace {

class TNullMap : public host::_clsOxbMap {
 public:
  float GetMapLeft() override { return -100.0F * 60; }
  float GetMapTop() override { return 50.0F * 60; }
  float GetMapWidth() override { return 20.0F * 60; }
  float GetMapHeight() override { return -10.0F * 60; }
  void SetPenWidth(std::int16_t&) override {}
  void SetFillMode(std::int16_t&) override {}
  void SetFillColor(std::int32_t&) override {}
  void DrawCircle(float& x, float&, float&, std::int32_t&, float&, double&, float&) override {
    benchmark::DoNotOptimize(x);
  }
};

class TNullMapSource : public tarvik::TMapSource {
 public:
  std::shared_ptr<host::_clsOxbMap> GetMap() override { return m_map; }

 private:
  std::shared_ptr<host::_clsOxbMap> m_map = std::make_shared<TNullMap>();
};

// Every class, headings all round, ranges large enough to pass the size check.
std::vector<aprs::TAprsPacket> StationsInView(int count) {
  std::vector<aprs::TAprsPacket> stations(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    auto& p = stations[static_cast<std::size_t>(i)];
    p.Position.Latitude.Value = 40.5 + (i % 97) * 0.09;
    p.Position.Longitude.Value = -99.5 + (i % 199) * 0.09;
    p.Capabilities.HasCapabilities = true;
    p.Capabilities.Range = 8.0F + static_cast<float>(i % 23);
    p.Capabilities.Antenna.Heading = (i % 9) * 45;
    p.Capabilities.PhgString = i % 6 == 1 ? "" : "PHG5132";
    p.Capabilities.PhgNonStandard = i % 6 == 0;
    p.Position.Mobile = i % 6 == 2;
    p.SymbolCode = i % 6 == 3 ? '#' : i % 6 == 4 ? '&' : '>';
  }
  return stations;
}

void BM_DrawPass(benchmark::State& state) {
  const auto stations = StationsInView(static_cast<int>(state.range(0)));
  TNullMapSource host;
  const tarvik::TCircleChoice choice;
  for (auto _ : state) {
    tarvik::PlotCircles(
        host, static_cast<int>(stations.size()), [&](int i) { return &stations[static_cast<std::size_t>(i)]; }, choice,
        false);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DrawPass)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
