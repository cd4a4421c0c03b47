// Tile numbers, the order of fetching, address templates and the lifetime of a tile.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TileAddress.h"
#include "TileExpiry.h"
#include "TilePlacement.h"

namespace standin {
namespace {

TEST(TileTemplate, UsableTemplatesAndWhyTheOthersAreNot) {
  struct TCase {
    const char* tileTemplate;
    const char* problem;  // a part of the reason; "" for a usable template
  };
  // clang-format off
  const std::vector<TCase> cases = {
      {"https://tile.openstreetmap.org/{z}/{x}/{y}.png", ""},
      {"HTTP://127.0.0.1:8080/t?x={x}&y={y}&z={z}",      ""},
      {"",                                                "empty"},
      {"tile.openstreetmap.org/{z}/{x}/{y}.png",          "not an http:// or https://"},
      {"ftp://example.org/{z}/{x}/{y}.png",               "not an http:// or https://"},
      {"https://example.org/{z}/{x}.png",                 "has no {y}"},
      {"https://example.org/{z}/{x}/{x}.png",             "has no {y}"},
      {"https://{s}.tile.example.org/{z}/{x}/{y}.png",    "{s}, which is not"},
      {"https://example.org/{z}/{x}/{y.png",              "{ without }"},
      {"https://example.org/{z}/{x}/y}.png",              "} without {"},
      {"https://example.org/{z}/{x}/{y}.png extra",       "a blank"},
      {"https://example.org/{z}/{x}/{y}.png\r\nX: 1",     "control character"},
      {"https://ex\xC3\xA4mple.org/{z}/{x}/{y}.png",      "outside ASCII"},
      {"https:///{z}/{x}/{y}.png",                        "names no server"},
      {"https://{z}.example.org/{x}/{y}.png",             "tile number in the server"},
  };
  // clang-format on
  for (const TCase& c : cases) {
    const std::string problem = TileTemplateProblem(c.tileTemplate);
    if (*c.problem == '\0')
      EXPECT_EQ(problem, "") << c.tileTemplate;
    else
      EXPECT_NE(problem.find(c.problem), std::string::npos) << c.tileTemplate << " gave: " << problem;
  }
  EXPECT_NE(TileTemplateProblem("https://example.org/{z}/{x}/{y}/" + std::string(kMaxTemplateLength, 'a')), "");
  EXPECT_EQ(TileUrl("https://h/{z}/{x}/{y}.png?k={x}", {12, 1234, 2345}), "https://h/12/1234/2345.png?k=1234");
}

TEST(TileRange, CoversTheViewWrapsTheMeridianAndClampsThePoles) {
  struct TCase {
    const char* name;
    int zoom;
    double left, top, right, bottom;
    TTileRange expected;
  };
  // clang-format off
  const std::vector<TCase> cases = {
      {"whole world at 0",       0,  0.0,   0.0,  1.0,   1.0,  {0, 0, 0, 0, 0}},
      {"edges on tile borders",  2,  0.25,  0.25, 0.75,  0.5,  {2, 1, 1, 2, 1}},
      {"inside one tile",        3,  0.51,  0.51, 0.52,  0.52, {3, 4, 4, 4, 4}},
      {"across 180 degrees",     2, -0.1,   0.3,  0.1,   0.4,  {2, -1, 1, 0, 1}},
      {"beyond the poles",       1,  0.2,  -0.5,  0.3,   1.5,  {1, 0, 0, 0, 1}},
      {"wider than the world",   1, -1.0,   0.0,  2.0,   1.0,  {1, -2, 0, -1, 1}},
      {"empty view",             5,  0.5,   0.5,  0.5,   0.6,  {5, 0, 0, -1, -1}},
      {"zoom beyond the deepest", 25, 0.0,  0.0,  0.0,   0.0,  {kMaxTileZoom, 0, 0, -1, -1}},
  };
  // clang-format on
  for (const TCase& c : cases) EXPECT_EQ(TilesCovering(c.zoom, c.left, c.top, c.right, c.bottom), c.expected) << c.name;

  // 1000 pixels: 1024 is nearer than 512.
  for (const auto& [pixels, zoom] : {std::pair{256.0, 0}, {1000.0, 2}, {1e12, kMaxTileZoom}, {-5.0, 0}})
    EXPECT_EQ(TileZoomFor(pixels), zoom) << pixels;
}

TEST(TileRange, FetchesTheViewFromTheCentreThenItsRingAndNothingElse) {
  // A 2 x 1 view at zoom 3 against the western edge of the world.
  const std::vector<TTileKey> keys = TilesToFetch({3, -1, 4, 0, 4});
  ASSERT_EQ(keys.size(), 2u + 10u);
  EXPECT_TRUE((keys[0] == TTileKey{3, 7, 4} && keys[1] == TTileKey{3, 0, 4}) ||
              (keys[0] == TTileKey{3, 0, 4} && keys[1] == TTileKey{3, 7, 4}));
  for (const TTileKey& key : keys) {
    EXPECT_TRUE(key.X >= 0 && key.X < 8 && (key.X <= 1 || key.X >= 6)) << "not a neighbour: " << TileName(key);
    EXPECT_TRUE(key.Y >= 3 && key.Y <= 5) << "not a neighbour: " << TileName(key);
  }
  // The top row of the world has no ring above it, and zoom 0 is one tile.
  EXPECT_EQ(TilesToFetch({2, 1, 0, 1, 0}).size(), 1u + 5u);
  EXPECT_EQ(TilesToFetch({0, 0, 0, 0, 0}).size(), 1u);
  // A nonsense range never lists more than a screenful.
  EXPECT_LE(TilesToFetch({kMaxTileZoom, 0, 0, 1 << 18, 1 << 18}).size(), kMaxWantedTiles);
}

TEST(TilePlacement, TilesSitOnTheWorldAndShareTheirEdges) {
  // An 800 x 600 window on a 1024-pixel world, zoomed and panned; where a column of tiles starts.
  // clang-format off
  struct TCase { double zoomBy, panX; TTileRange range; int column, left; };
  const std::vector<TCase> cases = {
      {1.0, 0,   {2, 0, 0, 3, 3}, 0, -112},  // tile for pixel; the world's corner is left of the window
      {1.3, 0,   {2, 0, 1, 3, 2}, 1, 67},    // zoom 2 stretched to 332.8 pixels a tile
      {1.0, 600, {2, 2, 0, 5, 3}, 4, 488},   // past 180 E: columns 4 and 5 are the world's 0 and 1 again
  };
  // clang-format on
  for (const TCase& c : cases) {
    TMercatorView view;
    view.Resize(800, 600);
    view.ZoomAt({400, 300}, c.zoomBy);
    view.PanBy(c.panX, 0);
    const TTilePlacement tiles(view);
    EXPECT_EQ(tiles.Range(), c.range) << c.zoomBy;
    EXPECT_EQ(tiles.Place(c.column, 1).Left, c.left) << c.zoomBy;
    for (int x = c.range.MinX; x < c.range.MaxX; ++x)  // no seam and no overlap
      EXPECT_EQ(tiles.Place(x, 1).Left + tiles.Place(x, 1).Width, tiles.Place(x + 1, 1).Left) << c.zoomBy;
  }
}

TEST(TileExpiry, LifetimeFromTheCachingHeaders) {
  const long long now = *ParseHttpDate("Wed, 09 Dec 2026 02:00:00 GMT");
  struct TCase {
    const char* cacheControl;
    const char* expires;
    const char* date;
    long long lifetime;
    bool store;
  };
  // clang-format off
  const std::vector<TCase> cases = {
      {"",                              "",                              "", kDefaultTileLifetimeSeconds, true},
      {"max-age=3600",                  "",                              "", 3600,    true},
      {"public, MAX-AGE=\"7200\"",      "Thu, 01 Jan 2099 00:00:00 GMT", "", 7200,    true},
      {"max-age=0",                     "",                              "", kMinTileLifetimeSeconds, true},
      {"no-cache, max-age=3600",        "",                              "", kMinTileLifetimeSeconds, true},
      {"no-store",                      "",                              "", kDefaultTileLifetimeSeconds, false},
      {"max-age=99999999999999999999",  "",                              "", kMaxTileLifetimeSeconds, true},
      {"max-age=-5",                    "Wed, 09 Dec 2026 03:00:00 GMT", "", 3600,    true},
      {"",                              "Wed, 09 Dec 2026 03:00:00 GMT", "", 3600,    true},
      {"",  "Wed, 09 Dec 2026 03:00:00 GMT", "Wed, 09 Dec 2026 02:30:00 GMT", 1800, true},
      {"",                              "0",                             "", kMinTileLifetimeSeconds, true},
  };
  // clang-format on
  for (const TCase& c : cases) {
    const TTileFreshness f = TileFreshness(c.cacheControl, c.expires, c.date, now);
    EXPECT_EQ(f.LifetimeSeconds, c.lifetime) << c.cacheControl << " | " << c.expires;
    EXPECT_EQ(f.Store, c.store) << c.cacheControl;
  }
  EXPECT_EQ(ParseHttpDate("Sun, 06 Nov 1994 08:49:37 GMT"), 784111777);
  for (const char* bad : {"Sun, 06 Nov 1994 08:49:37 UTC", "Sun, 31 Feb 1994 08:49:37 GMT", "06 Nov 1994 08:49:37 GMT",
                          "Sun, 06 Nov 1994 25:49:37 GMT", "Sun, 06 Nov 94 08:49:37 GMT", "Sun, 06 Nov 1994 08:49 GMT"})
    EXPECT_FALSE(ParseHttpDate(bad)) << bad;
}

}  // namespace
}  // namespace standin
