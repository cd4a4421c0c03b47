// Position decoding: uncompressed and compressed positions, time stamps, beacons.
#include "APRSParser.h"

namespace aprs {

void DecodePosition(std::string_view&, TAprsPacket&) {}
void DecodeTimeStamp(std::string_view, TAprsPacket&) {}
void DecodePositionNoTime(std::string_view, TAprsPacket&) {}
void DecodePositionWithTime(std::string_view, TAprsPacket&) {}
void DecodeGridBeacon(std::string_view, TAprsPacket&) {}
void DecodeBeacon(std::string_view, TAprsPacket&) {}
bool IsMobileSymbol(char, char) { return false; }

}  // namespace aprs
