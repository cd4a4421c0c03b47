#include "StationSymbols.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <array>
#include <cmath>
#include <numbers>
#include <string_view>

#include "Text.h"

namespace standin {

namespace {

struct TSymbolRow {
  std::string_view Codes;
  TSymbolIcon Icon;
};

// clang-format off
// Primary table "/": the symbol code characters of each icon.
constexpr std::array<TSymbolRow, 21> kPrimary = {{
    {">", TSymbolIcon::Car},        {"jR", TSymbolIcon::Car},      {"ku", TSymbolIcon::Truck},
    {"vU", TSymbolIcon::Van},       {"<", TSymbolIcon::Motorcycle}, {"b", TSymbolIcon::Bicycle},
    {"[", TSymbolIcon::Person},     {"-y", TSymbolIcon::House},     {"#", TSymbolIcon::Digipeater},
    {"&", TSymbolIcon::Gateway},    {"_W", TSymbolIcon::Weather},   {"O", TSymbolIcon::Balloon},
    {"'^g", TSymbolIcon::Aircraft}, {"X", TSymbolIcon::Helicopter}, {"sYC", TSymbolIcon::Boat},
    {"\\", TSymbolIcon::DfStation}, {"K", TSymbolIcon::School},     {"h+", TSymbolIcon::Hospital},
    {"rn", TSymbolIcon::Tower},     {"!P", TSymbolIcon::Police},    {"fa", TSymbolIcon::FireTruck},
}};
// Alternate table "\" and its overlays.
constexpr std::array<TSymbolRow, 13> kAlternate = {{
    {">", TSymbolIcon::Car},        {"ku", TSymbolIcon::Truck},     {"v", TSymbolIcon::Van},
    {"#", TSymbolIcon::Digipeater}, {"&", TSymbolIcon::Gateway},    {"_W", TSymbolIcon::Weather},
    {"O", TSymbolIcon::Balloon},    {"^", TSymbolIcon::Aircraft},   {"sY", TSymbolIcon::Boat},
    {"!", TSymbolIcon::Emergency},  {"-", TSymbolIcon::House},      {"K", TSymbolIcon::School},
    {"a", TSymbolIcon::Ambulance},
}};
// clang-format on

constexpr double kS = TSymbolPainter::kSize;
const QColor kInk(0x20, 0x20, 0x20);
const QColor kRed(0xD0, 0x20, 0x20);
const QColor kBlue(0x20, 0x50, 0xC0);
const QColor kGreen(0x10, 0x90, 0x30);
const QColor kPlain(0xFF, 0xFF, 0xFF, 0xE0);

void Wheels(QPainter& p, double y, double x1, double x2) {
  p.setBrush(kInk);
  p.drawEllipse(QPointF(x1, y), 1.8, 1.8);
  p.drawEllipse(QPointF(x2, y), 1.8, 1.8);
}

QPolygonF Star(double cx, double cy, double outer, double inner) {
  constexpr int kPoints = 5;
  QPolygonF star;
  for (int i = 0; i < 2 * kPoints; ++i) {
    const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / kPoints;
    const double r = i % 2 == 0 ? outer : inner;
    star << QPointF(cx + r * std::cos(angle), cy + r * std::sin(angle));
  }
  return star;
}

void DrawIcon(QPainter& p, TSymbolIcon icon) {
  p.setPen(QPen(kInk, 1.0));
  switch (icon) {
    case TSymbolIcon::None: break;
    case TSymbolIcon::Car:
    case TSymbolIcon::Police:
    case TSymbolIcon::FireTruck:
    case TSymbolIcon::Ambulance: {
      const QColor body = icon == TSymbolIcon::Police      ? kBlue
                          : icon == TSymbolIcon::Ambulance ? QColor(Qt::white)
                                                           : kRed;
      p.setBrush(body);
      QPainterPath car;
      car.moveTo(1.5, 11);
      car.lineTo(1.5, 7.5);
      car.lineTo(4.5, 7);
      car.lineTo(6.5, 4);
      car.lineTo(11, 4);
      car.lineTo(13, 7);
      car.lineTo(14.5, 7.5);
      car.lineTo(14.5, 11);
      car.closeSubpath();
      p.drawPath(car);
      if (icon == TSymbolIcon::Ambulance) p.fillRect(QRectF(7.5, 7, 1.5, 3.5), kRed);
      Wheels(p, 11.5, 4.5, 11.5);
      break;
    }
    case TSymbolIcon::Truck:
      p.setBrush(QColor(0x60, 0x70, 0x80));
      p.drawRect(QRectF(1, 4, 9, 7));
      p.setBrush(kRed);
      p.drawRect(QRectF(10, 6.5, 5, 4.5));
      Wheels(p, 11.5, 3.5, 12.5);
      break;
    case TSymbolIcon::Van:
      p.setBrush(QColor(0xE0, 0x80, 0x20));
      p.drawRoundedRect(QRectF(1.5, 4, 13, 7), 2, 2);
      p.setBrush(Qt::white);
      p.drawRect(QRectF(10.5, 5.5, 3, 2.5));
      Wheels(p, 11.5, 4.5, 11.5);
      break;
    case TSymbolIcon::Motorcycle:
    case TSymbolIcon::Bicycle:
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(kInk, 1.3));
      p.drawEllipse(QPointF(4, 11), 2.8, 2.8);
      p.drawEllipse(QPointF(12, 11), 2.8, 2.8);
      p.setPen(QPen(icon == TSymbolIcon::Bicycle ? kGreen : kRed, 1.6));
      p.drawPolyline(QPolygonF({QPointF(4, 11), QPointF(7, 6), QPointF(11, 6), QPointF(12, 11)}));
      p.drawLine(QPointF(7, 6), QPointF(8, 11));
      if (icon == TSymbolIcon::Motorcycle) p.drawRect(QRectF(6, 5, 5, 3));
      break;
    case TSymbolIcon::Person:
      p.setBrush(kInk);
      p.drawEllipse(QPointF(8, 3.5), 2.2, 2.2);
      p.setPen(QPen(kInk, 1.8, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(8, 6), QPointF(8, 10.5));
      p.drawLine(QPointF(4.5, 8), QPointF(11.5, 8));
      p.drawLine(QPointF(8, 10.5), QPointF(5, 14.5));
      p.drawLine(QPointF(8, 10.5), QPointF(11, 14.5));
      break;
    case TSymbolIcon::House:
    case TSymbolIcon::School:
      p.setBrush(icon == TSymbolIcon::School ? QColor(0xF0, 0xD0, 0x40) : QColor(0xF4, 0xF0, 0xE0));
      p.drawPolygon(QPolygonF({QPointF(2, 7.5), QPointF(8, 2), QPointF(14, 7.5), QPointF(12.5, 7.5), QPointF(12.5, 14),
                               QPointF(3.5, 14), QPointF(3.5, 7.5)}));
      p.setBrush(icon == TSymbolIcon::School ? kInk : kRed);
      p.drawRect(QRectF(6.5, 9.5, 3, 4.5));
      break;
    case TSymbolIcon::Digipeater:
      p.setBrush(kGreen);
      p.drawPolygon(Star(8, 8.5, 7.5, 3.2));
      break;
    case TSymbolIcon::Gateway:
      p.setBrush(kInk);
      p.drawPolygon(QPolygonF({QPointF(8, 1), QPointF(15, 8), QPointF(8, 15), QPointF(1, 8)}));
      break;
    case TSymbolIcon::Weather:
      p.setBrush(kBlue);
      p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
      p.setPen(QPen(Qt::white, 1.4));
      p.drawLine(QPointF(8, 3), QPointF(8, 13));
      p.drawLine(QPointF(3, 8), QPointF(13, 8));
      break;
    case TSymbolIcon::Balloon:
      p.setBrush(kRed);
      p.drawEllipse(QPointF(8, 6), 5, 5.5);
      p.drawLine(QPointF(8, 11.5), QPointF(8, 15));
      break;
    case TSymbolIcon::Aircraft:
      p.setBrush(kBlue);
      p.drawPolygon(
          QPolygonF({QPointF(8, 1), QPointF(9.3, 6), QPointF(15, 9), QPointF(9.3, 9), QPointF(9, 13), QPointF(11, 15),
                     QPointF(5, 15), QPointF(7, 13), QPointF(6.7, 9), QPointF(1, 9), QPointF(6.7, 6)}));
      break;
    case TSymbolIcon::Helicopter:
      p.setBrush(kBlue);
      p.drawEllipse(QPointF(6.5, 9), 4.5, 3.5);
      p.setPen(QPen(kInk, 1.3));
      p.drawLine(QPointF(1, 4), QPointF(13, 4));
      p.drawLine(QPointF(6.5, 4), QPointF(6.5, 6));
      p.drawLine(QPointF(10.5, 9), QPointF(15, 8));
      break;
    case TSymbolIcon::Boat:
      p.setBrush(kBlue);
      p.drawPolygon(QPolygonF({QPointF(1, 10), QPointF(15, 10), QPointF(12.5, 14), QPointF(3.5, 14)}));
      p.setBrush(Qt::white);
      p.drawPolygon(QPolygonF({QPointF(8, 1.5), QPointF(8, 9), QPointF(13, 9)}));
      break;
    case TSymbolIcon::Emergency:
      p.setBrush(kRed);
      p.drawPolygon(QPolygonF({QPointF(8, 1), QPointF(15, 14.5), QPointF(1, 14.5)}));
      p.setPen(QPen(Qt::white, 2));
      p.drawLine(QPointF(8, 5.5), QPointF(8, 10));
      p.drawPoint(QPointF(8, 12.5));
      break;
    case TSymbolIcon::DfStation:
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(kInk, 1.6));
      p.drawPolygon(QPolygonF({QPointF(8, 2), QPointF(14.5, 14), QPointF(1.5, 14)}));
      p.drawPoint(QPointF(8, 10));
      break;
    case TSymbolIcon::Hospital:
      p.setBrush(Qt::white);
      p.drawRect(QRectF(1.5, 1.5, 13, 13));
      p.fillRect(QRectF(6.5, 3.5, 3, 9), kRed);
      p.fillRect(QRectF(3.5, 6.5, 9, 3), kRed);
      break;
    case TSymbolIcon::Tower:
      p.setPen(QPen(kInk, 1.3));
      p.drawLine(QPointF(8, 4), QPointF(4, 15));
      p.drawLine(QPointF(8, 4), QPointF(12, 15));
      p.drawLine(QPointF(5.5, 11), QPointF(10.5, 11));
      p.setBrush(kRed);
      p.drawEllipse(QPointF(8, 3.5), 2, 2);
      break;
  }
}

void DrawOverlay(QPainter& p, char overlay) {
  QFont font = p.font();
  font.setPixelSize(9);
  font.setBold(true);
  p.setFont(font);
  const QRectF box(3.5, 4, 9, 9);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 0xD0));
  p.drawEllipse(box);
  p.setPen(kInk);
  p.drawText(box, Qt::AlignCenter, QString(QLatin1Char(overlay)));
}

void DrawPlainMarker(QPainter& p, char table, char code) {
  p.setPen(QPen(kInk, 1.0));
  p.setBrush(kPlain);
  p.drawRoundedRect(QRectF(0.5, 3.5, kS - 1, kS - 7), 3, 3);
  QFont font = p.font();
  font.setPixelSize(8);
  p.setFont(font);
  const char symbol[2] = {table ? table : ' ', code ? code : ' '};
  p.drawText(QRectF(0, 3, kS, kS - 6), Qt::AlignCenter, QString::fromLatin1(symbol, 2));
}

}  // namespace

char SymbolOverlay(char table) { return text::IsDigit(table) || text::IsUpper(table) ? table : 0; }

TSymbolIcon SymbolIcon(char table, char code) {
  const auto find = [code](const auto& rows) {
    for (const TSymbolRow& row : rows)
      if (row.Codes.find(code) != std::string_view::npos) return row.Icon;
    return TSymbolIcon::None;
  };
  if (code == 0) return TSymbolIcon::None;
  if (table == '/') return find(kPrimary);
  if (table == '\\' || SymbolOverlay(table)) return find(kAlternate);
  return TSymbolIcon::None;
}

const QPixmap& TSymbolPainter::Icon(char table, char code) {
  const auto key =
      static_cast<std::uint16_t>(static_cast<unsigned char>(table) << 8 | static_cast<unsigned char>(code));
  const auto found = m_icons.constFind(key);
  if (found != m_icons.constEnd()) return *found;
  QPixmap pixmap(QSize(TSymbolPainter::kSize, TSymbolPainter::kSize) * m_ratio);
  pixmap.setDevicePixelRatio(m_ratio);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const TSymbolIcon icon = SymbolIcon(table, code);
  if (icon == TSymbolIcon::None) {
    DrawPlainMarker(painter, table, code);
  } else {
    DrawIcon(painter, icon);
    if (const char overlay = SymbolOverlay(table)) DrawOverlay(painter, overlay);
  }
  painter.end();
  return *m_icons.insert(key, pixmap);
}

}  // namespace standin
