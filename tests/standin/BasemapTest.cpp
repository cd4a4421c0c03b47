#include "Basemap.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "MapProjection.h"

using namespace standin;

namespace {

// Writes basemap files as scripts/make-basemap does.
struct TBasemapWriter {
  std::string Bytes = "TVBM";
  void Fixed(std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) Bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
  }
  void Varint(std::int64_t value) {
    auto zigzag = static_cast<std::uint64_t>((value << 1) ^ (value >> 63));
    do {
      const auto byte = static_cast<char>(zigzag & 0x7F);
      zigzag >>= 7;
      Bytes += static_cast<char>(zigzag ? (byte | 0x80) : byte);
    } while (zigzag);
  }
  // A line of points in thousandths of a degree.
  void Part(const std::vector<std::pair<int, int>>& points) {
    Fixed(static_cast<std::uint32_t>(points.size()), 4);
    int x = 0, y = 0;
    for (const auto& [px, py] : points) {
      Varint(px - x);
      Varint(py - y);
      x = px;
      y = py;
    }
  }
};

// One level: a land square of two parts (an island with a lake), one coast
// line, no borders; a second level from 4096 pixels with empty layers.
std::string SmallBasemap() {
  TBasemapWriter w;
  w.Fixed(1, 2);  // version
  w.Fixed(2, 2);  // levels
  w.Fixed(0, 4);
  w.Fixed(1, 4);  // land: one piece
  w.Fixed(2, 4);  // of two parts
  w.Part({{0, 0}, {10000, 0}, {10000, 10000}, {0, 10000}});
  w.Part({{4000, 4000}, {6000, 4000}, {6000, 6000}});
  w.Fixed(1, 4);  // coast: one piece
  w.Fixed(1, 4);
  w.Part({{-180000, 45000}, {90000, -45000}});
  w.Fixed(0, 4);  // borders: none
  w.Fixed(4096, 4);
  for (int layer = 0; layer < 3; ++layer) w.Fixed(0, 4);
  return w.Bytes;
}

TEST(Basemap, ReadsLevelsPiecesAndPointsInWorldCoordinates) {
  TBasemap map;
  std::string error;
  ASSERT_TRUE(ParseBasemap(SmallBasemap(), map, error)) << error;
  ASSERT_EQ(map.Levels.size(), 2U);
  const TBasemapLayer& land = map.Levels[0].Layer(TBasemapLayerKind::Land);
  ASSERT_EQ(land.Pieces.size(), 1U);
  EXPECT_EQ(land.Pieces[0].PartCount, 2U);
  EXPECT_EQ(land.PartStarts, (std::vector<std::uint32_t>{0, 4, 7}));
  EXPECT_FLOAT_EQ(land.Points[0].X, 0.5F);
  EXPECT_FLOAT_EQ(land.Points[0].Y, 0.5F);
  EXPECT_FLOAT_EQ(land.Pieces[0].MaxX, static_cast<float>(WorldX(600)));
  EXPECT_FLOAT_EQ(land.Pieces[0].MinY, static_cast<float>(WorldY(600)));
  const TBasemapLayer& coast = map.Levels[0].Layer(TBasemapLayerKind::Coast);
  ASSERT_EQ(coast.Points.size(), 2U);
  EXPECT_FLOAT_EQ(coast.Points[0].X, 0.0F);
  EXPECT_FLOAT_EQ(coast.Points[1].X, 0.75F);
  EXPECT_FLOAT_EQ(coast.Points[1].Y, static_cast<float>(WorldY(-2700)));
  EXPECT_TRUE(map.Levels[0].Layer(TBasemapLayerKind::Borders).Pieces.empty());
  // The level by scale.
  EXPECT_EQ(map.LevelFor(256), &map.Levels[0]);
  EXPECT_EQ(map.LevelFor(4095), &map.Levels[0]);
  EXPECT_EQ(map.LevelFor(4096), &map.Levels[1]);
  EXPECT_EQ(map.LevelFor(1e9), &map.Levels[1]);
  EXPECT_EQ(TBasemap{}.LevelFor(1000), nullptr);
}

TEST(Basemap, RejectsEveryDamagedFile) {
  const std::string good = SmallBasemap();
  TBasemap map;
  std::string error;
  // Cut short anywhere.
  for (std::size_t size = 0; size < good.size(); ++size) {
    const std::string cut = good.substr(0, size);  // an exact-size buffer for the sanitizers
    EXPECT_FALSE(ParseBasemap(cut, map, error)) << size;
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(map.Levels.empty());
  }
  const auto patched = [&](std::size_t at, std::string bytes) {
    std::string damaged = good;
    damaged.replace(at, bytes.size(), bytes);
    return damaged;
  };
  // clang-format off
  const std::vector<std::pair<std::string, std::string>> damaged = {
      {patched(0, "TVBX"),                 "not a basemap file"},
      {patched(4, std::string("\x02\x00", 2)), "an unknown basemap version"},
      {patched(6, std::string("\x00\x00", 2)), "a bad number of levels"},
      {patched(6, std::string("\xFF\x00", 2)), "a bad number of levels"},
      {patched(12, "\xFF\xFF\xFF\xFF"),        "more pieces than the file holds"},
      {patched(16, "\xFF\xFF\xFF\x7F"),        "more parts than the file holds"},
      {patched(20, "\xFF\xFF\xFF\xFF"),        "a line with more points than the file holds"},
      {patched(24, "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF"), "a point cut short"},  // an endless varint
      {patched(24, "\x80\xC0\x84\x3D"),        "a point out of range"},   // 64,000 degrees
      {good + '\0',                             "data after the last level"},
  };
  // clang-format on
  for (const auto& [bytes, reason] : damaged) {
    EXPECT_FALSE(ParseBasemap(bytes, map, error)) << reason;
    EXPECT_EQ(error, reason);
  }
}

TEST(Basemap, TheShippedFileLoadsAndAMissingOneSaysWhere) {
  TBasemap map;
  std::string error;
  ASSERT_TRUE(LoadBasemap(TARVIK_SOURCE_DIR "/data/basemap.bin", map, error)) << error;
  ASSERT_EQ(map.Levels.size(), 3U);
  for (const TBasemapLevel& level : map.Levels)
    for (const TBasemapLayer& layer : level.Layers) {
      EXPECT_FALSE(layer.Pieces.empty());
      for (const TBasemapPiece& piece : layer.Pieces) {
        EXPECT_GE(piece.MinX, 0.0F);  // nothing west of 180 W
        EXPECT_LE(piece.MaxX, 1.1F);  // a little past 180 E where a coast crosses it
        EXPECT_GE(piece.MinY, 0.0F);  // within the projection's limits
        EXPECT_LE(piece.MaxY, 1.0F);
      }
    }
  EXPECT_LT(map.LevelFor(1000)->Layer(TBasemapLayerKind::Coast).Points.size(),
            map.LevelFor(1e6)->Layer(TBasemapLayerKind::Coast).Points.size());

  QTemporaryDir dir;
  const std::string missing = dir.filePath("none.bin").toStdString();
  EXPECT_FALSE(LoadBasemap(missing, map, error));
  EXPECT_NE(error.find(missing), std::string::npos) << error;
  const std::string corrupt = dir.filePath("corrupt.bin").toStdString();
  std::ofstream(corrupt, std::ios::binary) << SmallBasemap().substr(0, 30);
  EXPECT_FALSE(LoadBasemap(corrupt, map, error));
  EXPECT_NE(error.find(corrupt), std::string::npos) << error;
}

}  // namespace
