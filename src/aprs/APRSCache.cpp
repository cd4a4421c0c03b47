// The station cache: an ordered list of packets with a callsign index beside it.
#include "APRSCache.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <utility>

#include "APRSParser.h"
#include "ProbeRun.h"
#include "Units.h"

namespace aprs {

namespace {

constexpr std::size_t kMinIndexSize = 16;

int IntervalMilliseconds(int seconds) {
  const long long ms = static_cast<long long>(seconds) * units::kMillisecondsPerSecond;
  return static_cast<int>(std::clamp<long long>(ms, 0, INT_MAX));
}

std::size_t HashOf(std::string_view callsign) { return std::hash<std::string_view>{}(callsign); }

constexpr std::size_t kMaxLength = 255;

std::uint8_t LengthOf(std::string_view callsign) {
  return static_cast<std::uint8_t>(std::min(callsign.size(), kMaxLength));
}

}  // namespace

TPacketCache::TPacketCache(std::unique_ptr<TCacheTimer> timer) : m_timer(std::move(timer)) {
  if (!m_timer) m_timer = std::make_unique<TManualCacheTimer>();
  m_timer->SetInterval(IntervalMilliseconds(m_purgeInterval));
  m_timer->SetOnTimer([this] { PurgeTick(); });
  m_timer->Start();
}

TPacketCache::~TPacketCache() {
  m_timer->Stop();
  m_timer->SetOnTimer({});
}

bool TPacketCache::Add(std::unique_ptr<TAprsPacket> packet) {
  if (!packet) return false;
  m_entries.push_back(std::move(packet));
  if (!m_indexStale) IndexInsert(static_cast<int>(m_entries.size() - 1));
  ++Added;
  return true;
}

bool TPacketCache::Update(std::unique_ptr<TAprsPacket> packet) {
  if (!packet) return false;
  const bool killed = (packet->DataType == TAprsDataType::dtItem || packet->DataType == TAprsDataType::dtObject) &&
                      !packet->AprsObject.Active;
  if (killed) return RemoveStation(*packet);  // the killing packet is freed on return

  // A position, not an index: the entry is replaced where it is, holes or not.
  const int position = Lookup(packet->Source.Callsign);
  if (position < 0) return Add(std::move(packet));
  ReplaceAt(static_cast<std::size_t>(position), std::move(packet));
  return true;
}

int TPacketCache::IndexOf(const TAprsPacket& packet) const {
  CloseHoles();
  return Lookup(packet.Source.Callsign);
}

bool TPacketCache::Replace(std::unique_ptr<TAprsPacket> packet, int index) {
  if (!packet) return false;
  CloseHoles();
  if (index == -1) index = IndexOf(*packet);
  if (index < 0 || index >= Count()) return false;
  const auto position = static_cast<std::size_t>(index);
  // An entry of another station in its place moves that station out of the index.
  if (m_entries[position]->Source.Callsign != packet->Source.Callsign) m_indexStale = true;
  ReplaceAt(position, std::move(packet));
  return true;
}

void TPacketCache::ReplaceAt(std::size_t position, std::unique_ptr<TAprsPacket> packet) {
  // The replaced packet is freed on the next replace, not now: its memory is cold
  // in a large cache, and freeing it while the next lookup waits for its own slot
  // lets the two waits overlap instead of adding up.
  m_replaced = std::exchange(m_entries[position], std::move(packet));
  ++Replaced;
}

bool TPacketCache::RemoveStation(const TAprsPacket& packet) {
  const int position = Lookup(packet.Source.Callsign);
  if (position < 0) return false;
  EraseAt(static_cast<std::size_t>(position));
  ++Killed;
  return true;
}

bool TPacketCache::Remove(const TAprsPacket& packet) {
  // `packet` may be the entry itself: find its index before anything is freed.
  return Delete(IndexOf(packet));
}

bool TPacketCache::Delete(int index) {
  if (index < 0 || index >= Count()) return false;
  CloseHoles();
  EraseAt(static_cast<std::size_t>(index));
  ++Deleted;
  return true;
}

void TPacketCache::EraseAt(std::size_t position) {
  if (m_duplicates)
    m_indexStale = true;
  else if (!m_indexStale)
    IndexErase(position);
  if (position + 1 == m_entries.size()) {
    m_entries.pop_back();  // no hole at the end
  } else {
    m_entries[position].reset();
    ++m_holes;
  }
}

void TPacketCache::CloseHoles() const {
  if (m_holes == 0) return;
  std::erase(m_entries, nullptr);
  m_holes = 0;
  m_indexStale = true;
}

void TPacketCache::Clear() {
  m_replaced.reset();
  m_entries.clear();
  m_holes = 0;
  m_duplicates = false;
  m_index.clear();
  m_indexUsed = 0;
  m_indexStale = false;
}

void TPacketCache::ResetCounters() {
  Added = 0;
  Deleted = 0;
  Expired = 0;
  Killed = 0;
  Replaced = 0;
  Purges = 0;
}

void TPacketCache::Purge(TDateTime cutOff) {
  if (!(cutOff > 0)) cutOff = NowUtc() - MaxAge / units::kMinutesPerDay;
  // One pass that keeps the survivors in order; a walk from last to first, deleting
  // as it goes, would free the same entries in quadratic time.
  std::size_t kept = 0;
  for (std::size_t i = 0; i < m_entries.size(); ++i) {
    if (!m_entries[i]) continue;  // a hole, closed with the rest
    if (m_entries[i]->Received < cutOff) {
      m_entries[i].reset();
      ++Expired;
    } else {
      if (kept != i) m_entries[kept] = std::move(m_entries[i]);
      ++kept;
    }
  }
  m_holes = 0;
  if (kept == m_entries.size()) return;
  m_entries.resize(kept);
  m_indexStale = true;
}

void TPacketCache::PurgeTick() {
  const TDateTime cutOff = NowUtc() - MaxAge / units::kMinutesPerDay;
  Purge(cutOff);
  ++Purges;
  if (OnPurged) OnPurged(cutOff);
}

TAprsPacket* TPacketCache::Items(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  CloseHoles();
  return m_entries[static_cast<std::size_t>(index)].get();
}

TAprsPacket* TPacketCache::Find(const std::string& callsign) const {
  const int index = Lookup(callsign);
  return index < 0 ? nullptr : m_entries[static_cast<std::size_t>(index)].get();
}

void TPacketCache::SetEnabled(bool value) {
  m_enabled = value;
  if (value)
    m_timer->Start();
  else
    m_timer->Stop();
}

void TPacketCache::SetPurgeInterval(int seconds) {
  m_purgeInterval = seconds;
  m_timer->Stop();
  m_timer->SetInterval(IntervalMilliseconds(seconds));
  // A disabled cache stays disabled: a new interval must not switch purging back on.
  if (m_enabled) m_timer->Start();
}

int TPacketCache::Lookup(std::string_view callsign) const {
  EnsureIndex();
  if (m_index.empty()) return -1;
  const std::size_t mask = m_index.size() - 1;
  for (std::size_t i = HashOf(callsign) & mask;; i = (i + 1) & mask) {
    const TIndexSlot& slot = m_index[i];
    if (slot.Position < 0) return -1;
    if (SlotHolds(slot, callsign)) return slot.Position;
  }
}

std::string_view TPacketCache::CallsignOf(const TIndexSlot& slot) const {
  if (slot.Length <= TIndexSlot::kKeySize) return {slot.Key.data(), slot.Length};
  return m_entries[static_cast<std::size_t>(slot.Position)]->Source.Callsign;
}

bool TPacketCache::SlotHolds(const TIndexSlot& slot, std::string_view callsign) const {
  if (slot.Length != LengthOf(callsign)) return false;
  const std::string_view key = callsign.substr(0, TIndexSlot::kKeySize);
  if (std::string_view(slot.Key.data(), key.size()) != key) return false;
  return callsign.size() <= TIndexSlot::kKeySize ||
         m_entries[static_cast<std::size_t>(slot.Position)]->Source.Callsign == callsign;
}

void TPacketCache::IndexInsert(int position) const {
  if ((m_indexUsed + 1) * 2 > m_index.size()) {
    RebuildIndex();  // grows the table and takes in every entry, this one too
    return;
  }
  const std::string_view callsign = m_entries[static_cast<std::size_t>(position)]->Source.Callsign;
  const std::size_t mask = m_index.size() - 1;
  for (std::size_t i = HashOf(callsign) & mask;; i = (i + 1) & mask) {
    TIndexSlot& slot = m_index[i];
    if (slot.Position < 0) {
      slot.Position = position;
      slot.Length = LengthOf(callsign);
      const std::string_view key = callsign.substr(0, TIndexSlot::kKeySize);
      std::copy(key.begin(), key.end(), slot.Key.begin());
      ++m_indexUsed;
      return;
    }
    // An earlier entry of the same station stays the one that is found.
    if (SlotHolds(slot, callsign)) {
      m_duplicates = true;
      return;
    }
  }
}

void TPacketCache::IndexErase(std::size_t position) {
  const std::string_view callsign = m_entries[position]->Source.Callsign;
  const std::size_t mask = m_index.size() - 1;
  std::size_t hole = HashOf(callsign) & mask;
  while (m_index[hole].Position != static_cast<std::int32_t>(position)) {
    if (m_index[hole].Position < 0) return;  // not indexed (cannot happen without duplicates)
    hole = (hole + 1) & mask;
  }
  probing::EraseSlot(
      m_index, hole, [](const TIndexSlot& slot) { return slot.Position < 0; },
      [this](const TIndexSlot& slot) { return HashOf(CallsignOf(slot)); });
  --m_indexUsed;
}

void TPacketCache::EnsureIndex() const {
  if (m_indexStale) RebuildIndex();
}

void TPacketCache::RebuildIndex() const {
  const std::size_t size = std::bit_ceil(std::max(kMinIndexSize, m_entries.size() * 2 + 2));
  m_index.assign(size, TIndexSlot{});
  m_indexUsed = 0;
  m_indexStale = false;
  m_duplicates = false;
  for (std::size_t i = 0; i < m_entries.size(); ++i)
    if (m_entries[i]) IndexInsert(static_cast<int>(i));
}

}  // namespace aprs
