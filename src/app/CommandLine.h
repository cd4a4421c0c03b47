// The program's command line. Tarvik takes no arguments of its own: --help
// and --version answer and end the program before any window opens, so they
// work without a display; every other argument is left to Qt and otherwise
// ignored, as before.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// The text to print for the first --help or --version among `args` (the
// arguments after the program's name), or nothing when the program is to start.
std::optional<std::string> CommandLineAnswer(const std::vector<std::string_view>& args);

}  // namespace tarvik
