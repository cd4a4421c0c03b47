// The main window with the real stand-in host replaying a feed of our own:
// the lines that pass the acceptance test reach the log and the cache, the
// others are turned away, and closing the host ends the program.
#include <gtest/gtest.h>

#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include "Child.h"
#include "QtPrinters.h"
#include "StandInHost.h"
#include "TarvikMain.h"

namespace tarvik {
namespace {

using test::Child;

constexpr const char* kFeed =
    "# a replay of our own\n"
    "N1RAD>APRS,WIDE2-1:!4903.50N/07201.75W#PHG5132 radio with PHG\n"
    "N2NET>APRS,TCPIP*,qAC,T2TEST:!4904.50N/07202.75W-PHG5132 Internet with PHG\n"
    "N3DEF>APRS,WIDE1-1:!4905.50N/07203.75W- radio without PHG\n"
    "N4NOP>APRS,TCPIP*,qAC,T2TEST:!4906.50N/07204.75W- Internet without PHG\n"
    "N5TXX>APRS,TCPXX*,qAX,T2TEST:!4907.50N/07205.75W#PHG5132 never via TCPXX\n"
    ">status without a source\n"
    "N6STA>APRS:>just a status\n"
    "\n"
    "N1RAD>APRS,WIDE2-1:!4903.50N/07201.75W#PHG6132 radio again\n";

bool WriteFile(const QString& path, const QByteArray& text) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

TEST(StandInRun, FeedReachesLogAndCache) {
  QTemporaryDir folder;
  const QString feed = folder.filePath("feed.txt");
  const QString ini = folder.filePath("Oxbel32.INI");
  ASSERT_TRUE(WriteFile(feed, kFeed));
  ASSERT_TRUE(WriteFile(ini, "[Host]\nMyCall=n0call-7\nFeed=file:" + feed.toUtf8() + "\nFeedRate=0\n"));

  host::THostRegistry registry;
  registry.SetStarter([&] { return standin::StartStandInHost(ini); });
  int terminations = 0;
  TMainFormServices services;
  services.Timing = TTiming([] { return 0u; }, [] { return kQuitMessage; }, {});  // no waits
  services.MakeTray = [] { return std::make_unique<TNoTrayIcon>(); };
  services.Terminate = [&] { ++terminations; };
  TMainForm form(registry, std::move(services));
  form.show();

  ASSERT_TRUE(QTest::qWaitFor([&] { return form.Cache->Added + form.Cache->Replaced == 4; }, 10000))
      << Child<QPlainTextEdit>(form, "moLog")->toPlainText().toStdString();
  EXPECT_EQ(form.windowTitle(), "Tarvik v1.0.0 - Station Call Sign: N0CALL-7");

  form.FlushPacketLog();
  const QStringList log = Child<QPlainTextEdit>(form, "moLog")->toPlainText().split('\n');
  ASSERT_EQ(log.size(), 4) << Child<QPlainTextEdit>(form, "moLog")->toPlainText().toStdString();
  EXPECT_TRUE(log[0].startsWith("N1RAD>") && log[0].contains("PHG5132"));
  EXPECT_TRUE(log[1].startsWith("N2NET>"));
  EXPECT_TRUE(log[2].startsWith("N3DEF>"));
  EXPECT_TRUE(log[3].startsWith("N1RAD>") && log[3].contains("PHG6132"));
  EXPECT_EQ(form.Cache->Count(), 3);
  EXPECT_EQ(form.Cache->Replaced, 1);
  ASSERT_NE(form.Cache->Find("N1RAD"), nullptr);
  EXPECT_EQ(form.Cache->Find("N1RAD")->Capabilities.PhgString, "PHG6132");
  EXPECT_TRUE(form.Cache->Find("N3DEF")->Capabilities.DefaultPhg);

  auto standIn = std::dynamic_pointer_cast<standin::TStandInHost>(registry.Running());
  ASSERT_NE(standIn, nullptr);
  EXPECT_EQ(terminations, 0);
  standIn->Close();
  EXPECT_EQ(terminations, 1);
}

}  // namespace
}  // namespace tarvik
