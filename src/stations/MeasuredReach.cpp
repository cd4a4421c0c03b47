#include "MeasuredReach.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <numbers>

#include "HeardDirectly.h"
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
// A full receiver picks this many of its oldest sources at a time to make
// room: the scan of its table is shared by that many new sources.
constexpr std::size_t kEvictBatch = kMaxSourcesPerReceiver / 4;

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
  std::array<char, sizeof(Low) + sizeof(High)> bytes{};
  std::memcpy(bytes.data(), &Low, sizeof Low);
  std::memcpy(bytes.data() + sizeof Low, &High, sizeof High);
  return std::string(bytes.data(), static_cast<unsigned char>(bytes[kSize]));
}

std::optional<TMeasuredReach::TCallKey> TMeasuredReach::KeyOf(std::string_view callsign) {
  if (callsign.empty() || callsign.size() > TCallKey::kSize) return std::nullopt;
  std::array<char, sizeof(TCallKey::Low) + sizeof(TCallKey::High)> bytes{};
  std::transform(callsign.begin(), callsign.end(), bytes.begin(), text::ToUpper);
  bytes[TCallKey::kSize] = static_cast<char>(callsign.size());
  TCallKey key;
  std::memcpy(&key.Low, bytes.data(), sizeof key.Low);
  std::memcpy(&key.High, bytes.data() + sizeof key.Low, sizeof key.High);
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

// Linear probing's deletion: later members of the run move up into the gap,
// so that no look-up stops short of them.
void TMeasuredReach::TReceiver::Erase(std::size_t slot) {
  const std::size_t mask = Table.size() - 1;
  std::size_t gap = slot;
  for (std::size_t next = (gap + 1) & mask; !Table[next].Source.Empty(); next = (next + 1) & mask) {
    const std::size_t home = TCallKeyHash{}(Table[next].Source) & mask;
    // Move `next` into the gap unless its home lies cyclically in (gap, next].
    const bool homeAfterGap = gap <= next ? (gap < home && home <= next) : (gap < home || home <= next);
    if (homeAfterGap) continue;
    Table[gap] = Table[next];
    gap = next;
  }
  Table[gap] = TSlot{};
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

TMeasuredReach::TNote TMeasuredReach::Prepare(const aprs::TAprsPacket& packet, std::string_view myCall) {
  TNote note;
  if (!packet.Position.Valid) return note;
  const std::string_view receiverCall = HeardDirectlyAsSent(packet, myCall);
  if (receiverCall.empty()) return note;
  const std::optional<TCallKey> receiverKey = KeyOf(receiverCall);
  const std::optional<TCallKey> sourceKey = KeyOf(packet.Source.Callsign);
  if (!receiverKey || !sourceKey) return note;

  TReceiver& receiver = m_receivers[*receiverKey];  // elements of the map keep their address
  note.Receiver = &receiver;
  note.Source = *sourceKey;
  note.Hash = TCallKeyHash{}(*sourceKey);
  note.Latitude = static_cast<float>(packet.Position.Latitude.Value);
  note.Longitude = static_cast<float>(packet.Position.Longitude.Value);
  note.Heard = packet.Received;
  if (!receiver.Table.empty()) __builtin_prefetch(&receiver.Table[note.Hash & (receiver.Table.size() - 1)], 1);
  return note;
}

bool TMeasuredReach::Record(const TNote& note) {
  if (note.Receiver == nullptr) return false;
  TReceiver& receiver = *note.Receiver;
  if (receiver.Table.empty()) receiver.Grow();
  std::size_t slot = receiver.Probe(note.Source, note.Hash);
  if (receiver.Table[slot].Source.Empty()) {
    if (receiver.Count >= kMaxSourcesPerReceiver) receiver.DropOldest();
    if (2 * (receiver.Count + 1) > static_cast<int>(receiver.Table.size())) receiver.Grow();
    slot = receiver.Probe(note.Source, note.Hash);  // the table may have changed
    ++receiver.Count;
  }
  TSlot& s = receiver.Table[slot];
  s.Source = note.Source;
  s.Latitude = note.Latitude;
  s.Longitude = note.Longitude;
  s.Heard = note.Heard;
  return true;
}

void TMeasuredReach::Expire(aprs::TDateTime cutOff) {
  for (auto it = m_receivers.begin(); it != m_receivers.end();) {
    TReceiver& r = it->second;
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
    it = r.Count == 0 ? m_receivers.erase(it) : std::next(it);
  }
}

void TMeasuredReach::Clear() { m_receivers.clear(); }

std::vector<TReachSource> TMeasuredReach::Sources(std::string_view receiver, aprs::TDateTime cutOff) const {
  std::vector<TReachSource> out;
  const std::optional<TCallKey> key = KeyOf(receiver);
  if (!key) return out;
  const auto it = m_receivers.find(*key);
  if (it == m_receivers.end()) return out;
  for (const TSlot& s : it->second.Table)
    if (!s.Source.Empty() && s.Heard >= cutOff) out.push_back({s.Source.Text(), s.Latitude, s.Longitude, s.Heard});
  std::stable_sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.Heard > b.Heard; });
  return out;
}

std::vector<std::string> TMeasuredReach::Receivers() const {
  std::vector<std::string> out;
  out.reserve(m_receivers.size());
  for (const auto& [key, receiver] : m_receivers) out.push_back(key.Text());
  return out;
}

}  // namespace tarvik
