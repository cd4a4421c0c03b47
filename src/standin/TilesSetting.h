// Online tiles in Oxbel32.INI, section [Host]:
//
//   Tiles=https://tile.openstreetmap.org/{z}/{x}/{y}.png   ; tiles on at start
//   Tiles=                   ; empty or absent: the offline basemap only
//   TilesAttribution=...     ; drawn on the map; default "© OpenStreetMap contributors"
//   TilesLast=...            ; the template the Tiles entry turns back on
//
// The host window's entry turns tiles off by emptying Tiles= and keeping the
// template in TilesLast=, so that a template of the user's own survives.
#pragma once

#include <string>
#include <string_view>

#include "PrivateProfile.h"
#include "StandInSettings.h"

namespace standin {

inline constexpr std::string_view kOsmTileTemplate = "https://tile.openstreetmap.org/{z}/{x}/{y}.png";

struct TTilesAtStart {
  std::string Template;  // what the entry turns on; may be unusable, which keeps tiles off
  bool On = false;
};

// The configured Tiles= turns tiles on; without one the entry would turn on
// TilesLast= when it is usable, else OpenStreetMap's tiles.
TTilesAtStart TilesAtStart(const TStandInSettings& settings);

// Writes the user's choice: on keeps `tileTemplate` in Tiles=, off empties
// Tiles= and keeps the template in TilesLast=.
settings::TWriteResult KeepTilesChoice(const std::string& iniPath, bool on, const std::string& tileTemplate);

}  // namespace standin
