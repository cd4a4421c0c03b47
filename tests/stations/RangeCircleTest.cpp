#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "FakeMapSource.h"
#include "RangeCircle.h"

using namespace tarvik;
using tarvik::test::TRecordingMapSource;

namespace {

constexpr double kTwoDecimals = 0.005;
constexpr double kMinutesAroundTheWorld = 360.0 * 60.0;

struct GeometryCase {
  const char* name;
  double lat, lon;
  float range;
  int heading;
  bool fullSize;
  double x, y, radius;
};

// Figures worked by hand in minutes of arc, two decimals.
// clang-format off
const std::vector<GeometryCase> kGeometryCases = {
    {"heading 0 stays on the station", 45, -93, 7.95F, 0, true, -5580.00, 2700.00, 6.91},
    {"heading 0 half size", 45, -93, 7.95F, 0, false, -5580.00, 2700.00, 3.45},
    {"east full size", 45, -93, 7.95F, 90, true, -5576.74, 2700.00, 6.91},
    {"east half size", 45, -93, 7.95F, 90, false, -5578.37, 2700.00, 3.45},
    {"north as 360", 45, -93, 30.0F, 360, true, -5580.00, 2708.69, 26.07},
    {"south", 40, -105, 10.0F, 180, true, -6300.00, 2397.10, 8.69},
    {"east across the 180th meridian wraps west", 10, 179.99, 30.0F, 90, true, -10791.78, 600.00, 26.07},
    {"west across the 180th meridian stays west", 10, -179.99, 30.0F, 270, true, -10808.22, 600.00, 26.07},
    {"range 0", 45, -93, 0.0F, 90, true, -5580.00, 2700.00, 0.00},
};
// clang-format on

TEST(RangeCircleGeometry, HandWorkedFigures) {
  for (const auto& c : kGeometryCases) {
    SCOPED_TRACE(c.name);
    const TRangeCircle circle = RangeCircleGeometry(c.lat, c.lon, c.range, c.heading, c.fullSize);
    EXPECT_NEAR(circle.X, c.x, kTwoDecimals);
    EXPECT_NEAR(circle.Y, c.y, kTwoDecimals);
    EXPECT_NEAR(circle.Radius, c.radius, kTwoDecimals);
  }
}

struct WrapCase {
  const char* name;
  float modulus, value, expected;
};

TEST(WrapAngle, SubtractsWholeTurnsKeepingTheSign) {
  // clang-format off
  const std::vector<WrapCase> cases = {
      {"small negative stays", kTwoPiSingle, -0.5F, -0.5F},
      {"equal to the modulus is unchanged", kTwoPiSingle, kTwoPiSingle, kTwoPiSingle},
      {"negative modulus magnitude unchanged", kTwoPiSingle, -kTwoPiSingle, -kTwoPiSingle},
      {"one turn over", kTwoPiSingle, 7.0F, 7.0F - kTwoPiSingle},
      {"one turn under keeps the sign", kTwoPiSingle, -7.0F, -(7.0F - kTwoPiSingle)},
      {"two turns over", 2.0F, 5.5F, 1.5F},
      {"exactly two turns gives one", 2.0F, 4.0F, 2.0F},
      {"zero", kTwoPiSingle, 0.0F, 0.0F},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FLOAT_EQ(WrapAngle(c.modulus, c.value), c.expected);
  }
}

TEST(WrapAngle, WildValuesEndAtOnce) {
  const float huge = WrapAngle(kTwoPiSingle, 1e30F);
  EXPECT_GE(huge, 0.0F);
  EXPECT_LE(huge, kTwoPiSingle);
  EXPECT_TRUE(std::isinf(WrapAngle(kTwoPiSingle, INFINITY)));
  EXPECT_TRUE(std::isnan(WrapAngle(kTwoPiSingle, NAN)));
  EXPECT_FLOAT_EQ(WrapAngle(0.0F, 9.0F), 9.0F);
  EXPECT_FLOAT_EQ(WrapAngle(-1.0F, 9.0F), 9.0F);
}

TEST(RangeCircleVisible, DiameterMustExceedTwoPercentOfTheHeight) {
  struct Case {
    float radius, height;
    bool visible;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {6.00F, -600.0F, false},  // exactly 2 per cent
      {6.10F, -600.0F, true},   {5.90F, -600.0F, false}, {6.10F, 600.0F, true},
      {0.0F, -600.0F, false},   {1e-3F, -0.01F, true},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.radius) + " on " + std::to_string(c.height));
    EXPECT_EQ(RangeCircleVisible(c.radius, c.height), c.visible);
  }
}

TEST(RangeCircleVisible, HeightZeroIsAnArithmeticFailure) {
  EXPECT_THROW(RangeCircleVisible(6.0F, 0.0F), std::domain_error);
  EXPECT_THROW(RangeCircleVisible(0.0F, 0.0F), std::domain_error);
}

// The same great-circle step kept in 64-bit reals throughout.
double WrapAngle64(double modulus, double value) {
  const bool negative = value < 0;
  double magnitude = std::fabs(value);
  while (magnitude > modulus) magnitude -= modulus;
  return negative ? -magnitude : magnitude;
}

struct Circle64 {
  double x, y, r;
};

Circle64 Reference64(double lat, double lon, double range, int heading, bool fullSize) {
  constexpr double pi = std::numbers::pi;
  const double d = range / kEarthRadiusMiles;
  const double phi1 = lat * pi / 180;
  const double lambda1 = lon * pi / 180;
  double x = lon * 60;
  double y = lat * 60;
  if (heading != 0) {
    const double theta = heading * pi / 180;
    const double delta = fullSize ? d / 3 : d / 6;
    const double phi2 =
        std::asin(std::sin(phi1) * std::cos(delta) + std::cos(phi1) * std::sin(delta) * std::cos(theta));
    const double lambda2 =
        WrapAngle64(2 * pi, std::asin(std::sin(theta) * std::sin(delta) / std::cos(phi2)) + lambda1 + pi) - pi;
    x = lambda2 * 180 / pi * 60;
    y = phi2 * 180 / pi * 60;
  }
  double r = d * 180 / pi * 60;
  if (!fullSize) r /= 2;
  return {x, y, r};
}

// Difference of two longitudes in minutes, the same meridian counting as equal:
// at the wrap's knife edge one form may say +180 and the other -180.
double LongitudeDifference(double a, double b) {
  const double diff = std::fabs(a - b);
  return std::min(diff, std::fabs(diff - kMinutesAroundTheWorld));
}

// Sweeps latitudes, longitudes (the 180th meridian included), every 15
// degrees of heading, small to large ranges and both sizes. Latitude and
// radius stay within a thousandth of a minute everywhere. Longitude does so
// up to 45 degrees from Greenwich; beyond, the 32-bit angles themselves are
// coarser than that (half a unit in the last place of the wrapped sum near
// 2 pi is 0.0008 minute, of x near 10800 minutes 0.0005), so there it is held
// to three thousandths.
TEST(RangeCircleGeometry, SinglePrecisionStaysCloseToDoublePrecision) {
  constexpr double kTolerance = 0.001;
  constexpr double kFarLongitudeTolerance = 0.003;
  constexpr double kNearLongitude = 45.0;
  std::vector<double> longitudes = {-179.99, -179.5, 179.5, 179.99, 180.0, -180.0, 45.0, -45.0};
  for (double lon = -180; lon <= 180; lon += 6.5) longitudes.push_back(lon);
  struct Worst {
    double diff = 0;
    std::string where;
  } worstNearX, worstFarX, worstY, worstR;
  for (double lat = -80; lat <= 80; lat += 4.75) {
    for (const double lon : longitudes) {
      for (int heading = 0; heading <= 360; heading += 15) {
        for (const float range : {0.5F, 7.95F, 30.0F, 120.0F}) {
          for (const bool fullSize : {true, false}) {
            const Circle64 ref = Reference64(lat, lon, range, heading, fullSize);
            const TRangeCircle c = RangeCircleGeometry(lat, lon, range, heading, fullSize);
            const auto note = [&](Worst& worst, double diff) {
              if (diff <= worst.diff) return;
              worst.diff = diff;
              worst.where = std::to_string(lat) + "," + std::to_string(lon) + " heading " + std::to_string(heading) +
                            " range " + std::to_string(range) + (fullSize ? " full" : " half");
            };
            note(std::fabs(lon) <= kNearLongitude ? worstNearX : worstFarX, LongitudeDifference(c.X, ref.x));
            note(worstY, std::fabs(c.Y - ref.y));
            note(worstR, std::fabs(c.Radius - ref.r));
          }
        }
      }
    }
  }
  EXPECT_LT(worstNearX.diff, kTolerance) << worstNearX.where;
  EXPECT_LT(worstFarX.diff, kFarLongitudeTolerance) << worstFarX.where;
  EXPECT_LT(worstY.diff, kTolerance) << worstY.where;
  EXPECT_LT(worstR.diff, kTolerance) << worstR.where;
}

// ---- the host calls ----

aprs::TAprsPacket Station(double lat, double lon, float range, int heading) {
  aprs::TAprsPacket p;
  p.Position.Latitude.Value = lat;
  p.Position.Longitude.Value = lon;
  p.Capabilities.Range = range;
  p.Capabilities.Antenna.Heading = heading;
  p.Capabilities.HasCapabilities = true;
  p.DFReport.Range = range;
  p.DFReport.Antenna.Heading = heading;
  p.DFReport.HasReport = true;
  return p;
}

TEST(PlotRangeCircle, MakesTheHostCallsInOrderWithExactArguments) {
  TRecordingMapSource host;
  host.Map->Height = -600.0F;
  PlotRangeCircle(host, Station(45, -93, 7.95F, 90), 0x008000, true, 3);
  const auto& calls = host.Map->Calls;
  ASSERT_EQ(host.Map->Ops(),
            (std::vector<std::string>{"SetPenWidth", "SetFillMode", "SetFillColor", "GetMapHeight", "DrawCircle"}));
  EXPECT_EQ(host.Fetches, 5);  // a fresh map for every operation
  EXPECT_EQ(calls[0].Args, std::vector<double>{3});
  EXPECT_EQ(calls[1].Args, std::vector<double>{1});
  EXPECT_EQ(calls[2].Args, std::vector<double>{0xFFFF00});
  const auto& circle = host.Map->Circles.at(0);
  const TRangeCircle expected = RangeCircleGeometry(45, -93, 7.95F, 90, true);
  EXPECT_EQ(circle.X, expected.X);
  EXPECT_EQ(circle.Y, expected.Y);
  EXPECT_EQ(circle.Radius, expected.Radius);
  EXPECT_EQ(circle.Color, 0x008000);
  EXPECT_EQ(circle.Start, 6.2831855F);
  EXPECT_EQ(circle.End, 6.283185307179586);
  EXPECT_EQ(circle.Aspect, 1.0F);
}

TEST(PlotRangeCircle, TooSmallForTheMapDrawsNothingAfterThePenSetUp) {
  struct Case {
    const char* name;
    float range;
    bool fullSize;
    float height;
    bool drawn;
  };
  // 7.95 miles is a radius of 6.91 full size, 3.45 half size.
  // clang-format off
  const std::vector<Case> cases = {
      {"full size on a 10 degree map", 7.95F, true, -600.0F, true},
      {"half size on a 10 degree map", 7.95F, false, -600.0F, false},
      {"half size on a 5 degree map", 7.95F, false, -300.0F, true},
      {"range 0 never", 0.0F, true, -1.0F, false},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TRecordingMapSource host;
    host.Map->Height = c.height;
    PlotRangeCircle(host, Station(45, -93, c.range, 0), 0, c.fullSize, 2);
    EXPECT_EQ(host.Map->Circles.size(), c.drawn ? 1U : 0U);
    EXPECT_EQ(host.Map->Ops().at(3), "GetMapHeight");
  }
}

TEST(PlotRangeCircle, MapHeightZeroFailsAfterReadingIt) {
  TRecordingMapSource host;
  host.Map->Height = 0.0F;
  EXPECT_THROW(PlotRangeCircle(host, Station(45, -93, 30, 0), 0, true, 2), std::domain_error);
  EXPECT_EQ(host.Map->Ops().back(), "GetMapHeight");
  EXPECT_TRUE(host.Map->Circles.empty());
}

TEST(PlotRangeCircle, AHostFailureEndsTheOperationThere) {
  for (int failAt = 0; failAt < 5; ++failAt) {
    SCOPED_TRACE(failAt);
    TRecordingMapSource host;
    host.Map->FailAtOperation = failAt;
    EXPECT_THROW(PlotRangeCircle(host, Station(45, -93, 30, 0), 0, true, 2), std::runtime_error);
    EXPECT_EQ(host.Map->Calls.size(), static_cast<std::size_t>(failAt));
  }
}

TEST(PlotDfCircle, FullSizeOwnColourAsFillNoSizeCheck) {
  TRecordingMapSource host;
  host.Map->Height = 0.0F;  // never read: a DF circle has no size check
  PlotDfCircle(host, Station(45, -93, 7.95F, 90), 0x0000FF);
  ASSERT_EQ(host.Map->Ops(), (std::vector<std::string>{"SetPenWidth", "SetFillMode", "SetFillColor", "DrawCircle"}));
  EXPECT_EQ(host.Map->Calls[0].Args, std::vector<double>{kDfPenWidth});
  EXPECT_EQ(host.Map->Calls[1].Args, std::vector<double>{0});
  EXPECT_EQ(host.Map->Calls[2].Args, std::vector<double>{0x0000FF});
  const auto& circle = host.Map->Circles.at(0);
  EXPECT_NEAR(circle.X, -5576.74, kTwoDecimals);
  EXPECT_NEAR(circle.Radius, 6.91, kTwoDecimals);
  EXPECT_EQ(circle.Color, 0x0000FF);
}

TEST(PlotDfCircle, RangeZeroIsStillDrawn) {
  TRecordingMapSource host;
  PlotDfCircle(host, Station(45, -93, 0.0F, 0), 0x008000);
  ASSERT_EQ(host.Map->Circles.size(), 1U);
  EXPECT_EQ(host.Map->Circles[0].Radius, 0.0F);
}

TEST(PlotRangeCircle, ReadsCapabilitiesNotTheDfReport) {
  TRecordingMapSource host;
  auto station = Station(45, -93, 30, 0);
  station.DFReport.Range = 1000;
  station.DFReport.Antenna.Heading = 90;
  PlotRangeCircle(host, station, 0, true, 2);
  ASSERT_EQ(host.Map->Circles.size(), 1U);
  EXPECT_NEAR(host.Map->Circles[0].Radius, 26.07, kTwoDecimals);
  EXPECT_NEAR(host.Map->Circles[0].X, -5580.00, kTwoDecimals);
}

TEST(RangeCircleGeometry, NearThePoleStaysFinite) {
  for (const int heading : {0, 90, 180, 270, 360}) {
    const TRangeCircle c = RangeCircleGeometry(89.999, 10.0, 120.0F, heading, true);
    EXPECT_TRUE(std::isfinite(c.X) && std::isfinite(c.Y) && std::isfinite(c.Radius)) << heading;
  }
}

}  // namespace
