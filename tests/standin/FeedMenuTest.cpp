#include <gtest/gtest.h>

#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include "FeedMenu.h"
#include "HostWindow.h"
#include "PrivateProfile.h"
#include "StandInHost.h"
#include "TcpFeed.h"

using namespace standin;

namespace {

QList<QAction*> FeedActions(QWidget& window) {
  auto* menu = window.findChild<QMenu*>("mnuFeed");
  return menu ? menu->actions() : QList<QAction*>();
}

TEST(FeedMenu, EachEntryHandsOnItsChoiceAndCancelHandsOnNothing) {
  TStandInWindow window;
  std::vector<std::string> chosen;
  TFeedChoosers choosers;
  choosers.ReplayFile = [] { return std::optional<std::string>("file:/tmp/x.txt"); };
  choosers.AprsIs = [] { return std::optional<std::string>(); };  // cancelled
  choosers.Kiss = [] { return NetworkFeedSetting("kiss", " 127.0.0.1:8001 "); };
  choosers.Serial = [] { return SerialFeedSetting("/dev/ttyUSB0", " 9600"); };
  AddFeedMenu(window, choosers, [&](const std::string& feed) { chosen.push_back(feed); });
  const auto actions = FeedActions(window);
  ASSERT_EQ(actions.size(), 5);
  EXPECT_EQ(actions[0]->text(), "&Demo");
  EXPECT_EQ(actions[1]->text(), "&Replay file...");
  EXPECT_EQ(actions[2]->text(), "&APRS-IS...");
  EXPECT_EQ(actions[3]->text(), "&KISS TNC...");
  EXPECT_EQ(actions[4]->text(), "&Serial KISS TNC...");
  for (QAction* a : actions) a->trigger();
  EXPECT_EQ(chosen,
            (std::vector<std::string>{"demo", "file:/tmp/x.txt", "kiss:127.0.0.1:8001", "serial:/dev/ttyUSB0:9600"}));
}

TEST(FeedMenu, TypedAddresses) {
  EXPECT_EQ(NetworkFeedSetting("aprsis", "host.example.net:14580"), "aprsis:host.example.net:14580");
  EXPECT_EQ(NetworkFeedSetting("kiss", "[::1]:8001"), "kiss:[::1]:8001");
  EXPECT_EQ(NetworkFeedSetting("kiss", "localhost"), std::nullopt);
  EXPECT_EQ(NetworkFeedSetting("kiss", ""), std::nullopt);
  EXPECT_EQ(SerialFeedSetting("/dev/rfcomm0", "115200"), "serial:/dev/rfcomm0:115200");
  EXPECT_EQ(SerialFeedSetting("/dev/ttyUSB0", "fast"), std::nullopt);
  EXPECT_EQ(SerialFeedSetting("/dev/ttyUSB0", "0"), std::nullopt);
  EXPECT_EQ(SerialFeedSetting(" ", "9600"), std::nullopt);
}

TEST(FeedMenu, ChangingTheFeedClosesTheOldConnectionAndKeepsTheChoice) {
  QTemporaryDir folder;
  const QString ini = folder.filePath("Oxbel32.INI");
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
  {
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QString("[Host]\nMyCall=N0CALL\nFeed=kiss:127.0.0.1:%1\nFeedRate=0\n").arg(server.serverPort()).toUtf8());
  }
  auto host = std::make_shared<TStandInHost>(LoadStandInSettings(ini.toStdString()), folder.path());
  host->StartFeed();
  ASSERT_TRUE(QTest::qWaitFor([&] { return server.hasPendingConnections(); }, 5000));
  QTcpSocket* client = server.nextPendingConnection();
  ASSERT_NE(client, nullptr);

  const QString replay = folder.filePath("feed.txt");
  {
    QFile f(replay);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("N0CALL>APRS:>replayed\n");
  }
  EXPECT_TRUE(host->ChangeFeed("file:" + replay.toStdString()));
  ASSERT_TRUE(QTest::qWaitFor([&] { return client->state() == QAbstractSocket::UnconnectedState; }, 5000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return host->HeardCount() == 1; }, 5000));
  EXPECT_EQ(settings::GetPrivateProfileString("Host", "Feed", "", ini.toStdString()), "file:" + replay.toStdString());
  EXPECT_EQ(settings::GetPrivateProfileString("Host", "MyCall", "", ini.toStdString()), "N0CALL");
}

}  // namespace

namespace {

TEST(FeedMenu, FilterFollowsMapKeepsTheTypedFilterAndFollowsPans) {
  QTemporaryDir folder;
  const std::string ini = folder.filePath("Oxbel32.INI").toStdString();
  ASSERT_TRUE(settings::WritePrivateProfileString("Host", "Feed", "aprsis:127.0.0.1:9", ini).Ok);
  ASSERT_TRUE(settings::WritePrivateProfileString("Host", "Filter", "r/49/-72/200", ini).Ok);
  auto host = std::make_shared<TStandInHost>(LoadStandInSettings(ini), folder.path());
  host->ShowWindow();
  auto* check = host->Window()->findChild<QAction*>("actFilterFollowsMap");
  ASSERT_TRUE(check && !check->isChecked());
  auto& feed = dynamic_cast<TAprsIsFeed&>(host->Feed());
  check->trigger();
  host->Map()->MoveView({0, 60, 60, -60});  // the user pans to 1N 0E
  EXPECT_EQ(feed.CurrentFilter(), "a/1.5/-0.5/-0.5/1.5");
  EXPECT_EQ(settings::GetPrivateProfileString("Host", "Filter", "", ini), "view");
  check->trigger();
  EXPECT_EQ(feed.CurrentFilter(), "r/49/-72/200");
  EXPECT_EQ(settings::GetPrivateProfileString("Host", "Filter", "", ini), "r/49/-72/200");
}

}  // namespace
