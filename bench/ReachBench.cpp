// Measured reach: what recording who heard whom adds to each accepted packet,
// beside the station cache's own update, at 100,000 stations.
//
// The packets are those of the cache benchmark, parsed position reports with
// PHG, each first-hop digipeated by one of a number of receivers, each timed
// on its own by the monotonic clock.
#include <benchmark/benchmark.h>

#include <algorithm>
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

double NowSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// What two clock readings cost, measured once; taken off every interval.
double ClockCost() {
  static const double cost = [] {
    constexpr int kReadings = 100000;
    const double start = NowSeconds();
    double last = start;
    for (int i = 0; i < kReadings; ++i) last = NowSeconds();
    return (last - start) / kReadings;
  }();
  return cost;
}

// Packet times without the clock's own. An interval in which the thread lost
// the processor to another (far longer than any update) is left out.
struct TTimes {
  double Seconds = 0;
  long Counted = 0;
  void Add(double start, double end) {
    constexpr double kPreempted = 50e-6;
    const double seconds = end - start - ClockCost();
    if (seconds > kPreempted) return;
    Seconds += seconds;
    ++Counted;
  }
  double PerPacket() const { return Counted == 0 ? 0.0 : Seconds / static_cast<double>(Counted); }
};

// Two caches take the same packets: one by Update alone, as the program did
// before, the other by Learn and Update, as the intake does now. Every packet
// is built and tested by AcceptPacket (untimed) just before it is stored, as
// the intake parses and tests each line just before storing it, and each is
// timed on its own: back-to-back updates would overlap their waits for
// memory, which the parsing in between never lets them do in the program.
// The two caches take turns going first. learn_per_update is the extra time
// over the Update-only time.
void BM_ReachLearnBesideCacheUpdate(benchmark::State& state) {
  const std::vector<aprs::TAprsPacket> templates = Templates(static_cast<int>(state.range(0)));
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> station(0, kStations - 1);
  TTimes plainTimes;
  TTimes learnedTimes;
  for (auto _ : state) {
    aprs::TPacketCache plainCache;
    aprs::TPacketCache learnedCache;
    tarvik::TMeasuredReach reach;
    double iteration = 0;
    const auto fresh = [](const aprs::TAprsPacket& t) {
      auto packet = std::make_unique<aprs::TAprsPacket>(t);
      benchmark::DoNotOptimize(tarvik::AcceptPacket(*packet));
      return packet;
    };
    const auto runPlain = [&](const aprs::TAprsPacket& t) {
      auto packet = fresh(t);
      const double start = NowSeconds();
      plainCache.Update(std::move(packet));
      plainTimes.Add(start, NowSeconds());
    };
    const auto runLearned = [&](const aprs::TAprsPacket& t) {
      auto packet = fresh(t);
      const double start = NowSeconds();
      benchmark::DoNotOptimize(reach.Learn(*packet, ""));
      learnedCache.Update(std::move(packet));
      const double end = NowSeconds();
      learnedTimes.Add(start, end);
      iteration += end - start;
    };
    for (int done = 0; done < kUpdates; ++done) {
      const aprs::TAprsPacket& t = templates[static_cast<std::size_t>(station(rng))];
      if (done % 2 == 0) {
        runPlain(t);
        runLearned(t);
      } else {
        runLearned(t);
        runPlain(t);
      }
    }
    state.SetIterationTime(iteration);
    state.counters["receivers"] = reach.ReceiverCount();
    state.counters["stations"] = learnedCache.Count();
  }
  state.counters["update_ns"] = plainTimes.PerPacket() * 1e9;
  state.counters["learn_and_update_ns"] = learnedTimes.PerPacket() * 1e9;
  state.counters["learn_per_update"] = learnedTimes.PerPacket() / plainTimes.PerPacket() - 1.0;
  state.SetItemsProcessed(state.iterations() * kUpdates);
}
// Receivers: 200 give each about 500 sources; 1 makes every new source push
// the oldest out of a full receiver, the dearest case.
BENCHMARK(BM_ReachLearnBesideCacheUpdate)
    ->Arg(200)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
