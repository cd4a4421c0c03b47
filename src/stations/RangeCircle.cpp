#include "RangeCircle.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace tarvik {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDegreesPerRadian = 180.0 / kPi;
// The centre moves a third of the range toward the antenna heading.
constexpr double kOffsetDivisor = 3.0;
constexpr float kHalfSizeDivisor = 2.0F;
constexpr double kPercent = 100.0;
// Beyond this many turns the subtraction loop is pointless; the remainder is
// taken directly so a wild value cannot hang the pass.
constexpr float kMaxWrapTurns = 64.0F;

float Single(double v) { return static_cast<float>(v); }
double Radians(double degrees) { return degrees / kDegreesPerRadian; }
double Minutes(double radians) { return radians * kDegreesPerRadian * kMinutesPerDegree; }

// The trigonometry runs in double on the 32-bit values: std::sin(float)
// would pick the single-precision overload.
double Sin(double v) { return std::sin(v); }
double Cos(double v) { return std::cos(v); }

// arcsin as arctan2(v, sqrt(1 - v^2)); rounding can push |v| a hair past 1
// near the poles, which must not turn the circle into NaN.
double ArcSin(double v) { return std::atan2(v, std::sqrt(std::max(0.0, 1.0 - v * v))); }

void DrawOne(TMapSource& host, const TRangeCircle& circle, std::int32_t color) {
  float x = circle.X;
  float y = circle.Y;
  float radius = circle.Radius;
  std::int32_t outline = color;
  float startAngle = kTwoPiSingle;
  double endAngle = kTwoPiDouble;
  float aspect = kCircleAspect;
  host.GetMap()->DrawCircle(x, y, radius, outline, startAngle, endAngle, aspect);
}

void SetPen(TMapSource& host, int penWidth, std::int16_t fillMode, std::int32_t fillColor) {
  auto pen = static_cast<std::int16_t>(std::clamp<int>(penWidth, INT16_MIN, INT16_MAX));
  host.GetMap()->SetPenWidth(pen);
  host.GetMap()->SetFillMode(fillMode);
  host.GetMap()->SetFillColor(fillColor);
}

}  // namespace

float WrapAngle(float modulus, float value) {
  if (!(modulus > 0.0F) || !std::isfinite(value)) return value;
  const bool negative = value < 0.0F;
  float magnitude = std::fabs(value);
  if (magnitude > modulus * kMaxWrapTurns) magnitude = std::fmod(magnitude, modulus);
  while (magnitude > modulus) magnitude -= modulus;
  return negative ? -magnitude : magnitude;
}

TRangeCircle RangeCircleGeometry(double latitude, double longitude, float rangeMiles, int heading, bool fullSize) {
  TRangeCircle circle;
  circle.X = Single(longitude * kMinutesPerDegree);
  circle.Y = Single(latitude * kMinutesPerDegree);

  const float d = Single(rangeMiles / kEarthRadiusMiles);  // angular range, radians
  const float phi1 = Single(Radians(latitude));
  const float lambda1 = Single(Radians(longitude));

  if (heading != 0) {
    const float theta = Single(Radians(heading));
    float delta = Single(d / kOffsetDivisor);
    if (!fullSize) delta /= kHalfSizeDivisor;
    const float phi2 = Single(ArcSin(Sin(phi1) * Cos(delta) + Cos(phi1) * Sin(delta) * Cos(theta)));
    const float turned = Single(ArcSin(Sin(theta) * Sin(delta) / Cos(phi2)) + lambda1 + kPi);
    const float lambda2 = Single(WrapAngle(kTwoPiSingle, turned) - kPi);
    circle.X = Single(Minutes(lambda2));
    circle.Y = Single(Minutes(phi2));
  }

  // The radius is the distance from the station to the point d due north of
  // it, both in map units: d in minutes of arc, measured at the station.
  const float stationY = Single(Minutes(phi1));
  const float northY = Single(Minutes(Single(phi1 + d)));
  const float stationX = Single(Minutes(lambda1));
  const float northX = stationX;
  const double dy = static_cast<double>(northY) - stationY;
  const double dx = static_cast<double>(northX) - stationX;
  circle.Radius = Single(std::sqrt(dy * dy + dx * dx));
  if (!fullSize) circle.Radius /= kHalfSizeDivisor;
  return circle;
}

bool RangeCircleVisible(float radius, float mapHeight) {
  if (mapHeight == 0.0F) {
    // What the arithmetic would raise: 0/0 is an invalid operation, x/0 a division by zero.
    if (radius == 0.0F) throw std::domain_error("Invalid floating point operation");
    throw std::domain_error("Floating point division by zero");
  }
  const float percent = Single(std::fabs(2.0 * radius / mapHeight * kPercent));
  return percent > kSmallestCirclePercent;
}

void PlotRangeCircle(TMapSource& host, const aprs::TAprsPacket& station, std::int32_t color, bool fullSize,
                     int penWidth) {
  SetPen(host, penWidth, kRangeFillMode, kRangeFillColor);
  const TRangeCircle circle =
      RangeCircleGeometry(station.Position.Latitude.Value, station.Position.Longitude.Value, station.Capabilities.Range,
                          station.Capabilities.Antenna.Heading, fullSize);
  const float mapHeight = host.GetMap()->GetMapHeight();
  if (!RangeCircleVisible(circle.Radius, mapHeight)) return;
  DrawOne(host, circle, color);
}

void PlotDfCircle(TMapSource& host, const aprs::TAprsPacket& station, std::int32_t color) {
  SetPen(host, kDfPenWidth, kDfFillMode, color);
  const TRangeCircle circle = RangeCircleGeometry(station.Position.Latitude.Value, station.Position.Longitude.Value,
                                                  station.DFReport.Range, station.DFReport.Antenna.Heading, true);
  DrawOne(host, circle, color);
}

}  // namespace tarvik
