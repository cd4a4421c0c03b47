// Measured-reach circles on the host map: centred on the receiver, the
// measured reach as radius, drawn through the same host calls as the range
// circles in a colour of their own.
#pragma once

#include <vector>

#include "Coverage.h"
#include "DrawPass.h"

namespace tarvik {

// Draws the reach of every row that has one and whose station lies inside the
// map's bounds; a circle too small for the map is left out, as a range circle
// is. At true size: the reach is a measurement, not a claim. `onDraw` (may be
// empty) learns the row of every circle before it is drawn.
void PlotReachCircles(TMapSource& host, const std::vector<TCoverageRow>& rows,
                      const std::function<void(const TCoverageRow&)>& onDraw = {});

}  // namespace tarvik
