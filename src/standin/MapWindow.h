// The stand-in host's map window: the offline basemap with online tiles over
// it when they are on, a graticule, the stations the host has heard, and
// every circle a client drew through DrawCircle.
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
#include <QElapsedTimer>
#include <QHash>
#include <QPixmap>
#include <QPointF>
#include <QStaticText>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "Basemap.h"
#include "MapProjection.h"
#include "MapStations.h"
#include "StandInMap.h"
#include "StandInSettings.h"
#include "StationSymbols.h"

namespace standin {

struct THeardStation;
class TTileFetcher;

// An area of the map in minutes of arc; Height is negative (north up).
using TMapArea = TMapRect;

// 0x00BBGGRR to a colour.
QColor ColorFromBgr(std::int32_t bgr, int alpha = 255);

// The graticule's spacing in minutes for a view: the smallest of the usual
// steps that leaves at least `minPixels` between lines.
double GraticuleStep(double pixelsPerMinute, double minPixels);

// A graticule label: whole degrees ("45°N", "93°W") or degrees and minutes
// ("45°30'N") for a line in minutes of arc.
QString GraticuleLabel(double minutes, bool latitude);

// How long to wait before the next frame, `sinceLastEnd` after the last one
// ended, when it took `lastCost` to paint: frames come at most 30 a second,
// and a frame that is slow to paint is followed by as long without painting,
// so that a busy map never takes more than half of the event loop from the
// feed and the program behind it.
qint64 RepaintDelay(qint64 sinceLastEnd, qint64 lastCost);

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

  // Raster tiles drawn over the basemap while they are on (a missing tile
  // leaves the basemap showing), with their attribution; null for none.
  void SetTiles(TTileFetcher* tiles);

  // The host's station list, read when a station is heard or clicked.
  void SetHeardStations(const std::vector<THeardStation>* heard);
  // The station at `index` of that list was heard: its symbol, place and track
  // are brought up to date, and a repaint is due.
  void StationHeard(std::size_t index);
  const TMapStations& Stations() const { return m_stations; }
  // The station drawn nearest `pixel` within a click's reach, and its latest
  // packet's full text report; empty where there is none.
  QString StationReportAt(QPointF pixel) const;
  // Seconds on a steady clock, for the age of track points.
  std::function<double()> Clock;

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
  void ScheduleRepaint();
  void PaintBackground(QPainter& painter) const;
  void PaintTiles(QPainter& painter) const;
  void PaintAttribution(QPainter& painter) const;
  void PaintGraticule(QPainter& painter) const;
  // The background is drawn again with the next frame.
  void BackgroundChanged();
  void PaintStations(QPainter& painter);
  void PaintCircles(QPainter& painter);

  std::shared_ptr<TStandInMap> m_map;
  TMercatorView m_view;
  std::shared_ptr<const TBasemap> m_basemap;
  QString m_basemapProblem;
  TTileFetcher* m_tiles = nullptr;
  QPixmap m_background;
  const std::vector<THeardStation>* m_heard = nullptr;
  TMapStations m_stations;
  TSymbolPainter m_symbols;
  QHash<std::uint32_t, QStaticText> m_labels;  // by station index; a callsign never changes its index
  // What makes two circles look the same: radius in half pixels, pen and fill.
  using TCircleLook = std::tuple<int, std::int32_t, std::int16_t, std::int16_t, std::int32_t>;
  std::map<TCircleLook, QPixmap> m_circleSprites;
  QTimer m_repaintTimer;
  QElapsedTimer m_sinceLastPaint;  // since the last frame ended
  qint64 m_lastPaintCost = 0;      // milliseconds the last frame took
  bool m_dragging = false;
  QPointF m_dragFrom;
  QPointF m_pressedAt;
};

}  // namespace standin
