// PHG, RNG, DFS, the default PHG and station capabilities, through ParsePacket.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "APRSParser.h"
#include "ParserGuards.h"
#include "RowName.h"

using namespace aprs;

namespace {

constexpr float kMiles = 0.005F;  // ranges are checked to the hundredth of a mile

// A fixed station heard over radio, so that the default PHG applies when nothing else does.
const std::string kFixedRadio = "N0CALL>APRS,WIDE1-1:!4903.50N/07201.75W-";

struct PhgCase {
  const char* name;
  std::string line{};
  bool has = true;
  const char* phg = "";
  int power = 0;
  int haat = 0;
  int gain = 0;
  int heading = 0;
  const char* headingName = "";
  float range = 0.0F;
  int beaconRate = 0;
  bool nonStandard = false;
  bool defaultPhg = false;
};

// clang-format off
const std::vector<PhgCase> kPhgCases = {
    {.name = "phg at start", .line = kFixedRadio + "PHG5132/Club station", .phg = "PHG5132", .power = 25,
     .haat = 20, .gain = 3, .heading = 90, .headingName = "E", .range = 7.95F},
    {.name = "lower case", .line = kFixedRadio + "phg2360", .phg = "PHG2360", .power = 4, .haat = 80, .gain = 6,
     .headingName = "OMNI", .range = 14.23F},
    {.name = "beacon rate", .line = kFixedRadio + "PHG51324", .phg = "PHG51324", .power = 25, .haat = 20,
     .gain = 3, .heading = 90, .headingName = "E", .range = 7.95F, .beaconRate = 4},
    {.name = "fifth not a digit", .line = kFixedRadio + "PHG5132A", .phg = "PHG5132", .power = 25, .haat = 20,
     .gain = 3, .heading = 90, .headingName = "E", .range = 7.95F},
    {.name = "spaces trimmed", .line = kFixedRadio + "PHG 5132", .phg = "PHG5132", .power = 25, .haat = 20,
     .gain = 3, .heading = 90, .headingName = "E", .range = 7.95F},
    {.name = "in mid comment", .line = kFixedRadio + "Mobile PHG5132", .phg = "PHG5132", .power = 25, .haat = 20,
     .gain = 3, .heading = 90, .headingName = "E", .range = 7.95F, .nonStandard = true},
    {.name = "mic-e radio byte first", .line = "N0CALL>APRS,WIDE1-1:!4903.50N/07201.75W-]PHG5132", .phg = "PHG5132",
     .power = 25, .haat = 20, .gain = 3, .heading = 90, .headingName = "E", .range = 7.95F, .nonStandard = true},
    // Found but not four digits: flagged, then the default PHG as for any station without one.
    {.name = "mid comment not digits", .line = kFixedRadio + "see PHGxyz", .power = 10, .haat = 20, .gain = 3,
     .headingName = "OMNI", .range = 6.32F, .nonStandard = true, .defaultPhg = true},
    {.name = "mid comment too short", .line = kFixedRadio + "see PHG51", .power = 10, .haat = 20, .gain = 3,
     .headingName = "OMNI", .range = 6.32F, .nonStandard = true, .defaultPhg = true},
    {.name = "too short", .line = kFixedRadio + "PHG51", .has = false},
    // Not digit-checked at the start: power digit 1 by default, the rest 0.
    {.name = "letters", .line = kFixedRadio + "PHGabcd", .phg = "PHGabcd", .power = 1, .haat = 10,
     .headingName = "OMNI", .range = 1.78F},
    {.name = "directivity nine", .line = kFixedRadio + "PHG5139", .phg = "PHG5139", .power = 25, .haat = 20,
     .gain = 3, .headingName = "OMNI", .range = 7.95F},
    {.name = "directivity eight", .line = kFixedRadio + "PHG5138", .phg = "PHG5138", .power = 25, .haat = 20,
     .gain = 3, .heading = 360, .headingName = "N", .range = 7.95F},
    {.name = "rng", .line = kFixedRadio + "RNG0050", .phg = "RNG0050", .range = 50.0F},
    {.name = "rng not a number", .line = kFixedRadio + "rngab12", .phg = "RNGab12"},
    {.name = "rng too short", .line = kFixedRadio + "RNG12", .has = false},
    {.name = "phg after rng wins", .line = kFixedRadio + "RNG0050 PHG5132", .phg = "PHG5132", .power = 25,
     .haat = 20, .gain = 3, .heading = 90, .headingName = "E", .range = 7.95F, .nonStandard = true},
    {.name = "lone phg gets the default", .line = kFixedRadio + "PHG", .power = 10, .haat = 20, .gain = 3,
     .headingName = "OMNI", .range = 6.32F, .defaultPhg = true},
    {.name = "default fixed", .line = kFixedRadio + "Hello", .power = 10, .haat = 20, .gain = 3,
     .headingName = "OMNI", .range = 6.32F, .defaultPhg = true},
    {.name = "default mobile", .line = "N0CALL>APRS,WIDE1-1:!4903.50N/07201.75W>", .power = 10, .haat = 10,
     .gain = 3, .headingName = "OMNI", .range = 4.47F, .defaultPhg = true},
    {.name = "df report also gets the default", .line = kFixedRadio + "DFS2360", .power = 10, .haat = 20,
     .gain = 3, .headingName = "OMNI", .range = 6.32F, .defaultPhg = true},
    {.name = "no default over the internet", .line = "N0CALL>APRS,TCPIP*,qAC,T2TEST:!4903.50N/07201.75W-",
     .has = false},
    {.name = "no default for a beacon", .line = "N0CALL>APRS,WIDE1-1:Hello from EM29", .has = false},
    {.name = "no default without a position", .line = "N0CALL>APRS,WIDE1-1:!9903.50N/07201.75W-", .has = false},
    {.name = "telemetry holds no phg", .line = "N0CALL>APRS,WIDE1-1:T#001,PHG5132", .has = false},
    {.name = "third party holds no phg", .line = "N0CALL>APRS,WIDE1-1:}X>Y:!4903.50N/07201.75W-PHG5132",
     .has = false},
    // The station's own compressed range byte is kept, not replaced by the default.
    {.name = "compressed range kept", .line = "N0CALL>APRS,WIDE1-1:=/5L!!<*e7-{?!", .range = 20.13F},
    {.name = "compressed range then phg", .line = "N0CALL>APRS,WIDE1-1:=/5L!!<*e7-{?!PHG5132", .phg = "PHG5132",
     .power = 25, .haat = 20, .gain = 3, .heading = 90, .headingName = "E", .range = 7.95F},
    {.name = "station capabilities", .line = "N0CALL>APRS,WIDE1-1:<IGATE,MSG_CNT=43,LOC_CNT=14"},
};
// clang-format on

class PhgTableTest : public ::testing::TestWithParam<PhgCase> {};

TEST_P(PhgTableTest, GivesTheCapabilities) {
  const PhgCase& c = GetParam();
  const std::string line = c.line;
  const auto p = ParsePacket(line);
  ASSERT_NE(p, nullptr);
  const TStationCapabilitiesRec& caps = p->Capabilities;
  EXPECT_EQ(caps.HasCapabilities, c.has);
  EXPECT_EQ(caps.PhgString, c.phg);
  EXPECT_EQ(caps.Power, c.power);
  EXPECT_EQ(caps.Antenna.Haat, c.haat);
  EXPECT_EQ(caps.Antenna.Gain, c.gain);
  EXPECT_EQ(caps.Antenna.Heading, c.heading);
  EXPECT_EQ(caps.Antenna.HeadingName, c.headingName);
  EXPECT_NEAR(caps.Range, c.range, kMiles);
  EXPECT_EQ(caps.BeaconRate, c.beaconRate);
  EXPECT_EQ(caps.PhgNonStandard, c.nonStandard);
  EXPECT_EQ(caps.DefaultPhg, c.defaultPhg);
}

INSTANTIATE_TEST_SUITE_P(Lines, PhgTableTest, ::testing::ValuesIn(kPhgCases), tarvik::test::TRowName());

struct DfsCase {
  const char* name;
  std::string comment{};
  bool has = true;
  const char* dfs = "";
  int signal = 0;
  int power = 0;
  int haat = 0;
  int gain = 0;
  int heading = 0;
  const char* headingName = "";
  float range = 0.0F;
};

// clang-format off
const std::vector<DfsCase> kDfsCases = {
    {.name = "dfs", .comment = "DFS2360", .dfs = "DFS2360", .signal = 2, .power = 25, .haat = 80, .gain = 6,
     .headingName = "OMNI", .range = 22.49F},
    {.name = "signal zero is one", .comment = "dfs0360/DF", .dfs = "DFS0360", .signal = 1, .power = 100, .haat = 80,
     .gain = 6, .headingName = "OMNI", .range = 31.81F},
    {.name = "signal three", .comment = "DFS3122", .dfs = "DFS3122", .signal = 3, .power = 9, .haat = 20, .gain = 2,
     .heading = 90, .headingName = "E", .range = 6.16F},
    // 10 / 4 = 2.5 rounds to the even 2: power 4, not 9.
    {.name = "signal four rounds half to even", .comment = "DFS4000", .dfs = "DFS4000", .signal = 4, .power = 4,
     .haat = 10, .headingName = "OMNI", .range = 2.51F},
    {.name = "all nines", .comment = "DFS9999", .dfs = "DFS9999", .signal = 9, .power = 1, .haat = 5120, .gain = 9,
     .headingName = "OMNI", .range = 113.81F},
    {.name = "letters", .comment = "DFSabcd", .dfs = "DFSabcd", .signal = 1, .power = 100, .haat = 10,
     .headingName = "OMNI", .range = 5.62F},
    {.name = "too short", .comment = "DFS23", .has = false},
    {.name = "not at the start", .comment = "x DFS2360", .has = false},
};
// clang-format on

class DfsTableTest : public ::testing::TestWithParam<DfsCase> {};

TEST_P(DfsTableTest, GivesTheReport) {
  const DfsCase& c = GetParam();
  const std::string line = kFixedRadio + c.comment;
  const auto p = ParsePacket(line);
  ASSERT_NE(p, nullptr);
  const TDFReportRec& df = p->DFReport;
  EXPECT_EQ(df.HasReport, c.has);
  EXPECT_EQ(df.DfsString, c.dfs);
  EXPECT_EQ(df.Signal, c.signal);
  EXPECT_EQ(df.Power, c.power);
  EXPECT_EQ(df.Antenna.Haat, c.haat);
  EXPECT_EQ(df.Antenna.Gain, c.gain);
  EXPECT_EQ(df.Antenna.Heading, c.heading);
  EXPECT_EQ(df.Antenna.HeadingName, c.headingName);
  EXPECT_NEAR(df.Range, c.range, kMiles);
}

INSTANTIATE_TEST_SUITE_P(Lines, DfsTableTest, ::testing::ValuesIn(kDfsCases), tarvik::test::TRowName());

TEST(RadioRange, Formula) {
  EXPECT_NEAR(RadioRange(25, 20, 2), 7.95F, kMiles);
  EXPECT_NEAR(RadioRange(4, 80, 4), 14.23F, kMiles);
  EXPECT_NEAR(RadioRange(10, 10, 2), 4.47F, kMiles);
  EXPECT_NEAR(RadioRange(10, 20, 2), 6.32F, kMiles);
  EXPECT_EQ(RadioRange(0, 20, 2), 0.0F);
  EXPECT_EQ(RadioRange(-25, 20, 2), 0.0F);  // no NaN from nonsense input
  EXPECT_EQ(RadioRange(25, -20, 2), 0.0F);
}

TEST(DecodePhg, GainDigitGivesWholeGainRatios) {
  // 10^(g/10) rounded: 1, 1, 2, 2, 3, 3, 4, 5, 6, 8.
  const int ratios[10] = {1, 1, 2, 2, 3, 3, 4, 5, 6, 8};
  for (int g = 0; g <= 9; ++g) {
    TAprsPacket p;
    p.Comment = "PHG10" + std::to_string(g) + "0";
    DecodePhg(p);
    EXPECT_EQ(p.Capabilities.Antenna.Gain, g);
    EXPECT_FLOAT_EQ(p.Capabilities.Range, RadioRange(1, 10, ratios[g])) << "gain " << g;
  }
}

TEST(DecodePhg, HeightDigitDoublesTheHeight) {
  int expected = 10;
  for (int h = 0; h <= 9; ++h, expected *= 2) {
    TAprsPacket p;
    p.Comment = "PHG1" + std::to_string(h) + "00";
    DecodePhg(p);
    EXPECT_EQ(p.Capabilities.Antenna.Haat, expected) << "height " << h;
  }
}

TEST(DecodePhg, EveryHeadingHasItsName) {
  const char* names[9] = {"OMNI", "NE", "E", "SE", "S", "SW", "W", "NW", "N"};
  for (int d = 0; d <= 8; ++d) {
    TAprsPacket p;
    p.Comment = "PHG100" + std::to_string(d);
    DecodePhg(p);
    EXPECT_EQ(p.Capabilities.Antenna.Heading, d * 45);
    EXPECT_EQ(p.Capabilities.Antenna.HeadingName, names[d]);
  }
}

// A status report's beam heading and power are the station's own: the default must not replace them.
TEST(DecodePhg, KeepsRangeDataTheDecoderFound) {
  TAprsPacket p;
  p.DataType = TAprsDataType::dtStatus;
  p.Position.Valid = true;
  p.Capabilities.Antenna.Heading = 110;
  p.Capabilities.Power = 490;
  p.Capabilities.HasCapabilities = true;
  p.Comment = "Net tonight";
  DecodePhg(p);
  EXPECT_FALSE(p.Capabilities.DefaultPhg);
  EXPECT_EQ(p.Capabilities.Antenna.Heading, 110);
  EXPECT_EQ(p.Capabilities.Power, 490);
  EXPECT_EQ(p.Capabilities.Range, 0.0F);

  // A PHG of its own still replaces the fields it carries.
  p.Comment = "PHG5132";
  DecodePhg(p);
  EXPECT_EQ(p.Capabilities.Power, 25);
  EXPECT_EQ(p.Capabilities.Antenna.Heading, 90);
}

TEST(DecodePhg, StrictCheckingLooksOnlyAtTheStart) {
  ASSERT_TRUE(RelaxedPhgChecking);
  std::unique_ptr<TAprsPacket> p;
  std::unique_ptr<TAprsPacket> start;
  {
    const aprs::testing::RelaxedPhgSetting strict(false);
    p = ParsePacket(kFixedRadio + "Mobile PHG5132");
    start = ParsePacket(kFixedRadio + "PHG5132");
  }
  ASSERT_NE(p, nullptr);
  EXPECT_FALSE(p->Capabilities.PhgNonStandard);
  EXPECT_TRUE(p->Capabilities.DefaultPhg);
  EXPECT_EQ(p->Capabilities.PhgString, "");
  ASSERT_NE(start, nullptr);
  EXPECT_EQ(start->Capabilities.PhgString, "PHG5132");
}

TEST(DecodeStationCaps, KeepsTheTextAsRawData) {
  const auto p = ParsePacket("N0CALL>APRS,WIDE1-1:<IGATE,MSG_CNT=43,LOC_CNT=14");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->DataType, TAprsDataType::dtStationCaps);
  EXPECT_EQ(p->Capabilities.RawData, "IGATE,MSG_CNT=43,LOC_CNT=14");
  EXPECT_TRUE(p->Capabilities.HasCapabilities);
  const auto other = ParsePacket(kFixedRadio + "PHG5132");
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(other->Capabilities.RawData, "");
}

// Every prefix of extension comments, in exact-size comments.
TEST(Extensions, TruncatedCommentsNeverReadPastTheEnd) {
  const std::vector<std::string> comments = {"PHG51324", "x PHG5132", "RNG0050",
                                             "DFS2360",  "phg",       "PHG\xFF\xFE\x80\x81"};
  for (const std::string& full : comments) {
    for (std::size_t n = 0; n <= full.size(); ++n) {
      TAprsPacket p;
      p.Comment = full.substr(0, n);
      p.Comment.shrink_to_fit();
      DecodePhg(p);
      DecodeDfs(p);
      EXPECT_FALSE(p.Capabilities.DefaultPhg);  // no position: never the default
    }
  }
}

}  // namespace
