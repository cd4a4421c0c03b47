#include "CirclesOptions.h"

#include <array>

#include "Text.h"

namespace tarvik::circles {

namespace {

constexpr double kMaxLatitude = 90.0;
constexpr double kMaxLongitude = 180.0;
constexpr std::size_t kBoundsParts = 4;

std::vector<std::string_view> SplitCommas(std::string_view text) {
  std::vector<std::string_view> parts;
  for (;;) {
    const std::size_t comma = text.find(',');
    parts.push_back(text::Trim(text.substr(0, comma)));
    if (comma == std::string_view::npos) return parts;
    text.remove_prefix(comma + 1);
  }
}

}  // namespace

const char* const kUsage =
    "usage: tarvik-circles [--geojson | --kml | --report] [--bounds WEST,SOUTH,EAST,NORTH]\n"
    "                      [--full-size] [--df] [--classes digis,mobiles,igates,default,others]\n"
    "                      [--reach] [--now DAYS] [--max-age MINUTES] [--mycall CALL] [FILE...]\n"
    "       tarvik-circles --help | --version\n"
    "\n"
    "Reads APRS monitor lines (SRC>DEST,PATH:info) from the FILEs or standard input (\"-\" or\n"
    "no FILE), skipping blank lines and lines starting with \"#\", keeps the latest accepted\n"
    "packet of every station as the program's station cache does, and writes the circles the\n"
    "draw pass would draw on a map showing the bounds, or the coverage table.\n"
    "\n"
    "  --geojson         GeoJSON (RFC 7946) feature collection (default)\n"
    "  --kml             KML 2.2 document\n"
    "  --report          the coverage table as text, one station a line, tab-separated\n"
    "  --bounds W,S,E,N  the map's bounds in degrees (default: the whole world); the map is\n"
    "                    as high as the bounds, which decides which circles are too small\n"
    "  --full-size       full-size range circles (default: half size)\n"
    "  --df              DF circles instead of range circles\n"
    "  --classes LIST    the classes drawn (default: all); grey circles are always drawn\n"
    "  --reach           add the measured-reach circles (orange)\n"
    "  --now DAYS        pin the UTC clock to DAYS since 1899-12-30 (e.g. 46363.5)\n"
    "  --max-age MINUTES expiry age of stations and of measured sources (default 60)\n"
    "  --mycall CALL     the host station, which heard packets marked \"Port=\" directly\n"
    "  --help            this text\n"
    "  --version         the program's version\n";

std::optional<TGeoBounds> ParseBounds(std::string_view text) {
  const std::vector<std::string_view> parts = SplitCommas(text);
  if (parts.size() != kBoundsParts) return std::nullopt;
  std::array<double, kBoundsParts> v{};
  for (std::size_t i = 0; i < kBoundsParts; ++i) {
    const std::optional<double> d = text::ToDouble(parts[i]);
    if (!d || !std::isfinite(*d)) return std::nullopt;
    v[i] = *d;
  }
  const auto [west, south, east, north] = v;
  if (!(west < east) || !(south < north) || west < -kMaxLongitude || east > kMaxLongitude || south < -kMaxLatitude ||
      north > kMaxLatitude)
    return std::nullopt;
  return TGeoBounds{static_cast<float>(west), static_cast<float>(east), static_cast<float>(north),
                    static_cast<float>(south)};
}

std::optional<TCircleChoice> ParseClasses(std::string_view text) {
  TCircleChoice choice;
  choice.DrawDigis = choice.DrawMobiles = choice.DrawIGates = choice.DrawDefaultPhg = choice.DrawOthers = false;
  for (const std::string_view name : SplitCommas(text)) {
    if (name == "digis")
      choice.DrawDigis = true;
    else if (name == "mobiles")
      choice.DrawMobiles = true;
    else if (name == "igates")
      choice.DrawIGates = true;
    else if (name == "default")
      choice.DrawDefaultPhg = true;
    else if (name == "others")
      choice.DrawOthers = true;
    else
      return std::nullopt;
  }
  return choice;
}

ParseResult ParseOptions(const std::vector<std::string_view>& args) {
  ParseResult r;
  Options& o = r.Value;
  bool modeGiven = false;
  bool filesOnly = false;
  const auto setMode = [&](OutputMode mode) {
    if (modeGiven && o.Mode != mode) r.Error = "--geojson, --kml and --report exclude each other";
    o.Mode = mode;
    modeGiven = true;
  };
  for (std::size_t i = 0; i < args.size() && r.Error.empty(); ++i) {
    const std::string_view a = args[i];
    const auto needValue = [&](std::string_view option) -> std::optional<std::string_view> {
      if (i + 1 >= args.size()) {
        r.Error = std::string(option) + " needs a value";
        return std::nullopt;
      }
      return args[++i];
    };
    const auto bad = [&](std::string_view option, std::string_view wants, std::string_view value) {
      r.Error = std::string(option) + " wants " + std::string(wants) + ", not \"" + std::string(value) + "\"";
    };
    if (filesOnly || a == "-" || a.empty() || a[0] != '-') {
      o.Files.emplace_back(a);
    } else if (a == "--") {
      filesOnly = true;
    } else if (a == "--help" || a == "-h") {
      o.Help = true;
    } else if (a == "--version") {
      o.Version = true;
    } else if (a == "--geojson") {
      setMode(OutputMode::GeoJson);
    } else if (a == "--kml") {
      setMode(OutputMode::Kml);
    } else if (a == "--report") {
      setMode(OutputMode::Report);
    } else if (a == "--full-size") {
      o.FullSize = true;
    } else if (a == "--df") {
      o.Choice.DrawDf = true;
    } else if (a == "--reach") {
      o.Reach = true;
    } else if (a == "--bounds") {
      const auto v = needValue(a);
      if (!v) break;
      o.Bounds = ParseBounds(*v);
      if (!o.Bounds) bad(a, "WEST,SOUTH,EAST,NORTH in degrees, west below east and south below north", *v);
    } else if (a == "--classes") {
      const auto v = needValue(a);
      if (!v) break;
      const auto choice = ParseClasses(*v);
      if (!choice) {
        bad(a, "a comma list of digis, mobiles, igates, default, others", *v);
        break;
      }
      const bool df = o.Choice.DrawDf;
      o.Choice = *choice;
      o.Choice.DrawDf = df;
    } else if (a == "--now") {
      const auto v = needValue(a);
      if (!v) break;
      o.Now = text::ToDouble(*v);
      if (!o.Now || !std::isfinite(*o.Now)) bad(a, "days since 1899-12-30", *v);
    } else if (a == "--max-age") {
      const auto v = needValue(a);
      if (!v) break;
      const std::optional<int> minutes = text::ToInt(*v);
      if (!minutes || *minutes <= 0)
        bad(a, "a whole number of minutes above 0", *v);
      else
        o.MaxAge = *minutes;
    } else if (a == "--mycall") {
      const auto v = needValue(a);
      if (!v) break;
      o.MyCall = text::Upper(*v);
    } else {
      r.Error = "unknown option " + std::string(a);
    }
  }
  return r;
}

}  // namespace tarvik::circles
