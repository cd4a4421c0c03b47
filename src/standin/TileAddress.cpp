#include "TileAddress.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <unordered_set>

namespace standin {

namespace {

// A view wider or taller than this many tiles is cut to its middle before the
// tiles are listed, so that a nonsense range never lists millions of tiles.
constexpr int kMaxSpan = 24;
// Fractions of the world beyond this many copies of it are taken as the edge.
constexpr double kMaxWorlds = 4.0;

constexpr std::string_view kHttp = "http://";
constexpr std::string_view kHttps = "https://";
constexpr std::array<std::string_view, 3> kPlaceholders{"z", "x", "y"};
constexpr unsigned char kFirstPrintable = 0x21;  // blanks and control characters are below
constexpr unsigned char kDelete = 0x7F;

bool IsUsableCharacter(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= kFirstPrintable && u < kDelete;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const char c = s[i];
    const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (lower != prefix[i]) return false;
  }
  return true;
}

int FloorIndex(double fraction, int perSide) {
  const double clamped = std::clamp(fraction, -kMaxWorlds, kMaxWorlds);
  return static_cast<int>(std::floor(clamped * perSide));
}

// The last tile an edge at `fraction` still reaches into: an edge exactly on a
// tile border does not take the tile beyond it.
int LastIndex(double fraction, int perSide) {
  const double clamped = std::clamp(fraction, -kMaxWorlds, kMaxWorlds);
  return static_cast<int>(std::ceil(clamped * perSide)) - 1;
}

// Keeps at most `maxSpan` of the numbers lo..hi, around their middle.
void CutSpan(int& lo, int& hi, int maxSpan) {
  if (hi - lo + 1 <= maxSpan) return;
  const int middle = lo + (hi - lo) / 2;
  lo = middle - maxSpan / 2;
  hi = lo + maxSpan - 1;
}

}  // namespace

std::size_t TTileKeyHash::operator()(const TTileKey& key) const {
  // Zoom needs 5 bits and each index at most 19 bits at the deepest zoom: the key fits 64 bits exactly.
  constexpr int kIndexBits = 24;
  const auto packed = (static_cast<std::uint64_t>(key.Zoom) << (2 * kIndexBits)) ^
                      (static_cast<std::uint64_t>(static_cast<std::uint32_t>(key.X)) << kIndexBits) ^
                      static_cast<std::uint64_t>(static_cast<std::uint32_t>(key.Y));
  return std::hash<std::uint64_t>{}(packed);
}

std::string TileName(const TTileKey& key) {
  return std::to_string(key.Zoom) + "/" + std::to_string(key.X) + "/" + std::to_string(key.Y);
}

int TilesPerSide(int zoom) { return 1 << std::clamp(zoom, 0, kMaxTileZoom); }

int WrapTileX(int x, int zoom) {
  const int n = TilesPerSide(zoom);
  const int wrapped = x % n;
  return wrapped < 0 ? wrapped + n : wrapped;
}

int TileZoomFor(double worldPixels) {
  if (!std::isfinite(worldPixels) || worldPixels <= kTileSize) return 0;
  const double zoom = std::round(std::log2(worldPixels / kTileSize));
  return static_cast<int>(std::min<double>(zoom, kMaxTileZoom));
}

TTileRange TilesCovering(int zoom, double left, double top, double right, double bottom) {
  TTileRange range;
  range.Zoom = std::clamp(zoom, 0, kMaxTileZoom);
  if (!std::isfinite(left) || !std::isfinite(top) || !std::isfinite(right) || !std::isfinite(bottom) || right <= left ||
      bottom <= top)
    return range;  // empty
  const int n = TilesPerSide(range.Zoom);
  range.MinX = FloorIndex(left, n);
  range.MaxX = std::max(range.MinX, LastIndex(right, n));
  range.MaxX = std::min(range.MaxX, range.MinX + n - 1);  // the whole world once is all there is
  range.MinY = std::clamp(FloorIndex(top, n), 0, n - 1);
  range.MaxY = std::clamp(LastIndex(bottom, n), range.MinY, n - 1);
  return range;
}

std::vector<TTileKey> TilesToFetch(const TTileRange& view) {
  std::vector<TTileKey> keys;
  if (view.MaxX < view.MinX || view.MaxY < view.MinY) return keys;
  int minX = view.MinX, maxX = view.MaxX, minY = view.MinY, maxY = view.MaxY;
  CutSpan(minX, maxX, kMaxSpan);
  CutSpan(minY, maxY, kMaxSpan);
  const double centreX = (minX + maxX) / 2.0;
  const double centreY = (minY + maxY) / 2.0;
  const auto distance = [&](int x, int y) { return std::hypot(x - centreX, y - centreY); };

  struct TCell {
    int X, Y;
    bool Ring;
    double Distance;
  };
  std::vector<TCell> cells;
  for (int y = minY - 1; y <= maxY + 1; ++y)
    for (int x = minX - 1; x <= maxX + 1; ++x) {
      const bool ring = x < minX || x > maxX || y < minY || y > maxY;
      cells.push_back({x, y, ring, distance(x, y)});
    }
  std::stable_sort(cells.begin(), cells.end(),
                   [](const TCell& a, const TCell& b) { return a.Ring != b.Ring ? !a.Ring : a.Distance < b.Distance; });

  const int n = TilesPerSide(view.Zoom);
  std::unordered_set<TTileKey, TTileKeyHash> seen;
  for (const TCell& cell : cells) {
    if (keys.size() >= kMaxWantedTiles) break;
    if (cell.Y < 0 || cell.Y >= n) continue;
    const TTileKey key{view.Zoom, WrapTileX(cell.X, view.Zoom), cell.Y};
    if (seen.insert(key).second) keys.push_back(key);
  }
  return keys;
}

std::string TileTemplateProblem(std::string_view tileTemplate) {
  if (tileTemplate.empty()) return "the template is empty";
  if (tileTemplate.size() > kMaxTemplateLength)
    return "the template is longer than " + std::to_string(kMaxTemplateLength) + " characters";
  if (!std::all_of(tileTemplate.begin(), tileTemplate.end(), IsUsableCharacter))
    return "the template has a blank, a control character or a character outside ASCII";
  std::size_t schemeLength = 0;
  if (StartsWithNoCase(tileTemplate, kHttps))
    schemeLength = kHttps.size();
  else if (StartsWithNoCase(tileTemplate, kHttp))
    schemeLength = kHttp.size();
  else
    return "the template is not an http:// or https:// address";

  std::array<bool, kPlaceholders.size()> found{};
  for (std::size_t i = 0; i < tileTemplate.size(); ++i) {
    if (tileTemplate[i] == '}') return "the template has a } without {";
    if (tileTemplate[i] != '{') continue;
    const std::size_t close = tileTemplate.find_first_of("{}", i + 1);
    if (close == std::string_view::npos || tileTemplate[close] != '}') return "the template has a { without }";
    const std::string_view name = tileTemplate.substr(i + 1, close - i - 1);
    const auto it = std::find(kPlaceholders.begin(), kPlaceholders.end(), name);
    if (it == kPlaceholders.end()) return "the template has {" + std::string(name) + "}, which is not {z}, {x} or {y}";
    found[static_cast<std::size_t>(it - kPlaceholders.begin())] = true;
    i = close;
  }
  for (std::size_t p = 0; p < kPlaceholders.size(); ++p)
    if (!found[p]) return "the template has no {" + std::string(kPlaceholders[p]) + "}";

  const std::string_view rest = tileTemplate.substr(schemeLength);
  const std::string_view server = rest.substr(0, rest.find('/'));
  if (server.empty()) return "the template names no server";
  if (server.find('{') != std::string_view::npos) return "the template has a tile number in the server's name";
  return {};
}

std::string TileUrl(std::string_view tileTemplate, const TTileKey& key) {
  std::string url;
  url.reserve(tileTemplate.size() + 16);
  for (std::size_t i = 0; i < tileTemplate.size(); ++i) {
    if (tileTemplate[i] == '{' && i + 2 < tileTemplate.size() && tileTemplate[i + 2] == '}') {
      const char name = tileTemplate[i + 1];
      const int value = name == 'z' ? key.Zoom : name == 'x' ? key.X : name == 'y' ? key.Y : -1;
      if (value >= 0) {
        url += std::to_string(value);
        i += 2;
        continue;
      }
    }
    url += tileTemplate[i];
  }
  return url;
}

}  // namespace standin
