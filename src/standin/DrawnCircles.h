// The circles on the stand-in map since its last redraw. A host draws circles
// onto its map picture, so the same circle drawn again over itself changes
// nothing, and a client that redraws its circles every few seconds for days
// must not pile them up: a repeat is kept once, and past kMaxCircles the
// oldest quarter goes (on a real map they would long have been painted over).
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_set>
#include <vector>

namespace standin {

// A circle as the stand-in map drew it: DrawCircle's figures in minutes of
// arc with the pen and fill that were set at the time.
struct TDrawnCircle {
  float X = 0;
  float Y = 0;
  float Radius = 0;
  std::int32_t Color = 0;  // 0x00BBGGRR
  std::int16_t PenWidth = 1;
  std::int16_t FillMode = 0;
  std::int32_t FillColor = 0;

  bool operator==(const TDrawnCircle&) const = default;
};

class TDrawnCircles {
 public:
  static constexpr std::size_t kMaxCircles = 100000;

  // False when the very same circle is already on the map.
  bool Add(const TDrawnCircle& circle);
  void Clear();
  // Oldest first.
  const std::vector<TDrawnCircle>& All() const { return m_circles; }

 private:
  struct THash {
    std::size_t operator()(const TDrawnCircle& c) const noexcept;
  };

  std::vector<TDrawnCircle> m_circles;
  std::unordered_set<TDrawnCircle, THash> m_drawn;
};

}  // namespace standin
