#include "APRSCache.h"
#include "StationList.h"

namespace tarvik {

std::vector<TStationRow> StationRows(const aprs::TPacketCache& cache) {
  std::vector<TStationRow> rows;
  const int count = cache.Count();
  rows.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
  for (int i = 0; i < count; ++i)
    if (const aprs::TAprsPacket* packet = cache.Items(i)) rows.push_back(StationRowOf(*packet));
  return rows;
}

}  // namespace tarvik
