// The tiles in memory, least recently used dropped first, within a budget of
// bytes; the tiles of the view in front of the user are never dropped.
#pragma once

#include <QImage>
#include <list>
#include <unordered_map>
#include <utility>

#include "TileAddress.h"
#include "TileDiskCache.h"

namespace standin {

struct TCachedTile {
  QImage Image;
  TTileMeta Meta;
};

class TTileMemoryCache {
 public:
  explicit TTileMemoryCache(qint64 budgetBytes) : m_budget(budgetBytes) {}

  // The tile, now the most recently used; nullptr when not in memory.
  TCachedTile* Find(const TTileKey& key);
  // Keeps the tile (replacing one with the same key), then drops the least
  // recently used ones beyond the budget, keeping at least KeepAtLeast.
  void Put(const TTileKey& key, TCachedTile tile);
  void Clear();
  // The view's tiles: this many of the most recently used always stay.
  void SetKeepAtLeast(std::size_t count) { m_keepAtLeast = count; }

  std::size_t Size() const { return m_order.size(); }
  qint64 Bytes() const { return m_bytes; }

 private:
  using TEntry = std::pair<TTileKey, TCachedTile>;
  std::list<TEntry> m_order;  // most recently used first
  std::unordered_map<TTileKey, std::list<TEntry>::iterator, TTileKeyHash> m_index;
  qint64 m_budget;
  qint64 m_bytes = 0;
  std::size_t m_keepAtLeast = 0;
};

}  // namespace standin
