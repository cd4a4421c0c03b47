// A draw pass without a window: a map of fixed bounds that keeps the circles
// drawn on it, with their stations, for export.
#pragma once

#include <vector>

#include "APRSCache.h"
#include "CircleExport.h"
#include "Coverage.h"
#include "DrawPass.h"

namespace tarvik {

// The whole world: the default bounds of a pass without a map.
inline constexpr TGeoBounds kWholeWorld{-180.0F, 180.0F, 90.0F, -90.0F};

// The host map a pass sees for `bounds`: left, top, width and height in
// minutes of arc, the height negative (north up). The map is as high as the
// bounds, which decides which circles are too small to draw.
class TCollectingMap : public host::_clsOxbMap, public TMapSource {
 public:
  explicit TCollectingMap(const TGeoBounds& bounds) : m_bounds(bounds) {}

  float GetMapLeft() override;
  float GetMapTop() override;
  float GetMapWidth() override;
  float GetMapHeight() override;
  void SetPenWidth(std::int16_t&) override {}
  void SetFillMode(std::int16_t&) override {}
  void SetFillColor(std::int32_t&) override {}
  void DrawCircle(float& x, float& y, float& radius, std::int32_t& color, float& startAngle, double& endAngle,
                  float& aspect) override;
  std::shared_ptr<host::_clsOxbMap> GetMap() override;

  // The station of the circles drawn next, and for a reach circle its row.
  void SetStation(const aprs::TAprsPacket* station, TCircleKind kind, const TCoverageRow* row = nullptr);
  std::vector<TExportCircle> Circles;

 private:
  TGeoBounds m_bounds;
  const aprs::TAprsPacket* m_station = nullptr;
  TCircleKind m_kind = TCircleKind::Range;
  const TCoverageRow* m_row = nullptr;
};

// What the draw pass draws over the cache within `bounds`, as circles for export.
std::vector<TExportCircle> CollectCircles(const aprs::TPacketCache& cache, const TGeoBounds& bounds,
                                          const TCircleChoice& choice, bool fullSize);

// The measured-reach circles of `rows` within `bounds`.
std::vector<TExportCircle> CollectReachCircles(const aprs::TPacketCache& cache, const std::vector<TCoverageRow>& rows,
                                               const TGeoBounds& bounds);

}  // namespace tarvik
