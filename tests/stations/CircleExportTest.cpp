#include <gtest/gtest.h>
#include <sys/wait.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "APRSParser.h"
#include "CircleExport.h"
#include "GroundCircle.h"
#include "MeasuredReach.h"

using namespace tarvik;
using nlohmann::json;

namespace {

constexpr double kDegree = 3.141592653589793 / 180.0;

bool OnCut(const TLonLat& p) { return std::fabs(p.Lon) == 180.0 || std::fabs(p.Lat) == 90.0; }

double SignedArea(const TRing& ring) {
  double area = 0;
  for (std::size_t i = 0; i + 1 < ring.size(); ++i)
    area += ring[i].Lon * ring[i + 1].Lat - ring[i + 1].Lon * ring[i].Lat;
  return area / 2;
}

// Every ring closed, counter-clockwise, within -180..180 and -90..90, every point off the cuts at the radius.
void ExpectValidRings(const std::vector<TRing>& rings, double lat, double lon, double radius, const char* what) {
  for (const TRing& ring : rings) {
    ASSERT_GE(ring.size(), 4U) << what;
    EXPECT_EQ(ring.front(), ring.back()) << what;
    EXPECT_GT(SignedArea(ring), 0.0) << what;
    for (const TLonLat& p : ring) {
      EXPECT_TRUE(p.Lon >= -180.0 && p.Lon <= 180.0 && p.Lat >= -90.0 && p.Lat <= 90.0) << what << " " << p.Lon;
      if (!OnCut(p)) {
        EXPECT_NEAR(GreatCircleMiles(lat, lon, p.Lat, p.Lon), radius * 3956.0, 1e-6) << what;
      }
    }
  }
}

TEST(GroundCircleRings, OneRingFromDueNorthCounterClockwise) {
  const std::vector<TRing> rings = GroundCircleRings(45.0, -93.0, 0.01);
  ASSERT_EQ(rings.size(), 1U);
  EXPECT_EQ(rings[0].size(), static_cast<std::size_t>(kGroundCirclePoints + 1));
  EXPECT_NEAR(rings[0][0].Lon, -93.0, 1e-9);
  EXPECT_NEAR(rings[0][0].Lat, 45.0 + 0.01 / kDegree, 1e-9);
  EXPECT_LT(rings[0][1].Lon, -93.0);  // then toward the west
  ExpectValidRings(rings, 45.0, -93.0, 0.01, "plain");
  EXPECT_EQ(GroundCircleRings(45.0, -93.0, 0.01, 360)[0].size(), 361U);
}

TEST(GroundCircleRings, SplitAtTheAntimeridianClosedRoundAPole) {
  struct Case {
    double lat, lon, radiusDegrees;
    std::size_t rings;
    double corner;  // a latitude the ring must reach on both -180 and 180: the cut or the pole
  };
  // clang-format off
  const Case cases[] = {
      {10.0, 179.99, 0.6, 2, NAN}, {10.0, -180.137, 0.6, 2, NAN}, {-30.0, 180.0, 0.6, 2, NAN}, {0.0, -179.9, 0.6, 2, NAN},
      {89.9, 10.0, 1.0, 1, 90.0}, {90.0, 0.0, 1.0, 1, 90.0}, {-90.0, 45.0, 1.0, 1, -90.0}, {-89.5, 179.9, 1.0, 1, -90.0},
  };
  // clang-format on
  for (const Case& c : cases) {
    const std::vector<TRing> rings = GroundCircleRings(c.lat, c.lon, c.radiusDegrees * kDegree);
    ASSERT_EQ(rings.size(), c.rings) << c.lat << " " << c.lon;
    ExpectValidRings(rings, c.lat, c.lon, c.radiusDegrees * kDegree, "split");
    // Both halves meet on the meridian at the same latitudes.
    std::vector<double> east, west;
    for (const TRing& ring : rings)
      for (const TLonLat& p : ring) {
        if (p.Lon == 180.0) east.push_back(p.Lat);
        if (p.Lon == -180.0) west.push_back(p.Lat);
      }
    std::sort(east.begin(), east.end());
    std::sort(west.begin(), west.end());
    east.erase(std::unique(east.begin(), east.end()), east.end());
    west.erase(std::unique(west.begin(), west.end()), west.end());
    EXPECT_EQ(east, west) << c.lat << " " << c.lon;
    EXPECT_EQ(east.size(), 2U) << c.lat << " " << c.lon;
    if (!std::isnan(c.corner)) {
      EXPECT_NE(std::find(east.begin(), east.end(), c.corner), east.end()) << c.lat;
    }
  }
  EXPECT_TRUE(GroundCircleRings(0.0, 0.0, 100.0 * kDegree).empty());  // takes in both poles
  EXPECT_TRUE(GroundCircleRings(45.0, 0.0, 0.0).empty());
  EXPECT_TRUE(GroundCircleRings(NAN, 0.0, 0.1).empty());
}

TEST(XmlText, MarkupEightBitAndControlBytes) {
  // clang-format off
  const std::pair<std::string, std::string> cases[] = {
      {"TV2DIG", "TV2DIG"},
      {"<a & b>", "&lt;a &amp; b&gt;"},
      {"say \"hi\" 'there'", "say &quot;hi&quot; &apos;there&apos;"},
      {"caf\xE9", "caf\xC3\xA9"},                    // 8-bit text byte for byte
      {"\xFF", "\xC3\xBF"},
      {std::string("a\0b", 3), "a\xE2\x90\x80" "b"},   // NUL as U+2400
      {"\x01\x1B\x1F", "\xE2\x90\x81\xE2\x90\x9B\xE2\x90\x9F"},
      {"line\r\nnext\ttab", "line\nnext\ttab"},
      {"lone\rCR", "lone&#13;CR"},
  };
  // clang-format on
  for (const auto& [in, out] : cases) EXPECT_EQ(XmlText(in), out) << in;
}

// TV2DIG at 49N 72W with PHG5364: 22.49 miles, heading 180, drawn at full size.
TExportCircle KnownCircle() {
  const auto station = aprs::ParsePacket("TV2DIG>APRS,WIDE2-1:!4900.00N/07200.00W#PHG5364/Mont <Tarvik> & co");
  EXPECT_NE(station, nullptr);
  const TRangeCircle drawn = RangeCircleGeometry(49.0, -72.0, station->Capabilities.Range, 180, true);
  return ExportCircleOf(*station, drawn, 0x008000, TCircleKind::Range);
}

TEST(CirclesToGeoJson, KnownCircleFieldByField) {
  TExportCircle reach = KnownCircle();
  reach.Kind = TCircleKind::Reach;
  reach.Color = kColorReach;
  reach.ReachMiles = 12.5;
  reach.Sources = 7;
  const json doc = json::parse(CirclesToGeoJson({KnownCircle(), reach}));
  EXPECT_EQ(doc["type"], "FeatureCollection");
  ASSERT_EQ(doc["features"].size(), 2U);
  const json& f = doc["features"][0];
  EXPECT_EQ(f["type"], "Feature");
  const json& p = f["properties"];
  EXPECT_EQ(p["callsign"], "TV2DIG");
  EXPECT_EQ(p["kind"], "range");
  EXPECT_EQ(p["class"], "digi");
  EXPECT_EQ(p["color"], "#008000");
  EXPECT_NEAR(p["range_miles"].get<double>(), 22.49, 0.005);
  EXPECT_EQ(p["heading"], 180);
  // A third of 22.49 miles due south: 7.50 miles, 0.1086 degrees.
  EXPECT_NEAR(p["centre"][0].get<double>(), -72.0, 1e-6);
  EXPECT_NEAR(p["centre"][1].get<double>(), 49.0 - 0.10859, 1e-4);
  EXPECT_NEAR(p["radius_miles"].get<double>(), 22.49, 0.005);
  EXPECT_EQ(p["phg"], "PHG5364");
  EXPECT_EQ(p["default_phg"], false);
  EXPECT_FALSE(p.contains("reach_miles"));
  const json& g = f["geometry"];
  EXPECT_EQ(g["type"], "Polygon");
  ASSERT_EQ(g["coordinates"].size(), 1U);
  const json& ring = g["coordinates"][0];
  ASSERT_EQ(ring.size(), 73U);
  EXPECT_EQ(ring[0], ring[72]);
  EXPECT_NEAR(ring[0][0].get<double>(), -72.0, 1e-6);  // longitude first, due north of the moved centre
  EXPECT_NEAR(ring[0][1].get<double>(), 49.0 - 0.10859 + 0.32578, 1e-4);

  const json& r = doc["features"][1]["properties"];
  EXPECT_EQ(r["kind"], "reach");
  EXPECT_EQ(r["color"], "#ff8000");
  EXPECT_EQ(r["reach_miles"], 12.5);
  EXPECT_EQ(r["sources"], 7);
}

TEST(CirclesToKml, KnownCircleStylesAndPlacemark) {
  TExportCircle reach = KnownCircle();
  reach.Kind = TCircleKind::Reach;
  reach.ClassName = "reach";
  reach.Color = kColorReach;
  reach.ReachMiles = 12.5;
  reach.Sources = 7;
  const std::string kml = CirclesToKml({KnownCircle(), KnownCircle(), reach}, "Circles & reach");
  EXPECT_EQ(kml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\">", 0),
            0U);
  EXPECT_NE(kml.find("<Document><name>Circles &amp; reach</name>"), std::string::npos);
  const std::string digiStyle =
      "<Style id=\"digi\"><LineStyle><color>ff008000</color><width>2</width></LineStyle>"
      "<PolyStyle><color>40008000</color></PolyStyle></Style>";
  EXPECT_NE(kml.find(digiStyle), std::string::npos);
  EXPECT_EQ(kml.find(digiStyle), kml.rfind(digiStyle));  // one style per class
  EXPECT_NE(kml.find("<Style id=\"reach\"><LineStyle><color>ff0080ff</color>"), std::string::npos);
  EXPECT_NE(kml.find("<Placemark><name>TV2DIG</name><description>"), std::string::npos);
  EXPECT_NE(kml.find("Mont &lt;Tarvik&gt; &amp; co"), std::string::npos);  // the text report, escaped
  EXPECT_NE(kml.find("<styleUrl>#digi</styleUrl>"), std::string::npos);
  EXPECT_NE(kml.find("<Data name=\"phg\"><value>PHG5364</value></Data>"), std::string::npos);
  EXPECT_NE(kml.find("<Data name=\"sources\"><value>7</value></Data>"), std::string::npos);
  EXPECT_NE(kml.find("<Polygon><outerBoundaryIs><LinearRing><coordinates>-72,49.21"), std::string::npos);
  EXPECT_TRUE(kml.ends_with("</Document>\n</kml>\n"));
}

// The files as a real GIS reader sees them: GDAL's ogrinfo must list every feature of both formats.
struct TRun {
  int Status = -1;
  std::string Output;
};

TRun RunCommand(const std::string& command) {
  TRun run;
  std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return run;
  char buf[4096];
  while (std::fgets(buf, sizeof buf, pipe) != nullptr) run.Output += buf;
  const int status = pclose(pipe);
  run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

bool HaveOgrinfo() { return RunCommand("command -v ogrinfo").Status == 0; }

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// Plain, split at the 180th meridian, round the north pole, no area, hostile text.
std::vector<TExportCircle> Awkward() {
  std::vector<TExportCircle> out(5, KnownCircle());
  out[1].CentreLon = 179.99;
  out[1].Callsign = "TV\x01<&>\xE9";
  out[2].CentreLat = 89.9;
  out[2].RadiusMinutes = 60.0;
  out[2].Kind = TCircleKind::Reach;
  out[2].ReachMiles = 69.0;
  out[3].RadiusMinutes = 0.0;
  out[4].Description = std::string("nul\0 bell\x07 esc\x1B \xFF", 17);
  return out;
}

TEST(ExportReaders, OgrinfoListsEveryFeatureOfBothFormats) {
  if (!HaveOgrinfo()) GTEST_SKIP() << "ogrinfo (gdal-bin) is not installed";
  const std::vector<TExportCircle> circles = Awkward();
  const std::string dir = ::testing::TempDir();
  struct TFile {
    std::string path, content, callsign;  // the callsign as read back: JSON keeps the control byte, KML shows it
  };
  const TFile files[] = {
      {dir + "tarvik-circles-test.geojson", CirclesToGeoJson(circles), "TV\x01<&>\xC3\xA9"},
      {dir + "tarvik-circles-test.kml", CirclesToKml(circles, "Tarvik <test>"), "TV\xE2\x90\x81<&>\xC3\xA9"},
  };
  for (const auto& [path, content, callsign] : files) {
    std::ofstream(path, std::ios::binary) << content;
    const TRun run = RunCommand("ogrinfo -ro -al '" + path + "'");
    EXPECT_EQ(run.Status, 0) << path << "\n" << run.Output;
    EXPECT_EQ(Count(run.Output, "ERROR"), 0) << path << "\n" << run.Output;
    EXPECT_EQ(Count(run.Output, "OGRFeature("), static_cast<int>(circles.size())) << path << "\n" << run.Output;
    EXPECT_EQ(Count(run.Output, "MULTIPOLYGON"), 1) << path << "\n" << run.Output;
    EXPECT_NE(run.Output.find(callsign), std::string::npos) << path << "\n" << run.Output;
    std::remove(path.c_str());
  }
}

}  // namespace
