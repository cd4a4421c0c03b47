#include "Declutter.h"

#include <algorithm>
#include <cmath>

namespace standin {

namespace {

bool Overlap(const TLabelBox& a, const TLabelBox& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

}  // namespace

TDeclutter::TDeclutter(int width, int height)
    : m_columns(std::max(1, (width + kBucketPixels - 1) / kBucketPixels)),
      m_rows(std::max(1, (height + kBucketPixels - 1) / kBucketPixels)),
      m_width(width),
      m_height(height),
      m_buckets(static_cast<std::size_t>(m_columns) * static_cast<std::size_t>(m_rows)) {}

bool TDeclutter::Place(const TLabelBox& box) {
  if (!(box.Left >= 0 && box.Top >= 0 && box.Right <= m_width && box.Bottom <= m_height && box.Left < box.Right &&
        box.Top < box.Bottom))
    return false;
  const int west = static_cast<int>(box.Left) / kBucketPixels;
  const int east = std::min(m_columns - 1, static_cast<int>(box.Right) / kBucketPixels);
  const int north = static_cast<int>(box.Top) / kBucketPixels;
  const int south = std::min(m_rows - 1, static_cast<int>(box.Bottom) / kBucketPixels);
  for (int row = north; row <= south; ++row)
    for (int column = west; column <= east; ++column)
      for (const TLabelBox& placed : m_buckets[(static_cast<std::size_t>(row) * static_cast<std::size_t>(m_columns)) +
                                               static_cast<std::size_t>(column)])
        if (Overlap(box, placed)) return false;
  // Kept in every bucket it touches, so a later box finds it from any of them.
  for (int row = north; row <= south; ++row)
    for (int column = west; column <= east; ++column)
      m_buckets[(static_cast<std::size_t>(row) * static_cast<std::size_t>(m_columns)) +
                static_cast<std::size_t>(column)]
          .push_back(box);
  ++m_placed;
  return true;
}

}  // namespace standin
