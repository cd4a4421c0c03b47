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
const TDateTime kNinth2345 = At(kPinnedDay - 1, 23, 45, 0);  // 092345z received on the 10th

struct ObjectCase {
  const char* name;
  std::string line;
  const char* objectName;
  bool active;
  bool valid;
  double lat;
  double lon;
  char table;
  char code;
  const char* comment;
  TDateTime timeStamp;
};

// clang-format off
const std::vector<ObjectCase> kObjectCases = {
    {"object", "N0CALL>APRS:;LEADER   *092345z4903.50N/07201.75W>088/036", "LEADER", true, true, 49.058333,
     -72.029167, '/', '>', "088/036", kNinth2345},
    {"killed object", "N0CALL>APRS:;LEADER   _092345z4903.50N/07201.75W>088/036", "LEADER", false, true, 49.058333,
     -72.029167, '/', '>', "088/036", kNinth2345},
    {"compressed object", "N0CALL>APRS:;CAR      *092345z/5L!!<*e7>7P[", "CAR", true, true, 49.5, -72.75, '/', '>',
     "", kNinth2345},
    {"object without position", "N0CALL>APRS:;SHORT    *092345z", "SHORT", true, false, 0.0, 0.0, '\0', '\0', "",
     kNinth2345},
    {"object cut in its name", "N0CALL>APRS:;LEA", "LEA", false, false, 0.0, 0.0, '\0', '\0', "", kReceived},
    {"item", "N0CALL>APRS:)AID #2!4903.50N/07201.75WA", "AID #2", true, true, 49.058333, -72.029167, '/', 'A', "",
     kReceived},
    {"killed item", "N0CALL>APRS:)AID #2_4903.50N/07201.75WA", "AID #2", false, true, 49.058333, -72.029167, '/', 'A',
     "", kReceived},
    // The name ends at the first "!" or "_": a "!" inside a compressed
    // position or a comment does not make a killed item live.
    {"killed compressed item", "N0CALL>APRS:)AID_/5L!!<*e7>7P[", "AID", false, true, 49.5, -72.75, '/', '>', "",
     kReceived},
    {"killed item with a bang in its comment", "N0CALL>APRS:)AID_4903.50N/07201.75WA Help!", "AID", false, true,
     49.058333, -72.029167, '/', 'A', " Help!", kReceived},
    {"item without marker", "N0CALL>APRS:)NOTHING here", "", false, false, 0.0, 0.0, '\0', '\0', "", kReceived},
};
// clang-format on

void PrintTo(const ObjectCase& c, std::ostream* os) { *os << c.name; }

class ObjectTest : public ::testing::TestWithParam<ObjectCase> {};

TEST_P(ObjectTest, GivesTheStatedFields) {
  const ObjectCase& c = GetParam();
  const PinnedClock clock;
  const auto p = ParsePacket(c.line);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->AprsObject.Name, c.objectName);
  EXPECT_EQ(p->AprsObject.Active, c.active);
  EXPECT_EQ(p->Position.Valid, c.valid);
  EXPECT_NEAR(p->Position.Latitude.Value, c.lat, 1e-5);  // base 91 is exact to about 4e-6 degrees
  EXPECT_NEAR(p->Position.Longitude.Value, c.lon, 1e-5);
  EXPECT_EQ(p->SymbolTable, c.table);
  EXPECT_EQ(p->SymbolCode, c.code);
  EXPECT_EQ(p->Comment, c.comment);
  EXPECT_NEAR(p->TimeStamp, c.timeStamp, 1e-9);
  EXPECT_FALSE(p->HasWeather);
}

INSTANTIATE_TEST_SUITE_P(Lines, ObjectTest, ::testing::ValuesIn(kObjectCases), tarvik::test::TRowName());

// Each truncation, in a buffer of exactly its size, keeps what it has.
TEST(Objects, ShortFieldsNeverReadPastTheirEnd) {
  const PinnedClock clock;
  const std::string object = "LEADER   *092345z4903.50N/07201.75W>088/036";
  const std::string item = "AID #2!4903.50N/07201.75WA";
  for (std::size_t n = 0; n <= object.size(); ++n) {
    const ExactText info(std::string_view(object).substr(0, n));
    TAprsPacket p;
    p.Received = p.TimeStamp = aprs::testing::kPinnedNow;
    DecodeObject(info.View(), p);
    EXPECT_EQ(p.AprsObject.Name, object.substr(0, std::min<std::size_t>(n, 6))) << n;  // "LEADER", padded
    EXPECT_EQ(p.AprsObject.Active, n >= 10) << n;
  }
  for (std::size_t n = 0; n <= item.size(); ++n) {
    const ExactText info(std::string_view(item).substr(0, n));
    TAprsPacket p;
    DecodeItem(info.View(), p);
    EXPECT_EQ(p.AprsObject.Active, n > 6) << n;
  }
}

}  // namespace
