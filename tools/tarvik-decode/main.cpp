// tarvik-decode: decodes APRS monitor lines into JSON (one object per line),
// into the packet's text report, or into a one-line summary with the parser's
// speed.
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "APRSParser.h"
#include "CommandLine.h"
#include "FeedLine.h"
#include "InputFiles.h"
#include "JsonOut.h"
#include "Options.h"
#include "TarvikVersion.h"

namespace {

using namespace tarvik::decode;

constexpr std::string_view kProgram = "tarvik-decode";

void StripCarriageReturn(std::string& line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
}

class Decoder {
 public:
  explicit Decoder(const Options& options) : m_options(options) {}

  void Line(std::string& line) {
    StripCarriageReturn(line);
    ++m_linesRead;
    if (aprs::IsSkippedFeedLine(line)) {
      ++m_skipped;
      return;
    }
    if (m_options.Stats) {
      m_pending.push_back(std::move(line));
      return;
    }
    const auto packet = aprs::ParsePacket(line);
    if (m_options.Mode == OutputMode::Json) {
      std::cout << JsonLine(packet.get()) << '\n';
    } else {
      // Reports are CR LF text; an empty line (CR LF) separates them.
      if (m_reports++ > 0) std::cout << "\r\n\r\n";
      std::cout << (packet ? packet->AsText(m_options.ReportFlags) : std::string("null"));
    }
  }

  void Finish() {
    if (m_options.Stats) {
      PrintStats();
    } else if (m_options.Mode == OutputMode::Report && m_reports > 0) {
      std::cout << "\r\n";
    }
  }

 private:
  // Parses the lines read so far; only this loop is timed.
  void PrintStats() {
    std::array<long long, aprs::kDataTypeCount> perType{};
    long long packets = 0;
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& line : m_pending) {
      const auto packet = aprs::ParsePacket(line);
      if (!packet) continue;
      ++packets;
      ++perType[static_cast<std::size_t>(packet->DataType)];
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const double seconds =
        std::max(std::chrono::duration<double>(elapsed).count(), 1e-9);  // a tiny run still prints a figure

    const auto parsed = static_cast<long long>(m_pending.size());
    std::cout << "lines read " << m_linesRead << ", skipped " << m_skipped << ", packets " << packets << ", rejected "
              << parsed - packets;
    for (std::size_t i = 0; i < perType.size(); ++i)
      if (perType[i] > 0)
        std::cout << ", " << aprs::DataTypeName(static_cast<aprs::TAprsDataType>(i)) << ' ' << perType[i];
    std::cout << ", " << static_cast<long long>(static_cast<double>(parsed) / seconds) << " lines/s\n";
  }

  const Options& m_options;
  std::vector<std::string> m_pending;
  long long m_linesRead = 0;
  long long m_skipped = 0;
  long long m_reports = 0;
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string_view> args(argv + 1, argv + argc);
  const ParseResult parsed = ParseOptions(args);
  const Options& options = parsed.Value;
  if (const auto code = tarvik::tools::AnswerBeforeWork(kProgram, parsed.Error, options.Help, options.Version, kUsage,
                                                        std::string(TARVIK_VERSION) + "\n" + TARVIK_LEGAL_NOTICE))
    return *code;
  if (options.Now) {
    const double now = *options.Now;
    aprs::SetUtcClock([now] { return now; });
  }

  std::ios::sync_with_stdio(false);
  Decoder decoder(options);
  const int status = tarvik::tools::ReadInputLines(
      kProgram, options.Files, [&decoder](std::string& line) { decoder.Line(line); }, std::cerr);
  decoder.Finish();
  std::cout.flush();
  if (!std::cout) {
    std::cerr << kProgram << ": cannot write the output\n";
    return 1;
  }
  return status;
}
