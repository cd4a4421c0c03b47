#include "DrawPass.h"

#include <algorithm>
#include <limits>

#include "Text.h"
#include "Units.h"

namespace tarvik {

namespace {

constexpr char kDigiSymbol = '#';
constexpr char kIGateSymbol = '&';
constexpr int kDfSignalNone = 0;
constexpr int kDfSignalStrongest = 9;

// The check box that enables a class, or nothing for a class that is always
// drawn (grey) or never (an unknown colour).
bool ClassEnabled(std::int32_t color, const TCircleChoice& choice, int& penWidth) {
  penWidth = kClassPenWidth;
  switch (color) {
    case kColorDefaultPhg: return choice.DrawDefaultPhg;
    case kColorDigi: return choice.DrawDigis;
    case kColorMobile: return choice.DrawMobiles;
    case kColorIGate: return choice.DrawIGates;
    case kColorOther: return choice.DrawOthers;
    case kColorNonStandardPhg: penWidth = kNonStandardPenWidth; return true;
    default: return false;
  }
}

void PlotStation(TMapSource& host, const aprs::TAprsPacket& station, const TGeoBounds& bounds,
                 const TCircleChoice& choice, bool fullSize) {
  if (!bounds.Contains(station.Position.Latitude.Value, station.Position.Longitude.Value)) return;
  if (choice.DrawDf) {
    if (station.DFReport.HasReport) PlotDfCircle(host, station, DfColor(station));
    return;
  }
  if (!station.Capabilities.HasCapabilities) return;
  const std::int32_t color = StationColor(station);
  int penWidth = kClassPenWidth;
  if (ClassEnabled(color, choice, penWidth)) PlotRangeCircle(host, station, color, fullSize, penWidth);
}

}  // namespace

std::int32_t StationColor(const aprs::TAprsPacket& station) {
  if (station.Capabilities.PhgNonStandard) return kColorNonStandardPhg;
  if (station.Capabilities.PhgString.empty()) return kColorDefaultPhg;
  if (station.Position.Mobile) return kColorMobile;
  if (station.SymbolCode == kDigiSymbol) return kColorDigi;
  if (station.SymbolCode == kIGateSymbol) return kColorIGate;
  return kColorOther;
}

std::int32_t DfColor(const aprs::TAprsPacket& station) {
  switch (station.DFReport.Signal) {
    case kDfSignalNone: return kColorDfNoSignal;
    case kDfSignalStrongest: return kColorDfStrongest;
    default: return kColorDfSignal;
  }
}

TGeoBounds ReadMapBounds(TMapSource& host) {
  TGeoBounds bounds;
  bounds.West = static_cast<float>(host.GetMap()->GetMapLeft() / kMinutesPerDegree);
  bounds.East = static_cast<float>(host.GetMap()->GetMapWidth() / kMinutesPerDegree + bounds.West);
  bounds.North = static_cast<float>(host.GetMap()->GetMapTop() / kMinutesPerDegree);
  bounds.South = static_cast<float>(host.GetMap()->GetMapHeight() / kMinutesPerDegree + bounds.North);
  return bounds;
}

void PlotCircles(TMapSource& host, int count, const TStationAt& stationAt, const TCircleChoice& choice, bool fullSize) {
  const TGeoBounds bounds = ReadMapBounds(host);
  for (int i = 0; i < count; ++i) {
    const aprs::TAprsPacket* station = stationAt(i);
    if (station != nullptr) PlotStation(host, *station, bounds, choice, fullSize);
  }
}

int RedrawIntervalMs(std::string_view secondsText) {
  const long long seconds = text::StrToIntDef(text::Trim(secondsText), kDefaultRedrawSeconds);
  const long long ms = seconds * units::kMillisecondsPerSecond;
  return static_cast<int>(std::clamp<long long>(ms, 0, std::numeric_limits<int>::max()));
}

void RunDrawPass(TRedrawTimer& timer, const std::function<void()>& pass) {
  timer.SetEnabled(false);
  try {
    pass();
  } catch (...) {
    timer.SetEnabled(true);
    throw;
  }
  timer.SetEnabled(true);
}

void ApplyRedrawSetting(TRedrawTimer& timer, std::string_view secondsText, bool redrawChecked) {
  timer.SetEnabled(false);
  timer.SetInterval(RedrawIntervalMs(secondsText));
  timer.SetEnabled(redrawChecked);
}

}  // namespace tarvik
