#include "FeedLine.h"

#include "Text.h"

namespace aprs {

bool IsSkippedFeedLine(std::string_view line) { return text::Trim(line).empty() || line.front() == kFeedCommentMark; }

}  // namespace aprs
