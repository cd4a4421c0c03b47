#include "Basemap.h"

#include <algorithm>
#include <fstream>
#include <limits>

#include "MapProjection.h"
#include "Units.h"

namespace standin {

namespace {

constexpr std::string_view kMagic = "TVBM";
constexpr std::uint16_t kVersion = 1;
constexpr std::uint16_t kMaxLevels = 8;
constexpr double kUnitsPerDegree = 1000.0;
// Longitudes past the 180th meridian occur in the data (ring closures); nothing lies a world away.
constexpr std::int64_t kMaxLongitudeUnits = std::int64_t{360} * 1000;
constexpr std::int64_t kMaxLatitudeUnits = std::int64_t{90} * 1000;
constexpr std::size_t kMaxVarintBytes = 10;
constexpr std::size_t kMinPointBytes = 2;  // two one-byte varints
constexpr std::size_t kCountBytes = 4;
constexpr std::uintmax_t kMaxFileBytes = 64U << 20;  // far above the few megabytes the data needs
constexpr int kBitsPerVarintByte = 7;
constexpr std::uint8_t kVarintMore = 0x80;
constexpr std::uint8_t kVarintBits = 0x7F;

class TReader {
 public:
  explicit TReader(std::string_view bytes) : m_bytes(bytes) {}

  std::size_t Left() const { return m_bytes.size() - m_at; }

  bool Fixed(std::uint32_t& value, std::size_t size) {
    if (Left() < size) return false;
    value = 0;
    for (std::size_t i = 0; i < size; ++i)
      value |= static_cast<std::uint32_t>(static_cast<unsigned char>(m_bytes[m_at + i])) << (8 * i);
    m_at += size;
    return true;
  }

  // A count of items that need at least `itemBytes` each: more than the bytes left cannot be.
  bool Count(std::uint32_t& count, std::size_t itemBytes) {
    return Fixed(count, kCountBytes) && count <= Left() / itemBytes;
  }

  bool ZigzagVarint(std::int64_t& value) {
    std::uint64_t raw = 0;
    for (std::size_t i = 0; i < kMaxVarintBytes; ++i) {
      if (Left() == 0) return false;
      const auto byte = static_cast<std::uint8_t>(m_bytes[m_at++]);
      raw |= static_cast<std::uint64_t>(byte & kVarintBits) << (kBitsPerVarintByte * i);
      if ((byte & kVarintMore) == 0) {
        value = static_cast<std::int64_t>(raw >> 1) ^ -static_cast<std::int64_t>(raw & 1);
        return true;
      }
    }
    return false;
  }

  std::string_view Take(std::size_t size) {
    const std::string_view taken = m_bytes.substr(m_at, std::min(size, Left()));
    m_at += taken.size();
    return taken;
  }

 private:
  std::string_view m_bytes;
  std::size_t m_at = 0;
};

bool ReadPart(TReader& in, TBasemapLayer& layer, TBasemapPiece& piece, std::string& error) {
  std::uint32_t points = 0;
  if (!in.Count(points, kMinPointBytes)) return error = "a line with more points than the file holds", false;
  std::int64_t x = 0;
  std::int64_t y = 0;
  for (std::uint32_t i = 0; i < points; ++i) {
    std::int64_t dx = 0;
    std::int64_t dy = 0;
    if (!in.ZigzagVarint(dx) || !in.ZigzagVarint(dy)) return error = "a point cut short", false;
    // Differences first checked on their own, so the sums cannot overflow.
    if (dx < -2 * kMaxLongitudeUnits || dx > 2 * kMaxLongitudeUnits || dy < -2 * kMaxLatitudeUnits ||
        dy > 2 * kMaxLatitudeUnits)
      return error = "a point out of range", false;
    x += dx;
    y += dy;
    if (x < -kMaxLongitudeUnits || x > kMaxLongitudeUnits || y < -kMaxLatitudeUnits || y > kMaxLatitudeUnits)
      return error = "a point out of range", false;
    const double minutesX = static_cast<double>(x) / kUnitsPerDegree * units::kMinutesPerDegree;
    const double minutesY = static_cast<double>(y) / kUnitsPerDegree * units::kMinutesPerDegree;
    const TBasemapPoint point{static_cast<float>(WorldX(minutesX)), static_cast<float>(WorldY(minutesY))};
    layer.Points.push_back(point);
    piece.MinX = std::min(piece.MinX, point.X);
    piece.MinY = std::min(piece.MinY, point.Y);
    piece.MaxX = std::max(piece.MaxX, point.X);
    piece.MaxY = std::max(piece.MaxY, point.Y);
  }
  layer.PartStarts.push_back(static_cast<std::uint32_t>(layer.Points.size()));
  return true;
}

bool ReadLayer(TReader& in, TBasemapLayer& layer, std::string& error) {
  std::uint32_t pieces = 0;
  if (!in.Count(pieces, kCountBytes)) return error = "more pieces than the file holds", false;
  layer.Pieces.reserve(pieces);
  layer.PartStarts.push_back(0);
  for (std::uint32_t p = 0; p < pieces; ++p) {
    std::uint32_t parts = 0;
    if (!in.Count(parts, kCountBytes)) return error = "more parts than the file holds", false;
    TBasemapPiece piece;
    piece.MinX = piece.MinY = std::numeric_limits<float>::max();
    piece.MaxX = piece.MaxY = std::numeric_limits<float>::lowest();
    piece.FirstPart = static_cast<std::uint32_t>(layer.PartStarts.size() - 1);
    piece.PartCount = parts;
    for (std::uint32_t i = 0; i < parts; ++i)
      if (!ReadPart(in, layer, piece, error)) return false;
    if (piece.MinX <= piece.MaxX) layer.Pieces.push_back(piece);  // a piece without points draws nothing
  }
  return true;
}

}  // namespace

const TBasemapLevel* TBasemap::LevelFor(double worldPixels) const {
  const TBasemapLevel* chosen = Levels.empty() ? nullptr : &Levels.front();
  for (const TBasemapLevel& level : Levels)
    if (level.MinWorldPixels <= worldPixels && level.MinWorldPixels >= chosen->MinWorldPixels) chosen = &level;
  return chosen;
}

bool ParseBasemap(std::string_view bytes, TBasemap& basemap, std::string& error) {
  basemap = {};
  TReader in(bytes);
  if (in.Take(kMagic.size()) != kMagic) return error = "not a basemap file", false;
  std::uint32_t version = 0;
  std::uint32_t levels = 0;
  if (!in.Fixed(version, 2) || version != kVersion) return error = "an unknown basemap version", false;
  if (!in.Fixed(levels, 2) || levels == 0 || levels > kMaxLevels) return error = "a bad number of levels", false;
  TBasemap parsed;
  parsed.Levels.resize(levels);
  for (TBasemapLevel& level : parsed.Levels) {
    std::uint32_t minWorldPixels = 0;
    if (!in.Fixed(minWorldPixels, kCountBytes)) return error = "a level cut short", false;
    level.MinWorldPixels = minWorldPixels;
    for (TBasemapLayer& layer : level.Layers)
      if (!ReadLayer(in, layer, error)) return false;
  }
  if (in.Left() != 0) return error = "data after the last level", false;
  basemap = std::move(parsed);
  return true;
}

bool LoadBasemap(const std::string& path, TBasemap& basemap, std::string& error) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) return error = "cannot open " + path, false;
  const std::streamoff size = file.tellg();
  if (size < 0 || static_cast<std::uintmax_t>(size) > kMaxFileBytes) return error = "unusable size: " + path, false;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  file.seekg(0);
  if (!file.read(bytes.data(), size)) return error = "cannot read " + path, false;
  if (!ParseBasemap(bytes, basemap, error)) return error = path + ": " + error, false;
  return true;
}

}  // namespace standin
