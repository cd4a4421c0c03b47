#include "BasemapPainter.h"

#include <QPainterPath>
#include <QPolygonF>
#include <cmath>

namespace standin {

namespace {

const QColor kLand(0xF2, 0xEF, 0xE4);
const QColor kCoast(0x6F, 0x93, 0xB3);
const QColor kBorder(0xA8, 0x8F, 0xA8);
constexpr double kCoastWidth = 1.0;
constexpr double kBorderWidth = 0.8;

// The window in world coordinates, and a shift of whole worlds to draw a copy at.
struct TWindowInWorld {
  double MinX, MinY, MaxX, MaxY;
  double Shift = 0;
  bool Sees(const TBasemapPiece& piece) const {
    return piece.MaxX + Shift >= MinX && piece.MinX + Shift <= MaxX && piece.MaxY >= MinY && piece.MinY <= MaxY;
  }
};

void AddPart(const TBasemapLayer& layer, std::uint32_t part, const TMercatorView& view, double shift,
             QPolygonF& polygon) {
  polygon.clear();
  const std::uint32_t end = layer.PartStarts[part + 1];
  for (std::uint32_t i = layer.PartStarts[part]; i < end; ++i) {
    const TPixel pixel = view.WorldToPixel({layer.Points[i].X + shift, layer.Points[i].Y});
    polygon.append(QPointF(pixel.X, pixel.Y));
  }
}

void PaintLand(QPainter& painter, const TBasemapLayer& layer, const TMercatorView& view, const TWindowInWorld& window) {
  // Cells meet edge to edge: without antialiasing no seam shows between them.
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(Qt::NoPen);
  painter.setBrush(kLand);
  QPolygonF polygon;
  for (const TBasemapPiece& piece : layer.Pieces) {
    if (!window.Sees(piece)) continue;
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (std::uint32_t part = piece.FirstPart; part < piece.FirstPart + piece.PartCount; ++part) {
      AddPart(layer, part, view, window.Shift, polygon);
      path.addPolygon(polygon);
      path.closeSubpath();
    }
    painter.drawPath(path);
  }
  painter.setBrush(Qt::NoBrush);
}

void PaintLines(QPainter& painter, const TBasemapLayer& layer, const TMercatorView& view, const TWindowInWorld& window,
                const QPen& pen) {
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(pen);
  QPolygonF polygon;
  for (const TBasemapPiece& piece : layer.Pieces) {
    if (!window.Sees(piece)) continue;
    for (std::uint32_t part = piece.FirstPart; part < piece.FirstPart + piece.PartCount; ++part) {
      AddPart(layer, part, view, window.Shift, polygon);
      painter.drawPolyline(polygon);
    }
  }
}

}  // namespace

void PaintBasemap(QPainter& painter, const TBasemap& basemap, const TMercatorView& view) {
  const TBasemapLevel* level = basemap.LevelFor(view.WorldPixels());
  if (!level) return;
  const TWorldPoint topLeft = view.ToWorld({0, 0});
  const TWorldPoint bottomRight = view.ToWorld({double(view.PixelWidth()), double(view.PixelHeight())});
  TWindowInWorld window{topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y};
  const QPen coast(kCoast, kCoastWidth);
  const QPen border(kBorder, kBorderWidth);
  painter.save();
  // Every copy of the world the window reaches, west to east (a world view holds
  // several); lines that cross the 180th meridian run on east of the first copy.
  for (double copy = std::floor(topLeft.X) - 1; copy <= std::floor(bottomRight.X); ++copy) {
    window.Shift = copy;
    PaintLand(painter, level->Layer(TBasemapLayerKind::Land), view, window);
    PaintLines(painter, level->Layer(TBasemapLayerKind::Borders), view, window, border);
    PaintLines(painter, level->Layer(TBasemapLayerKind::Coast), view, window, coast);
  }
  painter.restore();
}

}  // namespace standin
