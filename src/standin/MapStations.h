// The stations the map shows, kept up to date one heard line at a time and
// found by place through a grid over Web Mercator world coordinates, so that a
// line costs the same however many stations are known and a frame reads only
// the cells in view.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "MapProjection.h"

namespace standin {

// A place a station was heard at, for its track.
struct TTrackPoint {
  TWorldPoint World;
  double Time = 0;  // seconds on the caller's clock
};

struct TMapStation {
  std::string Callsign;
  double Latitude = 0.0;   // degrees
  double Longitude = 0.0;  // degrees
  char SymbolTable = '/';
  char SymbolCode = ' ';
  bool HasPosition = false;
  TWorldPoint World;
  // Where it was heard lately, oldest first, the current place last.
  std::vector<TTrackPoint> Track;
  std::uint32_t Cell = 0;
  std::uint32_t Slot = 0;
};

class TMapStations {
 public:
  static constexpr int kGridSize = 256;  // cells along each side of the world
  static constexpr std::size_t kTrackLength = 10;
  static constexpr double kTrackAgeSeconds = 60.0 * 60.0;  // as long as a station stays in a client's cache

  TMapStations();

  // The station at `index` of the host's station list was heard: its symbol and,
  // when `hasPosition`, its place. A packet without a place leaves the last one.
  void Update(std::size_t index, std::string_view callsign, char symbolTable, char symbolCode, bool hasPosition,
              double latitude, double longitude, double now);
  void Clear();

  // Null for an index never heard.
  const TMapStation* At(std::size_t index) const {
    return index < m_stations.size() && !m_stations[index].Callsign.empty() ? &m_stations[index] : nullptr;
  }
  std::size_t Size() const { return m_stations.size(); }
  std::size_t Placed() const { return m_placed; }

  // Calls `visit(index, world)` for the stations in the world rectangle, whose
  // west and east may lie beyond 0 and 1 (a view across the 180th meridian);
  // every station at most once, a few just outside too (cells are whole). The
  // cells hold the places themselves, so a walk over many stations reads memory
  // in order; At(index) gives the rest of a station that is drawn.
  template <class TVisit>
  void ForEachIn(double minX, double minY, double maxX, double maxY, TVisit&& visit) const {
    const int top = CellOf(minY);
    const int bottom = CellOf(maxY);
    int west = static_cast<int>(std::floor(minX * kGridSize));
    int east = static_cast<int>(std::floor(maxX * kGridSize));
    if (east - west >= kGridSize) {
      west = 0;
      east = kGridSize - 1;
    }
    for (int row = top; row <= bottom; ++row)
      for (int column = west; column <= east; ++column) {
        const int wrapped = ((column % kGridSize) + kGridSize) % kGridSize;
        for (const TCellEntry& entry :
             m_cells[(static_cast<std::size_t>(row) * kGridSize) + static_cast<std::size_t>(wrapped)])
          visit(entry.Index, entry.World);
      }
  }

 private:
  static int CellOf(double world);
  void Place(std::uint32_t index, TMapStation& station);
  void Unplace(TMapStation& station);

  std::vector<TMapStation> m_stations;
  struct TCellEntry {
    TWorldPoint World;
    std::uint32_t Index = 0;
  };
  std::vector<std::vector<TCellEntry>> m_cells;
  std::size_t m_placed = 0;
};

}  // namespace standin
