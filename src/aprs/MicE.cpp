// Mic-E positions: latitude, message bits and three flags in the six characters
// of the AX.25 destination; longitude, speed, course and symbol in the first
// eight bytes of the information field.
//
//   N0CALL>S32UVT:`(#f&PO>/]Hello     33 25.64N, 112 07.74W, 105 kn, 251 deg
#include <cmath>

#include "APRSParser.h"
#include "Text.h"

namespace aprs {

namespace {

// Flag bits of a destination character, beside its digit in the low four bits.
constexpr int kCustomBit = 16;
constexpr int kStandardBit = 32;

constexpr std::size_t kDestLength = 6;    // the six encoded characters
constexpr std::size_t kMaxComment = 255;  // the longest comment kept
constexpr int kByteOffset = 28;           // every information byte is sent as value + 28
constexpr int kLongitudeOffset = 100;     // destination character 5 adds 100 degrees
constexpr int kSpeedWrap = 800;           // speeds of 800 knots and more wrap around
constexpr int kCourseWrap = 400;          // courses of 400 and more wrap around

// The digit and flag bits of one destination character. Characters outside
// the Mic-E alphabet never reach here: the destination checks reject them.
int DestValue(char c) {
  if (text::IsDigit(c)) return c - '0';
  if (c >= 'A' && c <= 'J') return kCustomBit | (c - 'A');
  if (c == 'K') return kCustomBit;
  if (c >= 'P' && c <= 'Y') return kStandardBit | (c - 'P');
  if (c == 'Z') return kStandardBit;
  return 0;  // 'L': a space in the encoded position, digit 0 and no flags
}

int DestDigit(char c) { return DestValue(c) & 0x0F; }
bool HasStandardBit(char c) { return (DestValue(c) & kStandardBit) != 0; }
bool HasMessageBit(char c) { return DestValue(c) >= kCustomBit; }

bool IsCustomChar(char c) { return c >= 'A' && c <= 'K'; }
bool IsStandardOrDigit(char c) { return text::IsDigit(c) || c == 'L' || (c >= 'P' && c <= 'Z'); }
bool IsCustomOrDigit(char c) { return text::IsDigit(c) || (c >= 'A' && c <= 'L'); }

// A destination carries a Mic-E position when its first six characters are
// Mic-E characters (custom and standard message characters never mixed) and
// any suffix is an SSID "-n" or "-nn".
bool IsMicEDestination(std::string_view dest) {
  if (dest.size() < kDestLength || dest.size() == kDestLength + 1) return false;
  const bool custom = IsCustomChar(dest[0]) || IsCustomChar(dest[1]) || IsCustomChar(dest[2]);
  for (std::size_t i = 0; i < 3; ++i)
    if (custom ? !IsCustomOrDigit(dest[i]) : !IsStandardOrDigit(dest[i])) return false;
  for (std::size_t i = 3; i < kDestLength; ++i)
    if (!IsStandardOrDigit(dest[i])) return false;
  if (dest.size() > kDestLength) {
    if (dest[6] != '-' || !text::IsDigit(dest[7])) return false;
    if (dest.size() == 9 && !text::IsDigit(dest[8])) return false;
  }
  return true;
}

// Value of information byte `index` (0-based) less the Mic-E offset, or -1
// when the field ends before it. Bytes above 127 count as unsigned.
int InfoByte(std::string_view info, std::size_t index) {
  if (index >= info.size()) return -1;
  return static_cast<unsigned char>(info[index]) - kByteOffset;
}

bool InRange(int v, int high) { return v >= 0 && v <= high; }

}  // namespace

void DecodeMicE(std::string_view info, TAprsPacket& packet) {
  const std::string_view dest = packet.DestCallsign;
  if (!IsMicEDestination(dest)) return;

  packet.Message.MsgIndex = ((DestValue(dest[0]) & kCustomBit) != 0 ? 8 : 0) + (HasMessageBit(dest[0]) ? 4 : 0) +
                            (HasMessageBit(dest[1]) ? 2 : 0) + (HasMessageBit(dest[2]) ? 1 : 0);

  const int latDegrees = 10 * DestDigit(dest[0]) + DestDigit(dest[1]);
  const int latMinutes = 10 * DestDigit(dest[2]) + DestDigit(dest[3]);
  const int latHundredths = 10 * DestDigit(dest[4]) + DestDigit(dest[5]);
  double latitude = latDegrees + latMinutes / 60.0 + latHundredths / 6000.0;
  if (!HasStandardBit(dest[3])) latitude = -latitude;  // South
  TPositionRec& pos = packet.Position;
  pos.Latitude.Value = latitude;
  pos.Latitude.Text = FormatLatitude(latitude);

  // Symbol code before table, the reverse of the other position formats.
  packet.SymbolCode = info.size() > 6 ? info[6] : '\0';
  packet.SymbolTable = info.size() > 7 ? info[7] : '\0';
  pos.Mobile = IsMobileSymbol(packet.SymbolTable, packet.SymbolCode);
  if (info.size() > 8) {
    packet.FromTHD7 = info[8] == '>';
    packet.FromTMD700 = info[8] == ']';
  }

  int degrees = InfoByte(info, 0);
  int minutes = InfoByte(info, 1);
  const int hundredths = InfoByte(info, 2);
  if (!InRange(degrees, 99) || !InRange(minutes, 99) || !InRange(hundredths, 99)) return;

  if (HasStandardBit(dest[4])) degrees += kLongitudeOffset;
  if (degrees >= 190)
    degrees -= 190;  // 0 to 9 degrees are sent as 190 to 199
  else if (degrees >= 180)
    degrees -= 80;                   // 100 to 109 degrees are sent as 180 to 189
  if (minutes >= 60) minutes -= 60;  // 0 to 9 minutes are sent as 60 to 69
  double longitude = degrees + minutes / 60.0 + hundredths / 6000.0;
  if (HasStandardBit(dest[5])) longitude = -longitude;  // West
  pos.Longitude.Value = longitude;
  pos.Longitude.Text = FormatLongitude(longitude);
  // The destination's digits reach 99 59.99; a latitude beyond the pole is no position.
  pos.Valid = std::abs(latitude) <= 90.0;

  const int sp = InfoByte(info, 3);
  const int dc = InfoByte(info, 4);
  const int se = InfoByte(info, 5);
  if (!InRange(sp, 99) || !InRange(dc, 97) || !InRange(se, 99)) return;

  // DC carries the speed's units in its tens and the course's hundreds in its
  // units, so only its tens belong to the speed: integer division, as every
  // Mic-E encoder means it.
  int speed = sp * 10 + dc / 10;
  int course = (dc % 10) * 100 + se;
  if (speed >= kSpeedWrap) speed -= kSpeedWrap;
  if (course >= kCourseWrap) course -= kCourseWrap;
  if (course > 0) {
    pos.Course = course;
    pos.Speed = speed;
  }

  packet.Comment = std::string(text::Copy(info, 9, kMaxComment));
}

}  // namespace aprs
