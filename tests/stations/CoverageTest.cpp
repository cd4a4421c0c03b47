#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "APRSCache.h"
#include "APRSParser.h"
#include "Coverage.h"
#include "MeasuredReach.h"

using namespace tarvik;

namespace {

constexpr double kMilesPerDegree = 69.0452;  // 3956 miles * pi / 180
constexpr aprs::TDateTime kNow = 46363.5;
constexpr aprs::TDateTime kMinute = 1.0 / 1440.0;

// A packet from `source` at a position, heard directly by `receiver` (as the first hop).
aprs::TAprsPacket Heard(const std::string& source, const std::string& receiver, double lat, double lon,
                        aprs::TDateTime received = kNow) {
  aprs::TAprsPacket p;
  p.Source.Callsign = source;
  p.DataType = aprs::TAprsDataType::dtPosition;
  p.Digipeaters = {receiver + "*", "WIDE2-1"};
  p.HeardDirectly = false;
  p.Position.Valid = true;
  p.Position.Latitude.Value = lat;
  p.Position.Longitude.Value = lon;
  p.Received = received;
  return p;
}

std::vector<std::string> SourceCalls(const TMeasuredReach& reach, const std::string& receiver,
                                     aprs::TDateTime cutOff = 0) {
  std::vector<std::string> calls;
  for (const TReachSource& s : reach.Sources(receiver, cutOff)) calls.push_back(s.Callsign);
  return calls;
}

TEST(GreatCircleMiles, KnownDistances) {
  EXPECT_NEAR(GreatCircleMiles(45, -93, 46, -93), kMilesPerDegree, 0.001);
  EXPECT_NEAR(GreatCircleMiles(0, 179.5, 0, -179.5), kMilesPerDegree, 0.001);  // across the 180th meridian
  EXPECT_NEAR(GreatCircleMiles(0, 0, 0, 180), kMilesPerDegree * 180, 0.01);
}

TEST(ReachPercentile, NinetiethByNearestRankFromFiveSourcesOn) {
  struct Case {
    std::vector<double> distances;
    std::optional<double> reach;
  };
  // clang-format off
  const Case cases[] = {
      {{}, std::nullopt},
      {{4, 3, 2, 1}, std::nullopt},                          // too few
      {{5, 1, 4, 2, 3}, 5},                                   // rank ceil(4.5) = 5
      {{10, 9, 8, 7, 6, 5, 4, 3, 2, 1}, 9},                   // rank 9
      {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, 10},              // rank ceil(9.9) = 10
      {{20, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 1},  // one far outlier of 20 is ignored
      {{7, 7, 7, 7, 7}, 7},
  };
  // clang-format on
  for (Case c : cases) EXPECT_EQ(ReachPercentile(c.distances), c.reach) << c.distances.size();
}

TEST(MeasuredReach, AtMostAThousandSourcesTheOldestGoFirst) {
  TMeasuredReach reach;
  for (int i = 0; i < kMaxSourcesPerReceiver + 2; ++i)
    reach.Learn(Heard("TV" + std::to_string(10000 + i), "TV2DIG", 49.0, -72.0, kNow + i * kMinute / 100), "");
  // Hearing the third one again makes it the latest, so the fourth goes next.
  reach.Learn(Heard("TV10002", "TV2DIG", 49.0, -72.0, kNow + 1), "");
  reach.Learn(Heard("TV99999", "TV2DIG", 49.0, -72.0, kNow + 1), "");
  const std::vector<std::string> calls = SourceCalls(reach, "TV2DIG");
  ASSERT_EQ(calls.size(), static_cast<std::size_t>(kMaxSourcesPerReceiver));
  EXPECT_EQ(calls[0], "TV99999");
  EXPECT_EQ(calls[1], "TV10002");
  EXPECT_EQ(calls.back(), "TV10004");  // 10000, 10001 and 10003 made room
}

// Hearing, hearing again and expiring at random, against a plain map of the latest hearing per source:
// the open-addressing tables must lose nothing and keep nothing when entries move on deletion. Receivers
// come and go too (some fall silent for a while and expire), which regrows and rebuilds the receivers' index.
TEST(MeasuredReach, AgreesWithAPlainModelUnderRandomHearingAndExpiry) {
  std::mt19937 rng(13);
  TMeasuredReach reach;
  std::map<std::string, std::map<std::string, aprs::TDateTime>> model;  // by receiver
  aprs::TDateTime now = kNow;
  const auto check = [&] {
    std::vector<std::string> receivers = reach.Receivers();
    std::sort(receivers.begin(), receivers.end());
    std::vector<std::string> expected;
    for (const auto& [receiver, sources] : model) expected.push_back(receiver);
    ASSERT_EQ(receivers, expected);
    for (const auto& [receiver, expectedSources] : model) {
      std::map<std::string, aprs::TDateTime> kept;
      const std::vector<TReachSource> sources = reach.Sources(receiver, 0);
      for (const TReachSource& s : sources) EXPECT_TRUE(kept.emplace(s.Callsign, s.Heard).second);
      EXPECT_EQ(kept, expectedSources) << receiver;
      EXPECT_TRUE(std::is_sorted(sources.begin(), sources.end(), [](auto& a, auto& b) { return a.Heard > b.Heard; }));
    }
  };
  for (int step = 0; step < 20000; ++step) {
    now += kMinute / 10;
    if (step % 500 == 499) {
      const aprs::TDateTime cutOff = now - 20 * kMinute;
      reach.Expire(cutOff);
      for (auto& [receiver, sources] : model)
        std::erase_if(sources, [&](const auto& entry) { return entry.second < cutOff; });
      std::erase_if(model, [](const auto& entry) { return entry.second.empty(); });
      check();
      continue;
    }
    // Receivers TV0DG to TV39DG; the upper twenty are heard only in every other stretch of 5,000 steps.
    const int receiverNumber = static_cast<int>(rng() % ((step / 5000) % 2 == 0 ? 40 : 20));
    const std::string receiver = "TV" + std::to_string(receiverNumber) + "DG";
    const std::string source = "TV" + std::to_string(1000 + rng() % 600) + "X";
    reach.Learn(Heard(source, receiver, 49.0, -72.0, now), "");
    model[receiver][source] = now;
  }
  check();
  reach.Expire(now + kMinute);
  EXPECT_EQ(reach.ReceiverCount(), 0);
}

TEST(ReachVerdict, ThirtyPerCentEitherWayIsAboutRight) {
  using V = TReachVerdict;
  struct Case {
    std::optional<double> claim, reach;
    V verdict;
  };
  // clang-format off
  const Case cases[] = {
      {std::nullopt, 10.0, V::NoPhg}, {std::nullopt, std::nullopt, V::NoPhg}, {10.0, std::nullopt, V::TooFew},
      {10.0, 10.0, V::AboutRight}, {13.0, 10.0, V::AboutRight}, {13.01, 10.0, V::ClaimsTooMuch},
      {7.0, 10.0, V::AboutRight}, {6.99, 10.0, V::ClaimsTooLittle}, {0.0, 0.0, V::AboutRight},
      {5.0, 0.0, V::ClaimsTooMuch}, {0.0, 3.0, V::ClaimsTooLittle},
  };
  // clang-format on
  for (const Case& c : cases)
    EXPECT_EQ(ReachVerdict(c.claim, c.reach), c.verdict) << c.claim.value_or(-1) << " " << c.reach.value_or(-1);
  EXPECT_EQ(VerdictText(V::AboutRight), "claims about right");
  EXPECT_EQ(VerdictText(V::ClaimsTooMuch), "claims too much");
  EXPECT_EQ(VerdictText(V::ClaimsTooLittle), "claims too little");
  EXPECT_EQ(VerdictText(V::NoPhg), "no PHG");
  EXPECT_EQ(VerdictText(V::TooFew), "too few");
}

TEST(PhgHealthFlags, WhatIsWrongWithAPhg) {
  struct Case {
    const char* line;
    bool heardOverRadio;
    unsigned flags;
  };
  // clang-format off
  const Case cases[] = {
      {"TV2DIG>APRS:!4903.50N/07201.75W#PHG5132/fine",               false, 0},
      {"TV2DIG>APRS:!4903.50N/07201.75W#PHG0360",                    false, pfPowerZero},
      {"TV2DIG>APRS:!4903.50N/07201.75W#PHG5960",                    false, pfHeightExtreme},
      {"TV2DIG>APRS:!4903.50N/07201.75W#PHG5860",                    false, 0},           // 2,560 ft
      {"TV2DIG>APRS:!4903.50N/07201.75W#Mountain PHG5130",           false, pfMidComment},
      {"TV2DIG>APRS:!4903.50N/07201.75W#see PHGxyz",                 false, pfMidComment | pfDefaultPhg},
      {"TV2DIG>APRS,TCPIP*,qAC,T2X:!4903.50N/07201.75W#PHG5130",     false, pfInternetOnly},
      {"TV2DIG>APRS,TCPIP*,qAC,T2X:!4903.50N/07201.75W#PHG5130",     true,  0},
      {"TV2DIG>APRS:!4903.50N/07201.75W#",                           false, pfDefaultPhg},
      {"TV2DIG>APRS:!4903.50N/07201.75W#PHG5102",                    false, pfDirectionalNoGain},
      {"TV2DIG>APRS:!4903.50N/07201.75W#PHG5100",                    false, 0},           // omni, 0 dB
      {"TV2DIG>APRS:!4903.50N/07201.75W#PHG0902",                    false, pfPowerZero | pfHeightExtreme | pfDirectionalNoGain},
      {"TV2DIG>APRS:!4903.50N/07201.75W#RNG0050",                    false, 0},
  };
  // clang-format on
  for (const Case& c : cases) {
    const auto packet = aprs::ParsePacket(c.line);
    ASSERT_NE(packet, nullptr) << c.line;
    EXPECT_EQ(PhgHealthFlags(*packet, c.heardOverRadio), c.flags) << c.line;
  }
  EXPECT_EQ(PhgFlagsText(0), "");
  EXPECT_EQ(
      PhgFlagsText(pfPowerZero | pfHeightExtreme | pfMidComment | pfInternetOnly | pfDefaultPhg | pfDirectionalNoGain),
      "power 0 W, height 5,120 ft or more, PHG in mid-comment, PHG on an Internet-only station, default PHG, "
      "directional antenna with 0 dB gain");
}

class CoverageRowsTest : public ::testing::Test {
 protected:
  void Add(const std::string& line) {
    auto packet = aprs::ParsePacket(line);
    ASSERT_NE(packet, nullptr) << line;
    packet->Received = kNow;
    reach.Learn(*packet, "");
    cache.Update(std::move(packet));
  }
  aprs::TPacketCache cache;
  TMeasuredReach reach;
};

TEST_F(CoverageRowsTest, ClaimBesideMeasurement) {
  // A digi at 49N 72W claiming PHG5360 (22.49 miles) hears five stations due north, 1 to 5 tenths
  // of a degree away (6.9 to 34.5 miles); its 90th percentile is the farthest.
  Add("TV2DIG>APRS:!4900.00N/07200.00W#PHG5360");
  for (int i = 1; i <= 5; ++i) {
    char line[64];
    std::snprintf(line, sizeof line, "TV1S%cX>APRS,TV2DIG*:!49%02d.00N/07200.00W-", 'A' + i, i * 6);
    Add(line);
  }
  // Heard by nobody, PHG of its own: a row without a measurement.
  Add("TV3PHG>APRS:!4910.00N/07210.00W-PHG2130");
  // No PHG of its own and no receiver, or an object: no row.
  Add("TV3NOP>APRS:!4910.00N/07210.00W-");
  Add("TV3OBJ>APRS:;REPEATER *071805z4906.01N/07209.07Wr PHG5350");

  const std::vector<TCoverageRow> rows = CoverageRows(cache, reach, kNow - 60 * kMinute);
  ASSERT_EQ(rows.size(), 2U);
  const TCoverageRow& digi = rows[0];
  EXPECT_EQ(digi.Callsign, "TV2DIG");
  EXPECT_EQ(ClassName(digi.Color), "digi");
  ASSERT_TRUE(digi.ClaimMiles.has_value());
  EXPECT_NEAR(*digi.ClaimMiles, 22.49, 0.01);
  EXPECT_EQ(digi.Sources, 5);
  ASSERT_TRUE(digi.ReachMiles.has_value());
  EXPECT_NEAR(*digi.ReachMiles, 0.5 * kMilesPerDegree, 0.01);
  EXPECT_EQ(digi.FarthestCallsign, "TV1SFX");
  EXPECT_NEAR(digi.FarthestMiles, 0.5 * kMilesPerDegree, 0.01);
  EXPECT_EQ(digi.Verdict, TReachVerdict::ClaimsTooLittle);
  EXPECT_EQ(digi.Flags, 0U);

  EXPECT_EQ(rows[1].Callsign, "TV3PHG");
  EXPECT_EQ(rows[1].Sources, 0);
  EXPECT_EQ(rows[1].ReachMiles, std::nullopt);
  EXPECT_EQ(rows[1].Verdict, TReachVerdict::TooFew);

  EXPECT_EQ(CoverageRows(cache, reach, kNow + kMinute)[0].Sources, 0);  // heard before the cut-off
}

}  // namespace
