// Station cache: replacement, kills, expiry, counters and the callsign index.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "APRSCache.h"
#include "APRSParser.h"
#include "ParserGuards.h"

namespace aprs {
namespace {

constexpr TDateTime kNow = 46000.5;  // a fixed UTC instant, as days
constexpr double kSecond = 1.0 / 86400.0;

std::unique_ptr<TAprsPacket> MakePacket(const std::string& callsign, TDateTime received = kNow, std::string raw = {}) {
  auto packet = std::make_unique<TAprsPacket>();
  packet->Source.Callsign = callsign;
  packet->Received = received;
  packet->DataType = TAprsDataType::dtPosition;
  packet->RawPacket = raw.empty() ? callsign : std::move(raw);
  return packet;
}

std::unique_ptr<TAprsPacket> MakeKill(const std::string& callsign, TAprsDataType type) {
  auto packet = MakePacket(callsign);
  packet->DataType = type;
  packet->AprsObject.Active = false;
  packet->AprsObject.Name = "GONE";
  return packet;
}

using aprs::testing::PinnedClock;

TManualCacheTimer& ManualTimer(TPacketCache& cache) { return dynamic_cast<TManualCacheTimer&>(cache.Timer()); }

std::vector<std::string> RawOf(const TPacketCache& cache) {
  std::vector<std::string> out;
  for (int i = 0; i < cache.Count(); ++i) out.push_back(cache.Items(i)->RawPacket);
  return out;
}

TEST(PacketCache, SecondPacketOfAStationReplacesTheFirstInPlace) {
  TPacketCache cache;
  EXPECT_TRUE(cache.Update(MakePacket("N0CALL-9", kNow, "first")));
  EXPECT_TRUE(cache.Update(MakePacket("N0CALL-9", kNow, "second")));
  EXPECT_EQ(RawOf(cache), (std::vector<std::string>{"second"}));
  EXPECT_EQ(cache.Added, 1);
  EXPECT_EQ(cache.Replaced, 1);

  EXPECT_TRUE(cache.Update(MakePacket("N0CALL-8", kNow, "other")));
  EXPECT_TRUE(cache.Update(MakePacket("N0CALL-9", kNow, "third")));
  EXPECT_EQ(RawOf(cache), (std::vector<std::string>{"third", "other"}));
  EXPECT_EQ(cache.Added, 2);
  EXPECT_EQ(cache.Replaced, 2);
}

TEST(PacketCache, KilledObjectOrItemRemovesTheSendersEntry) {
  for (const TAprsDataType type : {TAprsDataType::dtObject, TAprsDataType::dtItem}) {
    SCOPED_TRACE(std::string(DataTypeName(type)));
    TPacketCache cache;
    cache.Update(MakePacket("N0CALL"));
    cache.Update(MakePacket("N1CALL"));
    EXPECT_TRUE(cache.Update(MakeKill("N0CALL", type)));
    EXPECT_EQ(RawOf(cache), (std::vector<std::string>{"N1CALL"}));
    EXPECT_EQ(cache.Killed, 1);
    EXPECT_EQ(cache.IndexOf(*MakePacket("N1CALL")), 0);

    // No entry for the sender: nothing changes and the answer is false.
    EXPECT_FALSE(cache.Update(MakeKill("N9XYZ", type)));
    EXPECT_EQ(cache.Count(), 1);
    EXPECT_EQ(cache.Killed, 1);
  }
}

TEST(PacketCache, LiveObjectIsStoredUnderTheSender) {
  TPacketCache cache;
  cache.Update(MakePacket("N0CALL", kNow, "position"));
  auto object = MakePacket("N0CALL", kNow, "object");
  object->DataType = TAprsDataType::dtObject;
  object->AprsObject.Active = true;
  EXPECT_TRUE(cache.Update(std::move(object)));
  EXPECT_EQ(RawOf(cache), (std::vector<std::string>{"object"}));
  EXPECT_EQ(cache.Killed, 0);
}

TEST(PacketCache, PurgeDropsEntriesOlderThanMaxAge) {
  struct Case {
    double ageSeconds;
    bool kept;
  };
  for (const Case c : {Case{61, false}, Case{59, true}, Case{60.5, false}, Case{0, true}}) {
    SCOPED_TRACE(c.ageSeconds);
    PinnedClock clock(kNow);
    TPacketCache cache;
    cache.MaxAge = 1;
    cache.Update(MakePacket("N0CALL", kNow - c.ageSeconds * kSecond));
    ManualTimer(cache).Fire();
    EXPECT_EQ(cache.Count(), c.kept ? 1 : 0);
    EXPECT_EQ(cache.Expired, c.kept ? 0 : 1);
    EXPECT_EQ(cache.Purges, 1);
  }
}

TEST(PacketCache, PurgeWithExplicitCutOffIgnoresTheClock) {
  PinnedClock clock(kNow + 10);  // everything would be stale by the clock
  TPacketCache cache;
  cache.Update(MakePacket("A", kNow - 2));
  cache.Update(MakePacket("B", kNow));
  cache.Update(MakePacket("C", kNow - 1));
  cache.Purge(kNow - 1.5);
  EXPECT_EQ(RawOf(cache), (std::vector<std::string>{"B", "C"}));
  EXPECT_EQ(cache.Expired, 1);
  EXPECT_EQ(cache.Purges, 0);  // only the timer's tick counts passes
  EXPECT_EQ(cache.IndexOf(*MakePacket("C")), 1);
}

TEST(PacketCache, ItemsOutsideTheListGiveNothing) {
  TPacketCache cache;
  cache.Update(MakePacket("A"));
  EXPECT_NE(cache.Items(0), nullptr);
  EXPECT_EQ(cache.Items(cache.Count()), nullptr);
  EXPECT_EQ(cache.Items(-1), nullptr);
}

TEST(PacketCache, ClearKeepsCountersAndResetKeepsEntries) {
  TPacketCache cache;
  cache.Update(MakePacket("A"));
  cache.Update(MakePacket("A"));
  cache.Update(MakePacket("B"));
  cache.Delete(1);
  cache.Clear();
  EXPECT_EQ(cache.Count(), 0);
  EXPECT_EQ(cache.IndexOf(*MakePacket("A")), -1);
  EXPECT_EQ(cache.Added, 2);
  EXPECT_EQ(cache.Replaced, 1);
  EXPECT_EQ(cache.Deleted, 1);

  cache.Update(MakePacket("C"));
  cache.ResetCounters();
  EXPECT_EQ(cache.Count(), 1);
  for (const int counter : {cache.Added, cache.Deleted, cache.Expired, cache.Killed, cache.Replaced, cache.Purges})
    EXPECT_EQ(counter, 0);
}

TEST(PacketCache, DeleteAndReplaceRefuseIndexesOutsideTheList) {
  TPacketCache cache;
  cache.Update(MakePacket("A"));
  EXPECT_FALSE(cache.Delete(-1));
  EXPECT_FALSE(cache.Delete(1));
  EXPECT_FALSE(cache.Replace(MakePacket("A"), 1));
  EXPECT_FALSE(cache.Replace(MakePacket("B")));  // no entry for B
  EXPECT_FALSE(cache.Remove(*MakePacket("B")));
  EXPECT_FALSE(cache.RemoveStation(*MakePacket("B")));
  EXPECT_EQ(cache.Count(), 1);
  EXPECT_EQ(cache.Deleted + cache.Replaced + cache.Killed, 0);
}

TEST(PacketCache, NullPacketsAreRefused) {
  TPacketCache cache;
  EXPECT_FALSE(cache.Update(nullptr));
  EXPECT_FALSE(cache.Add(nullptr));
  EXPECT_FALSE(cache.Replace(nullptr, -1));
  EXPECT_EQ(cache.Count(), 0);
  EXPECT_EQ(cache.Added, 0);
}

TEST(PacketCache, RemoveTakesTheEntryItself) {
  // The station list hands back the cache's own packet; it must be looked up before it is freed.
  TPacketCache cache;
  cache.Update(MakePacket("A"));
  cache.Update(MakePacket("B"));
  EXPECT_TRUE(cache.Remove(*cache.Items(0)));
  EXPECT_EQ(RawOf(cache), (std::vector<std::string>{"B"}));
  EXPECT_EQ(cache.Deleted, 1);
}

TEST(PacketCache, IndexFindsTheFirstOfDuplicatesAddedDirectly) {
  TPacketCache cache;
  cache.Add(MakePacket("A", kNow, "a1"));
  cache.Add(MakePacket("B", kNow, "b"));
  cache.Add(MakePacket("A", kNow, "a2"));
  EXPECT_EQ(cache.IndexOf(*MakePacket("A")), 0);

  // Update replaces the first of them only.
  cache.Update(MakePacket("A", kNow, "a3"));
  EXPECT_EQ(RawOf(cache), (std::vector<std::string>{"a3", "b", "a2"}));

  // With the first gone, the later duplicate is found at its shifted position.
  EXPECT_TRUE(cache.Delete(0));
  EXPECT_EQ(cache.IndexOf(*MakePacket("A")), 1);
  EXPECT_EQ(cache.IndexOf(*MakePacket("B")), 0);
  EXPECT_EQ(cache.Find("A")->RawPacket, "a2");

  // Removing the last entry, which is not the first of its station, keeps the station's index.
  cache.Add(MakePacket("B", kNow, "b2"));
  EXPECT_TRUE(cache.Delete(2));
  EXPECT_EQ(cache.IndexOf(*MakePacket("B")), 0);
}

TEST(PacketCache, ReplaceAtAnIndexWithAnotherStationMovesTheIndex) {
  TPacketCache cache;
  cache.Update(MakePacket("A"));
  cache.Update(MakePacket("B"));
  EXPECT_TRUE(cache.Replace(MakePacket("C"), 0));
  EXPECT_EQ(cache.IndexOf(*MakePacket("A")), -1);
  EXPECT_EQ(cache.IndexOf(*MakePacket("C")), 0);
  EXPECT_EQ(cache.Find("B"), cache.Items(1));
}

TEST(PacketCache, TimerFollowsEnabledAndPurgeInterval) {
  TPacketCache cache;
  TManualCacheTimer& timer = ManualTimer(cache);
  EXPECT_TRUE(timer.Running);
  EXPECT_EQ(timer.Interval, 60000);

  cache.SetEnabled(false);
  EXPECT_FALSE(timer.Running);
  cache.SetPurgeInterval(30);
  EXPECT_EQ(timer.Interval, 30000);
  EXPECT_FALSE(timer.Running);  // a new interval does not switch a disabled cache back on
  timer.Fire();
  EXPECT_EQ(cache.Purges, 0);

  cache.SetEnabled(true);
  EXPECT_TRUE(timer.Running);
  cache.SetPurgeInterval(5000000);  // far beyond what fits in int milliseconds
  EXPECT_GT(timer.Interval, 0);
  EXPECT_EQ(cache.PurgeInterval(), 5000000);
}

TEST(PacketCache, DestructorStopsTheTimer) {
  bool stoppedBeforeFree = false;
  {
    class TWatchedTimer : public TManualCacheTimer {
     public:
      explicit TWatchedTimer(bool& flag) : m_flag(flag) {}
      ~TWatchedTimer() override { m_flag = !Running && !OnTimer; }

     private:
      bool& m_flag;
    };
    TPacketCache cache(std::make_unique<TWatchedTimer>(stoppedBeforeFree));
    cache.Update(MakePacket("A"));
  }
  EXPECT_TRUE(stoppedBeforeFree);
}

// Random operations against a plain list searched linearly: after every step the
// index must give the same first position for every callsign, and the counters must agree.
// `feedOnly` keeps to what a feed does (updates, kills, purges) and looks stations up by
// Find, which leaves the holes of kills open, walking the entries only now and then.
void RunAgainstALinearSearch(bool feedOnly) {
  PinnedClock clock(kNow);
  TPacketCache cache;
  struct Model {
    std::string call;
    TDateTime received;
  };
  std::vector<Model> model;
  int added = 0, deleted = 0, expired = 0, killed = 0, replaced = 0;
  const auto linearIndex = [&model](const std::string& call) {
    for (std::size_t i = 0; i < model.size(); ++i)
      if (model[i].call == call) return static_cast<int>(i);
    return -1;
  };

  std::mt19937 rng(4242);
  const auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  // Short calls, calls of exactly the index's key length, calls that share their first
  // eleven characters, calls too long for the index's length byte, and calls that begin
  // with a short call of the set and are 256 characters longer.
  const auto callOf = [](int k) {
    const std::string n = std::to_string(k);
    switch (k % 5) {
      case 0: return "ST" + n;
      case 1: return std::string(11 - n.size(), 'E') + n;
      case 2: return "SAMEPREFIX-" + n;
      case 3: return std::string(260, 'L') + n;
      default: return "ST" + std::to_string(k - 4) + std::string(256, 'L');
    }
  };

  for (int step = 0; step < 4000; ++step) {
    const std::string call = callOf(pick(40));
    const TDateTime received = kNow - pick(100) * kSecond;
    int operation = pick(8);
    if (feedOnly && (operation == 3 || operation == 4 || operation == 6)) operation = 0;
    switch (operation) {
      case 0:
      case 1:
      case 2: {
        const int i = linearIndex(call);
        cache.Update(MakePacket(call, received));
        if (i >= 0) {
          model[static_cast<std::size_t>(i)] = {call, received};
          ++replaced;
        } else {
          model.push_back({call, received});
          ++added;
        }
        break;
      }
      case 3:
        cache.Add(MakePacket(call, received));
        model.push_back({call, received});
        ++added;
        break;
      case 4: {
        const int i = model.empty() ? -1 : pick(static_cast<int>(model.size()) + 1) - 1;
        EXPECT_EQ(cache.Delete(i), i >= 0);
        if (i >= 0) {
          model.erase(model.begin() + i);
          ++deleted;
        }
        break;
      }
      case 5: {
        const int i = linearIndex(call);
        EXPECT_EQ(cache.Update(MakeKill(call, TAprsDataType::dtItem)), i >= 0);
        if (i >= 0) {
          model.erase(model.begin() + i);
          ++killed;
        }
        break;
      }
      case 6:
        if (!model.empty()) {
          const int i = pick(static_cast<int>(model.size()));
          EXPECT_TRUE(cache.Replace(MakePacket(call, received), i));
          model[static_cast<std::size_t>(i)] = {call, received};
          ++replaced;
        }
        break;
      case 7: {
        const TDateTime cutOff = kNow - pick(100) * kSecond;
        const auto before = model.size();
        std::erase_if(model, [cutOff](const Model& m) { return m.received < cutOff; });
        expired += static_cast<int>(before - model.size());
        cache.Purge(cutOff);
        break;
      }
    }
    ASSERT_EQ(cache.Count(), static_cast<int>(model.size())) << "step " << step;
    if (feedOnly) {
      for (int k = 0; k < 40; ++k) {
        const std::string c = callOf(k);
        const int i = linearIndex(c);
        const TAprsPacket* found = cache.Find(c);
        ASSERT_EQ(found != nullptr, i >= 0) << "step " << step << " " << c;
        if (found) {
          ASSERT_EQ(found->Received, model[static_cast<std::size_t>(i)].received) << "step " << step;
        }
      }
      if (step % 25 != 0) continue;
    }
    for (int k = 0; k < 40; ++k) {
      const std::string c = callOf(k);
      ASSERT_EQ(cache.IndexOf(*MakePacket(c)), linearIndex(c)) << "step " << step << " " << c;
    }
    for (std::size_t i = 0; i < model.size(); ++i)
      ASSERT_EQ(cache.Items(static_cast<int>(i))->Source.Callsign, model[i].call) << "step " << step;
  }
  EXPECT_EQ(cache.Added, added);
  EXPECT_EQ(cache.Deleted, deleted);
  EXPECT_EQ(cache.Expired, expired);
  EXPECT_EQ(cache.Killed, killed);
  EXPECT_EQ(cache.Replaced, replaced);
}

TEST(PacketCache, IndexAgreesWithALinearSearchUnderRandomOperations) { RunAgainstALinearSearch(false); }
TEST(PacketCache, IndexAgreesWithALinearSearchUnderFeedOperations) { RunAgainstALinearSearch(true); }

}  // namespace
}  // namespace aprs
