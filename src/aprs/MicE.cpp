// Mic-E positions: latitude in the destination, longitude and motion in the information field.
#include "APRSParser.h"

namespace aprs {

void DecodeMicE(std::string_view, TAprsPacket&) {}

}  // namespace aprs
