#include "CircleExport.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "Coverage.h"
#include "DrawPass.h"
#include "GroundCircle.h"
#include "Text.h"

namespace tarvik {

namespace {

using nlohmann::ordered_json;

constexpr double kRadiansPerMinute = 3.141592653589793 / 180.0 / kMinutesPerDegree;
constexpr double kCoordinateScale = 1e6;  // six decimals: about 0.1 m
constexpr int kByteMask = 0xFF;
constexpr int kGreenShift = 8;
constexpr int kBlueShift = 16;
constexpr unsigned char kFirstPrintable = 0x20;
constexpr char32_t kControlPictures = 0x2400;
// KML colours are aabbggrr: a fill a quarter opaque, a solid outline.
constexpr std::string_view kFillAlpha = "40";
constexpr std::string_view kLineAlpha = "ff";

double Rounded(double v) { return std::round(v * kCoordinateScale) / kCoordinateScale; }

std::string_view KindName(TCircleKind kind) {
  switch (kind) {
    case TCircleKind::Range: return "range";
    case TCircleKind::Df: return "df";
    case TCircleKind::Reach: return "reach";
  }
  return {};
}

std::vector<TRing> RingsOf(const TExportCircle& c) {
  return GroundCircleRings(c.CentreLat, c.CentreLon, c.RadiusMinutes * kRadiansPerMinute);
}

ordered_json RingJson(const TRing& ring) {
  ordered_json out = ordered_json::array();
  for (const TLonLat& p : ring) out.push_back({Rounded(p.Lon), Rounded(p.Lat)});  // RFC 7946: longitude first
  return out;
}

ordered_json GeometryJson(const std::vector<TRing>& rings) {
  if (rings.empty()) return nullptr;
  if (rings.size() == 1) return {{"type", "Polygon"}, {"coordinates", {RingJson(rings[0])}}};
  ordered_json polygons = ordered_json::array();
  for (const TRing& ring : rings) polygons.push_back({RingJson(ring)});
  return {{"type", "MultiPolygon"}, {"coordinates", polygons}};
}

ordered_json PropertiesJson(const TExportCircle& c) {
  ordered_json p;
  p["callsign"] = text::Latin1ToUtf8(c.Callsign);
  p["kind"] = KindName(c.Kind);
  p["class"] = c.ClassName;
  p["color"] = HtmlColor(c.Color);
  p["range_miles"] = c.RangeMiles;
  p["heading"] = c.Heading;
  p["centre"] = {c.CentreLon, c.CentreLat};
  p["radius_miles"] = RadiusMiles(c);
  p["phg"] = text::Latin1ToUtf8(c.PhgText);
  p["default_phg"] = c.DefaultPhg;
  if (c.Kind == TCircleKind::Reach) {
    p["reach_miles"] = c.ReachMiles ? ordered_json(*c.ReachMiles) : ordered_json(nullptr);
    p["sources"] = c.Sources;
  }
  return p;
}

std::string StyleId(const TExportCircle& c) {
  return c.Kind == TCircleKind::Df ? "df-" + HtmlColor(c.Color).substr(1) : c.ClassName;
}

// aabbggrr, as KML wants it.
std::string KmlColor(std::string_view alpha, std::int32_t color) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%.2s%06x", alpha.data(), static_cast<unsigned>(color) & 0xFFFFFFU);
  return buf;
}

std::string Number(double v) { return text::FormatReal(v); }

void AppendData(std::string& out, std::string_view name, std::string_view value) {
  out += "<Data name=\"";
  out += name;
  out += "\"><value>";
  out += value;
  out += "</value></Data>";
}

void AppendPolygon(std::string& out, const TRing& ring) {
  out += "<Polygon><outerBoundaryIs><LinearRing><coordinates>";
  for (std::size_t i = 0; i < ring.size(); ++i) {
    if (i > 0) out += ' ';
    out += Number(Rounded(ring[i].Lon));
    out += ',';
    out += Number(Rounded(ring[i].Lat));
  }
  out += "</coordinates></LinearRing></outerBoundaryIs></Polygon>";
}

void AppendPlacemark(std::string& out, const TExportCircle& c) {
  out += "<Placemark><name>";
  out += XmlText(c.Callsign);
  out += "</name><description>";
  out += XmlText(c.Description);
  out += "</description><styleUrl>#";
  out += StyleId(c);
  out += "</styleUrl><ExtendedData>";
  AppendData(out, "kind", KindName(c.Kind));
  AppendData(out, "class", c.ClassName);
  AppendData(out, "color", HtmlColor(c.Color));
  AppendData(out, "range_miles", Number(c.RangeMiles));
  AppendData(out, "heading", std::to_string(c.Heading));
  AppendData(out, "centre", Number(c.CentreLon) + "," + Number(c.CentreLat));
  AppendData(out, "radius_miles", Number(RadiusMiles(c)));
  AppendData(out, "phg", XmlText(c.PhgText));
  AppendData(out, "default_phg", c.DefaultPhg ? "true" : "false");
  if (c.Kind == TCircleKind::Reach) {
    AppendData(out, "reach_miles", c.ReachMiles ? Number(*c.ReachMiles) : "");
    AppendData(out, "sources", std::to_string(c.Sources));
  }
  out += "</ExtendedData>";
  const std::vector<TRing> rings = RingsOf(c);
  if (rings.empty()) {
    out += "<Point><coordinates>" + Number(Rounded(c.CentreLon)) + ',' + Number(Rounded(c.CentreLat)) +
           "</coordinates></Point>";
  } else if (rings.size() == 1) {
    AppendPolygon(out, rings[0]);
  } else {
    out += "<MultiGeometry>";
    for (const TRing& ring : rings) AppendPolygon(out, ring);
    out += "</MultiGeometry>";
  }
  out += "</Placemark>\n";
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::string HtmlColor(std::int32_t color) {
  const auto c = static_cast<unsigned>(color);
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%02x%02x%02x", c & kByteMask, (c >> kGreenShift) & kByteMask,
                (c >> kBlueShift) & kByteMask);
  return buf;
}

double RadiusMiles(const TExportCircle& circle) { return circle.RadiusMinutes * kRadiansPerMinute * kEarthRadiusMiles; }

TExportCircle ExportCircleOf(const aprs::TAprsPacket& station, const TRangeCircle& circle, std::int32_t color,
                             TCircleKind kind) {
  TExportCircle c;
  c.Kind = kind;
  c.Callsign = station.Source.Callsign;
  c.Color = color;
  c.CentreLat = static_cast<double>(circle.Y) / kMinutesPerDegree;
  c.CentreLon = NormalLongitude(static_cast<double>(circle.X) / kMinutesPerDegree);
  c.RadiusMinutes = circle.Radius;
  c.Description = station.AsText(aprs::tsAll);
  if (kind == TCircleKind::Df) {
    c.ClassName = "df";
    c.RangeMiles = station.DFReport.Range;
    c.Heading = station.DFReport.Antenna.Heading;
    c.PhgText = station.DFReport.DfsString;
  } else {
    c.ClassName = ClassName(StationColor(station));
    c.RangeMiles = station.Capabilities.Range;
    c.Heading = kind == TCircleKind::Reach ? 0 : station.Capabilities.Antenna.Heading;
    c.PhgText = station.Capabilities.PhgString;
    c.DefaultPhg = station.Capabilities.DefaultPhg;
  }
  return c;
}

std::string CirclesToGeoJson(const std::vector<TExportCircle>& circles) {
  ordered_json features = ordered_json::array();
  for (const TExportCircle& c : circles)
    features.push_back(
        {{"type", "Feature"}, {"properties", PropertiesJson(c)}, {"geometry", GeometryJson(RingsOf(c))}});
  const ordered_json doc = {{"type", "FeatureCollection"}, {"features", features}};
  return doc.dump() + "\n";
}

std::string CirclesToKml(const std::vector<TExportCircle>& circles, std::string_view documentName) {
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n";
  out += "<Document><name>" + XmlText(documentName) + "</name>\n";
  std::vector<std::string> styles;
  for (const TExportCircle& c : circles) {
    const std::string id = StyleId(c);
    if (std::find(styles.begin(), styles.end(), id) != styles.end()) continue;
    styles.push_back(id);
    out += "<Style id=\"" + id + "\"><LineStyle><color>" + KmlColor(kLineAlpha, c.Color) +
           "</color><width>2</width></LineStyle><PolyStyle><color>" + KmlColor(kFillAlpha, c.Color) +
           "</color></PolyStyle></Style>\n";
  }
  for (const TExportCircle& c : circles) AppendPlacemark(out, c);
  out += "</Document>\n</kml>\n";
  return out;
}

std::string XmlText(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    switch (b) {
      case '&': out += "&amp;"; continue;
      case '<': out += "&lt;"; continue;
      case '>': out += "&gt;"; continue;
      case '"': out += "&quot;"; continue;
      case '\'': out += "&apos;"; continue;
      case '\t':
      case '\n': out += static_cast<char>(b); continue;
      case '\r':
        if (i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;  // the report's CR LF as one line break
        out += "&#13;";
        continue;
      default: break;
    }
    if (b < kFirstPrintable)
      AppendUtf8(out, kControlPictures + b);
    else
      AppendUtf8(out, b);
  }
  return out;
}

TExportFormat ExportFormatOf(std::string_view path) {
  constexpr std::string_view kKmlSuffix = ".KML";
  if (path.size() < kKmlSuffix.size()) return TExportFormat::GeoJson;
  return text::Upper(path.substr(path.size() - kKmlSuffix.size())) == kKmlSuffix ? TExportFormat::Kml
                                                                                 : TExportFormat::GeoJson;
}

}  // namespace tarvik
