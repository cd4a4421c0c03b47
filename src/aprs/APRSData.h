// The decoded APRS packet record and the data-type tables.
//
// Text is 8-bit throughout: every string holds the bytes as heard, and
// callsigns are stored in upper case. Times are TDateTime values (days since
// 1899-12-30 00:00 UTC, the time of day as the fraction).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace aprs {

using TDateTime = double;

enum class TAprsDataType : std::uint8_t {
  dtUnknown,
  dtBeacon,
  dtMicECurrent,
  dtMicEOld,
  dtPosition,
  dtPeetBrosUII1,
  dtRawGPSorU2K,
  dtMicroFinder,
  dtMapFeature,
  dtTMD700,
  dtItem,
  dtPeetBrosUII2,
  dtShelterData,
  dtInvalidOrTestData,
  dtSpaceWeather,
  dtPositionTime,
  dtMessage,
  dtObject,
  dtStationCaps,
  dtPositionMsg,
  dtStatus,
  dtQuery,
  dtPositionTimeMsg,
  dtTelemetry,
  dtMaidenheadGridLoc,
  dtWeatherReport,
  dtMicE,
  dtUserDefined,
  dtThirdParty,
};

inline constexpr int kDataTypeCount = 29;

// Each entry is the identifier character followed by the description.
extern const std::array<std::string_view, kDataTypeCount> DataTypeTable;

// The enumeration names ("dtMicE"), shown in the station list's Type column.
std::string_view DataTypeName(TAprsDataType type);

// Message kinds of TAprsMessageData::MsgType.
enum TAprsMessageType : std::uint8_t {
  mtUnknown,
  mtGeneral,
  mtBulletin,
  mtAnnouncement,
  mtNWS,
  mtAck,
  mtRej,
  mtAutoAnswer,
};

inline constexpr int kMessageTypeCount = 8;
extern const std::array<std::string_view, kMessageTypeCount> MessageTypeNames;

struct TCallsignRec {
  std::string Callsign;  // full callsign with SSID, upper case
  std::string Call;      // without a numeric SSID suffix
};

struct TCoordinateRec {
  std::string Text;    // "4903.50N" / "07201.75W"
  double Value = 0.0;  // degrees, north and east positive
};

struct TPositionRec {
  std::string RawGps;
  TCoordinateRec Latitude;
  TCoordinateRec Longitude;
  int Course = 0;    // degrees
  int Speed = 0;     // knots
  int Altitude = 0;  // feet
  bool Mobile = false;
  bool Valid = false;
  std::string GridSquare;
};

struct TAntenna {
  int Gain = 0;     // dB
  int Haat = 0;     // feet above average terrain
  int Heading = 0;  // degrees, 0 also means omni
  std::string HeadingName;
};

struct TStationCapabilitiesRec {
  std::string RawData;
  float Range = 0.0F;  // miles
  int Power = 0;       // watts
  TAntenna Antenna;
  std::string PhgString;
  bool PhgNonStandard = false;
  int BeaconRate = 0;
  bool DefaultPhg = false;
  bool HasCapabilities = false;
};

struct TDFReportRec {
  float Range = 0.0F;  // miles
  int Signal = 0;
  int Power = 0;
  TAntenna Antenna;
  std::string DfsString;
  bool HasReport = false;
};

struct TAprsMessageData {
  std::string Addressee;
  std::string SeqNo;
  std::string Text;
  std::uint8_t MsgType = mtUnknown;
  std::string NwsState;
  int MsgIndex = 0;
};

struct TAprsObjectData {
  bool Active = false;
  std::string Name;
};

// Section flags of AsText; the report prints its sections in its own order.
enum TAsTextSection : std::uint8_t {
  tsHeader = 1,
  tsPosition = 2,
  tsMessage = 4,
  tsObject = 8,
  tsDfReport = 16,
  tsWeather = 32,
  tsCapabilities = 64,
  tsAll = 127,
};

class TAprsPacket {
 public:
  TAprsPacket() = default;

  std::string Comment;
  TAprsDataType DataType = TAprsDataType::dtUnknown;
  std::string DestCallsign;
  TDFReportRec DFReport;
  std::vector<std::string> Digipeaters;
  int HopCount = 0;
  std::string ErrorMessage;
  bool FromTHD7 = false;
  bool FromTMD700 = false;
  bool HeardDirectly = true;
  std::string InfoField;
  TAprsMessageData Message;
  TAprsObjectData AprsObject;
  TPositionRec Position;
  std::string RawPacket;
  std::string ReversePath;
  TCallsignRec Source;
  std::string Header;
  TStationCapabilitiesRec Capabilities;
  char SymbolCode = 0;
  char SymbolTable = 0;
  bool ViaTcpXX = false;
  bool ViaInternet = false;
  TDateTime Received = 0.0;
  TDateTime TimeStamp = 0.0;
  bool TimeStampValid = false;
  bool IsValid = false;
  TDateTime WxTime = 0.0;
  double Pressure = 0.0;
  int Humidity = 0;
  double RainLastHour = 0.0;
  double Rain24Hours = 0.0;
  double RainSinceMidnight = 0.0;
  int Temperature = 0;
  int WindDirection = 0;
  int WindGust = 0;
  int WindSpeed = 0;
  bool HasWeather = false;

  char DataTypeChar() const;
  std::string_view DataTypeText() const;

  // The sectioned multi-line report (TextReport.cpp); flags are TAsTextSection bits.
  std::string AsText(std::uint8_t flags) const;
};

}  // namespace aprs
