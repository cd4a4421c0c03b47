#include "TilePlacement.h"

#include <cmath>

namespace standin {

TTilePlacement::TTilePlacement(const TMercatorView& view) {
  const int zoom = TileZoomFor(view.WorldPixels());
  const TWorldPoint topLeft = view.ToWorld({0, 0});
  const TWorldPoint bottomRight = view.ToWorld({double(view.PixelWidth()), double(view.PixelHeight())});
  m_range = TilesCovering(zoom, topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y);
  m_tilePixels = view.WorldPixels() / TilesPerSide(zoom);
  m_origin = view.WorldToPixel({0, 0});
}

TTileRect TTilePlacement::Place(int x, int y) const {
  const auto edge = [this](double origin, int index) {
    return static_cast<int>(std::lround(origin + index * m_tilePixels));
  };
  const int left = edge(m_origin.X, x);
  const int top = edge(m_origin.Y, y);
  return {left, top, edge(m_origin.X, x + 1) - left, edge(m_origin.Y, y + 1) - top};
}

}  // namespace standin
