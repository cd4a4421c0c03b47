// What every command-line tool answers before its work.
#pragma once

#include <optional>
#include <string_view>

namespace tarvik::tools {

// A bad option is named on standard error after `program`, with the usage (exit
// code 2); --help prints the usage and --version `program` and `version` (exit
// code 0). Nothing when the tool should go on with its work.
std::optional<int> AnswerBeforeWork(std::string_view program, std::string_view error, bool help, bool version,
                                    std::string_view usage, std::string_view versionText);

}  // namespace tarvik::tools
