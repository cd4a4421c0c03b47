#include "AprsIs.h"

#include <algorithm>

namespace standin {

std::string AprsIsLoginLine(const TAprsIsLogin& login) {
  std::string line = "user " + login.Login + " pass " + login.Passcode + " vers Tarvik " + login.Version;
  if (!login.Filter.empty()) line += " filter " + login.Filter;
  line += "\r\n";
  return line;
}

void TLineSplitter::Reset() {
  m_line.clear();
  m_discarding = false;
}

void TLineSplitter::Feed(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t lf = bytes.find('\n');
    const std::string_view part = bytes.substr(0, lf);
    if (!m_discarding) {
      if (m_line.size() + part.size() > kMaxLine + 1) {  // + 1: a CR before the LF
        m_discarding = true;
        m_line.clear();
      } else {
        m_line.append(part);
      }
    }
    if (lf == std::string_view::npos) return;
    bytes.remove_prefix(lf + 1);
    if (m_discarding) {
      ++Overlong;
    } else {
      std::string_view line(m_line);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (line.size() > kMaxLine) {
        ++Overlong;
      } else if (OnLine) {
        OnLine(line);
      }
    }
    Reset();
  }
}

int TReconnectDelay::Next() {
  const int delay = m_next;
  m_next = std::min(m_next * 2, kMaxMs);
  return delay;
}

}  // namespace standin
