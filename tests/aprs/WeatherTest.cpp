#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "APRSParser.h"
#include "DecoderTestSupport.h"
#include "RowName.h"

using namespace aprs;
using aprs::testing::At;
using aprs::testing::ExactText;
using aprs::testing::kPinnedDay;
using aprs::testing::kPinnedNow;
using aprs::testing::PinnedClock;

namespace {

constexpr TDateTime kOct9 = 45574.0;  // 2024-10-09, in the pinned year
constexpr TDateTime kDec25 = 45651.0;
// The pinned time to the second: what a report without a time stamp gets.
const TDateTime kNowToSecond = At(kPinnedDay, 12, 34, 56);

struct WxCase {
  const char* name;
  std::string line;
  TDateTime wxTime;
  int windDirection;
  int windSpeed;
  int windGust;
  int temperature;
  double rainLastHour;
  double rain24Hours;
  double rainSinceMidnight;
  int humidity;
  double pressure;
};

// clang-format off
const std::vector<WxCase> kWxCases = {
    {"report without position", "N0CALL>APRS:_10090556c220s004g005t077r000p000P000h50b09900wRSW",
     At(kOct9, 5, 56, 56), 220, 4, 5, 77, 0.0, 0.0, 0.0, 50, 990.0},
    {"position report", "N0CALL>APRS:!4903.50N/07201.75W_220/004g005t077r001p010P020h99b10132", kNowToSecond, 220,
     4, 5, 77, 0.01, 0.10, 0.20, 99, 1013.2},
    // The wind pair follows the weather symbol: "345/490" of the local-time
    // stamp and the latitude is no wind.
    {"local time stamp", "N0CALL>APRS:@092345/4903.50N/07201.75W_220/004g005", kNowToSecond, 220, 4, 5, 0, 0.0, 0.0,
     0.0, 0, 0.0},
    {"utc time stamp", "N0CALL>APRS:@092345z4903.50N/07201.75W_220/004g005", kNowToSecond, 220, 4, 5, 0, 0.0, 0.0,
     0.0, 0, 0.0},
    {"local stamp without wind pair", "N0CALL>APRS:@092345/4903.50N/07201.75W_g005t050", kNowToSecond, 0, 0, 5, 50,
     0.0, 0.0, 0.0, 0, 0.0},
    {"c and s override the pair", "N0CALL>APRS:_10090556220/004c180s010", At(kOct9, 5, 56, 56), 180, 10, 0, 0, 0.0,
     0.0, 0.0, 0, 0.0},
    {"negative temperature", "N0CALL>APRS:_10090556c220s004g005t-05", At(kOct9, 5, 56, 56), 220, 4, 5, 0, 0.0, 0.0,
     0.0, 0, 0.0},
    {"dots and spaces are no data", "N0CALL>APRS:_10090556c...s   g...t...r...p   P...h..b.....", At(kOct9, 5, 56, 56),
     0, 0, 0, 0, 0.0, 0.0, 0.0, 0, 0.0},
    {"first group counts", "N0CALL>APRS:_10090556b.....b10132t077t088g...g005h..h50", At(kOct9, 5, 56, 56), 0, 0, 0,
     77, 0.0, 0.0, 0.0, 0, 0.0},
    {"h00 is 100 percent", "N0CALL>APRS:_10090556h00", At(kOct9, 5, 56, 56), 0, 0, 0, 0, 0.0, 0.0, 0.0, 100, 0.0},
    {"eight digits in a position report", "N0CALL>APRS:=4903.50N/07201.75W_090/010 12251430", At(kDec25, 14, 30, 56),
     90, 10, 0, 0, 0.0, 0.0, 0.0, 0, 0.0},
    {"month 13", "N0CALL>APRS:_13090556t050", kPinnedNow, 0, 0, 0, 50, 0.0, 0.0, 0.0, 0, 0.0},
    {"day 32", "N0CALL>APRS:_10320556t050", kPinnedNow, 0, 0, 0, 50, 0.0, 0.0, 0.0, 0, 0.0},
    {"30 february", "N0CALL>APRS:_02300556t050", kPinnedNow, 0, 0, 0, 50, 0.0, 0.0, 0.0, 0, 0.0},
    {"29 february of a leap year", "N0CALL>APRS:_02290556t050", At(45351.0, 5, 56, 56), 0, 0, 0, 50, 0.0, 0.0, 0.0, 0,
     0.0},
    {"hour 24", "N0CALL>APRS:_10092400t050", kPinnedNow, 0, 0, 0, 50, 0.0, 0.0, 0.0, 0, 0.0},
    {"peet bros hash", "N0CALL>APRS:#10090556t050", At(kOct9, 5, 56, 56), 0, 0, 0, 50, 0.0, 0.0, 0.0, 0, 0.0},
    {"peet bros star", "N0CALL>APRS:*t050h20", kNowToSecond, 0, 0, 0, 50, 0.0, 0.0, 0.0, 20, 0.0},
    {"weather object", "N0CALL>APRS:;WXSTN    *092345z4903.50N/07201.75W_220/004g005t077", kNowToSecond, 220, 4, 5,
     77, 0.0, 0.0, 0.0, 0, 0.0},
    {"weather item", "N0CALL>APRS:)WX1!4903.50N/07201.75W_090/010t050", kNowToSecond, 90, 10, 0, 50, 0.0, 0.0, 0.0, 0,
     0.0},
};
// clang-format on

void PrintTo(const WxCase& c, std::ostream* os) { *os << c.name; }

class WeatherTest : public ::testing::TestWithParam<WxCase> {};

TEST_P(WeatherTest, GivesTheStatedFields) {
  const WxCase& c = GetParam();
  const PinnedClock clock;
  const auto p = ParsePacket(c.line);
  ASSERT_NE(p, nullptr);
  EXPECT_TRUE(p->HasWeather);
  EXPECT_TRUE(p->Comment.empty());
  EXPECT_NEAR(p->WxTime, c.wxTime, 1e-9);
  EXPECT_EQ(p->WindDirection, c.windDirection);
  EXPECT_EQ(p->WindSpeed, c.windSpeed);
  EXPECT_EQ(p->WindGust, c.windGust);
  EXPECT_EQ(p->Temperature, c.temperature);
  EXPECT_DOUBLE_EQ(p->RainLastHour, c.rainLastHour);
  EXPECT_DOUBLE_EQ(p->Rain24Hours, c.rain24Hours);
  EXPECT_DOUBLE_EQ(p->RainSinceMidnight, c.rainSinceMidnight);
  EXPECT_EQ(p->Humidity, c.humidity);
  EXPECT_DOUBLE_EQ(p->Pressure, c.pressure);
  // A weather comment holds no PHG.
  EXPECT_TRUE(p->Capabilities.PhgString.empty());
}

INSTANTIATE_TEST_SUITE_P(Lines, WeatherTest, ::testing::ValuesIn(kWxCases), tarvik::test::TRowName());

TEST(Weather, OtherSymbolsAndTypesGetNone) {
  const PinnedClock clock;
  for (const char* line : {"N0CALL>APRS:!4903.50N/07201.75W-t077h50", "N0CALL>APRS:>t077h50 status",
                           "N0CALL>APRS:;LEADER   *092345z4903.50N/07201.75W>t077"}) {
    const auto p = ParsePacket(line);
    ASSERT_NE(p, nullptr) << line;
    EXPECT_FALSE(p->HasWeather) << line;
    EXPECT_EQ(p->Temperature, 0) << line;
    EXPECT_EQ(p->WxTime, 0.0) << line;
  }
}

// What a position decoder hands on: the field, and in Comment what follows the position.
TEST(Weather, WindPairIsSearchedAfterThePosition) {
  const PinnedClock clock;
  struct Case {
    TAprsDataType type;
    const char* info;
    const char* rest;
    int direction;
    int speed;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {TAprsDataType::dtPositionTime, "092345/4903.50N/07201.75W_220/004g005", "220/004g005", 220, 4},
      {TAprsDataType::dtPositionTime, "092345/4903.50N/07201.75W_", "", 0, 0},
      {TAprsDataType::dtPosition, "4903.50N/07201.75W_220/004", "220/004", 220, 4},
      // A report without position has its wind anywhere in the field.
      {TAprsDataType::dtWeatherReport, "10090556220/004", "", 220, 4},
  };
  // clang-format on
  for (const Case& c : cases) {
    TAprsPacket p;
    p.DataType = c.type;
    p.InfoField = c.info;
    p.Comment = c.rest;
    DecodeWeather(p);
    EXPECT_EQ(p.WindDirection, c.direction) << c.info;
    EXPECT_EQ(p.WindSpeed, c.speed) << c.info;
    EXPECT_TRUE(p.Comment.empty()) << c.info;
  }
}

// Every truncation of a report, each in a buffer of exactly its size.
TEST(Weather, ShortReportsNeverReadPastTheirEnd) {
  const PinnedClock clock;
  const std::string full = "10090556c220s004g005t077r000p000P000h50b09900";
  for (std::size_t n = 0; n <= full.size(); ++n) {
    const ExactText info(std::string_view(full).substr(0, n));
    TAprsPacket p;
    p.DataType = TAprsDataType::dtWeatherReport;
    p.InfoField = std::string(info.View());
    DecodeWeatherReport(info.View(), p);
    EXPECT_TRUE(p.HasWeather);
    EXPECT_EQ(p.Pressure, n == full.size() ? 990.0 : 0.0) << n;
  }
}

}  // namespace
