// The "Range Circles" page end to end: the stand-in host's feed, its trace of
// map operations and the redraw box restored from the stored settings.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include "Child.h"
#include "QtPrinters.h"
#include "StandInHost.h"
#include "StandInMap.h"
#include "TarvikMain.h"

namespace tarvik {
namespace {

using test::Child;

namespace e2e {

const char* const kFeed =
    "# stations around 45 N 93 W; the map shows 95 W to 91 W, 44 N to 46 N\n"
    "W1DIG>APRS,WIDE2-1:!4500.00N/09300.00W#PHG5132/digi\n"
    "\n"
    "W1GAT>APRS:!4530.00N/09200.00W&PHG3130/igate\n"
    "W1MOB>APRS:!4520.00N/09240.00W>PHG2130 mobile\n"
    "W1OTH>APRS:!4400.00N/09500.00W-PHG2130 on the south-west corner\n"
    "W1FAR>APRS:!3000.00N/09300.00W#PHG5132 far south\n"
    "W1EAS>APRS:!4500.00N/09059.00W#PHG5132 just east\n";

std::string ExpectedLine(const aprs::TAprsPacket& p, bool fullSize) {
  const TRangeCircle c = RangeCircleGeometry(p.Position.Latitude.Value, p.Position.Longitude.Value,
                                             p.Capabilities.Range, p.Capabilities.Antenna.Heading, fullSize);
  return standin::TraceLine("DrawCircle", {standin::TraceArg(c.X), standin::TraceArg(c.Y), standin::TraceArg(c.Radius),
                                           standin::TraceArg(StationColor(p)), standin::TraceArg(kTwoPiSingle),
                                           standin::TraceArg(kTwoPiDouble), standin::TraceArg(kCircleAspect)});
}

}  // namespace e2e

TEST(CirclesEndToEnd, RestoredRedrawDrawsTheStationsInViewIntoTheTrace) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  {
    QFile feed(dir.filePath("feed.txt"));
    ASSERT_TRUE(feed.open(QIODevice::WriteOnly));
    feed.write(e2e::kFeed);
  }
  standin::TStandInSettings settings;
  settings.Feed = "file:" + dir.filePath("feed.txt").toStdString();
  settings.FeedRate = 0;
  settings.Map = {-95.0 * 60, 46.0 * 60, 4.0 * 60, -2.0 * 60};
  settings.Trace = dir.filePath("trace.txt").toStdString();
  auto standinHost = std::make_shared<standin::TStandInHost>(settings, dir.path());
  host::THostRegistry registry;
  registry.SetRunning(standinHost);

  std::uint32_t now = 1000;
  TMainFormServices services;
  services.Timing = TTiming([&] { return now; },
                            [] {
                              QCoreApplication::processEvents();
                              return kNoMessage;
                            },
                            [&](std::uint32_t, bool) { now += 5; });
  services.MakeTray = [] { return std::make_unique<TNoTrayIcon>(); };
  services.MakeCacheTimer = [] { return std::make_unique<aprs::TManualCacheTimer>(); };
  services.Terminate = [] {};
  TMainForm form(registry, std::move(services));
  // What restoring the stored settings does: the edit box, then the box.
  Child<QLineEdit>(form, "edRedrawCircles")->setText("1");
  Child<QCheckBox>(form, "cbRedrawCircles")->setChecked(true);
  EXPECT_TRUE(Child<TRedrawTimerQt>(form, "tmrRedrawCircles")->Ticking());
  EXPECT_EQ(Child<TRedrawTimerQt>(form, "tmrRedrawCircles")->Interval(), 1000);

  form.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.clsOxb != nullptr; }, 5000));
  standinHost->StartFeed();
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.Cache->Count() == 6; }, 5000));

  // The next tick, brought forward through the timer's seam instead of waited for.
  Child<TRedrawTimerQt>(form, "tmrRedrawCircles")->SetInterval(1);
  const QString tracePath = dir.filePath("trace.txt");
  const auto drawLines = [&] {
    QStringList lines;
    QFile trace(tracePath);
    if (trace.open(QIODevice::ReadOnly))
      for (const QString& line : QString::fromLatin1(trace.readAll()).split('\n'))
        if (line.startsWith("DrawCircle ") && !lines.contains(line)) lines << line;
    return lines;
  };
  ASSERT_TRUE(QTest::qWaitFor([&] { return drawLines().size() >= 4; }, 5000));
  Child<TRedrawTimerQt>(form, "tmrRedrawCircles")->SetEnabled(false);

  QStringList expected;
  for (const char* call : {"W1DIG", "W1GAT", "W1MOB", "W1OTH"}) {
    const aprs::TAprsPacket* p = form.Cache->Find(call);
    ASSERT_NE(p, nullptr) << call;
    ASSERT_TRUE(p->Capabilities.HasCapabilities) << call;
    expected << QString::fromStdString(e2e::ExpectedLine(*p, false));
  }
  EXPECT_EQ(drawLines(), expected);
  for (const char* call : {"W1FAR", "W1EAS"}) {
    const aprs::TAprsPacket* p = form.Cache->Find(call);
    ASSERT_NE(p, nullptr) << call;
    EXPECT_FALSE(drawLines().contains(QString::fromStdString(e2e::ExpectedLine(*p, false)))) << call;
  }
  EXPECT_TRUE(Child<QPlainTextEdit>(form, "moLog")->toPlainText().count("Problem") == 0)
      << Child<QPlainTextEdit>(form, "moLog")->toPlainText().toStdString();
}

}  // namespace
}  // namespace tarvik
