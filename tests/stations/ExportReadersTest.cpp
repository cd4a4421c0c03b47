// The exported files as a real GIS reader sees them: GDAL's ogrinfo must list
// every feature of both formats without an error.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "APRSParser.h"
#include "CircleExport.h"

using namespace tarvik;

namespace {

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
  const auto station = aprs::ParsePacket("TV2DIG>APRS,WIDE2-1:!4900.00N/07200.00W#PHG5364/Mont <Tarvik> & \"co\"");
  EXPECT_NE(station, nullptr);
  const TRangeCircle drawn = RangeCircleGeometry(49.0, -72.0, station->Capabilities.Range, 180, true);
  std::vector<TExportCircle> out(5, ExportCircleOf(*station, drawn, 0x008000, TCircleKind::Range));
  out[1].CentreLon = 179.99;
  out[1].Callsign = "TV\x01<&>\xE9";
  out[2].CentreLat = 89.9;
  out[2].RadiusMinutes = 60.0;
  out[2].Kind = TCircleKind::Reach;
  out[2].ClassName = "reach";
  out[2].Color = kColorReach;
  out[2].ReachMiles = 69.0;
  out[2].Sources = 9;
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
