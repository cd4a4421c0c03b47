#include "ReachCircles.h"

#include "CircleExport.h"

namespace tarvik {

void PlotReachCircles(TMapSource& host, const std::vector<TCoverageRow>& rows,
                      const std::function<void(const TCoverageRow&)>& onDraw) {
  const TGeoBounds bounds = ReadMapBounds(host);
  for (const TCoverageRow& row : rows) {
    if (!row.ReachMiles || !bounds.Contains(row.Latitude, row.Longitude)) continue;
    aprs::TAprsPacket reach;  // a station with the reach as its range and no direction
    reach.Position.Latitude.Value = row.Latitude;
    reach.Position.Longitude.Value = row.Longitude;
    reach.Capabilities.Range = static_cast<float>(*row.ReachMiles);
    if (onDraw) onDraw(row);
    PlotRangeCircle(host, reach, kColorReach, true, kClassPenWidth);
  }
}

}  // namespace tarvik
