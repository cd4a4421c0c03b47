#include "MonitorText.h"

#include <cstdio>

#include "Text.h"

namespace standin {

std::optional<TTnc2Line> SplitTnc2(std::string_view line) {
  const std::size_t colon = line.find(':');
  const std::size_t gt = line.find('>');
  if (colon == std::string_view::npos || gt == std::string_view::npos || gt > colon) return std::nullopt;
  return TTnc2Line{line.substr(0, colon), line.substr(colon + 1)};
}

std::string SourceOf(std::string_view header) {
  std::string source = text::Upper(text::Trim(header.substr(0, header.find('>'))));
  if (!source.empty() && source.back() == '*') source.pop_back();
  return source;
}

bool IsInternetPath(std::string_view header) {
  const std::size_t comma = header.find(',');
  if (comma == std::string_view::npos) return false;
  std::string_view path = header.substr(comma + 1);
  if (text::ContainsUpper(path, "TCPIP") || text::ContainsUpper(path, "TCPXX")) return true;
  while (!path.empty()) {
    const std::size_t next = path.find(',');
    const std::string element = text::Upper(text::Trim(path.substr(0, next)));
    if (element.size() == 3 && text::StartsWith(element, "QA")) return true;
    path = next == std::string_view::npos ? std::string_view{} : path.substr(next + 1);
  }
  return false;
}

std::string FormatMonitorText(const TTnc2Line& line, TClockTime time, int radioPort) {
  const bool internet = IsInternetPath(line.Header);
  char stamp[16];
  std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d ", time.Hour % 100, time.Minute % 100, time.Second % 100);
  std::string text;
  text.reserve(line.Header.size() + line.Info.size() + 32);
  text += internet ? kInternetPortChar : kRadioPortChar;
  text += stamp;
  text += line.Header;
  if (!internet) {
    text += " Port=";
    text += std::to_string(radioPort);
  }
  text += " <UI>:";
  text += line.Info;
  text += "\r\n";
  return text;
}

}  // namespace standin
