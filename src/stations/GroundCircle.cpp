#include "GroundCircle.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvik {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kHalfPi = kPi / 2.0;
constexpr double kDegreesPerRadian = 180.0 / kPi;
constexpr double kMeridian = 180.0;
constexpr double kFullTurn = 360.0;
constexpr double kPoleLat = 90.0;

// The point at `distance` (radians) from the centre on initial bearing
// `bearing`, through unit vectors so that a centre on a pole works too.
TLonLat Destination(double lat, double lon, double bearing, double distance) {
  const double cLat = std::cos(lat), sLat = std::sin(lat), cLon = std::cos(lon), sLon = std::sin(lon);
  const double centre[3] = {cLat * cLon, cLat * sLon, sLat};
  const double east[3] = {-sLon, cLon, 0.0};
  const double north[3] = {-sLat * cLon, -sLat * sLon, cLat};
  double p[3];
  for (int i = 0; i < 3; ++i)
    p[i] = centre[i] * std::cos(distance) +
           (north[i] * std::cos(bearing) + east[i] * std::sin(bearing)) * std::sin(distance);
  const double z = std::clamp(p[2], -1.0, 1.0);
  return {std::atan2(p[1], p[0]) * kDegreesPerRadian, std::asin(z) * kDegreesPerRadian};
}

// Longitude difference folded into -180..180.
double Fold(double d) { return std::remainder(d, kFullTurn); }

double SignedArea(const std::vector<TLonLat>& open) {
  double area = 0.0;
  for (std::size_t i = 0; i < open.size(); ++i) {
    const TLonLat& a = open[i];
    const TLonLat& b = open[(i + 1) % open.size()];
    area += a.Lon * b.Lat - b.Lon * a.Lat;
  }
  return area / 2.0;
}

TRing Closed(std::vector<TLonLat> open) {
  if (SignedArea(open) < 0.0) std::reverse(open.begin(), open.end());
  open.push_back(open.front());
  return open;
}

TLonLat OnMeridian(const TLonLat& a, const TLonLat& b, double meridian) {
  const double t = (meridian - a.Lon) / (b.Lon - a.Lon);
  return {meridian, a.Lat + t * (b.Lat - a.Lat)};
}

// The part of an open ring on one side of a meridian (Sutherland-Hodgman
// against one half-plane; a small circle crosses a meridian at most twice).
std::vector<TLonLat> ClipAt(const std::vector<TLonLat>& ring, double meridian, bool keepWest) {
  const auto inside = [&](const TLonLat& p) { return keepWest ? p.Lon <= meridian : p.Lon >= meridian; };
  std::vector<TLonLat> out;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const TLonLat& cur = ring[i];
    const TLonLat& prev = ring[(i + ring.size() - 1) % ring.size()];
    if (inside(cur)) {
      if (!inside(prev)) out.push_back(OnMeridian(prev, cur, meridian));
      out.push_back(cur);
    } else if (inside(prev)) {
      out.push_back(OnMeridian(prev, cur, meridian));
    }
  }
  return out;
}

// A ring round one pole: the points run once across all longitudes; the
// polygon follows them from one side of the meridian to the other and comes
// back along the meridian and the pole.
TRing AroundPole(std::vector<TLonLat> pts, double poleLat) {
  const std::size_t n = pts.size();
  std::size_t jump = 0;
  for (std::size_t i = 0; i < n; ++i)
    if (std::fabs(pts[(i + 1) % n].Lon - pts[i].Lon) > kMeridian) jump = i;
  std::rotate(pts.begin(), pts.begin() + static_cast<std::ptrdiff_t>((jump + 1) % n), pts.end());
  // pts now runs from just after the meridian to just before it.
  const double start = pts.front().Lon < pts.back().Lon ? -kMeridian : kMeridian;
  TLonLat last = pts.back();
  TLonLat first = pts.front();
  first.Lon -= start < 0 ? -kFullTurn : kFullTurn;  // the first point seen from the far side
  const double crossLat = OnMeridian(last, first, -start).Lat;
  std::vector<TLonLat> ring;
  ring.push_back({start, crossLat});
  ring.insert(ring.end(), pts.begin(), pts.end());
  ring.push_back({-start, crossLat});
  ring.push_back({-start, poleLat});
  ring.push_back({start, poleLat});
  return Closed(std::move(ring));
}

}  // namespace

double NormalLongitude(double lon) {
  const double folded = Fold(lon);
  return folded == -kMeridian ? kMeridian : folded;
}

std::vector<TRing> GroundCircleRings(double centreLat, double centreLon, double radiusRadians, int points) {
  if (!(radiusRadians > 0.0) || !std::isfinite(radiusRadians) || !std::isfinite(centreLat) || !std::isfinite(centreLon))
    return {};
  const double lat = std::clamp(centreLat, -kPoleLat, kPoleLat) / kDegreesPerRadian;
  const double lonc = NormalLongitude(centreLon);
  const bool northPole = kHalfPi - lat < radiusRadians;
  const bool southPole = kHalfPi + lat < radiusRadians;
  if (northPole && southPole) return {};

  const int n = std::max(points, kGroundCirclePoints);
  std::vector<TLonLat> pts;
  pts.reserve(static_cast<std::size_t>(n));
  for (int k = 0; k < n; ++k) {
    const double bearing = -2.0 * kPi * k / n;  // from north toward west: counter-clockwise on the map
    pts.push_back(Destination(lat, lonc / kDegreesPerRadian, bearing, radiusRadians));
  }
  if (northPole || southPole) return {AroundPole(std::move(pts), northPole ? kPoleLat : -kPoleLat)};

  // Longitudes seen from the centre, so that the ring is one piece that may
  // stick out past -180 or 180.
  for (TLonLat& p : pts) p.Lon = lonc + Fold(p.Lon - lonc);
  const auto [lo, hi] = std::minmax_element(pts.begin(), pts.end(), [](auto& a, auto& b) { return a.Lon < b.Lon; });
  if (hi->Lon > kMeridian) {
    std::vector<TLonLat> far = ClipAt(pts, kMeridian, false);
    for (TLonLat& p : far) p.Lon -= kFullTurn;
    return {Closed(ClipAt(pts, kMeridian, true)), Closed(std::move(far))};
  }
  if (lo->Lon < -kMeridian) {
    std::vector<TLonLat> far = ClipAt(pts, -kMeridian, true);
    for (TLonLat& p : far) p.Lon += kFullTurn;
    return {Closed(ClipAt(pts, -kMeridian, false)), Closed(std::move(far))};
  }
  return {Closed(std::move(pts))};
}

}  // namespace tarvik
