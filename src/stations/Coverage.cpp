#include "Coverage.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "DrawPass.h"
#include "Text.h"

namespace tarvik {

namespace {

constexpr std::string_view kFlagSeparator = ", ";

struct TFlagText {
  TPhgFlag Flag;
  std::string_view Text;
};
constexpr std::array<TFlagText, 6> kFlagTexts = {{
    {pfPowerZero, "power 0 W"},
    {pfHeightExtreme, "height 5,120 ft or more"},
    {pfMidComment, "PHG in mid-comment"},
    {pfInternetOnly, "PHG on an Internet-only station"},
    {pfDefaultPhg, "default PHG"},
    {pfDirectionalNoGain, "directional antenna with 0 dB gain"},
}};

bool SentPhg(const aprs::TAprsPacket& station) { return text::StartsWith(station.Capabilities.PhgString, "PHG"); }

bool IsObjectOrItem(const aprs::TAprsPacket& packet) {
  return packet.DataType == aprs::TAprsDataType::dtObject || packet.DataType == aprs::TAprsDataType::dtItem;
}

// A cell of the tab-separated report: UTF-8, no control byte that would break a line or a column.
std::string Cell(std::string_view bytes) {
  std::string cell = text::Latin1ToUtf8(bytes);
  std::replace_if(
      cell.begin(), cell.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
  return cell;
}

std::string Miles(std::optional<double> miles, std::string_view none) {
  if (!miles) return std::string(none);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", *miles);
  return buf;
}

}  // namespace

std::string_view VerdictText(TReachVerdict verdict) {
  switch (verdict) {
    case TReachVerdict::AboutRight: return "claims about right";
    case TReachVerdict::ClaimsTooMuch: return "claims too much";
    case TReachVerdict::ClaimsTooLittle: return "claims too little";
    case TReachVerdict::NoPhg: return "no PHG";
    case TReachVerdict::TooFew: return "too few";
  }
  return {};
}

TReachVerdict ReachVerdict(std::optional<double> claimMiles, std::optional<double> reachMiles) {
  if (!claimMiles) return TReachVerdict::NoPhg;
  if (!reachMiles) return TReachVerdict::TooFew;
  if (*claimMiles > *reachMiles * (1.0 + kAboutRightTolerance)) return TReachVerdict::ClaimsTooMuch;
  if (*claimMiles < *reachMiles * (1.0 - kAboutRightTolerance)) return TReachVerdict::ClaimsTooLittle;
  return TReachVerdict::AboutRight;
}

unsigned PhgHealthFlags(const aprs::TAprsPacket& station, bool heardOverRadio) {
  const aprs::TStationCapabilitiesRec& caps = station.Capabilities;
  unsigned flags = 0;
  if (caps.PhgNonStandard) flags |= pfMidComment;
  if (caps.DefaultPhg) flags |= pfDefaultPhg;
  if (!SentPhg(station)) return flags;
  if (caps.Power == 0) flags |= pfPowerZero;
  if (caps.Antenna.Haat >= kExtremeHaatFeet) flags |= pfHeightExtreme;
  if (station.ViaInternet && !heardOverRadio) flags |= pfInternetOnly;
  if (caps.Antenna.Heading != 0 && caps.Antenna.Gain == 0) flags |= pfDirectionalNoGain;
  return flags;
}

std::string PhgFlagsText(unsigned flags) {
  std::string out;
  for (const TFlagText& f : kFlagTexts) {
    if ((flags & f.Flag) == 0) continue;
    if (!out.empty()) out += kFlagSeparator;
    out += f.Text;
  }
  return out;
}

std::string_view ClassName(std::int32_t color) {
  switch (color) {
    case kColorNonStandardPhg: return "nonstandard";
    case kColorDefaultPhg: return "default";
    case kColorMobile: return "mobile";
    case kColorDigi: return "digi";
    case kColorIGate: return "igate";
    case kColorOther: return "other";
    default: return "unknown";
  }
}

TCoverageRow CoverageRowOf(const aprs::TAprsPacket& station, const std::vector<TReachSource>& sources) {
  TCoverageRow row;
  row.Callsign = station.Source.Callsign;
  row.Color = StationColor(station);
  row.Latitude = station.Position.Latitude.Value;
  row.Longitude = station.Position.Longitude.Value;
  if (!station.Capabilities.PhgString.empty()) row.ClaimMiles = station.Capabilities.Range;
  row.Sources = static_cast<int>(sources.size());

  std::vector<double> distances;
  distances.reserve(sources.size());
  for (const TReachSource& s : sources) {
    const double miles = GreatCircleMiles(row.Latitude, row.Longitude, s.Latitude, s.Longitude);
    distances.push_back(miles);
    if (row.FarthestCallsign.empty() || miles > row.FarthestMiles) {
      row.FarthestCallsign = s.Callsign;
      row.FarthestMiles = miles;
    }
  }
  row.ReachMiles = ReachPercentile(distances);
  row.Verdict = ReachVerdict(row.ClaimMiles, row.ReachMiles);
  row.Flags = PhgHealthFlags(station, !sources.empty());
  return row;
}

std::vector<TCoverageRow> CoverageRows(const aprs::TPacketCache& cache, const TMeasuredReach& reach,
                                       aprs::TDateTime cutOff) {
  std::vector<TCoverageRow> rows;
  for (int i = 0; i < cache.Count(); ++i) {
    const aprs::TAprsPacket* station = cache.Items(i);
    if (station == nullptr || IsObjectOrItem(*station)) continue;
    const std::vector<TReachSource> sources = reach.Sources(station->Source.Callsign, cutOff);
    if (sources.empty() && station->Capabilities.PhgString.empty()) continue;
    rows.push_back(CoverageRowOf(*station, sources));
  }
  return rows;
}

std::string CoverageReport(const std::vector<TCoverageRow>& rows) {
  std::string out = "callsign\tclass\tclaim_mi\treach_mi\tsources\tfarthest\tfarthest_mi\tverdict\tflags\n";
  for (const TCoverageRow& r : rows) {
    out += Cell(r.Callsign);
    out += '\t';
    out += ClassName(r.Color);
    out += '\t';
    out += Miles(r.ClaimMiles, "-");
    out += '\t';
    out += Miles(r.ReachMiles, "-");
    out += '\t';
    out += std::to_string(r.Sources);
    out += '\t';
    out += r.FarthestCallsign.empty() ? std::string("-") : Cell(r.FarthestCallsign);
    out += '\t';
    out += r.FarthestCallsign.empty() ? std::string("-") : Miles(r.FarthestMiles, "-");
    out += '\t';
    out += VerdictText(r.Verdict);
    out += '\t';
    out += PhgFlagsText(r.Flags);
    out += '\n';
  }
  return out;
}

}  // namespace tarvik
