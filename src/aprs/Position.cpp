// Position decoding: uncompressed and compressed positions, position reports
// with and without a time stamp, grid-locator beacons and plain beacons.
//
//   !4903.50N/07201.75W-Test      uncompressed: latitude, table, longitude, code
//   =/5L!!<*e7>7P[                compressed: table, 4+4 base-91 bytes, code, c, s, T
//   @092345z4903.50N/07201.75W>   the same after a seven-character time stamp
#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <exception>
#include <limits>

#include "APRSParser.h"
#include "Calendar.h"
#include "Text.h"
#include "Units.h"

namespace aprs {

namespace {

constexpr std::size_t kUncompressedLength = 19;
constexpr std::size_t kCompressedLength = 13;
constexpr std::size_t kTimeStampLength = 7;

// Base-91 scale factors of the compressed position: degrees per unit.
constexpr double kLatitudeUnitsPerDegree = 380926.0;
constexpr double kLongitudeUnitsPerDegree = 190463.0;
constexpr int kBase91Offset = 33;

// Compressed course/speed byte c = '{' announces a pre-computed radio range.
constexpr char kRangeFlag = '{';
constexpr double kSpeedBase = 1.08;
constexpr double kAltitudeBase = 1.002;
// Compression type bits: the NMEA source (bits worth 8 and 16) says GGA, which carries an altitude.
constexpr int kNmeaSourceMask = 0x18;
constexpr int kNmeaSourceGga = 0x10;

constexpr char kWeatherSymbol = '_';

constexpr std::string_view kInvalidPosition = "Invalid position (lat/lon) value";
constexpr std::string_view kInvalidCompressed = "Invalid compressed position format";
constexpr std::string_view kInvalidGridLocator = "Invalid grid locator";
constexpr std::string_view kInvalidZeroLatLon = "Invalid lat/lon - zero value";
constexpr std::string_view kPositionError = "Error parsing position: ";

// Character n (1-based) of a field, or NUL when the field is shorter.
char CharAt(std::string_view s, std::size_t pos1) { return pos1 >= 1 && pos1 <= s.size() ? s[pos1 - 1] : '\0'; }

int Code(char c) { return static_cast<unsigned char>(c); }

long Base91(std::string_view four) {
  long v = 0;
  for (const char c : four) v = v * 91 + (Code(c) - kBase91Offset);
  return v;
}

bool InWorld(double latitude, double longitude) {
  return latitude >= -90.0 && latitude <= 90.0 && longitude >= -180.0 && longitude <= 180.0;
}

// Rounds half to even into an int, saturating: hostile bytes can ask for 1.002^20000 feet.
int RoundToInt(double v) {
  if (!(v > std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  if (!(v < std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  return static_cast<int>(text::RoundHalfEven(v));
}

void InvalidPosition(TAprsPacket& packet, std::string_view message) {
  packet.Position.Valid = false;
  packet.ErrorMessage = std::string(message);
}

//   4903.50N/07201.75W-   latitude (8), table, longitude (9), code
void DecodeUncompressed(std::string_view& textInOut, TAprsPacket& packet) {
  const std::string_view field = textInOut.substr(0, kUncompressedLength);
  TPositionRec& pos = packet.Position;
  const std::string_view latitude = field.substr(0, 8);
  const std::string_view longitude = text::Copy(field, 10, 9);
  pos.Latitude = ParseCoordinate(latitude);
  pos.Longitude = ParseCoordinate(longitude);
  packet.SymbolTable = CharAt(field, 9);
  packet.SymbolCode = CharAt(field, 19);
  // A cut-off coordinate would read as 0 degrees and put the station on the
  // equator or the prime meridian; it is no position at all.
  if (latitude.size() != 8 || longitude.size() != 9 || !InWorld(pos.Latitude.Value, pos.Longitude.Value))
    InvalidPosition(packet, kInvalidPosition);
  textInOut.remove_prefix(field.size());
}

//   /5L!!<*e7>7P[   table, latitude (4), longitude (4), code, c, s, T
// Returns false when the field is too short, leaving the text as it was.
bool DecodeCompressed(std::string_view& textInOut, TAprsPacket& packet) {
  if (textInOut.size() < kCompressedLength) {
    InvalidPosition(packet, kInvalidCompressed);
    return false;
  }
  const std::string_view field = textInOut.substr(0, kCompressedLength);
  TPositionRec& pos = packet.Position;

  char table = field[0];
  // Overlay digits travel as 'a'..'j' in a compressed position.
  if (table >= 'a' && table <= 'j') table = static_cast<char>('0' + (table - 'a'));
  packet.SymbolTable = table;
  packet.SymbolCode = field[9];

  const double latitude = 90.0 - static_cast<double>(Base91(field.substr(1, 4))) / kLatitudeUnitsPerDegree;
  const double longitude = -180.0 + static_cast<double>(Base91(field.substr(5, 4))) / kLongitudeUnitsPerDegree;
  pos.Latitude.Value = latitude;
  pos.Latitude.Text = FormatLatitude(latitude);
  pos.Longitude.Value = longitude;
  pos.Longitude.Text = FormatLongitude(longitude);
  // Bytes outside the base-91 alphabet can point past the poles; that is no position.
  if (!InWorld(latitude, longitude)) InvalidPosition(packet, kInvalidPosition);

  const char c = field[10];
  const int cv = Code(c) - kBase91Offset;
  const int sv = Code(field[11]) - kBase91Offset;
  const int tv = Code(field[12]) - kBase91Offset;
  if (c != ' ') {
    if (c >= '!' && c <= 'z') {
      pos.Course = cv * 4;
      pos.Speed = RoundToInt(std::pow(kSpeedBase, sv) - 1.0);
    } else if (c == kRangeFlag) {
      packet.Capabilities.Range = static_cast<float>(2.0 * std::pow(kSpeedBase, sv));
      packet.Capabilities.HasCapabilities = true;
    }
    if ((tv & kNmeaSourceMask) == kNmeaSourceGga) pos.Altitude = RoundToInt(std::pow(kAltitudeBase, cv * 91 + sv));
  }
  textInOut.remove_prefix(kCompressedLength);
  return true;
}

void DecodeWeatherIfStation(TAprsPacket& packet) {
  if (packet.SymbolCode != kWeatherSymbol) return;
  packet.HasWeather = true;
  DecodeWeather(packet);
}

bool IsWordChar(char c) { return text::IsDigit(c) || text::IsUpper(text::ToUpper(c)); }

// Local time minus UTC, in days, at the moment `utc`.
double LocalOffsetDays(TDateTime utc) {
  const auto seconds = static_cast<std::time_t>(std::floor((utc - calendar::kUnixEpochDays) * units::kSecondsPerDay));
  std::tm local{};
  if (localtime_r(&seconds, &local) == nullptr) return 0.0;
  return static_cast<double>(local.tm_gmtoff) / units::kSecondsPerDay;
}

}  // namespace

// Symbols of things that move: cars, trucks, boats, aircraft, people, bicycles...
// The primary table ('/') and the alternate table or an overlay have their own sets.
bool IsMobileSymbol(char table, char code) {
  constexpr std::string_view kPrimaryMobile = "<=>'()*0COPRSUXY[^abefgjkpsuv";
  constexpr std::string_view kAlternateMobile = "/0>AKOS^knsuv";
  // string_view::find, not strchr: a NUL code must not match the terminator.
  const std::string_view set = table == '/' ? kPrimaryMobile : kAlternateMobile;
  return set.find(code) != std::string_view::npos;
}

void DecodePosition(std::string_view& textInOut, TAprsPacket& packet) {
  TPositionRec& pos = packet.Position;
  if (textInOut.empty()) {
    pos.Valid = false;
    return;
  }
  pos.Valid = true;
  try {
    if (text::IsDigit(textInOut.front())) {
      DecodeUncompressed(textInOut, packet);
    } else if (!DecodeCompressed(textInOut, packet)) {
      return;
    }
    pos.Mobile = IsMobileSymbol(packet.SymbolTable, packet.SymbolCode);
  } catch (const std::exception& e) {
    pos.Valid = false;
    packet.ErrorMessage = std::string(kPositionError) + e.what();
  }
}

void DecodeTimeStamp(std::string_view stamp, TAprsPacket& packet) {
  const TDateTime received = packet.Received;
  packet.TimeStampValid = true;
  // Only a calendar date (years 1 to 9999) can take a day and a time from a stamp.
  if (!(received >= calendar::kFirstDay && received < calendar::kEndDay)) {
    packet.TimeStamp = received;
    return;
  }
  const char form = stamp.size() >= kTimeStampLength ? stamp[kTimeStampLength - 1] : '\0';
  const bool local = form == '/';
  const double offset = local ? LocalOffsetDays(received) : 0.0;

  // The parts start from the time received (local time for a local stamp); what the stamp holds replaces them.
  const calendar::TDateParts base = calendar::Split(received + offset);
  long long day = base.Day();
  long long hour = base.Hour();
  long long minute = base.Minute();
  long long second = base.Second();
  const auto part = [&stamp](std::size_t pos1, long long& value) {
    if (const auto number = text::ToInt(text::Copy(stamp, pos1, 2))) value = *number;
  };
  if (form == 'z' || form == '/') {
    part(1, day);
    part(3, hour);
    part(5, minute);
    second = 0;
  } else if (form == 'h') {
    part(1, hour);
    part(3, minute);
    part(5, second);
  }

  std::chrono::year_month month = base.Date.year() / base.Date.month();
  // A day later than today's is from last month: a report of the 30th heard on the 1st.
  if ((form == 'z' || form == '/') && day > base.Day()) month -= std::chrono::months{1};

  const auto stamped =
      calendar::Join(static_cast<int>(month.year()), static_cast<unsigned>(month.month()), day, hour, minute, second);
  packet.TimeStamp = stamped ? *stamped - offset : received;
}

void DecodePositionNoTime(std::string_view info, TAprsPacket& packet) {
  DecodePosition(info, packet);
  packet.Comment = std::string(info);
  DecodeWeatherIfStation(packet);
}

void DecodePositionWithTime(std::string_view info, TAprsPacket& packet) {
  DecodeTimeStamp(info.substr(0, kTimeStampLength), packet);
  std::string_view rest = info.substr(std::min(info.size(), kTimeStampLength));
  DecodePosition(rest, packet);
  packet.Comment = std::string(rest);
  DecodeWeatherIfStation(packet);
}

//   [EM29QE]Comment
void DecodeGridBeacon(std::string_view info, TAprsPacket& packet) {
  const std::size_t close = info.find(']');
  const std::string_view locator = text::Trim(info.substr(0, close));
  packet.Comment = close == std::string_view::npos ? std::string() : std::string(text::Trim(info.substr(close + 1)));
  if (!SetLocatorPosition(locator, packet)) packet.ErrorMessage = std::string(kInvalidGridLocator);
}

// A beacon's free text may name the station's locator: "Hello from EM29 station".
// Only a whole word counts, so that "PHG7220" does not yield the locator HG72.
void DecodeBeacon(std::string_view info, TAprsPacket& packet) {
  packet.Comment = std::string(info);
  const std::string_view field = text::Trim(info);
  // Upper-cased, read past the end as spaces.
  const auto at = [field](std::size_t i) { return i < field.size() ? text::ToUpper(field[i]) : ' '; };
  const auto isFieldLetter = [](char c) { return c >= 'A' && c <= 'R'; };
  for (std::size_t i = 0; i + 4 <= field.size(); ++i) {
    if (!isFieldLetter(at(i)) || !isFieldLetter(at(i + 1)) || !text::IsDigit(at(i + 2)) || !text::IsDigit(at(i + 3)))
      continue;
    if (i > 0 && IsWordChar(field[i - 1])) continue;
    const bool six = text::IsUpper(at(i + 4)) && text::IsUpper(at(i + 5));
    const std::size_t length = six ? 6 : 4;
    if (IsWordChar(at(i + length))) continue;
    if (SetLocatorPosition(field.substr(i, length), packet)) return;
    packet.ErrorMessage = std::string(kInvalidZeroLatLon);
  }
}

}  // namespace aprs
