#include "MapWindow.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "APRSParser.h"
#include "StandInHost.h"
#include "Units.h"

namespace standin {

namespace {

using units::kMinutesPerDegree;
constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;
constexpr double kNorthPole = 90.0 * kMinutesPerDegree;
constexpr double kFallbackExtent = kMinutesPerDegree;  // one degree for a degenerate area
constexpr double kSmallestStretch = 0.1;               // cos 84 degrees: keep the poles usable
constexpr double kMinMinutesPerPixel = 0.001;
constexpr double kMaxMinutesPerPixel = 120.0;
constexpr int kMinPixels = 120;
constexpr int kMaxPixels = 1400;
constexpr int kOpeningPixelWidth = 900;
constexpr double kWheelStep = 120.0;  // one notch of a wheel
constexpr double kZoomPerNotch = 1.25;
constexpr double kGraticuleSpacing = 70.0;  // pixels at least between lines
constexpr int kStationDotRadius = 3;
constexpr int kSolidFillAlpha = 56;  // a light wash, so the map stays readable
constexpr int kHatchFillAlpha = 140;
constexpr int kFillSolid = 0;
constexpr int kFillTransparent = 1;

// Graticule steps in minutes of arc.
constexpr std::array<double, 14> kSteps = {1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800, 2700, 5400};

const QColor kBackground(0xF4, 0xF1, 0xE8);
const QColor kGraticule(0xC8, 0xC4, 0xB8);
const QColor kLabel(0x6A, 0x66, 0x5C);
const QColor kStation(0x20, 0x20, 0x20);

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

QBrush CircleBrush(const TDrawnCircle& circle) {
  if (circle.FillMode == kFillSolid) return QBrush(ColorFromBgr(circle.FillColor, kSolidFillAlpha));
  if (circle.FillMode == kFillTransparent) return Qt::NoBrush;
  return QBrush(ColorFromBgr(circle.FillColor, kHatchFillAlpha), HatchStyle(circle.FillMode));
}

}  // namespace

// ---- TMapView --------------------------------------------------------------

TMapView TMapView::Fitting(const TMapArea& area, int pixelWidth) {
  const double width = area.Width != 0.0 && std::isfinite(area.Width) ? std::fabs(area.Width) : kFallbackExtent;
  const double height = area.Height != 0.0 && std::isfinite(area.Height) ? std::fabs(area.Height) : kFallbackExtent;
  TMapView view;
  view.m_centreX = std::isfinite(area.Left) ? area.Left + width / 2 : 0.0;
  view.m_centreY = std::isfinite(area.Top) ? std::clamp(area.Top - height / 2, -kNorthPole, kNorthPole) : 0.0;
  view.m_stretch = std::max(kSmallestStretch, std::cos(view.m_centreY / kMinutesPerDegree / kDegreesPerRadian));
  // Height in pixels of the area at a window width, the scales matching.
  const auto heightAt = [&](int pixels) { return height / (width / pixels * view.m_stretch); };
  view.m_pixelWidth = std::clamp(pixelWidth, kMinPixels, kMaxPixels);
  double pixelHeight = heightAt(view.m_pixelWidth);
  if (pixelHeight > kMaxPixels || pixelHeight < kMinPixels) {
    // A tall or flat area: change the width instead, within the limits.
    const double limit = pixelHeight > kMaxPixels ? kMaxPixels : kMinPixels;
    view.m_pixelWidth = static_cast<int>(
        std::clamp(std::lrint(view.m_pixelWidth * limit / pixelHeight), long{kMinPixels}, long{kMaxPixels}));
    pixelHeight = heightAt(view.m_pixelWidth);
  }
  const double minutesPerPixelX = width / view.m_pixelWidth;
  const long wholePixels = std::isfinite(pixelHeight) ? std::lrint(pixelHeight) : 0;
  if (wholePixels >= kMinPixels && wholePixels <= kMaxPixels) {
    // Whole pixels: the scales absorb the rounding, so the window shows
    // exactly the area (the stretch moves by less than a pixel's worth).
    view.m_pixelHeight = static_cast<int>(wholePixels);
    view.m_minutesPerPixelY = height / view.m_pixelHeight;
    view.m_stretch = view.m_minutesPerPixelY / minutesPerPixelX;
  } else {
    // Still too tall or too flat for a window: show all of it and more.
    view.m_pixelHeight = pixelHeight < kMinPixels ? kMinPixels : kMaxPixels;
    view.m_minutesPerPixelY = std::max(minutesPerPixelX * view.m_stretch, height / view.m_pixelHeight);
  }
  view.m_minutesPerPixelY = std::clamp(view.m_minutesPerPixelY, kMinMinutesPerPixel, kMaxMinutesPerPixel);
  return view;
}

TMapArea TMapView::VisibleArea() const {
  TMapArea area;
  area.Width = m_pixelWidth * MinutesPerPixelX();
  area.Height = -m_pixelHeight * m_minutesPerPixelY;
  area.Left = m_centreX - area.Width / 2;
  area.Top = m_centreY - area.Height / 2;
  return area;
}

QPointF TMapView::ToPixel(double x, double y) const {
  const TMapArea area = VisibleArea();
  return {(x - area.Left) / MinutesPerPixelX(), (area.Top - y) / m_minutesPerPixelY};
}

QPointF TMapView::ToMap(QPointF pixel) const {
  const TMapArea area = VisibleArea();
  return {area.Left + pixel.x() * MinutesPerPixelX(), area.Top - pixel.y() * m_minutesPerPixelY};
}

void TMapView::Resize(int pixelWidth, int pixelHeight) {
  m_pixelWidth = std::max(1, pixelWidth);
  m_pixelHeight = std::max(1, pixelHeight);
}

void TMapView::ZoomAt(QPointF pixel, double factor) {
  if (!(factor > 0.0) || !std::isfinite(factor)) return;
  const QPointF anchor = ToMap(pixel);
  m_minutesPerPixelY = std::clamp(m_minutesPerPixelY / factor, kMinMinutesPerPixel, kMaxMinutesPerPixel);
  m_centreX = anchor.x() - (pixel.x() - m_pixelWidth / 2.0) * MinutesPerPixelX();
  m_centreY = anchor.y() + (pixel.y() - m_pixelHeight / 2.0) * m_minutesPerPixelY;
}

void TMapView::PanBy(QPointF pixelDelta) {
  m_centreX -= pixelDelta.x() * MinutesPerPixelX();
  m_centreY = std::clamp(m_centreY + pixelDelta.y() * m_minutesPerPixelY, -kNorthPole, kNorthPole);
}

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

bool StationPosition(const THeardStation& heard, TMapStation& station) {
  station.Callsign = heard.Callsign;
  station.SymbolTable = heard.SymbolTable;
  station.SymbolCode = heard.SymbolCode;
  const std::unique_ptr<aprs::TAprsPacket> packet = aprs::ParsePacket(heard.Header + ":" + heard.InfoField);
  if (!packet || !packet->Position.Valid) return false;
  station.Latitude = packet->Position.Latitude.Value;
  station.Longitude = packet->Position.Longitude.Value;
  return std::isfinite(station.Latitude) && std::isfinite(station.Longitude);
}

// ---- TMapWindow ------------------------------------------------------------

TMapWindow::TMapWindow(std::shared_ptr<TStandInMap> map, QWidget* parent)
    : QWidget(parent), m_map(std::move(map)), m_view(TMapView::Fitting(m_map->Bounds(), kOpeningPixelWidth)) {
  setWindowTitle(QStringLiteral("Oxbel32 - Map"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(m_view.PixelWidth(), m_view.PixelHeight());
  // The map reports what the window shows, to the fraction of a pixel.
  m_map->SetBounds(m_view.VisibleArea());
  m_map->OnChanged = [this] { update(); };
}

TMapWindow::~TMapWindow() { m_map->OnChanged = nullptr; }

void TMapWindow::SetHeardStations(const std::vector<THeardStation>* heard) {
  m_heard = heard;
  StationsChanged();
}

void TMapWindow::StationsChanged() {
  m_stationsDirty = true;
  update();
}

const std::vector<TMapStation>& TMapWindow::Stations() {
  RefreshStations();
  return m_stations;
}

void TMapWindow::RefreshStations() {
  if (!m_stationsDirty) return;
  m_stationsDirty = false;
  m_stations.clear();
  if (m_heard == nullptr) return;
  for (const THeardStation& heard : *m_heard) {
    TKnownStation& known = m_known[heard.Callsign];
    if (known.Header != heard.Header || known.InfoField != heard.InfoField || known.Station.Callsign.empty()) {
      known.Header = heard.Header;
      known.InfoField = heard.InfoField;
      known.HasPosition = StationPosition(heard, known.Station);
    }
    if (known.HasPosition) m_stations.push_back(known.Station);
  }
}

void TMapWindow::ViewChanged() {
  m_map->MoveView(m_view.VisibleArea());
  update();
}

void TMapWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kBackground);
  painter.setRenderHint(QPainter::Antialiasing);
  RefreshStations();
  PaintGraticule(painter);
  PaintCircles(painter);
  PaintStations(painter);
}

void TMapWindow::PaintGraticule(QPainter& painter) const {
  const TMapArea area = m_view.VisibleArea();
  const QPointF origin = m_view.ToPixel(0, 0);
  const QPointF oneMinute = m_view.ToPixel(1, -1);
  const double step =
      GraticuleStep(std::min(oneMinute.x() - origin.x(), oneMinute.y() - origin.y()), kGraticuleSpacing);
  painter.setPen(QPen(kGraticule, 1));
  QFont font = painter.font();
  font.setPointSizeF(8);
  painter.setFont(font);
  const double right = area.Left + area.Width;
  const double bottom = area.Top + area.Height;
  for (double x = std::ceil(area.Left / step) * step; x <= right; x += step) {
    const double px = m_view.ToPixel(x, 0).x();
    painter.setPen(QPen(kGraticule, 1));
    painter.drawLine(QPointF(px, 0), QPointF(px, height()));
    painter.setPen(kLabel);
    painter.drawText(QPointF(px + 3, 12), GraticuleLabel(x, false));
  }
  for (double y = std::ceil(bottom / step) * step; y <= area.Top; y += step) {
    const double py = m_view.ToPixel(0, y).y();
    painter.setPen(QPen(kGraticule, 1));
    painter.drawLine(QPointF(0, py), QPointF(width(), py));
    painter.setPen(kLabel);
    painter.drawText(QPointF(3, py - 3), GraticuleLabel(y, true));
  }
}

void TMapWindow::PaintCircles(QPainter& painter) const {
  const double scale = m_view.PixelsPerMinute();
  for (const auto& circle : m_map->Circles()) {
    const QPointF centre = m_view.ToPixel(circle.X, circle.Y);
    const double radius = circle.Radius * scale;
    if (!std::isfinite(centre.x()) || !std::isfinite(centre.y()) || !std::isfinite(radius)) continue;
    painter.setPen(QPen(ColorFromBgr(circle.Color), std::max(1, static_cast<int>(circle.PenWidth))));
    painter.setBrush(CircleBrush(circle));
    painter.drawEllipse(centre, radius, radius);
  }
  painter.setBrush(Qt::NoBrush);
}

void TMapWindow::PaintStations(QPainter& painter) const {
  QFont font = painter.font();
  font.setPointSizeF(8);
  painter.setFont(font);
  for (const auto& station : m_stations) {
    const QPointF at = m_view.ToPixel(station.Longitude * kMinutesPerDegree, station.Latitude * kMinutesPerDegree);
    constexpr int kMargin = 40;  // pixels: a station just off the window still shows part of its label
    if (!rect().adjusted(-kMargin, -kMargin, kMargin, kMargin).contains(at.toPoint())) continue;
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(kStation);
    painter.drawEllipse(at, kStationDotRadius, kStationDotRadius);
    painter.setPen(kStation);
    painter.drawText(at + QPointF(kStationDotRadius + 3, kStationDotRadius + 1),
                     QString::fromLatin1(station.Callsign.data(), static_cast<qsizetype>(station.Callsign.size())));
  }
  painter.setBrush(Qt::NoBrush);
}

void TMapWindow::resizeEvent(QResizeEvent*) {
  if (width() == m_view.PixelWidth() && height() == m_view.PixelHeight()) return;
  m_view.Resize(width(), height());
  ViewChanged();
}

void TMapWindow::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / kWheelStep;
  if (notches == 0.0) return;
  m_view.ZoomAt(event->position(), std::pow(kZoomPerNotch, notches));
  ViewChanged();
  event->accept();
}

void TMapWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  m_dragging = true;
  m_dragFrom = event->position();
}

void TMapWindow::mouseMoveEvent(QMouseEvent* event) {
  if (!m_dragging) return;
  const QPointF delta = event->position() - m_dragFrom;
  if (delta.isNull()) return;
  m_dragFrom = event->position();
  m_view.PanBy(delta);
  ViewChanged();
}

void TMapWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) m_dragging = false;
}

void TMapWindow::closeEvent(QCloseEvent* event) {
  if (OnClosing) OnClosing();
  event->accept();
}

}  // namespace standin
