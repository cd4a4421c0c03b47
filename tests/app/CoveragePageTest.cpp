// The "Coverage" page offscreen: rows learned from heard packets through the
// real intake, aged by the cache's purge, "Draw Reach" on the fake host map,
// "Export..." to files read back and to a path that cannot be written.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "APRSParser.h"
#include "Child.h"
#include "FakeHost.h"
#include "QtPrinters.h"
#include "TarvikMain.h"

namespace tarvik {
namespace {

using test::Child;

constexpr double kNow = 46363.5;
constexpr std::int32_t kOrange = 0x0080FF;

// One TNC2 line as the host's monitor text; `port` marks a frame the host heard over radio.
std::string MonitorText(const std::string& tnc2, bool port = false) {
  const std::size_t colon = tnc2.find(':');
  return "112:00:00 " + tnc2.substr(0, colon) + (port ? " Port=1" : "") + " <UI>:" + tnc2.substr(colon + 1) + "\r\n";
}

// A digi inside the fake map's bounds (44..46 N, 95..91 W) with five sources
// due north of it, 6 to 30 minutes of latitude away; an IGate with two; one
// packet the host heard itself.
// clang-format off
const char* const kLines[] = {
    "TV2DIG>APRS:!4500.00N/09300.00W#PHG5360",
    "TV1SAX>APRS,TV2DIG*:!4506.00N/09300.00W-",
    "TV1SBX>APRS,TV2DIG,WIDE1*:!4512.00N/09300.00W-",
    "TV1SCX>APRS,TV2DIG*,WIDE2-1,qAR,TV1IGT:!4518.00N/09300.00W-",
    "TV1SDX>APRS,TV2DIG*:!4524.00N/09300.00W-",
    "TV1SEX>APRS,TV2DIG*:!4530.00N/09300.00W-",
    "TV1IGT>APRS:=4530.00N/09200.00W&PHG2360",
    "TV1SFX>APRS,WIDE2-1,qAR,TV1IGT:!4540.00N/09200.00W-",
    "TV1SGX>APRS,WIDE2-1,qAo,TV1IGT:!4550.00N/09200.00W-",
    "TV1SHX>APRS,TCPIP*,qAC,TV1IGT:!4551.00N/09200.00W-PHG2130",
};
// clang-format on

class CoveragePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previousClock = aprs::SetUtcClock([this] { return utcNow; });
    registry.SetRunning(host);
    TMainFormServices services;
    services.Timing = TTiming([] { return 0u; }, [] { return kQuitMessage; }, {});  // no waits
    services.MakeTray = [] { return std::make_unique<TNoTrayIcon>(); };
    services.MakeCacheTimer = [] { return std::make_unique<aprs::TManualCacheTimer>(); };
    services.Terminate = [] {};
    services.AskExportPath = [this](QWidget*) { return exportPath; };
    form = std::make_unique<TMainForm>(registry, std::move(services));
    form->show();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !host->Sinks.empty() && !form->MyCall.empty(); }, 5000));
    for (const char* line : kLines) host->Hear(MonitorText(line));
    host->Hear(MonitorText("TV1SIX>APRS,WIDE2-2:!4510.00N/09310.00W-", true));  // heard by the host, N0CALL-9
    QCoreApplication::sendPostedEvents(form.get());
  }
  void TearDown() override { aprs::SetUtcClock(previousClock); }

  QAbstractItemModel& Table() const { return *Child<QTableView>(*form, "lvCoverage")->model(); }
  void ShowPage() { Child<QTabWidget>(*form, "PageControl")->setCurrentWidget(Child<QWidget>(*form, "tsCoverage")); }
  // The row of `callsign` as the page shows it, cell by cell.
  QStringList RowOf(const QString& callsign) const {
    const QAbstractItemModel& m = Table();
    for (int r = 0; r < m.rowCount(); ++r) {
      if (m.index(r, 0).data().toString() != callsign) continue;
      QStringList cells;
      for (int c = 0; c < m.columnCount(); ++c) cells << m.index(r, c).data().toString();
      return cells;
    }
    return {};
  }
  QStringList Column(int column) const {
    QStringList cells;
    for (int r = 0; r < Table().rowCount(); ++r) cells << Table().index(r, column).data().toString();
    return cells;
  }
  QStringList LogLines() const { return Child<QPlainTextEdit>(*form, "moLog")->toPlainText().split('\n'); }
  QString Status() const { return Child<QLabel>(*form, "lblCoverageStatus")->text(); }

  double utcNow = kNow;
  aprs::TUtcClock previousClock;
  QString exportPath;
  std::shared_ptr<test::TFakeHost> host = std::make_shared<test::TFakeHost>();
  host::THostRegistry registry;
  std::unique_ptr<TMainForm> form;
};

TEST_F(CoveragePageTest, RowsFromHeardPacketsSortedAndAgedWithTheCache) {
  EXPECT_EQ(Table().rowCount(), 0) << "a page not seen is not rebuilt";
  ShowPage();
  // clang-format off
  EXPECT_EQ(RowOf("TV2DIG"), QStringList({"TV2DIG", "digi", "22.5", "34.5", "5", "TV1SEX", "34.5", "claims too little", ""}));
  EXPECT_EQ(RowOf("TV1IGT"), QStringList({"TV1IGT", "igate", "14.2", "-", "2", "TV1SGX", "23.0", "too few", ""}));
  EXPECT_EQ(RowOf("TV1SHX"), QStringList({"TV1SHX", "other", "5.0", "-", "0", "-", "-", "too few", "PHG on an Internet-only station"}));
  // clang-format on
  EXPECT_EQ(RowOf("TV1SAX"), QStringList()) << "a source without PHG that heard nobody has no row";
  EXPECT_EQ(RowOf("N0CALL-9"), QStringList()) << "the host's own station is not in the cache: no position";
  EXPECT_EQ(form->Reach.Sources("N0CALL-9", 0).size(), 1U) << "but it heard TV1SIX";

  // Sorted by the numbers, not their text: 5.0 before 14.2.
  Child<QTableView>(*form, "lvCoverage")->sortByColumn(2, Qt::AscendingOrder);
  EXPECT_EQ(Column(2), QStringList({"5.0", "14.2", "22.5"}));
  Child<QTableView>(*form, "lvCoverage")->sortByColumn(4, Qt::DescendingOrder);
  EXPECT_EQ(Column(0), QStringList({"TV2DIG", "TV1IGT", "TV1SHX"}));

  // The clock tick brings a new source in.
  utcNow = kNow + 1.0 / 1440;
  host->Hear(MonitorText("TV1SJX>APRS,TV1IGT*:!4510.00N/09200.00W-"));
  QCoreApplication::sendPostedEvents(form.get());
  EXPECT_EQ(RowOf("TV1IGT").value(4), "2");
  form->tmrClockTimer();
  EXPECT_EQ(RowOf("TV1IGT").value(4), "3");

  // Forty minutes on the digi is heard again, its sources are not; at
  // seventy-one the cache's purge drops them from the measurement as well.
  utcNow = kNow + 40.0 / 1440;
  host->Hear(MonitorText(kLines[0]));
  QCoreApplication::sendPostedEvents(form.get());
  utcNow = kNow + 71.0 / 1440;
  auto& purge = dynamic_cast<aprs::TManualCacheTimer&>(form->Cache->Timer());
  purge.Fire();
  form->tmrClockTimer();
  EXPECT_EQ(Column(0), QStringList({"TV2DIG"}));
  EXPECT_EQ(RowOf("TV2DIG").value(4), "0");
  EXPECT_EQ(form->Reach.ReceiverCount(), 0);
}

TEST_F(CoveragePageTest, DrawReachThroughTheHostMapAndExport) {
  ShowPage();
  QTest::mouseClick(Child<QPushButton>(*form, "btnDrawReach"), Qt::LeftButton);
  // Only TV2DIG has five sources: one circle, centred on it, the farthest of five as radius.
  ASSERT_EQ(host->Map->Circles.size(), 1U);
  const test::TDrawnCircle& c = host->Map->Circles[0];
  EXPECT_EQ(c.Color, kOrange);
  EXPECT_FLOAT_EQ(c.X, -93.0F * 60);
  EXPECT_FLOAT_EQ(c.Y, 45.0F * 60);
  EXPECT_NEAR(c.Radius, 30.0F, 0.01F);
  EXPECT_EQ(c.PenWidth, 2);
  // The same host calls as a range circle: the bounds, then the circle's own.
  const std::vector<std::string> ops = host->Map->Ops();
  const std::vector<std::string> expected = {"GetMapLeft",   "GetMapWidth",  "GetMapTop",
                                             "GetMapHeight", "SetPenWidth",  "SetFillMode",
                                             "SetFillColor", "GetMapHeight", "DrawCircle"};
  EXPECT_EQ(ops, expected);
  EXPECT_EQ(Status(), "Reach circles drawn: 1");

  // Export: the last draw pass's circles as the host drew them, then the reach circle.
  host->Map->Circles.clear();
  QTest::mouseClick(Child<QPushButton>(*form, "btnDrawCircles"), Qt::LeftButton);
  const std::size_t rangeCircles = host->Map->Circles.size();
  ASSERT_GE(rangeCircles, 3U);
  QTemporaryDir dir;

  exportPath = dir.filePath("circles.geojson");
  QTest::mouseClick(Child<QPushButton>(*form, "btnExport"), Qt::LeftButton);
  QFile json(exportPath);
  ASSERT_TRUE(json.open(QIODevice::ReadOnly));
  const QJsonArray features = QJsonDocument::fromJson(json.readAll()).object()["features"].toArray();
  ASSERT_EQ(static_cast<std::size_t>(features.size()), rangeCircles + 1);
  for (std::size_t i = 0; i < rangeCircles; ++i) {
    const QJsonObject p = features[static_cast<qsizetype>(i)].toObject()["properties"].toObject();
    EXPECT_EQ(p["kind"].toString(), "range");
    EXPECT_NEAR(p["centre"].toArray()[0].toDouble(), host->Map->Circles[i].X / 60.0, 1e-9);
    EXPECT_NEAR(p["centre"].toArray()[1].toDouble(), host->Map->Circles[i].Y / 60.0, 1e-9);
  }
  const QJsonObject reach = features.last().toObject()["properties"].toObject();
  EXPECT_EQ(reach["kind"].toString(), "reach");
  EXPECT_EQ(reach["callsign"].toString(), "TV2DIG");
  EXPECT_EQ(reach["color"].toString(), "#ff8000");
  EXPECT_EQ(reach["sources"].toInt(), 5);
  EXPECT_EQ(
      Status(),
      QString("%1 circles (%2 range, 1 reach) written to %3").arg(rangeCircles + 1).arg(rangeCircles).arg(exportPath));

  exportPath = dir.filePath("circles.KML");
  QTest::mouseClick(Child<QPushButton>(*form, "btnExport"), Qt::LeftButton);
  QFile kml(exportPath);
  ASSERT_TRUE(kml.open(QIODevice::ReadOnly));
  const QByteArray text = kml.readAll();
  EXPECT_TRUE(text.contains("<kml xmlns=\"http://www.opengis.net/kml/2.2\">")) << text.left(200).toStdString();
  EXPECT_EQ(text.count("<Placemark>"), static_cast<qsizetype>(rangeCircles + 1));

  // Below a file nobody, root included, can write: said in the log and on the page, nothing else changes.
  exportPath = dir.filePath("circles.KML/circles.geojson");
  QTest::mouseClick(Child<QPushButton>(*form, "btnExport"), Qt::LeftButton);
  form->FlushPacketLog();
  const QString said = "Cannot write " + exportPath + ": ";
  EXPECT_TRUE(LogLines().last().startsWith("Problem in btnExportClick: " + said)) << LogLines().last().toStdString();
  EXPECT_TRUE(Status().startsWith(said)) << Status().toStdString();
  EXPECT_EQ(form->LastPassCircles.size(), rangeCircles);
  ASSERT_TRUE(kml.seek(0));
  EXPECT_EQ(kml.readAll(), text);
}

}  // namespace
}  // namespace tarvik
