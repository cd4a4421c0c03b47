// The whole program replaying a generated mix as fast as it can: the stand-in
// host's file feed (FeedRate=0), its host and map windows open on the world,
// and Tarvik's main window taking every line, offscreen. Reports lines per
// second of process CPU time; the time per line must not grow with the count.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <ctime>
#include <memory>

#include "APRSCache.h"
#include "Oxbel32_TLB.h"
#include "PacketMix.h"
#include "StandInHost.h"
#include "TarvikMain.h"

namespace {

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Resident memory of the process in megabytes, from /proc (0 where there is none).
double ResidentMegabytes() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
  return 0;
}

void BM_Replay(benchmark::State& state) {
  const auto lines = static_cast<std::size_t>(state.range(0));
  QTemporaryDir dir;
  {
    QFile feed(dir.filePath("feed.txt"));
    if (!feed.open(QIODevice::WriteOnly)) state.SkipWithError("cannot write the feed");
    tarvik::bench::MixOptions options;
    options.Lines = lines;
    for (const std::string& line : tarvik::bench::GenerateMix(options)) {
      feed.write(line.data(), static_cast<qint64>(line.size()));
      feed.write("\n");
    }
  }
  for (auto _ : state) {
    standin::TStandInSettings settings;
    settings.Feed = "file:" + dir.filePath("feed.txt").toStdString();
    settings.FeedRate = 0;
    settings.Map = {-10800, 4800, 21600, -9600};
    auto host = std::make_shared<standin::TStandInHost>(settings, dir.path());
    host->ShowWindow();
    host::THostRegistry registry;
    registry.SetRunning(host);
    std::uint32_t now = 1000;
    tarvik::TMainFormServices services;
    services.Timing = tarvik::TTiming([&] { return now; },
                                      [] {
                                        QCoreApplication::processEvents();
                                        return tarvik::kNoMessage;
                                      },
                                      [&](std::uint32_t, bool) { now += 5; });
    services.MakeTray = [] { return std::make_unique<tarvik::TNoTrayIcon>(); };
    services.MakeCacheTimer = [] { return std::make_unique<aprs::TManualCacheTimer>(); };
    services.Terminate = [] {};
    tarvik::TMainForm form(registry, std::move(services));
    form.show();
    while (form.clsOxb == nullptr) QCoreApplication::processEvents();
    const double cpu = CpuSeconds();
    host->StartFeed();
    while (host->Feed().State() == QStringLiteral("running")) QCoreApplication::processEvents();
    QCoreApplication::processEvents();  // the last frame
    const double spent = CpuSeconds() - cpu;
    state.SetIterationTime(spent);
    state.counters["lines_per_second"] = static_cast<double>(lines) / spent;
    state.counters["stations"] = static_cast<double>(form.Cache->Count());
    state.counters["resident_mb"] = ResidentMegabytes();
  }
}
BENCHMARK(BM_Replay)->Arg(5000)->Arg(20000)->Arg(200000)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
