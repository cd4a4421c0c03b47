#include <gtest/gtest.h>
#include <sys/wait.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "APRSParser.h"
#include "CircleExport.h"
#include "CirclesOptions.h"
#include "CirclesRun.h"
#include "DrawPass.h"
#include "FakeMapSource.h"
#include "Intake.h"
#include "TarvikVersion.h"

using namespace tarvik;
using namespace tarvik::circles;
using nlohmann::json;

namespace {

constexpr double kNow = 46363.5;
constexpr double kMilesPerMinute = 3956.0 * 3.141592653589793 / 180.0 / 60.0;
const std::string kDemoFeed = std::string(TARVIK_SOURCE_DIR) + "/data/demo-feed.txt";

struct TRun {
  int Status = -1;
  std::string Output;
};

TRun RunTool(const std::string& args, bool withErrors = false) {
  TRun run;
  const std::string command = std::string("'") + TARVIK_CIRCLES_EXE + "' " + args + (withErrors ? " 2>&1" : "");
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buf[4096];
  std::size_t n = 0;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) run.Output.append(buf, n);
  const int status = pclose(pipe);
  run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// The clock pinned for one test.
class PinnedClock {
 public:
  explicit PinnedClock(double now) : m_now(now), m_previous(aprs::SetUtcClock([this] { return m_now; })) {}
  ~PinnedClock() { aprs::SetUtcClock(m_previous); }
  void Set(double now) { m_now = now; }

 private:
  double m_now;
  aprs::TUtcClock m_previous;
};

TEST(CirclesOptions, CommandLine) {
  const ParseResult good =
      ParseOptions({"--kml", "--bounds", "-73.5, 48,-70.5,50", "--full-size", "--classes", "digis,igates", "--df",
                    "--reach", "--max-age", "30", "--mycall", "tv9home", "-"});
  ASSERT_EQ(good.Error, "");
  const Options& o = good.Value;
  EXPECT_EQ(o.Mode, OutputMode::Kml);
  ASSERT_TRUE(o.Bounds.has_value());
  EXPECT_EQ(std::vector<float>({o.Bounds->West, o.Bounds->South, o.Bounds->East, o.Bounds->North}),
            std::vector<float>({-73.5F, 48.0F, -70.5F, 50.0F}));
  EXPECT_TRUE(o.FullSize && o.Reach && o.Choice.DrawDf && o.Choice.DrawDigis && o.Choice.DrawIGates);
  EXPECT_FALSE(o.Choice.DrawMobiles || o.Choice.DrawDefaultPhg || o.Choice.DrawOthers);
  EXPECT_EQ(o.MaxAge, 30);
  EXPECT_EQ(o.MyCall, "TV9HOME");
  // clang-format off
  const std::pair<std::vector<std::string_view>, std::string> bad[] = {
      {{"--geojson", "--kml"}, "exclude each other"},  {{"--bounds"}, "--bounds needs a value"},
      {{"--bounds", "1,2,3"}, "--bounds wants"},       {{"--bounds", "10,0,5,1"}, "--bounds wants"},
      {{"--classes", "digis,cars"}, "--classes wants"}, {{"--max-age", "0"}, "--max-age wants"},
      {{"--now", "soon"}, "--now wants"},              {{"--colour"}, "unknown option --colour"},
  };
  // clang-format on
  for (const auto& [args, error] : bad) EXPECT_NE(ParseOptions(args).Error.find(error), std::string::npos) << error;
}

// The program's own road for the same lines: acceptance test, cache, and the draw pass on a map showing the bounds.
std::vector<tarvik::test::TDrawnCircle> DrawPassOverDemoFeed(const TCircleChoice& choice, bool fullSize) {
  aprs::TPacketCache cache;
  std::ifstream feed(kDemoFeed);
  std::string line;
  while (std::getline(feed, line)) {
    if (line.empty() || line[0] == '#') continue;
    auto packet = aprs::ParsePacket(line);
    if (packet && AcceptPacket(*packet)) cache.Update(std::move(packet));
  }
  tarvik::test::TRecordingMapSource host;
  host.Map->Left = -73.5F * 60;
  host.Map->Top = 50.0F * 60;
  host.Map->Width = 3.0F * 60;
  host.Map->Height = -2.0F * 60;
  PlotCircles(host, cache, choice, fullSize);
  return host.Map->Circles;
}

TEST(CirclesTool, GeoJsonCirclesAreTheDrawPassCircles) {
  struct Case {
    const char* args;
    bool fullSize, df;
  };
  const Case cases[] = {{"", false, false}, {"--full-size", true, false}, {"--df", false, true}};
  for (const Case& c : cases) {
    const TRun run =
        RunTool(std::string("--geojson --now 46363.5 --bounds -73.5,48,-70.5,50 ") + c.args + " '" + kDemoFeed + "'");
    ASSERT_EQ(run.Status, 0) << c.args;
    const json features = json::parse(run.Output)["features"];
    TCircleChoice choice;
    choice.DrawDf = c.df;
    const std::vector<tarvik::test::TDrawnCircle> drawn = DrawPassOverDemoFeed(choice, c.fullSize);
    ASSERT_EQ(features.size(), drawn.size()) << c.args;
    EXPECT_GE(drawn.size(), c.df ? 2U : 20U) << c.args;
    for (std::size_t i = 0; i < drawn.size(); ++i) {
      const json& p = features[i]["properties"];
      EXPECT_NEAR(p["centre"][0].get<double>(), drawn[i].X / 60.0, 1e-9) << c.args << " " << p["callsign"];
      EXPECT_NEAR(p["centre"][1].get<double>(), drawn[i].Y / 60.0, 1e-9) << c.args << " " << p["callsign"];
      EXPECT_NEAR(p["radius_miles"].get<double>(), drawn[i].Radius * kMilesPerMinute, 1e-9) << p["callsign"];
      EXPECT_EQ(p["color"], HtmlColor(drawn[i].Color)) << p["callsign"];
      EXPECT_EQ(p["kind"], c.df ? "df" : "range");
    }
  }
}

TEST(CirclesTool, ProgramReportsBadInputAndReadsStandardInput) {
  const TRun missing = RunTool("--report /nonexistent/feed.txt", true);
  EXPECT_EQ(missing.Status, 1);
  EXPECT_NE(missing.Output.find("cannot read /nonexistent/feed.txt"), std::string::npos);

  EXPECT_EQ(RunTool("--version").Output, std::string("tarvik-circles ") + TARVIK_VERSION + "\n");

  const TRun kml = RunTool("--kml --now 46363.5 --bounds -73.5,48,-70.5,50 - < '" + kDemoFeed + "'");
  EXPECT_EQ(kml.Status, 0);
  EXPECT_NE(kml.Output.find("<Placemark><name>TV2DIG</name>"), std::string::npos);
}

// Five stations due north of a digi, 6 to 30 minutes of latitude away, and one heard by the host itself.
const char* const kReachLines[] = {
    "TV2DIG>APRS:!4900.00N/07200.00W#PHG5360\r",
    "# a comment",
    "",
    "TV1SAX>APRS,TV2DIG*:!4906.00N/07200.00W-",
    "TV1SBX>APRS,TV2DIG,WIDE1*:!4912.00N/07200.00W-",
    "TV1SCX>APRS,TV2DIG*,WIDE2-1,qAR,TV1IGT:!4918.00N/07200.00W-",
    "TV1SDX>APRS,TV2DIG*:!4924.00N/07200.00W-",
    "TV1SEX>APRS,TV2DIG*:!4930.00N/07200.00W-",
    "TV9HOME>APRS:!4900.00N/07210.00W-PHG2130",
    "TV1SFX>APRS,WIDE2-2 Port=1 <UI>:!4906.00N/07210.00W-",
};

TEST(CirclesTool, ReachCirclesAndReport) {
  PinnedClock clock(kNow);
  Options options;
  options.Reach = true;
  options.FullSize = true;
  options.MyCall = "TV9HOME";
  options.Bounds = ParseBounds("-73.5,48,-70.5,50");  // on the whole world a 35-mile circle is too small to draw
  TCirclesRun run(options);
  for (const char* line : kReachLines) run.Line(line);
  const json features = json::parse(run.Finish())["features"];
  const json* reach = nullptr;
  for (const json& f : features)
    if (f["properties"]["kind"] == "reach") {
      ASSERT_EQ(reach, nullptr) << "one receiver has enough sources";
      reach = &f;
    }
  ASSERT_NE(reach, nullptr);
  const json& p = (*reach)["properties"];
  EXPECT_EQ(p["callsign"], "TV2DIG");
  EXPECT_EQ(p["color"], "#ff8000");
  EXPECT_EQ(p["sources"], 5);
  EXPECT_NEAR(p["reach_miles"].get<double>(), 30 * kMilesPerMinute, 1e-6);
  EXPECT_NEAR(p["radius_miles"].get<double>(), 30 * kMilesPerMinute, 0.01);  // drawn as a 32-bit radius
  EXPECT_NEAR(p["centre"][0].get<double>(), -72.0, 1e-6);
  EXPECT_NEAR(p["centre"][1].get<double>(), 49.0, 1e-6);
  EXPECT_EQ(p["heading"], 0);

  options.Mode = OutputMode::Report;
  TCirclesRun report(options);
  for (const char* line : kReachLines) report.Line(line);
  const std::string text = report.Finish();
  EXPECT_NE(text.find("\nTV2DIG\tdigi\t22.5\t34.5\t5\tTV1SEX\t34.5\tclaims too little\t\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nTV9HOME\tother\t5.0\t-\t1\tTV1SFX\t6.9\ttoo few\t\n"), std::string::npos) << text;
}

}  // namespace
