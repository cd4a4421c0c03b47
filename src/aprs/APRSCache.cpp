// The station cache: an ordered list of packets with a callsign index beside it.
#include "APRSCache.h"

#include <algorithm>
#include <climits>

#include "APRSParser.h"

namespace aprs {

namespace {

constexpr long long kMillisecondsPerSecond = 1000;

int IntervalMilliseconds(int seconds) {
  const long long ms = static_cast<long long>(seconds) * kMillisecondsPerSecond;
  return static_cast<int>(std::clamp<long long>(ms, 0, INT_MAX));
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
  const int position = Count();
  m_entries.push_back(std::move(packet));
  // try_emplace keeps an earlier entry of the same station as the one IndexOf finds.
  if (!m_indexStale) m_index.try_emplace(m_entries.back()->Source.Callsign, position);
  ++Added;
  return true;
}

bool TPacketCache::Update(std::unique_ptr<TAprsPacket> packet) {
  if (!packet) return false;
  const bool killed = (packet->DataType == TAprsDataType::dtItem || packet->DataType == TAprsDataType::dtObject) &&
                      !packet->AprsObject.Active;
  if (killed) return RemoveStation(*packet);  // the killing packet is freed on return

  const int index = IndexOf(*packet);
  if (index >= 0) return Replace(std::move(packet), index);
  return Add(std::move(packet));
}

int TPacketCache::IndexOf(const TAprsPacket& packet) const {
  EnsureIndex();
  const auto it = m_index.find(packet.Source.Callsign);
  return it == m_index.end() ? -1 : it->second;
}

bool TPacketCache::Replace(std::unique_ptr<TAprsPacket> packet, int index) {
  if (!packet) return false;
  if (index == -1) index = IndexOf(*packet);
  if (index < 0 || index >= Count()) return false;
  std::unique_ptr<TAprsPacket>& slot = m_entries[static_cast<std::size_t>(index)];
  if (slot->Source.Callsign != packet->Source.Callsign) m_indexStale = true;
  slot = std::move(packet);  // frees the old entry
  ++Replaced;
  return true;
}

bool TPacketCache::RemoveStation(const TAprsPacket& packet) {
  const int index = IndexOf(packet);
  if (index < 0) return false;
  EraseAt(index);
  ++Killed;
  return true;
}

bool TPacketCache::Remove(const TAprsPacket& packet) {
  // `packet` may be the entry itself: find its index before anything is freed.
  return Delete(IndexOf(packet));
}

bool TPacketCache::Delete(int index) {
  if (index < 0 || index >= Count()) return false;
  EraseAt(index);
  ++Deleted;
  return true;
}

void TPacketCache::EraseAt(int index) {
  const auto position = static_cast<std::size_t>(index);
  if (!m_indexStale) {
    if (position + 1 == m_entries.size()) {
      // The last entry: nothing shifts, and no later duplicate can take its place.
      const auto it = m_index.find(m_entries[position]->Source.Callsign);
      if (it != m_index.end() && it->second == index) m_index.erase(it);
    } else {
      m_indexStale = true;
    }
  }
  m_entries.erase(m_entries.begin() + index);
}

void TPacketCache::Clear() {
  m_entries.clear();
  m_index.clear();
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
  if (!(cutOff > 0)) cutOff = NowUtc() - MaxAge / kMinutesPerDay;
  const std::size_t removed = std::erase_if(
      m_entries, [cutOff](const std::unique_ptr<TAprsPacket>& entry) { return entry->Received < cutOff; });
  if (removed == 0) return;
  Expired += static_cast<int>(removed);
  m_indexStale = true;
}

void TPacketCache::PurgeTick() {
  Purge(0);
  ++Purges;
}

TAprsPacket* TPacketCache::Items(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return m_entries[static_cast<std::size_t>(index)].get();
}

TAprsPacket* TPacketCache::Find(const std::string& callsign) const {
  EnsureIndex();
  const auto it = m_index.find(callsign);
  return it == m_index.end() ? nullptr : m_entries[static_cast<std::size_t>(it->second)].get();
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

void TPacketCache::EnsureIndex() const {
  if (!m_indexStale) return;
  m_index.clear();
  m_index.reserve(m_entries.size());
  for (std::size_t i = 0; i < m_entries.size(); ++i) m_index.try_emplace(m_entries[i]->Source.Callsign, static_cast<int>(i));
  m_indexStale = false;
}

}  // namespace aprs
