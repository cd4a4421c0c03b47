// The stand-in host's map window: one frame with 100,000 stations heard
// (half spread over the world, half crowded around 49N 72W as in the packet
// mix), 1,000 circles drawn, in a world view and a 2-degree view, with the
// basemap on; and the basemap alone, loaded and drawn at three scales.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "Basemap.h"
#include "BasemapPainter.h"
#include "Heap.h"
#include "MapWindow.h"
#include "StandInHost.h"
#include "StandInMap.h"

namespace {

using standin::TMapRect;

constexpr int kStations = 100000;
constexpr int kCircles = 1000;
const TMapRect kWorld{-10800, 4800, 21600, -9600};
const TMapRect kTwoDegrees{-73.0 * 60, 49.75 * 60, 2.0 * 60, -1.5 * 60};
const std::string kBasemapPath = TARVIK_SOURCE_DIR "/data/basemap.bin";

std::vector<standin::THeardStation> MakeStations() {
  std::mt19937 random(4907);
  std::uniform_real_distribution<double> anyLongitude(-180, 180), anyLatitude(-60, 70);
  std::uniform_real_distribution<double> nearLongitude(-73, -71), nearLatitude(48, 50);
  const std::string symbols = "/>/-/#/&/_/k/v/[/b/</O/^/s/y/K/h/r\\#\\&\\>\\!1#S&/x";
  std::vector<standin::THeardStation> stations(kStations);
  for (int i = 0; i < kStations; ++i) {
    standin::THeardStation& s = stations[static_cast<std::size_t>(i)];
    s.Callsign = "TV" + std::to_string(i) + "-" + std::to_string(i % 16);
    const bool crowd = i % 2 == 0;
    s.Latitude = crowd ? nearLatitude(random) : anyLatitude(random);
    s.Longitude = crowd ? nearLongitude(random) : anyLongitude(random);
    s.HasPosition = true;
    const std::size_t symbol = 2 * (static_cast<std::size_t>(i) % (symbols.size() / 2));
    s.SymbolTable = symbols[symbol];
    s.SymbolCode = symbols[symbol + 1];
    s.Header = s.Callsign + ">APRS,WIDE1-1";
    s.InfoField = "!4903.50N/07201.75W>comment";
  }
  return stations;
}

struct TMapFixture {
  std::shared_ptr<standin::TStandInMap> Map;
  std::unique_ptr<standin::TMapWindow> Window;
  std::vector<standin::THeardStation> Stations = MakeStations();

  TMapFixture(const TMapRect& area, int circles) : Map(std::make_shared<standin::TStandInMap>(area, std::string())) {
    Window = std::make_unique<standin::TMapWindow>(Map);
    auto basemap = std::make_shared<standin::TBasemap>();
    std::string error;
    if (!standin::LoadBasemap(kBasemapPath, *basemap, error)) throw std::runtime_error(error);
    Window->SetBasemap(basemap, {});
    Window->SetHeardStations(&Stations);
    // Circles in view, as a draw pass leaves them.
    std::mt19937 random(1);
    std::uniform_real_distribution<double> x(area.Left, area.Left + area.Width), y(area.Top + area.Height, area.Top);
    for (int i = 0; i < circles; ++i) {
      std::int16_t pen = 2, fill = 1;
      std::int32_t fillColor = 0xFFFF00, color = 0x0000FF;
      float cx = static_cast<float>(x(random)), cy = static_cast<float>(y(random)), r = 5;
      float start = 6.2831855F, aspect = 1;
      double end = 6.283185307179586;
      Map->SetPenWidth(pen);
      Map->SetFillMode(fill);
      Map->SetFillColor(fillColor);
      Map->DrawCircle(cx, cy, r, color, start, end, aspect);
    }
  }
};

// A frame after a line: one station moved, everything painted over the kept basemap.
void BM_MapFrame(benchmark::State& state, TMapRect area, int circles) {
  TMapFixture f(area, circles);
  QImage image(f.Window->size(), QImage::Format_ARGB32_Premultiplied);
  f.Window->render(&image);  // the basemap drawn once for the view
  std::size_t line = 0;
  for (auto _ : state) {
    standin::THeardStation& s = f.Stations[line++ % f.Stations.size()];
    s.Longitude += 0.001;
    f.Window->StationHeard(line % f.Stations.size());
    f.Window->render(&image);
  }
  state.counters["stations"] = static_cast<double>(f.Window->Stations().Placed());
  state.counters["circles"] = static_cast<double>(f.Map->Circles().size());
}
BENCHMARK_CAPTURE(BM_MapFrame, world, kWorld, kCircles)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MapFrame, two_degrees, kTwoDegrees, kCircles)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MapFrame, world_no_circles, kWorld, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MapFrame, two_degrees_no_circles, kTwoDegrees, 0)->Unit(benchmark::kMillisecond);

// A frame after a pan: the basemap drawn again as well (a pan drops the circles).
void BM_MapFrameAfterPan(benchmark::State& state, TMapRect area) {
  TMapFixture f(area, kCircles);
  QImage image(f.Window->size(), QImage::Format_ARGB32_Premultiplied);
  bool east = false;
  for (auto _ : state) {
    QKeyEvent key(QEvent::KeyPress, (east = !east) ? Qt::Key_Right : Qt::Key_Left, Qt::NoModifier);
    QApplication::sendEvent(f.Window.get(), &key);
    f.Window->render(&image);
  }
}
BENCHMARK_CAPTURE(BM_MapFrameAfterPan, world, kWorld)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MapFrameAfterPan, two_degrees, kTwoDegrees)->Unit(benchmark::kMillisecond);

void BM_BasemapLoad(benchmark::State& state) {
  for (auto _ : state) {
    standin::TBasemap basemap;
    std::string error;
    if (!standin::LoadBasemap(kBasemapPath, basemap, error)) state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(basemap);
  }
}
BENCHMARK(BM_BasemapLoad)->Unit(benchmark::kMillisecond);

// The basemap alone at a scale (world view, a country, the 2-degree demo view).
void BM_BasemapPaint(benchmark::State& state, TMapRect area) {
  standin::TBasemap basemap;
  std::string error;
  if (!standin::LoadBasemap(kBasemapPath, basemap, error)) state.SkipWithError(error.c_str());
  const standin::TMercatorView view = standin::TMercatorView::Fitting(area, 900, {120, 1400});
  QImage image(view.PixelWidth(), view.PixelHeight(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QPainter painter(&image);
    standin::PaintBasemap(painter, basemap, view);
  }
}
BENCHMARK_CAPTURE(BM_BasemapPaint, world, kWorld)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BasemapPaint, north_east_america, TMapRect{-5400, 3300, 1800, -900})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BasemapPaint, two_degrees_coast, TMapRect{-70.5 * 60, 49.5 * 60, 2.0 * 60, -1.5 * 60})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  heap::UseLargePages();
  benchmark::AddCustomContext("allocator", heap::AllocatorName());
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
