// The stand-in host's map window: a graticule, the stations the host has
// heard, and every circle a client drew through DrawCircle.
//
// Map units are minutes of arc, as the host interface has them: x is
// longitude (east positive), y latitude (north positive). The projection is
// equirectangular with longitude compressed by the cosine of the latitude the
// window opened at, so that near that latitude a circle on the ground is a
// circle on the screen and a radius in minutes of latitude (about nautical
// miles) keeps its size in every direction.
//
// Like a real map, a pan or zoom repaints the map without the circles: the
// client has to draw them again.
#pragma once

#include <QColor>
#include <QPointF>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "StandInMap.h"
#include "StandInSettings.h"

namespace standin {

struct THeardStation;

// An area of the map in minutes of arc; Height is negative (north up).
using TMapArea = TMapRect;

// What the window shows: a centre, a scale and a size in pixels.
class TMapView {
 public:
  // A view `pixelWidth` wide whose height is chosen so that it shows exactly
  // `area` (both extents must be non-zero; a degenerate area gets one degree).
  static TMapView Fitting(const TMapArea& area, int pixelWidth);

  TMapArea VisibleArea() const;
  QPointF ToPixel(double x, double y) const;
  QPointF ToMap(QPointF pixel) const;
  // Pixels per minute of latitude; a radius in map units times this is pixels.
  double PixelsPerMinute() const { return 1.0 / m_minutesPerPixelY; }

  void Resize(int pixelWidth, int pixelHeight);
  // Zooms by `factor` (>1 in) keeping the map point under `pixel` in place.
  void ZoomAt(QPointF pixel, double factor);
  // Moves the map with the mouse: the content follows the pixel offset.
  void PanBy(QPointF pixelDelta);

  int PixelWidth() const { return m_pixelWidth; }
  int PixelHeight() const { return m_pixelHeight; }

 private:
  double MinutesPerPixelX() const { return m_minutesPerPixelY / m_stretch; }

  double m_centreX = 0.0;
  double m_centreY = 0.0;
  double m_minutesPerPixelY = 1.0;
  double m_stretch = 1.0;  // cosine of the opening latitude, kept through pans
  int m_pixelWidth = 1;
  int m_pixelHeight = 1;
};

// A heard station where the map shows it.
struct TMapStation {
  std::string Callsign;
  double Latitude = 0.0;   // degrees
  double Longitude = 0.0;  // degrees
  char SymbolTable = '/';
  char SymbolCode = ' ';
};

// The station's position from the last header and information field heard,
// or nothing when that packet carries none.
bool StationPosition(const THeardStation& heard, TMapStation& station);

// 0x00BBGGRR to a colour.
QColor ColorFromBgr(std::int32_t bgr, int alpha = 255);

// The graticule's spacing in minutes for a view: the smallest of the usual
// steps that leaves at least `minPixels` between lines.
double GraticuleStep(double pixelsPerMinute, double minPixels);

// A graticule label: whole degrees ("45°N", "93°W") or degrees and minutes
// ("45°30'N") for a line in minutes of arc.
QString GraticuleLabel(double minutes, bool latitude);

// Draws the host map: the window opens showing the map's bounds, and every
// pan or zoom moves the map's bounds with it (the map drops its circles).
class TMapWindow : public QWidget {
  Q_OBJECT

 public:
  explicit TMapWindow(std::shared_ptr<TStandInMap> map, QWidget* parent = nullptr);
  ~TMapWindow() override;

  // What GetMapLeft, GetMapTop, GetMapWidth and GetMapHeight report.
  TMapArea VisibleArea() const { return m_view.VisibleArea(); }
  const TMapView& View() const { return m_view; }
  TStandInMap& Map() const { return *m_map; }

  // The host's station list changed: positions are read again before the next paint.
  void SetHeardStations(const std::vector<THeardStation>* heard);
  void StationsChanged();
  // The stations shown, by their last position.
  const std::vector<TMapStation>& Stations();

  // The window is being closed by the user.
  std::function<void()> OnClosing;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void ViewChanged();
  void RefreshStations();
  void PaintGraticule(QPainter& painter) const;
  void PaintStations(QPainter& painter) const;
  void PaintCircles(QPainter& painter) const;

  // What was last read for one callsign, so that only changes are decoded again.
  struct TKnownStation {
    std::string Header;
    std::string InfoField;
    bool HasPosition = false;
    TMapStation Station;
  };

  std::shared_ptr<TStandInMap> m_map;
  TMapView m_view;
  const std::vector<THeardStation>* m_heard = nullptr;
  std::unordered_map<std::string, TKnownStation> m_known;
  std::vector<TMapStation> m_stations;
  bool m_stationsDirty = false;
  bool m_dragging = false;
  QPointF m_dragFrom;
};

}  // namespace standin
