// The host window's "Online tiles" entry and what it keeps in Oxbel32.INI.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "HostWindow.h"
#include "PrivateProfile.h"
#include "StandInHost.h"
#include "TileFetcher.h"

namespace standin {
namespace {

std::shared_ptr<TStandInHost> HostWith(const QTemporaryDir& folder, const QByteArray& hostSection) {
  QFile f(folder.filePath("Oxbel32.INI"));
  EXPECT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("[Host]\nFeed=file:none.txt\n" + hostSection);
  f.close();
  auto host = std::make_shared<TStandInHost>(LoadStandInSettings(f.fileName().toStdString()), folder.path());
  host->ShowWindow();
  return host;
}

TEST(TilesMenu, TurnsTilesOffAndOnAndKeepsTheUsersTemplate) {
  QTemporaryDir folder;
  const std::string ini = folder.filePath("Oxbel32.INI").toStdString();
  const std::string mine = "https://tiles.example.net/{z}/{x}/{y}.png";
  auto host = HostWith(folder, QByteArray::fromStdString("Tiles=" + mine + "\n"));
  auto* entry = host->Window()->findChild<QAction*>("actTiles");
  ASSERT_NE(entry, nullptr);
  EXPECT_TRUE(entry->isChecked());
  EXPECT_TRUE(host->Tiles().Enabled());

  entry->trigger();
  EXPECT_FALSE(host->Tiles().Enabled());
  EXPECT_EQ(host->Window()->TilesText(), "tiles: off");
  EXPECT_EQ(settings::GetPrivateProfileString("Host", "Tiles", "?", ini), "");
  EXPECT_EQ(settings::GetPrivateProfileString("Host", "TilesLast", "", ini), mine);

  // The next start has tiles off, and the entry brings the user's template back.
  host.reset();
  host = HostWith(folder, "Tiles=\nTilesLast=" + QByteArray::fromStdString(mine) + "\n");
  entry = host->Window()->findChild<QAction*>("actTiles");
  EXPECT_FALSE(entry->isChecked());
  entry->trigger();
  EXPECT_TRUE(host->Tiles().Enabled());
  EXPECT_EQ(settings::GetPrivateProfileString("Host", "Tiles", "", ini), mine);
  EXPECT_EQ(host->Tiles().Attribution(), QString::fromUtf8("\xC2\xA9 OpenStreetMap contributors"));
}

TEST(TilesMenu, WithoutATemplateTheEntryTurnsOnOpenStreetMapAndANonsenseOneSaysWhyItIsOff) {
  QTemporaryDir folder;
  auto host = HostWith(folder, "TilesAttribution=Tiles by the club\n");
  EXPECT_FALSE(host->Tiles().Enabled());
  EXPECT_EQ(host->Tiles().Template(), "https://tile.openstreetmap.org/{z}/{x}/{y}.png");
  EXPECT_EQ(host->Tiles().Attribution(), "Tiles by the club");
  host->Window()->findChild<QAction*>("actTiles")->trigger();
  EXPECT_TRUE(host->Tiles().Enabled());
  EXPECT_EQ(settings::GetPrivateProfileString("Host", "Tiles", "", folder.filePath("Oxbel32.INI").toStdString()),
            "https://tile.openstreetmap.org/{z}/{x}/{y}.png");

  host.reset();
  host = HostWith(folder, "Tiles=tile.example.net/{z}/{x}/{y}.png\n");
  auto* entry = host->Window()->findChild<QAction*>("actTiles");
  EXPECT_FALSE(entry->isEnabled());
  EXPECT_FALSE(host->Tiles().Enabled());
  EXPECT_TRUE(entry->text().contains("not an http:// or https:// address")) << entry->text().toStdString();
  EXPECT_TRUE(host->Window()->TilesText().contains("not an http:// or https:// address"));
}

}  // namespace
}  // namespace standin
