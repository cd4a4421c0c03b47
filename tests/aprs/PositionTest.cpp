// Position decoding through ParsePacket: uncompressed and compressed positions,
// time stamps, grid-locator beacons and plain beacons, and hostile input.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "APRSParser.h"
#include "ParserGuards.h"
#include "RowName.h"

using namespace aprs;

namespace {

// Six decimals, as APRS examples give them (the compressed -72.75 is -72.750004).
constexpr double kTolerance = 1e-5;

// A TDateTime for a UTC calendar date and time.
TDateTime Days(int y, unsigned m, unsigned d, int hh = 0, int mm = 0, int ss = 0, int ms = 0) {
  using namespace std::chrono;
  const auto days = sys_days{year{y} / month{m} / std::chrono::day{d}}.time_since_epoch().count() + 25569;
  return static_cast<double>(days) + ((hh * 60 + mm) * 60 + ss + ms / 1000.0) / 86400.0;
}

using aprs::testing::PinnedClock;

std::unique_ptr<TAprsPacket> Parse(const std::string& info) {
  const std::string line = "N0CALL>APRS,WIDE1-1:" + info;  // exact size, so ASan sees a read past the end
  return ParsePacket(line);
}

struct PositionCase {
  const char* name;
  std::string info{};
  bool valid = true;
  double latitude = 0.0;
  double longitude = 0.0;
  const char* latitudeText = nullptr;  // nullptr: not checked
  const char* longitudeText = nullptr;
  char table = 0;
  char code = 0;
  std::string comment{};
  bool mobile = false;
  const char* error = "";
  int course = 0;
  int speed = 0;
  int altitude = 0;
  const char* grid = "";
};

// clang-format off
const std::vector<PositionCase> kPositionCases = {
    {.name = "uncompressed", .info = "!4903.50N/07201.75W-Test", .latitude = 49.058333, .longitude = -72.029167,
     .latitudeText = "4903.50N", .longitudeText = "07201.75W", .table = '/', .code = '-', .comment = "Test",
     .grid = "FN39XB"},
    {.name = "car is mobile", .info = "=4903.50N/07201.75W>", .latitude = 49.058333, .longitude = -72.029167,
     .table = '/', .code = '>', .mobile = true, .grid = "FN39XB"},
    {.name = "alternate car is mobile", .info = "!4903.50N\\07201.75W>", .latitude = 49.058333,
     .longitude = -72.029167, .table = '\\', .code = '>', .mobile = true, .grid = "FN39XB"},
    {.name = "alternate dash is fixed", .info = "!4903.50N\\07201.75W-", .latitude = 49.058333,
     .longitude = -72.029167, .table = '\\', .code = '-', .grid = "FN39XB"},
    {.name = "ambiguity", .info = "!49  .  N/072  .  W-", .latitude = 49.0, .longitude = -72.0,
     .latitudeText = "49  .  N", .longitudeText = "072  .  W", .table = '/', .code = '-', .grid = "FN49AA"},
    {.name = "latitude out of range", .info = "!9503.50N/07201.75W-Test", .valid = false, .table = '/', .code = '-',
     .comment = "Test", .error = "Invalid position (lat/lon) value"},
    {.name = "longitude out of range", .info = "!4903.50N/18201.75W-", .valid = false, .table = '/', .code = '-',
     .error = "Invalid position (lat/lon) value"},
    {.name = "exactly nineteen", .info = "!4903.50N/07201.75W-", .latitude = 49.058333, .longitude = -72.029167,
     .table = '/', .code = '-', .grid = "FN39XB"},
    {.name = "eighteen: no symbol code", .info = "!4903.50N/07201.75W", .latitude = 49.058333,
     .longitude = -72.029167, .table = '/', .code = '\0', .grid = "FN39XB"},
    // A cut-off longitude is no position, not 0 degrees.
    {.name = "seventeen: cut-off longitude", .info = "!4903.50N/07201.7", .valid = false, .table = '/',
     .error = "Invalid position (lat/lon) value"},
    {.name = "latitude only", .info = "!4903.50N", .valid = false, .error = "Invalid position (lat/lon) value"},
    {.name = "one digit", .info = "!4", .valid = false, .error = "Invalid position (lat/lon) value"},
    {.name = "empty position", .info = "!", .valid = false},
    {.name = "compressed", .info = "!/5L!!<*e7>7P[", .latitude = 49.5, .longitude = -72.75,
     .latitudeText = "4930.00N", .longitudeText = "07245.00W", .table = '/', .code = '>', .mobile = true,
     .course = 88, .speed = 36, .grid = "FN39OM"},
    {.name = "compressed with comment", .info = "=/5L!!<*e7>7P[ rest", .latitude = 49.5, .longitude = -72.75,
     .table = '/', .code = '>', .comment = " rest", .mobile = true, .course = 88, .speed = 36, .grid = "FN39OM"},
    {.name = "compressed overlay a is 0", .info = "!a5L!!<*e7>7P[", .latitude = 49.5, .longitude = -72.75,
     .table = '0', .code = '>', .mobile = true, .course = 88, .speed = 36, .grid = "FN39OM"},
    {.name = "compressed overlay j is 9", .info = "!j5L!!<*e7-7P[", .latitude = 49.5, .longitude = -72.75,
     .table = '9', .code = '-', .course = 88, .speed = 36, .grid = "FN39OM"},
    {.name = "compressed space course", .info = "!/5L!!<*e7>  [", .latitude = 49.5, .longitude = -72.75,
     .table = '/', .code = '>', .mobile = true, .grid = "FN39OM"},
    // T - 33 = 50: a GGA sentence, so the c and s bytes also give 1.002^(22 * 91 + 47) = 59.97 feet.
    {.name = "compressed altitude", .info = "!/5L!!<*e7>7PS", .latitude = 49.5, .longitude = -72.75,
     .table = '/', .code = '>', .mobile = true, .course = 88, .speed = 36, .altitude = 60, .grid = "FN39OM"},
    {.name = "compressed twelve", .info = "!/5L!!<*e7>7P", .valid = false, .comment = "/5L!!<*e7>7P",
     .error = "Invalid compressed position format"},
    {.name = "compressed one", .info = "!/", .valid = false, .comment = "/",
     .error = "Invalid compressed position format"},
    // Bytes beyond the base-91 alphabet point past the south pole.
    {.name = "compressed past the pole", .info = "!/\xFF\xFF\xFF\xFF<*e7>7P[", .valid = false, .table = '/',
     .code = '>', .mobile = true, .error = "Invalid position (lat/lon) value", .course = 88, .speed = 36},
    {.name = "timestamped", .info = "/092345z4903.50N/07201.75W>Test", .latitude = 49.058333,
     .longitude = -72.029167, .table = '/', .code = '>', .comment = "Test", .mobile = true, .grid = "FN39XB"},
    {.name = "timestamped compressed", .info = "@234517h/5L!!<*e7>7P[", .latitude = 49.5, .longitude = -72.75,
     .table = '/', .code = '>', .mobile = true, .course = 88, .speed = 36, .grid = "FN39OM"},
    {.name = "time stamp only", .info = "@092345z", .valid = false},
    {.name = "short time stamp", .info = "@0923", .valid = false},
    {.name = "grid beacon", .info = "[EM29QE]Comment ", .latitude = 39.1875, .longitude = -94.625,
     .latitudeText = "3911.25N", .longitudeText = "09437.50W", .comment = "Comment", .grid = "EM29QE"},
    {.name = "grid beacon lower case", .info = "[fn42er]", .latitude = 42.729167, .longitude = -71.625,
     .grid = "FN42ER"},
    {.name = "grid beacon four", .info = "[ EM29 ]x", .latitude = 39.5, .longitude = -95.0, .comment = "x",
     .grid = "EM29"},
    {.name = "grid beacon without bracket", .info = "[EM29", .latitude = 39.5, .longitude = -95.0, .grid = "EM29"},
    {.name = "grid beacon invalid", .info = "[SM29]x", .valid = false, .comment = "x",
     .error = "Invalid grid locator"},
    {.name = "grid beacon empty", .info = "[", .valid = false, .error = "Invalid grid locator"},
    {.name = "beacon locator", .info = "Hello from EM29 station", .latitude = 39.5, .longitude = -95.0,
     .comment = "Hello from EM29 station", .grid = "EM29"},
    {.name = "beacon six lower case", .info = "qth em29qe.", .latitude = 39.1875, .longitude = -94.625,
     .comment = "qth em29qe.", .grid = "EM29QE"},
    {.name = "beacon invalid then valid", .info = "AB12ZZ FN42", .latitude = 42.5, .longitude = -71.0,
     .comment = "AB12ZZ FN42", .error = "Invalid lat/lon - zero value", .grid = "FN42"},
    {.name = "beacon invalid only", .info = "AB12ZZ", .valid = false, .comment = "AB12ZZ",
     .error = "Invalid lat/lon - zero value"},
    // A locator inside a word is no locator: PHG7220 must not give HG72.
    {.name = "beacon phg is no locator", .info = "PHG7220 home", .valid = false, .comment = "PHG7220 home"},
    {.name = "beacon locator glued to digits", .info = "EM2912 FN4", .valid = false, .comment = "EM2912 FN4"},
    {.name = "beacon without locator", .info = "hello", .valid = false, .comment = "hello"},
};
// clang-format on

class PositionTableTest : public ::testing::TestWithParam<PositionCase> {};

TEST_P(PositionTableTest, GivesTheFields) {
  const PositionCase& c = GetParam();
  const PinnedClock clock(Days(2024, 3, 10, 12, 34, 56, 789));
  const auto p = Parse(c.info);
  ASSERT_NE(p, nullptr);
  const TPositionRec& pos = p->Position;
  EXPECT_EQ(pos.Valid, c.valid);
  EXPECT_EQ(p->ErrorMessage, c.error);
  if (c.valid) {
    EXPECT_NEAR(pos.Latitude.Value, c.latitude, kTolerance);
    EXPECT_NEAR(pos.Longitude.Value, c.longitude, kTolerance);
    EXPECT_EQ(pos.Latitude.Text.size(), 8U) << pos.Latitude.Text;
    EXPECT_EQ(pos.Longitude.Text.size(), 9U) << pos.Longitude.Text;
  }
  if (c.latitudeText != nullptr) {
    EXPECT_EQ(pos.Latitude.Text, c.latitudeText);
  }
  if (c.longitudeText != nullptr) {
    EXPECT_EQ(pos.Longitude.Text, c.longitudeText);
  }
  EXPECT_EQ(p->SymbolTable, c.table);
  EXPECT_EQ(p->SymbolCode, c.code);
  EXPECT_EQ(p->Comment, c.comment);
  EXPECT_EQ(pos.Mobile, c.mobile);
  EXPECT_EQ(pos.Course, c.course);
  EXPECT_EQ(pos.Speed, c.speed);
  EXPECT_EQ(pos.Altitude, c.altitude);
  EXPECT_EQ(pos.GridSquare, c.grid);
}

INSTANTIATE_TEST_SUITE_P(Lines, PositionTableTest, ::testing::ValuesIn(kPositionCases), tarvik::test::TRowName());

TEST(DecodePosition, RemovesWhatItUsed) {
  struct Case {
    std::string text;
    std::string left;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"4903.50N/07201.75W-PHG5132", "PHG5132"},
      {"4903.50N/07201.75W-", ""},
      {"4903.50N/07201.7", ""},
      {"/5L!!<*e7>7P[PHG5132", "PHG5132"},
      {"/5L!!<*e7>7P", "/5L!!<*e7>7P"},  // too short: nothing removed
      {"", ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    const std::string exact = c.text;
    std::string_view view = exact;
    TAprsPacket p;
    DecodePosition(view, p);
    EXPECT_EQ(view, c.left) << c.text;
  }
}

TEST(DecodePosition, CompressedRangeByte) {
  TAprsPacket p;
  std::string_view view = "/5L!!<*e7>{?!";
  DecodePosition(view, p);
  EXPECT_TRUE(p.Position.Valid);
  EXPECT_TRUE(p.Capabilities.HasCapabilities);
  EXPECT_NEAR(p.Capabilities.Range, 2.0 * std::pow(1.08, 30), 1e-4);  // 20.13 miles
  EXPECT_EQ(p.Position.Course, 0);
  EXPECT_EQ(p.Position.Speed, 0);
}

TEST(DecodePosition, CourseAndSpeedBytes) {
  struct Case {
    char c;
    char s;
    int course;
    int speed;
    bool range;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {'!', '!', 0, 0, false},      // 1.08^0 - 1 = 0 knots, 0 degrees
      {'7', 'P', 88, 36, false},    // 1.08^47 - 1 = 36.2
      {'z', 'z', 356, 942, false},  // 1.08^89 - 1 = 942.2
      {'~', 'z', 0, 0, false},      // beyond 'z' and not '{': nothing from c and s
      {'{', '?', 0, 0, true},       // a range instead of course and speed
  };
  // clang-format on
  for (const Case& c : cases) {
    const std::string field = std::string("/5L!!<*e7>") + c.c + c.s + '!';
    std::string_view view = field;
    TAprsPacket p;
    DecodePosition(view, p);
    EXPECT_EQ(p.Position.Course, c.course) << field;
    EXPECT_EQ(p.Position.Speed, c.speed) << field;
    EXPECT_EQ(p.Capabilities.HasCapabilities, c.range) << field;
    EXPECT_EQ(p.Position.Altitude, 0) << field;
  }
}

struct StampCase {
  const char* name;
  const char* stamp;
  TDateTime received;
  TDateTime expected;
};

const TDateTime kMarch10 = Days(2024, 3, 10, 12, 34, 56, 789);

// clang-format off
const std::vector<StampCase> kStampCases = {
    {"day hour minute", "092345z", kMarch10, Days(2024, 3, 9, 23, 45)},
    {"same day", "100102z", kMarch10, Days(2024, 3, 10, 1, 2)},
    {"hour minute second", "234517h", kMarch10, Days(2024, 3, 10, 23, 45, 17)},
    // A day later than today's is last month's, not four weeks ahead.
    {"last month", "302200z", Days(2024, 4, 1, 0, 10), Days(2024, 3, 30, 22, 0)},
    {"last year", "312359z", Days(2024, 1, 1, 0, 5), Days(2023, 12, 31, 23, 59)},
    {"31st heard in a 30-day month", "312359z", Days(2024, 4, 10), Days(2024, 3, 31, 23, 59)},
    // Last month has no 30th: the stamp makes no date and the time received stands.
    {"no such day last month", "302359z", kMarch10, kMarch10},
    {"minute 60", "092360z", kMarch10, kMarch10},
    {"hour 24", "242345h", kMarch10, kMarch10},
    {"day 0", "002345z", kMarch10, kMarch10},
    {"day not a number", "xx2345z", kMarch10, Days(2024, 3, 10, 23, 45)},
    {"minute not a number", "0923  z", kMarch10, Days(2024, 3, 9, 23, 34)},
    // Unknown forms keep the time received, to the whole second.
    {"upper case Z", "092345Z", kMarch10, Days(2024, 3, 10, 12, 34, 56)},
    {"short", "0923z", kMarch10, Days(2024, 3, 10, 12, 34, 56)},
    {"empty", "", kMarch10, Days(2024, 3, 10, 12, 34, 56)},
    // A clock beyond the calendar takes nothing from the stamp.
    {"received beyond the calendar", "092345z", 1e12, 1e12},
    {"received before the calendar", "234517h", -1e7, -1e7},
};
// clang-format on

class TimeStampTest : public ::testing::TestWithParam<StampCase> {};

TEST_P(TimeStampTest, DatesTheReport) {
  const StampCase& c = GetParam();
  TAprsPacket p;
  p.Received = c.received;
  p.TimeStampValid = false;
  const std::string exact = c.stamp;
  DecodeTimeStamp(exact, p);
  EXPECT_TRUE(p.TimeStampValid);
  EXPECT_NEAR(p.TimeStamp, c.expected, 1e-9) << "off by " << (p.TimeStamp - c.expected) * 86400.0 << " s";
}

INSTANTIATE_TEST_SUITE_P(Stamps, TimeStampTest, ::testing::ValuesIn(kStampCases), tarvik::test::TRowName());

// Sets TZ for one test and restores it.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* tz) {
    if (const char* old = std::getenv("TZ")) previous_ = old;
    setenv("TZ", tz, 1);
    tzset();
  }
  ~ScopedTimeZone() {
    if (previous_) {
      setenv("TZ", previous_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

 private:
  std::optional<std::string> previous_;
};

TEST(DecodeTimeStamp, LocalTimeIsMovedToUtc) {
  const ScopedTimeZone zone("XST-2");  // two hours east of UTC, no daylight saving
  TAprsPacket p;
  p.Received = kMarch10;  // 14:34 local on the 10th
  DecodeTimeStamp("092345/", p);
  EXPECT_NEAR(p.TimeStamp, Days(2024, 3, 9, 21, 45), 1e-9);

  // Just after local midnight the local date is already the 11th: day 11 is today, not last month.
  TAprsPacket late;
  late.Received = Days(2024, 3, 10, 22, 30);  // 00:30 local on the 11th
  DecodeTimeStamp("110015/", late);
  EXPECT_NEAR(late.TimeStamp, Days(2024, 3, 10, 22, 15), 1e-9);
}

TEST(DecodeTimeStamp, TimedPositionsCarryTheirStamp) {
  const PinnedClock clock(kMarch10);
  const auto p = Parse("@092345z4903.50N/07201.75W-");
  ASSERT_NE(p, nullptr);
  EXPECT_NEAR(p->TimeStamp, Days(2024, 3, 9, 23, 45), 1e-9);
  EXPECT_EQ(p->Received, kMarch10);
  const auto plain = Parse("!4903.50N/07201.75W-");
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(plain->TimeStamp, kMarch10);
}

TEST(DecodePositionNoTime, WeatherSymbolMarksWeather) {
  const auto wx = Parse("!4903.50N/07201.75W_220/004g005t077");
  ASSERT_NE(wx, nullptr);
  EXPECT_TRUE(wx->HasWeather);
  const auto plain = Parse("!4903.50N/07201.75W-220/004g005t077");
  ASSERT_NE(plain, nullptr);
  EXPECT_FALSE(plain->HasWeather);
}

// Every prefix of real position fields, plus NUL and high bytes: a packet or
// nothing, and never a read past the exact-size line.
TEST(PositionDecoders, TruncatedAndHostileFieldsNeverReadPastTheEnd) {
  std::vector<std::string> infos = {
      "!4903.50N/07201.75W-PHG5132 Test",
      "=/5L!!<*e7>{?!RNG0050",
      "/092345z4903.50N/07201.75W>DFS2360",
      "@234517h/5L!!<*e7>7PS",
      "[EM29QE]Comment",
      "Hello from EM29QE",
      "!49  .  N/072  .  W_220/004",
      ";LEADER   *092345z4903.50N/07201.75W>",
  };
  std::string high;
  for (int c = 128; c < 256; ++c) high += static_cast<char>(c);
  infos.push_back("!" + high);
  infos.push_back("/" + high);
  infos.push_back("[" + high);
  infos.push_back(high);
  infos.push_back(std::string("!\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 20));
  infos.push_back(std::string("=\0\0\0\0\0\0\0\0\0\0\0\0\0", 14));
  // Every line has a sound header, so every one must give a packet: nothing may escape a decoder.
  int lines = 0;
  int parsed = 0;
  for (const std::string& info : infos) {
    for (std::size_t n = 0; n <= info.size(); ++n, ++lines) {
      const std::string line = "N0CALL>APRS:" + info.substr(0, n);
      if (ParsePacket(line) != nullptr) ++parsed;
    }
  }
  // Very long fields, whole.
  for (const std::string& info : {"!" + std::string(10000, '9'), "=" + std::string(10000, '~'),
                                  "AB12 " + std::string(10000, 'E'), "@" + std::string(10000, '\0')}) {
    const std::string line = "N0CALL>APRS:" + info;
    ++lines;
    if (ParsePacket(line) != nullptr) ++parsed;
  }
  EXPECT_EQ(parsed, lines);
}

}  // namespace
