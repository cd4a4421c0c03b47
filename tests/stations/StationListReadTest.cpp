// ReadStationInfo against a recording fake host.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "APRSParser.h"
#include "FakeHost.h"
#include "ParserGuards.h"
#include "StationList.h"

using namespace tarvik;
using aprs::TAprsDataType;
using aprs::TAprsPacket;
using tarvik::test::TFakeHost;

namespace {

constexpr aprs::TDateTime kNow = 46000.25;

class ReadStationInfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registry.SetRunning(server);
    oxb.AutoConnect = false;
    oxb.Connect();
    server->Calls.clear();  // the journal holds what ReadStationInfo asks
  }

  TStationListSink Sink() {
    return {
        [this](const TAprsPacket& p) {
          offered.push_back(p.Source.Callsign);
          return accept;
        },
        [this](std::unique_ptr<TAprsPacket> p) { stored.push_back(std::move(p)); },
        [this](const std::string& line) { log.push_back(line); },
    };
  }

  void Read() { ReadStationInfo(oxb, info, Sink()); }

  std::shared_ptr<TFakeHost> server = std::make_shared<TFakeHost>();
  host::THostRegistry registry;
  host::TclsOxb oxb{registry};
  host::TclsStationInfo info{registry};

  bool accept = true;
  std::vector<std::string> offered;
  std::vector<std::unique_ptr<TAprsPacket>> stored;
  std::vector<std::string> log;

 private:
  aprs::testing::PinnedClock m_clock{kNow};
};

TEST_F(ReadStationInfoTest, BuildsThePacketFromTheStationInformation) {
  // The host answers the callsign in its own spelling: trimmed and upper-cased here.
  server->Entries = {" N0CALL-9*  12:00"};
  server->Stations["N0CALL-9"] = {"n0call-9 ", ">x", "/", "n0call-9>apu25n,tcpip*,qAC,T2:", ">Hello"};
  Read();

  ASSERT_EQ(1U, stored.size());
  const TAprsPacket& p = *stored[0];
  EXPECT_EQ("From Oxbel's Station List", p.RawPacket);
  EXPECT_DOUBLE_EQ(kNow, p.TimeStamp);
  EXPECT_TRUE(p.TimeStampValid);
  EXPECT_DOUBLE_EQ(kNow, p.Received);
  EXPECT_EQ("N0CALL-9", p.Source.Callsign);
  EXPECT_EQ("N0CALL", p.Source.Call);
  EXPECT_EQ('>', p.SymbolCode);
  EXPECT_EQ('/', p.SymbolTable);
  EXPECT_EQ("APU25N", p.DestCallsign);
  EXPECT_TRUE(p.ViaInternet);
  EXPECT_FALSE(p.ViaTcpXX);
  EXPECT_TRUE(p.HeardDirectly);
  EXPECT_EQ(TAprsDataType::dtStatus, p.DataType);
  EXPECT_EQ("Hello", p.InfoField);
  EXPECT_TRUE(p.IsValid);
  EXPECT_TRUE(log.empty());

  const std::vector<std::string> calls = {"GetStationCount", "GetStationEntry 0", "SetCallsign N0CALL-9",
                                          "GetStationInfo N0CALL-9"};
  EXPECT_EQ(calls, server->Calls);
}

TEST_F(ReadStationInfoTest, RejectedPacketsAreDroppedWithoutALogLine) {
  server->AddStation({"N0CALL", "-", "/", "N0CALL>APRS", "!4903.50N/07201.75W-"});
  accept = false;
  Read();
  EXPECT_EQ(std::vector<std::string>{"N0CALL"}, offered);
  EXPECT_TRUE(stored.empty());
  EXPECT_TRUE(log.empty());
}

TEST_F(ReadStationInfoTest, BlankEntriesAreSkippedSilently) {
  server->Entries = {"          12:00", "", "X"};
  server->AddStation({"N0CALL", "-", "/", "N0CALL>APRS", ">ok"});
  Read();
  EXPECT_TRUE(log.empty());
  ASSERT_EQ(1U, stored.size());
  EXPECT_EQ("N0CALL", stored[0]->Source.Callsign);
  for (const std::string& call : server->Calls) EXPECT_NE("SetCallsign ", call);
}

TEST_F(ReadStationInfoTest, AStationWithoutSymbolFailsAloneAndTheRestAreRead) {
  server->AddStation({"AA1AA", "", "/", "AA1AA>APRS", ">a"});
  server->AddStation({"BB1BB", "-", "", "BB1BB>APRS", ">b"});
  server->AddStation({"CC1CC", "-", "/", "CC1CC>APRS", ">c"});
  Read();
  ASSERT_EQ(2U, log.size());
  EXPECT_EQ("Problem in ReadStationInfo: No symbol code for AA1AA", log[0]);
  EXPECT_EQ("Problem in ReadStationInfo: No symbol table for BB1BB", log[1]);
  ASSERT_EQ(1U, stored.size());
  EXPECT_EQ("CC1CC", stored[0]->Source.Callsign);
}

TEST_F(ReadStationInfoTest, AnEntryTheHostCannotGiveIsLogged) {
  server->AddStation({"AA1AA", "-", "/", "AA1AA>APRS", ">a"});
  server->Entries.push_back(" BB1BB");  // GetStationCount counts it
  server->Entries.push_back(" CC1CC");
  server->Stations["CC1CC"] = {"CC1CC", "-", "/", "CC1CC>APRS", ">c"};
  server->Stations.erase("BB1BB");
  Read();
  // BB1BB has no information at the host: no symbol, so it fails on its own.
  ASSERT_EQ(1U, log.size());
  EXPECT_EQ("Problem in ReadStationInfo: No symbol code for BB1BB", log[0]);
  EXPECT_EQ(2U, stored.size());
}

TEST_F(ReadStationInfoTest, AFailingCountReachesTheCaller) {
  server->FailCount = true;
  EXPECT_THROW(Read(), std::runtime_error);
  EXPECT_TRUE(stored.empty());
}

TEST_F(ReadStationInfoTest, AStationObjectThatCannotConnectIsLoggedPerStation) {
  server->AddStation({"AA1AA", "-", "/", "AA1AA>APRS", ">a"});
  server->AddStation({"BB1BB", "-", "/", "BB1BB>APRS", ">b"});
  info.AutoConnect = false;
  Read();
  ASSERT_EQ(2U, log.size());
  EXPECT_EQ(std::string("Problem in ReadStationInfo: ") + host::kNotConnectedText, log[0]);
  EXPECT_TRUE(stored.empty());
}

TEST_F(ReadStationInfoTest, EmptyInfoFieldAndTcpxxHeader) {
  server->AddStation({"N0CALL", "-", "/", "N0CALL>APRS,TCPXX*", ""});
  Read();
  ASSERT_EQ(1U, stored.size());
  EXPECT_EQ("", stored[0]->InfoField);
  EXPECT_TRUE(stored[0]->ViaTcpXX);
  EXPECT_TRUE(stored[0]->ViaInternet);
}

}  // namespace
