// One run of the circles tool: monitor lines in, the station cache and the
// measured reach kept as the program keeps them, circles or the coverage
// table out.
#pragma once

#include <string>
#include <string_view>

#include "APRSCache.h"
#include "CirclesOptions.h"
#include "MeasuredReach.h"

namespace tarvik::circles {

class TCirclesRun {
 public:
  explicit TCirclesRun(const Options& options);

  // One monitor line, a trailing carriage return allowed. An accepted packet
  // teaches the measured reach and enters the cache.
  void Line(std::string_view line);

  // Expires what is older than the expiry age at the clock's time, then
  // writes the output the options ask for.
  std::string Finish();

  const aprs::TPacketCache& Cache() const { return m_cache; }

 private:
  const Options& m_options;
  aprs::TPacketCache m_cache;
  TMeasuredReach m_reach;
};

}  // namespace tarvik::circles
