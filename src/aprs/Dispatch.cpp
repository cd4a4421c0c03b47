// Information-field dispatch: one decoder per data type, then the PHG and DFS
// steps for every packet alike.
#include <array>

#include "APRSParser.h"

namespace aprs {

namespace {

using Decoder = void (*)(std::string_view, TAprsPacket&);

void DecodeNothing(std::string_view, TAprsPacket&) {}

// Indexed by TAprsDataType.
constexpr std::array<Decoder, kDataTypeCount> kDecoders = {
    DecodeNothing,           // dtUnknown
    DecodeBeacon,            // dtBeacon
    DecodeMicE,              // dtMicECurrent
    DecodeMicE,              // dtMicEOld
    DecodePositionNoTime,    // dtPosition
    DecodeWeatherReport,     // dtPeetBrosUII1
    DecodeRawGps,            // dtRawGPSorU2K
    DecodeNothing,           // dtMicroFinder
    DecodeNothing,           // dtMapFeature
    DecodeMicE,              // dtTMD700
    DecodeItem,              // dtItem
    DecodeWeatherReport,     // dtPeetBrosUII2
    DecodeNothing,           // dtShelterData
    DecodeNothing,           // dtInvalidOrTestData
    DecodeNothing,           // dtSpaceWeather
    DecodePositionWithTime,  // dtPositionTime
    DecodeMessage,           // dtMessage
    DecodeObject,            // dtObject
    DecodeStationCaps,       // dtStationCaps
    DecodePositionNoTime,    // dtPositionMsg
    DecodeStatus,            // dtStatus
    DecodeNothing,           // dtQuery
    DecodePositionWithTime,  // dtPositionTimeMsg
    DecodeNothing,           // dtTelemetry
    DecodeGridBeacon,        // dtMaidenheadGridLoc
    DecodeWeatherReport,     // dtWeatherReport
    DecodeMicE,              // dtMicE
    DecodeNothing,           // dtUserDefined
    DecodeNothing,           // dtThirdParty: the embedded packet is not unwrapped
};

}  // namespace

void DecodeInfoField(TAprsPacket& packet) {
  // No decoder writes InfoField, so they may all read it in place.
  const std::string_view info = packet.InfoField;
  const auto index = static_cast<std::size_t>(packet.DataType);
  if (index < kDecoders.size()) kDecoders[index](info, packet);
  DecodePhg(packet);
  DecodeDfs(packet);
}

}  // namespace aprs
