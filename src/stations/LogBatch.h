// Packet-log lines gathered between two updates of the log view.
//
// A busy feed brings hundreds of lines a second, and laying out a text view
// once per line costs more than everything else a line does. The view is
// therefore updated once per batch, and the batch works out what appending its
// lines one by one would have left: each append past kLogMaxLines cuts the log
// back to its newest kLogLinesKept lines, so of a long batch only its newest
// lines can survive, and only those are kept.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// What to do to a log view that shows `shownLines` lines.
struct TLogUpdate {
  int DeleteOldest = 0;             // lines to delete from the top first
  std::vector<std::string> Append;  // then the lines to append, oldest first
};

class TLogBatch {
 public:
  // One log entry; line breaks inside it become blanks.
  void Add(std::string_view text);
  bool Empty() const { return m_added == 0; }

  // The update that leaves the view as appending every added line one by one
  // would; the batch is empty afterwards.
  TLogUpdate Take(int shownLines);

 private:
  // The newest lines; more than kLogMaxLines can never survive, so once it holds
  // twice that many the older half is dropped in one go.
  std::vector<std::string> m_newest;
  long long m_added = 0;  // lines added since the last Take, kept or not
};

// The number of lines a log of `shownLines` holds after `added` more lines
// were appended one by one, each append followed by the cut.
int LogLinesAfter(int shownLines, long long added);

}  // namespace tarvik
