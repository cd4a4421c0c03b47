#include "TileMemoryCache.h"

namespace standin {

TCachedTile* TTileMemoryCache::Find(const TTileKey& key) {
  const auto it = m_index.find(key);
  if (it == m_index.end()) return nullptr;
  m_order.splice(m_order.begin(), m_order, it->second);
  return &it->second->second;
}

void TTileMemoryCache::Put(const TTileKey& key, TCachedTile tile) {
  if (const auto it = m_index.find(key); it != m_index.end()) {
    m_bytes -= it->second->second.Image.sizeInBytes();
    m_order.erase(it->second);
    m_index.erase(it);
  }
  m_bytes += tile.Image.sizeInBytes();
  m_order.emplace_front(key, std::move(tile));
  m_index[key] = m_order.begin();
  while (m_bytes > m_budget && m_order.size() > std::max<std::size_t>(m_keepAtLeast, 1)) {
    m_bytes -= m_order.back().second.Image.sizeInBytes();
    m_index.erase(m_order.back().first);
    m_order.pop_back();
  }
}

void TTileMemoryCache::Clear() {
  m_order.clear();
  m_index.clear();
  m_bytes = 0;
}

}  // namespace standin
