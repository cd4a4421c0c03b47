#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "DrawPass.h"
#include "FakeMapSource.h"

using namespace tarvik;
using tarvik::test::TRecordingMapSource;

namespace {

// The recording map's default bounds: 95 W to 91 W, 44 N to 46 N.
constexpr double kInsideLat = 45.0;
constexpr double kInsideLon = -93.0;

enum class Kind { Grey, DefaultPhg, Mobile, Digi, IGate, Other, DfOnly, Nothing };

aprs::TAprsPacket Make(Kind kind, double lat = kInsideLat, double lon = kInsideLon) {
  aprs::TAprsPacket p;
  p.Position.Latitude.Value = lat;
  p.Position.Longitude.Value = lon;
  p.Capabilities.HasCapabilities = kind != Kind::DfOnly && kind != Kind::Nothing;
  p.Capabilities.Range = 30.0F;
  p.Capabilities.PhgString = "PHG5132";
  switch (kind) {
    case Kind::Grey: p.Capabilities.PhgNonStandard = true; break;
    case Kind::DefaultPhg: p.Capabilities.PhgString.clear(); break;
    case Kind::Mobile: p.Position.Mobile = true; break;
    case Kind::Digi: p.SymbolCode = '#'; break;
    case Kind::IGate: p.SymbolCode = '&'; break;
    case Kind::DfOnly:
      p.DFReport.HasReport = true;
      p.DFReport.Range = 20.0F;
      p.DFReport.Signal = 9;
      break;
    default: break;
  }
  return p;
}

void Pass(TRecordingMapSource& host, const std::vector<aprs::TAprsPacket>& stations, const TCircleChoice& choice,
          bool fullSize = true) {
  PlotCircles(
      host, static_cast<int>(stations.size()), [&](int i) { return &stations[static_cast<std::size_t>(i)]; }, choice,
      fullSize);
}

std::vector<std::int32_t> DrawnColors(const TRecordingMapSource& host) {
  std::vector<std::int32_t> colors;
  for (const auto& c : host.Map->Circles) colors.push_back(c.Color);
  return colors;
}

std::vector<double> PenWidths(const TRecordingMapSource& host) {
  std::vector<double> widths;
  for (const auto& call : host.Map->Calls)
    if (call.Op == "SetPenWidth") widths.push_back(call.Args.at(0));
  return widths;
}

TEST(StationColor, FirstRuleThatHoldsWins) {
  struct Case {
    const char* name;
    aprs::TAprsPacket station;
    std::int32_t color;
  };
  auto greyMobile = Make(Kind::Grey);
  greyMobile.Position.Mobile = true;
  auto defaultMobile = Make(Kind::DefaultPhg);
  defaultMobile.Position.Mobile = true;
  auto digiWithoutPhg = Make(Kind::DefaultPhg);
  digiWithoutPhg.SymbolCode = '#';
  auto mobileDigi = Make(Kind::Digi);
  mobileDigi.Position.Mobile = true;
  auto igateAlternateTable = Make(Kind::IGate);
  igateAlternateTable.SymbolTable = '\\';
  // clang-format off
  const std::vector<Case> cases = {
      {"non-standard PHG", Make(Kind::Grey), 0x808080},
      {"mobile with non-standard PHG is grey", greyMobile, 0x808080},
      {"no PHG text", Make(Kind::DefaultPhg), 0xFF00FF},
      {"mobile with default PHG is purple", defaultMobile, 0xFF00FF},
      {"digi without PHG is purple", digiWithoutPhg, 0xFF00FF},
      {"mobile", Make(Kind::Mobile), 0x0000FF},
      {"mobile digi is red", mobileDigi, 0x0000FF},
      {"digi", Make(Kind::Digi), 0x008000},
      {"IGate, table not looked at", igateAlternateTable, 0xFF0000},
      {"other", Make(Kind::Other), 0x000000},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(StationColor(c.station), c.color);
  }
}

TEST(DfColor, BySignalStrength) {
  // clang-format off
  const std::vector<std::pair<int, std::int32_t>> cases = {
      {0, 0x000000}, {9, 0x0000FF}, {1, 0x008000}, {5, 0x008000}, {8, 0x008000}, {10, 0x008000}, {-1, 0x008000}};
  for (const auto& [signal, color] : cases) {
    auto station = Make(Kind::DfOnly);
    station.DFReport.Signal = signal;
    EXPECT_EQ(DfColor(station), color) << "signal " << signal;
  }
  // clang-format on
}

// Every combination of the five class check boxes over one station of each
// class: exactly the enabled classes are drawn, and grey always, with pen 3.
TEST(PlotCircles, EveryCheckBoxCombination) {
  const std::vector<aprs::TAprsPacket> stations = {Make(Kind::Grey),   Make(Kind::DefaultPhg), Make(Kind::Mobile),
                                                   Make(Kind::Digi),   Make(Kind::IGate),      Make(Kind::Other),
                                                   Make(Kind::DfOnly), Make(Kind::Nothing)};
  for (int mask = 0; mask < 32; ++mask) {
    SCOPED_TRACE("mask " + std::to_string(mask));
    TCircleChoice choice;
    choice.DrawDefaultPhg = (mask & 1) != 0;
    choice.DrawMobiles = (mask & 2) != 0;
    choice.DrawDigis = (mask & 4) != 0;
    choice.DrawIGates = (mask & 8) != 0;
    choice.DrawOthers = (mask & 16) != 0;
    std::vector<std::int32_t> colors = {kColorNonStandardPhg};
    std::vector<double> pens = {3};
    const std::pair<bool, std::int32_t> classes[] = {{choice.DrawDefaultPhg, kColorDefaultPhg},
                                                     {choice.DrawMobiles, kColorMobile},
                                                     {choice.DrawDigis, kColorDigi},
                                                     {choice.DrawIGates, kColorIGate},
                                                     {choice.DrawOthers, kColorOther}};
    for (const auto& [enabled, color] : classes) {
      if (!enabled) continue;
      colors.push_back(color);
      pens.push_back(2);
    }
    TRecordingMapSource host;
    Pass(host, stations, choice);
    EXPECT_EQ(DrawnColors(host), colors);
    EXPECT_EQ(PenWidths(host), pens);
  }
}

TEST(PlotCircles, ReadsTheBoundsFirstInOrder) {
  TRecordingMapSource host;
  Pass(host, {}, TCircleChoice{});
  EXPECT_EQ(host.Map->Ops(), (std::vector<std::string>{"GetMapLeft", "GetMapWidth", "GetMapTop", "GetMapHeight"}));
  EXPECT_EQ(host.Fetches, 4);
}

TEST(PlotCircles, DfModeDrawsDfReportsOnlyWhateverTheClassBoxes) {
  auto phgAndDf = Make(Kind::Digi);
  phgAndDf.DFReport.HasReport = true;
  phgAndDf.DFReport.Signal = 3;
  const std::vector<aprs::TAprsPacket> stations = {Make(Kind::Grey), Make(Kind::DfOnly), Make(Kind::Other), phgAndDf};
  for (const bool classesOn : {true, false}) {
    SCOPED_TRACE(classesOn ? "class boxes on" : "class boxes off");
    TCircleChoice choice{classesOn, classesOn, classesOn, classesOn, classesOn, true};
    TRecordingMapSource host;
    Pass(host, stations, choice, false);
    EXPECT_EQ(DrawnColors(host), (std::vector<std::int32_t>{0x0000FF, 0x008000}));
    EXPECT_EQ(std::count(host.Map->Calls.begin(), host.Map->Calls.end(), tarvik::test::TMapCall{"SetFillMode", {0}}),
              2);
    // DF circles are full size even when half size is asked for.
    EXPECT_NEAR(host.Map->Circles.at(0).Radius, 20.0 / 3956 * 180 / 3.141592653589793 * 60, 0.001);
  }
}

TEST(PlotCircles, BoundsAreInclusiveOnAllFourSides) {
  struct Case {
    const char* name;
    double lat, lon;
    bool drawn;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"on the west edge", kInsideLat, -95.0, true},     {"on the east edge", kInsideLat, -91.0, true},
      {"on the north edge", 46.0, kInsideLon, true},     {"on the south edge", 44.0, kInsideLon, true},
      {"north-west corner", 46.0, -95.0, true},          {"south-east corner", 44.0, -91.0, true},
      {"just west", kInsideLat, -95.0001, false},        {"just east", kInsideLat, -90.9999, false},
      {"just north", 46.0001, kInsideLon, false},        {"just south", 43.9999, kInsideLon, false},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TRecordingMapSource host;
    Pass(host, {Make(Kind::Other, c.lat, c.lon)}, TCircleChoice{});
    EXPECT_EQ(host.Map->Circles.size(), c.drawn ? 1U : 0U);
  }
}

TEST(PlotCircles, OnlyTheStationsOwnPositionIsTested) {
  // Just outside to the east with a huge circle reaching into the map: none.
  auto outside = Make(Kind::Other, kInsideLat, -90.99);
  outside.Capabilities.Range = 300.0F;
  // On the east edge with the centre moved further east, out of the map: drawn.
  auto inside = Make(Kind::Other, kInsideLat, -91.0);
  inside.Capabilities.Range = 300.0F;
  inside.Capabilities.Antenna.Heading = 90;
  TRecordingMapSource host;
  Pass(host, {outside, inside}, TCircleChoice{});
  ASSERT_EQ(host.Map->Circles.size(), 1U);
  EXPECT_GT(host.Map->Circles[0].X, -91.0F * 60);
}

TEST(PlotCircles, FullSizeFlagReachesTheCircle) {
  TRecordingMapSource full;
  TRecordingMapSource half;
  Pass(full, {Make(Kind::Digi)}, TCircleChoice{}, true);
  Pass(half, {Make(Kind::Digi)}, TCircleChoice{}, false);
  ASSERT_EQ(full.Map->Circles.size(), 1U);
  ASSERT_EQ(half.Map->Circles.size(), 1U);
  EXPECT_FLOAT_EQ(half.Map->Circles[0].Radius * 2, full.Map->Circles[0].Radius);
}

TEST(PlotCircles, MissingEntriesAreSkipped) {
  const auto digi = Make(Kind::Digi);
  TRecordingMapSource host;
  PlotCircles(
      host, 3, [&](int i) { return i == 1 ? &digi : nullptr; }, TCircleChoice{}, true);
  EXPECT_EQ(DrawnColors(host), std::vector<std::int32_t>{kColorDigi});
}

TEST(PlotCircles, AHostFailureEndsThePassAtThatStation) {
  const std::vector<aprs::TAprsPacket> stations = {Make(Kind::Digi), Make(Kind::IGate), Make(Kind::Mobile)};
  // 4 bound reads, then 5 operations per circle: fail inside the second circle.
  TRecordingMapSource host;
  host.Map->FailAtOperation = 4 + 5 + 2;
  EXPECT_THROW(Pass(host, stations, TCircleChoice{}), std::runtime_error);
  EXPECT_EQ(DrawnColors(host), std::vector<std::int32_t>{kColorDigi});
  // The next pass retries from the start.
  host.Map->FailAtOperation = -1;
  host.Map->Circles.clear();
  Pass(host, stations, TCircleChoice{});
  EXPECT_EQ(DrawnColors(host), (std::vector<std::int32_t>{kColorDigi, kColorIGate, kColorMobile}));
}

TEST(PlotCircles, MapHeightZeroFailsThePassWithoutCrashing) {
  TRecordingMapSource host;
  host.Map->Height = 0.0F;
  host.Map->Top = 45.0F * 60;
  host.Map->Width = 600.0F;  // a zero-height strip along 45 N
  EXPECT_THROW(Pass(host, {Make(Kind::Digi), Make(Kind::IGate)}, TCircleChoice{}), std::domain_error);
  EXPECT_TRUE(host.Map->Circles.empty());
}

// ---- the redraw timer ----

struct RecordingTimer : TRedrawTimer {
  std::vector<std::string> Log;
  bool Enabled = false;
  int Interval = 15000;
  void SetEnabled(bool enabled) override {
    Enabled = enabled;
    Log.push_back(enabled ? "on" : "off");
  }
  void SetInterval(int ms) override {
    Interval = ms;
    Log.push_back(std::to_string(ms));
  }
};

TEST(RedrawTimer, OffDuringThePassOnAfterItAlsoWhenItFails) {
  RecordingTimer timer;
  bool enabledDuringPass = true;
  RunDrawPass(timer, [&] { enabledDuringPass = timer.Enabled; });
  EXPECT_FALSE(enabledDuringPass);
  EXPECT_EQ(timer.Log, (std::vector<std::string>{"off", "on"}));

  timer.Log.clear();
  EXPECT_THROW(RunDrawPass(timer, [] { throw std::runtime_error("host gone"); }), std::runtime_error);
  EXPECT_EQ(timer.Log, (std::vector<std::string>{"off", "on"}));
  EXPECT_EQ(timer.Interval, 15000);
}

TEST(RedrawTimer, SettingFromTheEditBox) {
  struct Case {
    const char* text;
    bool checked;
    int interval;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"15", true, 15000},       {"20", false, 20000},      {"abc", true, 15000}, {"", true, 15000},
      {" 30 ", true, 30000},     {"0", true, 0},            {"-5", true, 0},      {"2.5", true, 15000},
      {"99999999", true, INT_MAX},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("'") + c.text + "'");
    RecordingTimer timer;
    ApplyRedrawSetting(timer, c.text, c.checked);
    EXPECT_EQ(timer.Log, (std::vector<std::string>{"off", std::to_string(c.interval), c.checked ? "on" : "off"}));
  }
}

}  // namespace
