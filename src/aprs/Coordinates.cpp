// Coordinate text to degrees and back.
//
// APRS writes a latitude as DDMM.mmH (4903.50N) and a longitude as DDDMM.mmH
// (07201.75W). Position ambiguity blanks minute digits with spaces; such a
// text is kept as sent and its blank parts count 0.
#include <charconv>
#include <cmath>
#include <optional>

#include "APRSParser.h"
#include "Text.h"
#include "Units.h"

namespace aprs {

namespace {

constexpr std::size_t kLatitudeTextLength = 8;
constexpr std::size_t kLongitudeTextLength = 9;

// Plain "ddd.dd" without sign or exponent, as nearly every position sends it:
// digits over a power of ten is one correctly rounded division, so the result is
// the very double that the general conversion gives, only without its cost.
std::optional<double> PlainDecimal(std::string_view s) {
  constexpr double kPowersOfTen[] = {1.0, 10.0, 100.0, 1000.0, 10000.0, 100000.0, 1000000.0, 10000000.0};
  constexpr std::size_t kMaxDigits = 7;
  long long digits = 0;
  std::size_t count = 0;
  std::size_t decimals = 0;
  bool point = false;
  for (const char c : s) {
    if (c == '.' && !point) {
      point = true;
    } else if (text::IsDigit(c) && count < kMaxDigits) {
      digits = digits * 10 + (c - '0');
      ++count;
      if (point) ++decimals;
    } else {
      return std::nullopt;
    }
  }
  if (count == 0) return std::nullopt;
  return static_cast<double>(digits) / kPowersOfTen[decimals];
}

// A part of a coordinate text: surrounding spaces are allowed, anything that
// is not a number counts 0.
double PartValue(std::string_view part) {
  const std::string_view trimmed = text::Trim(part);
  if (const auto plain = PlainDecimal(trimmed)) return *plain;
  return text::ToDouble(trimmed).value_or(0.0);
}

// Degrees with leading zeros to `degreeDigits`, minutes "%05.2f", then the
// hemisphere letter. Minutes that round to 60.00 are written so, not carried.
// Minutes with two decimals, rounded as the exact binary value rounds. The
// integer path is taken unless the value lies too close to a rounding
// midpoint for the scaled product to decide; then to_chars settles it.
std::to_chars_result FormatHundredths(char* first, char* last, double minutes) {
  constexpr double kMaxFast = 1e12;
  const double scaled = minutes * 100.0;
  const double below = std::floor(scaled);
  const double fraction = scaled - below;
  if (!(minutes >= 0.0 && minutes < kMaxFast) || std::fabs(fraction - 0.5) < 1e-6)
    return std::to_chars(first, last, minutes, std::chars_format::fixed, 2);
  const auto hundredths = static_cast<long long>(below) + (fraction > 0.5 ? 1 : 0);
  auto r = std::to_chars(first, last, hundredths / 100);
  if (r.ec != std::errc() || last - r.ptr < 3) return {last, std::errc::value_too_large};
  const auto cents = static_cast<int>(hundredths % 100);
  *r.ptr++ = '.';
  *r.ptr++ = static_cast<char>('0' + cents / 10);
  *r.ptr++ = static_cast<char>('0' + cents % 10);
  return r;
}

std::string FormatCoordinate(double degrees, std::size_t degreeDigits, char positive, char negative) {
  if (!std::isfinite(degrees)) degrees = 0.0;
  const char hemisphere = degrees >= 0.0 ? positive : negative;
  const double magnitude = std::fabs(degrees);
  const double whole = std::trunc(magnitude);
  const double minutes = (magnitude - whole) * units::kMinutesPerDegree;

  // to_chars never consults the locale: "." stays the decimal point.
  char wholeText[400];
  const auto wholeEnd = std::to_chars(wholeText, wholeText + sizeof wholeText, whole, std::chars_format::fixed, 0);
  char minuteText[32];
  const auto minuteEnd = FormatHundredths(minuteText, minuteText + sizeof minuteText, minutes);

  const std::string_view wholeView(wholeText, static_cast<std::size_t>(wholeEnd.ptr - wholeText));
  const std::string_view minuteView(minuteText, static_cast<std::size_t>(minuteEnd.ptr - minuteText));
  constexpr std::size_t kMinuteWidth = 5;

  std::string out;
  out.reserve(degreeDigits + kMinuteWidth + 1);
  if (wholeView.size() < degreeDigits) out.append(degreeDigits - wholeView.size(), '0');
  out += wholeView;
  if (minuteView.size() < kMinuteWidth) out.append(kMinuteWidth - minuteView.size(), '0');
  out += minuteView;
  out += hemisphere;
  return out;
}

}  // namespace

double CoordinateValue(std::string_view coordinate) {
  std::size_t degreeDigits = 0;
  if (coordinate.size() == kLatitudeTextLength) {
    degreeDigits = 2;
  } else if (coordinate.size() == kLongitudeTextLength) {
    degreeDigits = 3;
  } else {
    return 0.0;
  }
  const double degrees = PartValue(coordinate.substr(0, degreeDigits));
  const double minutes = PartValue(coordinate.substr(degreeDigits, 5));
  double value = degrees + minutes / units::kMinutesPerDegree;
  const char hemisphere = coordinate.back();
  // A zero stays +0, so that it never prints as "-0".
  if ((hemisphere == 'S' || hemisphere == 'W' || hemisphere == 's' || hemisphere == 'w') && value != 0.0)
    value = -value;
  return value;
}

TCoordinateRec ParseCoordinate(std::string_view coordinate) {
  TCoordinateRec rec;
  rec.Text = std::string(coordinate);
  rec.Value = CoordinateValue(coordinate);
  return rec;
}

std::string FormatLatitude(double degrees) { return FormatCoordinate(degrees, 2, 'N', 'S'); }

std::string FormatLongitude(double degrees) { return FormatCoordinate(degrees, 3, 'E', 'W'); }

}  // namespace aprs
