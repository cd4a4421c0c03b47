#include "CommandLine.h"

#include <iostream>

namespace tarvik::tools {

std::optional<int> AnswerBeforeWork(std::string_view program, std::string_view error, bool help, bool version,
                                    std::string_view usage, std::string_view versionText) {
  if (!error.empty()) {
    std::cerr << program << ": " << error << "\n\n" << usage;
    return 2;
  }
  if (help) {
    std::cout << usage;
    return 0;
  }
  if (version) {
    std::cout << program << ' ' << versionText << '\n';
    return 0;
  }
  return std::nullopt;
}

}  // namespace tarvik::tools
