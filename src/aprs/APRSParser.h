// The monitor-line parser and the information-field decoders.
//
// One include for every caller of the decoding library. The decoders never
// throw to their callers and never read outside the text they are given; a
// field they cannot read leaves the packet's fields unset and may set
// ErrorMessage.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "APRSData.h"

namespace aprs {

// ---- Monitor-line parser (Parser.cpp) -------------------------------------

// Parses one cleaned monitor line; nothing when the line is not an APRS packet.
std::unique_ptr<TAprsPacket> ParsePacket(std::string_view line);

std::string StripUiTag(std::string_view line);
TAprsDataType DataTypeOf(std::string_view info);
TCallsignRec SplitCallsign(std::string_view text);
void ParsePath(std::string_view path, TAprsPacket& packet);
// ViaTcpXX and ViaInternet from the path text (TCPXX, TCPIP or an "<UI C>" tag), any case.
void SetPathFlags(std::string_view path, TAprsPacket& packet);
int CountHops(const TAprsPacket& packet);

// Cuts the first token, delimited by any of `delimiters`, off `text`.
std::string NextToken(std::string& text, std::string_view delimiters);

// The current UTC time; the clock can be replaced so that decoding is repeatable.
using TUtcClock = std::function<TDateTime()>;
TDateTime NowUtc();
TDateTime SystemNowUtc();
// Installs `clock` (an empty function restores the system clock); returns the previous one.
TUtcClock SetUtcClock(TUtcClock clock);

// ---- Information-field dispatch (Dispatch.cpp) ----------------------------

void DecodeInfoField(TAprsPacket& packet);

// ---- Position decoding (Position.cpp, Coordinates.cpp, Locator.cpp) -------

struct TLatLon {
  double Latitude = 0.0;
  double Longitude = 0.0;
};

// Decodes one position at the start of `text` and removes what it used.
void DecodePosition(std::string_view& text, TAprsPacket& packet);
void DecodeTimeStamp(std::string_view stamp, TAprsPacket& packet);
TCoordinateRec ParseCoordinate(std::string_view text);
double CoordinateValue(std::string_view text);
std::string FormatLatitude(double degrees);
std::string FormatLongitude(double degrees);
TLatLon LocatorToLatLon(std::string_view locator);
std::string LatLonToLocator(double longitude, double latitude);
// Takes the position of a Maidenhead locator: on success stores it upper case in
// GridSquare with the coordinates and sets Position.Valid; else clears Valid and
// returns false, leaving the caller to write its own ErrorMessage.
bool SetLocatorPosition(std::string_view locator, TAprsPacket& packet);
bool IsMobileSymbol(char table, char code);

void DecodePositionNoTime(std::string_view info, TAprsPacket& packet);
void DecodePositionWithTime(std::string_view info, TAprsPacket& packet);
void DecodeGridBeacon(std::string_view info, TAprsPacket& packet);
void DecodeBeacon(std::string_view info, TAprsPacket& packet);

// ---- Mic-E (MicE.cpp) -----------------------------------------------------

void DecodeMicE(std::string_view info, TAprsPacket& packet);

// ---- Data extensions and station capabilities (Extensions.cpp) ------------

// One setting for the whole parser: look for PHG away from the comment's start.
extern bool RelaxedPhgChecking;
extern const std::array<std::string_view, 9> HeadingNames;

void DecodePhg(TAprsPacket& packet);
void DecodeDfs(TAprsPacket& packet);
float RadioRange(int power, int height, int gain);
void DecodeStationCaps(std::string_view info, TAprsPacket& packet);

// ---- Weather (Weather.cpp) ------------------------------------------------

void DecodeWeather(TAprsPacket& packet);
void DecodeWeatherReport(std::string_view info, TAprsPacket& packet);

// ---- Messages, objects, items, status, raw GPS (Messages.cpp, Objects.cpp) -

void DecodeMessage(std::string_view info, TAprsPacket& packet);
void DecodeObject(std::string_view info, TAprsPacket& packet);
void DecodeItem(std::string_view info, TAprsPacket& packet);
void DecodeStatus(std::string_view info, TAprsPacket& packet);
void DecodeRawGps(std::string_view info, TAprsPacket& packet);

}  // namespace aprs
