// Measured reach: how far each receiver really hears, from the stations it
// heard directly (see HeardDirectly.h).
//
// Every accepted packet that names a direct receiver records its source, with
// the source's position at that time, under that receiver. A receiver keeps
// at most kMaxSourcesPerReceiver distinct sources; the one heard longest ago
// makes room. Recording a packet costs two hash look-ups, whatever the number
// of stations heard; expiry walks only what it drops.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "APRSData.h"

namespace tarvik {

inline constexpr int kMaxSourcesPerReceiver = 1000;
// Fewer distinct sources than this give no figure ("too few").
inline constexpr int kMinReachSources = 5;
inline constexpr double kReachPercentile = 0.9;

// Great-circle distance in statute miles between two points in degrees.
double GreatCircleMiles(double lat1, double lon1, double lat2, double lon2);

// The 90th-percentile distance by nearest rank (the smallest distance that at
// least 90 per cent of the distances do not exceed), or nothing for fewer
// than kMinReachSources distances. Reorders `distances`.
std::optional<double> ReachPercentile(std::vector<double>& distances);

// One source a receiver heard directly.
struct TReachSource {
  std::string Callsign;
  double Latitude = 0.0;
  double Longitude = 0.0;
  aprs::TDateTime Heard = 0.0;  // the packet's Received time
};

class TMeasuredReach {
 public:
  // Records the packet's source under the station that heard it directly, if
  // any. Returns that station's callsign, or "".
  std::string Learn(const aprs::TAprsPacket& packet, std::string_view myCall);

  // Forgets every source heard before `cutOff`, and receivers left with none.
  void Expire(aprs::TDateTime cutOff);
  void Clear();

  // The sources `receiver` heard at or after `cutOff`, the latest first.
  std::vector<TReachSource> Sources(std::string_view receiver, aprs::TDateTime cutOff) const;
  // Every receiver with a source, in no particular order.
  std::vector<std::string> Receivers() const;
  int ReceiverCount() const { return static_cast<int>(m_receivers.size()); }

 private:
  // A callsign as a fixed-size key: no allocation per packet. Longer names
  // (none of a radio station is) are not recorded.
  struct TCallKey {
    static constexpr std::size_t kSize = 15;
    std::array<char, kSize> Chars{};
    std::uint8_t Length = 0;
    bool operator==(const TCallKey&) const = default;
    std::string_view View() const { return {Chars.data(), Length}; }
  };
  struct TCallKeyHash {
    std::size_t operator()(const TCallKey& key) const noexcept;
  };
  static std::optional<TCallKey> KeyOf(std::string_view callsign);

  // Sources in a pool, linked from the latest heard to the oldest.
  struct TSlot {
    TCallKey Source;
    double Latitude = 0.0;
    double Longitude = 0.0;
    aprs::TDateTime Heard = 0.0;
    std::int32_t Newer = -1;
    std::int32_t Older = -1;
  };
  struct TReceiver {
    std::vector<TSlot> Slots;
    std::unordered_map<TCallKey, std::int32_t, TCallKeyHash> Index;
    std::int32_t Latest = -1;
    std::int32_t Oldest = -1;
    std::int32_t FreeSlot = -1;  // a slot given up by expiry, chained through Older

    void Unlink(std::int32_t slot);
    void LinkLatest(std::int32_t slot);
    std::int32_t TakeSlot();
  };

  std::unordered_map<TCallKey, TReceiver, TCallKeyHash> m_receivers;
};

}  // namespace tarvik
