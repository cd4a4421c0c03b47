#include "MeasuredReach.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>

#include "HeardDirectly.h"
#include "ProbeRun.h"
#include "RangeCircle.h"
#include "Text.h"

namespace tarvik {

namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
constexpr std::uint64_t kMixLow = 0x9E3779B97F4A7C15ULL;   // 2^64 / golden ratio
constexpr std::uint64_t kMixHigh = 0xC2B2AE3D27D4EB4FULL;  // a 64-bit prime of xxHash
constexpr int kMixRotate = 31;
constexpr int kMixShift = 29;
constexpr std::size_t kFirstTableSize = 16;
constexpr std::size_t kBitsPerByte = 8;
// Hearings queued before they go into the tables, and how far ahead of the
// one being stored the slot of a later one is fetched.
constexpr std::size_t kQueueSize = 4096;
constexpr std::size_t kPrefetchAhead = 16;
// A full receiver picks this many of its oldest sources at a time to make
// room: the scan of its table is shared by that many new sources.
constexpr std::size_t kEvictBatch = kMaxSourcesPerReceiver / 4;

// Eight characters at a time in a word, upper-cased there: filling a byte
// array and reading it back as words would stall on every packet.
std::uint64_t UpperWord(std::string_view chars) {
  std::uint64_t word = 0;
  for (std::size_t i = 0; i < chars.size(); ++i)
    word |= std::uint64_t{static_cast<unsigned char>(text::ToUpper(chars[i]))} << (kBitsPerByte * i);
  return word;
}

}  // namespace

double GreatCircleMiles(double lat1, double lon1, double lat2, double lon2) {
  // Haversine: well conditioned for the short distances radio covers.
  const double phi1 = lat1 * kRadiansPerDegree;
  const double phi2 = lat2 * kRadiansPerDegree;
  const double dPhi = phi2 - phi1;
  const double dLambda = (lon2 - lon1) * kRadiansPerDegree;
  const double h =
      std::pow(std::sin(dPhi / 2), 2) + std::cos(phi1) * std::cos(phi2) * std::pow(std::sin(dLambda / 2), 2);
  return 2.0 * kEarthRadiusMiles * std::asin(std::min(1.0, std::sqrt(h)));
}

std::optional<double> ReachPercentile(std::vector<double>& distances) {
  if (distances.size() < static_cast<std::size_t>(kMinReachSources)) return std::nullopt;
  const auto rank = static_cast<std::size_t>(std::ceil(kReachPercentile * static_cast<double>(distances.size())));
  const auto nth = distances.begin() + static_cast<std::ptrdiff_t>(rank - 1);
  std::nth_element(distances.begin(), nth, distances.end());
  return *nth;
}

std::size_t TMeasuredReach::TCallKeyHash::operator()(const TCallKey& key) const noexcept {
  // Two multiplicative mixes folded together; the table takes the low bits.
  std::uint64_t h = key.Low * kMixLow ^ std::rotl(key.High * kMixHigh, kMixRotate);
  h ^= h >> kMixShift;
  return static_cast<std::size_t>(h * kMixLow);
}

std::string TMeasuredReach::TCallKey::Text() const {
  constexpr std::size_t kWord = sizeof(Low);
  const auto length = static_cast<std::size_t>(High >> (kBitsPerByte * (kSize - kWord)));
  std::string out(length, '\0');
  for (std::size_t i = 0; i < length; ++i) {
    const std::uint64_t word = i < kWord ? Low : High;
    out[i] = static_cast<char>(word >> (kBitsPerByte * (i % kWord)));
  }
  return out;
}

std::optional<TMeasuredReach::TCallKey> TMeasuredReach::KeyOf(std::string_view callsign) {
  if (callsign.empty() || callsign.size() > TCallKey::kSize) return std::nullopt;
  constexpr std::size_t kWord = sizeof(TCallKey::Low);
  TCallKey key;
  key.Low = UpperWord(callsign.substr(0, kWord));
  key.High = UpperWord(callsign.substr(std::min(callsign.size(), kWord))) |
             std::uint64_t{callsign.size()} << (kBitsPerByte * (TCallKey::kSize - kWord));
  return key;
}

std::size_t TMeasuredReach::TReceiver::Probe(const TCallKey& source, std::size_t hash) const {
  const std::size_t mask = Table.size() - 1;
  std::size_t slot = hash & mask;
  while (!Table[slot].Source.Empty() && !(Table[slot].Source == source)) slot = (slot + 1) & mask;
  return slot;
}

TMeasuredReach::TSlot* TMeasuredReach::TReceiver::Find(const TCallKey& source) {
  if (Table.empty()) return nullptr;
  TSlot& slot = Table[Probe(source, TCallKeyHash{}(source))];
  return slot.Source.Empty() ? nullptr : &slot;
}

const TMeasuredReach::TSlot* TMeasuredReach::TReceiver::Find(const TCallKey& source) const {
  return const_cast<TReceiver*>(this)->Find(source);
}

void TMeasuredReach::TReceiver::Erase(std::size_t slot) {
  probing::EraseSlot(
      Table, slot, [](const TSlot& s) { return s.Source.Empty(); },
      [](const TSlot& s) { return TCallKeyHash{}(s.Source); });
  --Count;
}

void TMeasuredReach::TReceiver::Grow() {
  std::vector<TSlot> old = std::move(Table);
  Table.assign(old.empty() ? kFirstTableSize : old.size() * 2, TSlot{});
  for (const TSlot& s : old)
    if (!s.Source.Empty()) Table[Probe(s.Source, TCallKeyHash{}(s.Source))] = s;
}

bool TMeasuredReach::TReceiver::IsLive(const TOrderEntry& entry) const {
  const TSlot* slot = Find(entry.Source);
  return slot != nullptr && slot->Heard == entry.Heard;
}

// The kEvictBatch sources heard longest ago, oldest first. Sources come in
// with the clock, later than any of these, so each is the oldest in its turn
// unless it is heard again first.
void TMeasuredReach::TReceiver::PickEvictions() {
  Evict.clear();
  EvictNext = 0;
  for (const TSlot& s : Table)
    if (!s.Source.Empty()) Evict.push_back({s.Source, s.Heard});
  const auto byHeard = [](const TOrderEntry& a, const TOrderEntry& b) { return a.Heard < b.Heard; };
  const std::size_t keep = std::min(Evict.size(), kEvictBatch);
  const auto last = Evict.begin() + static_cast<std::ptrdiff_t>(keep);
  if (last != Evict.end()) std::nth_element(Evict.begin(), last, Evict.end(), byHeard);
  Evict.resize(keep);
  std::sort(Evict.begin(), Evict.end(), byHeard);
}

void TMeasuredReach::TReceiver::DropOldest() {
  for (;;) {
    if (EvictNext == Evict.size()) {
      PickEvictions();
      if (Evict.empty()) return;
    }
    const TOrderEntry& oldest = Evict[EvictNext++];
    if (!IsLive(oldest)) continue;
    Erase(Probe(oldest.Source, TCallKeyHash{}(oldest.Source)));
    return;
  }
}

bool TMeasuredReach::Learn(const aprs::TAprsPacket& packet, std::string_view myCall) {
  if (!packet.Position.Valid) return false;
  const std::string_view receiverCall = HeardDirectlyAsSent(packet, myCall);
  if (receiverCall.empty()) return false;
  const std::optional<TCallKey> receiverKey = KeyOf(receiverCall);
  const std::optional<TCallKey> sourceKey = KeyOf(packet.Source.Callsign);
  if (!receiverKey || !sourceKey) return false;

  if (m_queue.capacity() == 0) m_queue.reserve(kQueueSize);
  m_queue.push_back({&ReceiverOf(*receiverKey), *sourceKey, TCallKeyHash{}(*sourceKey),
                     static_cast<float>(packet.Position.Latitude.Value),
                     static_cast<float>(packet.Position.Longitude.Value), packet.Received});
  if (m_queue.size() == kQueueSize) Settle();
  return true;
}

void TMeasuredReach::Record(const THearing& hearing) {
  TReceiver& receiver = *hearing.Receiver;
  if (receiver.Table.empty()) receiver.Grow();
  std::size_t slot = receiver.Probe(hearing.Source, hearing.Hash);
  if (receiver.Table[slot].Source.Empty()) {
    if (receiver.Count >= kMaxSourcesPerReceiver) receiver.DropOldest();
    if (2 * (receiver.Count + 1) > static_cast<int>(receiver.Table.size())) receiver.Grow();
    slot = receiver.Probe(hearing.Source, hearing.Hash);  // the table may have changed
    ++receiver.Count;
  }
  TSlot& s = receiver.Table[slot];
  s.Source = hearing.Source;
  s.Latitude = hearing.Latitude;
  s.Longitude = hearing.Longitude;
  s.Heard = hearing.Heard;
}

void TMeasuredReach::Settle() const {
  // Each hearing's slot is most likely out of the processor's caches: asking
  // for the one kPrefetchAhead hearings on while storing this one keeps
  // several fetches under way at once.
  const auto prefetch = [](const THearing& hearing) {
    const std::vector<TSlot>& table = hearing.Receiver->Table;
    if (!table.empty()) __builtin_prefetch(&table[hearing.Hash & (table.size() - 1)], 1);
  };
  for (std::size_t i = 0; i < std::min(kPrefetchAhead, m_queue.size()); ++i) prefetch(m_queue[i]);
  for (std::size_t i = 0; i < m_queue.size(); ++i) {
    if (i + kPrefetchAhead < m_queue.size()) prefetch(m_queue[i + kPrefetchAhead]);
    Record(m_queue[i]);
  }
  m_queue.clear();
}

std::size_t TMeasuredReach::ProbeReceiver(const TCallKey& key) const {
  const std::size_t mask = m_receiverIndex.size() - 1;
  std::size_t slot = TCallKeyHash{}(key)&mask;
  while (m_receiverIndex[slot].Receiver != nullptr && !(m_receiverIndex[slot].Key == key)) slot = (slot + 1) & mask;
  return slot;
}

void TMeasuredReach::IndexReceivers(std::size_t size) {
  m_receiverIndex.assign(size, TReceiverSlot{});
  for (const auto& receiver : m_receivers)
    m_receiverIndex[ProbeReceiver(receiver->Key)] = {receiver->Key, receiver.get()};
}

TMeasuredReach::TReceiver& TMeasuredReach::ReceiverOf(const TCallKey& key) {
  if (2 * (m_receivers.size() + 1) > m_receiverIndex.size())
    IndexReceivers(std::max(kFirstTableSize, 2 * m_receiverIndex.size()));
  TReceiverSlot& slot = m_receiverIndex[ProbeReceiver(key)];
  if (slot.Receiver == nullptr) {
    m_receivers.push_back(std::make_unique<TReceiver>());
    m_receivers.back()->Key = key;
    slot = {key, m_receivers.back().get()};
  }
  return *slot.Receiver;
}

void TMeasuredReach::Expire(aprs::TDateTime cutOff) {
  Settle();
  for (const auto& receiver : m_receivers) {
    TReceiver& r = *receiver;
    const auto expired = [cutOff](const TSlot& s) { return !s.Source.Empty() && s.Heard < cutOff; };
    if (std::any_of(r.Table.begin(), r.Table.end(), expired)) {
      // Rebuilt from what is left: deleting in place would move entries
      // across the walk.
      std::vector<TSlot> old = std::move(r.Table);
      r.Table.assign(old.size(), TSlot{});
      r.Count = 0;
      for (const TSlot& s : old) {
        if (s.Source.Empty() || s.Heard < cutOff) continue;
        r.Table[r.Probe(s.Source, TCallKeyHash{}(s.Source))] = s;
        ++r.Count;
      }
      r.Evict.clear();
      r.EvictNext = 0;
    }
  }
  if (std::erase_if(m_receivers, [](const auto& r) { return r->Count == 0; }) > 0)
    IndexReceivers(m_receiverIndex.size());
}

void TMeasuredReach::Clear() {
  m_queue.clear();
  m_receivers.clear();
  m_receiverIndex.clear();
}

std::vector<TReachSource> TMeasuredReach::Sources(std::string_view receiver, aprs::TDateTime cutOff) const {
  Settle();
  std::vector<TReachSource> out;
  const std::optional<TCallKey> key = KeyOf(receiver);
  if (!key) return out;
  if (m_receiverIndex.empty()) return out;
  const TReceiver* found = m_receiverIndex[ProbeReceiver(*key)].Receiver;
  if (found == nullptr) return out;
  for (const TSlot& s : found->Table)
    if (!s.Source.Empty() && s.Heard >= cutOff) out.push_back({s.Source.Text(), s.Latitude, s.Longitude, s.Heard});
  std::stable_sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.Heard > b.Heard; });
  return out;
}

std::vector<std::string> TMeasuredReach::Receivers() const {
  Settle();
  std::vector<std::string> out;
  out.reserve(m_receivers.size());
  for (const auto& receiver : m_receivers) out.push_back(receiver->Key.Text());
  return out;
}

}  // namespace tarvik
