// A host map that records every call, and a map source that hands it out,
// counts the fetches and can make the host fail at a chosen operation.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "RangeCircle.h"

namespace tarvik::testing {

struct TMapCall {
  std::string Op;
  std::vector<double> Args;
  bool operator==(const TMapCall&) const = default;
};

struct TDrawnCircle {
  float X, Y, Radius;
  std::int32_t Color;
  float Start;
  double End;
  float Aspect;
};

class TRecordingMap : public host::_clsOxbMap {
 public:
  float Left = -5700.0F;     // 95 W
  float Top = 2760.0F;       // 46 N
  float Width = 240.0F;      // 4 degrees
  float Height = -120.0F;    // 2 degrees
  int FailAtOperation = -1;  // 0-based count of map operations; -1 never
  std::vector<TMapCall> Calls;
  std::vector<TDrawnCircle> Circles;
  std::function<void()> OnDraw;  // called inside every DrawCircle

  float GetMapLeft() override { return Record("GetMapLeft", {}), Left; }
  float GetMapTop() override { return Record("GetMapTop", {}), Top; }
  float GetMapWidth() override { return Record("GetMapWidth", {}), Width; }
  float GetMapHeight() override { return Record("GetMapHeight", {}), Height; }
  void SetPenWidth(std::int16_t& width) override { Record("SetPenWidth", {double(width)}); }
  void SetFillMode(std::int16_t& mode) override { Record("SetFillMode", {double(mode)}); }
  void SetFillColor(std::int32_t& color) override { Record("SetFillColor", {double(color)}); }
  void DrawCircle(float& x, float& y, float& radius, std::int32_t& color, float& start, double& end,
                  float& aspect) override {
    Record("DrawCircle", {x, y, radius, double(color), start, end, aspect});
    Circles.push_back({x, y, radius, color, start, end, aspect});
    if (OnDraw) OnDraw();
  }

  std::vector<std::string> Ops() const {
    std::vector<std::string> ops;
    for (const auto& call : Calls) ops.push_back(call.Op);
    return ops;
  }

 private:
  void Record(const char* op, std::vector<double> args) {
    if (m_operations++ == FailAtOperation) throw std::runtime_error("The host map is gone");
    Calls.push_back({op, std::move(args)});
  }
  int m_operations = 0;
};

class TRecordingMapSource : public TMapSource {
 public:
  std::shared_ptr<TRecordingMap> Map = std::make_shared<TRecordingMap>();
  int Fetches = 0;
  std::shared_ptr<host::_clsOxbMap> GetMap() override {
    ++Fetches;
    return Map;
  }
};

}  // namespace tarvik::testing
