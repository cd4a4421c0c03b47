#include "TilesSetting.h"

#include "Text.h"
#include "TileAddress.h"

namespace standin {

namespace {
constexpr char kSection[] = "Host";
}

TTilesAtStart TilesAtStart(const TStandInSettings& settings) {
  const std::string_view tiles = text::Trim(settings.Tiles);
  if (!tiles.empty()) return {std::string(tiles), true};
  const std::string_view last = text::Trim(settings.TilesLast);
  if (!last.empty() && TileTemplateProblem(last).empty()) return {std::string(last), false};
  return {std::string(kOsmTileTemplate), false};
}

settings::TWriteResult KeepTilesChoice(const std::string& iniPath, bool on, const std::string& tileTemplate) {
  if (on) return settings::WritePrivateProfileString(kSection, "Tiles", tileTemplate, iniPath);
  auto written = settings::WritePrivateProfileString(kSection, "Tiles", "", iniPath);
  if (written.Ok) written = settings::WritePrivateProfileString(kSection, "TilesLast", tileTemplate, iniPath);
  return written;
}

}  // namespace standin
