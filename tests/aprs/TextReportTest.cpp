#include <gtest/gtest.h>

#include <cstdio>
#include <locale>
#include <string>
#include <vector>

#include "APRSParser.h"
#include "ParserGuards.h"
#include "TextReport.h"

using namespace aprs;

namespace {

// The report's own label for whether the PHG stood in its standard place.
constexpr const char* kCompliantLabel = "         Spec Compliant: ";
const std::string kCompliantYes = std::string(kCompliantLabel) + "Yes\r\n";
const std::string kCompliantNo = std::string(kCompliantLabel) + "No\r\n";

// 2026-12-07 20:15:30 UTC as a TDateTime.
constexpr TDateTime kReceived = 46363.0 + (20 * 3600 + 15 * 60 + 30) / 86400.0;

// ISO dates and "." keep the expected texts independent of the machine.
TReportLocale IsoLocale() { return TReportLocale{}; }

// A locale with a decimal comma and a day-first date, as many users have.
TReportLocale CommaLocale() {
  TReportLocale l;
  l.DecimalSeparator = ",";
  l.FormatDateTime = [](const std::tm& tm) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d %02d:%02d:%02d", tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900,
                  tm.tm_hour, tm.tm_min, tm.tm_sec);
    return std::string(buf);
  };
  return l;
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) out += "\r\n";
    out += lines[i];
  }
  return out;
}

// A fixed station with a position and a PHG from the start of its comment.
TAprsPacket FixedStation() {
  TAprsPacket p;
  p.RawPacket = "TV1ABC>APRS,TV2DIG*,WIDE2-1:!4903.50N/07201.75W-PHG5132/Club";
  p.Header = "TV1ABC>APRS,TV2DIG*,WIDE2-1";
  p.Source = {"TV1ABC", "TV1ABC"};
  p.DestCallsign = "APRS";
  p.Digipeaters = {"TV2DIG*", "WIDE2-1"};
  p.HopCount = 2;
  p.ReversePath = "TV2DIG";
  p.Comment = "PHG5132/Club";
  p.HeardDirectly = false;
  p.InfoField = "4903.50N/07201.75W-PHG5132/Club";
  p.DataType = TAprsDataType::dtPosition;
  p.Received = kReceived;
  p.TimeStamp = kReceived;
  p.TimeStampValid = true;
  p.SymbolTable = '/';
  p.SymbolCode = '-';
  p.Position.Latitude = {"4903.50N", 49.058333333333337};
  p.Position.Longitude = {"07201.75W", -72.029166666666669};
  p.Position.Valid = true;
  p.Position.GridSquare = "FN49AB";
  p.Capabilities.Power = 25;
  p.Capabilities.Antenna = {3, 20, 90, "E"};
  p.Capabilities.PhgString = "PHG5132";
  p.Capabilities.Range = 7.95F;
  p.Capabilities.HasCapabilities = true;
  p.IsValid = true;
  return p;
}

const std::vector<std::string> kFixedStationHeader = {
    " << Packet ---------------------------------------------->>",
    "               Received: 2026-12-07 20:15:30 UTC",
    "        Original Packet: TV1ABC>APRS,TV2DIG*,WIDE2-1:!4903.50N/07201.75W-PHG5132/Club",
    "                 Header: TV1ABC>APRS,TV2DIG*,WIDE2-1",
    "        Source CallSign: TV1ABC",
    "   Destination Callsign: APRS",
    "            Digipeaters: TV2DIG*,WIDE2-1",
    "              Hop Count: 2",
    "           Reverse Path: TV2DIG",
    "                Comment: PHG5132/Club",
    "         Heard Directly: No",
    "      Information Field: 4903.50N/07201.75W-PHG5132/Club",
    "           Data Type Ch: !",
    "              Data Type: Position without timestamp (no APRS messaging), or Ultimeter 2000 WX Station",
    "             From TH-D7: No",
    "           From TM-D700: No",
    "             Time Stamp: 2026-12-07 20:15:30 UTC (Valid)",
    "                 Symbol: /-",
};

const std::vector<std::string> kFixedStationPosition = {
    " << Position >> ",
    "                Raw Gps: ",
    "                    Lat: 4903.50N (49.06)",
    "                    Lon: 07201.75W (-72.03)",
    "            Grid Square: FN49AB",
    "                 Course: 0",
    "                  Speed: 0",
    "               Altitude: 0",
    "                 Mobile: No",
};

std::vector<std::string> CapabilitiesLines(const char* compliant) {
  return {
      " << Station Capabilities >> ",           "               Raw Data: ",        "                  Power: 25 watts",
      "           Antenna HAAT: 20ft",          "           Antenna Gain: 3db",     "        Antenna Heading: E",
      "            Radio Range: 7.95 miles",    "             PHG String: PHG5132", "   Relaxed PHG Checking: On",
      std::string(kCompliantLabel) + compliant, "            Beacon Rate: 0",
  };
}

template <typename... Parts>
std::vector<std::string> Join(const Parts&... parts) {
  std::vector<std::string> out;
  (out.insert(out.end(), parts.begin(), parts.end()), ...);
  return out;
}

TEST(TextReport, AllFlagsForAPlainPositionGiveHeaderPositionAndCapabilitiesOnly) {
  const TAprsPacket p = FixedStation();
  EXPECT_EQ(FormatPacketReport(p, tsAll, IsoLocale()),
            Lines(Join(kFixedStationHeader, kFixedStationPosition, CapabilitiesLines("Yes"))));
}

TEST(TextReport, EverySectionAfterTheFirstStartsWithALineBreakAndNoneEndsWithOne) {
  const TAprsPacket p = FixedStation();
  const std::string positionOnly = FormatPacketReport(p, tsPosition, IsoLocale());
  EXPECT_EQ(positionOnly, "\r\n" + Lines(kFixedStationPosition));
  const std::string capsOnly = FormatPacketReport(p, tsCapabilities, IsoLocale());
  EXPECT_EQ(capsOnly, "\r\n" + Lines(CapabilitiesLines("Yes")));
}

struct ConditionCase {
  const char* name;
  std::uint8_t flags;
  void (*prepare)(TAprsPacket&);
  const char* expected;
};

// Each section needs its bit and its own condition; the error line needs neither.
// clang-format off
const std::vector<ConditionCase> kConditionCases = {
    {"position bit without valid position", tsPosition, [](TAprsPacket& p) { p.Position.Valid = false; }, ""},
    {"message bit without message", tsMessage, [](TAprsPacket&) {}, ""},
    {"object bit without name", tsObject, [](TAprsPacket& p) { p.AprsObject.Active = true; }, ""},
    {"DF bit without report", tsDfReport, [](TAprsPacket& p) { p.DFReport.Signal = 3; }, ""},
    {"weather bit without weather", tsWeather, [](TAprsPacket& p) { p.Pressure = 1000; }, ""},
    {"capabilities bit without capabilities", tsCapabilities,
     [](TAprsPacket& p) { p.Capabilities.HasCapabilities = false; }, ""},
    {"no flags and an error", 0,
     [](TAprsPacket& p) { p.ErrorMessage = "Invalid position (lat/lon) value"; },
     "\r\n\r\n          Error Message: Invalid position (lat/lon) value"},
    {"error after a section", tsObject,
     [](TAprsPacket& p) {
       p.AprsObject = {false, "LEADER"};
       p.ErrorMessage = "Invalid grid locator";
     },
     "\r\n << Object/Item >> \r\n                   Name: LEADER\r\n                 Active: No"
     "\r\n\r\n          Error Message: Invalid grid locator"},
    {"message section", tsMessage,
     [](TAprsPacket& p) {
       p.Message = {"NWS-WARN", "", "092010z,THUNDERSTORM,AR_ASHLEY,", mtNWS, "AR", 0};
     },
     "\r\n << Message >> \r\n               Msg Type: NWS\r\n              Addressee: NWS-WARN"
     "\r\n               Msg Text: 092010z,THUNDERSTORM,AR_ASHLEY,\r\n              NWS State: AR"
     "\r\n                   Seq#: \r\n              Msg Index: 0"},
    {"message type beyond the table", tsMessage, [](TAprsPacket& p) { p.Message.MsgType = 200; },
     "\r\n << Message >> \r\n               Msg Type: \r\n              Addressee: "
     "\r\n               Msg Text: \r\n              NWS State: \r\n                   Seq#: "
     "\r\n              Msg Index: 0"},
};
// clang-format on

TEST(TextReport, SectionsFollowTheirConditions) {
  for (const ConditionCase& c : kConditionCases) {
    TAprsPacket p = FixedStation();
    c.prepare(p);
    EXPECT_EQ(FormatPacketReport(p, c.flags, IsoLocale()), c.expected) << c.name;
  }
}

TEST(TextReport, PhgFoundInMidCommentIsNotCompliantAndDefaultPhgIs) {
  TAprsPacket p = FixedStation();
  p.Capabilities.PhgNonStandard = true;
  EXPECT_EQ(FormatPacketReport(p, tsCapabilities, IsoLocale()), "\r\n" + Lines(CapabilitiesLines("No")));

  TAprsPacket d = FixedStation();
  d.Capabilities = {};
  d.Capabilities.DefaultPhg = true;
  d.Capabilities.HasCapabilities = true;
  d.Capabilities.Power = 10;
  d.Capabilities.Antenna = {3, 20, 0, "OMNI"};
  d.Capabilities.Range = 6.32F;
  const std::string text = FormatPacketReport(d, tsCapabilities, IsoLocale());
  EXPECT_NE(text.find("\r\n" + std::string(kCompliantLabel) + "Yes\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\r\n            Radio Range: 6.32 miles\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\r\n             PHG String: \r\n"), std::string::npos) << text;
}

TEST(TextReport, RelaxedPhgCheckingLineFollowsTheParserSetting) {
  const TAprsPacket p = FixedStation();
  const std::string off = [&p] {
    const aprs::testing::RelaxedPhgSetting strict(false);
    return FormatPacketReport(p, tsCapabilities, IsoLocale());
  }();
  EXPECT_NE(off.find("   Relaxed PHG Checking: Off\r\n"), std::string::npos) << off;
}

TAprsPacket WeatherStation() {
  TAprsPacket p = FixedStation();
  p.HasWeather = true;
  p.WxTime = 46363.0 + (5 * 60 + 56) / 1440.0;
  p.Temperature = 77;
  p.Humidity = 50;
  p.Pressure = 10132 / 10.0;
  p.RainLastHour = 1 / 100.0;
  p.Rain24Hours = 10 / 100.0;
  p.RainSinceMidnight = 0.0;
  p.WindSpeed = 4;
  p.WindDirection = 220;
  p.WindGust = 5;
  return p;
}

TEST(TextReport, WeatherPrintsPressureAndRainInShortestForm) {
  const std::string expected = Lines({
      "",
      " << Weather >> ",
      "             Time Stamp: 2026-12-07 05:56:00 UTC",
      "            Temperature: 77F",
      "               Humidity: 50%",
      "    Barometric Pressure: 1013.2 mb",
      "         Rain Past Hour: 0.01 in",
      "     Rain Past 24 Hours: 0.1 in",
      "    Rain Since Midnight: 0 in",
      "             Wind Speed: 4 mph",
      "         Wind Direction: 220 degrees",
      "              Wind Gust: 5 mph",
  });
  EXPECT_EQ(FormatPacketReport(WeatherStation(), tsWeather, IsoLocale()), expected);
}

TEST(TextReport, DfReportSection) {
  TAprsPacket p = FixedStation();
  TDFReportRec& d = p.DFReport;
  d.Range = 22.49F;
  d.Signal = 2;
  d.Power = 25;
  d.Antenna.Gain = 3;
  d.Antenna.Haat = 80;
  d.Antenna.HeadingName = "OMNI";
  d.DfsString = "DFS2360";
  d.HasReport = true;
  const std::string expected = Lines({
      "",
      " << DF Report >> ",
      "          Signal Report: S2",
      "           Antenna HAAT: 80ft",
      "           Antenna Gain: 3db",
      "        Antenna Heading: OMNI",
      "            Radio Range: 22.49 miles",
      "             DFS String: DFS2360",
      "       Has Weather Data: No",
  });
  EXPECT_EQ(FormatPacketReport(p, tsDfReport, IsoLocale()), expected);
}

TEST(TextReport, SectionOrderIsNotTheOrderOfTheBits) {
  TAprsPacket p = WeatherStation();
  p.DFReport.HasReport = true;
  p.AprsObject.Name = "AID #2";
  p.Message.MsgType = mtGeneral;
  const std::string text = FormatPacketReport(p, tsAll, IsoLocale());
  const std::vector<std::string> titles = {
      "<< Packet",       "<< Position >>", "<< Message >>", "<< Object/Item >>", "<< Station Capabilities >>",
      "<< DF Report >>", "<< Weather >>"};
  std::size_t last = 0;
  for (const std::string& t : titles) {
    const std::size_t at = text.find(t);
    ASSERT_NE(at, std::string::npos) << t;
    EXPECT_GE(at, last) << t;
    last = at;
  }
}

TEST(TextReport, UserLocaleDecimalSeparatorAndDateFormat) {
  const std::string pos = FormatPacketReport(FixedStation(), tsPosition, CommaLocale());
  EXPECT_NE(pos.find("Lat: 4903.50N (49,06)"), std::string::npos) << pos;
  EXPECT_NE(pos.find("Lon: 07201.75W (-72,03)"), std::string::npos) << pos;

  const std::string wx = FormatPacketReport(WeatherStation(), tsWeather | tsCapabilities, CommaLocale());
  EXPECT_NE(wx.find("Barometric Pressure: 1013,2 mb"), std::string::npos) << wx;
  EXPECT_NE(wx.find("Radio Range: 7,95 miles"), std::string::npos) << wx;
  EXPECT_NE(wx.find("Time Stamp: 07.12.2026 05:56:00 UTC"), std::string::npos) << wx;
}

TEST(TextReport, ZeroTimesPrintNothingExceptReceived) {
  TAprsPacket p = FixedStation();
  p.Received = 0.0;
  p.TimeStamp = 0.0;
  p.TimeStampValid = false;
  const std::string text = FormatPacketReport(p, tsHeader, IsoLocale());
  EXPECT_NE(text.find("               Received: 1899-12-30 00:00:00 UTC\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("             Time Stamp:  UTC (Invalid)\r\n"), std::string::npos) << text;

  TAprsPacket w = WeatherStation();
  w.WxTime = 0.0;
  EXPECT_NE(FormatPacketReport(w, tsWeather, IsoLocale()).find("             Time Stamp:  UTC\r\n"), std::string::npos);
}

TEST(TextReport, AbsentSymbolsAreSpacesAndOddDigipeatersAreQuoted) {
  TAprsPacket p = FixedStation();
  p.SymbolTable = 0;
  p.SymbolCode = 0;
  p.Digipeaters = {"DIGI1*", "WIDE2 1", "B"};
  p.Digipeaters.push_back("X,Y");
  const std::string text = FormatPacketReport(p, tsHeader, IsoLocale());
  EXPECT_NE(text.find("            Digipeaters: DIGI1*,\"WIDE2 1\",B,\"X,Y\"\r\n"), std::string::npos) << text;
  EXPECT_TRUE(text.ends_with("\r\n                 Symbol:   ")) << text;
}

struct DateCase {
  TDateTime value;
  const char* expected;
};

TEST(TextReport, DateTimeText) {
  // clang-format off
  const std::vector<DateCase> cases = {
      {0.5, "1899-12-30 12:00:00"},
      {-1.25, "1899-12-29 06:00:00"},  // before the epoch the fraction still counts forward
      {36526.0, "2000-01-01 00:00:00"},
      {46081.0 + 0.999999999, "2026-03-01 00:00:00"},  // rounds to the next midnight, not to 24:00:00
      {45351.75, "2024-02-29 18:00:00"},
      {2958465.0, "9999-12-31 00:00:00"},
  };
  // clang-format on
  for (const DateCase& c : cases) EXPECT_EQ(FormatReportDateTime(c.value, IsoLocale()), c.expected) << c.value;
  EXPECT_EQ(FormatReportDateTime(0.0, IsoLocale()), "");
  EXPECT_EQ(FormatReportDateTime(0.0, IsoLocale(), true), "1899-12-30 00:00:00");
  // Out of the calendar's range: the number itself rather than a made-up date.
  EXPECT_EQ(FormatReportDateTime(1e300, IsoLocale()), "1e+300");
  EXPECT_EQ(FormatReportDateTime(-9999999.5, CommaLocale()), "-9999999,5");
}

// A locale's formatter may print the weekday or the day of the year, so the broken-down time carries both.
TEST(TextReport, DateTimeGivesTheLocaleWeekdayAndDayOfYear) {
  TReportLocale locale = IsoLocale();
  locale.FormatDateTime = [](const std::tm& tm) {
    return std::to_string(tm.tm_wday) + " " + std::to_string(tm.tm_yday) + " " + std::to_string(tm.tm_year);
  };
  // clang-format off
  const std::vector<DateCase> cases = {
      {0.5,                   "6 363 -1"},    // Saturday 1899-12-30
      {-1.25,                 "5 362 -1"},    // Friday 1899-12-29
      {45351.75,              "4 59 124"},    // Thursday 2024-02-29
      {46081.0 + 0.999999999, "0 59 126"},    // rounds up to Sunday 2026-03-01
      {-693593.0,             "1 0 -1899"},   // Monday 0001-01-01
      {2958465.5,             "5 364 8099"},  // Friday 9999-12-31
  };
  // clang-format on
  for (const DateCase& c : cases) EXPECT_EQ(FormatReportDateTime(c.value, locale), c.expected) << c.value;
}

TEST(TextReport, LocaleFromTheEnvironmentFacets) {
  const TReportLocale classic = ReportLocaleFrom(std::locale::classic());
  EXPECT_EQ(classic.DecimalSeparator, ".");
  EXPECT_EQ(FormatReportDateTime(kReceived, classic), "12/07/26 20:15:30");

  std::locale german;
  try {
    german = std::locale("de_DE.UTF-8");
  } catch (const std::exception&) {
    GTEST_SKIP() << "de_DE.UTF-8 is not installed (scripts/bootstrap generates it)";
  }
  const TReportLocale de = ReportLocaleFrom(german);
  EXPECT_EQ(de.DecimalSeparator, ",");
  EXPECT_EQ(FormatReportDateTime(kReceived, de), "07.12.2026 20:15:30");
  EXPECT_NE(FormatPacketReport(WeatherStation(), tsWeather, de).find("Pressure: 1013,2 mb"), std::string::npos);
}

TEST(TextReport, ParsedPacketWithoutDecoderShowsItsHeaderFacts) {
  const auto p = [] {
    const aprs::testing::PinnedClock clock(kReceived);
    return ParsePacket("TV5LAK>APN391,TV2DIG*,WIDE2-1:T#005,199,000,255,073,123,01101001");
  }();
  ASSERT_NE(p, nullptr);
  const std::string expected = Lines({
      " << Packet ---------------------------------------------->>",
      "               Received: 2026-12-07 20:15:30 UTC",
      "        Original Packet: TV5LAK>APN391,TV2DIG*,WIDE2-1:T#005,199,000,255,073,123,01101001",
      "                 Header: TV5LAK>APN391,TV2DIG*,WIDE2-1",
      "        Source CallSign: TV5LAK",
      "   Destination Callsign: APN391",
      "            Digipeaters: TV2DIG*,WIDE2-1",
      "              Hop Count: 2",
      "           Reverse Path: TV2DIG",
      "                Comment: ",
      "         Heard Directly: No",
      "      Information Field: #005,199,000,255,073,123,01101001",
      "           Data Type Ch: T",
      "              Data Type: Telemetry data",
      "             From TH-D7: No",
      "           From TM-D700: No",
      "             Time Stamp: 2026-12-07 20:15:30 UTC (Valid)",
      "                 Symbol:   ",
  });
  EXPECT_EQ(FormatPacketReport(*p, tsAll, IsoLocale()), expected);
}

}  // namespace

namespace {

struct ParsedReportCase {
  const char* name;
  const char* line;
  std::uint8_t flags;
  std::vector<std::string> present;  // texts the report must hold
  std::vector<std::string> absent;   // texts it must not hold
};

// Whole lines through the parser and every decoder, then the report.
// clang-format off
const std::vector<ParsedReportCase> kParsedCases = {
    {"plain position, all flags", "TV1ABC>APRS,WIDE1-1:!4903.50N/07201.75W-PHG5132/Club", tsAll,
     {" << Packet ---", "\r\n << Position >> \r\n", "                    Lat: 4903.50N (49.06)\r\n",
      "                    Lon: 07201.75W (-72.03)\r\n", "\r\n << Station Capabilities >> \r\n",
      "            Radio Range: 7.95 miles\r\n", kCompliantYes},
     {"<< Message >>", "<< Object/Item >>", "<< DF Report >>", "<< Weather >>", "Error Message"}},
    {"PHG in mid-comment", "TV1GHI>APRS,WIDE1-1:!4907.14N/07142.07W-Home PHG5132 here", tsCapabilities,
     {kCompliantNo, "             PHG String: PHG5132\r\n"}, {}},
    {"default PHG", "TV3PQR>APRS,WIDE1-1:!4839.72N/07156.47W-", tsCapabilities,
     {kCompliantYes, "                  Power: 10 watts\r\n",
      "            Radio Range: 6.32 miles\r\n", "             PHG String: \r\n"},
     {}},
    {"position flag without a valid position", "TV5LAK>APN391,WIDE2-1:>Solar powered fill-in", tsPosition, {},
     {"<< Position >>"}},
    {"error alone", "TV9BAD>APRS,WIDE1-1:!9503.50N/07201.75W-Latitude out of range", 0,
     {"\r\n\r\n          Error Message: Invalid position (lat/lon) value"}, {"<< Packet", "<< Position >>"}},
    {"weather pressure", "TV4WX>APRS,WIDE2-1:!4904.23N/07158.88W_220/004g005t041r001p010P020h78b10132", tsWeather,
     {"    Barometric Pressure: 1013.2 mb\r\n", "         Rain Past Hour: 0.01 in\r\n",
      "     Rain Past 24 Hours: 0.1 in\r\n", "    Rain Since Midnight: 0.2 in\r\n",
      "         Wind Direction: 220 degrees\r\n"},
     {}},
    {"object", "TV2MNO>APRS,WIDE2-1:;LEADER   _092345z4903.50N/07201.75W>088/036", tsObject,
     {"\r\n << Object/Item >> \r\n                   Name: LEADER\r\n                 Active: No"}, {}},
    {"message", "TV1ABC>APRS,WIDE2-1::BLN1     :Club net tonight", tsMessage,
     {"               Msg Type: Bulletin\r\n", "              Addressee: BLN1\r\n"}, {}},
    {"DF report", "TV2FOX>APRS,WIDE1-1:!4851.07N/07158.26W\\DFS2360/Fox", tsDfReport,
     {"          Signal Report: S2\r\n", "            Radio Range: 22.49 miles\r\n"}, {}},
};
// clang-format on

TEST(TextReport, ParsedLinesGiveTheirSections) {
  const aprs::testing::PinnedClock clock(kReceived);
  for (const ParsedReportCase& c : kParsedCases) {
    const auto p = ParsePacket(c.line);
    ASSERT_NE(p, nullptr) << c.name;
    const std::string text = FormatPacketReport(*p, c.flags, IsoLocale());
    for (const std::string& s : c.present)
      EXPECT_NE(text.find(s), std::string::npos) << c.name << ": " << s << "\n" << text;
    for (const std::string& s : c.absent)
      EXPECT_EQ(text.find(s), std::string::npos) << c.name << ": " << s << "\n" << text;
    EXPECT_FALSE(text.ends_with("\r\n")) << c.name;
  }
  const auto empty = ParsePacket("TV5LAK>APN391,WIDE2-1:>Solar powered fill-in");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(FormatPacketReport(*empty, tsPosition, IsoLocale()), "");
}

}  // namespace
