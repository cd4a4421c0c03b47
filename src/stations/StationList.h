// The station list below the widgets: the columns and texts of a row, the
// clipboard text of Copy, the Locate blink sequence and the loader of the
// host's own station list.
//
// A row never holds a pointer into the station cache: the cache replaces,
// expires and removes entries on its own, and the list is rebuilt only on the
// clock tick or a command. A row keeps its texts and the station's callsign,
// and a command finds the station again by that callsign when it runs.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "APRSCache.h"
#include "APRSData.h"
#include "Colors.h"

namespace host {
class TclsOxb;
class TclsStationInfo;
}  // namespace host

namespace tarvik {

enum TStationColumn : int {
  scCallsign,
  scType,
  scSym,
  scPhg,
  scPower,
  scHeight,
  scGain,
  scDirection,
  scRange,
  scRawPacket,
};
inline constexpr int kStationColumnCount = 10;

struct TStationColumnDef {
  std::string_view Caption;
  int Width;  // pixels; 0 for the last column, which takes the rest of the width
};
extern const std::array<TStationColumnDef, kStationColumnCount> StationColumns;

// One row of the list: what its ten columns show, copied out of the cache
// entry when the list is rebuilt. The texts are made only for the rows on
// screen, so a rebuild of tens of thousands of rows stays cheap.
struct TStationRow {
  std::string Callsign;  // Source.Callsign: the first column, and how a command finds the station
  aprs::TAprsDataType DataType = aprs::TAprsDataType::dtUnknown;
  char SymbolTable = 0;
  char SymbolCode = 0;
  bool DefaultPhg = false;
  int Power = 0;
  int Haat = 0;
  int Gain = 0;
  float Range = 0.0F;
  std::string PhgString;
  std::string HeadingName;
  std::string RawPacket;
  // False once the row has let go of its station (Remove on a row whose entry
  // had gone); its texts stay until the next rebuild.
  bool Attached = true;
};

// Whether RefreshObjectView rebuilds the list: never while it is already being
// filled or while another page is shown; while updates are paused only when forced.
constexpr bool ShouldRefreshStationList(bool refreshing, bool pageActive, bool paused, bool force) {
  return !refreshing && pageActive && (!paused || force);
}

TStationRow StationRowOf(const aprs::TAprsPacket& packet);
// Text of one column of a row.
std::string StationColumnText(const TStationRow& row, TStationColumn column);
// The estimated radio range in miles with one decimal, "." as the decimal point.
std::string FormatRange(float miles);

// Every cache entry as a row, in cache order.
std::vector<TStationRow> StationRows(const aprs::TPacketCache& cache);

// A TDateTime as a plain decimal number, up to 15 significant digits, with the
// given decimal separator (the user's locale's in the program), in UTF-8.
std::string FormatDateTimeNumber(aprs::TDateTime value, std::string_view decimalPoint);
// The clipboard text of Copy in UTF-8: the time the packet was received, "|",
// the raw packet (8-bit text, byte for byte U+0000..U+00FF).
std::string StationCopyText(const aprs::TAprsPacket& packet, std::string_view decimalPoint);

// ---- Locate -----------------------------------------------------------------

inline constexpr std::int32_t kLocateColor = colors::kRed;
inline constexpr std::int32_t kLocateAltColor = colors::kBlack;  // for stations drawn red anyway
inline constexpr int kLocateBlinks = 5;
inline constexpr int kLocateOnTicks = 5;   // 55 ms ticks the red circle stays
inline constexpr int kLocateOffTicks = 4;  // 55 ms ticks the station's own colour stays
inline constexpr int kLocatePenWidth = 2;

struct TLocateActions {
  // The station as the cache holds it now, or nothing once it has gone.
  std::function<const aprs::TAprsPacket*()> Find;
  std::function<std::int32_t(const aprs::TAprsPacket&)> StationColor;
  std::function<void(const aprs::TAprsPacket&, std::int32_t color)> Draw;
  // Waits a number of 55 ms ticks while window messages are dispatched.
  std::function<void(int ticks)> Wait;
};

// Makes the station's range circle blink five times and leaves it in its own
// colour. Messages are dispatched between the blinks, so the cache may drop or
// replace the station meanwhile: it is looked up again before every drawing,
// and the blinking stops once it has gone. Returns the number of circles drawn.
int BlinkRangeCircle(const TLocateActions& actions);

// ---- Loading the host's station list ---------------------------------------

inline constexpr std::string_view kStationListRawPacket = "From Oxbel's Station List";

// The callsign in a host station-list entry: characters 2 to 10, trimmed, one
// trailing "*" dropped. Empty when there is none.
std::string StationEntryCallsign(std::string_view entry);

// Fills the path flags and destination from the host's "source>destination,path" header.
void ApplyStationHeader(std::string_view header, aprs::TAprsPacket& packet);

struct TStationListSink {
  std::function<bool(const aprs::TAprsPacket&)> Accept;           // the cache acceptance test
  std::function<void(std::unique_ptr<aprs::TAprsPacket>)> Store;  // the cache's Update
  std::function<void(const std::string&)> Log;                    // the packet log
};

// Reads every station of the host's own station list into the cache. An error
// of one station is logged as "Problem in ReadStationInfo: ..." and the next
// station is read; an error of the count itself reaches the caller.
void ReadStationInfo(host::TclsOxb& oxb, host::TclsStationInfo& stationInfo, const TStationListSink& sink);

}  // namespace tarvik
