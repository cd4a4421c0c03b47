#include "LogBatch.h"

#include <algorithm>

#include "Intake.h"

namespace tarvik {

void TLogBatch::Add(std::string_view text) {
  constexpr auto kKept = static_cast<std::ptrdiff_t>(kLogMaxLines);
  if (m_newest.size() >= 2 * static_cast<std::size_t>(kLogMaxLines))
    m_newest.erase(m_newest.begin(), m_newest.end() - kKept);
  m_newest.push_back(OneLogLine(text));
  ++m_added;
}

int LogLinesAfter(int shownLines, long long added) {
  long long lines = std::max(shownLines, 0);
  if (added <= 0) return static_cast<int>(lines);
  // Until the first cut the log only grows; after it, every cycle from
  // kLogLinesKept to past kLogMaxLines takes the same number of appends.
  const long long toFirstCut = kLogMaxLines + 1 - lines;
  if (added < toFirstCut) return static_cast<int>(lines + added);
  if (lines > kLogMaxLines) {  // a view already over the limit is cut by the first append
    lines = kLogLinesKept;
    --added;
  } else {
    lines = kLogLinesKept;
    added -= toFirstCut;
  }
  const long long cycle = kLogMaxLines + 1 - kLogLinesKept;
  return static_cast<int>(lines + added % cycle);
}

TLogUpdate TLogBatch::Take(int shownLines) {
  TLogUpdate update;
  const int shown = std::max(shownLines, 0);
  const int after = LogLinesAfter(shown, m_added);
  // The newest `after` lines of the shown lines followed by the added ones.
  const long long fromAdded = std::min<long long>(after, m_added);
  const int fromShown = after - static_cast<int>(fromAdded);
  update.DeleteOldest = shown - fromShown;
  update.Append.reserve(static_cast<std::size_t>(fromAdded));
  for (std::size_t i = m_newest.size() - static_cast<std::size_t>(fromAdded); i < m_newest.size(); ++i)
    update.Append.push_back(std::move(m_newest[i]));
  m_newest.clear();
  m_added = 0;
  return update;
}

}  // namespace tarvik
