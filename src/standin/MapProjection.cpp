#include "MapProjection.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "Units.h"

namespace standin {

namespace {

using units::kMinutesPerDegree;
constexpr double kPi = std::numbers::pi;
constexpr double kLimitMinutes = kMercatorLimitDegrees * kMinutesPerDegree;
constexpr double kRadiansPerMinute = kPi / (180.0 * kMinutesPerDegree);
// Zoom 0 of the tile scheme (one 256-pixel tile for the world) to zoom 21.
constexpr double kMinWorldPixels = 256.0;
constexpr double kMaxWorldPixels = 256.0 * (1 << 21);
constexpr double kFallbackExtent = kMinutesPerDegree;  // one degree for a degenerate area

double ClampedLatitude(double yMinutes) { return std::clamp(yMinutes, -kLimitMinutes, kLimitMinutes); }

double Extent(double value) { return value != 0.0 && std::isfinite(value) ? std::fabs(value) : kFallbackExtent; }

}  // namespace

double WorldX(double xMinutes) { return xMinutes / kMinutesAroundTheWorld + 0.5; }

double WorldY(double yMinutes) {
  const double phi = ClampedLatitude(yMinutes) * kRadiansPerMinute;
  return 0.5 - std::log(std::tan(kPi / 4 + phi / 2)) / (2 * kPi);
}

double MinutesOfWorldX(double worldX) { return (worldX - 0.5) * kMinutesAroundTheWorld; }

double MinutesOfWorldY(double worldY) { return std::atan(std::sinh((0.5 - worldY) * 2 * kPi)) / kRadiansPerMinute; }

double MercatorStretch(double yMinutes) { return 1.0 / std::cos(ClampedLatitude(yMinutes) * kRadiansPerMinute); }

TMercatorView TMercatorView::Fitting(const TMapRect& area, int pixelWidth, TLimits limits) {
  const double width = Extent(area.Width);
  const double height = Extent(area.Height);
  const double left = std::isfinite(area.Left) ? area.Left : -width / 2;
  const double top = std::isfinite(area.Top) ? area.Top : height / 2;
  const double x0 = WorldX(left);
  const double x1 = WorldX(left + width);
  const double y0 = WorldY(top);
  double y1 = WorldY(top - height);
  if (y1 - y0 <= 0.0) y1 = y0 + (x1 - x0);  // an area beyond the projection's limit: a square
  const double worldWidth = x1 - x0;
  const double worldHeight = y1 - y0;

  TMercatorView view;
  view.m_centre = {(x0 + x1) / 2, (y0 + y1) / 2};
  view.m_pixelWidth = std::clamp(pixelWidth, limits.MinPixels, limits.MaxPixels);
  double pixelHeight = view.m_pixelWidth * worldHeight / worldWidth;
  if (pixelHeight > limits.MaxPixels || pixelHeight < limits.MinPixels) {
    // A tall or flat area: change the width instead, within the limits.
    // Rounded towards the window's limits, so that the height stays within them.
    const double narrowed = pixelHeight > limits.MaxPixels
                                ? std::floor(view.m_pixelWidth * limits.MaxPixels / pixelHeight)
                                : std::ceil(view.m_pixelWidth * limits.MinPixels / pixelHeight);
    view.m_pixelWidth = static_cast<int>(std::clamp(narrowed, double(limits.MinPixels), double(limits.MaxPixels)));
    pixelHeight = view.m_pixelWidth * worldHeight / worldWidth;
  }
  view.m_pixelHeight =
      static_cast<int>(std::clamp(std::lrint(pixelHeight), long{limits.MinPixels}, long{limits.MaxPixels}));
  view.m_worldPixels = view.m_pixelWidth / worldWidth;
  if (worldHeight * view.m_worldPixels <= view.m_pixelHeight + 0.5) {
    // The width fits exactly and the height to the rounding of a pixel: pinned
    // at the top left corner, so the left and top edges stay exact.
    view.m_centre = {x0 + view.m_pixelWidth / 2.0 / view.m_worldPixels,
                     y0 + view.m_pixelHeight / 2.0 / view.m_worldPixels};
  } else {
    // Too tall for any window: all of it shown, with room on both sides.
    view.m_worldPixels = view.m_pixelHeight / worldHeight;
    view.m_centre = {(x0 + x1) / 2, (y0 + y1) / 2};
  }
  view.m_worldPixels = std::clamp(view.m_worldPixels, kMinWorldPixels, kMaxWorldPixels);
  const bool usable = std::isfinite(area.Left) && std::isfinite(area.Top) && area.Width > 0 && area.Height < 0 &&
                      std::isfinite(area.Width) && std::isfinite(area.Height);
  if (usable) view.m_opening = area;
  return view;
}

TMapRect TMercatorView::VisibleArea() const {
  if (m_opening) return *m_opening;
  const double halfWidth = m_pixelWidth / 2.0 / m_worldPixels;
  const double halfHeight = m_pixelHeight / 2.0 / m_worldPixels;
  TMapRect area;
  area.Left = MinutesOfWorldX(m_centre.X - halfWidth);
  area.Width = 2 * halfWidth * kMinutesAroundTheWorld;
  area.Top = MinutesOfWorldY(m_centre.Y - halfHeight);
  area.Height = MinutesOfWorldY(m_centre.Y + halfHeight) - area.Top;
  return area;
}

double TMercatorView::NearestCopy(double worldX) const { return worldX - std::round(worldX - m_centre.X); }

TPixel TMercatorView::WorldToPixel(TWorldPoint world) const {
  return {(world.X - m_centre.X) * m_worldPixels + m_pixelWidth / 2.0,
          (world.Y - m_centre.Y) * m_worldPixels + m_pixelHeight / 2.0};
}

TPixel TMercatorView::ToPixel(double xMinutes, double yMinutes) const {
  return WorldToPixel({NearestCopy(WorldX(xMinutes)), WorldY(yMinutes)});
}

TWorldPoint TMercatorView::ToWorld(TPixel pixel) const {
  return {m_centre.X + (pixel.X - m_pixelWidth / 2.0) / m_worldPixels,
          m_centre.Y + (pixel.Y - m_pixelHeight / 2.0) / m_worldPixels};
}

TMinutes TMercatorView::ToMinutes(TPixel pixel) const {
  const TWorldPoint world = ToWorld(pixel);
  return {MinutesOfWorldX(world.X), MinutesOfWorldY(world.Y)};
}

double TMercatorView::GroundRadius(double radiusMinutes, double yMinutes) const {
  return radiusMinutes * PixelsPerMinuteY(yMinutes);
}

void TMercatorView::Resize(int pixelWidth, int pixelHeight) {
  m_pixelWidth = std::max(1, pixelWidth);
  m_pixelHeight = std::max(1, pixelHeight);
  Changed();
}

void TMercatorView::ZoomAt(TPixel pixel, double factor) {
  if (!(factor > 0.0) || !std::isfinite(factor)) return;
  const TWorldPoint anchor = ToWorld(pixel);
  m_worldPixels = std::clamp(m_worldPixels * factor, kMinWorldPixels, kMaxWorldPixels);
  m_centre.X = anchor.X - (pixel.X - m_pixelWidth / 2.0) / m_worldPixels;
  m_centre.Y = anchor.Y - (pixel.Y - m_pixelHeight / 2.0) / m_worldPixels;
  Changed();
}

void TMercatorView::PanBy(double dx, double dy) {
  if (!std::isfinite(dx) || !std::isfinite(dy)) return;
  m_centre.X -= dx / m_worldPixels;
  m_centre.Y -= dy / m_worldPixels;
  Changed();
}

void TMercatorView::Changed() {
  m_opening.reset();
  // Round the world: the left edge stays on the first copy, so the bounds
  // start between 180 W and 180 E; north and south the centre stays on the map.
  m_centre.X -= std::floor(m_centre.X - m_pixelWidth / 2.0 / m_worldPixels);
  m_centre.Y = std::clamp(m_centre.Y, 0.0, 1.0);
}

}  // namespace standin
