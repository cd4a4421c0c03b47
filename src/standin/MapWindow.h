// The stand-in host's map window: a graticule, the stations the host has
// heard, and every circle a client drew through DrawCircle.
//
// Map units are minutes of arc, as the host interface has them: x is
// longitude (east positive), y latitude (north positive). The window shows
// them in Web Mercator, north up; a circle's radius is minutes of latitude
// on the ground (about nautical miles), so it is drawn round at the scale of
// its own latitude.
//
// Like a real map, a pan or zoom repaints the map without the circles: the
// client has to draw them again.
#pragma once

#include <QColor>
#include <QPixmap>
#include <QPointF>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "Basemap.h"
#include "MapProjection.h"
#include "StandInMap.h"
#include "StandInSettings.h"

namespace standin {

struct THeardStation;

// An area of the map in minutes of arc; Height is negative (north up).
using TMapArea = TMapRect;

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
  const TMercatorView& View() const { return m_view; }
  TStandInMap& Map() const { return *m_map; }

  // The land, coast and borders to draw under everything, or none with the
  // reason shown on the map (the graticule is drawn either way).
  void SetBasemap(std::shared_ptr<const TBasemap> basemap, QString problem);

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
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void ViewChanged();
  void RefreshStations();
  void PaintBackground(QPainter& painter) const;
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
  TMercatorView m_view;
  std::shared_ptr<const TBasemap> m_basemap;
  QString m_basemapProblem;
  QPixmap m_background;
  const std::vector<THeardStation>* m_heard = nullptr;
  std::unordered_map<std::string, TKnownStation> m_known;
  std::vector<TMapStation> m_stations;
  bool m_stationsDirty = false;
  bool m_dragging = false;
  QPointF m_dragFrom;
};

}  // namespace standin
