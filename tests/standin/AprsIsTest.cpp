#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AprsIs.h"

using namespace standin;

namespace {

TEST(AprsIs, LoginLine) {
  TAprsIsLogin login;
  login.Login = "N0CALL";
  login.Version = "1.0.0";
  EXPECT_EQ(AprsIsLoginLine(login), "user N0CALL pass -1 vers Tarvik 1.0.0\r\n");
  login.Passcode = "12345";
  login.Filter = "r/49/-72/100";
  EXPECT_EQ(AprsIsLoginLine(login), "user N0CALL pass 12345 vers Tarvik 1.0.0 filter r/49/-72/100\r\n");
}

TEST(AprsIs, ServerComments) {
  EXPECT_TRUE(IsServerComment("# aprsc 2.1"));
  EXPECT_FALSE(IsServerComment("N0CALL>APRS:>#"));
  EXPECT_FALSE(IsServerComment(""));
}

std::vector<std::string> Split(TLineSplitter& s, const std::vector<std::string>& chunks) {
  std::vector<std::string> lines;
  s.OnLine = [&lines](std::string_view line) { lines.emplace_back(line); };
  for (const auto& c : chunks) s.Feed(c);
  return lines;
}

TEST(LineSplitter, SplitsAcrossChunksAndDropsCr) {
  TLineSplitter s;
  const auto lines = Split(s, {"A>B:1\r\nA>", "B:2\n", "\r\n", "A>B:3"});
  EXPECT_EQ(lines, (std::vector<std::string>{"A>B:1", "A>B:2", ""}));
}

TEST(LineSplitter, DropsOverlongLinesWithoutHoldingThem) {
  TLineSplitter s;
  const std::string exact(TLineSplitter::kMaxLine, 'x');
  const std::string over(TLineSplitter::kMaxLine + 1, 'y');
  const std::string mega(1 << 20, 'z');  // 1 MB without a newline, in pieces
  std::vector<std::string> chunks = {exact + "\r\n", over + "\n"};
  for (int i = 0; i < 16; ++i) chunks.push_back(mega.substr(0, mega.size() / 16));
  chunks.push_back("\nA>B:after\n");
  const auto lines = Split(s, chunks);
  ASSERT_EQ(lines.size(), 2U);
  EXPECT_EQ(lines[0], exact);
  EXPECT_EQ(lines[1], "A>B:after");
  EXPECT_EQ(s.Overlong, 2);
}

TEST(ReconnectDelay, DoublesUpToAMinuteAndResets) {
  TReconnectDelay d;
  std::vector<int> got;
  for (int i = 0; i < 9; ++i) got.push_back(d.Next());
  EXPECT_EQ(got, (std::vector<int>{1000, 2000, 4000, 8000, 16000, 32000, 60000, 60000, 60000}));
  d.Reset();
  EXPECT_EQ(d.Next(), 1000);
}

}  // namespace
