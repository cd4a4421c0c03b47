// Settings of the stand-in host: section [Host] of Oxbel32.INI, kept in the
// program's settings folder beside tarvik.INI (see SettingsFolder.h).
//
//   [Host]
//   MyCall=N0CALL
//   Feed=demo              ; or file:PATH (replayed once), loop:PATH (replayed again and again)
//   FeedRate=2             ; packets per second, 0 = as fast as the event loop allows
//   Map=-4380,2985,120,-90 ; left,top,width,height in minutes of arc
//   Trace=map-trace.txt    ; every map operation appended as one line
//   Feed=aprsis:HOST:PORT  ; with Login (default MyCall), Passcode (default -1), Filter
//   Feed=kiss:HOST:PORT    ; KISS over TCP from a software TNC
//   Filter=view            ; APRS-IS: the area around the map's view, following it
//   Feed=serial:DEVICE:SPEED ; a KISS TNC on a serial device, with SerialFlow=rtscts
//                          ; and SerialInit=TEXT (sent after opening, \r for CR)
//   Tiles=URL-TEMPLATE     ; online map tiles, see TilesSetting.h
//   TilesCacheMB=256       ; the tiles kept on disk, cut to this many MiB oldest first
#pragma once

#include <string>
#include <string_view>

#include "Units.h"

namespace standin {

// The host map's bounds in minutes of arc; the height is negative.
struct TMapRect {
  double Left = 0;
  double Top = 0;
  double Width = 0;
  double Height = 0;
  bool operator==(const TMapRect&) const = default;
};

// A box about two degrees wide around 49N 72W, the region of the demo feed.
inline constexpr TMapRect kDefaultMap{-73.0 * units::kMinutesPerDegree, 49.75 * units::kMinutesPerDegree,
                                      2.0 * units::kMinutesPerDegree, -1.5 * units::kMinutesPerDegree};
inline constexpr std::string_view kDefaultMyCall = "N0CALL";
inline constexpr double kDefaultFeedRate = 2.0;
inline constexpr int kDefaultTilesCacheMB = 256;
inline constexpr int kMaxTilesCacheMB = 1024 * 1024;  // a TiB: beyond it the number is a slip
inline constexpr std::string_view kIniFileName = "Oxbel32.INI";
// The section of Oxbel32.INI that holds these settings.
inline constexpr std::string_view kHostSection = "Host";
// The Feed kinds that replay a file of TNC2 lines: once, or from the start again at its end.
inline constexpr std::string_view kFileFeed = "file:";
inline constexpr std::string_view kLoopFeed = "loop:";

struct TStandInSettings {
  std::string MyCall{kDefaultMyCall};
  std::string Feed = "demo";
  double FeedRate = kDefaultFeedRate;
  TMapRect Map = kDefaultMap;
  std::string Trace;            // empty: no trace; else an absolute path
  std::string Login;            // APRS-IS login; empty: MyCall
  std::string Passcode = "-1";  // -1: receive only
  std::string Filter;           // APRS-IS server-side filter; "view" follows the map
  std::string FilterLast;       // the typed filter the "Filter follows map" entry turns back to
  bool SerialFlow = false;      // RTS/CTS on the serial TNC's line
  std::string SerialInit;       // as typed, with its \r escapes
  std::string IniFolder;        // relative paths in Feed and Trace are taken from here
  std::string IniPath;          // the settings file itself, where a feed chosen in the window is kept
  bool MakeIniFolder = false;   // the file's folder is the user's, made by the first write
  std::string Tiles;            // tile address template; empty: the offline basemap only
  std::string TilesLast;        // the template the host window's entry turns back on
  std::string TilesAttribution;
  int TilesCacheMB = kDefaultTilesCacheMB;
};

// The settings from the file at `iniPath`; a missing or unreadable file gives the defaults.
TStandInSettings LoadStandInSettings(const std::string& iniPath);

// "left,top,width,height" with a positive width and a negative height, else nothing.
bool ParseMapBounds(std::string_view text, TMapRect& bounds);

}  // namespace standin
