// The feed file format that replays and tarvik-decode both read: one monitor
// line per text line; blank lines and lines starting with "#" carry no packet.
#pragma once

#include <string_view>

namespace aprs {

// Lines starting with this are comments.
inline constexpr char kFeedCommentMark = '#';

// True for a line that is no packet: empty, nothing but blanks and control
// characters, or a comment. The line comes without its line break.
bool IsSkippedFeedLine(std::string_view line);

}  // namespace aprs
