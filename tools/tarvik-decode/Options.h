// Command line of the decoder tool.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik::decode {

enum class OutputMode { Json, Report };

struct Options {
  OutputMode Mode = OutputMode::Json;
  std::uint8_t ReportFlags = 0;
  bool Stats = false;
  bool Help = false;
  bool Version = false;
  std::optional<double> Now;       // pinned UTC clock, TDateTime days
  std::vector<std::string> Files;  // empty: standard input; "-" also means it
};

struct ParseResult {
  Options Value;
  std::string Error;  // empty when the command line is good
};

ParseResult ParseOptions(const std::vector<std::string_view>& args);

// Section flags: decimal 0 to 255 or hexadecimal with "0x".
std::optional<std::uint8_t> ParseReportFlags(std::string_view text);

extern const char* const kUsage;

}  // namespace tarvik::decode
