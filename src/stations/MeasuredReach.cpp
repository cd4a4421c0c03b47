#include "MeasuredReach.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "HeardDirectly.h"
#include "RangeCircle.h"

namespace tarvik {

namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
constexpr std::uint64_t kFnvOffset = 14695981039346656037ULL;
constexpr std::uint64_t kFnvPrime = 1099511628211ULL;

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
  std::uint64_t h = kFnvOffset;
  for (const char c : key.View()) h = (h ^ static_cast<unsigned char>(c)) * kFnvPrime;
  return static_cast<std::size_t>(h);
}

std::optional<TMeasuredReach::TCallKey> TMeasuredReach::KeyOf(std::string_view callsign) {
  if (callsign.empty() || callsign.size() > TCallKey::kSize) return std::nullopt;
  TCallKey key;
  std::copy(callsign.begin(), callsign.end(), key.Chars.begin());
  key.Length = static_cast<std::uint8_t>(callsign.size());
  return key;
}

void TMeasuredReach::TReceiver::Unlink(std::int32_t slot) {
  TSlot& s = Slots[static_cast<std::size_t>(slot)];
  if (s.Newer >= 0)
    Slots[static_cast<std::size_t>(s.Newer)].Older = s.Older;
  else
    Latest = s.Older;
  if (s.Older >= 0)
    Slots[static_cast<std::size_t>(s.Older)].Newer = s.Newer;
  else
    Oldest = s.Newer;
  s.Newer = s.Older = -1;
}

void TMeasuredReach::TReceiver::LinkLatest(std::int32_t slot) {
  TSlot& s = Slots[static_cast<std::size_t>(slot)];
  s.Newer = -1;
  s.Older = Latest;
  if (Latest >= 0) Slots[static_cast<std::size_t>(Latest)].Newer = slot;
  Latest = slot;
  if (Oldest < 0) Oldest = slot;
}

// A slot for a new source: a freed one, a new one, or, when the receiver is
// full, the one heard longest ago.
std::int32_t TMeasuredReach::TReceiver::TakeSlot() {
  if (FreeSlot >= 0) {
    const std::int32_t slot = FreeSlot;
    FreeSlot = Slots[static_cast<std::size_t>(slot)].Older;
    return slot;
  }
  if (Slots.size() < static_cast<std::size_t>(kMaxSourcesPerReceiver)) {
    Slots.emplace_back();
    return static_cast<std::int32_t>(Slots.size() - 1);
  }
  const std::int32_t slot = Oldest;
  Index.erase(Slots[static_cast<std::size_t>(slot)].Source);
  Unlink(slot);
  return slot;
}

std::string TMeasuredReach::Learn(const aprs::TAprsPacket& packet, std::string_view myCall) {
  std::string receiverCall = HeardDirectlyBy(packet, myCall);
  if (receiverCall.empty() || !packet.Position.Valid) return {};
  const std::optional<TCallKey> receiverKey = KeyOf(receiverCall);
  const std::optional<TCallKey> sourceKey = KeyOf(packet.Source.Callsign);
  if (!receiverKey || !sourceKey) return {};

  TReceiver& receiver = m_receivers[*receiverKey];
  auto [it, added] = receiver.Index.try_emplace(*sourceKey, -1);
  if (added) {
    it->second = receiver.TakeSlot();
  } else {
    receiver.Unlink(it->second);
  }
  TSlot& slot = receiver.Slots[static_cast<std::size_t>(it->second)];
  slot.Source = *sourceKey;
  slot.Latitude = packet.Position.Latitude.Value;
  slot.Longitude = packet.Position.Longitude.Value;
  slot.Heard = packet.Received;
  receiver.LinkLatest(it->second);
  return receiverCall;
}

void TMeasuredReach::Expire(aprs::TDateTime cutOff) {
  for (auto it = m_receivers.begin(); it != m_receivers.end();) {
    TReceiver& r = it->second;
    while (r.Oldest >= 0 && r.Slots[static_cast<std::size_t>(r.Oldest)].Heard < cutOff) {
      const std::int32_t slot = r.Oldest;
      r.Index.erase(r.Slots[static_cast<std::size_t>(slot)].Source);
      r.Unlink(slot);
      r.Slots[static_cast<std::size_t>(slot)].Older = r.FreeSlot;
      r.FreeSlot = slot;
    }
    it = r.Index.empty() ? m_receivers.erase(it) : std::next(it);
  }
}

void TMeasuredReach::Clear() { m_receivers.clear(); }

std::vector<TReachSource> TMeasuredReach::Sources(std::string_view receiver, aprs::TDateTime cutOff) const {
  std::vector<TReachSource> out;
  const std::optional<TCallKey> key = KeyOf(receiver);
  if (!key) return out;
  const auto it = m_receivers.find(*key);
  if (it == m_receivers.end()) return out;
  const TReceiver& r = it->second;
  for (std::int32_t i = r.Latest; i >= 0; i = r.Slots[static_cast<std::size_t>(i)].Older) {
    const TSlot& s = r.Slots[static_cast<std::size_t>(i)];
    if (s.Heard < cutOff) break;  // the rest were heard even earlier
    out.push_back({std::string(s.Source.View()), s.Latitude, s.Longitude, s.Heard});
  }
  return out;
}

std::vector<std::string> TMeasuredReach::Receivers() const {
  std::vector<std::string> out;
  out.reserve(m_receivers.size());
  for (const auto& [key, receiver] : m_receivers) out.emplace_back(key.View());
  return out;
}

}  // namespace tarvik
