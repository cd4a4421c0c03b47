// Web Mercator, the projection of slippy-map tiles, between the host map's
// minutes of arc, world coordinates and window pixels.
//
// World coordinates run from 0 to 1 east from 180 W (a longitude past the
// 180th meridian lies outside, the projection does not wrap it) and from 0 at
// the northern limit of the projection to 1 at the southern one, as tiles
// number them. Latitudes beyond the limit (about 85.05 degrees) are clamped
// to it: Mercator sends the poles to infinity.
#pragma once

#include <optional>

#include "StandInSettings.h"

namespace standin {

// atan(sinh(pi)): the latitude where the square world of Web Mercator ends.
inline constexpr double kMercatorLimitDegrees = 85.05112877980659;
inline constexpr double kMinutesAroundTheWorld = 360.0 * 60.0;

struct TWorldPoint {
  double X = 0;
  double Y = 0;
};

struct TPixel {
  double X = 0;
  double Y = 0;
};

// A position in minutes of arc (x longitude, y latitude).
struct TMinutes {
  double X = 0;
  double Y = 0;
};

double WorldX(double xMinutes);
double WorldY(double yMinutes);
inline TWorldPoint ToWorld(double xMinutes, double yMinutes) { return {WorldX(xMinutes), WorldY(yMinutes)}; }
double MinutesOfWorldX(double worldX);
double MinutesOfWorldY(double worldY);

// How much Mercator enlarges the ground at a latitude (the secant), held at
// its value at the projection's limit beyond it.
double MercatorStretch(double yMinutes);

// What a map window shows: a centre in world coordinates, a scale in pixels
// per world width and a size in pixels.
class TMercatorView {
 public:
  struct TLimits {
    int MinPixels = 120;
    int MaxPixels = 1400;
  };

  // A view about `pixelWidth` wide showing `area`, its height chosen for the
  // area's aspect on Mercator; the window is narrowed or widened within the
  // limits for a tall or flat area. Until the view changes it reports exactly
  // `area` (the picture differs from it by less than a pixel's rounding).
  static TMercatorView Fitting(const TMapRect& area, int pixelWidth, TLimits limits);

  // The area shown in minutes of arc (height negative).
  TMapRect VisibleArea() const;
  // Whether the view is still the one it opened with.
  bool Opening() const { return m_opening.has_value(); }

  // A point in minutes: on the copy of the world nearest the view's centre, so
  // that a longitude past the 180th meridian lands where the view shows it.
  TPixel ToPixel(double xMinutes, double yMinutes) const;
  TPixel WorldToPixel(TWorldPoint world) const;
  TWorldPoint ToWorld(TPixel pixel) const;
  TMinutes ToMinutes(TPixel pixel) const;
  // A whole number of world widths that brings `worldX` nearest the centre.
  double NearestCopy(double worldX) const;

  // Screen radius of a ground circle: `radiusMinutes` minutes of latitude
  // measured at `yMinutes`, round on Mercator.
  double GroundRadius(double radiusMinutes, double yMinutes) const;
  // Pixels per minute of longitude anywhere, and per minute of latitude at `yMinutes`.
  double PixelsPerMinuteX() const { return m_worldPixels / kMinutesAroundTheWorld; }
  double PixelsPerMinuteY(double yMinutes) const { return PixelsPerMinuteX() * MercatorStretch(yMinutes); }

  void Resize(int pixelWidth, int pixelHeight);
  // Zooms by `factor` (>1 in) keeping the point under `pixel` in place.
  void ZoomAt(TPixel pixel, double factor);
  // The content follows the mouse by `dx`, `dy` pixels.
  void PanBy(double dx, double dy);

  int PixelWidth() const { return m_pixelWidth; }
  int PixelHeight() const { return m_pixelHeight; }
  double WorldPixels() const { return m_worldPixels; }
  TWorldPoint Centre() const { return m_centre; }

 private:
  void Changed();

  TWorldPoint m_centre{0.5, 0.5};
  double m_worldPixels = 1024.0;
  int m_pixelWidth = 1;
  int m_pixelHeight = 1;
  std::optional<TMapRect> m_opening;
};

}  // namespace standin
