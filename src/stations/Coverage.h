// The coverage table: what each station claims in its PHG beside what it was
// measured to hear, a verdict, and what looks wrong with its PHG. Plain rows,
// shared by the Coverage page and the command-line report.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "APRSCache.h"
#include "APRSData.h"
#include "MeasuredReach.h"

namespace tarvik {

enum class TReachVerdict { AboutRight, ClaimsTooMuch, ClaimsTooLittle, NoPhg, TooFew };

// A claim within this fraction of the measured reach, either way, is about right.
inline constexpr double kAboutRightTolerance = 0.30;

std::string_view VerdictText(TReachVerdict verdict);

// No claim: "no PHG"; no measurement: "too few"; else the claim against the
// measured reach, the bounds of the tolerance counting as about right.
TReachVerdict ReachVerdict(std::optional<double> claimMiles, std::optional<double> reachMiles);

// What looks wrong with a station's PHG, as bits.
enum TPhgFlag : unsigned {
  pfPowerZero = 1U << 0,
  pfHeightExtreme = 1U << 1,  // 5,120 ft or more above average terrain
  pfMidComment = 1U << 2,     // PHG away from the comment's start (the grey class)
  pfInternetOnly = 1U << 3,   // PHG on a station heard only through the Internet
  pfDefaultPhg = 1U << 4,     // sent none; the default was given
  pfDirectionalNoGain = 1U << 5,
};
inline constexpr int kExtremeHaatFeet = 5120;

// `heardOverRadio`: the station heard someone directly, so it is on the air
// even when its own beacons come through the Internet.
unsigned PhgHealthFlags(const aprs::TAprsPacket& station, bool heardOverRadio);
// The flags as one text, "" for none.
std::string PhgFlagsText(unsigned flags);

// The class of a circle colour (StationColor), as the page and the export name it.
std::string_view ClassName(std::int32_t color);

struct TCoverageRow {
  std::string Callsign;
  std::int32_t Color = 0;            // the station's circle class
  std::optional<double> ClaimMiles;  // the range of its own PHG or RNG
  std::optional<double> ReachMiles;  // measured; nothing with too few sources
  int Sources = 0;                   // distinct sources heard directly
  std::string FarthestCallsign;      // "" with no source
  double FarthestMiles = 0.0;
  TReachVerdict Verdict = TReachVerdict::TooFew;
  unsigned Flags = 0;
  double Latitude = 0.0;  // the station's position, the centre of its reach
  double Longitude = 0.0;
};

// One row for every cached station that sent its own PHG or RNG or heard a
// source directly at or after `cutOff`, in cache order. Objects and items are
// no station's own position and get no row; neither does a receiver that the
// cache holds no position of.
std::vector<TCoverageRow> CoverageRows(const aprs::TPacketCache& cache, const TMeasuredReach& reach,
                                       aprs::TDateTime cutOff);

// The row of one station; `sources` as TMeasuredReach::Sources gives them.
TCoverageRow CoverageRowOf(const aprs::TAprsPacket& station, const std::vector<TReachSource>& sources);

// The table as text: a header line, then one station a line, tab-separated.
std::string CoverageReport(const std::vector<TCoverageRow>& rows);

}  // namespace tarvik
