#include "StandInSettings.h"

#include <cmath>
#include <filesystem>
#include <optional>
#include <vector>

#include "PrivateProfile.h"
#include "Text.h"

namespace standin {

namespace {

std::string ResolvePath(const std::string& folder, std::string_view path) {
  std::filesystem::path p{std::string(path)};
  if (p.is_relative() && !folder.empty()) p = std::filesystem::path(folder) / p;
  return p.lexically_normal().string();
}

}  // namespace

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
  // One read of the file; a missing, unreadable or oversized one leaves every key unset.
  const settings::TFileReadResult file = settings::ReadProfileFile(iniPath);
  const auto value = [&file](const char* key) -> std::optional<std::string> {
    if (file.Status != settings::TFileReadStatus::frOk) return std::nullopt;
    return settings::ProfileLookup(file.Content, kHostSection, key);
  };

  if (const auto v = value("mycall"); v && !v->empty()) settings.MyCall = text::Upper(*v);
  if (const auto v = value("feed"); v && !v->empty()) {
    settings.Feed = *v;
    // A replayed file's relative path is taken from the settings folder.
    for (const std::string_view kind : {kFileFeed, kLoopFeed}) {
      if (text::StartsWith(text::Upper(*v), text::Upper(kind)))
        settings.Feed = std::string(kind) + ResolvePath(settings.IniFolder, text::Trim(v->substr(kind.size())));
    }
  }
  if (const auto v = value("feedrate")) {
    const auto rate = text::ToDouble(*v);
    if (rate && std::isfinite(*rate) && *rate >= 0) settings.FeedRate = *rate;
  }
  if (const auto v = value("map")) {
    TMapRect bounds;
    if (ParseMapBounds(*v, bounds)) settings.Map = bounds;
  }
  if (const auto v = value("trace"); v && !v->empty()) settings.Trace = ResolvePath(settings.IniFolder, *v);
  if (const auto v = value("login"); v && !v->empty()) settings.Login = text::Upper(text::Trim(*v));
  if (const auto v = value("passcode"); v && text::ToInt(text::Trim(*v)))
    settings.Passcode = std::string(text::Trim(*v));
  if (const auto v = value("filter")) settings.Filter = std::string(text::Trim(*v));
  if (const auto v = value("filterlast")) settings.FilterLast = std::string(text::Trim(*v));
  if (const auto v = value("serialflow")) settings.SerialFlow = text::Upper(text::Trim(*v)) == "RTSCTS";
  if (const auto v = value("serialinit")) settings.SerialInit = *v;
  if (const auto v = value("tiles")) settings.Tiles = *v;
  if (const auto v = value("tileslast")) settings.TilesLast = *v;
  if (const auto v = value("tilesattribution")) settings.TilesAttribution = *v;
  if (const auto v = value("tilescachemb")) {
    const auto mb = text::ToInt(text::Trim(*v));
    if (mb && *mb >= 0 && *mb <= kMaxTilesCacheMB) settings.TilesCacheMB = *mb;
  }
  return settings;
}

}  // namespace standin
