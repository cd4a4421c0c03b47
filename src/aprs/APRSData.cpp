#include "APRSData.h"

namespace aprs {

const std::array<std::string_view, kDataTypeCount> DataTypeTable = {
    " Unknown/Invalid",
    " Beacon",
    "\034Current Mic-E Data (Rev 0 beta)",
    "\035Old Mic-E Data (Rev 0 beta)",
    "!Position without timestamp (no APRS messaging), or Ultimeter 2000 WX Station",
    "#Peet Bros U-II Weather Station",
    "$Raw GPS data or Ultimeter 2000",
    "%Agrelo DFJr / MicroFinder",
    "&[Reserved - Map Feature]",
    "'Old Mic-E Data (but current for TM-D700)",
    ")Item",
    "*Peet Bros U-II Weather Station",
    "+[Reserver - Shelter data with time]",
    ",Invalid data or test data",
    ".[Reserver - Space Weather]",
    "/Position with timestamp (no APRS messaging)",
    ":Message",
    ";Object",
    "<Station Capabilities",
    "=Position without timestamp (with APRS messaging)",
    ">Status",
    "?Query",
    "@Position with timestamp (with APRS messaging)",
    "TTelemetry data",
    "[Maidenhead grid locator beacon (obsolete)",
    "_Weather Report (without position)",
    "`Current Mic-E data",
    "{User-Defined APRS packet format",
    "}Third-party traffic",
};

namespace {
constexpr std::array<std::string_view, kDataTypeCount> kDataTypeNames = {
    "dtUnknown",       "dtBeacon",       "dtMicECurrent",     "dtMicEOld",           "dtPosition",
    "dtPeetBrosUII1",  "dtRawGPSorU2K",  "dtMicroFinder",     "dtMapFeature",        "dtTMD700",
    "dtItem",          "dtPeetBrosUII2", "dtShelterData",     "dtInvalidOrTestData", "dtSpaceWeather",
    "dtPositionTime",  "dtMessage",      "dtObject",          "dtStationCaps",       "dtPositionMsg",
    "dtStatus",        "dtQuery",        "dtPositionTimeMsg", "dtTelemetry",         "dtMaidenheadGridLoc",
    "dtWeatherReport", "dtMicE",         "dtUserDefined",     "dtThirdParty",
};

std::size_t IndexOf(TAprsDataType type) {
  const auto i = static_cast<std::size_t>(type);
  return i < kDataTypeCount ? i : 0;
}
}  // namespace

const std::array<std::string_view, kMessageTypeCount> MessageTypeNames = {
    "Unknown", "General", "Bulletin", "Announcement", "NWS", "Ack", "Rej", "AutoAnswer",
};

std::string_view DataTypeName(TAprsDataType type) { return kDataTypeNames[IndexOf(type)]; }

char TAprsPacket::DataTypeChar() const { return DataTypeTable[IndexOf(DataType)][0]; }

std::string_view TAprsPacket::DataTypeText() const { return DataTypeTable[IndexOf(DataType)].substr(1); }

}  // namespace aprs
