// APRS symbols drawn by the program: a small vector icon for the common
// symbols of the primary ("/") and alternate ("\" or an overlay character)
// tables, the overlay character over it, and a plain marker with the
// symbol's two characters for the rest.
#pragma once

#include <QHash>
#include <QPixmap>
#include <cstdint>

namespace standin {

enum class TSymbolIcon : std::uint8_t {
  None,  // no icon of ours: the plain marker
  Car,
  Truck,
  Van,
  Motorcycle,
  Bicycle,
  Person,
  House,
  Digipeater,
  Gateway,
  Weather,
  Balloon,
  Aircraft,
  Helicopter,
  Boat,
  Emergency,
  DfStation,
  School,
  Hospital,
  Tower,
  Police,
  FireTruck,
  Ambulance,
};

// The icon for a symbol; the alternate table's icons are also drawn with an overlay.
TSymbolIcon SymbolIcon(char table, char code);

// The overlay character of a symbol ("0"-"9", "A"-"Z" in the table's place), or 0.
char SymbolOverlay(char table);

// Icons drawn once per symbol and then copied: a map frame draws thousands.
class TSymbolPainter {
 public:
  static constexpr int kSize = 16;  // pixels, square

  explicit TSymbolPainter(qreal devicePixelRatio = 1.0) : m_ratio(devicePixelRatio) {}
  const QPixmap& Icon(char table, char code);

 private:
  qreal m_ratio;
  QHash<std::uint16_t, QPixmap> m_icons;
};

}  // namespace standin
