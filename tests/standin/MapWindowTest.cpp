#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <vector>

#include "HeardStation.h"
#include "MapWindow.h"
#include "StandInHost.h"
#include "StandInMap.h"

using namespace standin;

namespace {

using standin::test::HeardStation;

// 95 W to 91 W, 46 N to 44 N.
const TMapArea kArea{-5700.0, 2760.0, 240.0, -120.0};

void ExpectArea(const TMapArea& got, const TMapArea& want, double tolerance = 1e-9) {
  EXPECT_NEAR(got.Left, want.Left, tolerance);
  EXPECT_NEAR(got.Top, want.Top, tolerance);
  EXPECT_NEAR(got.Width, want.Width, tolerance);
  EXPECT_NEAR(got.Height, want.Height, tolerance);
}

// The view itself (projection, opening area, zoom, pan) is tested in MapProjectionTest.

TEST(MapHelpers, ColoursLabelsAndSteps) {
  EXPECT_EQ(ColorFromBgr(0x0000FF), QColor(255, 0, 0));
  EXPECT_EQ(ColorFromBgr(0xFF0000), QColor(0, 0, 255));
  EXPECT_EQ(ColorFromBgr(0x008000), QColor(0, 128, 0));
  EXPECT_EQ(ColorFromBgr(static_cast<std::int32_t>(0xFF123456)), QColor(0x56, 0x34, 0x12));
  // clang-format off
  const std::vector<std::pair<double, QString>> latitudes = {
      {2700, "45°N"}, {2730, "45°30'N"}, {0, "0°"}, {-30, "0°30'S"}, {-5400, "90°S"}};
  for (const auto& [minutes, text] : latitudes) EXPECT_EQ(GraticuleLabel(minutes, true), text) << minutes;
  EXPECT_EQ(GraticuleLabel(-5580, false), "93°W");
  EXPECT_EQ(GraticuleLabel(10800, false), "180°E");
  EXPECT_EQ(GraticuleLabel(-10830, false), "180°30'W");
  EXPECT_EQ(GraticuleStep(1.0, 70), 120);
  EXPECT_EQ(GraticuleStep(70.0, 70), 1);
  EXPECT_EQ(GraticuleStep(1e-6, 70), 5400);
}

TEST(MapWindow, FramesComeThirtyASecondAndSlowOnesLeaveAsLongFree) {
  struct Case {
    qint64 sinceLastEnd, lastCost, delay;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {0,   0,  33},  // a cheap frame: the next one a frame's time after it began
      {0,   10, 23},
      {20,  10, 3},
      {40,  10, 0},
      {0,   16, 17},
      {0,   30, 30},  // slow frames: at most half of the time goes to painting
      {0,   200, 200},
      {150, 200, 50},
      {500, 200, 0},
  };
  // clang-format on
  for (const Case& c : cases)
    EXPECT_EQ(RepaintDelay(c.sinceLastEnd, c.lastCost), c.delay)
        << c.sinceLastEnd << " after a frame of " << c.lastCost;
}

// ---- the window ----

// Draws one circle through the host interface, as a client does.
void Draw(TStandInMap& map, float x, float y, float radius, std::int32_t color, std::int16_t pen, std::int16_t fill,
          std::int32_t fillColor) {
  map.SetPenWidth(pen);
  map.SetFillMode(fill);
  map.SetFillColor(fillColor);
  float start = 6.2831855F;
  double end = 6.283185307179586;
  float aspect = 1.0F;
  map.DrawCircle(x, y, radius, color, start, end, aspect);
}

QStringList TraceLines(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromLatin1(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

struct WindowFixture : ::testing::Test {
  QTemporaryDir dir;
  QString tracePath = dir.filePath("trace.txt");
  std::shared_ptr<TStandInMap> map = std::make_shared<TStandInMap>(kArea, tracePath.toStdString());
  TMapWindow window{map};
  void SetUp() override { Draw(*map, -5580.0F, 2700.0F, 10.0F, 0x0000FF, 3, 1, 0xFFFF00); }
};

TEST_F(WindowFixture, TheMapReportsWhatTheWindowShows) {
  ExpectArea(map->Bounds(), kArea, 1e-6);
  ExpectArea(map->Bounds(), window.VisibleArea(), 0.0);
}

TEST_F(WindowFixture, WheelZoomsAndWipesTheCircles) {
  QWheelEvent wheel(QPointF(450, 225), window.mapToGlobal(QPointF(450, 225)), QPoint(), QPoint(0, 120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&window, &wheel);
  EXPECT_LT(window.VisibleArea().Width, kArea.Width);
  ExpectArea(map->Bounds(), window.VisibleArea(), 0.0);
  EXPECT_TRUE(map->Circles().empty());
  const QStringList trace = TraceLines(tracePath);
  ASSERT_EQ(trace.size(), 5);
  EXPECT_TRUE(trace[3].startsWith("DrawCircle -5580 2700 10 255 6.2831855 6.283185307179586 1"))
      << trace[3].toStdString();
  EXPECT_TRUE(trace[4].startsWith("MapView ")) << trace[4].toStdString();
}

TEST_F(WindowFixture, KeysZoomAndPanAndWipeTheCircles) {
  struct Row {
    Qt::Key Key;
    double Width;  // of the area after the key, in the opening area's widths
    int East;      // which way the left edge moved: -1 west, 0 not, 1 east
    int North;
  };
  // clang-format off
  const std::vector<Row> rows = {
      {Qt::Key_Plus,  0.5, 1, -1},  // in about the middle: the edges move inwards
      {Qt::Key_Minus, 1.0, -1, 1},
      {Qt::Key_Left,  1.0, -1, 0},  // the view moves west, the map east
      {Qt::Key_Right, 1.0, 1, 0},
      {Qt::Key_Up,    1.0, 0, 1},
      {Qt::Key_Down,  1.0, 0, -1},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Key);
    Draw(*map, -5580.0F, 2700.0F, 10.0F, 0x0000FF, 3, 1, 0xFFFF00);
    const TMapArea before = map->Bounds();
    QTest::keyClick(&window, row.Key);
    const TMapArea after = map->Bounds();
    EXPECT_NEAR(after.Width, row.Width * kArea.Width, 1e-6);
    EXPECT_EQ((after.Left > before.Left + 1e-6) - (after.Left < before.Left - 1e-6), row.East);
    EXPECT_EQ((after.Top > before.Top + 1e-6) - (after.Top < before.Top - 1e-6), row.North);
    EXPECT_TRUE(map->Circles().empty());
  }
}

TEST_F(WindowFixture, DragPansAndWipesTheCircles) {
  QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
  QTest::mouseMove(&window, QPoint(160, 100));
  QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, QPoint(160, 100));
  const TMapArea area = map->Bounds();
  EXPECT_NEAR(area.Left, kArea.Left - 60 * kArea.Width / window.View().PixelWidth(), 1e-6);  // dragged east
  EXPECT_NEAR(area.Top, kArea.Top, 1e-6);
  EXPECT_TRUE(map->Circles().empty());
}

TEST_F(WindowFixture, RedrawClearsAndCloseTellsTheHost) {
  map->Redraw();
  EXPECT_TRUE(map->Circles().empty());
  bool closing = false;
  window.OnClosing = [&] { closing = true; };
  window.show();
  window.close();
  EXPECT_TRUE(closing);
}

TEST(MapWindowStations, HeardStationsAreShownByTheirLastPosition) {
  QTemporaryDir dir;
  TStandInSettings settings;
  settings.Feed = "file:" + dir.filePath("none.txt").toStdString();
  settings.Map = kArea;
  auto host = std::make_shared<TStandInHost>(settings, dir.path());
  host->ShowWindow();
  TMapWindow& window = *host->MapWindow();
  host->HandleLine("N0CALL-9>APRS,WIDE1-1:!4500.00N/09300.00W>mobile");
  host->HandleLine("NOPOS>APRS:>just a status");
  const TMapStations& stations = window.Stations();
  EXPECT_EQ(stations.Placed(), 1U);
  ASSERT_NE(stations.At(0), nullptr);
  EXPECT_EQ(HeardStation(stations, 0).Callsign, "N0CALL-9");
  EXPECT_NEAR(HeardStation(stations, 0).Latitude, 45.0, 1e-9);
  EXPECT_NEAR(HeardStation(stations, 0).Longitude, -93.0, 1e-9);
  EXPECT_FALSE(HeardStation(stations, 1).HasPosition);
  host->HandleLine("N0CALL-9>APRS,WIDE1-1:!4530.00N/09230.00W>moved");
  EXPECT_NEAR(HeardStation(stations, 0).Latitude, 45.5, 1e-9);
  EXPECT_NEAR(HeardStation(stations, 0).Longitude, -92.5, 1e-9);
  EXPECT_EQ(HeardStation(stations, 0).Track.size(), 2U);
  // An object the station sends is not the station's place.
  host->HandleLine("N0CALL-9>APRS:;MEETING  *111111z4600.00N/09400.00W-net");
  EXPECT_NEAR(HeardStation(stations, 0).Latitude, 45.5, 1e-9);

  // A click on the station gives its latest packet's report; a click on empty map nothing.
  const TPixel at = window.View().ToPixel(-92.5 * 60, 45.5 * 60);
  const QString report = window.StationReportAt(QPointF(at.X + 4, at.Y - 3));
  EXPECT_TRUE(report.contains("N0CALL-9")) << report.toStdString();
  EXPECT_TRUE(report.contains("MEETING")) << report.toStdString();  // the latest packet, here the object
  EXPECT_TRUE(window.StationReportAt(QPointF(at.X + 40, at.Y)).isEmpty());
}

// The circle lies on its centre at its radius: the outline's colour is found
// a radius away in all four directions, the plain map at the centre, and a
// solid fill shows as a light wash inside.
TEST_F(WindowFixture, CirclesArePaintedAtTheirCentreAndRadius) {
  Draw(*map, -5640.0F, 2720.0F, 8.0F, 0x008000, 2, 0, 0x008000);
  const std::vector<THeardStation> heard = {
      {"N0CALL-7", "N0CALL-7>APRS", "!4450.00N/09400.00W-", '/', '-', true, 44 + 50 / 60.0, -94.0}};
  window.SetHeardStations(&heard);
  const QImage image = window.grab().toImage();
  const TMercatorView& view = window.View();
  const auto near = [&](QPointF p, QColor want) {
    for (int dx = -1; dx <= 1; ++dx)
      for (int dy = -1; dy <= 1; ++dy) {
        const QColor got =
            image.pixelColor(static_cast<int>(std::lround(p.x())) + dx, static_cast<int>(std::lround(p.y())) + dy);
        if (std::abs(got.red() - want.red()) < 60 && std::abs(got.green() - want.green()) < 60 &&
            std::abs(got.blue() - want.blue()) < 60)
          return true;
      }
    return false;
  };
  const auto at = [&](double x, double y) {
    const TPixel p = view.ToPixel(x, y);
    return QPointF(p.X, p.Y);
  };
  const QPointF red = at(-5580, 2700);
  const double r = view.GroundRadius(10, 2700);
  for (const QPointF d : {QPointF(r, 0), QPointF(-r, 0), QPointF(0, r), QPointF(0, -r)})
    EXPECT_TRUE(near(red + d, QColor(255, 0, 0))) << d.x() << "," << d.y();
  EXPECT_FALSE(near(red + QPointF(r / 2, r / 2), QColor(255, 0, 0)));
  EXPECT_FALSE(near(red + QPointF(r * 1.3, 0), QColor(255, 0, 0)));

  const QPointF green = at(-5640, 2720);
  const double g = view.GroundRadius(8, 2720);
  EXPECT_TRUE(near(green + QPointF(g, 0), QColor(0, 128, 0)));
  const QColor wash = image.pixelColor(green.toPoint() + QPoint(static_cast<int>(g / 2), 0));
  const QColor outside = image.pixelColor(green.toPoint() + QPoint(static_cast<int>(g * 1.5), 0));
  EXPECT_LT(wash.red(), outside.red());  // tinted green inside, plain outside
  EXPECT_GT(wash.green(), 150);          // but light

  // The heard station's house symbol centred at its place: the red door just below the centre.
  const QPointF station = at(-94 * 60, 44 * 60 + 50);
  const QColor door = image.pixelColor(station.toPoint() + QPoint(0, 3));
  EXPECT_GT(door.red(), 150) << door.name().toStdString();
  EXPECT_LT(door.green(), 100) << door.name().toStdString();
}

}  // namespace
