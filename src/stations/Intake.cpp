#include "Intake.h"

#include <algorithm>

#include "APRSParser.h"
#include "Text.h"

namespace tarvik {

namespace {

constexpr std::size_t kMinHostTextLength = 10;

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

}  // namespace

std::optional<std::string> CleanHostText(std::string_view text) {
  if (text.size() < kMinHostTextLength) return std::nullopt;
  std::string line(text.substr(1));  // the host's port character
  if (text::IsDigit(line[0]) && line[2] == ':') aprs::NextToken(line, " ");
  std::erase_if(line, IsLineBreak);
  return line;
}

std::unique_ptr<aprs::TAprsPacket> PacketFromHostText(std::string_view text) {
  const std::optional<std::string> line = CleanHostText(text);
  if (!line) return nullptr;
  return aprs::ParsePacket(*line);
}

bool AcceptPacket(const aprs::TAprsPacket& packet) {
  const bool ownRangeData = !packet.Capabilities.PhgString.empty() || !packet.DFReport.DfsString.empty();
  return (!packet.ViaInternet || ownRangeData) && packet.Position.Valid &&
         (packet.Capabilities.HasCapabilities || packet.DFReport.HasReport) && !packet.ViaTcpXX;
}

int LogLinesToDelete(int lineCount) { return lineCount > kLogMaxLines ? lineCount - kLogLinesKept : 0; }

std::string ProblemIn(std::string_view handler, std::string_view message) {
  std::string line = "Problem in ";
  line += handler;
  line += ": ";
  line += message;
  return line;
}

std::string OneLogLine(std::string_view text) {
  std::string line(text);
  std::replace_if(line.begin(), line.end(), IsLineBreak, ' ');
  return line;
}

}  // namespace tarvik
