// Packet intake: what turns the host's monitor text into a packet for the
// cache, and the rules of the packet log. Free functions, no widgets.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "APRSData.h"

namespace tarvik {

// The host's text cleaned into one monitor line for the parser, or nothing
// when the text is too short to hold a packet:
//  - fewer than 10 characters: nothing;
//  - the first character (the host's port) is dropped;
//  - a leading "HH:MM:SS " style stamp (digit, then ":" as third character)
//    is cut off up to the first blank; without a blank the line is empty;
//  - every carriage return and line feed is removed.
std::optional<std::string> CleanHostText(std::string_view text);

// The host text cleaned and parsed; nothing when it gives no packet.
std::unique_ptr<aprs::TAprsPacket> PacketFromHostText(std::string_view text);

// Whether a packet may enter the station cache: a position, range data (a
// default PHG counts), not via the Internet unless it carries its own PHG or
// DFS, and never via TCPXX.
bool AcceptPacket(const aprs::TAprsPacket& packet);

// The packet log keeps at most this many lines; above it, it is cut back to
// kLogLinesKept, the newest ones.
inline constexpr int kLogMaxLines = 1000;
inline constexpr int kLogLinesKept = 500;

// How many of the oldest lines to delete from a log of `lineCount` lines.
int LogLinesToDelete(int lineCount);

// One log entry is one line: line breaks inside the text become blanks.
std::string OneLogLine(std::string_view text);

// The log line of a handler's failure: "Problem in <handler>: <message>".
std::string ProblemIn(std::string_view handler, std::string_view message);

}  // namespace tarvik
