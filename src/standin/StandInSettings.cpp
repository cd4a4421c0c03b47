#include "StandInSettings.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <vector>

#include "Text.h"

namespace standin {

namespace {

// Nobody writes an INI file this large by hand; a bigger one is not read past this.
constexpr std::size_t kMaxIniBytes = 1 << 20;

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (text::IsUpper(c)) c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string ReadFilePrefix(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::string text(kMaxIniBytes, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  return text;
}

std::string ResolvePath(const std::string& folder, std::string_view path) {
  std::filesystem::path p{std::string(path)};
  if (p.is_relative() && !folder.empty()) p = std::filesystem::path(folder) / p;
  return p.lexically_normal().string();
}

}  // namespace

std::map<std::string, std::string> ReadIniSection(std::string_view text, std::string_view section) {
  std::map<std::string, std::string> keys;
  const std::string wanted = Lower(text::Trim(section));
  bool inSection = false;
  while (!text.empty()) {
    const std::size_t eol = text.find('\n');
    const std::string_view line = text::Trim(text.substr(0, eol));
    text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      const std::size_t close = line.find(']');
      inSection = close != std::string_view::npos && Lower(text::Trim(line.substr(1, close - 1))) == wanted;
      continue;
    }
    if (!inSection) continue;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string key = Lower(text::Trim(line.substr(0, eq)));
    if (!key.empty()) keys.try_emplace(key, std::string(text::Trim(line.substr(eq + 1))));
  }
  return keys;
}

bool ParseMapBounds(std::string_view text, TMapRect& bounds) {
  std::vector<double> values;
  while (values.size() < 5) {
    const std::size_t comma = text.find(',');
    const auto value = text::ToDouble(text::Trim(text.substr(0, comma)));
    if (!value || !std::isfinite(*value)) return false;
    values.push_back(*value);
    if (comma == std::string_view::npos) break;
    text = text.substr(comma + 1);
  }
  if (values.size() != 4 || !(values[2] > 0) || !(values[3] < 0)) return false;
  bounds = {values[0], values[1], values[2], values[3]};
  return true;
}

TStandInSettings LoadStandInSettings(const std::string& iniPath) {
  TStandInSettings settings;
  settings.IniFolder = std::filesystem::path(iniPath).parent_path().string();
  settings.IniPath = iniPath;
  const auto keys = ReadIniSection(ReadFilePrefix(iniPath), "Host");
  const auto value = [&keys](const char* key) -> const std::string* {
    const auto it = keys.find(key);
    return it == keys.end() ? nullptr : &it->second;
  };

  if (const auto* v = value("mycall"); v && !v->empty()) settings.MyCall = text::Upper(*v);
  if (const auto* v = value("feed"); v && !v->empty()) {
    settings.Feed = *v;
    if (text::StartsWith(text::Upper(*v), "FILE:"))
      settings.Feed = "file:" + ResolvePath(settings.IniFolder, text::Trim(std::string_view(*v).substr(5)));
  }
  if (const auto* v = value("feedrate")) {
    const auto rate = text::ToDouble(*v);
    if (rate && std::isfinite(*rate) && *rate >= 0) settings.FeedRate = *rate;
  }
  if (const auto* v = value("map")) {
    TMapRect bounds;
    if (ParseMapBounds(*v, bounds)) settings.Map = bounds;
  }
  if (const auto* v = value("trace"); v && !v->empty()) settings.Trace = ResolvePath(settings.IniFolder, *v);
  if (const auto* v = value("login"); v && !v->empty()) settings.Login = text::Upper(text::Trim(*v));
  if (const auto* v = value("passcode"); v && text::ToInt(text::Trim(*v)))
    settings.Passcode = std::string(text::Trim(*v));
  if (const auto* v = value("filter")) settings.Filter = std::string(text::Trim(*v));
  if (const auto* v = value("tiles")) settings.Tiles = *v;
  if (const auto* v = value("tileslast")) settings.TilesLast = *v;
  if (const auto* v = value("tilesattribution")) settings.TilesAttribution = *v;
  return settings;
}

}  // namespace standin
