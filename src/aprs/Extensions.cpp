// Data extensions: PHG, RNG, DFS, the default PHG and station capabilities.
#include "APRSParser.h"

namespace aprs {

bool RelaxedPhgChecking = true;
const std::array<std::string_view, 9> HeadingNames = {"OMNI", "NE", "E", "SE", "S", "SW", "W", "NW", "N"};

void DecodePhg(TAprsPacket&) {}
void DecodeDfs(TAprsPacket&) {}
float RadioRange(int, int, int) { return 0.0F; }
void DecodeStationCaps(std::string_view, TAprsPacket&) {}

}  // namespace aprs
