// One station's range or DF circle on the host map.
//
// The host map works in minutes of arc: x is longitude (east positive), y is
// latitude (north positive), and a radius is in minutes of latitude, so one
// unit is about one nautical mile. A PHG circle's centre is moved a third of
// the range toward the antenna's favoured direction along a great circle; the
// radius is the angular range measured at the station itself.
//
// The figures are held as 32-bit reals between steps, as the host's own
// interface holds them; the trigonometry is evaluated in double on those
// values.
#pragma once

#include <cstdint>
#include <memory>

#include "APRSData.h"
#include "Colors.h"
#include "Oxbel32_TLB.h"
#include "Units.h"

namespace tarvik {

inline constexpr double kEarthRadiusMiles = 3956.0;
using units::kMinutesPerDegree;
inline constexpr float kTwoPiSingle = 6.2831855F;          // the longitude wrap and DrawCircle's 5th argument
inline constexpr double kTwoPiDouble = 6.283185307179586;  // DrawCircle's 6th argument
inline constexpr float kCircleAspect = 1.0F;               // DrawCircle's 7th argument
inline constexpr float kSmallestCirclePercent = 2.0F;      // of the map's height, as a diameter
inline constexpr std::int16_t kRangeFillMode = 1;
inline constexpr std::int32_t kRangeFillColor = colors::kCyan;
inline constexpr std::int16_t kDfFillMode = 0;
// The draw pass gives DF circles no pen width of their own; 2 matches the
// ordinary range circles.
inline constexpr int kDfPenWidth = 2;

// Where the host map gets its map object: a fresh one for every operation,
// as the host wants it. Throws when the host cannot give one.
class TMapSource {
 public:
  virtual ~TMapSource() = default;
  virtual std::shared_ptr<host::_clsOxbMap> GetMap() = 0;
};

// The map source of a connected host application object.
class TOxbMapSource : public TMapSource {
 public:
  explicit TOxbMapSource(host::TclsOxb& oxb) : m_oxb(oxb) {}
  std::shared_ptr<host::_clsOxbMap> GetMap() override { return m_oxb.GetMap(); }

 private:
  host::TclsOxb& m_oxb;
};

// Reduces `value` toward zero by whole `modulus` steps while its magnitude is
// strictly greater than the modulus; the sign is kept (-0.5 stays -0.5, a
// magnitude equal to the modulus is returned unchanged).
float WrapAngle(float modulus, float value);

// A station's circle in host map units: centre and radius in minutes of arc.
struct TRangeCircle {
  float X = 0.0F;
  float Y = 0.0F;
  float Radius = 0.0F;
};

// The circle of a station at (latitude, longitude) in degrees with a range in
// statute miles and a heading in whole degrees (0: no direction). Half size
// halves both the centre's offset and the radius.
TRangeCircle RangeCircleGeometry(double latitude, double longitude, float rangeMiles, int heading, bool fullSize);

// True when a circle of `radius` is big enough to draw on a map `mapHeight`
// high: its diameter is more than 2 per cent of the height. A height of 0 is
// an arithmetic failure and throws, as a division by zero would.
bool RangeCircleVisible(float radius, float mapHeight);

// Draws the station's capabilities circle (PHG, RNG or default PHG) unless it
// is too small for the map. Host failures propagate to the caller; pen
// settings already sent stay sent.
void PlotRangeCircle(TMapSource& host, const aprs::TAprsPacket& station, std::int32_t color, bool fullSize,
                     int penWidth);

// Draws the station's DF circle at full size, whatever its size.
void PlotDfCircle(TMapSource& host, const aprs::TAprsPacket& station, std::int32_t color);

}  // namespace tarvik
