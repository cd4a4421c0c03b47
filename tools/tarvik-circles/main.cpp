// tarvik-circles: the circles of the draw pass, the measured-reach circles
// and the coverage table, from monitor lines, without a window.
#include <iostream>
#include <string>
#include <vector>

#include "APRSParser.h"
#include "CirclesOptions.h"
#include "CirclesRun.h"
#include "CommandLine.h"
#include "InputFiles.h"
#include "TarvikVersion.h"

namespace {

using namespace tarvik::circles;

constexpr std::string_view kProgram = "tarvik-circles";

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string_view> args(argv + 1, argv + argc);
  const ParseResult parsed = ParseOptions(args);
  const Options& options = parsed.Value;
  if (const auto code = tarvik::tools::AnswerBeforeWork(kProgram, parsed.Error, options.Help, options.Version, kUsage,
                                                        TARVIK_VERSION))
    return *code;
  if (options.Now) {
    const double now = *options.Now;
    aprs::SetUtcClock([now] { return now; });
  }

  std::ios::sync_with_stdio(false);
  TCirclesRun run(options);
  const int status = tarvik::tools::ReadInputLines(
      kProgram, options.Files, [&run](std::string& line) { run.Line(line); }, std::cerr);
  std::cout << run.Finish();
  std::cout.flush();
  if (!std::cout) {
    std::cerr << kProgram << ": cannot write the output\n";
    return 1;
  }
  return status;
}
