// The station cache: the latest accepted packet of every heard station.
//
// One entry per Source.Callsign, in order of first arrival; the cache owns
// every packet in it. A station removed on its own (a killed object, Delete)
// leaves a hole that the next walk by index closes, so that a feed full of
// kills costs the same per packet however many stations are cached. Stations not heard for MaxAge minutes are purged by
// a timer that the owner supplies (a QTimer in the program, a fake in tests).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "APRSData.h"

namespace aprs {

// The purge timer seam: the cache sets the interval and the tick, starts and stops it.
class TCacheTimer {
 public:
  virtual ~TCacheTimer() = default;
  virtual void SetInterval(int milliseconds) = 0;
  virtual void SetOnTimer(std::function<void()> tick) = 0;
  virtual void Start() = 0;
  virtual void Stop() = 0;
};

// A timer that never fires: for tools and tests that purge by hand.
class TManualCacheTimer : public TCacheTimer {
 public:
  void SetInterval(int milliseconds) override { Interval = milliseconds; }
  void SetOnTimer(std::function<void()> tick) override { OnTimer = std::move(tick); }
  void Start() override { Running = true; }
  void Stop() override { Running = false; }
  void Fire() {
    if (Running && OnTimer) OnTimer();
  }

  int Interval = 0;
  bool Running = false;
  std::function<void()> OnTimer;
};

// Minutes an unheard station stays in the cache, and seconds between two purges, until set otherwise.
inline constexpr int kDefaultMaxAgeMinutes = 60;
inline constexpr int kDefaultPurgeIntervalSeconds = 60;

class TPacketCache {
 public:
  explicit TPacketCache(std::unique_ptr<TCacheTimer> timer = std::make_unique<TManualCacheTimer>());
  virtual ~TPacketCache();
  TPacketCache(const TPacketCache&) = delete;
  TPacketCache& operator=(const TPacketCache&) = delete;

  virtual bool Add(std::unique_ptr<TAprsPacket> packet);
  virtual bool Update(std::unique_ptr<TAprsPacket> packet);
  virtual int IndexOf(const TAprsPacket& packet) const;

  bool Replace(std::unique_ptr<TAprsPacket> packet, int index = -1);
  bool RemoveStation(const TAprsPacket& packet);
  bool Remove(const TAprsPacket& packet);
  bool Delete(int index);
  void Clear();
  void ResetCounters();
  void Purge(TDateTime cutOff);

  int Count() const { return static_cast<int>(m_entries.size() - m_holes); }
  // The entry at `index`, or nothing when the index is out of range.
  TAprsPacket* Items(int index) const;
  // The entry of a station by its callsign, or nothing.
  TAprsPacket* Find(const std::string& callsign) const;

  bool Enabled() const { return m_enabled; }
  void SetEnabled(bool value);
  int PurgeInterval() const { return m_purgeInterval; }
  void SetPurgeInterval(int seconds);

  TCacheTimer& Timer() { return *m_timer; }

  // Called after every purge by the timer with the cut-off it used, so that
  // what is kept beside the cache can age with it.
  std::function<void(TDateTime cutOff)> OnPurged;

  int MaxAge = kDefaultMaxAgeMinutes;
  int Added = 0;
  int Deleted = 0;
  int Expired = 0;
  int Killed = 0;
  int Replaced = 0;
  int Purges = 0;

 private:
  // One slot of the callsign index: the position of the station's first entry
  // (-1 = empty) and the callsign itself, so that finding a station reads no packet.
  // Open addressing with linear probing; four slots share a cache line. A callsign
  // longer than the key (no AX.25 callsign or object name is) keeps its first
  // characters here and is compared in full in its entry.
  struct TIndexSlot {
    static constexpr std::size_t kKeySize = 11;
    std::int32_t Position = -1;
    std::uint8_t Length = 0;  // of the whole callsign, 255 for 255 and longer
    std::array<char, kKeySize> Key{};
  };
  static_assert(sizeof(TIndexSlot) == 16);

  void PurgeTick();
  void ReplaceAt(std::size_t position, std::unique_ptr<TAprsPacket> packet);
  // Frees the entry at `position` and leaves a hole there; the index forgets it.
  void EraseAt(std::size_t position);
  // Closes the holes, keeping the order of the entries; positions become indices again.
  void CloseHoles() const;
  // Position of the first entry of `callsign`, or -1. A position counts holes:
  // it is an index only when there are none.
  int Lookup(std::string_view callsign) const;
  // The callsign a slot stands for: its key, or the entry's for a callsign longer than the key.
  std::string_view CallsignOf(const TIndexSlot& slot) const;
  // Takes the slot of the entry at `position` out of the table, moving later
  // slots of the same probe run back so that no lookup stops short.
  void IndexErase(std::size_t position);
  // True when `slot` is the slot of `callsign`; reads the entry only for a callsign longer than the key.
  bool SlotHolds(const TIndexSlot& slot, std::string_view callsign) const;
  // Adds `position` for its entry unless an earlier entry of that callsign is indexed.
  void IndexInsert(int position) const;
  // Rebuilds the index in one pass when closing holes or a purge shifted positions,
  // a Replace at an index changed the entry's callsign, or an entry with a duplicate went.
  void EnsureIndex() const;
  void RebuildIndex() const;

  bool m_enabled = true;
  // Entries in order of arrival; an empty pointer is a hole (m_holes of them).
  // Closing them is a change of layout only, hence done in const walks too.
  mutable std::vector<std::unique_ptr<TAprsPacket>> m_entries;
  mutable std::size_t m_holes = 0;
  mutable std::vector<TIndexSlot> m_index;  // size a power of two, at most half full
  mutable std::size_t m_indexUsed = 0;
  mutable bool m_indexStale = false;
  // Set once a callsign has two entries (only Add and Replace can do that): then
  // erasing its first entry must bring the second into the index, which a rebuild does.
  mutable bool m_duplicates = false;
  int m_purgeInterval = kDefaultPurgeIntervalSeconds;
  std::unique_ptr<TCacheTimer> m_timer;
  std::unique_ptr<TAprsPacket> m_replaced;  // the packet last replaced, freed on the next replace or Clear
};

}  // namespace aprs
