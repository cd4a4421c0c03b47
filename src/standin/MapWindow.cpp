#include "MapWindow.h"

#include <QCloseEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStaticText>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>

#include "APRSParser.h"
#include "BasemapPainter.h"
#include "Declutter.h"
#include "StandInHost.h"
#include "TileFetcher.h"
#include "TilePlacement.h"

namespace standin {

namespace {

constexpr TMercatorView::TLimits kWindowLimits{120, 1400};
constexpr int kOpeningPixelWidth = 900;
constexpr double kWheelStep = 120.0;  // one notch of a wheel
constexpr double kZoomPerNotch = 1.25;
constexpr double kZoomPerKey = 2.0;
constexpr double kPanPerKey = 0.25;         // of the window's width or height
constexpr double kGraticuleSpacing = 70.0;  // pixels at least between lines
constexpr double kStationMargin = 40;       // pixels beyond the window where a symbol may still show
constexpr int kSymbolCell = 10;             // one symbol per cell of this many pixels
constexpr int kMaxLabels = 400;             // more labels than this no one reads
constexpr std::size_t kAsciiCount = 128;
// Laid-out labels kept for the next frames, each with its glyphs: a few frames' worth.
constexpr qsizetype kMaxCachedLabels = qsizetype{4} * kMaxLabels;
constexpr double kPickPixels = 10.0;
constexpr int kClickSlop = 3;
constexpr int kMaxFramesPerSecond = 30;
constexpr qint64 kFrameMilliseconds = 1000 / kMaxFramesPerSecond;
constexpr int kSolidFillAlpha = 56;  // a light wash, so the map stays readable
constexpr int kHatchFillAlpha = 140;
constexpr int kFillSolid = 0;
constexpr int kFillTransparent = 1;
constexpr double kMaxSpriteRadius = 200.0;  // pixels; bigger circles are few, drawn as they are
constexpr int kSpriteSteps = 2;             // sprite radii in half pixels
constexpr std::size_t kMaxCircleSprites = 512;

// Graticule steps in minutes of arc.
constexpr std::array<double, 14> kSteps = {1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800, 2700, 5400};

const QColor kBackground(0xF4, 0xF1, 0xE8);  // no basemap: a plain chart
const QColor kSea(0xC4, 0xDA, 0xEA);
const QColor kGraticule(0xB8, 0xB8, 0xB8, 0xA0);
const QColor kProblem(0xA0, 0x20, 0x20);
constexpr int kProblemMargin = 6;
const QColor kAttributionBack(0xFF, 0xFF, 0xFF, 0xB0);
const QColor kAttribution(0x30, 0x30, 0x30);
constexpr int kAttributionPadding = 3;
const QColor kLabel(0x6A, 0x66, 0x5C);
const QColor kStation(0x20, 0x20, 0x20);
const QColor kTrack(0xC0, 0x30, 0x30, 0xB0);

Qt::BrushStyle HatchStyle(int fillMode) {
  switch (fillMode) {
    case 2: return Qt::HorPattern;
    case 3: return Qt::VerPattern;
    case 4: return Qt::BDiagPattern;
    case 5: return Qt::FDiagPattern;
    case 6: return Qt::CrossPattern;
    case 7: return Qt::DiagCrossPattern;
    default: return Qt::NoBrush;
  }
}

QBrush CircleBrush(const TDrawnCircle& circle);

void PaintCircle(QPainter& painter, const TDrawnCircle& circle, QPointF centre, double radius) {
  painter.setPen(QPen(ColorFromBgr(circle.Color), std::max(1, static_cast<int>(circle.PenWidth))));
  painter.setBrush(CircleBrush(circle));
  painter.drawEllipse(centre, radius, radius);
  painter.setBrush(Qt::NoBrush);
}

QBrush CircleBrush(const TDrawnCircle& circle) {
  if (circle.FillMode == kFillSolid) return QBrush(ColorFromBgr(circle.FillColor, kSolidFillAlpha));
  if (circle.FillMode == kFillTransparent) return Qt::NoBrush;
  return QBrush(ColorFromBgr(circle.FillColor, kHatchFillAlpha), HatchStyle(circle.FillMode));
}

}  // namespace

// ---- helpers ---------------------------------------------------------------

QColor ColorFromBgr(std::int32_t bgr, int alpha) {
  const auto v = static_cast<std::uint32_t>(bgr);
  return QColor(static_cast<int>(v & 0xFFU), static_cast<int>((v >> 8) & 0xFFU), static_cast<int>((v >> 16) & 0xFFU),
                alpha);
}

double GraticuleStep(double pixelsPerMinute, double minPixels) {
  for (const double step : kSteps)
    if (step * pixelsPerMinute >= minPixels) return step;
  return kSteps.back();
}

QString GraticuleLabel(double minutes, bool latitude) {
  const long total = std::lrint(minutes);
  const long magnitude = std::labs(total);
  const long degrees = magnitude / 60;
  const long rest = magnitude % 60;
  QString text = QString::number(degrees) + QChar(0x00B0);
  if (rest != 0) text += QString::number(rest) + QLatin1Char('\'');
  if (total == 0) return text;
  if (latitude) return text + QLatin1Char(total > 0 ? 'N' : 'S');
  return text + QLatin1Char(total > 0 ? 'E' : 'W');
}

// ---- TMapWindow ------------------------------------------------------------

TMapWindow::TMapWindow(std::shared_ptr<TStandInMap> map, QWidget* parent)
    : QWidget(parent),
      m_map(std::move(map)),
      m_view(TMercatorView::Fitting(m_map->Bounds(), kOpeningPixelWidth, kWindowLimits)) {
  setWindowTitle(QStringLiteral("Oxbel32 - Map"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  resize(m_view.PixelWidth(), m_view.PixelHeight());
  // Until the user moves the map it reports exactly the bounds it opened with.
  m_map->SetBounds(m_view.VisibleArea());
  m_map->OnChanged = [this] { ScheduleRepaint(); };
  m_repaintTimer.setSingleShot(true);
  connect(&m_repaintTimer, &QTimer::timeout, this, qOverload<>(&QWidget::update));
  Clock = [started = std::chrono::steady_clock::now()] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  };
}

TMapWindow::~TMapWindow() { m_map->OnChanged = nullptr; }

void TMapWindow::SetHeardStations(const std::vector<THeardStation>* heard) {
  m_heard = heard;
  m_stations.Clear();
  if (m_heard)
    for (std::size_t i = 0; i < m_heard->size(); ++i) StationHeard(i);
}

void TMapWindow::StationHeard(std::size_t index) {
  if (!m_heard || index >= m_heard->size()) return;
  const THeardStation& heard = (*m_heard)[index];
  m_stations.Update(index, heard.Callsign, heard.SymbolTable, heard.SymbolCode, heard.HasPosition, heard.Latitude,
                    heard.Longitude, Clock());
  ScheduleRepaint();
}

qint64 RepaintDelay(qint64 sinceLastEnd, qint64 lastCost) {
  return std::max<qint64>(0, std::max(kFrameMilliseconds - lastCost, lastCost) - sinceLastEnd);
}

void TMapWindow::ScheduleRepaint() {
  // A feed brings lines one or a few at a time: frames follow at most kMaxFramesPerSecond.
  if (m_repaintTimer.isActive()) return;
  const qint64 delay = m_sinceLastPaint.isValid() ? RepaintDelay(m_sinceLastPaint.elapsed(), m_lastPaintCost) : 0;
  if (delay == 0)
    update();
  else
    m_repaintTimer.start(static_cast<int>(delay));
}

QString TMapWindow::StationReportAt(QPointF pixel) const {
  const TWorldPoint a = m_view.ToWorld({pixel.x() - kPickPixels, pixel.y() - kPickPixels});
  const TWorldPoint b = m_view.ToWorld({pixel.x() + kPickPixels, pixel.y() + kPickPixels});
  double nearest = kPickPixels * kPickPixels;
  std::size_t found = m_stations.Size();
  m_stations.ForEachIn(a.X, a.Y, b.X, b.Y, [&](std::uint32_t index, TWorldPoint world) {
    const TPixel at = m_view.WorldToPixel({m_view.NearestCopy(world.X), world.Y});
    const double distance = (at.X - pixel.x()) * (at.X - pixel.x()) + (at.Y - pixel.y()) * (at.Y - pixel.y());
    if (distance <= nearest) {
      nearest = distance;
      found = index;
    }
  });
  if (!m_heard || found >= m_heard->size()) return {};
  const THeardStation& heard = (*m_heard)[found];
  const auto packet = aprs::ParsePacket(heard.Header + ":" + heard.InfoField);
  if (!packet) return QString::fromStdString(heard.Header + ":" + heard.InfoField);
  const std::string report = packet->AsText(aprs::tsAll);
  return QString::fromLatin1(report.data(), static_cast<qsizetype>(report.size()))
      .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
      .trimmed();
}

void TMapWindow::ViewChanged() {
  m_background = QPixmap();
  m_map->MoveView(m_view.VisibleArea());
  update();
}

void TMapWindow::SetBasemap(std::shared_ptr<const TBasemap> basemap, QString problem) {
  m_basemap = std::move(basemap);
  m_basemapProblem = std::move(problem);
  m_background = QPixmap();
  update();
}

void TMapWindow::SetTiles(TTileFetcher* tiles) {
  if (m_tiles) m_tiles->disconnect(this);
  m_tiles = tiles;
  if (m_tiles) {
    // Tiles arrive one by one: the background is drawn again at most once a frame.
    connect(m_tiles, &TTileFetcher::TileArrived, this, &TMapWindow::BackgroundChanged);
    // Turned off or on.
    connect(m_tiles, &TTileFetcher::StateChanged, this, &TMapWindow::BackgroundChanged);
  }
  BackgroundChanged();
}

void TMapWindow::BackgroundChanged() {
  m_background = QPixmap();
  ScheduleRepaint();
}

void TMapWindow::paintEvent(QPaintEvent*) {
  QElapsedTimer cost;
  cost.start();
  QPainter painter(this);
  // The basemap and graticule change only with the view: drawn once per view,
  // then copied under every frame of stations and circles.
  if (m_background.size() != size() * devicePixelRatioF()) {
    m_background = QPixmap(size() * devicePixelRatioF());
    m_background.setDevicePixelRatio(devicePixelRatioF());
    QPainter background(&m_background);
    PaintBackground(background);
  }
  painter.drawPixmap(0, 0, m_background);
  painter.setRenderHint(QPainter::Antialiasing);
  PaintCircles(painter);
  PaintStations(painter);
  PaintAttribution(painter);
  if (!m_basemapProblem.isEmpty()) {
    painter.setPen(kProblem);
    painter.drawText(rect().adjusted(kProblemMargin, 0, -kProblemMargin, -kProblemMargin),
                     Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap, m_basemapProblem);
  }
  painter.end();
  m_lastPaintCost = cost.elapsed();
  m_sinceLastPaint.restart();
}

void TMapWindow::PaintBackground(QPainter& painter) const {
  painter.fillRect(rect(), m_basemap ? kSea : kBackground);
  if (m_basemap) PaintBasemap(painter, *m_basemap, m_view);
  PaintTiles(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  PaintGraticule(painter);
}

void TMapWindow::PaintTiles(QPainter& painter) const {
  if (!m_tiles || !m_tiles->Enabled()) return;
  const TTilePlacement tiles(m_view);
  const TTileRange& range = tiles.Range();
  m_tiles->RequestView(range);
  // Tiles are drawn at the zoom nearest the view's scale, stretched by up to a factor of 1.4.
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  for (int y = range.MinY; y <= range.MaxY; ++y)
    for (int x = range.MinX; x <= range.MaxX; ++x)
      if (const QImage* image = m_tiles->Tile({range.Zoom, WrapTileX(x, range.Zoom), y})) {
        const TTileRect at = tiles.Place(x, y);
        painter.drawImage(QRect(at.Left, at.Top, at.Width, at.Height), *image);
      }
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

void TMapWindow::PaintAttribution(QPainter& painter) const {
  if (!m_tiles || !m_tiles->Enabled()) return;
  const QString text = m_tiles->Attribution();
  QFont font = painter.font();
  font.setPointSizeF(8);
  painter.setFont(font);
  const QFontMetrics metrics(font);
  QRect box = metrics.boundingRect(text).adjusted(-kAttributionPadding, 0, kAttributionPadding, 0);
  box.moveBottomRight(rect().bottomRight());
  painter.fillRect(box, kAttributionBack);
  painter.setPen(kAttribution);
  painter.drawText(box, Qt::AlignCenter, text);
}

void TMapWindow::PaintGraticule(QPainter& painter) const {
  const TMinutes topLeft = m_view.ToMinutes({0, 0});
  const TMinutes bottomRight = m_view.ToMinutes({double(width()), double(height())});
  const double step = GraticuleStep(m_view.PixelsPerMinuteX(), kGraticuleSpacing);
  QFont font = painter.font();
  font.setPointSizeF(8);
  painter.setFont(font);
  for (double x = std::ceil(topLeft.X / step) * step; x <= bottomRight.X; x += step) {
    const double px = m_view.WorldToPixel({WorldX(x), 0}).X;
    painter.setPen(QPen(kGraticule, 1));
    painter.drawLine(QPointF(px, 0), QPointF(px, height()));
    painter.setPen(kLabel);
    // Longitudes past the 180th meridian are labelled as the other side names them.
    painter.drawText(QPointF(px + 3, 12), GraticuleLabel(std::remainder(x, kMinutesAroundTheWorld), false));
  }
  // Latitude lines spread apart towards the poles; their step is the one at the centre.
  const double latitudeStep =
      GraticuleStep(m_view.PixelsPerMinuteY(MinutesOfWorldY(m_view.Centre().Y)), kGraticuleSpacing);
  for (double y = std::ceil(bottomRight.Y / latitudeStep) * latitudeStep; y <= topLeft.Y; y += latitudeStep) {
    const double py = m_view.ToPixel(0, y).Y;
    painter.setPen(QPen(kGraticule, 1));
    painter.drawLine(QPointF(0, py), QPointF(width(), py));
    painter.setPen(kLabel);
    painter.drawText(QPointF(3, py - 3), GraticuleLabel(y, true));
  }
}

void TMapWindow::PaintCircles(QPainter& painter) {
  // A draw pass leaves hundreds of circles of a few looks (a PHG range gives a
  // radius): each look is drawn once, antialiased, and then copied.
  if (m_circleSprites.size() > kMaxCircleSprites) m_circleSprites.clear();
  const qreal ratio = painter.device()->devicePixelRatioF();
  for (const auto& circle : m_map->Circles()) {
    const TPixel centre = m_view.ToPixel(circle.X, circle.Y);
    const double radius = m_view.GroundRadius(circle.Radius, circle.Y);
    if (!std::isfinite(centre.X) || !std::isfinite(centre.Y) || !std::isfinite(radius)) continue;
    const int pen = std::max(1, static_cast<int>(circle.PenWidth));
    if (radius > kMaxSpriteRadius || radius + pen < 0 || centre.X < -radius - pen || centre.Y < -radius - pen ||
        centre.X > width() + radius + pen || centre.Y > height() + radius + pen) {
      if (radius > kMaxSpriteRadius) PaintCircle(painter, circle, QPointF(centre.X, centre.Y), radius);
      continue;  // big circles are drawn as they are; those out of sight not at all
    }
    const TCircleLook look{static_cast<int>(std::lround(radius * kSpriteSteps)), circle.Color, circle.PenWidth,
                           circle.FillMode, circle.FillColor};
    auto sprite = m_circleSprites.find(look);
    const int half = static_cast<int>(std::ceil(radius)) + pen + 1;
    if (sprite == m_circleSprites.end()) {
      QPixmap pixmap(QSize(2 * half, 2 * half) * ratio);
      pixmap.setDevicePixelRatio(ratio);
      pixmap.fill(Qt::transparent);
      QPainter sprites(&pixmap);
      sprites.setRenderHint(QPainter::Antialiasing);
      PaintCircle(sprites, circle, QPointF(half, half), std::get<0>(look) / double(kSpriteSteps));
      sprites.end();
      sprite = m_circleSprites.emplace(look, std::move(pixmap)).first;
    }
    painter.drawPixmap(
        QPoint(static_cast<int>(std::lround(centre.X)) - half, static_cast<int>(std::lround(centre.Y)) - half),
        sprite->second);
  }
}

void TMapWindow::PaintStations(QPainter& painter) {
  // Only the grid cells in view, and of a crowd one symbol per few pixels: a
  // frame costs what the window can show, not what has been heard.
  const TWorldPoint from = m_view.ToWorld({-kStationMargin, -kStationMargin});
  const TWorldPoint to = m_view.ToWorld({width() + kStationMargin, height() + kStationMargin});
  const int columns = width() / kSymbolCell + 1;
  const int rows = height() / kSymbolCell + 1;
  std::vector<bool> taken(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
  TDeclutter labels(width(), height());
  QFont font = painter.font();
  font.setPointSizeF(8);
  painter.setFont(font);
  const QFontMetricsF metrics(font);
  // Callsigns are ASCII: their widths are summed from a table, not shaped per station.
  std::array<double, kAsciiCount> advance{};
  for (std::size_t c = 0; c < advance.size(); ++c) advance[c] = metrics.horizontalAdvance(QChar(char16_t(c)));
  const auto labelWidth = [&advance, &metrics](const std::string& call) {
    double width = 0;
    for (const char c : call)
      width += static_cast<unsigned char>(c) < kAsciiCount ? advance[static_cast<unsigned char>(c)]
                                                           : metrics.averageCharWidth();
    return width;
  };
  if (m_labels.size() > kMaxCachedLabels) m_labels.clear();
  const double now = Clock();
  const QPen trackPen(kTrack, 1.2);
  const QPen labelPen(kStation);
  int labelCount = 0;
  QPolygonF track;
  m_stations.ForEachIn(from.X, from.Y, to.X, to.Y, [&](std::uint32_t index, TWorldPoint world) {
    const double copy = m_view.NearestCopy(world.X) - world.X;
    const TPixel at = m_view.WorldToPixel({world.X + copy, world.Y});
    if (at.X < -kStationMargin || at.Y < -kStationMargin || at.X > width() + kStationMargin ||
        at.Y > height() + kStationMargin)
      return;
    const int column = static_cast<int>(at.X) / kSymbolCell;
    const int row = static_cast<int>(at.Y) / kSymbolCell;
    if (column >= 0 && row >= 0 && column < columns && row < rows) {
      const std::size_t cell =
          (static_cast<std::size_t>(row) * static_cast<std::size_t>(columns)) + static_cast<std::size_t>(column);
      if (taken[cell]) return;
      taken[cell] = true;
    }
    const TMapStation* const heard = m_stations.At(index);
    if (heard == nullptr) return;  // the grid only holds placed stations, but never trust an index
    const TMapStation& station = *heard;
    if (station.Track.size() > 1 && aprs::IsMobileSymbol(station.SymbolTable, station.SymbolCode)) {
      track.clear();
      for (const TTrackPoint& point : station.Track)
        if (now - point.Time <= TMapStations::kTrackAgeSeconds) {
          const TPixel p = m_view.WorldToPixel({point.World.X + copy, point.World.Y});
          track << QPointF(p.X, p.Y);
        }
      if (track.size() > 1) {
        painter.setPen(trackPen);
        painter.drawPolyline(track);
      }
    }
    const QPixmap& icon = m_symbols.Icon(station.SymbolTable, station.SymbolCode);
    painter.drawPixmap(QPoint(static_cast<int>(std::lround(at.X)) - TSymbolPainter::kSize / 2,
                              static_cast<int>(std::lround(at.Y)) - TSymbolPainter::kSize / 2),
                       icon);
    if (labelCount >= kMaxLabels) return;
    const double left = at.X + TSymbolPainter::kSize / 2.0 + 1;
    const TLabelBox box{left, at.Y - metrics.ascent() / 2 - 1, left + labelWidth(station.Callsign),
                        at.Y + metrics.ascent() / 2 + 1};
    if (!labels.Place(box)) return;
    ++labelCount;
    // Laid out once per station and kept: a label is drawn in many frames.
    auto label = m_labels.find(index);
    if (label == m_labels.end()) {
      QStaticText text(QString::fromLatin1(station.Callsign.data(), static_cast<qsizetype>(station.Callsign.size())));
      text.setTextFormat(Qt::PlainText);
      text.prepare(QTransform(), font);
      label = m_labels.insert(index, text);
    }
    painter.setPen(labelPen);
    painter.drawStaticText(QPointF(box.Left, box.Top), *label);
  });
}

void TMapWindow::resizeEvent(QResizeEvent*) {
  if (width() == m_view.PixelWidth() && height() == m_view.PixelHeight()) return;
  m_view.Resize(width(), height());
  ViewChanged();
}

void TMapWindow::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / kWheelStep;
  if (notches == 0.0) return;
  m_view.ZoomAt({event->position().x(), event->position().y()}, std::pow(kZoomPerNotch, notches));
  ViewChanged();
  event->accept();
}

void TMapWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  m_dragging = true;
  m_dragFrom = event->position();
  m_pressedAt = event->position();
}

void TMapWindow::mouseMoveEvent(QMouseEvent* event) {
  if (!m_dragging) return;
  const QPointF delta = event->position() - m_dragFrom;
  if (delta.isNull()) return;
  m_dragFrom = event->position();
  m_view.PanBy(delta.x(), delta.y());
  ViewChanged();
}

void TMapWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  m_dragging = false;
  // A click, not a drag: the station under the mouse tells its latest packet.
  if ((event->position() - m_pressedAt).manhattanLength() > kClickSlop) return;
  const QString report = StationReportAt(event->position());
  if (!report.isEmpty()) QToolTip::showText(event->globalPosition().toPoint(), report, this);
}

void TMapWindow::keyPressEvent(QKeyEvent* event) {
  const TPixel middle{width() / 2.0, height() / 2.0};
  switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal: m_view.ZoomAt(middle, kZoomPerKey); break;
    case Qt::Key_Minus: m_view.ZoomAt(middle, 1 / kZoomPerKey); break;
    case Qt::Key_Left: m_view.PanBy(width() * kPanPerKey, 0); break;
    case Qt::Key_Right: m_view.PanBy(-width() * kPanPerKey, 0); break;
    case Qt::Key_Up: m_view.PanBy(0, height() * kPanPerKey); break;
    case Qt::Key_Down: m_view.PanBy(0, -height() * kPanPerKey); break;
    default: QWidget::keyPressEvent(event); return;
  }
  ViewChanged();
  event->accept();
}

void TMapWindow::closeEvent(QCloseEvent* event) {
  if (OnClosing) OnClosing();
  event->accept();
}

}  // namespace standin
