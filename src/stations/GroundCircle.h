// A circle on the ground as longitude/latitude polygons for map files.
//
// The ring is every point at the angular radius from the centre. Plain
// longitude/latitude cannot hold a ring that crosses the 180th meridian or
// goes round a pole, so such a circle becomes two polygons split at the
// meridian, or one polygon closed along the meridian and the pole.
#pragma once

#include <vector>

namespace tarvik {

// At least this many points on a ring, one every five degrees of bearing.
inline constexpr int kGroundCirclePoints = 72;

struct TLonLat {
  double Lon = 0.0;
  double Lat = 0.0;
  bool operator==(const TLonLat&) const = default;
};

// A closed ring (the last point repeats the first), counter-clockwise, every
// longitude within -180..180.
using TRing = std::vector<TLonLat>;

// A longitude folded into -180..180 (180 stays 180).
double NormalLongitude(double lon);

// The exterior rings of the circle of `radiusRadians` around the centre (in
// degrees): one ring, two when it crosses the 180th meridian; nothing for a
// circle of no size or one that takes in both poles (over a hemisphere).
std::vector<TRing> GroundCircleRings(double centreLat, double centreLon, double radiusRadians,
                                     int points = kGroundCirclePoints);

}  // namespace tarvik
