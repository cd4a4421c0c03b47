// The packet's sectioned text report.
#include "APRSData.h"

namespace aprs {

std::string TAprsPacket::AsText(std::uint8_t) const { return {}; }

}  // namespace aprs
