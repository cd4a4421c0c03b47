// The station list refresh: 50,000 cache entries become the rows of the
// list view in one model reset, sorted by callsign, with the view attached.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "APRSCache.h"
#include "Heap.h"
#include "StationList.h"
#include "StationListModel.h"
#include "TarvikMain.h"

namespace {

constexpr int kStations = 50000;

// Callsigns in an order far from sorted, as stations are heard.
std::string Callsign(int i) {
  const unsigned h = static_cast<unsigned>(i) * 2654435761U;
  std::string call;
  call += static_cast<char>('A' + h % 26);
  call += static_cast<char>('A' + (h >> 5) % 26);
  call += static_cast<char>('0' + (h >> 10) % 10);
  call += std::to_string(i);
  call += "-" + std::to_string((h >> 14) % 16);
  return call;
}

void FillCache(aprs::TPacketCache& cache, int count) {
  for (int i = 0; i < count; ++i) {
    auto p = std::make_unique<aprs::TAprsPacket>();
    p->Source.Callsign = Callsign(i);
    p->Source.Call = p->Source.Callsign;
    p->DataType = i % 3 == 0 ? aprs::TAprsDataType::dtMicE : aprs::TAprsDataType::dtPositionMsg;
    p->SymbolTable = '/';
    p->SymbolCode = i % 2 == 0 ? '>' : '#';
    p->Capabilities.PhgString = "PHG5132";
    p->Capabilities.Power = 25;
    p->Capabilities.Antenna.Haat = 20;
    p->Capabilities.Antenna.Gain = 3;
    p->Capabilities.Antenna.HeadingName = "NE";
    p->Capabilities.Range = 7.07F + static_cast<float>(i % 100);
    p->Capabilities.HasCapabilities = true;
    p->Position.Valid = true;
    p->RawPacket = p->Source.Callsign + ">APRS,WIDE1-1,WIDE2-2:=4903.50N/07201.75W#PHG5132 a typical comment";
    cache.Update(std::move(p));
  }
}

void BM_RefreshObjectView(benchmark::State& state) {
  aprs::TPacketCache cache;
  FillCache(cache, static_cast<int>(state.range(0)));
  tarvik::TStationListModel model;
  QTableView view;
  view.setModel(&model);
  view.setSelectionBehavior(QAbstractItemView::SelectRows);
  view.setShowGrid(true);
  for (int c = 0; c < tarvik::kStationColumnCount; ++c)
    if (tarvik::StationColumns[static_cast<std::size_t>(c)].Width > 0)
      view.setColumnWidth(c, tarvik::StationColumns[static_cast<std::size_t>(c)].Width);
  view.horizontalHeader()->setStretchLastSection(true);
  view.resize(633, 300);
  view.show();
  QApplication::processEvents();

  for (auto _ : state) {
    view.setUpdatesEnabled(false);
    model.SetRows(tarvik::StationRows(cache));
    view.setUpdatesEnabled(true);
    QApplication::processEvents();  // the repaint that follows the reset
    benchmark::DoNotOptimize(model.rowCount());
  }
  state.counters["rows"] = static_cast<double>(model.rowCount());
}
BENCHMARK(BM_RefreshObjectView)->Arg(kStations)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The main window's own handler, forced, with the "Station List" page shown.
void BM_MainFormRefreshObjectView(benchmark::State& state) {
  host::THostRegistry registry;  // no host: the first show logs that and goes on
  tarvik::TMainFormServices services;
  std::uint32_t now = 0;
  services.Timing = tarvik::TTiming([&now] { return now; }, [] { return tarvik::kNoMessage; },
                                    [&now](std::uint32_t, bool) { now += 55; });
  services.MakeTray = [] { return std::make_unique<tarvik::TNoTrayIcon>(); };
  services.MakeCacheTimer = [] { return std::make_unique<aprs::TManualCacheTimer>(); };
  services.Terminate = [] {};
  tarvik::TMainForm form(registry, std::move(services));
  form.findChild<QTimer*>(QStringLiteral("tmrClock"))->stop();
  form.show();
  QApplication::processEvents();
  auto* pages = form.findChild<QTabWidget*>(QStringLiteral("PageControl"));
  pages->setCurrentWidget(pages->findChild<QWidget*>(QStringLiteral("tsStationList")));
  FillCache(*form.Cache, static_cast<int>(state.range(0)));
  QApplication::processEvents();

  for (auto _ : state) {
    form.RefreshObjectView(true);
    QApplication::processEvents();
  }
  const auto* list = form.findChild<QTableView*>(QStringLiteral("lvStations"));
  state.counters["rows"] = static_cast<double>(list->model()->rowCount());
}
BENCHMARK(BM_MainFormRefreshObjectView)->Arg(kStations)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The two halves of a refresh: the rows taken from the cache, and the sort and reset.
void BM_StationRows(benchmark::State& state) {
  aprs::TPacketCache cache;
  FillCache(cache, static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(tarvik::StationRows(cache));
}
BENCHMARK(BM_StationRows)->Arg(kStations)->Unit(benchmark::kMillisecond);

void BM_SortAndReset(benchmark::State& state) {
  aprs::TPacketCache cache;
  FillCache(cache, static_cast<int>(state.range(0)));
  const std::vector<tarvik::TStationRow> rows = tarvik::StationRows(cache);
  tarvik::TStationListModel model;
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<tarvik::TStationRow> copy = rows;
    state.ResumeTiming();
    model.SetRows(std::move(copy));
  }
}
BENCHMARK(BM_SortAndReset)->Arg(kStations)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  heap::UseLargePages();
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
