// The main window offscreen against a fake host, a fake tray and simulated time.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <QFile>
#include <QTemporaryDir>
#include "Child.h"
#include "FakeHost.h"
#include "QtPrinters.h"
#include "TarvikData.h"
#include "TarvikMain.h"
#include "TarvikVersion.h"

namespace tarvik {
namespace {

using test::Child;
using test::TFakeHost;

constexpr const char* kNotConnected =
    "DefaultInterface is NULL. Component is not connected to Server. You must call 'Connect' or "
    "'ConnectTo' before this operation";

struct Journal {
  std::vector<std::string> Events;
};

class FakeTray : public TTrayIcon {
 public:
  FakeTray(Journal& journal, bool available, const char* addFailure, const char* deleteFailure)
      : m_journal(journal), m_available(available), m_addFailure(addFailure), m_deleteFailure(deleteFailure) {}
  bool Available() const override { return m_available; }
  void Add(const QIcon&, const QString& tip, QMenu* menu) override {
    if (m_addFailure != nullptr) throw std::runtime_error(m_addFailure);
    m_journal.Events.push_back("tray add: " + tip.toStdString() + " menu " + std::to_string(menu->actions().size()));
    m_visible = m_available;
  }
  void Delete() override {
    if (m_deleteFailure != nullptr) throw std::runtime_error(m_deleteFailure);
    m_journal.Events.emplace_back("tray delete");
    m_visible = false;
  }
  bool Visible() const override { return m_visible; }

 private:
  Journal& m_journal;
  bool m_available;
  const char* m_addFailure;
  const char* m_deleteFailure;
  bool m_visible = false;
};

class ThrowingCache : public aprs::TPacketCache {
 public:
  bool Update(std::unique_ptr<aprs::TAprsPacket>) override { throw std::runtime_error("the cache is full"); }
};

// A packet that passes the acceptance test.
std::unique_ptr<aprs::TAprsPacket> RangePacket(const std::string& call, const std::string& raw) {
  auto packet = std::make_unique<aprs::TAprsPacket>();
  packet->Source.Callsign = call;
  packet->RawPacket = raw;
  packet->Position.Valid = true;
  packet->Capabilities.HasCapabilities = true;
  packet->Capabilities.PhgString = "PHG5132";
  return packet;
}

struct Options {
  bool trayAvailable = true;
  const char* trayAddFailure = nullptr;
  const char* trayDeleteFailure = nullptr;
  bool hostRuns = true;
};

class MainFormTest : public ::testing::Test {
 protected:
  void Create(Options options = {}) {
    if (options.hostRuns) registry.SetRunning(host);
    TMainFormServices services;
    services.Timing = TTiming([this] { return now; },
                              [] {
                                QCoreApplication::processEvents();
                                return kNoMessage;
                              },
                              [this](std::uint32_t, bool) { now += 5; });
    services.MakeTray = [this, options]() -> std::unique_ptr<TTrayIcon> {
      return std::make_unique<FakeTray>(journal, options.trayAvailable, options.trayAddFailure,
                                        options.trayDeleteFailure);
    };
    services.MakeCacheTimer = [this] {
      auto timer = std::make_unique<aprs::TManualCacheTimer>();
      cacheTimer = timer.get();
      return timer;
    };
    services.Terminate = [this] { journal.Events.emplace_back("terminate"); };
    services.DM = dm.get();
    host->Clock = [this] { return now; };
    form = std::make_unique<TMainForm>(registry, std::move(services));
  }

  // Shows the window and lets its first-show sequence run.
  void Show() {
    form->show();
    ASSERT_TRUE(QTest::qWaitFor([this] { return shownOnce(); }, 5000));
  }
  bool shownOnce() const {
    return form->windowTitle() != "Tarvik" || Child<QPlainTextEdit>(*form, "moLog")->document()->blockCount() > 1 ||
           !Child<QPlainTextEdit>(*form, "moLog")->toPlainText().isEmpty();
  }

  QStringList LogLines() const {
    const QString text = Child<QPlainTextEdit>(*form, "moLog")->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
  }
  int Terminations() const {
    return static_cast<int>(std::count(journal.Events.begin(), journal.Events.end(), "terminate"));
  }

  std::uint32_t now = 1000;
  Journal journal;
  std::shared_ptr<TFakeHost> host = std::make_shared<TFakeHost>();
  host::THostRegistry registry;
  aprs::TManualCacheTimer* cacheTimer = nullptr;
  std::unique_ptr<TDM> dm;  // set it before Create() to keep settings
  std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormTest, CreationBuildsTheWindow) {
  Create();
  // The three pages first, in their order; the "Coverage" page after them.
  ASSERT_EQ(Child<QTabWidget>(*form, "PageControl")->count(), 4);
  EXPECT_EQ(Child<QTabWidget>(*form, "PageControl")->tabText(0), "Range Circles");
  EXPECT_EQ(Child<QTabWidget>(*form, "PageControl")->tabText(1), "Station List");
  EXPECT_EQ(Child<QTabWidget>(*form, "PageControl")->tabText(2), "Packet Log");
  EXPECT_EQ(Child<QTabWidget>(*form, "PageControl")->tabText(3), "Coverage");
  EXPECT_TRUE(Child<QPlainTextEdit>(*form, "Notes")->isReadOnly());
  EXPECT_TRUE(Child<QPlainTextEdit>(*form, "Notes")->toPlainText().contains("PHG"));
  EXPECT_TRUE(Child<QPlainTextEdit>(*form, "moLog")->isReadOnly());
  EXPECT_EQ(Child<QPlainTextEdit>(*form, "moLog")->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(Child<QPushButton>(*form, "btnClose")->text(), "Close");
  EXPECT_EQ(Child<QLabel>(*form, "StatusPanel0")->text(), QString(" ") + TARVIK_LEGAL_NOTICE);
  EXPECT_EQ(Child<QLabel>(*form, "StatusPanel1")->text(), "Local");
  EXPECT_EQ(Child<QLabel>(*form, "StatusPanel2")->text(), "UTC");
  EXPECT_EQ(form->windowTitle(), "Tarvik");
  EXPECT_EQ(form->geometry(), QRect(360, 250, 633, 438));
  EXPECT_EQ(journal.Events, std::vector<std::string>{"tray add: Tarvik - right-click for options menu 2"});
  EXPECT_EQ(Child<QAction>(*form, "miRestore")->text(), "Restore");
  EXPECT_EQ(Child<QAction>(*form, "miExit")->text(), "Exit");
  ASSERT_NE(form->Cache, nullptr);
  EXPECT_TRUE(form->Cache->Enabled());
  EXPECT_EQ(form->Cache->PurgeInterval(), 60);
  EXPECT_EQ(form->Cache->MaxAge, 60);
  ASSERT_NE(cacheTimer, nullptr);
  EXPECT_EQ(cacheTimer->Interval, 60000);
  EXPECT_TRUE(cacheTimer->Running);
  EXPECT_TRUE(LogLines().isEmpty());
}

TEST_F(MainFormTest, FailingTrayStillCreatesTheCache) {
  Create({.trayAddFailure = "No system tray is available"});
  EXPECT_EQ(LogLines(), QStringList{"Problem in FormCreate: No system tray is available"});
  ASSERT_NE(form->Cache, nullptr);
  EXPECT_TRUE(cacheTimer->Running);
  EXPECT_EQ(Child<QLabel>(*form, "StatusPanel0")->text(), QString(" ") + TARVIK_LEGAL_NOTICE);
}

TEST_F(MainFormTest, FirstShowWaitsConnectsAndShowsTheCall) {
  Create();
  Child<QTabWidget>(*form, "PageControl")->setCurrentWidget(Child<QWidget>(*form, "tsLogView"));
  Show();
  EXPECT_EQ(form->windowTitle(), "Tarvik v1.0.0 - Station Call Sign: N0CALL-9");
  EXPECT_EQ(form->MyCall, "N0CALL-9");
  EXPECT_EQ(Child<QTabWidget>(*form, "PageControl")->currentWidget(), Child<QWidget>(*form, "tsMain"));
  const auto& calls = host->Calls;
  const auto& times = host->CallTimes;
  // The host's own station list (empty here) is read last.
  ASSERT_EQ(calls, (std::vector<std::string>{"Advise", "GetMyInfo", "GetMyCallsign", "GetStationCount"}));
  EXPECT_GT(times[0] - 1000, 1980u);     // 36 ticks before connecting
  EXPECT_GT(times[1] - times[0], 990u);  // 18 ticks after
  EXPECT_TRUE(LogLines().isEmpty());
}

TEST_F(MainFormTest, FirstShowWithoutHostLogsAndKeepsTheCaption) {
  Create({.hostRuns = false});
  Show();
  EXPECT_EQ(LogLines(), QStringList{QString("Problem in FormShow: ") + kNotConnected});
  EXPECT_EQ(form->windowTitle(), "Tarvik");
  EXPECT_EQ(form->Cache->MaxAge, 60);
  EXPECT_TRUE(host->Calls.empty());
}

TEST_F(MainFormTest, HostClosingEndsTheProgram) {
  Create();
  Show();
  EXPECT_EQ(Terminations(), 0);
  host->Raise(host::TOxbEvent::Oxbel32IsClosing);
  EXPECT_EQ(Terminations(), 1);
}

TEST_F(MainFormTest, CloseButtonAndCloseCommandEndTheProgram) {
  Create();
  QTest::mouseClick(Child<QPushButton>(*form, "btnClose"), Qt::LeftButton);
  EXPECT_EQ(Terminations(), 1);
  form->show();
  form->close();
  EXPECT_EQ(Terminations(), 2);
}

TEST_F(MainFormTest, ExitRemovesTheTrayIconFirst) {
  Create();
  Child<QAction>(*form, "miExit")->trigger();
  ASSERT_GE(journal.Events.size(), 3u);
  EXPECT_EQ(journal.Events[1], "tray delete");
  EXPECT_EQ(journal.Events[2], "terminate");
}

TEST_F(MainFormTest, DestructionDisconnectsAndRemovesTheIcon) {
  Create();
  Show();
  form.reset();
  EXPECT_EQ(host->Calls.back(), "Unadvise");
  EXPECT_EQ(journal.Events.back(), "tray delete");
}

TEST_F(MainFormTest, HandlersLogTheirOwnProblems) {
  Create({.trayDeleteFailure = "the icon is stuck"});
  Show();

  host->FailGetPacket = true;
  host->Hear("x");
  host->FailGetPacket = false;

  form->Cache = std::make_unique<ThrowingCache>();
  QCoreApplication::postEvent(form.get(), new TDataAvailableEvent(RangePacket("N0CALL", "N0CALL>APRS:x")));
  QCoreApplication::sendPostedEvents(form.get());

  form->miExitClick();

  host->FailUnadvise = true;
  form->FormDestroy();

  EXPECT_EQ(LogLines(),
            (QStringList{"Problem in clsOxbDataAvailable: GetPacket failed",
                         "N0CALL>APRS:x",  // logged before the cache refused it
                         "Problem in WMDataAvailable: the cache is full", "Problem in miExitClick: the icon is stuck",
                         "Problem in FormDestroy: Unadvise failed"}));
  EXPECT_EQ(Terminations(), 0);  // Exit stopped at its failing step
}

TEST_F(MainFormTest, EscapedExceptionIsLoggedWithItsMessageOnly) {
  Create();
  form->ApplicationEvents1Exception("Unable to write to /x/tarvik.INI");
  EXPECT_EQ(LogLines(), QStringList{"Unable to write to /x/tarvik.INI"});
}

TEST_F(MainFormTest, AcceptedPacketReachesLogAndCacheAfterTheHostCall) {
  Create();
  QCoreApplication::postEvent(form.get(), new TDataAvailableEvent(RangePacket("N0CALL-9", "N0CALL-9>APRS:raw")));
  EXPECT_EQ(form->Cache->Count(), 0);  // nothing happens inside the posting call
  QCoreApplication::sendPostedEvents(form.get());
  EXPECT_EQ(form->Cache->Count(), 1);
  EXPECT_TRUE(LogLines().isEmpty());  // packet lines reach the log in batches
  EXPECT_TRUE(QTest::qWaitFor([&] { return LogLines() == QStringList{"N0CALL-9>APRS:raw"}; }, 1000));
  EXPECT_TRUE(form->ListChanged);
}

TEST_F(MainFormTest, RejectedOrEmptyPacketIsFreedUnlogged) {
  Create();
  auto noPosition = RangePacket("N0CALL", "N0CALL>APRS:no position");
  noPosition->Position.Valid = false;
  QCoreApplication::postEvent(form.get(), new TDataAvailableEvent(std::move(noPosition)));
  QCoreApplication::postEvent(form.get(), new TDataAvailableEvent(nullptr));
  QCoreApplication::sendPostedEvents(form.get());
  EXPECT_EQ(form->Cache->Count(), 0);
  EXPECT_TRUE(LogLines().isEmpty());
  EXPECT_FALSE(form->ListChanged);
}

TEST_F(MainFormTest, PacketStillQueuedWhenTheWindowGoesIsFreed) {
  Create();
  QCoreApplication::postEvent(form.get(), new TDataAvailableEvent(RangePacket("N0CALL", "queued")));
  form.reset();  // the leak checker proves the packet went with the event
  QCoreApplication::sendPostedEvents();
}

TEST_F(MainFormTest, HostTextEdgeCasesNeverReachTheLog) {
  Create();
  Show();
  std::string binary;
  for (int i = 0; i < 256; ++i) binary += static_cast<char>(i);
  const std::vector<std::string> texts = {
      "",
      "0N0CALL>A",
      binary,
      "0N0CALL>APRS:>" + std::string(100000, 'x'),
      "112:34:56 N0CALL>APRS <UI>:>a status without a position\r\n",
  };
  for (const std::string& text : texts) host->Hear(text);
  QCoreApplication::sendPostedEvents(form.get());
  EXPECT_EQ(std::count(host->Calls.begin(), host->Calls.end(), "GetPacket"), 5);
  EXPECT_TRUE(LogLines().isEmpty());
  EXPECT_EQ(form->Cache->Count(), 0);
}

TEST_F(MainFormTest, LogKeepsTheNewest500AfterPassing1000) {
  Create();
  for (int i = 1; i <= 1000; ++i) form->AddLogLine("line " + std::to_string(i));
  EXPECT_EQ(Child<QPlainTextEdit>(*form, "moLog")->document()->blockCount(), 1000);
  form->AddLogLine("line 1001");
  const QStringList lines = LogLines();
  ASSERT_EQ(lines.size(), 500);
  EXPECT_EQ(lines.front(), "line 502");
  EXPECT_EQ(lines.back(), "line 1001");
  form->AddLogLine("two\r\nparts");
  EXPECT_EQ(LogLines().back(), "two  parts");
  EXPECT_EQ(LogLines().size(), 501);
  // Hours of traffic append and cut the log without end: nothing may pile up to undo.
  EXPECT_FALSE(Child<QPlainTextEdit>(*form, "moLog")->document()->isUndoAvailable());
}

TEST_F(MainFormTest, HintBarShowsTheHintOfTheControl) {
  Create();
  QStatusTipEvent tip(Child<QPushButton>(*form, "btnClose")->statusTip());
  QCoreApplication::sendEvent(Child<QPushButton>(*form, "btnClose"), &tip);
  EXPECT_EQ(Child<QStatusBar>(*form, "HintBar")->currentMessage(), "Press to exit this application");
  EXPECT_EQ(Child<QStatusBar>(*form, "HintBar")->statusTip(),
            "This is where program hints are displayed (like this one)");
  EXPECT_EQ(Child<QPlainTextEdit>(*form, "moLog")->statusTip(), "Received packet list");
}

TEST_F(MainFormTest, MinimisedToTheTrayAndBackByDoubleClick) {
  Create();
  form->show();
  form->setWindowState(Qt::WindowMinimized);
  ASSERT_TRUE(QTest::qWaitFor([this] { return !form->isVisible(); }, 5000));
  form->WMTrayIconCallback(kTrayLeftDoubleClick);
  EXPECT_TRUE(form->isVisible());
  EXPECT_FALSE(form->isMinimized());
}

TEST_F(MainFormTest, WithoutATrayMinimisingKeepsTheWindow) {
  Create({.trayAvailable = false});
  form->show();
  form->setWindowState(Qt::WindowMinimized);
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  EXPECT_TRUE(form->isVisible());
  Child<QAction>(*form, "miRestore")->trigger();
  EXPECT_FALSE(form->isMinimized());
}

TEST_F(MainFormTest, RightButtonOnTheTrayOpensItsMenu) {
  Create();
  form->WMTrayIconCallback(kTrayRightButtonDown);
  EXPECT_TRUE(Child<QMenu>(*form, "mnuTrayPopup")->isVisible());
  Child<QMenu>(*form, "mnuTrayPopup")->hide();
  form->WMTrayIconCallback(0);
  EXPECT_FALSE(Child<QMenu>(*form, "mnuTrayPopup")->isVisible());
}

TEST_F(MainFormTest, ClockTicksEveryFiveSecondsFromTheStart) {
  Create();
  auto* clock = Child<QTimer>(*form, "tmrClock");
  EXPECT_EQ(clock->interval(), 5000);
  EXPECT_TRUE(clock->isActive());
  EXPECT_FALSE(clock->isSingleShot());
  clock->setInterval(1);  // a tick fills the clock panels
  EXPECT_TRUE(QTest::qWaitFor([this] { return Child<QLabel>(*form, "StatusPanel1")->text() != "Local"; }, 5000));
}

TEST_F(MainFormTest, FirstShowTakesTheExpiryAgeFromItsBox) {
  Create();
  Child<QLineEdit>(*form, "edExpireAge")->setText("25");
  Show();
  EXPECT_EQ(form->Cache->MaxAge, 25);
}

TEST_F(MainFormTest, PlacementAndSettingsSurviveARun) {
  QTemporaryDir folder;
  const QString ini = folder.filePath("tarvik.INI");
  dm = std::make_unique<TDM>(ini);
  Create();
  form->move(100, 120);
  Child<QLineEdit>(*form, "edServerPort")->setText("2000");
  form.reset();  // saved on destruction
  QFile file(ini);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray text = file.readAll();
  EXPECT_TRUE(text.contains("[MainForm]")) << text.toStdString();
  EXPECT_TRUE(text.contains("edServerPort.Text=2000")) << text.toStdString();

  Create();  // the next run starts where the last one ended
  EXPECT_EQ(Child<QLineEdit>(*form, "edServerPort")->text(), "2000");
  EXPECT_EQ(form->geometry().topLeft(), QPoint(100, 120));
  EXPECT_TRUE(LogLines().isEmpty());
}

TEST(Caption, Table) {
  EXPECT_EQ(CaptionFor("Tarvik", "1.0.0.0", "N0CALL"), "Tarvik v1.0.0 - Station Call Sign: N0CALL");
  EXPECT_EQ(CaptionFor("Tarvik", "2.3.4.567", ""), "Tarvik v2.3.4 - Station Call Sign: ");
}

}  // namespace
}  // namespace tarvik
