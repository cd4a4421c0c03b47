// The draw pass: which cached stations get a circle on the host's current
// map, and in which colour.
//
// The host repaints its map now and then without notice, wiping the circles,
// so the pass is repeated on a timer. Only stations whose own position lies
// inside the map's bounds (edges included) are drawn.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "APRSCache.h"
#include "APRSData.h"
#include "Colors.h"
#include "RangeCircle.h"

namespace tarvik {

// Station classes, 0x00BBGGRR. The colour is the class: the pass compares
// colours to find the check box that applies.
inline constexpr std::int32_t kColorNonStandardPhg = colors::kGrey;
inline constexpr std::int32_t kColorDefaultPhg = colors::kPurple;
inline constexpr std::int32_t kColorMobile = colors::kRed;
inline constexpr std::int32_t kColorDigi = colors::kGreen;
inline constexpr std::int32_t kColorIGate = colors::kBlue;
inline constexpr std::int32_t kColorOther = colors::kBlack;

// DF signal strength colours.
inline constexpr std::int32_t kColorDfNoSignal = colors::kBlack;
inline constexpr std::int32_t kColorDfStrongest = colors::kRed;
inline constexpr std::int32_t kColorDfSignal = colors::kGreen;

inline constexpr int kClassPenWidth = 2;
inline constexpr int kNonStandardPenWidth = 3;

// The class colour of a station's capabilities circle; the first rule that
// holds wins: non-standard PHG, no PHG text (default PHG), mobile, "#" digi,
// "&" IGate, other.
std::int32_t StationColor(const aprs::TAprsPacket& station);

// The colour of a DF circle from the DF report's signal strength.
std::int32_t DfColor(const aprs::TAprsPacket& station);

// The check boxes of the "Range Circles" page that steer a pass.
struct TCircleChoice {
  bool DrawDigis = true;
  bool DrawMobiles = true;
  bool DrawIGates = true;
  bool DrawDefaultPhg = true;
  bool DrawOthers = true;
  bool DrawDf = false;
};

// The map's bounds in degrees, as 32-bit reals.
struct TGeoBounds {
  float West = 0.0F;
  float East = 0.0F;
  float North = 0.0F;
  float South = 0.0F;

  // Inclusive on all four sides.
  bool Contains(double latitude, double longitude) const {
    return West <= longitude && longitude <= East && South <= latitude && latitude <= North;
  }
};

// Reads left, width, top and height, in that order, each from a fresh map.
TGeoBounds ReadMapBounds(TMapSource& host);

// The station at an index, or nothing.
using TStationAt = std::function<const aprs::TAprsPacket*(int index)>;

// One pass over `count` stations in order. A host failure ends the pass at
// that station and propagates; the stations after it are not drawn.
void PlotCircles(TMapSource& host, int count, const TStationAt& stationAt, const TCircleChoice& choice, bool fullSize);
inline void PlotCircles(TMapSource& host, const aprs::TPacketCache& cache, const TCircleChoice& choice, bool fullSize) {
  PlotCircles(
      host, cache.Count(), [&cache](int index) { return cache.Items(index); }, choice, fullSize);
}

// The redraw timer as the pass sees it; interval in milliseconds.
class TRedrawTimer {
 public:
  virtual ~TRedrawTimer() = default;
  virtual void SetEnabled(bool enabled) = 0;
  virtual void SetInterval(int milliseconds) = 0;
};

inline constexpr int kDefaultRedrawSeconds = 15;

// The edit box's text as a timer interval: whole seconds, 15 when the text is
// not an integer, clamped to what a timer can hold (a negative value gives 0,
// which means no ticks).
int RedrawIntervalMs(std::string_view secondsText);

// "&Draw Circles" and the timer tick: the timer is off during the pass and on
// after it, also when the pass fails (the failure still propagates).
void RunDrawPass(TRedrawTimer& timer, const std::function<void()>& pass);

// "Redraw every " changing state and the edit box being left: the interval
// from the edit box, the timer on exactly when the box is checked.
void ApplyRedrawSetting(TRedrawTimer& timer, std::string_view secondsText, bool redrawChecked);

}  // namespace tarvik
