// Weather reports: the field patterns matched over the whole information field.
#include "APRSParser.h"

namespace aprs {

void DecodeWeather(TAprsPacket&) {}
void DecodeWeatherReport(std::string_view, TAprsPacket&) {}

}  // namespace aprs
