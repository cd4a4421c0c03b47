#include "DrawnCircles.h"

#include <bit>
#include <functional>
#include <string_view>

namespace standin {

std::size_t TDrawnCircles::THash::operator()(const TDrawnCircle& c) const noexcept {
  // Equal circles have equal fields, and equal floats equal bits but for
  // 0 and -0: those are folded together first.
  const auto bits = [](float v) { return std::bit_cast<std::uint32_t>(v == 0.0F ? 0.0F : v); };
  std::size_t h = bits(c.X);
  const auto mix = [&h](std::size_t v) { h = (h ^ v) * 0x100000001B3ULL; };  // FNV-1a's prime
  mix(bits(c.Y));
  mix(bits(c.Radius));
  mix(static_cast<std::uint32_t>(c.Color));
  mix(static_cast<std::uint16_t>(c.PenWidth));
  mix(static_cast<std::uint16_t>(c.FillMode));
  mix(static_cast<std::uint32_t>(c.FillColor));
  return h;
}

bool TDrawnCircles::Add(const TDrawnCircle& circle) {
  if (!m_drawn.insert(circle).second) return false;
  m_circles.push_back(circle);
  if (m_circles.size() > kMaxCircles) {
    const auto dropped = m_circles.begin() + static_cast<std::ptrdiff_t>(kMaxCircles / 4);
    for (auto it = m_circles.begin(); it != dropped; ++it) m_drawn.erase(*it);
    m_circles.erase(m_circles.begin(), dropped);
  }
  return true;
}

void TDrawnCircles::Clear() {
  m_circles.clear();
  m_drawn.clear();
}

}  // namespace standin
