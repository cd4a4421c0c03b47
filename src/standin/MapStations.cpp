#include "MapStations.h"

#include <algorithm>

#include "Units.h"

namespace standin {

TMapStations::TMapStations() : m_cells(static_cast<std::size_t>(kGridSize) * kGridSize) {}

int TMapStations::CellOf(double world) {
  return std::clamp(static_cast<int>(std::floor(world * kGridSize)), 0, kGridSize - 1);
}

void TMapStations::Update(std::size_t index, std::string_view callsign, char symbolTable, char symbolCode,
                          bool hasPosition, double latitude, double longitude, double now) {
  if (index >= m_stations.size()) m_stations.resize(index + 1);
  TMapStation& station = m_stations[index];
  if (station.Callsign != callsign) station.Callsign = std::string(callsign);
  if (symbolTable && symbolCode) {
    station.SymbolTable = symbolTable;
    station.SymbolCode = symbolCode;
  }
  if (!hasPosition || !std::isfinite(latitude) || !std::isfinite(longitude)) return;
  const TWorldPoint world = ToWorld(longitude * units::kMinutesPerDegree, latitude * units::kMinutesPerDegree);
  const bool moved = !station.HasPosition || world.X != station.World.X || world.Y != station.World.Y;
  station.Latitude = latitude;
  station.Longitude = longitude;
  // The track keeps the places of the last hour, a repeat of the same place once.
  std::erase_if(station.Track, [now](const TTrackPoint& point) { return now - point.Time > kTrackAgeSeconds; });
  if (moved || station.Track.empty()) {
    if (station.Track.size() == kTrackLength) station.Track.erase(station.Track.begin());
    station.Track.push_back({world, now});
  } else {
    station.Track.back().Time = now;
  }
  if (!moved) return;
  if (station.HasPosition) Unplace(station);
  station.World = world;
  station.HasPosition = true;
  Place(static_cast<std::uint32_t>(index), station);
}

void TMapStations::Clear() {
  m_stations.clear();
  for (auto& cell : m_cells) cell.clear();
  m_placed = 0;
}

void TMapStations::Place(std::uint32_t index, TMapStation& station) {
  station.Cell = static_cast<std::uint32_t>(CellOf(station.World.Y) * kGridSize + CellOf(station.World.X));
  auto& cell = m_cells[station.Cell];
  station.Slot = static_cast<std::uint32_t>(cell.size());
  cell.push_back({station.World, index});
  ++m_placed;
}

void TMapStations::Unplace(TMapStation& station) {
  // The cell's last entry takes the leaving station's slot.
  auto& cell = m_cells[station.Cell];
  const TCellEntry last = cell.back();
  cell[station.Slot] = last;
  m_stations[last.Index].Slot = station.Slot;
  cell.pop_back();
  --m_placed;
}

}  // namespace standin
