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

// A host map that draws as usual and keeps, beside the host, every circle
// drawn through it with its station: the circles of a pass on the real map,
// exactly as drawn, for export. Each GetMap asks the host for its map afresh,
// so the host sees the same calls as without the tee.
class TCircleTee : public host::_clsOxbMap, public TMapSource {
 public:
  explicit TCircleTee(TMapSource& host) : m_host(host) {}

  float GetMapLeft() override { return Map().GetMapLeft(); }
  float GetMapTop() override { return Map().GetMapTop(); }
  float GetMapWidth() override { return Map().GetMapWidth(); }
  float GetMapHeight() override { return Map().GetMapHeight(); }
  void SetPenWidth(std::int16_t& width) override { Map().SetPenWidth(width); }
  void SetFillMode(std::int16_t& mode) override { Map().SetFillMode(mode); }
  void SetFillColor(std::int32_t& color) override { Map().SetFillColor(color); }
  void DrawCircle(float& x, float& y, float& radius, std::int32_t& color, float& startAngle, double& endAngle,
                  float& aspect) override;
  std::shared_ptr<host::_clsOxbMap> GetMap() override;

  // The station of the circles drawn next, and for a reach circle its row.
  void SetStation(const aprs::TAprsPacket* station, TCircleKind kind, const TCoverageRow* row = nullptr);
  std::vector<TExportCircle> Circles;

 private:
  host::_clsOxbMap& Map();

  TMapSource& m_host;
  std::shared_ptr<host::_clsOxbMap> m_map;
  const aprs::TAprsPacket* m_station = nullptr;
  TCircleKind m_kind = TCircleKind::Range;
  const TCoverageRow* m_row = nullptr;
};

// The draw pass over the cache on the host's map, as PlotCircles draws it,
// keeping the circles drawn for export. A host failure propagates; the
// circles drawn before it are in `drawn`.
void PlotCirclesKept(TMapSource& host, const aprs::TPacketCache& cache, const TCircleChoice& choice, bool fullSize,
                     std::vector<TExportCircle>& drawn);

// The measured-reach circles of `rows` on the host's map, as PlotReachCircles
// draws them, keeping the circles drawn for export, as PlotCirclesKept does.
void PlotReachCirclesKept(TMapSource& host, const aprs::TPacketCache& cache, const std::vector<TCoverageRow>& rows,
                          std::vector<TExportCircle>& drawn);

// What the draw pass draws over the cache within `bounds`, as circles for export.
std::vector<TExportCircle> CollectCircles(const aprs::TPacketCache& cache, const TGeoBounds& bounds,
                                          const TCircleChoice& choice, bool fullSize);

// The measured-reach circles of `rows` within `bounds`.
std::vector<TExportCircle> CollectReachCircles(const aprs::TPacketCache& cache, const std::vector<TCoverageRow>& rows,
                                               const TGeoBounds& bounds);

}  // namespace tarvik
