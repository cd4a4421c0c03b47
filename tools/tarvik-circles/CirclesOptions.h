// Command line of the circles tool.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "DrawPass.h"

namespace tarvik::circles {

enum class OutputMode { GeoJson, Kml, Report };

struct Options {
  OutputMode Mode = OutputMode::GeoJson;
  std::optional<TGeoBounds> Bounds;  // nothing: the whole world
  bool FullSize = false;
  TCircleChoice Choice;  // --df and --classes
  bool Reach = false;
  std::optional<double> Now;  // pinned UTC clock, TDateTime days
  int MaxAge = 60;            // minutes, as the program's expiry age
  std::string MyCall;         // the host station, for packets heard with "Port="
  bool Help = false;
  bool Version = false;
  std::vector<std::string> Files;  // empty: standard input; "-" also means it
};

struct ParseResult {
  Options Value;
  std::string Error;  // empty when the command line is good
};

ParseResult ParseOptions(const std::vector<std::string_view>& args);

// WEST,SOUTH,EAST,NORTH in degrees: west below east, south below north, all on the globe.
std::optional<TGeoBounds> ParseBounds(std::string_view text);

// A comma list of digis, mobiles, igates, default, others: those classes
// drawn, the rest not. Nothing for an unknown name or an empty list.
std::optional<TCircleChoice> ParseClasses(std::string_view text);

extern const char* const kUsage;

}  // namespace tarvik::circles
