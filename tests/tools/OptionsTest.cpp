#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Options.h"

using namespace tarvik::decode;

namespace {

struct OptionCase {
  const char* name;
  std::vector<std::string_view> args;
  bool ok;
  OutputMode mode;
  int flags;
  bool stats;
  double now;  // < 0: not pinned
  std::vector<std::string> files;
};

// clang-format off
const std::vector<OptionCase> kCases = {
    {"nothing reads standard input", {}, true, OutputMode::Json, 0, false, -1, {}},
    {"json and files", {"--json", "a.txt", "-", "b.txt"}, true, OutputMode::Json, 0, false, -1, {"a.txt", "-", "b.txt"}},
    {"report decimal", {"--report", "127"}, true, OutputMode::Report, 127, false, -1, {}},
    {"report hexadecimal", {"--report", "0x41", "f"}, true, OutputMode::Report, 0x41, false, -1, {"f"}},
    {"report zero", {"--report", "0"}, true, OutputMode::Report, 0, false, -1, {}},
    {"stats and now", {"--stats", "--now", "46363.5"}, true, OutputMode::Json, 0, true, 46363.5, {}},
    {"double dash ends options", {"--", "--stats"}, true, OutputMode::Json, 0, false, -1, {"--stats"}},
    {"report too big", {"--report", "256"}, false, OutputMode::Json, 0, false, -1, {}},
    {"report negative", {"--report", "-1"}, false, OutputMode::Json, 0, false, -1, {}},
    {"report not a number", {"--report", "all"}, false, OutputMode::Json, 0, false, -1, {}},
    {"report bad hexadecimal", {"--report", "0xZZ"}, false, OutputMode::Json, 0, false, -1, {}},
    {"report without value", {"--report"}, false, OutputMode::Json, 0, false, -1, {}},
    {"now without value", {"--now"}, false, OutputMode::Json, 0, false, -1, {}},
    {"now not a number", {"--now", "today"}, false, OutputMode::Json, 0, false, -1, {}},
    {"now infinite", {"--now", "1e999"}, false, OutputMode::Json, 0, false, -1, {}},
    {"json and report", {"--json", "--report", "1"}, false, OutputMode::Json, 0, false, -1, {}},
    {"report and json", {"--report", "1", "--json"}, false, OutputMode::Json, 0, false, -1, {}},
    {"unknown option", {"--jsn"}, false, OutputMode::Json, 0, false, -1, {}},
};
// clang-format on

TEST(Options, CommandLines) {
  for (const OptionCase& c : kCases) {
    const ParseResult r = ParseOptions(c.args);
    EXPECT_EQ(r.Error.empty(), c.ok) << c.name << ": " << r.Error;
    if (!c.ok || !r.Error.empty()) continue;
    EXPECT_EQ(r.Value.Mode, c.mode) << c.name;
    EXPECT_EQ(r.Value.ReportFlags, c.flags) << c.name;
    EXPECT_EQ(r.Value.Stats, c.stats) << c.name;
    EXPECT_EQ(r.Value.Now.has_value(), c.now >= 0) << c.name;
    if (r.Value.Now) {
      EXPECT_EQ(*r.Value.Now, c.now) << c.name;
    }
    EXPECT_EQ(r.Value.Files, c.files) << c.name;
  }
}

TEST(Options, ErrorsNameTheOffendingValue) {
  EXPECT_NE(ParseOptions({"--report", "300"}).Error.find("\"300\""), std::string::npos);
  EXPECT_NE(ParseOptions({"--frobnicate"}).Error.find("--frobnicate"), std::string::npos);
  EXPECT_NE(ParseOptions({"--now"}).Error.find("--now"), std::string::npos);
}

}  // namespace
