#include "StandInMap.h"

#include <cerrno>
#include <cstring>

#include "Text.h"

namespace standin {

std::string TraceArg(float value) { return text::FormatReal(value); }
std::string TraceArg(double value) { return text::FormatReal(value); }
std::string TraceArg(std::int32_t value) { return std::to_string(value); }

std::string TraceLine(std::string_view operation, std::initializer_list<std::string> arguments) {
  std::string line(operation);
  for (const std::string& argument : arguments) {
    line += ' ';
    line += argument;
  }
  return line;
}

TStandInMap::TStandInMap(TMapRect bounds, std::string tracePath)
    : m_bounds(bounds), m_tracePath(std::move(tracePath)) {}

TStandInMap::~TStandInMap() {
  if (m_trace) std::fclose(m_trace);
}

void TStandInMap::SetPenWidth(std::int16_t& width) {
  m_penWidth = width;
  Trace(TraceLine("SetPenWidth", {TraceArg(std::int32_t{width})}));
}

void TStandInMap::SetFillMode(std::int16_t& mode) {
  m_fillMode = mode;
  Trace(TraceLine("SetFillMode", {TraceArg(std::int32_t{mode})}));
}

void TStandInMap::SetFillColor(std::int32_t& color) {
  m_fillColor = color;
  Trace(TraceLine("SetFillColor", {TraceArg(color)}));
}

void TStandInMap::DrawCircle(float& x, float& y, float& radius, std::int32_t& color, float& startAngle,
                             double& endAngle, float& aspect) {
  m_circles.Add({x, y, radius, color, m_penWidth, m_fillMode, m_fillColor});
  Trace(TraceLine("DrawCircle", {TraceArg(x), TraceArg(y), TraceArg(radius), TraceArg(color), TraceArg(startAngle),
                                 TraceArg(endAngle), TraceArg(aspect)}));
  Changed();
}

void TStandInMap::Redraw() {
  m_circles.Clear();
  Trace("RedrawMap");
  Changed();
}

void TStandInMap::SetBounds(TMapRect bounds) {
  m_bounds = bounds;
  if (OnViewMoved) OnViewMoved(m_bounds);
  Changed();
}

void TStandInMap::MoveView(TMapRect bounds) {
  m_bounds = bounds;
  m_circles.Clear();
  Trace(TraceLine("MapView",
                  {TraceArg(bounds.Left), TraceArg(bounds.Top), TraceArg(bounds.Width), TraceArg(bounds.Height)}));
  if (OnViewMoved) OnViewMoved(m_bounds);
  Changed();
}

void TStandInMap::Changed() {
  if (OnChanged) OnChanged();
}

void TStandInMap::Trace(const std::string& line) {
  if (m_tracePath.empty() || !m_traceError.empty()) return;
  if (!m_trace) {
    m_trace = std::fopen(m_tracePath.c_str(), "ab");
    if (!m_trace) {
      // Drawing goes on without the trace; the host window shows why.
      m_traceError = "cannot write trace " + m_tracePath + ": " + std::strerror(errno);
      return;
    }
  }
  // Flushed per line, so a reader sees every call as soon as it is made.
  if (std::fprintf(m_trace, "%s\n", line.c_str()) < 0 || std::fflush(m_trace) != 0)
    m_traceError = "cannot write trace " + m_tracePath;
}

}  // namespace standin
