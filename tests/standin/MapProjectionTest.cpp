#include "MapProjection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace standin;

namespace {

constexpr TMercatorView::TLimits kLimits{120, 1400};

TEST(MapProjection, KnownWorldCoordinates) {
  struct Row {
    double X, Y;  // minutes
    double WorldX, WorldY;
  };
  // clang-format off
  const std::vector<Row> rows = {
      {-10800, 0,        0.0,  0.5},
      { 10800, 0,        1.0,  0.5},
      {     0, 2700,     0.5,  0.5 - 0.881373587019543 / (2 * M_PI)},  // ln tan 67.5 deg = asinh 1
      {     0, -2700,    0.5,  0.5 + 0.881373587019543 / (2 * M_PI)},
      {     0, kMercatorLimitDegrees * 60,  0.5, 0.0},
      {     0, 5400,     0.5,  0.0},   // the pole clamped to the limit
      {     0, -5400,    0.5,  1.0},
      {     0, 1e9,      0.5,  0.0},
      {-10808.22, 600,  -10808.22 / 21600 + 0.5, 0.5 - std::log(std::tan(M_PI / 4 + 10 * M_PI / 360)) / (2 * M_PI)},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.X << "," << row.Y);
    EXPECT_NEAR(WorldX(row.X), row.WorldX, 1e-12);
    EXPECT_NEAR(WorldY(row.Y), row.WorldY, 1e-12);
  }
  EXPECT_LT(WorldX(-10808.22), 0.0);  // no wrap: past the 180th meridian stays past it
}

TEST(MapProjection, MinutesRoundTripUpToTheLimit) {
  for (double y = -5100; y <= 5100; y += 37.5)
    for (const double x : {-10830.0, -10800.0, -5580.0, 0.0, 4321.5, 10800.0, 10830.0}) {
      EXPECT_NEAR(MinutesOfWorldX(WorldX(x)), x, 1e-9);
      EXPECT_NEAR(MinutesOfWorldY(WorldY(y)), y, 1e-8) << y;
    }
  EXPECT_NEAR(MinutesOfWorldY(WorldY(5400)), kMercatorLimitDegrees * 60, 1e-8);
  EXPECT_NEAR(MinutesOfWorldY(WorldY(-5400)), -kMercatorLimitDegrees * 60, 1e-8);
}

TEST(MapProjection, PixelsRoundTripThroughTheView) {
  // clang-format off
  const std::vector<TMapRect> areas = {
      {-5700, 2760, 240, -120},        // 95 W to 91 W, 46 N to 44 N
      {-10000, 4800, 20000, -9600},    // nearly the world
      {10500, 600, 600, -300},         // across the 180th meridian
      {-600, -4800, 300, -300},        // far south
  };
  // clang-format on
  for (const TMapRect& area : areas) {
    SCOPED_TRACE(area.Left);
    TMercatorView view = TMercatorView::Fitting(area, 900, kLimits);
    for (int step = 0; step < 2; ++step) {
      for (const TPixel p : {TPixel{0, 0}, TPixel{450, 200}, TPixel{899.5, 449.5}, TPixel{-20, 300}}) {
        const TMinutes m = view.ToMinutes(p);
        const TPixel back = view.ToPixel(m.X, m.Y);
        EXPECT_NEAR(back.X, p.X, 1e-6);
        EXPECT_NEAR(back.Y, p.Y, 1e-6);
      }
      view.PanBy(300, 0);  // and again with the centre moved round the world
    }
  }
}

TEST(MapProjection, OpensOnTheAreaAndReportsItUntilMoved) {
  // clang-format off
  const std::vector<TMapRect> areas = {
      {-5700, 2760, 240, -120},
      {-7200, 3000, 1200, -900},
      {10700, 660, 200, -120},
      {-600, -3000, 300, -300},
      {-600, 3000, 900, -60},          // flat: a wider window
      {-600, 3000, 300, -1200},        // tall: a narrower window
      {-4380, 2985, 120, -90},         // the demo region
  };
  // clang-format on
  for (const TMapRect& area : areas) {
    SCOPED_TRACE(area.Left);
    const TMercatorView view = TMercatorView::Fitting(area, 900, kLimits);
    EXPECT_EQ(view.VisibleArea(), area);
    EXPECT_LE(view.PixelWidth(), 1400);
    EXPECT_LE(view.PixelHeight(), 1400);
    // The picture is the area to a pixel.
    const TPixel topLeft = view.ToPixel(area.Left, area.Top);
    const TPixel bottomRight = view.ToPixel(area.Left + area.Width, area.Top + area.Height);
    EXPECT_NEAR(topLeft.X, 0, 1e-6);
    EXPECT_NEAR(topLeft.Y, 0, 1e-6);
    EXPECT_NEAR(bottomRight.X, view.PixelWidth(), 1e-6);
    EXPECT_NEAR(bottomRight.Y, view.PixelHeight(), 0.5);
    // A move of any kind reports what is shown from then on.
    TMercatorView panned = view;
    panned.PanBy(0, 0);
    EXPECT_FALSE(panned.Opening());
    EXPECT_NEAR(panned.VisibleArea().Left, area.Left, 1e-6);
    EXPECT_NEAR(panned.VisibleArea().Top, area.Top, 1e-6);
    EXPECT_NEAR(panned.VisibleArea().Height, area.Height, std::fabs(area.Height) / view.PixelHeight());
  }
  // An area no window can hold is all in view, and a degenerate one gives a usable view.
  const TMapRect flat{-600, 3000, 21000, -60};
  const TMercatorView wide = TMercatorView::Fitting(flat, 900, kLimits);
  EXPECT_GE(wide.ToPixel(flat.Left, flat.Top).X, -1e-6);
  EXPECT_LE(wide.ToPixel(flat.Left + flat.Width, flat.Top).X, wide.PixelWidth() + 1e-6);
  const TMercatorView degenerate = TMercatorView::Fitting({0, 0, 0, 0}, 900, kLimits);
  EXPECT_GT(degenerate.VisibleArea().Width, 0.0);
  EXPECT_LT(degenerate.VisibleArea().Height, 0.0);
}

TEST(MapProjection, GroundCirclesAreTrueAtTheirLatitude) {
  TMercatorView view = TMercatorView::Fitting({-600, 600, 1200, -1200}, 900, kLimits);
  const double atEquator = view.GroundRadius(10, 0);
  EXPECT_NEAR(atEquator, 10 * 900 / 1200.0, 1e-9);
  // At 60 degrees Mercator draws the ground twice as large as at the equator.
  EXPECT_NEAR(view.GroundRadius(10, 3600), 2 * atEquator, 1e-9);
  for (const double latitude : {-70.0, -33.9, 0.0, 30.0, 45.0, 49.0, 60.0, 80.0}) {
    SCOPED_TRACE(latitude);
    const double y = latitude * 60;
    const double r = 10;
    const double radius = view.GroundRadius(r, y);
    const TPixel centre = view.ToPixel(0, y);
    // r minutes of latitude east-west on the ground is r / cos(latitude) minutes of longitude.
    const TPixel east = view.ToPixel(r / std::cos(latitude * M_PI / 180), y);
    EXPECT_NEAR(east.X - centre.X, radius, 1e-9);
    // North and south of the centre the same ground distance, to the curvature of the scale.
    const double northSouth = (view.ToPixel(0, y - r).Y - view.ToPixel(0, y + r).Y) / 2;
    EXPECT_NEAR(northSouth, radius, radius * 1e-3);
  }
  // Beyond the limit the scale of the limit: finite, never infinite at the pole.
  EXPECT_TRUE(std::isfinite(view.GroundRadius(10, 5400)));
}

TEST(MapProjection, TheOtherSideOfTheDateLine) {
  // 175 E to 175 W.
  TMercatorView view = TMercatorView::Fitting({10500, 600, 600, -600}, 900, kLimits);
  const double middle = view.PixelWidth() / 2.0;
  EXPECT_NEAR(view.ToPixel(10800, 300).X, middle, 1e-6);
  EXPECT_NEAR(view.ToPixel(-10800, 300).X, middle, 1e-6);
  EXPECT_GT(view.ToPixel(-10790, 300).X, middle);  // 179.83 W is east of the line
  EXPECT_LT(view.ToPixel(10790, 300).X, middle);
  EXPECT_LT(view.ToPixel(-10808.22, 300).X, middle);  // a centre wrapped west of 180 W: at 179.86 E
  EXPECT_NEAR(view.ToPixel(-10808.22, 300).X, view.ToPixel(10791.78, 300).X, 1e-6);
  // Panning round the world keeps the bounds on the first copy.
  for (int i = 0; i < 10; ++i) {
    view.PanBy(-700, 0);
    const TMapRect area = view.VisibleArea();
    EXPECT_GE(area.Left, -10800);
    EXPECT_LT(area.Left, 10800);
  }
}

TEST(MapProjection, ZoomKeepsThePointUnderTheMouseAndPanFollowsIt) {
  TMercatorView view = TMercatorView::Fitting({-5700, 2760, 240, -120}, 900, kLimits);
  const TPixel mouse{200, 100};
  const TMinutes before = view.ToMinutes(mouse);
  view.ZoomAt(mouse, 2.0);
  const TMinutes after = view.ToMinutes(mouse);
  EXPECT_NEAR(after.X, before.X, 1e-9);
  EXPECT_NEAR(after.Y, before.Y, 1e-9);
  EXPECT_NEAR(view.VisibleArea().Width, 120, 1e-6);
  EXPECT_NEAR(view.VisibleArea().Height, -60, 0.6);
  view.ZoomAt(mouse, 0.0);  // ignored
  view.ZoomAt(mouse, NAN);
  EXPECT_NEAR(view.VisibleArea().Width, 120, 1e-6);
  const TPixel place = view.ToPixel(-5580, 2700);
  view.PanBy(30, -20);
  const TPixel moved = view.ToPixel(-5580, 2700);
  EXPECT_NEAR(moved.X - place.X, 30, 1e-9);
  EXPECT_NEAR(moved.Y - place.Y, -20, 1e-9);
  // Out to the whole world and no further; the poles stay off the middle of the window.
  for (int i = 0; i < 40; ++i) view.ZoomAt(mouse, 0.5);
  EXPECT_GE(view.WorldPixels(), 256);
  for (int i = 0; i < 40; ++i) view.PanBy(0, 1000);
  EXPECT_GE(view.Centre().Y, 0.0);
}

}  // namespace
