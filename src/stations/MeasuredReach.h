// Measured reach: how far each receiver really hears, from the stations it
// heard directly (see HeardDirectly.h).
//
// Every accepted packet that names a direct receiver records its source, with
// the source's position at that time, under that receiver. A receiver keeps
// at most kMaxSourcesPerReceiver distinct sources; the one heard longest ago
// makes room. Learning a packet reads the packet and queues what it taught;
// the queue goes into the receivers' tables in batches, where fetching the
// slots of the next hearings overlaps storing the current one, and before
// anything is read. The cost per packet does not depend on the number of
// stations heard; expiry, once a purge, walks the receivers' tables.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
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
  struct TReceiver;

 public:
  // Records the packet's source under the station that heard it directly, if
  // any. Returns whether it did.
  bool Learn(const aprs::TAprsPacket& packet, std::string_view myCall);

  // Forgets every source heard before `cutOff`, and receivers left with none.
  void Expire(aprs::TDateTime cutOff);
  void Clear();

  // The sources `receiver` heard at or after `cutOff`, the latest first.
  std::vector<TReachSource> Sources(std::string_view receiver, aprs::TDateTime cutOff) const;
  // Every receiver with a source, in no particular order.
  std::vector<std::string> Receivers() const;
  int ReceiverCount() const {
    Settle();
    return static_cast<int>(m_receivers.size());
  }

 private:
  // A callsign as a fixed-size upper-case key: no allocation per packet.
  // Longer names (none of a radio station is) are not recorded.
  struct TCallKey {
    static constexpr std::size_t kSize = 15;
    // The characters, zero-padded, and the length in the last byte (0: an
    // empty slot), as two words: comparing and hashing a key is a few
    // instructions.
    std::uint64_t Low = 0;
    std::uint64_t High = 0;
    bool operator==(const TCallKey&) const = default;
    bool Empty() const { return High == 0 && Low == 0; }
    std::string Text() const;
  };
  struct TCallKeyHash {
    std::size_t operator()(const TCallKey& key) const noexcept;
  };
  static std::optional<TCallKey> KeyOf(std::string_view callsign);

  // One source of a receiver, in the receiver's open-addressing table: the
  // key and the record share one slot, so hearing a source again costs one
  // memory access.
  struct TSlot {
    TCallKey Source;
    float Latitude = 0.0F;  // a 32-bit degree is finer than a metre
    float Longitude = 0.0F;
    aprs::TDateTime Heard = 0.0;
  };
  // A source that may make room next, with the hearing it was picked for.
  struct TOrderEntry {
    TCallKey Source;
    aprs::TDateTime Heard = 0.0;
  };
  struct TReceiver {
    TCallKey Key;
    std::vector<TSlot> Table;  // a power of two, at most half full
    int Count = 0;
    // The sources heard longest ago when the table last filled, oldest
    // first, from EvictNext on: a full receiver drops them in turn, skipping
    // one heard again since. Nothing is kept per packet; a full table is
    // scanned once per kEvictBatch drops.
    std::vector<TOrderEntry> Evict;
    std::size_t EvictNext = 0;

    // The slot of `source`, or the empty slot where it would go.
    std::size_t Probe(const TCallKey& source, std::size_t hash) const;
    TSlot* Find(const TCallKey& source);
    const TSlot* Find(const TCallKey& source) const;
    void Erase(std::size_t slot);
    void Grow();
    // Drops the source heard longest ago.
    void DropOldest();
    void PickEvictions();
    bool IsLive(const TOrderEntry& entry) const;
  };

  // One packet's lesson, waiting for its receiver's table.
  struct THearing {
    TReceiver* Receiver = nullptr;  // elements of the map keep their address
    TCallKey Source;
    std::size_t Hash = 0;  // of Source
    float Latitude = 0.0F;
    float Longitude = 0.0F;
    aprs::TDateTime Heard = 0.0;
  };
  static void Record(const THearing& hearing);
  // Puts the queued hearings into the tables, in the order they were learnt.
  void Settle() const;

  // The slot of `key` in the receivers' index, or the free slot where it would go.
  std::size_t ProbeReceiver(const TCallKey& key) const;
  TReceiver& ReceiverOf(const TCallKey& key);  // made when first heard
  void IndexReceivers(std::size_t size);

  // The receivers, in the order first heard; they keep their address, which
  // the queue holds. The index is an open-addressing table over their keys.
  struct TReceiverSlot {
    TCallKey Key;
    TReceiver* Receiver = nullptr;  // nothing: a free slot
  };
  std::vector<std::unique_ptr<TReceiver>> m_receivers;
  std::vector<TReceiverSlot> m_receiverIndex;  // a power of two, at most half full
  // Settled by readers too, hence changed by const functions.
  mutable std::vector<THearing> m_queue;
};

}  // namespace tarvik
