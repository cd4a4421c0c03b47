#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "RowName.h"
#include "StationList.h"

using namespace tarvik;
using aprs::TAprsDataType;
using aprs::TAprsPacket;

namespace {

TAprsPacket PhgStation() {
  TAprsPacket p;
  p.Source.Callsign = "N0CALL-9";
  p.DataType = TAprsDataType::dtPosition;
  p.SymbolTable = '/';
  p.SymbolCode = '#';
  p.Capabilities.PhgString = "PHG5132";
  p.Capabilities.Power = 25;
  p.Capabilities.Antenna.Haat = 20;
  p.Capabilities.Antenna.Gain = 3;
  p.Capabilities.Antenna.HeadingName = "NE";
  p.Capabilities.Range = 7.0711F;
  p.Capabilities.HasCapabilities = true;
  p.RawPacket = "N0CALL-9>APRS:!4903.50N/07201.75W#PHG5132";
  return p;
}

struct RowCase {
  const char* name;
  void (*change)(TAprsPacket&);
  std::vector<std::string> texts;
};

// clang-format off
const std::vector<RowCase> kRowCases = {
    {"phg station", [](TAprsPacket&) {},
     {"N0CALL-9", "dtPosition", "/#", "PHG5132", "25", "20", "3", "NE", "7.1",
      "N0CALL-9>APRS:!4903.50N/07201.75W#PHG5132"}},
    {"default phg shows DEFAULT",
     [](TAprsPacket& p) {
       p.Capabilities.PhgString.clear();
       p.Capabilities.DefaultPhg = true;
     },
     {"N0CALL-9", "dtPosition", "/#", "DEFAULT", "25", "20", "3", "NE", "7.1",
      "N0CALL-9>APRS:!4903.50N/07201.75W#PHG5132"}},
    {"no capabilities: empty phg, zeros, 0.0",
     [](TAprsPacket& p) {
       p.DataType = TAprsDataType::dtMicE;
       p.Capabilities = {};
       p.RawPacket = "DF>APRS:x";
     },
     {"N0CALL-9", "dtMicE", "/#", "", "0", "0", "0", "", "0.0", "DF>APRS:x"}},
    {"symbol never sent is left out",
     [](TAprsPacket& p) {
       p.SymbolTable = 0;
       p.SymbolCode = 0;
     },
     {"N0CALL-9", "dtPosition", "", "PHG5132", "25", "20", "3", "NE", "7.1",
      "N0CALL-9>APRS:!4903.50N/07201.75W#PHG5132"}},
    {"negative numbers and 8-bit raw text",
     [](TAprsPacket& p) {
       p.DataType = TAprsDataType::dtObject;
       p.Capabilities.Antenna.Gain = -3;
       p.RawPacket = "N0CALL-9>APRS:;\xE9t\xE9";
     },
     {"N0CALL-9", "dtObject", "/#", "PHG5132", "25", "20", "-3", "NE", "7.1", "N0CALL-9>APRS:;\xE9t\xE9"}},
};
// clang-format on

class StationRowTest : public ::testing::TestWithParam<RowCase> {};

TEST_P(StationRowTest, FillsTheTenColumns) {
  TAprsPacket p = PhgStation();
  GetParam().change(p);
  const TStationRow row = StationRowOf(p);
  ASSERT_EQ(static_cast<std::size_t>(kStationColumnCount), GetParam().texts.size());
  for (int c = 0; c < kStationColumnCount; ++c)
    EXPECT_EQ(GetParam().texts[static_cast<std::size_t>(c)], StationColumnText(row, static_cast<TStationColumn>(c)))
        << "column " << StationColumns[static_cast<std::size_t>(c)].Caption;
  EXPECT_EQ("N0CALL-9", row.Callsign);
  EXPECT_TRUE(row.Attached);
}

INSTANTIATE_TEST_SUITE_P(Rows, StationRowTest, ::testing::ValuesIn(kRowCases), tarvik::test::TRowName());

TEST(StationRows, EveryEntryInCacheOrderWithItsLatestPacket) {
  aprs::TPacketCache cache;
  for (const char* raw : {"W1AW first", "K1ABC", "W1AW second"}) {
    auto p = std::make_unique<TAprsPacket>(PhgStation());
    p->RawPacket = raw;
    p->Source.Callsign = std::string(raw).substr(0, std::string(raw).find(' '));
    cache.Update(std::move(p));
  }
  const std::vector<TStationRow> rows = StationRows(cache);
  ASSERT_EQ(2U, rows.size());
  EXPECT_EQ("W1AW", rows[0].Callsign);
  EXPECT_EQ("W1AW second", rows[0].RawPacket);
  EXPECT_EQ("K1ABC", rows[1].Callsign);
  cache.Clear();
  EXPECT_TRUE(StationRows(cache).empty());
  // The rows are copies: they outlive the entries they came from.
  EXPECT_EQ("W1AW second", StationColumnText(rows[0], scRawPacket));
}

TEST(StationColumns, CaptionsAndWidthsInOrder) {
  // clang-format off
  const std::vector<std::pair<std::string, int>> expected = {
      {"Callsign", 70}, {"Type", 75}, {"Sym", 35},      {"PHG", 65},   {"Power", 50},
      {"Height", 50},   {"Gain", 40}, {"Direction", 60}, {"Range", 50}, {"Raw Packet", 0},
  };
  // clang-format on
  ASSERT_EQ(expected.size(), StationColumns.size());
  for (std::size_t c = 0; c < expected.size(); ++c) {
    EXPECT_EQ(expected[c].first, StationColumns[c].Caption);
    EXPECT_EQ(expected[c].second, StationColumns[c].Width) << expected[c].first;
  }
}

TEST(FormatRange, OneDecimalWithPointWhateverTheLocale) {
  // clang-format off
  const std::vector<std::pair<float, std::string>> cases = {
      {0.0F, "0.0"},   {7.0711F, "7.1"},      {0.25F, "0.2"},  // exact tie: to even
      {0.75F, "0.8"},  {12.95F, "12.9"},      {1234.5F, "1234.5"},
      {99.96F, "100.0"}, {-1.0F, "-1.0"},
  };
  // clang-format on
  for (const auto& [miles, text] : cases) EXPECT_EQ(text, FormatRange(miles)) << miles;
}

TEST(StationCopyText, NoonOnFirstJanuary2000) {
  TAprsPacket p = PhgStation();
  p.Received = 36526.5;
  EXPECT_EQ("36526.5|N0CALL-9>APRS:!4903.50N/07201.75W#PHG5132", StationCopyText(p, "."));
  EXPECT_EQ("36526,5|N0CALL-9>APRS:!4903.50N/07201.75W#PHG5132", StationCopyText(p, ","));
}

TEST(FormatDateTimeNumber, FifteenSignificantDigitsWithoutTrailingZeros) {
  // clang-format off
  const std::vector<std::pair<double, std::string>> cases = {
      {36526.5, "36526.5"},
      {36526.0, "36526"},
      {46000.123456789012345, "46000.1234567890"},
      {0.0, "0"},
      {-1.25, "-1.25"},
  };
  // clang-format on
  for (const auto& [value, text] : cases) {
    std::string expected = text;
    // to_chars keeps no trailing zeros; the last case has one in the literal.
    while (expected.find('.') != std::string::npos && expected.back() == '0') expected.pop_back();
    EXPECT_EQ(expected, FormatDateTimeNumber(value, ".")) << value;
  }
  EXPECT_EQ("46000\u066B25", FormatDateTimeNumber(46000.25, "\u066B"));
}

TEST(StationEntryCallsign, CharactersTwoToTenTrimmedWithoutStar) {
  // clang-format off
  const std::vector<std::pair<std::string, std::string>> cases = {
      {" N0CALL-9  12:00", "N0CALL-9"},
      {" N0CALL-9*", "N0CALL-9"},
      {" N0CALL*  ", "N0CALL"},
      {"*N0CALL-12*", "N0CALL-12"},   // the tenth character is the last one read
      {"          N0CALL", ""},       // blanks in 2..10
      {" *", ""},
      {"", ""},
      {"X", ""},
      {" AB", "AB"},
      {" A**", "A*"},                 // only one star is dropped
  };
  // clang-format on
  for (const auto& [entry, call] : cases) EXPECT_EQ(call, StationEntryCallsign(entry)) << '"' << entry << '"';
}

struct HeaderCase {
  const char* header;
  const char* dest;
  bool viaInternet;
  bool viaTcpXX;
};

TEST(ApplyStationHeader, DestinationAndInternetFlags) {
  // clang-format off
  const std::vector<HeaderCase> cases = {
      {"N0CALL>APRS,WIDE1-1", "APRS", false, false},
      {"n0call>apu25n,tcpip*,qAC,T2", "APU25N", true, false},
      {"N0CALL>APRS,TCPXX*,qAX", "APRS", true, true},
      {"N0CALL>APRS <UI C>", "APRS", true, false},
      {"N0CALL>APRS:", "APRS", false, false},
      {"N0CALL>TCPIP", "TCPIP", false, false},  // only what follows the destination counts
      {"N0CALL>", "", false, false},
      {"N0CALL", "", false, false},
      {"", "", false, false},
  };
  // clang-format on
  for (const HeaderCase& c : cases) {
    TAprsPacket p;
    ApplyStationHeader(c.header, p);
    EXPECT_EQ(c.dest, p.DestCallsign) << c.header;
    EXPECT_EQ(c.viaInternet, p.ViaInternet) << c.header;
    EXPECT_EQ(c.viaTcpXX, p.ViaTcpXX) << c.header;
    EXPECT_TRUE(p.HeardDirectly) << c.header;
    EXPECT_TRUE(p.Digipeaters.empty()) << c.header;
  }
}

// ---- Locate -----------------------------------------------------------------

struct BlinkRecorder {
  const TAprsPacket* station = nullptr;
  std::int32_t ownColor = 0;
  std::vector<std::string> steps;
  // Drops the station after this many waits (-1: never).
  int dropAfterWaits = -1;
  int waits = 0;

  TLocateActions Actions() {
    return {
        [this] { return station; },
        [this](const TAprsPacket&) { return ownColor; },
        [this](const TAprsPacket& p, std::int32_t color) {
          steps.push_back("draw " + p.Source.Callsign + " " + std::to_string(color));
        },
        [this](int ticks) {
          steps.push_back("wait " + std::to_string(ticks));
          if (++waits == dropAfterWaits) station = nullptr;
        },
    };
  }
};

TEST(BlinkRangeCircle, FiveBlinksEndingInTheStationsColour) {
  const TAprsPacket p = PhgStation();
  BlinkRecorder r;
  r.station = &p;
  r.ownColor = 0x008000;
  EXPECT_EQ(10, BlinkRangeCircle(r.Actions()));
  std::vector<std::string> expected;
  for (int i = 0; i < 5; ++i) {
    expected.push_back("draw N0CALL-9 255");
    expected.push_back("wait 5");
    expected.push_back("draw N0CALL-9 32768");
    expected.push_back("wait 4");
  }
  EXPECT_EQ(expected, r.steps);
}

TEST(BlinkRangeCircle, RedStationBlinksBlack) {
  const TAprsPacket p = PhgStation();
  BlinkRecorder r;
  r.station = &p;
  r.ownColor = kLocateColor;
  BlinkRangeCircle(r.Actions());
  ASSERT_EQ(20U, r.steps.size());
  EXPECT_EQ("draw N0CALL-9 0", r.steps[0]);
  EXPECT_EQ("draw N0CALL-9 255", r.steps[2]);
}

TEST(BlinkRangeCircle, StopsWhenTheStationGoesWhileMessagesAreDispatched) {
  const TAprsPacket p = PhgStation();
  for (int drop = 1; drop <= 9; ++drop) {
    BlinkRecorder r;
    r.station = &p;
    r.dropAfterWaits = drop;
    EXPECT_EQ(drop, BlinkRangeCircle(r.Actions())) << "dropped after wait " << drop;
    EXPECT_EQ("wait " + std::string(drop % 2 == 1 ? "5" : "4"), r.steps.back());
  }
}

TEST(BlinkRangeCircle, NothingForAStationAlreadyGone) {
  BlinkRecorder r;
  EXPECT_EQ(0, BlinkRangeCircle(r.Actions()));
  EXPECT_TRUE(r.steps.empty());
}

}  // namespace
