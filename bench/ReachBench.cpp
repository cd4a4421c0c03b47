// Measured reach: what recording who heard whom adds to each accepted packet,
// beside the station cache's own update, at 100,000 stations.
//
// The packets are those of the cache benchmark, parsed position reports with
// PHG, each first-hop digipeated by one of a number of receivers, timed on
// this thread's CPU clock.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "APRSCache.h"
#include "APRSParser.h"
#include "Intake.h"
#include "MeasuredReach.h"

namespace {

constexpr int kStations = 100000;
constexpr int kUpdates = 1000000;

// One parsed packet per station, first-hop digipeated by one of `receivers` digis.
std::vector<aprs::TAprsPacket> Templates(int receivers) {
  std::vector<aprs::TAprsPacket> out;
  out.reserve(kStations);
  for (int i = 0; i < kStations; ++i) {
    char head[64];
    std::snprintf(head, sizeof head, "KB%05d-%d>APRS,TV%03dG*,WIDE2-1:", i % 100000, i % 10, i % receivers);
    const std::string line =
        std::string(head) + "!4903.50N/07201.75W#PHG5360 W2, digipeater and igate " + std::to_string(i);
    auto packet = aprs::ParsePacket(line);
    if (!packet) std::abort();
    out.push_back(*packet);
  }
  return out;
}

double ThreadCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// 200 receivers give each about 500 sources; 1 makes every new source push the
// oldest out of a full receiver, the dearest case.
//
// Two caches take the same packets: one by Update alone, as the program did
// so far, the other by Prepare, Update and Record, as the intake does now. The packets of both
// are built (untimed) side by side before each batch, so that both find them
// equally fresh in the processor's caches, and the two runs take turns going
// first. learn_per_update is the extra time over the Update-only time.
void BM_ReachLearnBesideCacheUpdate(benchmark::State& state) {
  const std::vector<aprs::TAprsPacket> templates = Templates(static_cast<int>(state.range(0)));
  const auto kBatch = static_cast<int>(state.range(1));
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> station(0, kStations - 1);
  std::vector<std::unique_ptr<aprs::TAprsPacket>> plain;
  std::vector<std::unique_ptr<aprs::TAprsPacket>> learned;
  plain.reserve(kBatch);
  learned.reserve(kBatch);
  double plainSeconds = 0;
  double learnedSeconds = 0;
  for (auto _ : state) {
    aprs::TPacketCache plainCache;
    aprs::TPacketCache learnedCache;
    tarvik::TMeasuredReach reach;
    double iteration = 0;
    for (int done = 0; done < kUpdates; done += kBatch) {
      plain.clear();
      learned.clear();
      for (int i = 0; i < kBatch; ++i) {
        const aprs::TAprsPacket& t = templates[static_cast<std::size_t>(station(rng))];
        plain.push_back(std::make_unique<aprs::TAprsPacket>(t));
        learned.push_back(std::make_unique<aprs::TAprsPacket>(t));
      }
      // As in the intake, every packet has passed AcceptPacket just before it
      // is stored, which reads the fields the bookkeeping reads too (untimed).
      long accepted = 0;
      for (const auto& packet : plain) accepted += tarvik::AcceptPacket(*packet);
      for (const auto& packet : learned) accepted += tarvik::AcceptPacket(*packet);
      benchmark::DoNotOptimize(accepted);
      const auto runPlain = [&] {
        const double start = ThreadCpuSeconds();
        for (auto& packet : plain) plainCache.Update(std::move(packet));
        plainSeconds += ThreadCpuSeconds() - start;
      };
      const auto runLearned = [&] {
        const double start = ThreadCpuSeconds();
        for (auto& packet : learned) {
          const tarvik::TMeasuredReach::TNote note = reach.Prepare(*packet, "");
          learnedCache.Update(std::move(packet));
          benchmark::DoNotOptimize(reach.Record(note));
        }
        const double seconds = ThreadCpuSeconds() - start;
        learnedSeconds += seconds;
        iteration += seconds;
      };
      if ((done / kBatch) % 2 == 0) {
        runPlain();
        runLearned();
      } else {
        runLearned();
        runPlain();
      }
    }
    state.SetIterationTime(iteration);
    state.counters["receivers"] = reach.ReceiverCount();
    state.counters["stations"] = learnedCache.Count();
  }
  const double updates = static_cast<double>(state.iterations()) * kUpdates;
  state.counters["update_ns"] = plainSeconds / updates * 1e9;
  state.counters["learn_and_update_ns"] = learnedSeconds / updates * 1e9;
  state.counters["learn_per_update"] = (learnedSeconds - plainSeconds) / plainSeconds;
  state.SetItemsProcessed(state.iterations() * kUpdates);
}
// Arguments: receivers, and packets built per batch. In the program a packet
// is parsed and tested by AcceptPacket just before it is stored, so its
// fields are fresh in the processor's caches; batches of 100 keep them so,
// batches of 1,000 (as in the cache benchmark) let some fall out.
BENCHMARK(BM_ReachLearnBesideCacheUpdate)
    ->Args({200, 100})
    ->Args({1, 100})
    ->Args({200, 1000})
    ->Args({1, 1000})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
