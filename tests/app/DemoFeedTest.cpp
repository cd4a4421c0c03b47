// The demo feed through the whole intake: host event, cleaning, parsing, the
// posted packet, acceptance, the log and the cache.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTest>
#include <set>

#include "Child.h"
#include "FakeHost.h"
#include "Intake.h"
#include "QtPrinters.h"
#include "TarvikMain.h"

namespace tarvik {
namespace {

using test::Child;

// One TNC2 line as the host's monitor text: port, time, header, frame tag, info, CR LF.
std::string MonitorText(const std::string& tnc2) {
  const std::size_t colon = tnc2.find(':');
  if (colon == std::string::npos) return "1" + tnc2;
  return "112:00:00 " + tnc2.substr(0, colon) + " Port=1 <UI>:" + tnc2.substr(colon + 1) + "\r\n";
}

TEST(DemoFeed, AcceptedPacketsReachTheLogAndTheCache) {
  QFile feed(QStringLiteral(TARVIK_SOURCE_DIR "/data/demo-feed.txt"));
  if (!feed.open(QIODevice::ReadOnly)) GTEST_SKIP() << "no demo feed in this tree";

  auto host = std::make_shared<test::TFakeHost>();
  host::THostRegistry registry;
  registry.SetRunning(host);
  TMainFormServices services;
  services.Timing = TTiming([] { return 0u; }, [] { return kQuitMessage; }, {});  // no waits
  services.MakeTray = [] { return std::make_unique<TNoTrayIcon>(); };
  services.MakeCacheTimer = [] { return std::make_unique<aprs::TManualCacheTimer>(); };
  services.Terminate = [] {};
  TMainForm form(registry, std::move(services));
  form.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !host->Sinks.empty(); }, 5000));

  QStringList expectedLog;
  std::set<std::string> stations;
  int lines = 0;
  while (!feed.atEnd()) {
    const QByteArray raw = feed.readLine().trimmed();
    if (raw.isEmpty() || raw.startsWith('#')) continue;
    ++lines;
    const std::string text = MonitorText(raw.toStdString());
    const auto packet = PacketFromHostText(text);
    if (packet && AcceptPacket(*packet)) {
      expectedLog << QString::fromLatin1(packet->RawPacket.c_str());
      stations.insert(packet->Source.Callsign);
    }
    host->Hear(text);
  }
  QCoreApplication::sendPostedEvents(&form);
  form.FlushPacketLog();

  ASSERT_GT(lines, 0);
  ASSERT_FALSE(expectedLog.isEmpty()) << "the demo feed should hold stations with range data";
  EXPECT_LT(expectedLog.size(), lines) << "the demo feed should hold packets that are turned away too";
  EXPECT_EQ(Child<QPlainTextEdit>(form, "moLog")->toPlainText().split('\n'), expectedLog);
  // Every accepted packet went to the cache: as a new station, a newer packet
  // of a known one, or a kill of an object.
  EXPECT_GT(form.Cache->Count(), 0);
  EXPECT_LE(form.Cache->Count(), static_cast<int>(stations.size()));
  EXPECT_EQ(form.Cache->Added - form.Cache->Killed, form.Cache->Count());
  EXPECT_LE(form.Cache->Added + form.Cache->Replaced, expectedLog.size());
  EXPECT_TRUE(form.ListChanged);
}

}  // namespace
}  // namespace tarvik
