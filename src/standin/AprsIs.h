// The parts of an APRS-IS client that need no socket: the login line, the
// line splitter that bounds what a server can make us hold, and the
// reconnection delays.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace standin {

struct TAprsIsLogin {
  std::string Login;            // defaults to the host's own call
  std::string Passcode = "-1";  // -1: receive only
  std::string Filter;
  std::string Version;
};

// "user <Login> pass <Passcode> vers Tarvik <version> filter <Filter>" and CR LF;
// the filter part is left out when there is no filter.
std::string AprsIsLoginLine(const TAprsIsLogin& login);

// True for a server's comment line (banner, keep-alive, login answer).
inline bool IsServerComment(std::string_view line) { return !line.empty() && line[0] == '#'; }

// Splits a byte stream into lines at LF (a CR before it is dropped). A line
// longer than kMaxLine is dropped and counted; its bytes are not kept.
class TLineSplitter {
 public:
  static constexpr std::size_t kMaxLine = 512;

  std::function<void(std::string_view line)> OnLine;
  void Feed(std::string_view bytes);
  void Reset();

  int Overlong = 0;

 private:
  std::string m_line;
  bool m_discarding = false;
};

// Reconnection delays: 1 s after the first drop, doubling up to 60 s; a
// connection that delivered data starts the series again.
class TReconnectDelay {
 public:
  static constexpr int kFirstMs = 1000;
  static constexpr int kMaxMs = 60000;

  int Next();
  void Reset() { m_next = kFirstMs; }

 private:
  int m_next = kFirstMs;
};

}  // namespace standin
