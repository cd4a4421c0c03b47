// The circles of a draw pass and the measured-reach circles as map files for
// other programs: GeoJSON (RFC 7946) and KML 2.2.
//
// A circle is exported as drawn: its moved centre and its radius in minutes of
// latitude, as a polygon on the ground. Text from the air is 8-bit; it is
// written byte for byte as U+0000..U+00FF.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "APRSData.h"
#include "RangeCircle.h"

namespace tarvik {

enum class TCircleKind { Range, Df, Reach };

// Measured-reach circles have a colour of their own: orange, 0x00BBGGRR.
inline constexpr std::int32_t kColorReach = 0x0080FF;

struct TExportCircle {
  TCircleKind Kind = TCircleKind::Range;
  std::string Callsign;
  std::int32_t Color = 0;      // 0x00BBGGRR, as drawn
  std::string ClassName;       // the station's class; "df" for a DF circle
  double RangeMiles = 0.0;     // the station's PHG/RNG/DFS range (the claim)
  int Heading = 0;             // degrees, 0 for none
  double CentreLat = 0.0;      // the moved centre, degrees
  double CentreLon = 0.0;      // folded into -180..180
  double RadiusMinutes = 0.0;  // as drawn: minutes of latitude (half size halved)
  std::string PhgText;         // PHG or RNG text (DFS for a DF circle), "" for none
  bool DefaultPhg = false;
  std::optional<double> ReachMiles;  // reach circles only
  int Sources = 0;                   // reach circles only
  std::string Description;           // the station's text report
};

// `circle` as the draw pass drew it for `station`.
TExportCircle ExportCircleOf(const aprs::TAprsPacket& station, const TRangeCircle& circle, std::int32_t color,
                             TCircleKind kind);

// "#rrggbb" of a 0x00BBGGRR colour.
std::string HtmlColor(std::int32_t color);

// The drawn radius as a distance on the ground, statute miles.
double RadiusMiles(const TExportCircle& circle);

enum class TExportFormat { GeoJson, Kml };

// The format a file name asks for: KML for ".kml" in any case, else GeoJSON.
TExportFormat ExportFormatOf(std::string_view path);

std::string CirclesToGeoJson(const std::vector<TExportCircle>& circles);
std::string CirclesToKml(const std::vector<TExportCircle>& circles, std::string_view documentName);

// Text for XML character data and attributes: markup characters as entities,
// 8-bit bytes as their code points in UTF-8, control bytes (which XML 1.0
// cannot hold) as their visible control pictures U+2400..U+241F.
std::string XmlText(std::string_view bytes);

}  // namespace tarvik
