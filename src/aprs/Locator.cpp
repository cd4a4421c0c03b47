// Maidenhead locators: a field of 20 x 10 degrees (letters A..R), a square of
// 2 x 1 degrees (digits), a subsquare of 5 x 2.5 minutes (letters A..X).
//
//   EM29   -> the centre of the square,    39.5 N,    95.0 W
//   EM29QE -> the centre of the subsquare, 39.1875 N, 94.625 W
#include <cmath>

#include "APRSParser.h"
#include "Text.h"

namespace aprs {

namespace {

constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view kDigits = "0123456789";

constexpr double kSubsquaresPerDegree = 24.0;
constexpr double kHalfSubsquare = 1.0 / 48.0;
// A locator cannot name the edge of the world itself; the edge falls into the last field.
constexpr double kLongitudeEdge = 179.99999999;
constexpr double kLatitudeEdge = 89.99999999;

bool IsFieldLetter(char c) { return c >= 'A' && c <= 'R'; }
bool IsSubsquareLetter(char c) { return c >= 'A' && c <= 'X'; }

int LetterIndex(char c) { return c - 'A'; }
int DigitIndex(char c) { return c - '0'; }

}  // namespace

TLatLon LocatorToLatLon(std::string_view locatorText) {
  TLatLon result;
  const std::string_view trimmed = text::Trim(locatorText);
  if (trimmed.size() != 4 && trimmed.size() != 6) return result;

  // A four-character locator names the square: its centre is subsquare "MM" without the half-subsquare offset.
  char loc[6] = {'M', 'M', 'M', 'M', 'M', 'M'};
  for (std::size_t i = 0; i < trimmed.size(); ++i) loc[i] = text::ToUpper(trimmed[i]);
  const double offset = trimmed.size() == 4 ? 0.0 : kHalfSubsquare;

  if (!IsFieldLetter(loc[0]) || !IsFieldLetter(loc[1]) || !text::IsDigit(loc[2]) || !text::IsDigit(loc[3]) ||
      !IsSubsquareLetter(loc[4]) || !IsSubsquareLetter(loc[5]))
    return result;

  result.Longitude =
      (LetterIndex(loc[0]) * 10 + DigitIndex(loc[2]) + LetterIndex(loc[4]) / kSubsquaresPerDegree + offset) * 2 - 180;
  result.Latitude =
      LetterIndex(loc[1]) * 10 + DigitIndex(loc[3]) + LetterIndex(loc[5]) / kSubsquaresPerDegree + offset - 90;
  return result;
}

std::string LatLonToLocator(double longitude, double latitude) {
  // Out of the world (or not a number): no locator, which the caller sees as "not six characters".
  if (!(longitude >= -180.0 && longitude <= 180.0 && latitude >= -90.0 && latitude <= 90.0)) return {};
  if (longitude == 180.0) longitude = kLongitudeEdge;
  if (longitude == -180.0) longitude = -kLongitudeEdge;
  if (latitude == 90.0) latitude = kLatitudeEdge;
  if (latitude == -90.0) latitude = -kLatitudeEdge;

  const double x = (longitude + 180.0) / 2.0;
  const double y = latitude + 90.0;
  const auto wholeX = static_cast<int>(std::trunc(x));
  const auto wholeY = static_cast<int>(std::trunc(y));
  const auto subX = static_cast<int>(std::trunc((x - std::trunc(x)) * kSubsquaresPerDegree));
  const auto subY = static_cast<int>(std::trunc((y - std::trunc(y)) * kSubsquaresPerDegree));

  std::string out(6, ' ');
  out[0] = kLetters[static_cast<std::size_t>(wholeX / 10)];
  out[1] = kLetters[static_cast<std::size_t>(wholeY / 10)];
  out[2] = kDigits[static_cast<std::size_t>(wholeX % 10)];
  out[3] = kDigits[static_cast<std::size_t>(wholeY % 10)];
  out[4] = kLetters[static_cast<std::size_t>(subX)];
  out[5] = kLetters[static_cast<std::size_t>(subY)];
  return out;
}

bool SetLocatorPosition(std::string_view locator, TAprsPacket& packet) {
  TPositionRec& pos = packet.Position;
  const TLatLon where = LocatorToLatLon(locator);
  if (where.Latitude == 0.0 || where.Longitude == 0.0) {
    pos.Valid = false;
    return false;
  }
  pos.GridSquare = text::Upper(text::Trim(locator));
  pos.Latitude.Value = where.Latitude;
  pos.Latitude.Text = FormatLatitude(where.Latitude);
  pos.Longitude.Value = where.Longitude;
  pos.Longitude.Text = FormatLongitude(where.Longitude);
  pos.Valid = true;
  return true;
}

}  // namespace aprs
