// Position decoding: uncompressed and compressed positions, time stamps, beacons.
#include "APRSParser.h"

namespace aprs {

void DecodePosition(std::string_view&, TAprsPacket&) {}
void DecodeTimeStamp(std::string_view, TAprsPacket&) {}
void DecodePositionNoTime(std::string_view, TAprsPacket&) {}
void DecodePositionWithTime(std::string_view, TAprsPacket&) {}
void DecodeGridBeacon(std::string_view, TAprsPacket&) {}
void DecodeBeacon(std::string_view, TAprsPacket&) {}
// Symbols of things that move: cars, trucks, boats, aircraft, people, bicycles...
// The primary table ('/') and the alternate table or an overlay have their own sets.
bool IsMobileSymbol(char table, char code) {
  constexpr std::string_view kPrimaryMobile = "<=>'()*0COPRSUXY[^abefgjkpsuv";
  constexpr std::string_view kAlternateMobile = "/0>AKOS^knsuv";
  // string_view::find, not strchr: a NUL code must not match the terminator.
  const std::string_view set = table == '/' ? kPrimaryMobile : kAlternateMobile;
  return set.find(code) != std::string_view::npos;
}

}  // namespace aprs
