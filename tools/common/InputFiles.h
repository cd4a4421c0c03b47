// The command-line tools' input: every line of the files named, in order, or
// of standard input when none is named ("-" also names standard input).
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik::tools {

// Hands every line to `line`, which may take the text (the buffer is the reader's). A file that cannot be read, or
// fails while being read, is named on `errors` after `program` and the others are still read. Returns 0, or 1 when any
// file failed.
int ReadInputLines(std::string_view program, const std::vector<std::string>& files,
                   const std::function<void(std::string&)>& line, std::ostream& errors);

}  // namespace tarvik::tools
