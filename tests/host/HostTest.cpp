// The connection wrappers over a fake host that records what is asked of it.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FakeHost.h"
#include "Oxbel32_TLB.h"

namespace host {
namespace {

using tarvik::test::TFakeHost;

std::shared_ptr<TFakeHost> MakeHost() {
  auto host = std::make_shared<TFakeHost>();
  host->MyCall = "N0CALL";
  return host;
}

struct TRegistryFixture : ::testing::Test {
  TRegistryFixture() {
    registry.SetStarter([this] {
      ++started;
      return server;
    });
  }
  std::shared_ptr<TFakeHost> server = MakeHost();
  THostRegistry registry;
  int started = 0;
};

template <typename F>
std::string ErrorOf(F&& call) {
  try {
    call();
  } catch (const EHostNotConnected& e) {
    return e.what();
  } catch (const std::exception& e) {
    return std::string("other: ") + e.what();
  }
  return "no error";
}

const std::string kExpectedText =
    "DefaultInterface is NULL. Component is not connected to Server. You must call 'Connect' or 'ConnectTo' "
    "before this operation";

TEST_F(TRegistryFixture, UnconnectedWrapperWithoutAutoConnectRaisesTheExactText) {
  TclsOxb oxb(registry);
  oxb.AutoConnect = false;
  TclsStationInfo info(registry);
  info.AutoConnect = false;
  TclsMyInfo my(registry);
  my.AutoConnect = false;
  EXPECT_EQ(ErrorOf([&] { oxb.GetPacket(); }), kExpectedText);
  EXPECT_EQ(ErrorOf([&] { oxb.RedrawMap(); }), kExpectedText);
  EXPECT_EQ(ErrorOf([&] { info.SetCallsign(u"N0CALL"); }), kExpectedText);
  EXPECT_EQ(ErrorOf([&] { my.GetMyCallsign(); }), kExpectedText);
  EXPECT_EQ(started, 0);  // nothing was started behind the user's back
}

TEST_F(TRegistryFixture, FirstUseConnectsAndTheHostStartsOnce) {
  TclsMyInfo my(registry);
  TclsStationInfo info(registry);
  EXPECT_FALSE(my.Connected());
  EXPECT_EQ(host::NarrowText(my.GetMyCallsign()), "N0CALL");
  EXPECT_TRUE(my.Connected());
  info.SetCallsign(u"N1CALL");
  EXPECT_EQ(host::NarrowText(info.GetCallsign()), "N1CALL");
  EXPECT_EQ(started, 1);
  EXPECT_EQ(registry.Running(), server);
}

TEST(HostRegistry, NoHostToStartGivesTheNotConnectedText) {
  THostRegistry registry;
  TclsOxb oxb(registry);
  EXPECT_EQ(ErrorOf([&] { oxb.Connect(); }), kExpectedText);
  EXPECT_FALSE(oxb.Connected());
}

TEST_F(TRegistryFixture, RunningInstanceDoesNotStartAHost) {
  TclsOxb oxb(registry);
  oxb.ConnectKind = TConnectKind::ckRunningInstance;
  EXPECT_EQ(ErrorOf([&] { oxb.Connect(); }), kExpectedText);
  EXPECT_EQ(started, 0);
  registry.RunningOrNew();
  oxb.Connect();
  EXPECT_TRUE(oxb.Connected());
}

TEST_F(TRegistryFixture, HostWithoutApplicationObjectLeavesTheWrapperUnconnected) {
  server->NoOxb = true;
  TclsOxb oxb(registry);
  EXPECT_EQ(ErrorOf([&] { oxb.Connect(); }), kExpectedText);
  EXPECT_FALSE(oxb.Connected());
  server->NoOxb = false;
  oxb.Connect();  // a later attempt works
  EXPECT_TRUE(oxb.Connected());
}

TEST_F(TRegistryFixture, EachEventReachesItsOwnHandler) {
  TclsOxb oxb(registry);
  oxb.AutoConnect = false;
  oxb.Connect();
  std::vector<int> calls;
  TclsOxb::TNotify* handlers[] = {&oxb.OnDataAvailable,    &oxb.OnNotifyBeacon,        &oxb.OnOxbel32IsClosing,
                                  &oxb.OnNotifyDXSpot,     &oxb.OnNotifyRemoteCommand, &oxb.OnNotifyTelemetry,
                                  &oxb.OnNotifyBeaconData, &oxb.OnNotifyDelete,        &oxb.OnNotifyDeleteAllStations,
                                  &oxb.OnNotifyAck,        &oxb.OnNotifyMessage};
  for (int i = 0; i < 11; ++i)
    *handlers[i] = [&calls, &oxb, i](TclsOxb& sender) {
      EXPECT_EQ(&sender, &oxb);
      calls.push_back(i + 1);
    };
  for (int id = 1; id <= 11; ++id) server->Raise(static_cast<TOxbEvent>(id));
  EXPECT_EQ(calls, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));

  // An event without a handler is ignored.
  oxb.OnNotifyAck = nullptr;
  calls.clear();
  server->Raise(TOxbEvent::NotifyAck);
  EXPECT_TRUE(calls.empty());
}

TEST_F(TRegistryFixture, DataAvailableHandlerCanFetchThePacket) {
  TclsOxb oxb(registry);
  oxb.Connect();
  std::string text;
  oxb.OnDataAvailable = [&text](TclsOxb& sender) { text = NarrowText(sender.GetPacket()); };
  server->Hear("1 12:00:00 N0CALL>APRS <UI>:>hi\r\n");
  EXPECT_EQ(text, "1 12:00:00 N0CALL>APRS <UI>:>hi\r\n");
}

TEST_F(TRegistryFixture, HandlerThatReplacesItselfRunsToItsEnd) {
  TclsOxb oxb(registry);
  oxb.Connect();
  std::string seen;
  oxb.OnOxbel32IsClosing = [&seen, marker = std::string("closing")](TclsOxb& sender) {
    sender.OnOxbel32IsClosing = nullptr;  // destroys this very function object's original
    seen = marker;                        // the captured text must still be alive
  };
  server->Raise(TOxbEvent::Oxbel32IsClosing);
  EXPECT_EQ(seen, "closing");
}

TEST_F(TRegistryFixture, DisconnectAndDestructionUnadviseTheSink) {
  {
    TclsOxb oxb(registry);
    oxb.Connect();
    EXPECT_EQ(server->Sinks.size(), 1U);
    oxb.Disconnect();
    EXPECT_TRUE(server->Sinks.empty());
    EXPECT_FALSE(oxb.Connected());
    oxb.Connect();
    EXPECT_EQ(server->Sinks.size(), 1U);
  }
  EXPECT_TRUE(server->Sinks.empty());
}

TEST_F(TRegistryFixture, FailedUnadviseStillDisconnects) {
  TclsOxb oxb(registry);
  oxb.Connect();
  server->FailUnadvise = true;
  EXPECT_THROW(oxb.Disconnect(), std::runtime_error);
  EXPECT_FALSE(oxb.Connected());
  server->FailUnadvise = false;
  oxb.Connect();  // can connect again
  EXPECT_TRUE(oxb.Connected());
  oxb.RedrawMap();
  EXPECT_EQ(server->CountOf("RedrawMap"), 1U);
}

TEST_F(TRegistryFixture, MissingMapIsAnError) {
  server->Map = nullptr;
  TclsOxb oxb(registry);
  EXPECT_THROW(oxb.GetMap(), std::runtime_error);
}

TEST(HostText, WideTextNarrowsByteForByte) {
  EXPECT_EQ(NarrowText(u"A\u00e9\u20ac"), std::string("A\xe9?"));
  EXPECT_EQ(WidenText(std::string("A\xe9\0b", 4)), (WideString{u'A', u'\u00e9', u'\0', u'b'}));
}

}  // namespace
}  // namespace host
