// Station cache: updates per second and resident memory per station.
//
// 1,000,000 updates spread at random over 100,000 stations, each packet a
// parsed position report with PHG, as the intake hands them over.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "APRSCache.h"
#include "APRSParser.h"

namespace {

constexpr int kStations = 100000;
constexpr int kUpdates = 1000000;
constexpr int kBatch = 1000;  // packets built (untimed) before each timed run: fresh from the parser, as in the program

std::string CallsignOf(int station) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "KB%05d-%d", station % 100000, station % 10);
  return buf;
}

// One parsed packet per station, copied for every update.
const std::vector<aprs::TAprsPacket>& Templates() {
  static const std::vector<aprs::TAprsPacket> templates = [] {
    std::vector<aprs::TAprsPacket> out;
    out.reserve(kStations);
    for (int i = 0; i < kStations; ++i) {
      const std::string line = CallsignOf(i) +
                               ">APRS,DIGI1*,WIDE2-1:!4903.50N/07201.75W#PHG5360 W2, digipeater and igate " +
                               std::to_string(i);
      auto packet = aprs::ParsePacket(line);
      if (!packet) std::abort();
      out.push_back(*packet);
    }
    return out;
  }();
  return templates;
}

long ResidentBytes() {
  long pages = 0;
  long resident = 0;
  if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * sysconf(_SC_PAGESIZE);
}

// Runs first, in a fresh heap, so freed memory of other runs does not hide the growth.
void BM_CacheResidentPerStation(benchmark::State& state) {
  const auto& templates = Templates();
  for (auto _ : state) {
    const long rssBefore = ResidentBytes();
    {
      aprs::TPacketCache cache;
      for (const auto& t : templates) cache.Update(std::make_unique<aprs::TAprsPacket>(t));
      const long rssAfter = ResidentBytes();
      state.counters["rss_bytes_per_station"] = static_cast<double>(rssAfter - rssBefore) / kStations;
      state.counters["stations"] = cache.Count();
      state.PauseTiming();
    }
    state.ResumeTiming();
  }
  state.counters["sizeof_packet"] = sizeof(aprs::TAprsPacket);
}
BENCHMARK(BM_CacheResidentPerStation)->Iterations(1)->Unit(benchmark::kMillisecond);

double ThreadCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Only the Update calls are timed, on this thread's CPU clock so that other
// processes on a busy machine do not count; building the packets is not timed.
void BM_CacheUpdate(benchmark::State& state) {
  const auto& templates = Templates();
  std::mt19937 rng(7);
  const auto stations = static_cast<int>(state.range(0));
  std::uniform_int_distribution<int> station(0, stations - 1);
  std::vector<std::unique_ptr<aprs::TAprsPacket>> batch;
  batch.reserve(kBatch);
  for (auto _ : state) {
    double seconds = 0;
    aprs::TPacketCache cache;
    for (int done = 0; done < kUpdates; done += kBatch) {
      batch.clear();
      for (int i = 0; i < kBatch; ++i)
        batch.push_back(std::make_unique<aprs::TAprsPacket>(templates[static_cast<std::size_t>(station(rng))]));
      const double start = ThreadCpuSeconds();
      for (auto& packet : batch) cache.Update(std::move(packet));
      seconds += ThreadCpuSeconds() - start;
    }
    state.SetIterationTime(seconds);
    state.counters["stations"] = cache.Count();
  }
  state.SetItemsProcessed(state.iterations() * kUpdates);
}
// 100,000 stations is the figure that matters; 10,000 shows the same code when the
// entries fit in the processor's caches, which tells memory latency from code.
BENCHMARK(BM_CacheUpdate)
    ->Arg(kStations)
    ->Arg(kStations / 10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// The lookup alone, for comparison with Update, which adds storing the new packet
// and freeing the one it replaces.
void BM_CacheIndexOf(benchmark::State& state) {
  const auto& templates = Templates();
  aprs::TPacketCache cache;
  for (const auto& t : templates) cache.Update(std::make_unique<aprs::TAprsPacket>(t));
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> station(0, kStations - 1);
  std::vector<int> order(kUpdates);
  for (int& i : order) i = station(rng);
  for (auto _ : state) {
    const double start = ThreadCpuSeconds();
    long found = 0;
    for (const int i : order) found += cache.IndexOf(templates[static_cast<std::size_t>(i)]) >= 0;
    state.SetIterationTime(ThreadCpuSeconds() - start);
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(state.iterations() * kUpdates);
}
BENCHMARK(BM_CacheIndexOf)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
