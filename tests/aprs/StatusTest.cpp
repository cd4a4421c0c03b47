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
using aprs::testing::PinnedClock;

namespace {

const TDateTime kReceived = aprs::testing::kPinnedNow;

struct StatusCase {
  const char* name;
  std::string info;  // after the ">"
  const char* comment;
  const char* grid;
  bool valid;
  double lat;
  double lon;
  char table;
  char code;
  bool mobile;
  const char* error;
  TDateTime timeStamp;
};

// clang-format off
const std::vector<StatusCase> kStatusCases = {
    {"six-character locator", "IO91SX/- My status", "My status", "IO91SX", true, 51.979167, -0.458333, '/', '-', false,
     "", kReceived},
    {"four-character locator", "IO91/- text", "text", "IO91", true, 51.5, -1.0, '/', '-', false, "", kReceived},
    {"lower-case locator", "fn42er/> on the road", "on the road", "FN42ER", true, 42.729167, -71.625, '/', '>', true,
     "", kReceived},
    {"bad locator", "AB12ZZ/- bad", "bad", "AB12ZZ", false, 0.0, 0.0, '/', '-', false, "Invalid grid locator",
     kReceived},
    {"locator without space", "IO91SX/-", "IO91SX/-", "", false, 0.0, 0.0, '\0', '\0', false, "", kReceived},
    {"space at 6", "Hello world", "Hello world", "", false, 0.0, 0.0, '\0', '\0', false, "", kReceived},
    {"time stamp", "092345zNet tonight", "Net tonight", "", false, 0.0, 0.0, '\0', '\0', false, "",
     At(kPinnedDay - 1, 23, 45, 0)},
    // Upper-case "Z" is no time stamp form: Received to the whole second.
    {"upper-case z", "092345ZHi", "Hi", "", false, 0.0, 0.0, '\0', '\0', false, "", At(kPinnedDay, 12, 34, 56)},
    {"empty", "", "", "", false, 0.0, 0.0, '\0', '\0', false, "", kReceived},
};
// clang-format on

void PrintTo(const StatusCase& c, std::ostream* os) { *os << c.name; }

class StatusTest : public ::testing::TestWithParam<StatusCase> {};

TEST_P(StatusTest, GivesTheStatedFields) {
  const StatusCase& c = GetParam();
  const PinnedClock clock;
  const auto p = ParsePacket("N0CALL>APRS:>" + c.info);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Comment, c.comment);
  EXPECT_EQ(p->Position.GridSquare, c.grid);
  EXPECT_EQ(p->Position.Valid, c.valid);
  EXPECT_NEAR(p->Position.Latitude.Value, c.lat, 1e-6);
  EXPECT_NEAR(p->Position.Longitude.Value, c.lon, 1e-6);
  EXPECT_EQ(p->SymbolTable, c.table);
  EXPECT_EQ(p->SymbolCode, c.code);
  EXPECT_EQ(p->Position.Mobile, c.mobile);
  EXPECT_EQ(p->ErrorMessage, c.error);
  EXPECT_NEAR(p->TimeStamp, c.timeStamp, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Lines, StatusTest, ::testing::ValuesIn(kStatusCases), tarvik::test::TRowName());

TEST(Status, BeamHeadingAndPower) {
  struct Case {
    const char* info;
    const char* comment;
    bool has;
    int heading;
    int power;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"Net tonight^B7", "Net tonight", true, 110, 490},  // B is the 11th heading, 7 the 7th power
      {"Net tonight^b7", "Net tonight", true, 110, 490},
      {"^1K", "", true, 10, 7290},
      {"x^Z1", "x", true, 350, 10},
      {"x^*7", "x", true, 0, 490},  // a heading character outside the table
      {"x^9L", "x", true, 90, 0},   // a power character outside the table
      {"092345zNet^B7", "Net", true, 110, 490},
      {"ab", "ab", false, 0, 0},
      {"a^b^cd", "a^b^cd", false, 0, 0},  // the first "^" is not third from the end
      {"Net^B", "Net^B", false, 0, 0},
  };
  // clang-format on
  for (const Case& c : cases) {
    const auto p = ParsePacket(std::string("N0CALL>APRS:>") + c.info);
    ASSERT_NE(p, nullptr) << c.info;
    EXPECT_EQ(p->Comment, c.comment) << c.info;
    EXPECT_EQ(p->Capabilities.HasCapabilities, c.has) << c.info;
    EXPECT_EQ(p->Capabilities.Antenna.Heading, c.heading) << c.info;
    EXPECT_EQ(p->Capabilities.Power, c.power) << c.info;
    EXPECT_EQ(p->Capabilities.Range, 0.0F) << c.info;
  }
}

// Each truncation, in a buffer of exactly its size.
TEST(Status, ShortFieldsNeverReadPastTheirEnd) {
  const PinnedClock clock;
  for (const std::string full : {"IO91SX/- My status^B7", "092345zNet^B7", "IO91/- x"}) {
    for (std::size_t n = 0; n <= full.size(); ++n) {
      const ExactText info(std::string_view(full).substr(0, n));
      TAprsPacket p;
      p.Received = p.TimeStamp = aprs::testing::kPinnedNow;
      DecodeStatus(info.View(), p);
      EXPECT_LE(p.Comment.size(), n) << full << ' ' << n;
    }
  }
}

}  // namespace
