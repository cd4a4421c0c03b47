// Where the map window draws the raster tiles of its view.
//
// The tiles are taken at the zoom nearest the view's scale and stretched to
// it; each tile's edges are rounded to whole pixels from the world's origin,
// so that neighbours share their edge and no seam of basemap shows between
// them.
#pragma once

#include "MapProjection.h"
#include "TileAddress.h"

namespace standin {

struct TTileRect {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
};

class TTilePlacement {
 public:
  explicit TTilePlacement(const TMercatorView& view);

  // The tiles the view shows; columns may lie outside the world across the
  // 180th meridian (wrap them for the key).
  const TTileRange& Range() const { return m_range; }
  // The pixels of the tile at column `x` and row `y` of the range.
  TTileRect Place(int x, int y) const;

 private:
  TTileRange m_range;
  double m_tilePixels = 0;
  TPixel m_origin;  // the world's north-west corner
};

}  // namespace standin
