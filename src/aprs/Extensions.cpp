// Data extensions: PHG, RNG, DFS, the default PHG and station capabilities.
//
//   PHG5132   power 5^2 = 25 W, height 10 * 2^1 = 20 ft, gain 3 dB, lobe 2 * 45 = 90 degrees
//   RNG0050   a pre-computed range of 50 miles
//   DFS2360   a DF report: signal 2, then height, gain and lobe as in PHG
#include <cmath>

#include "APRSParser.h"
#include "Text.h"

namespace aprs {

bool RelaxedPhgChecking = true;
const std::array<std::string_view, 9> HeadingNames = {"OMNI", "NE", "E", "SE", "S", "SW", "W", "NW", "N"};

namespace {

constexpr std::size_t kExtensionLength = 4;
constexpr int kDegreesPerDirectivityStep = 45;
constexpr int kLastDirectivity = 8;
constexpr double kBaseHeightFeet = 10.0;

// A station heard over radio without range data of its own: 10 W, omni, 3 dB.
constexpr int kDefaultPower = 10;
constexpr int kDefaultGain = 3;
constexpr int kDefaultGainRatio = 2;
constexpr int kDefaultHeightMobile = 10;
constexpr int kDefaultHeightFixed = 20;

// Compares the start of `s` with an upper-case tag, ignoring case.
bool StartsWithUpper(std::string_view s, std::string_view upperTag) {
  if (s.size() < upperTag.size()) return false;
  for (std::size_t i = 0; i < upperTag.size(); ++i)
    if (text::ToUpper(s[i]) != upperTag[i]) return false;
  return true;
}

// 0-based position of the first "PHG" in any case, or npos.
std::size_t FindPhg(std::string_view s) {
  for (std::size_t i = 0; i + 3 <= s.size(); ++i)
    if (StartsWithUpper(s.substr(i), "PHG")) return i;
  return std::string_view::npos;
}

bool AllDigits(std::string_view s) {
  for (const char c : s)
    if (!text::IsDigit(c)) return false;
  return true;
}

int Round(double v) { return static_cast<int>(text::RoundHalfEven(v)); }

// The digits are 0..9, so both figures are worked out once for every digit.
struct TDigitTables {
  std::array<int, 10> haat{};       // 10 * 2^h feet: 10, 20, 40 ... 5120
  std::array<int, 10> gainRatio{};  // 10^(g / 10) as a whole number: 1, 1, 2, 2, 3, 3, 4, 5, 6, 8
};

const TDigitTables& DigitTables() {
  static const TDigitTables tables = [] {
    TDigitTables t;
    for (std::size_t digit = 0; digit < 10; ++digit) {
      t.haat[digit] = Round(kBaseHeightFeet * std::pow(2.0, static_cast<double>(digit)));
      t.gainRatio[digit] = Round(std::pow(10.0, static_cast<double>(digit) / 10.0));
    }
    return t;
  }();
  return tables;
}

// Height, gain and directivity digits, shared by PHG and DFS; returns the gain ratio.
int DecodeAntenna(char heightDigit, char gainDigit, char directivityDigit, TAntenna& antenna) {
  const TDigitTables& tables = DigitTables();
  antenna.Haat = tables.haat[static_cast<std::size_t>(text::DigitValue(heightDigit, 0))];
  antenna.Gain = text::DigitValue(gainDigit, 0);
  int d = text::DigitValue(directivityDigit, 0);
  if (d > kLastDirectivity) d = 0;
  antenna.Heading = d * kDegreesPerDirectivityStep;
  antenna.HeadingName = std::string(HeadingNames[static_cast<std::size_t>(d)]);
  return tables.gainRatio[static_cast<std::size_t>(antenna.Gain)];
}

// The PHG candidate: the text after "PHG" at the comment's start, or (relaxed)
// four digits after a "PHG" elsewhere. Empty when there is none.
std::string_view PhgCandidate(std::string_view comment, TStationCapabilitiesRec& caps) {
  if (StartsWithUpper(comment, "PHG")) return text::Trim(text::Copy(comment, 4, 5));
  if (!RelaxedPhgChecking) return {};
  const std::size_t at = FindPhg(comment);
  if (at == std::string_view::npos) return {};
  caps.PhgNonStandard = true;
  const std::string_view digits = text::Trim(comment.substr(at + 3, kExtensionLength));
  return digits.size() == kExtensionLength && AllDigits(digits) ? digits : std::string_view();
}

void DecodeRng(std::string_view comment, TStationCapabilitiesRec& caps) {
  const std::string_view range = text::Trim(text::Copy(comment, 4, kExtensionLength));
  if (range.size() != kExtensionLength) return;
  caps.PhgString = "RNG";
  caps.PhgString += range;
  caps.Range = static_cast<float>(text::StrToIntDef(range, 0));
  caps.HasCapabilities = true;
}

void GiveDefaultPhg(TAprsPacket& packet) {
  TStationCapabilitiesRec& caps = packet.Capabilities;
  caps.DefaultPhg = true;
  caps.Power = kDefaultPower;
  caps.Antenna.Haat = packet.Position.Mobile ? kDefaultHeightMobile : kDefaultHeightFixed;
  caps.Antenna.Gain = kDefaultGain;
  caps.Antenna.Heading = 0;
  caps.Antenna.HeadingName = std::string(HeadingNames[0]);
  caps.Range = RadioRange(caps.Power, caps.Antenna.Haat, kDefaultGainRatio);
  caps.HasCapabilities = true;
}

}  // namespace

// range = sqrt(sqrt(P / 10) * 2H * G / 2) miles, the gain ratio outside the inner root.
float RadioRange(int power, int height, int gain) {
  const double product = std::sqrt(power / 10.0) * (2.0 * height) * (gain / 2.0);
  // Negative figures mean no range rather than NaN.
  return product > 0.0 ? static_cast<float>(std::sqrt(product)) : 0.0F;
}

void DecodePhg(TAprsPacket& packet) {
  const std::string_view comment = packet.Comment;
  TStationCapabilitiesRec& caps = packet.Capabilities;
  // Range data that the data-type decoder already took from the packet (a
  // compressed range byte, a status beam heading) is the station's own.
  const bool hadOwnRangeData = caps.HasCapabilities;

  std::string_view candidate = PhgCandidate(comment, caps);
  if (!candidate.empty()) {
    if (candidate.size() < kExtensionLength) return;
    if (candidate.size() == kExtensionLength + 1 && text::IsDigit(candidate[kExtensionLength])) {
      caps.BeaconRate = candidate[kExtensionLength] - '0';
    } else {
      candidate = candidate.substr(0, kExtensionLength);
    }
    caps.PhgString = "PHG";
    caps.PhgString += candidate;
    const int p = text::DigitValue(candidate[0], 1);
    caps.Power = p * p;
    const int gainRatio = DecodeAntenna(candidate[1], candidate[2], candidate[3], caps.Antenna);
    caps.Range = RadioRange(caps.Power, caps.Antenna.Haat, gainRatio);
    caps.HasCapabilities = true;
    return;
  }

  if (StartsWithUpper(comment, "RNG")) {
    DecodeRng(comment, caps);
    return;
  }

  if (!packet.ViaInternet && packet.Position.Valid && packet.DataType != TAprsDataType::dtBeacon && !hadOwnRangeData)
    GiveDefaultPhg(packet);
}

void DecodeDfs(TAprsPacket& packet) {
  const std::string_view comment = packet.Comment;
  if (!StartsWithUpper(comment, "DFS")) return;
  const std::string_view dfs = text::Trim(text::Copy(comment, 4, kExtensionLength));
  if (dfs.size() != kExtensionLength) return;

  TDFReportRec& report = packet.DFReport;
  report.DfsString = "DFS";
  report.DfsString += dfs;
  int s = text::DigitValue(dfs[0], 0);
  if (s == 0) s = 1;
  report.Signal = s;
  // A weaker signal stands for a lower power: 100, 25, 9, 4, 4, 4, 1, 1, 1 for s = 1..9.
  const int root = Round(10.0 / s);
  report.Power = root * root;
  const int gainRatio = DecodeAntenna(dfs[1], dfs[2], dfs[3], report.Antenna);
  report.Range = RadioRange(report.Power, report.Antenna.Haat, gainRatio);
  report.HasReport = true;
}

//   <IGATE,MSG_CNT=43,LOC_CNT=14
void DecodeStationCaps(std::string_view info, TAprsPacket& packet) {
  packet.Capabilities.RawData = std::string(info);
  packet.Capabilities.HasCapabilities = true;
}

}  // namespace aprs
