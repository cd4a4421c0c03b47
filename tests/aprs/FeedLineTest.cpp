#include <gtest/gtest.h>

#include <string>

#include "FeedLine.h"

namespace {

TEST(FeedLine, BlankLinesAndCommentsAreSkipped) {
  struct Case {
    std::string line;
    bool skipped;
  };
  // clang-format off
  const Case cases[] = {
      {"",                         true},
      {"   ",                      true},   // blanks only
      {" \t\r",                    true},   // a CR left over from a CR LF file
      {std::string("\0\x01", 2),   true},   // control characters only
      {"#",                        true},
      {"# TV1ABC>APRS:>commented", true},
      {" #indented",               false},  // the mark counts only in the first column
      {"TV1ABC>APRS:>hello #1",    false},
      {" TV1ABC>APRS:>hello",      false},
      {"\xff",                     false},  // an 8-bit byte is text
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.line));
    EXPECT_EQ(aprs::IsSkippedFeedLine(c.line), c.skipped);
  }
}

}  // namespace
