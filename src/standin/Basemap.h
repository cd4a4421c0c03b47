// The offline basemap: land, coastlines and country borders from Natural
// Earth at three levels of detail, read from data/basemap.bin (written by
// scripts/make-basemap, which describes the format).
//
// The file is read as hostile input: every count is checked against the bytes
// that remain, every number against its range, and a fault anywhere rejects
// the whole file with a reason.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

// A point in world coordinates of Web Mercator (see MapProjection.h).
struct TBasemapPoint {
  float X = 0;
  float Y = 0;
};

// A run of parts with their bounding box in world coordinates, drawn or
// skipped together; the parts of a land piece are filled even-odd.
struct TBasemapPiece {
  float MinX = 0;
  float MinY = 0;
  float MaxX = 0;
  float MaxY = 0;
  std::uint32_t FirstPart = 0;
  std::uint32_t PartCount = 0;
};

struct TBasemapLayer {
  std::vector<TBasemapPiece> Pieces;
  std::vector<std::uint32_t> PartStarts;  // into Points; one more than there are parts
  std::vector<TBasemapPoint> Points;
};

enum class TBasemapLayerKind { Land = 0, Coast = 1, Borders = 2 };
inline constexpr std::size_t kBasemapLayers = 3;

struct TBasemapLevel {
  double MinWorldPixels = 0;  // the level is drawn from this scale on
  std::array<TBasemapLayer, kBasemapLayers> Layers;
  const TBasemapLayer& Layer(TBasemapLayerKind kind) const { return Layers[static_cast<std::size_t>(kind)]; }
};

struct TBasemap {
  std::vector<TBasemapLevel> Levels;
  // The most detailed level meant for `worldPixels`; null without levels.
  const TBasemapLevel* LevelFor(double worldPixels) const;
};

// The basemap in `bytes`; false with the reason in `error` when the bytes are not one.
bool ParseBasemap(std::string_view bytes, TBasemap& basemap, std::string& error);

// Reads and parses the file; false with the reason (naming the path) when it cannot.
bool LoadBasemap(const std::string& path, TBasemap& basemap, std::string& error);

}  // namespace standin
