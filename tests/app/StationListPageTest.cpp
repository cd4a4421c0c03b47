// The "Station List" page of the real main window, offscreen, against a
// recording fake host, simulated waits and a fixed wall clock.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

#include "APRSParser.h"
#include "Child.h"
#include "Clock.h"
#include "FakeHost.h"
#include "ParserGuards.h"
#include "RedrawTimer.h"
#include "StationList.h"
#include "StationListModel.h"
#include "TarvikMain.h"

namespace tarvik {
namespace {

using test::Child;
using test::TFakeHost;

constexpr aprs::TDateTime kNow = 46000.5;
QDateTime WallClockNow() { return QDateTime(QDate(2026, 12, 6), QTime(19, 5), Qt::UTC); }
// The class colour of a station with a PHG and the "#" symbol, 0x00BBGGRR.
constexpr std::int32_t kDigipeaterGreen = 0x008000;

// A station that passes the acceptance test, with a range circle big enough
// for the fake map.
std::unique_ptr<aprs::TAprsPacket> Station(const std::string& call, aprs::TDateTime received = kNow) {
  auto p = std::make_unique<aprs::TAprsPacket>();
  p->Source = aprs::SplitCallsign(call);
  p->DataType = aprs::TAprsDataType::dtPosition;
  p->RawPacket = call + ">APRS:!4903.50N/07201.75W#PHG5132";
  p->Received = received;
  p->Position.Valid = true;
  p->Position.Latitude.Value = 49.0583;
  p->Position.Longitude.Value = -72.0292;
  p->SymbolTable = '/';
  p->SymbolCode = '#';
  p->Capabilities.HasCapabilities = true;
  p->Capabilities.PhgString = "PHG5132";
  p->Capabilities.Range = 40.0F;
  return p;
}

class StationListPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registry.SetRunning(server);
    server->AddStation({"K1ABC", "#", "/", "K1ABC>APRS,WIDE1-1", "!4903.50N/07201.75W#PHG5132"});
    server->AddStation({"W1AW-9", ">", "/", "W1AW-9>APRS,TCPIP*", "!4903.50N/07201.75W>"});  // Internet, no PHG

    TMainFormServices services;
    services.Timing = TTiming([this] { return now; },
                              [] {
                                QCoreApplication::processEvents();
                                return kNoMessage;
                              },
                              [this](std::uint32_t, bool) { now += 5; });
    services.MakeCacheTimer = [] { return std::make_unique<aprs::TManualCacheTimer>(); };
    services.Terminate = [] {};
    services.WallClock = &WallClockNow;
    services.Clipboard = [this](const QString& text) { clipboard.push_back(text); };
    form = std::make_unique<TMainForm>(registry, std::move(services));
    Child<QTimer>(*form, "tmrClock")->stop();  // the tests tick the clock themselves
    form->show();
    // FormShow runs queued after the first show; it ends by reading the host's list.
    ASSERT_TRUE(QTest::qWaitFor([this] { return form->windowTitle() != "Tarvik"; }, 5000));
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    server->Calls.clear();
  }
  void TearDown() override { form.reset(); }

  void ShowStationList() {
    Child<QTabWidget>(*form, "PageControl")->setCurrentWidget(Child<QWidget>(*form, "tsStationList"));
  }
  void Hear(std::unique_ptr<aprs::TAprsPacket> packet) {
    form->Cache->Update(std::move(packet));
    form->ListChanged = true;
  }
  std::vector<std::string> Rows() const {
    std::vector<std::string> out;
    const QAbstractItemModel* m = Child<QTableView>(*form, "lvStations")->model();
    for (int r = 0; r < m->rowCount(); ++r) out.push_back(m->index(r, scCallsign).data().toString().toStdString());
    return out;
  }
  void Select(const std::string& call) {
    const QAbstractItemModel* m = Child<QTableView>(*form, "lvStations")->model();
    for (int r = 0; r < m->rowCount(); ++r)
      if (m->index(r, scCallsign).data().toString().toStdString() == call) {
        Child<QTableView>(*form, "lvStations")->selectRow(r);
        return;
      }
    FAIL() << "no row " << call;
  }
  std::string Counters() const {
    return (Child<QLabel>(*form, "lblStationCount")->text() + " " + Child<QLabel>(*form, "lblExpiredPackets")->text() +
            " " + Child<QLabel>(*form, "lblStationsReplaced")->text())
        .toStdString();
  }

  std::uint32_t now = 1000;
  std::shared_ptr<TFakeHost> server = std::make_shared<TFakeHost>();
  host::THostRegistry registry;
  std::unique_ptr<TMainForm> form;
  std::vector<QString> clipboard;

 private:
  aprs::testing::PinnedClock m_clock{kNow};
};

TEST_F(StationListPageTest, TheHostListIsLoadedAtFirstShowThroughTheAcceptanceTest) {
  ASSERT_NE(nullptr, form->Cache);
  EXPECT_EQ(1, form->Cache->Count());  // W1AW-9 came via the Internet without PHG
  ASSERT_NE(nullptr, form->Cache->Find("K1ABC"));
  EXPECT_EQ("From Oxbel's Station List", form->Cache->Find("K1ABC")->RawPacket);
}

TEST_F(StationListPageTest, ReloadListTakesOnlyStationsWithAPositionAndRangeData) {
  server->AddStation({"NOPOS", "-", "/", "NOPOS>APRS", ">just a status"});
  server->AddStation({"W2PHG", "#", "/", "W2PHG>APRS,TCPIP*,qAC,T2", "!4903.50N/07201.75W#PHG5132"});
  server->AddStation({"W3TCX", "#", "/", "W3TCX>APRS,TCPXX*,qAX", "!4903.50N/07201.75W#PHG5132"});
  Hear(Station("N0CALL"));
  ShowStationList();
  QTest::mouseClick(Child<QPushButton>(*form, "btnReloadList"), Qt::LeftButton);
  EXPECT_EQ((std::vector<std::string>{"K1ABC", "W2PHG"}), Rows());
  EXPECT_EQ(2, form->Cache->Added) << "the counters start again";
  EXPECT_EQ(0, form->Cache->Replaced);
  EXPECT_FALSE(Child<QPlainTextEdit>(*form, "moLog")->toPlainText().contains("From Oxbel"))
      << "loaded stations are not logged";
}

TEST_F(StationListPageTest, ReloadWithoutAHostEmptiesTheListAndLogs) {
  ShowStationList();
  ASSERT_EQ(std::vector<std::string>{"K1ABC"}, Rows());
  server->FailCount = true;
  QTest::mouseClick(Child<QPushButton>(*form, "btnReloadList"), Qt::LeftButton);
  EXPECT_TRUE(Rows().empty());
  EXPECT_TRUE(Child<QPlainTextEdit>(*form, "moLog")
                  ->toPlainText()
                  .contains("Problem in btnReloadListClick: station count failed"));
}

TEST_F(StationListPageTest, ReloadRunsTheCircleRedrawAgainOnlyWhenItIsChecked) {
  Child<TRedrawTimerQt>(*form, "tmrRedrawCircles")->SetEnabled(true);  // as after "Draw Circles", box unchecked
  QTest::mouseClick(Child<QPushButton>(*form, "btnReloadList"), Qt::LeftButton);
  EXPECT_FALSE(Child<TRedrawTimerQt>(*form, "tmrRedrawCircles")->Enabled());

  Child<QCheckBox>(*form, "cbRedrawCircles")->setChecked(true);
  server->FailCount = true;  // also when reading the host's list fails
  QTest::mouseClick(Child<QPushButton>(*form, "btnReloadList"), Qt::LeftButton);
  EXPECT_TRUE(Child<TRedrawTimerQt>(*form, "tmrRedrawCircles")->Enabled());
}

TEST_F(StationListPageTest, ListIsRebuiltOnlyOnItsPage) {
  Hear(Station("N0CALL"));
  form->tmrClockTimer();
  EXPECT_FALSE(form->ListChanged);
  EXPECT_TRUE(Rows().empty()) << "the Range Circles page is shown";
  ShowStationList();
  EXPECT_EQ((std::vector<std::string>{"K1ABC", "N0CALL"}), Rows());
  Hear(Station("AA1AA"));
  EXPECT_EQ(2U, Rows().size()) << "only the tick rebuilds";
  form->tmrClockTimer();
  EXPECT_EQ((std::vector<std::string>{"AA1AA", "K1ABC", "N0CALL"}), Rows());
}

TEST_F(StationListPageTest, PauseHoldsBackTheViewButNotTheIntakeOrTheCounters) {
  ShowStationList();
  Child<QCheckBox>(*form, "cbPauseUpdates")->setChecked(true);
  Hear(Station("N0CALL"));
  Hear(Station("N0CALL"));
  form->tmrClockTimer();
  EXPECT_FALSE(form->ListChanged);
  EXPECT_EQ(std::vector<std::string>{"K1ABC"}, Rows());
  EXPECT_EQ(2, form->Cache->Count());
  EXPECT_EQ("2 0 1", Counters());

  // A switch to the page rebuilds even while paused.
  Child<QTabWidget>(*form, "PageControl")->setCurrentWidget(Child<QWidget>(*form, "tsLogView"));
  ShowStationList();
  EXPECT_EQ((std::vector<std::string>{"K1ABC", "N0CALL"}), Rows());

  // So do Clear List and Reload List.
  QTest::mouseClick(Child<QPushButton>(*form, "btnClearList"), Qt::LeftButton);
  EXPECT_TRUE(Rows().empty());
  EXPECT_EQ(0, form->Cache->Count());
  QTest::mouseClick(Child<QPushButton>(*form, "btnReloadList"), Qt::LeftButton);
  EXPECT_EQ(std::vector<std::string>{"K1ABC"}, Rows());
}

TEST_F(StationListPageTest, TheSelectionFollowsItsStationThroughARebuild) {
  Hear(Station("N0CALL"));
  ShowStationList();
  Select("N0CALL");
  Hear(Station("AA1AA"));  // sorts before it
  form->tmrClockTimer();
  ASSERT_EQ((std::vector<std::string>{"AA1AA", "K1ABC", "N0CALL"}), Rows());
  EXPECT_EQ(2, SelectedStationRow(*Child<QTableView>(*form, "lvStations")));
  form->Cache->Purge(kNow + 1);
  QTest::mouseClick(Child<QPushButton>(*form, "btnClearList"), Qt::LeftButton);
  EXPECT_EQ(-1, SelectedStationRow(*Child<QTableView>(*form, "lvStations")));
}

TEST_F(StationListPageTest, CountersChangeOnlyOnTheTick) {
  form->tmrClockTimer();
  EXPECT_EQ("1 0 0", Counters());
  Hear(Station("N0CALL"));
  Hear(Station("K1ABC"));
  EXPECT_EQ("1 0 0", Counters());
  form->Cache->Purge(kNow + 1);
  EXPECT_EQ("1 0 0", Counters());
  form->tmrClockTimer();
  EXPECT_EQ("0 2 1", Counters());
  QTest::mouseClick(Child<QPushButton>(*form, "btnClearList"), Qt::LeftButton);
  EXPECT_EQ("0 2 1", Counters());
  form->tmrClockTimer();
  EXPECT_EQ("0 0 0", Counters());
}

TEST_F(StationListPageTest, ClockPanelsShowLocalAndUtcTime) {
  EXPECT_EQ(QString("Local"), Child<QLabel>(*form, "StatusPanel1")->text());
  EXPECT_EQ(QString("UTC"), Child<QLabel>(*form, "StatusPanel2")->text());
  form->tmrClockTimer();
  const TClockPanels expected = ClockPanels(WallClockNow(), QLocale::system());
  EXPECT_EQ(expected.Local, Child<QLabel>(*form, "StatusPanel1")->text());
  EXPECT_EQ(expected.Utc, Child<QLabel>(*form, "StatusPanel2")->text());
  EXPECT_TRUE(expected.Utc.endsWith(" UTC"));
}

TEST_F(StationListPageTest, CopyPutsTheReceivedTimeAndTheRawPacketOnTheClipboard) {
  Hear(Station("N0CALL", 36526.5));
  ShowStationList();
  Select("N0CALL");
  Child<QTableView>(*form, "lvStations")->setFocus();
  QTest::keyClick(Child<QTableView>(*form, "lvStations"), Qt::Key_C, Qt::ControlModifier);
  ASSERT_EQ(1U, clipboard.size());
  const QString point = QLocale::system().decimalPoint();
  EXPECT_EQ("36526" + point + "5|N0CALL>APRS:!4903.50N/07201.75W#PHG5132", clipboard[0]);
}

TEST_F(StationListPageTest, LocateBlinksTheCircleFiveTimes) {
  ShowStationList();
  Select("K1ABC");
  form->miLocateClick();
  const auto& circles = server->Map->Circles;
  ASSERT_EQ(10U, circles.size());
  for (std::size_t i = 0; i < circles.size(); ++i) {
    EXPECT_EQ(i % 2 == 0 ? kLocateColor : kDigipeaterGreen, circles[i].Color) << i;
    EXPECT_EQ(2, circles[i].PenWidth);
  }
}

TEST_F(StationListPageTest, CommandsOnARowWhoseEntryExpiredTouchNothing) {
  ShowStationList();
  Select("K1ABC");
  form->Cache->Purge(kNow + 1);  // the entry is freed; the row stays until the next rebuild
  ASSERT_EQ(std::vector<std::string>{"K1ABC"}, Rows());

  form->miCopyClick();
  EXPECT_TRUE(clipboard.empty());
  form->miLocateClick();
  EXPECT_TRUE(server->Map->Circles.empty());
  form->miRemoveClick();
  EXPECT_EQ(0, form->Cache->Deleted);
  EXPECT_EQ(1, form->Cache->Expired);
  EXPECT_EQ(std::vector<std::string>{"K1ABC"}, Rows()) << "no rebuild without an entry";

  // The row has let go of its station: a new entry of the same call is not its.
  form->Cache->Update(Station("K1ABC"));
  form->miCopyClick();
  EXPECT_TRUE(clipboard.empty());
}

TEST_F(StationListPageTest, RemoveDeletesTheStationAndRebuildsEvenWhilePaused) {
  Hear(Station("N0CALL"));
  ShowStationList();
  Child<QCheckBox>(*form, "cbPauseUpdates")->setChecked(true);
  Select("N0CALL");
  Child<QTableView>(*form, "lvStations")->setFocus();
  QTest::keyClick(Child<QTableView>(*form, "lvStations"), Qt::Key_Delete);
  EXPECT_EQ(nullptr, form->Cache->Find("N0CALL"));
  EXPECT_EQ(1, form->Cache->Deleted);
  EXPECT_EQ(0, form->Cache->Expired);
  EXPECT_EQ(std::vector<std::string>{"K1ABC"}, Rows());
}

TEST_F(StationListPageTest, LocateStopsWhenTheStationIsRemovedBetweenBlinks) {
  ShowStationList();
  Select("K1ABC");
  server->Map->OnDraw = [this] {
    if (server->Map->Circles.size() == 3) form->Cache->Clear();
  };
  form->miLocateClick();
  EXPECT_EQ(3U, server->Map->Circles.size());
}

TEST_F(StationListPageTest, ExpireAgeFromTheEditBox) {
  for (const auto& [text, age] : std::vector<std::pair<QString, int>>{{"5", 5}, {"abc", 60}, {"", 60}, {"90", 90}}) {
    Child<QLineEdit>(*form, "edExpireAge")->setText(text);
    form->edExpireTimeAge();
    EXPECT_EQ(age, form->Cache->MaxAge) << text.toStdString();
  }
}

TEST_F(StationListPageTest, LeavingTheExpiryBoxForAnotherControlSetsTheAge) {
  auto* box = Child<QLineEdit>(*form, "edExpireAge");
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, "7");
  EXPECT_EQ(60, form->Cache->MaxAge) << "not while the user types";
  Child<QPushButton>(*form, "btnDrawCircles")->setFocus();
  EXPECT_EQ(7, form->Cache->MaxAge);
}

TEST_F(StationListPageTest, LocateDrawsFullSizeWhenTheBoxIsChecked) {
  ShowStationList();
  Select("K1ABC");
  form->miLocateClick();
  Child<QCheckBox>(*form, "cbDrawFullsize")->setChecked(true);
  form->miLocateClick();
  const auto& circles = server->Map->Circles;
  ASSERT_EQ(20U, circles.size());
  EXPECT_FLOAT_EQ(2 * circles[0].Radius, circles[10].Radius);
}

TEST_F(StationListPageTest, CopyWritesTheDecimalSeparatorOfTheUsersLocale) {
  const QLocale previous;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  const auto restore = qScopeGuard([&previous] { QLocale::setDefault(previous); });
  Hear(Station("N0CALL", 36526.5));
  ShowStationList();
  Select("N0CALL");
  form->miCopyClick();
  ASSERT_EQ(1U, clipboard.size());
  EXPECT_EQ("36526,5|N0CALL>APRS:!4903.50N/07201.75W#PHG5132", clipboard[0]);
}

}  // namespace
}  // namespace tarvik
