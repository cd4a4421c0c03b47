// Label placement on a crowded map: a label is drawn only where it overlaps
// none drawn before it, so the first come keep their places. Placed boxes
// are kept in buckets of a coarse grid over the window, so each try looks at
// the few boxes near it.
#pragma once

#include <vector>

namespace standin {

struct TLabelBox {
  double Left = 0;
  double Top = 0;
  double Right = 0;
  double Bottom = 0;
};

class TDeclutter {
 public:
  // A window `width` by `height` pixels; boxes outside it are never placed.
  TDeclutter(int width, int height);

  // Places `box` and answers true when it overlaps no box placed so far.
  bool Place(const TLabelBox& box);
  int PlacedCount() const { return m_placed; }

 private:
  static constexpr int kBucketPixels = 64;
  int m_columns;
  int m_rows;
  int m_width;
  int m_height;
  int m_placed = 0;
  std::vector<std::vector<TLabelBox>> m_buckets;
};

}  // namespace standin
