// Messages, objects, items, status reports and raw GPS.
#include "APRSParser.h"

namespace aprs {

void DecodeMessage(std::string_view, TAprsPacket&) {}
void DecodeObject(std::string_view, TAprsPacket&) {}
void DecodeItem(std::string_view, TAprsPacket&) {}
void DecodeStatus(std::string_view, TAprsPacket&) {}
void DecodeRawGps(std::string_view, TAprsPacket&) {}

}  // namespace aprs
