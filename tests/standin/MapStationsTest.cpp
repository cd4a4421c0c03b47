#include "MapStations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "Declutter.h"
#include "HeardStation.h"

using namespace standin;

namespace {

using standin::test::HeardStation;

std::vector<std::uint32_t> InRect(const TMapStations& stations, double minX, double minY, double maxX, double maxY) {
  std::vector<std::uint32_t> found;
  stations.ForEachIn(minX, minY, maxX, maxY, [&](std::uint32_t index, TWorldPoint) { found.push_back(index); });
  std::sort(found.begin(), found.end());
  return found;
}

// The world rectangle of a few tenths of a degree around a place.
std::vector<std::uint32_t> Near(const TMapStations& stations, double latitude, double longitude) {
  const TWorldPoint a = ToWorld((longitude - 0.2) * 60, (latitude + 0.2) * 60);
  const TWorldPoint b = ToWorld((longitude + 0.2) * 60, (latitude - 0.2) * 60);
  return InRect(stations, a.X, a.Y, b.X, b.Y);
}

TEST(MapStations, FoundByPlaceAndMovedWithTheirLines) {
  TMapStations stations;
  stations.Update(0, "W1AAA", '/', '>', true, 49.0, -72.0, 0);
  stations.Update(1, "W1BBB", '/', '#', true, -33.9, 151.2, 0);
  stations.Update(2, "W1NOP", 0, 0, false, 0, 0, 0);  // heard, never placed
  stations.Update(3, "W1DTL", '/', '-', true, 10.0, 179.95, 0);
  stations.Update(4, "W1DTR", '/', '-', true, 10.0, -179.95, 0);
  EXPECT_EQ(stations.Placed(), 4U);
  EXPECT_EQ(Near(stations, 49.0, -72.0), (std::vector<std::uint32_t>{0}));
  EXPECT_EQ(Near(stations, -33.9, 151.2), (std::vector<std::uint32_t>{1}));
  EXPECT_EQ(InRect(stations, 0, 0, 1, 1), (std::vector<std::uint32_t>{0, 1, 3, 4}));
  ASSERT_NE(stations.At(2), nullptr);
  EXPECT_FALSE(HeardStation(stations, 2).HasPosition);
  EXPECT_EQ(stations.At(9), nullptr);
  // A view across the 180th meridian, east edge past 1: both sides.
  const TWorldPoint west = ToWorld(179.5 * 60, 10.5 * 60);
  EXPECT_EQ(InRect(stations, west.X, west.Y, west.X + 1.0 / 360, west.Y + 0.01), (std::vector<std::uint32_t>{3, 4}));

  // Moved: found at the new place only; a status without a place keeps the last one.
  stations.Update(0, "W1AAA", '/', '>', true, 45.0, -93.0, 60);
  EXPECT_TRUE(Near(stations, 49.0, -72.0).empty());
  EXPECT_EQ(Near(stations, 45.0, -93.0), (std::vector<std::uint32_t>{0}));
  stations.Update(0, "W1AAA", 0, 0, false, 0, 0, 70);
  EXPECT_EQ(Near(stations, 45.0, -93.0), (std::vector<std::uint32_t>{0}));
  EXPECT_EQ(HeardStation(stations, 0).SymbolCode, '>');
  EXPECT_EQ(stations.Placed(), 4U);
  // Leaving a shared cell keeps the other station in it.
  stations.Update(5, "W1CCC", '/', '>', true, 45.0, -93.0, 60);
  stations.Update(0, "W1AAA", '/', '>', true, 0.0, 0.0, 80);
  EXPECT_EQ(Near(stations, 45.0, -93.0), (std::vector<std::uint32_t>{5}));
}

TEST(MapStations, TracksKeepTheLastTenPlacesOfTheLastHour) {
  TMapStations stations;
  for (int i = 0; i < 14; ++i) stations.Update(0, "W1MOB-9", '/', '>', true, 45.0 + i * 0.01, -93.0, i * 60.0);
  const auto& track = HeardStation(stations, 0).Track;
  ASSERT_EQ(track.size(), TMapStations::kTrackLength);
  EXPECT_FLOAT_EQ(static_cast<float>(track.front().World.Y), static_cast<float>(WorldY((45.0 + 4 * 0.01) * 60)));
  EXPECT_DOUBLE_EQ(track.back().World.Y, HeardStation(stations, 0).World.Y);
  // The same place again is not a new point; an hour and more later the old points are gone.
  stations.Update(0, "W1MOB-9", '/', '>', true, 45.13, -93.0, 900);
  EXPECT_EQ(HeardStation(stations, 0).Track.size(), TMapStations::kTrackLength);
  stations.Update(0, "W1MOB-9", '/', '>', true, 45.2, -93.0, 13 * 60.0 + 3601);
  EXPECT_EQ(HeardStation(stations, 0).Track.size(), 2U);
}

TEST(Declutter, ALabelGoesOnlyWhereNoneIsYet) {
  TDeclutter labels(300, 200);
  struct Row {
    TLabelBox Box;
    bool Placed;
  };
  // clang-format off
  const std::vector<Row> rows = {
      {{10, 10, 60, 22},    true},
      {{50, 15, 100, 27},   false},  // overlaps the first
      {{60, 10, 110, 22},   true},   // touches it edge to edge
      {{100, 60, 180, 72},  true},   // spans two buckets
      {{170, 70, 200, 80},  false},  // overlaps that one from the next bucket
      {{250, 190, 320, 202}, false}, // runs off the window
      {{-5, 100, 20, 112},  false},
      {{20, 30, 20, 40},    false},  // empty
      {{10, 22, 60, 34},    true},   // right under the first
  };
  // clang-format on
  for (const Row& row : rows) EXPECT_EQ(labels.Place(row.Box), row.Placed) << row.Box.Left << "," << row.Box.Top;
  EXPECT_EQ(labels.PlacedCount(), 4);
}

}  // namespace
