// A station the stand-in map must have heard: throws, and so fails the test,
// when it has not, instead of reading through a null pointer.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

#include "MapStations.h"

namespace standin::test {

inline const TMapStation& HeardStation(const TMapStations& stations, std::size_t index) {
  const TMapStation* station = stations.At(index);
  if (station == nullptr) throw std::runtime_error("station " + std::to_string(index) + " was not heard");
  return *station;
}

}  // namespace standin::test
