// Both settings files follow the executable's folder: beside it when it is
// writable, else into the user's configuration folder, made by the first save.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "HostRegistration.h"
#include "StandInHost.h"
#include "TarvikData.h"

namespace tarvik {
namespace {

TEST(SettingsFolderRun, BothFilesGoTogether) {
  for (const bool writable : {true, false}) {
    QTemporaryDir root;
    const QString app = root.filePath("app");
    const QString user = root.filePath("config/tarvik");
    ASSERT_TRUE(QDir().mkpath(app));
    // Tests may run as the superuser, who writes anywhere: "read-only" is the probe's answer.
    settings::TFolderProbe probe = settings::FileSystemProbe();
    probe.Writable = [writable](const std::string&) { return writable; };
    const auto folder = settings::ChooseSettingsFolder(app.toStdString(), user.toStdString(), probe);
    host::THostRegistry registry;
    RegisterHosts(registry, folder);
    auto standIn = std::dynamic_pointer_cast<standin::TStandInHost>(registry.RunningOrNew());
    ASSERT_NE(standIn, nullptr);
    EXPECT_TRUE(standIn->ChangeFeed("file:feed.txt"));  // the stand-in keeps it in Oxbel32.INI
    TDM dm(folder, app + "/tarvik");
    dm.SettingsFile.WriteString("Settings", "edExpireAge.Text", "60");

    const QString kept = writable ? app : user;
    QFile host(kept + "/Oxbel32.INI");
    QFile own(kept + "/tarvik.INI");
    EXPECT_TRUE(host.open(QIODevice::ReadOnly) && host.readAll() == "[Host]\nFeed=file:feed.txt\n") << writable;
    EXPECT_TRUE(own.open(QIODevice::ReadOnly) && own.readAll() == "[Settings]\nedExpireAge.Text=60\n") << writable;
    EXPECT_EQ(QDir(app).entryList(QDir::Files).size(), writable ? 2 : 0);
    EXPECT_EQ(QDir(user).exists(), !writable);
  }
}

}  // namespace
}  // namespace tarvik
