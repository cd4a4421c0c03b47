#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "APRSParser.h"
#include "DecoderTestSupport.h"
#include "RowName.h"

using namespace aprs;
using aprs::testing::ExactText;

namespace {

// The example of the published format: 33 25.64N 112 07.74W, 105 knots, course 251.
const std::string kInfo = "(#f&PO>/]Hello";

struct MicECase {
  const char* name;
  std::string line;
  bool valid;
  double lat;
  double lon;
  const char* latText;
  const char* lonText;
  int course;
  int speed;
  char code;
  char table;
  bool thd7;
  bool tmd700;
  std::string comment;
  int msgIndex;
};

// clang-format off
const std::vector<MicECase> kMicECases = {
    {"published example", "N0CALL>S32UVT:`" + kInfo, true, 33.427333, -112.129, "3325.64N", "11207.74W", 251, 105,
     '>', '/', false, true, "]Hello", 4},
    {"ssid and digit", "N0CALL>T7SVWR-2,WIDE1-1:`" + kInfo, true, 47.612, -112.129, "4736.72N", "11207.74W", 251,
     105, '>', '/', false, true, "]Hello", 5},
    {"two-digit ssid", "N0CALL>T7SVWR-12:`" + kInfo, true, 47.612, -112.129, "4736.72N", "11207.74W", 251, 105, '>',
     '/', false, true, "]Hello", 5},
    // Custom message bit on 'A': 8 + 4; '5' has no standard bit, so South.
    {"custom message", "N0CALL>A0L5PP:`" + kInfo, true, -0.083333, -112.129, "0005.00S", "11207.74W", 251, 105, '>',
     '/', false, true, "]Hello", 12},
    {"d 85 plus offset is 105", "N0CALL>S32UVT:`q#f&PO>/", true, 33.427333, -105.129, "3325.64N", "10507.74W", 251,
     105, '>', '/', false, false, "", 4},
    {"d 95 plus offset is 5", "N0CALL>S32UVT:`{#f&PO>/", true, 33.427333, -5.129, "3325.64N", "00507.74W", 251, 105,
     '>', '/', false, false, "", 4},
    {"minutes 65 are 5", "N0CALL>S32UVT:`(]f&PO>/", true, 33.427333, -112.095667, "3325.64N", "11205.74W", 251, 105,
     '>', '/', false, false, "", 4},
    // DC 16: one knot from its tens; its units are the course's hundreds (600 - 400).
    {"speed ignores course hundreds", "N0CALL>S32UVT:`(#f\x1E,O>/", true, 33.427333, -112.129, "3325.64N",
     "11207.74W", 251, 21, '>', '/', false, false, "", 4},
    {"dc 57 gives 105 knots", "N0CALL>S32UVT:`(#f&UO>/", true, 33.427333, -112.129, "3325.64N", "11207.74W", 351, 105,
     '>', '/', false, false, "", 4},
    {"speed 802 wraps to 2", "N0CALL>S32UVT:`(#fl0v>/", true, 33.427333, -112.129, "3325.64N", "11207.74W", 90, 2,
     '>', '/', false, false, "", 4},
    {"course 0 stores no motion", "N0CALL>S32UVT:`(#f&N\x1C>/]Hi", true, 33.427333, -112.129, "3325.64N",
     "11207.74W", 0, 0, '>', '/', false, true, "]Hi", 4},
    {"course 400 is 0", "N0CALL>S32UVT:`(#f&R\x1C>/", true, 33.427333, -112.129, "3325.64N", "11207.74W", 0, 0, '>',
     '/', false, false, "", 4},
    {"th-d7", "N0CALL>S32UVT:`(#f&PO>/>x", true, 33.427333, -112.129, "3325.64N", "11207.74W", 251, 105, '>', '/',
     true, false, ">x", 4},
    {"latitude beyond the pole", "N0CALL>Y52UVT:`" + kInfo, false, 95.427333, -112.129, "9525.64N", "11207.74W", 251,
     105, '>', '/', false, true, "]Hello", 4},
    {"the pole itself", "N0CALL>Y00PPP:`" + kInfo, true, 90.0, -112.129, "9000.00N", "11207.74W", 251, 105, '>', '/',
     false, true, "]Hello", 4},
    {"longitude byte below 28", "N0CALL>S32UVT:`\x10#f&PO>/]x", false, 33.427333, 0.0, "3325.64N", "", 0, 0, '>', '/',
     false, true, "", 4},
    {"longitude byte above 127", "N0CALL>S32UVT:`\xC8#f&PO>/]x", false, 33.427333, 0.0, "3325.64N", "", 0, 0, '>',
     '/', false, true, "", 4},
    {"speed byte out of range", "N0CALL>S32UVT:`(#f\xFFPO>/]x", true, 33.427333, -112.129, "3325.64N", "11207.74W", 0,
     0, '>', '/', false, true, "", 4},
    {"dc 98 out of range", "N0CALL>S32UVT:`(#f&~O>/]x", true, 33.427333, -112.129, "3325.64N", "11207.74W", 0, 0, '>',
     '/', false, true, "", 4},
    {"six bytes, no symbol", "N0CALL>S32UVT:`(#f&PO", true, 33.427333, -112.129, "3325.64N", "11207.74W", 251, 105,
     '\0', '\0', false, false, "", 4},
    {"old mic-e type", "N0CALL>S32UVT:\x1D" + kInfo, true, 33.427333, -112.129, "3325.64N", "11207.74W", 251, 105, '>',
     '/', false, true, "]Hello", 4},
    {"current mic-e type", "N0CALL>S32UVT:\x1C" + kInfo, true, 33.427333, -112.129, "3325.64N", "11207.74W", 251, 105,
     '>', '/', false, true, "]Hello", 4},
    {"tm-d700 type", "N0CALL>S32UVT:'" + kInfo, true, 33.427333, -112.129, "3325.64N", "11207.74W", 251, 105, '>', '/',
     false, true, "]Hello", 4},
};
// clang-format on

void PrintTo(const MicECase& c, std::ostream* os) { *os << c.name; }

class MicETest : public ::testing::TestWithParam<MicECase> {};

TEST_P(MicETest, GivesTheStatedFields) {
  const MicECase& c = GetParam();
  const auto p = ParsePacket(c.line);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Position.Valid, c.valid);
  EXPECT_NEAR(p->Position.Latitude.Value, c.lat, 1e-6);
  EXPECT_NEAR(p->Position.Longitude.Value, c.lon, 1e-6);
  EXPECT_EQ(p->Position.Latitude.Text, c.latText);
  EXPECT_EQ(p->Position.Longitude.Text, c.lonText);
  EXPECT_EQ(p->Position.Course, c.course);
  EXPECT_EQ(p->Position.Speed, c.speed);
  EXPECT_EQ(p->SymbolCode, c.code);
  EXPECT_EQ(p->SymbolTable, c.table);
  EXPECT_EQ(p->FromTHD7, c.thd7);
  EXPECT_EQ(p->FromTMD700, c.tmd700);
  EXPECT_EQ(p->Comment, c.comment);
  EXPECT_EQ(p->Message.MsgIndex, c.msgIndex);
  EXPECT_EQ(p->Message.MsgType, mtUnknown);
  EXPECT_TRUE(p->ErrorMessage.empty());
}

INSTANTIATE_TEST_SUITE_P(Lines, MicETest, ::testing::ValuesIn(kMicECases), tarvik::test::TRowName());

TEST(MicE, RejectedDestinationsLeaveNothing) {
  const std::vector<std::string> dests = {
      "",           // none at all
      "S32UV",      // five characters
      "S32UVT-",    // seven: a dash without an SSID
      "T7SVWR-X",   // the SSID is no digit
      "T7SVWR-1X",  // nine characters, the last no digit
      "S32UVTX",    // seven characters
      "AP0UPP",     // custom 'A' with standard 'P' among the first three
      "S32UAT",     // custom 'A' among the last three
      "S32U!T",     // not a Mic-E character
      "s32uvt-",    // lower case is made upper by the header parser, still seven
  };
  for (const std::string& dest : dests) {
    const auto p = ParsePacket("N0CALL>" + dest + ":`" + kInfo);
    ASSERT_NE(p, nullptr) << dest;
    EXPECT_FALSE(p->Position.Valid) << dest;
    EXPECT_EQ(p->Position.Latitude.Value, 0.0) << dest;
    EXPECT_TRUE(p->Comment.empty()) << dest;
    EXPECT_EQ(p->SymbolCode, '\0') << dest;
    EXPECT_EQ(p->Message.MsgIndex, 0) << dest;
  }
}

TEST(MicE, CommentKeepsAtMost255Characters) {
  const std::string tail(300, 'x');
  const auto p = ParsePacket("N0CALL>S32UVT:`(#f&PO>/" + tail);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Comment, tail.substr(0, 255));
}

// A car symbol marks a mobile station, which gets the lower default antenna.
TEST(MicE, SymbolSetsMobile) {
  struct Case {
    const char* symbol;  // code, then table, as Mic-E sends them
    bool mobile;
    int defaultHaat;
  };
  for (const Case& c : {Case{">/", true, 10}, Case{"-/", false, 20}, Case{">\\", true, 10}, Case{"-\\", false, 20}}) {
    const auto p = ParsePacket(std::string("N0CALL>S32UVT:`(#f&PO") + c.symbol + "]");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Position.Mobile, c.mobile) << c.symbol;
    EXPECT_TRUE(p->Capabilities.DefaultPhg) << c.symbol;
    EXPECT_EQ(p->Capabilities.Antenna.Haat, c.defaultHaat) << c.symbol;
  }
}

// Every truncation of a valid field, in a buffer of exactly its size, stops
// where its data ends.
TEST(MicE, ShortFieldsStopWhereTheirDataEnds) {
  for (std::size_t n = 0; n <= kInfo.size(); ++n) {
    TAprsPacket p;
    p.DestCallsign = "S32UVT";
    const ExactText info(std::string_view(kInfo).substr(0, n));
    DecodeMicE(info.View(), p);
    EXPECT_NEAR(p.Position.Latitude.Value, 33.427333, 1e-6) << n;
    EXPECT_EQ(p.Position.Valid, n >= 3) << n;
    EXPECT_EQ(p.Position.Course, n >= 6 ? 251 : 0) << n;
    EXPECT_EQ(p.SymbolCode, n >= 7 ? '>' : '\0') << n;
    EXPECT_EQ(p.SymbolTable, n >= 8 ? '/' : '\0') << n;
    EXPECT_EQ(p.FromTMD700, n >= 9) << n;
    EXPECT_EQ(p.Comment, n > 8 ? kInfo.substr(8, n - 8) : "") << n;
  }
}

// Every byte value in each of the first nine places: no crash, and a valid
// position is always on the globe's longitudes.
TEST(MicE, AnyByteInAnyPlace) {
  for (std::size_t place = 0; place < 9; ++place) {
    for (int b = 0; b < 256; ++b) {
      std::string field = kInfo.substr(0, 9);
      field[place] = static_cast<char>(b);
      TAprsPacket p;
      p.DestCallsign = "S32UVT";
      const ExactText info(field);
      DecodeMicE(info.View(), p);
      if (p.Position.Valid) {
        EXPECT_LE(std::abs(p.Position.Longitude.Value), 180.0) << place << ' ' << b;
      }
      EXPECT_LT(p.Position.Course, 600);  // hundreds up to 9, less 400
      EXPECT_LT(p.Position.Speed, 800);
    }
  }
}

}  // namespace
