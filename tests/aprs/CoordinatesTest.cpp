// Coordinate texts, Maidenhead locators and the mobile-symbol test: the helpers
// that the position, Mic-E and object decoders share.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "APRSParser.h"

using namespace aprs;

namespace {

constexpr double kTolerance = 1e-6;

TEST(CoordinateValue, ReadsDegreesAndMinutes) {
  struct Case {
    std::string text;
    double value;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"4903.50N", 49.0 + 3.5 / 60.0},
      {"07201.75W", -(72.0 + 1.75 / 60.0)},
      {"4903.50s", -(49.0 + 3.5 / 60.0)},  // lower-case hemisphere letters count too
      {"07201.75w", -(72.0 + 1.75 / 60.0)},
      {"07201.75E", 72.0 + 1.75 / 60.0},
      {"49  .  N", 49.0},                // ambiguity blanks every minute digit: whole degrees
      {"072  .  W", -72.0},
      {"4903.5 N", 49.0 + 3.5 / 60.0},   // one blanked digit: the rest is still a number
      {"xx03.50N", 3.5 / 60.0},          // a part that is not a number counts 0
      {"4903.50X", 49.0 + 3.5 / 60.0},   // an unknown hemisphere letter is not negated
      {"903.50N", 0.0},                  // seven characters: neither a latitude nor a longitude
      {"0720175.00W", 0.0},
      {"", 0.0},
      {"0000.00S", 0.0},
      {std::string("4903\0" "50N", 8), 49.0},  // a NUL inside the minutes: not a number
      {std::string("49\0" "3.50N", 8), 49.0 + 3.5 / 60.0},  // a leading NUL trims like a space
  };
  // clang-format on
  for (const Case& c : cases) {
    const std::string exact = c.text;
    EXPECT_NEAR(CoordinateValue(exact), c.value, kTolerance) << '"' << c.text << '"';
  }
  EXPECT_FALSE(std::signbit(CoordinateValue("0000.00S"))) << "zero south must not become -0";
}

TEST(ParseCoordinate, KeepsTheTextAsSent) {
  const TCoordinateRec rec = ParseCoordinate("49  .  N");
  EXPECT_EQ(rec.Text, "49  .  N");
  EXPECT_DOUBLE_EQ(rec.Value, 49.0);
  const TCoordinateRec empty = ParseCoordinate("");
  EXPECT_EQ(empty.Text, "");
  EXPECT_EQ(empty.Value, 0.0);
}

TEST(FormatCoordinates, WritesAprsText) {
  struct Case {
    double degrees;
    const char* latitude;
    const char* longitude;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {49.0 + 3.5 / 60.0, "4903.50N", "04903.50E"},
      {-(72.0 + 1.75 / 60.0), "7201.75S", "07201.75W"},
      {-0.5, "0030.00S", "00030.00W"},
      {7.25, "0715.00N", "00715.00E"},
      {0.0, "0000.00N", "00000.00E"},
      {-180.0, "18000.00S", "18000.00W"},
      // Minutes that round to 60.00 are written so; the degrees are not carried.
      {49.99999, "4960.00N", "04960.00E"},
      {-49.99999, "4960.00S", "04960.00W"},
      {0.000001, "0000.00N", "00000.00E"},
  };
  // clang-format on
  for (const Case& c : cases) {
    EXPECT_EQ(FormatLatitude(c.degrees), c.latitude) << c.degrees;
    EXPECT_EQ(FormatLongitude(c.degrees), c.longitude) << c.degrees;
  }
  // Not a number: written as zero rather than garbage.
  EXPECT_EQ(FormatLatitude(std::numeric_limits<double>::quiet_NaN()), "0000.00N");
  EXPECT_EQ(FormatLongitude(std::numeric_limits<double>::infinity()), "00000.00E");
}

TEST(FormatCoordinates, RoundTripsThroughCoordinateValue) {
  // Every hundredth of a minute that the text can hold comes back within rounding.
  for (int lat = -89; lat <= 89; lat += 7) {
    for (int hundredths = 0; hundredths < 6000; hundredths += 137) {
      const double value = (lat < 0 ? -1 : 1) * (std::abs(lat) + hundredths / 6000.0);
      EXPECT_NEAR(CoordinateValue(FormatLatitude(value)), value, 1e-9) << value;
      EXPECT_NEAR(CoordinateValue(FormatLongitude(value * 2)), value * 2, 1e-9) << value * 2;
    }
  }
}

TEST(LocatorToLatLon, GivesTheCentreOfSquareOrSubsquare) {
  struct Case {
    const char* locator;
    double latitude;
    double longitude;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"EM29", 39.5, -95.0},
      {"EM29QE", 39.1875, -94.625},
      {"em29qe", 39.1875, -94.625},
      {"  EM29qe ", 39.1875, -94.625},
      {"AA00AA", -90.0 + 1.0 / 48.0, -180.0 + 1.0 / 24.0},
      {"RR99XX", 90.0 - 1.0 / 48.0, 180.0 - 1.0 / 24.0},
      {"JJ00", -89.5 + 90.0, 1.0},
      // Not valid: both results 0.
      {"EM29QZ", 0.0, 0.0},  // Y and Z are no subsquare letters
      {"SM29", 0.0, 0.0},    // S is past the last field
      {"EM2", 0.0, 0.0},
      {"EM29Q", 0.0, 0.0},
      {"EM29QEX", 0.0, 0.0},
      {"E129", 0.0, 0.0},
      {"EMA9", 0.0, 0.0},
      {"", 0.0, 0.0},
  };
  // clang-format on
  for (const Case& c : cases) {
    const TLatLon r = LocatorToLatLon(c.locator);
    EXPECT_NEAR(r.Latitude, c.latitude, 1e-12) << c.locator;
    EXPECT_NEAR(r.Longitude, c.longitude, 1e-12) << c.locator;
  }
}

TEST(LatLonToLocator, NamesTheSubsquare) {
  struct Case {
    double longitude;
    double latitude;
    const char* locator;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {-94.625, 39.1875, "EM29QE"},
      {-72.029167, 49.058333, "FN39XB"},
      {0.0, 0.0, "JJ00AA"},
      {180.0, 0.0, "RJ90XA"},   // the edge of the world falls into the last field
      {-180.0, -90.0, "AA00AA"},
      {179.9, 90.0, "RR99WX"},
      {181.0, 0.0, ""},          // out of the world: no locator
      {0.0, -90.5, ""},
      {std::numeric_limits<double>::quiet_NaN(), 0.0, ""},
  };
  // clang-format on
  for (const Case& c : cases)
    EXPECT_EQ(LatLonToLocator(c.longitude, c.latitude), c.locator) << c.longitude << "," << c.latitude;
}

TEST(LatLonToLocator, RoundTripsEverySubsquareCentreOfSomeFields) {
  const std::string sub = "ABCDEFGHIJKLMNOPQRSTUVWX";
  for (const char field : {'A', 'E', 'J', 'R'}) {
    for (const char row : {'A', 'I', 'R'}) {
      for (char d = '0'; d <= '9'; d += 3) {
        for (const char s1 : sub) {
          for (const char s2 : {'A', 'L', 'X'}) {
            const std::string loc = {field, row, d, static_cast<char>('9' - (d - '0')), s1, s2};
            const TLatLon where = LocatorToLatLon(loc);
            EXPECT_EQ(LatLonToLocator(where.Longitude, where.Latitude), loc);
          }
        }
      }
    }
  }
}

TEST(IsMobileSymbol, KnowsMovingStations) {
  struct Case {
    char table;
    char code;
    bool mobile;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {'/', '>', true},  {'/', '-', false}, {'/', '<', true},  {'/', 'k', true},  {'/', '[', true},
      {'/', '\'', true}, {'/', 'v', true},  {'/', '_', false}, {'/', '#', false}, {'/', 'A', false},
      {'\\', '>', true}, {'\\', '-', false}, {'\\', '/', true}, {'\\', 'k', true}, {'\\', 'a', false},
      {'S', '>', true},  {'9', 'A', true},  {'9', 'a', false},
      // A NUL code (no symbol decoded) is never mobile, whatever the table.
      {'/', '\0', false}, {'\\', '\0', false}, {'\0', '\0', false},
  };
  // clang-format on
  for (const Case& c : cases)
    EXPECT_EQ(IsMobileSymbol(c.table, c.code), c.mobile) << "table " << int(c.table) << " code " << int(c.code);
}

TEST(SetLocatorPosition, StoresTheLocatorUpperCase) {
  TAprsPacket p;
  EXPECT_TRUE(SetLocatorPosition("fn42er", p));
  EXPECT_EQ(p.Position.GridSquare, "FN42ER");
  EXPECT_TRUE(p.Position.Valid);
  EXPECT_NEAR(p.Position.Latitude.Value, 42.0 + 17.0 / 24.0 + 1.0 / 48.0, 1e-12);
  EXPECT_EQ(p.Position.Latitude.Text, FormatLatitude(p.Position.Latitude.Value));
  EXPECT_EQ(p.Position.Longitude.Text, FormatLongitude(p.Position.Longitude.Value));

  TAprsPacket bad;
  bad.Position.Valid = true;
  EXPECT_FALSE(SetLocatorPosition("SM29", bad));
  EXPECT_FALSE(bad.Position.Valid);
  EXPECT_EQ(bad.Position.GridSquare, "");
}

}  // namespace

namespace {

// The coordinate text as the plain fixed-point conversion gives it.
std::string ReferenceLatitude(double degrees) {
  const double magnitude = std::fabs(degrees);
  const double whole = std::trunc(magnitude);
  char minutes[32];
  const auto end =
      std::to_chars(minutes, minutes + sizeof minutes, (magnitude - whole) * 60.0, std::chars_format::fixed, 2);
  std::string m(minutes, end.ptr);
  if (m.size() < 5) m.insert(0, 5 - m.size(), '0');
  std::string w = std::to_string(static_cast<int>(whole));
  if (w.size() < 2) w.insert(0, 2 - w.size(), '0');
  return w + m + (degrees >= 0.0 ? 'N' : 'S');
}

TEST(FormatLatitude, MatchesTheExactRoundingOverASweep) {
  std::mt19937_64 rng(12345);
  std::uniform_real_distribution<double> any(-90.0, 90.0);
  for (int i = 0; i < 200000; ++i) {
    const double d = any(rng);
    ASSERT_EQ(aprs::FormatLatitude(d), ReferenceLatitude(d)) << d;
  }
  // Values that sit on or next to a hundredth's midpoint.
  for (int h = 0; h < 6000; ++h) {
    const double minutes = (h + 0.5) / 100.0;
    const double d = 49.0 + minutes / 60.0;
    for (const double v : {d, std::nextafter(d, 0.0), std::nextafter(d, 90.0)})
      ASSERT_EQ(aprs::FormatLatitude(v), ReferenceLatitude(v)) << v;
  }
}

}  // namespace
