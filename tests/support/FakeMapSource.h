// The fake host's recording map as the draw code's map source, counting the fetches.
#pragma once

#include <memory>

#include "FakeHost.h"
#include "RangeCircle.h"

namespace tarvik::test {

class TRecordingMapSource : public TMapSource {
 public:
  std::shared_ptr<TRecordingMap> Map = std::make_shared<TRecordingMap>();
  int Fetches = 0;
  std::shared_ptr<host::_clsOxbMap> GetMap() override {
    ++Fetches;
    return Map;
  }
};

}  // namespace tarvik::test
