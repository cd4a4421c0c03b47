#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "APRSParser.h"
#include "ParserGuards.h"
#include "RowName.h"

using namespace aprs;

namespace {

struct HeaderCase {
  const char* name;
  const char* line;
  const char* source;
  const char* call;
  const char* dest;
  std::vector<std::string> digis;
  bool heardDirectly;
  int hops;
  const char* reversePath;
  TAprsDataType type;
  const char* infoField;
};

// clang-format off
const std::vector<HeaderCase> kHeaderCases = {
    {"plain", "N0CALL>APRS,WIDE1-1,WIDE2-2:!4903.50N/07201.75W-Test", "N0CALL", "N0CALL", "APRS",
     {"WIDE1-1", "WIDE2-2"}, true, 0, "", TAprsDataType::dtPosition, "4903.50N/07201.75W-Test"},
    {"used digi", "N0CALL>APRS,DIGI1*,WIDE2-2:!4903.50N/07201.75W-Test", "N0CALL", "N0CALL", "APRS",
     {"DIGI1*", "WIDE2-2"}, false, 1, "DIGI1", TAprsDataType::dtPosition, "4903.50N/07201.75W-Test"},
    {"used wide without star", "N0CALL>APRS,WIDE1-1,WIDE2-1:!4903.50N/07201.75W-Test", "N0CALL", "N0CALL", "APRS",
     {"WIDE1-1", "WIDE2-1"}, false, 1, "", TAprsDataType::dtPosition, "4903.50N/07201.75W-Test"},
    // A used element counts the digit before its "*": DIGI1* 1, DIGI2* 2, WIDE2* 2.
    {"two digis reversed", "K1ABC-9>APRS,DIGI1*,DIGI2*,WIDE2*:>hi", "K1ABC-9", "K1ABC", "APRS",
     {"DIGI1*", "DIGI2*", "WIDE2*"}, false, 5, "DIGI2,DIGI1", TAprsDataType::dtStatus, "hi"},
    {"star after nine characters", "N0CALL-12*>APRS:>x", "N0CALL-12", "N0CALL", "APRS", {}, true, 0, "",
     TAprsDataType::dtStatus, "x"},
    {"beacon", "N0CALL>APRS:hello", "N0CALL", "N0CALL", "APRS", {}, true, 0, "", TAprsDataType::dtBeacon, "hello"},
    {"empty info", "N0CALL>APRS:", "N0CALL", "N0CALL", "APRS", {}, true, 0, "", TAprsDataType::dtBeacon, ""},
    {"space info is beacon", "N0CALL>APRS: x", "N0CALL", "N0CALL", "APRS", {}, true, 0, "", TAprsDataType::dtBeacon,
     " x"},
    {"internet", "N0CALL>APRS,TCPIP*,qAC,T2TEST:>x", "N0CALL", "N0CALL", "APRS", {"TCPIP*", "qAC", "T2TEST"}, false,
     0, "", TAprsDataType::dtStatus, "x"},
    {"double comma ends path", "N0CALL>APRS,A,,B:>x", "N0CALL", "N0CALL", "APRS", {"A"}, true, 0, "",
     TAprsDataType::dtStatus, "x"},
    {"lower case source", "n0call-a5>apRS:>x", "N0CALL-A5", "N0CALL-A", "APRS", {}, true, 0, "",
     TAprsDataType::dtStatus, "x"},
    {"wide3-1 counts two", "N0CALL>APRS,WIDE3-1:>x", "N0CALL", "N0CALL", "APRS", {"WIDE3-1"}, false, 2, "",
     TAprsDataType::dtStatus, "x"},
    {"wide3 star counts three", "N0CALL>APRS,RELAY,WIDE3*:>x", "N0CALL", "N0CALL", "APRS", {"RELAY", "WIDE3*"},
     false, 3, "", TAprsDataType::dtStatus, "x"},
    {"mic-e current", "N0CALL>APRS:\x1Cxyz", "N0CALL", "N0CALL", "APRS", {}, true, 0, "",
     TAprsDataType::dtMicECurrent, "xyz"},
};
// clang-format on

class HeaderTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderTest, GivesTheHeaderFields) {
  const HeaderCase& c = GetParam();
  const auto p = ParsePacket(c.line);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Source.Callsign, c.source);
  EXPECT_EQ(p->Source.Call, c.call);
  EXPECT_EQ(p->DestCallsign, c.dest);
  EXPECT_EQ(p->Digipeaters, c.digis);
  EXPECT_EQ(p->HeardDirectly, c.heardDirectly);
  EXPECT_EQ(p->HopCount, c.hops);
  EXPECT_EQ(p->ReversePath, c.reversePath);
  EXPECT_EQ(p->DataType, c.type);
  EXPECT_EQ(p->InfoField, c.infoField);
  EXPECT_TRUE(p->IsValid);
  EXPECT_TRUE(p->TimeStampValid);
  EXPECT_EQ(p->TimeStamp, p->Received);
}

INSTANTIATE_TEST_SUITE_P(Lines, HeaderTest, ::testing::ValuesIn(kHeaderCases), tarvik::test::TRowName());

TEST(ParsePacket, RejectsLinesOfTheWrongShape) {
  const std::vector<std::string> rejected = {
      "N0CALL-123>APRS:>x",  // ten characters before ">" and no "*"
      "N0CALL:>APRS>x",      // ":" before ">"
      "N0CALL APRS:>x",      // no ">"
      "N0CALL>APRS",         // no ":"
      "",
      ">",
      ":",
      "N0CALL-123*>APRS:>x",  // the "*" allows ten, not eleven
  };
  for (const std::string& line : rejected) EXPECT_EQ(ParsePacket(line), nullptr) << line;
  // A nine-character callsign followed by "*": ">" at position 11 is accepted.
  EXPECT_NE(ParsePacket("N0CALL-12*>APRS:>x"), nullptr);
}

TEST(ParsePacket, PortPartLeavesHeaderButStaysInRawPacket) {
  const auto p = ParsePacket("N0CALL>APRS,WIDE2-2 Port=1 <UI>:>status");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Header, "N0CALL>APRS,WIDE2-2");
  EXPECT_EQ(p->RawPacket, "N0CALL>APRS,WIDE2-2 Port=1:>status");
  EXPECT_EQ(p->InfoField, "status");
  EXPECT_EQ(p->DestCallsign, "APRS");
  EXPECT_EQ(p->Digipeaters, std::vector<std::string>{"WIDE2-2"});
}

TEST(ParsePacket, InternetPathFlags) {
  const auto tcpxx = ParsePacket("N0CALL>APRS,TCPXX*,qAX,T2TEST:>x");
  ASSERT_NE(tcpxx, nullptr);
  EXPECT_TRUE(tcpxx->ViaTcpXX);
  EXPECT_TRUE(tcpxx->ViaInternet);
  EXPECT_EQ(tcpxx->HopCount, 0);

  const auto tcpip = ParsePacket("N0CALL>APRS,TCPIP*:>x");
  ASSERT_NE(tcpip, nullptr);
  EXPECT_FALSE(tcpip->ViaTcpXX);
  EXPECT_TRUE(tcpip->ViaInternet);
  EXPECT_TRUE(tcpip->ReversePath.empty());

  const auto radio = ParsePacket("N0CALL>APRS,DIGI*:>x");
  ASSERT_NE(radio, nullptr);
  EXPECT_FALSE(radio->ViaInternet);
}

TEST(ParsePacket, UsesThePinnedClockOnce) {
  const auto p = [] {
    const aprs::testing::PinnedClock clock(36526.5);
    return ParsePacket("N0CALL>APRS:>x");
  }();
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Received, 36526.5);
  EXPECT_EQ(p->TimeStamp, 36526.5);
}

TEST(ParsePacket, SameLineTwiceGivesTheSamePacket) {
  const aprs::testing::PinnedClock clock(40000.25);
  const auto a = ParsePacket("N0CALL>APRS,DIGI1*,WIDE2-1:!4903.50N/07201.75W-PHG5132 Test");
  const auto b = ParsePacket("N0CALL>APRS,DIGI1*,WIDE2-1:!4903.50N/07201.75W-PHG5132 Test");
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(a->AsText(tsAll), b->AsText(tsAll));
  EXPECT_EQ(a->Comment, b->Comment);
  EXPECT_EQ(a->Capabilities.Range, b->Capabilities.Range);
  EXPECT_EQ(a->Position.Latitude.Value, b->Position.Latitude.Value);
}

TEST(ParsePacket, HostileBytesNeverCrash) {
  std::vector<std::string> lines = {
      std::string("N0CALL>APRS:\0\0\0", 15),
      std::string("N0\0ALL>APRS:!\0", 14),
      std::string(10000, 'A'),
      "N0CALL>APRS:" + std::string(10000, '!'),
      "N0CALL>" + std::string(10000, ',') + ":x",
      "<UI",
      "<<UI>>:",
      "A>B<UI>:x",
      "A>B <<UI>>:x",
      ":<UI>x",
      "A>B,Port=:x",
      "Port=A>B:x",
  };
  std::string high;
  for (int c = 128; c < 256; ++c) high += static_cast<char>(c);
  lines.push_back("N0CALL>APRS:" + high);
  lines.push_back(high + ">" + high + ":" + high);
  for (const std::string& line : lines) {
    const std::string exact = line;  // exact-size copy so that a read past the end shows up under ASan
    (void)ParsePacket(exact);
  }
  SUCCEED();
}

TEST(StripUiTag, RemovesTheFrameTag) {
  struct Case {
    const char* in;
    const char* out;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"A>B:x", "A>B:x"},
      {"A>B <UI>:x  ", "A>B:x"},
      {"A>B <UI R>:x", "A>B:x"},
      {"A>B <<UI>>:x", "A>B:x"},
      {"A>B:x<UI>:y", "A>B:y"},  // colon before the tag: the tail starts at the tag's ">:"
      {"A>B <UI>", ""},  // no colon at all: nothing is left to parse
  };
  // clang-format on
  for (const Case& c : cases) EXPECT_EQ(StripUiTag(c.in), c.out) << c.in;
}

TEST(DataTypeOf, MapsIdentifiers) {
  EXPECT_EQ(DataTypeOf(""), TAprsDataType::dtBeacon);
  EXPECT_EQ(DataTypeOf(" "), TAprsDataType::dtBeacon);
  EXPECT_EQ(DataTypeOf("x"), TAprsDataType::dtBeacon);
  EXPECT_EQ(DataTypeOf("!"), TAprsDataType::dtPosition);
  EXPECT_EQ(DataTypeOf("`"), TAprsDataType::dtMicE);
  EXPECT_EQ(DataTypeOf("'"), TAprsDataType::dtTMD700);
  EXPECT_EQ(DataTypeOf("\x1D"), TAprsDataType::dtMicEOld);
  EXPECT_EQ(DataTypeOf("}"), TAprsDataType::dtThirdParty);
  EXPECT_EQ(DataTypeOf("T#001"), TAprsDataType::dtTelemetry);
}

TEST(SplitCallsign, SplitsNumericSsids) {
  EXPECT_EQ(SplitCallsign("N0CALL-12").Call, "N0CALL");
  EXPECT_EQ(SplitCallsign("N0CALL").Call, "N0CALL");
  EXPECT_EQ(SplitCallsign("N0CALL-A5").Call, "N0CALL-A");
  EXPECT_EQ(SplitCallsign("n0call-1").Callsign, "N0CALL-1");
  EXPECT_EQ(SplitCallsign("").Call, "");
  EXPECT_EQ(SplitCallsign("-5").Call, "");
  EXPECT_EQ(SplitCallsign("123-5").Call, "123");
}

TEST(NextToken, CutsTrimmedTokens) {
  std::string s = " AB , CD,EF ";
  EXPECT_EQ(NextToken(s, ","), "AB");
  EXPECT_EQ(s, "CD,EF");
  EXPECT_EQ(NextToken(s, ","), "CD");
  EXPECT_EQ(NextToken(s, ","), "EF");
  EXPECT_EQ(s, "");
  EXPECT_EQ(NextToken(s, ","), "");

  // A leading delimiter gives an empty first token.
  std::string entry = " N0CALL-9  >APRS:x";
  EXPECT_EQ(NextToken(entry, ", <>:"), "");
  EXPECT_EQ(NextToken(entry, ", <>:"), "N0CALL-9");
  EXPECT_EQ(entry, ">APRS:x");
}

TEST(APRSData, FreshPacketDefaults) {
  const TAprsPacket p;
  EXPECT_TRUE(p.HeardDirectly);
  EXPECT_TRUE(p.Digipeaters.empty());
  EXPECT_EQ(p.DataType, TAprsDataType::dtUnknown);
  EXPECT_EQ(p.Received, 0.0);
  EXPECT_EQ(p.TimeStamp, 0.0);
  EXPECT_EQ(p.WxTime, 0.0);
  EXPECT_FALSE(p.Position.Valid);
  EXPECT_FALSE(p.IsValid);
}

TEST(APRSData, DataTypeCharAndText) {
  TAprsPacket p;
  p.DataType = TAprsDataType::dtMicECurrent;
  EXPECT_EQ(p.DataTypeChar(), '\x1C');
  EXPECT_EQ(p.DataTypeText(), "Current Mic-E Data (Rev 0 beta)");
  p.DataType = TAprsDataType::dtBeacon;
  EXPECT_EQ(p.DataTypeChar(), ' ');
  EXPECT_EQ(p.DataTypeText(), "Beacon");
  p.DataType = TAprsDataType::dtThirdParty;
  EXPECT_EQ(p.DataTypeChar(), '}');
  EXPECT_EQ(DataTypeName(TAprsDataType::dtMaidenheadGridLoc), "dtMaidenheadGridLoc");
  EXPECT_EQ(MessageTypeNames[7], "AutoAnswer");
}

}  // namespace
