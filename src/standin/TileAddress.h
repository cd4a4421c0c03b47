// Raster map tiles in the {z}/{x}/{y} scheme of slippy maps: which tiles cover
// a view, in which order to fetch them, and the address of each.
//
// At zoom z the Web Mercator world is 2^z by 2^z square tiles of 256 pixels,
// numbered from the north-west corner (180°W, about 85.05°N): x grows east,
// y grows south. Nothing here needs Qt.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

inline constexpr int kTileSize = 256;    // pixels on a side
inline constexpr int kMaxTileZoom = 19;  // the deepest zoom the public tile servers render
// A view and its neighbours never need more tiles than a large screen shows; a
// caller asking for more gets the ones nearest the centre.
inline constexpr std::size_t kMaxWantedTiles = 256;
inline constexpr std::size_t kMaxTemplateLength = 1024;

struct TTileKey {
  int Zoom = 0;
  int X = 0;
  int Y = 0;
  bool operator==(const TTileKey&) const = default;
};

struct TTileKeyHash {
  std::size_t operator()(const TTileKey& key) const;
};

// "z/x/y", as in the address and in messages.
std::string TileName(const TTileKey& key);

// Tiles across the world at `zoom` (0 to kMaxTileZoom).
int TilesPerSide(int zoom);

// The tile column `x` brought into the world: a view across the 180th meridian
// asks for columns left of 0 or right of the last one.
int WrapTileX(int x, int zoom);

// Tiles from MinX..MaxX and MinY..MaxY, both ends included. X may lie outside
// the world (see WrapTileX); Y never does.
struct TTileRange {
  int Zoom = 0;
  int MinX = 0;
  int MinY = 0;
  int MaxX = -1;
  int MaxY = -1;
  bool operator==(const TTileRange&) const = default;
};

// The zoom at which a tile is drawn nearest its own size on a map that shows
// the whole world `worldPixels` wide.
int TileZoomFor(double worldPixels);

// The tiles at `zoom` covering the part of the world from `left` to `right` and
// `top` to `bottom`, as fractions of the world's Mercator width and height
// (0 at 180°W and at the northern edge, 1 at 180°E and the southern edge).
// Left of 0 or right of 1 continues into the next copy of the world.
TTileRange TilesCovering(int zoom, double left, double top, double right, double bottom);

// What to fetch for a view: its tiles nearest the centre first, then the ring
// of tiles around it, each once, columns wrapped into the world, rows outside
// it left out; at most kMaxWantedTiles.
std::vector<TTileKey> TilesToFetch(const TTileRange& view);

// Why a tile address template cannot be used; empty when it can. A template
// is an http:// or https:// address naming a server, with {z}, {x} and {y}
// where the numbers go, and nothing else in braces.
std::string TileTemplateProblem(std::string_view tileTemplate);

// The template with the tile's numbers put in.
std::string TileUrl(std::string_view tileTemplate, const TTileKey& key);

}  // namespace standin
