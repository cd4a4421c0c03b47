#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Kiss.h"

using namespace standin;

namespace {

struct Received {
  std::string line;
  int port;
};

std::vector<Received> FeedAll(TKissDecoder& d, const std::string& bytes) {
  std::vector<Received> out;
  d.OnLine = [&out](const std::string& line, int port) { out.push_back({line, port}); };
  d.Feed(bytes);
  return out;
}

std::string Frame(const std::string& tnc2) {
  const auto f = Tnc2ToAx25(tnc2);
  EXPECT_TRUE(f.has_value()) << tnc2;
  return f.value_or(std::string());
}

TEST(Ax25, RoundTripsUiFramesWithZeroToEightDigipeaters) {
  const std::vector<std::string> lines = {
      "N0CALL>APRS:>no path",
      "N0CALL-9>APRS,WIDE1-1:!4903.50N/07201.75W-",
      "N0CALL>APRS,DIGI1*,WIDE2-1:>one used",
      "N0CALL>APRS,DIGI1,DIGI2*,WIDE2-1:>star on the second",
      "N0CALL-15>APDW16,A,B,C,D,E,F,G,H*:>eight digis, all used",
      "N0CALL>APRS,A,B,C,D,E,F,G,H:>eight digis, none used",
      "AB1CDE-1>APRS-2,WIDE3-3:>ssids",
  };
  for (const std::string& line : lines) {
    const TAx25Result r = Ax25ToTnc2(Frame(line));
    EXPECT_EQ(r.Error, TAx25Error::None) << line;
    EXPECT_EQ(r.Line, line);
  }
}

TEST(Ax25, StarGoesOnTheLastRepeatedDigipeater) {
  // Build the frame by hand: both digipeaters have their H bit set.
  std::string frame = Frame("N0CALL>APRS,DIGI1,DIGI2:>x");
  frame[7 * 2 + 6] = static_cast<char>(frame[7 * 2 + 6] | 0x80);
  frame[7 * 3 + 6] = static_cast<char>(frame[7 * 3 + 6] | 0x80);
  EXPECT_EQ(Ax25ToTnc2(frame).Line, "N0CALL>APRS,DIGI1,DIGI2*:>x");
}

TEST(Ax25, MalformedFramesAreRefused) {
  const std::string good = Frame("N0CALL>APRS,DIGI1:>x");
  struct Case {
    const char* name;
    std::string frame;
    TAx25Error error;
  };
  std::string noEnd;
  for (int i = 0; i < 11; ++i) noEnd += Frame("N0CALL>APRS:x").substr(0, 7);  // never the end bit
  std::string badChar = good;
  badChar[0] = static_cast<char>('a' << 1);
  std::string blankInside = good;
  blankInside[1] = static_cast<char>(' ' << 1);
  std::string notUi = good;
  notUi[21] = 0x3F;  // SABM
  std::string otherPid = good;
  otherPid[22] = static_cast<char>(0xCF);
  std::string oddBit = good;
  oddBit[2] = static_cast<char>(oddBit[2] | 1);
  // clang-format off
  const std::vector<Case> cases = {
      {"empty", std::string(), TAx25Error::ShortAddress},
      {"six bytes", good.substr(0, 6), TAx25Error::ShortAddress},
      {"address cut short", good.substr(0, 17), TAx25Error::ShortAddress},
      {"only one address", Frame("N0CALL>APRS:x").substr(0, 6) + static_cast<char>(0x61) + "\x03\xF0x",
       TAx25Error::ShortAddress},
      {"no end of address", noEnd, TAx25Error::NoEndOfAddress},
      {"lower case", badChar, TAx25Error::BadCallsign},
      {"blank inside", blankInside, TAx25Error::BadCallsign},
      {"low bit in callsign", oddBit, TAx25Error::BadCallsign},
      {"not ui", notUi, TAx25Error::NotUi},
      {"other pid", otherPid, TAx25Error::NotUi},
      {"no control", good.substr(0, 21), TAx25Error::NotUi},
  };
  // clang-format on
  for (const Case& c : cases) {
    const TAx25Result r = Ax25ToTnc2(c.frame);
    EXPECT_EQ(r.Error, c.error) << c.name;
    EXPECT_TRUE(r.Line.empty()) << c.name;
  }
}

TEST(Kiss, DecodesFramesEscapesAndPorts) {
  TKissDecoder d;
  std::string info = "N0CALL>APRS:>a\300b\333c";
  // Port 12's data command is 0xC0, a FEND: it goes escaped like any other.
  std::string bytes = KissEncode(Frame(info), 0) + KissEncode(Frame("N0CALL>APRS:>port3"), 3) +
                      KissEncode(Frame("N0CALL>APRS:>port12"), 12);
  const auto got = FeedAll(d, bytes);
  ASSERT_EQ(got.size(), 3U);
  EXPECT_EQ(got[0].line, info);
  EXPECT_EQ(got[0].port, 0);
  EXPECT_EQ(got[1].line, "N0CALL>APRS:>port3");
  EXPECT_EQ(got[1].port, 3);
  EXPECT_EQ(got[2].line, "N0CALL>APRS:>port12");
  EXPECT_EQ(got[2].port, 12);
  EXPECT_EQ(d.Frames, 3);
}

TEST(Kiss, SurvivesSplitsAcrossReads) {
  TKissDecoder d;
  const std::string bytes = KissEncode(Frame("N0CALL>APRS:>split"));
  std::vector<std::string> got;
  d.OnLine = [&got](const std::string& line, int) { got.push_back(line); };
  for (const char c : bytes) d.Feed(std::string_view(&c, 1));
  ASSERT_EQ(got.size(), 1U);
  EXPECT_EQ(got[0], "N0CALL>APRS:>split");
}

TEST(Kiss, CountsAndDropsWhatIsNotAnAprsFrame) {
  TKissDecoder d;
  std::string bytes;
  bytes += "\xC0\xC0\xC0";                                                              // empty frames between FENDs
  bytes += std::string("\xC0\x01\x32\xC0", 4);                                          // TXDELAY command
  bytes += KissEncode("garbage");                                                       // malformed AX.25
  bytes += std::string("\xC0\x00", 2) + Frame("N0CALL>APRS:>x") + "\xDB\x41" + "\xC0";  // bad escape
  bytes += std::string("\xC0\x00", 2) + std::string(5000, 'A') + "\xC0";                // oversize
  bytes += KissEncode(Frame("N0CALL>APRS:>ok"));
  const auto got = FeedAll(d, bytes);
  ASSERT_EQ(got.size(), 1U);
  EXPECT_EQ(got[0].line, "N0CALL>APRS:>ok");
  EXPECT_EQ(d.Ignored, 1);
  EXPECT_EQ(d.Dropped, 2);
  EXPECT_EQ(d.Oversize, 1);
}

TEST(Kiss, HalfAFrameThenResetLeavesNothing) {
  TKissDecoder d;
  const std::string bytes = KissEncode(Frame("N0CALL>APRS:>half"));
  auto got = FeedAll(d, bytes.substr(0, bytes.size() / 2));
  d.Reset();  // the connection closed
  got = FeedAll(d, KissEncode(Frame("N0CALL>APRS:>next")));
  ASSERT_EQ(got.size(), 1U);
  EXPECT_EQ(got[0].line, "N0CALL>APRS:>next");
}

TEST(Kiss, InfoEndsAtTheFirstLineBreak) {
  const TAx25Result r = Ax25ToTnc2(Frame("N0CALL>APRS:>text") + "\r\nmore");
  EXPECT_EQ(r.Line, "N0CALL>APRS:>text");
}

}  // namespace
