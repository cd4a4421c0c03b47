// Open addressing with linear probing, over tables whose size is a power of two.
#pragma once

#include <cstddef>

namespace probing {

// Empties slot `hole` of `table` by backward-shift deletion: each later slot of
// the same probe run moves into the hole unless the slot its key hashes to lies
// cyclically in (hole, slot], where a look-up would then stop short of it.
// `isFree(slot)` tells a free slot, `homeOf(slot)` the hash of the slot's key.
template <typename Table, typename IsFree, typename HomeOf>
void EraseSlot(Table& table, std::size_t hole, IsFree isFree, HomeOf homeOf) {
  const std::size_t mask = table.size() - 1;
  for (std::size_t i = (hole + 1) & mask; !isFree(table[i]); i = (i + 1) & mask) {
    const std::size_t home = homeOf(table[i]) & mask;
    const bool stays = hole <= i ? (hole < home && home <= i) : (hole < home || home <= i);
    if (stays) continue;
    table[hole] = table[i];
    hole = i;
  }
  table[hole] = typename Table::value_type{};
}

}  // namespace probing
