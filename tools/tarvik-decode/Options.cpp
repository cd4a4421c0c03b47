#include "Options.h"

#include <charconv>
#include <cmath>

#include "Text.h"

namespace tarvik::decode {

const char* const kUsage =
    "usage: tarvik-decode [--json | --report FLAGS] [--stats] [--now DAYS] [FILE...]\n"
    "\n"
    "Decodes APRS monitor lines (SRC>DEST,PATH:info), one per line, from the FILEs\n"
    "or standard input (\"-\" or no FILE). Blank lines and lines starting with \"#\" are skipped.\n"
    "\n"
    "  --json          one JSON object per line, null for a rejected line (default)\n"
    "  --report FLAGS  the packet's text report; FLAGS adds up sections: 1 header,\n"
    "                  2 position, 4 message, 8 object/item, 16 DF report, 32 weather,\n"
    "                  64 station capabilities (127: all); decimal or 0x hexadecimal\n"
    "  --stats         parse every line, print only a summary with lines per second\n"
    "  --now DAYS      pin the UTC clock to DAYS since 1899-12-30 (e.g. 46363.5)\n"
    "  --help          this text\n"
    "  --version       the program's version\n";

std::optional<std::uint8_t> ParseReportFlags(std::string_view text) {
  int value = -1;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    const std::string_view hex = text.substr(2);
    const auto [end, ec] = std::from_chars(hex.data(), hex.data() + hex.size(), value, 16);
    if (ec != std::errc() || end != hex.data() + hex.size()) return std::nullopt;
  } else {
    const std::optional<int> decimal = text::ToInt(text);
    if (!decimal) return std::nullopt;
    value = *decimal;
  }
  if (value < 0 || value > 255) return std::nullopt;
  return static_cast<std::uint8_t>(value);
}

ParseResult ParseOptions(const std::vector<std::string_view>& args) {
  ParseResult r;
  Options& o = r.Value;
  bool modeGiven = false;
  bool filesOnly = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view a = args[i];
    const auto needValue = [&](std::string_view option) -> std::optional<std::string_view> {
      if (i + 1 >= args.size()) {
        r.Error = std::string(option) + " needs a value";
        return std::nullopt;
      }
      return args[++i];
    };
    if (filesOnly || a == "-" || a.empty() || a[0] != '-') {
      o.Files.emplace_back(a);
    } else if (a == "--") {
      filesOnly = true;
    } else if (a == "--help" || a == "-h") {
      o.Help = true;
    } else if (a == "--version") {
      o.Version = true;
    } else if (a == "--json") {
      if (modeGiven && o.Mode != OutputMode::Json) r.Error = "--json and --report exclude each other";
      o.Mode = OutputMode::Json;
      modeGiven = true;
    } else if (a == "--report") {
      const auto v = needValue(a);
      if (!v) return r;
      const auto flags = ParseReportFlags(*v);
      if (!flags) {
        r.Error = "--report wants section flags from 0 to 255, not \"" + std::string(*v) + "\"";
        return r;
      }
      if (modeGiven && o.Mode != OutputMode::Report) r.Error = "--json and --report exclude each other";
      o.Mode = OutputMode::Report;
      o.ReportFlags = *flags;
      modeGiven = true;
    } else if (a == "--stats") {
      o.Stats = true;
    } else if (a == "--now") {
      const auto v = needValue(a);
      if (!v) return r;
      const auto days = text::ToDouble(*v);
      if (!days || !std::isfinite(*days)) {
        r.Error = "--now wants a number of days since 1899-12-30, not \"" + std::string(*v) + "\"";
        return r;
      }
      o.Now = *days;
    } else {
      r.Error = "unknown option " + std::string(a);
    }
    if (!r.Error.empty()) return r;
  }
  return r;
}

}  // namespace tarvik::decode
