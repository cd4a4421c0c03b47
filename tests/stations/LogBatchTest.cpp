// The batched packet log against appending its lines one by one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Intake.h"
#include "LogBatch.h"

namespace tarvik {
namespace {

// The log as line-by-line appending leaves it: append, then cut past 1000.
std::vector<std::string> AppendOneByOne(std::vector<std::string> log, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    log.push_back(line);
    const int surplus = LogLinesToDelete(static_cast<int>(log.size()));
    log.erase(log.begin(), log.begin() + surplus);
  }
  return log;
}

std::vector<std::string> Numbered(const std::string& prefix, int count) {
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i) lines.push_back(prefix + std::to_string(i));
  return lines;
}

TEST(LogBatch, LeavesWhatAppendingOneByOneLeaves) {
  struct Case {
    int shown;
    int added;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {0, 0}, {0, 1}, {0, 1000}, {0, 1001}, {0, 1002}, {999, 1}, {999, 2}, {1000, 1},
      {500, 500}, {500, 501}, {500, 502}, {700, 1300}, {0, 5000}, {1000, 1002}, {10, 100000},
      {1003, 0}, {1003, 1},  // a view somehow over the limit is cut by the next append
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE("shown " + std::to_string(c.shown) + ", added " + std::to_string(c.added));
    const std::vector<std::string> shown = Numbered("old ", c.shown);
    const std::vector<std::string> added = Numbered("new ", c.added);
    TLogBatch batch;
    for (const std::string& line : added) batch.Add(line);
    const TLogUpdate update = batch.Take(c.shown);
    ASSERT_GE(update.DeleteOldest, 0);
    ASSERT_LE(update.DeleteOldest, c.shown);
    std::vector<std::string> log(shown.begin() + update.DeleteOldest, shown.end());
    log.insert(log.end(), update.Append.begin(), update.Append.end());
    EXPECT_EQ(log, AppendOneByOne(shown, added));
    EXPECT_TRUE(batch.Empty());
  }
}

TEST(LogBatch, LineBreaksBecomeBlanksAndTheBatchStartsAfresh) {
  TLogBatch batch;
  batch.Add("one\r\ntwo");
  EXPECT_EQ(batch.Take(0).Append, std::vector<std::string>{"one  two"});
  batch.Add("three");
  EXPECT_EQ(batch.Take(1).Append, std::vector<std::string>{"three"});
}

}  // namespace
}  // namespace tarvik
