#include "InputFiles.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>

namespace tarvik::tools {

namespace {

void ReadAll(std::istream& in, const std::function<void(std::string&)>& line) {
  std::string text;
  while (std::getline(in, text)) line(text);
}

}  // namespace

int ReadInputLines(std::string_view program, const std::vector<std::string>& files,
                   const std::function<void(std::string&)>& line, std::ostream& errors) {
  int status = 0;
  const std::vector<std::string> stdinOnly = {"-"};
  for (const std::string& path : files.empty() ? stdinOnly : files) {
    if (path == "-") {
      ReadAll(std::cin, line);
      continue;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
      errors << program << ": cannot read " << path << ": " << std::strerror(errno) << '\n';
      status = 1;
      continue;
    }
    ReadAll(file, line);
    if (file.bad()) {
      errors << program << ": error reading " << path << ": " << std::strerror(errno) << '\n';
      status = 1;
    }
  }
  return status;
}

}  // namespace tarvik::tools
