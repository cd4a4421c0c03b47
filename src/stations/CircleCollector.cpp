#include "CircleCollector.h"

#include <stdexcept>

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

void TCircleTee::DrawCircle(float& x, float& y, float& radius, std::int32_t& color, float& startAngle, double& endAngle,
                            float& aspect) {
  Map().DrawCircle(x, y, radius, color, startAngle, endAngle, aspect);
  if (m_station == nullptr) return;
  Circles.push_back(ExportCircleOf(*m_station, TRangeCircle{x, y, radius}, color, m_kind));
  if (m_row != nullptr) {
    Circles.back().ReachMiles = m_row->ReachMiles;
    Circles.back().Sources = m_row->Sources;
  }
}

std::shared_ptr<host::_clsOxbMap> TCircleTee::GetMap() {
  m_map = m_host.GetMap();
  // The tee lives as long as the pass that asks for it; the pointer does not own it.
  return m_map ? std::shared_ptr<host::_clsOxbMap>(std::shared_ptr<void>(), this) : nullptr;
}

host::_clsOxbMap& TCircleTee::Map() {
  if (!m_map) throw std::logic_error("The map was used before it was asked for");
  return *m_map;
}

void TCircleTee::SetStation(const aprs::TAprsPacket* station, TCircleKind kind, const TCoverageRow* row) {
  m_station = station;
  m_kind = kind;
  m_row = row;
}

void PlotCirclesKept(TMapSource& host, const aprs::TPacketCache& cache, const TCircleChoice& choice, bool fullSize,
                     std::vector<TExportCircle>& drawn) {
  TCircleTee tee(host);
  const TCircleKind kind = choice.DrawDf ? TCircleKind::Df : TCircleKind::Range;
  drawn.clear();
  try {
    PlotCircles(
        tee, cache.Count(),
        [&](int index) {
          const aprs::TAprsPacket* station = cache.Items(index);
          tee.SetStation(station, kind);
          return station;
        },
        choice, fullSize);
  } catch (...) {
    drawn = std::move(tee.Circles);
    throw;
  }
  drawn = std::move(tee.Circles);
}

void PlotReachCirclesKept(TMapSource& host, const aprs::TPacketCache& cache, const std::vector<TCoverageRow>& rows,
                          std::vector<TExportCircle>& drawn) {
  TCircleTee tee(host);
  drawn.clear();
  try {
    PlotReachCircles(tee, rows, [&](const TCoverageRow& row) {
      tee.SetStation(cache.Find(row.Callsign), TCircleKind::Reach, &row);
    });
  } catch (...) {
    drawn = std::move(tee.Circles);
    throw;
  }
  drawn = std::move(tee.Circles);
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
