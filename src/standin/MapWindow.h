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
#include <string>
#include <vector>

namespace standin {

// An area of the map in minutes of arc; Height is negative (north up).
struct TMapArea {
  double Left = 0.0;
  double Top = 0.0;
  double Width = 0.0;
  double Height = 0.0;
};

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

// One circle as the client asked for it, with the pen settings then in force.
struct TMapCircleRec {
  float X = 0.0F;
  float Y = 0.0F;
  float Radius = 0.0F;
  std::int32_t Color = 0;  // 0x00BBGGRR
  int PenWidth = 1;
  int FillMode = 1;  // 0 solid, 1 transparent, 2..7 hatched
  std::int32_t FillColor = 0;
};

struct TMapStation {
  std::string Callsign;
  double Latitude = 0.0;   // degrees
  double Longitude = 0.0;  // degrees
  char SymbolTable = '/';
  char SymbolCode = ' ';
};

// 0x00BBGGRR to a colour.
QColor ColorFromBgr(std::int32_t bgr, int alpha = 255);

// The graticule's spacing in minutes for a view: the smallest of the usual
// steps that leaves at least `minPixels` between lines.
double GraticuleStep(double pixelsPerMinute, double minPixels);

// A graticule label: whole degrees ("45°N", "93°W") or degrees and minutes
// ("45°30'N") for a line in minutes of arc.
QString GraticuleLabel(double minutes, bool latitude);

class TMapWindow : public QWidget {
  Q_OBJECT

 public:
  explicit TMapWindow(const TMapArea& area, QWidget* parent = nullptr);

  // What GetMapLeft, GetMapTop, GetMapWidth and GetMapHeight report.
  TMapArea VisibleArea() const { return m_view.VisibleArea(); }
  const TMapView& View() const { return m_view; }

  void AddCircle(const TMapCircleRec& circle);
  // The map redrawn: every circle gone.
  void ClearCircles();
  const std::vector<TMapCircleRec>& Circles() const { return m_circles; }

  // A heard station: added, or moved when its callsign is known.
  void SetStation(const TMapStation& station);
  const std::vector<TMapStation>& Stations() const { return m_stations; }

  // After a pan or zoom (the circles are already gone).
  std::function<void()> OnViewChanged;
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
  void PaintGraticule(QPainter& painter) const;
  void PaintStations(QPainter& painter) const;
  void PaintCircles(QPainter& painter) const;

  TMapView m_view;
  std::vector<TMapCircleRec> m_circles;
  std::vector<TMapStation> m_stations;
  bool m_dragging = false;
  QPointF m_dragFrom;
};

}  // namespace standin
