// Coordinate text to degrees and back, and Maidenhead locators.
#include "APRSParser.h"

namespace aprs {

TCoordinateRec ParseCoordinate(std::string_view) { return {}; }
double CoordinateValue(std::string_view) { return 0.0; }
std::string FormatLatitude(double) { return {}; }
std::string FormatLongitude(double) { return {}; }
TLatLon LocatorToLatLon(std::string_view) { return {}; }
std::string LatLonToLocator(double, double) { return {}; }

}  // namespace aprs
