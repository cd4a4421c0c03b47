// The stand-in host's map: bounds from the settings, the circles drawn since the
// last redraw, and an optional trace file with one line per map operation.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "DrawnCircles.h"
#include "Oxbel32_TLB.h"
#include "StandInSettings.h"

namespace standin {

class TStandInMap : public host::_clsOxbMap {
 public:
  // `tracePath` empty: no trace.
  TStandInMap(TMapRect bounds, std::string tracePath);
  ~TStandInMap() override;
  TStandInMap(const TStandInMap&) = delete;
  TStandInMap& operator=(const TStandInMap&) = delete;

  float GetMapLeft() override { return static_cast<float>(m_bounds.Left); }
  float GetMapTop() override { return static_cast<float>(m_bounds.Top); }
  float GetMapWidth() override { return static_cast<float>(m_bounds.Width); }
  float GetMapHeight() override { return static_cast<float>(m_bounds.Height); }
  void SetPenWidth(std::int16_t& width) override;
  void SetFillMode(std::int16_t& mode) override;
  void SetFillColor(std::int32_t& color) override;
  void DrawCircle(float& x, float& y, float& radius, std::int32_t& color, float& startAngle, double& endAngle,
                  float& aspect) override;

  // The host's RedrawMap: the map is repainted and every circle is gone.
  void Redraw();

  // Pan and zoom of a map window change what the Get calls report.
  void SetBounds(TMapRect bounds);
  // The map window moved or zoomed: new bounds, and the map repainted without
  // its circles, as the real host does. Traced as "MapView left top width height".
  void MoveView(TMapRect bounds);
  TMapRect Bounds() const { return m_bounds; }
  const std::vector<TDrawnCircle>& Circles() const { return m_circles.All(); }
  // Why the trace file cannot be written, or empty.
  const std::string& TraceError() const { return m_traceError; }

  // Called after every change, for a window that draws the map.
  std::function<void()> OnChanged;
  // Called when the bounds change, for a feed that follows the view.
  std::function<void(const TMapRect& bounds)> OnViewMoved;

 private:
  void Trace(const std::string& line);
  void Changed();

  TMapRect m_bounds;
  std::int16_t m_penWidth = 1;
  std::int16_t m_fillMode = 0;
  std::int32_t m_fillColor = 0;
  TDrawnCircles m_circles;
  std::string m_tracePath;
  std::FILE* m_trace = nullptr;
  std::string m_traceError;
};

// One trace line: the operation's name and its arguments separated by single blanks,
// reals in shortest round-trip form (a float argument as a float).
std::string TraceLine(std::string_view operation, std::initializer_list<std::string> arguments);
std::string TraceArg(float value);
std::string TraceArg(double value);
std::string TraceArg(std::int32_t value);

}  // namespace standin
