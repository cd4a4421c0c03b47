#include "CircleCollector.h"

#include "ReachCircles.h"

namespace tarvik {

float TCollectingMap::GetMapLeft() { return static_cast<float>(m_bounds.West * kMinutesPerDegree); }
float TCollectingMap::GetMapTop() { return static_cast<float>(m_bounds.North * kMinutesPerDegree); }
float TCollectingMap::GetMapWidth() {
  return static_cast<float>((static_cast<double>(m_bounds.East) - m_bounds.West) * kMinutesPerDegree);
}
float TCollectingMap::GetMapHeight() {
  return static_cast<float>((static_cast<double>(m_bounds.South) - m_bounds.North) * kMinutesPerDegree);
}

void TCollectingMap::DrawCircle(float& x, float& y, float& radius, std::int32_t& color, float&, double&, float&) {
  if (m_station == nullptr) return;
  Circles.push_back(ExportCircleOf(*m_station, TRangeCircle{x, y, radius}, color, m_kind));
  if (m_row != nullptr) {
    Circles.back().ReachMiles = m_row->ReachMiles;
    Circles.back().Sources = m_row->Sources;
  }
}

std::shared_ptr<host::_clsOxbMap> TCollectingMap::GetMap() {
  // The map lives as long as the pass that asks for it; the pointer does not own it.
  return std::shared_ptr<host::_clsOxbMap>(std::shared_ptr<void>(), this);
}

void TCollectingMap::SetStation(const aprs::TAprsPacket* station, TCircleKind kind, const TCoverageRow* row) {
  m_station = station;
  m_kind = kind;
  m_row = row;
}

std::vector<TExportCircle> CollectCircles(const aprs::TPacketCache& cache, const TGeoBounds& bounds,
                                          const TCircleChoice& choice, bool fullSize) {
  TCollectingMap map(bounds);
  const TCircleKind kind = choice.DrawDf ? TCircleKind::Df : TCircleKind::Range;
  PlotCircles(
      map, cache.Count(),
      [&](int index) {
        const aprs::TAprsPacket* station = cache.Items(index);
        map.SetStation(station, kind);
        return station;
      },
      choice, fullSize);
  return std::move(map.Circles);
}

std::vector<TExportCircle> CollectReachCircles(const aprs::TPacketCache& cache, const std::vector<TCoverageRow>& rows,
                                               const TGeoBounds& bounds) {
  TCollectingMap map(bounds);
  PlotReachCircles(
      map, rows, [&](const TCoverageRow& row) { map.SetStation(cache.Find(row.Callsign), TCircleKind::Reach, &row); });
  return std::move(map.Circles);
}

}  // namespace tarvik
