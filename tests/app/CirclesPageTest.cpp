// The "Range Circles" page offscreen: its controls, the draw pass through the
// real widgets, and the redraw timer's state table.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "Child.h"
#include "FakeHost.h"
#include "QtPrinters.h"
#include "TarvikMain.h"

namespace tarvik {
namespace {

using test::Child;

std::unique_ptr<aprs::TAprsPacket> Station(const std::string& call, double lat, double lon, char symbol) {
  auto p = std::make_unique<aprs::TAprsPacket>();
  p->Source.Callsign = call;
  p->Position.Latitude.Value = lat;
  p->Position.Longitude.Value = lon;
  p->Capabilities.HasCapabilities = true;
  p->Capabilities.PhgString = "PHG5132";
  p->Capabilities.Range = 30.0F;
  p->SymbolCode = symbol;
  return p;
}

class CirclesPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registry.SetRunning(host);
    TMainFormServices services;
    services.Timing = TTiming([this] { return now; },
                              [] {
                                QCoreApplication::processEvents();
                                return kNoMessage;
                              },
                              [this](std::uint32_t, bool) { now += 5; });
    services.MakeTray = [] { return std::make_unique<TNoTrayIcon>(); };
    services.MakeCacheTimer = [] { return std::make_unique<aprs::TManualCacheTimer>(); };
    services.Terminate = [] {};
    form = std::make_unique<TMainForm>(registry, std::move(services));
    form->Cache->Update(Station("DIGI", 45.0, -93.0, '#'));  // inside the recording map's bounds
    form->Cache->Update(Station("IGATE", 45.5, -92.0, '&'));
    form->Cache->Update(Station("FAR", 30.0, -93.0, '#'));  // outside
  }

  void Show() {
    form->show();
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return form->clsOxb != nullptr || !Child<QPlainTextEdit>(*form, "moLog")->toPlainText().isEmpty(); },
        5000));
    QCoreApplication::processEvents();
  }

  QStringList LogLines() const {
    const QString text = Child<QPlainTextEdit>(*form, "moLog")->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
  }
  std::size_t Drawn() const { return host->Map->Circles.size(); }
  // Leaves the edit box the way a user does: the focus moves on.
  void LeaveEditBox() {
    Child<QLineEdit>(*form, "edRedrawCircles")->setFocus();
    Child<QPushButton>(*form, "btnDrawCircles")->setFocus();
    QCoreApplication::processEvents();
  }
  void TypeSeconds(const char* text) {
    Child<QLineEdit>(*form, "edRedrawCircles")->setFocus();
    Child<QLineEdit>(*form, "edRedrawCircles")->selectAll();
    QTest::keyClicks(Child<QLineEdit>(*form, "edRedrawCircles"), QString::fromLatin1(text));
  }

  std::uint32_t now = 1000;
  std::shared_ptr<test::TFakeHost> host = std::make_shared<test::TFakeHost>();
  host::THostRegistry registry;
  std::unique_ptr<TMainForm> form;
};

TEST_F(CirclesPageTest, ControlsHaveTheirCaptionsDefaultsAndHints) {
  struct Box {
    QCheckBox* box;
    const char* caption;
    bool checked;
    const char* hint;
  };
  // clang-format off
  const std::vector<Box> boxes = {
      {Child<QCheckBox>(*form, "cbDrawDigis"), "Draw Digis (Green) - # symbol", true, "Enables drawing range circles for digis"},
      {Child<QCheckBox>(*form, "cbDrawMobiles"), "Draw Mobiles (Red)", true, "Enables drawing range circles for mobiles"},
      {Child<QCheckBox>(*form, "cbDrawIGates"), "Draw IGates (Blue) - && symbol", true, "Enables drawing range circles for IGates"},
      {Child<QCheckBox>(*form, "cbDrawDefaultPHG"), "Draw Default PHG (purple)", true,
       "Enables drawing range circles for stations that did not providet a PHG value"},
      {Child<QCheckBox>(*form, "cbDrawOthers"), "Draw Others (Black)", true, "Enables drawing range circles for all others"},
      {Child<QCheckBox>(*form, "cbRedrawCircles"), "Redraw every ", false, "Enables auto-redraw at the specified rate"},
      {Child<QCheckBox>(*form, "cbDrawFullsize"), "Draw full-size (fixed stations) circles", false,
       "Draw NORMAL (for mobiles) sized range circles rather than FULL SIZE (for fixed stations) - choice not saved"},
      {Child<QCheckBox>(*form, "cbDrawDF"), "Enable DF circle plots", false, "Draws DF circles instead of PHG or RNG circles"},
  };
  // clang-format on
  for (const auto& b : boxes) {
    SCOPED_TRACE(b.caption);
    EXPECT_EQ(b.box->text(), b.caption);
    EXPECT_EQ(b.box->isChecked(), b.checked);
    EXPECT_EQ(b.box->statusTip(), b.hint);
  }
  EXPECT_EQ(Child<QLineEdit>(*form, "edRedrawCircles")->text(), "15");
  EXPECT_EQ(Child<QLineEdit>(*form, "edRedrawCircles")->statusTip(), "The rate range circles will be redrawn");
  EXPECT_EQ(Child<QLabel>(*form, "lblRedrawSeconds")->text(), "seconds");
  EXPECT_EQ(Child<QPushButton>(*form, "btnRefreshMap")->text(), "&Refresh Map");
  EXPECT_EQ(Child<QPushButton>(*form, "btnRefreshMap")->statusTip(), "Clear range circles and force the map to redraw");
  EXPECT_EQ(Child<QPushButton>(*form, "btnDrawCircles")->text(), "&Draw Circles");
  EXPECT_EQ(Child<QPushButton>(*form, "btnDrawCircles")->statusTip(), "Draw the selected range circles");
  EXPECT_TRUE(Child<QPushButton>(*form, "btnDrawCircles")->isDefault());
  EXPECT_EQ(Child<QGroupBox>(*form, "gbControl")->title(), "Control");
  EXPECT_TRUE(Child<QWidget>(*form, "tsMain")->isAncestorOf(Child<QPushButton>(*form, "btnDrawCircles")));
  EXPECT_FALSE(Child<TRedrawTimerQt>(*form, "tmrRedrawCircles")->Enabled());
  EXPECT_EQ(Child<TRedrawTimerQt>(*form, "tmrRedrawCircles")->Interval(), 15000);
}

TEST_F(CirclesPageTest, DrawCirclesDrawsTheStationsInViewAndStartsTheTimer) {
  Show();
  bool enabledDuringPass = true;
  host->Map->OnDraw = [&] {
    enabledDuringPass = enabledDuringPass && Child<TRedrawTimerQt>(*form, "tmrRedrawCircles")->Enabled();
  };
  QTest::mouseClick(Child<QPushButton>(*form, "btnDrawCircles"), Qt::LeftButton);
  ASSERT_EQ(Drawn(), 2U);
  EXPECT_EQ(host->Map->Circles[0].Color, 0x008000);
  EXPECT_EQ(host->Map->Circles[1].Color, 0xFF0000);
  EXPECT_FALSE(enabledDuringPass);
  // "Redraw every " is unchecked, yet the timer now runs at the interval last set.
  EXPECT_FALSE(Child<QCheckBox>(*form, "cbRedrawCircles")->isChecked());
  EXPECT_TRUE(Child<TRedrawTimerQt>(*form, "tmrRedrawCircles")->Enabled());
  EXPECT_TRUE(Child<TRedrawTimerQt>(*form, "tmrRedrawCircles")->Ticking());
  EXPECT_EQ(Child<TRedrawTimerQt>(*form, "tmrRedrawCircles")->Interval(), 15000);
  // Half size unless full size is asked for.
  const float half = host->Map->Circles[0].Radius;
  QTest::mouseClick(Child<QCheckBox>(*form, "cbDrawFullsize"), Qt::LeftButton);
  QTest::mouseClick(Child<QPushButton>(*form, "btnDrawCircles"), Qt::LeftButton);
  ASSERT_EQ(Drawn(), 4U);
  EXPECT_EQ(host->Map->Circles[2].Radius, half * 2);  // the same station, full size
  EXPECT_TRUE(LogLines().isEmpty());
}

TEST_F(CirclesPageTest, CheckBoxesSteerThePass) {
  Show();
  QTest::mouseClick(Child<QCheckBox>(*form, "cbDrawDigis"), Qt::LeftButton);
  QTest::mouseClick(Child<QPushButton>(*form, "btnDrawCircles"), Qt::LeftButton);
  ASSERT_EQ(Drawn(), 1U);
  EXPECT_EQ(host->Map->Circles[0].Color, 0xFF0000);
  QTest::mouseClick(Child<QCheckBox>(*form, "cbDrawDF"), Qt::LeftButton);  // DF mode: no DF reports cached
  QTest::mouseClick(Child<QPushButton>(*form, "btnDrawCircles"), Qt::LeftButton);
  EXPECT_EQ(Drawn(), 1U);
}

TEST_F(CirclesPageTest, TheTimerTicksRunThePass) {
  Show();
  QTest::mouseClick(Child<QPushButton>(*form, "btnDrawCircles"), Qt::LeftButton);
  ASSERT_EQ(Drawn(), 2U);
  // A tick through the real QTimer: the interval is shortened through the
  // timer's own seam, then the event loop delivers the tick.
  Child<TRedrawTimerQt>(*form, "tmrRedrawCircles")->SetInterval(1);
  EXPECT_TRUE(QTest::qWaitFor([this] { return Drawn() >= 4U; }, 5000));
  Child<TRedrawTimerQt>(*form, "tmrRedrawCircles")->SetEnabled(false);
}

// The redraw timer's state table, driven through the widgets.
TEST_F(CirclesPageTest, RedrawTimerStateTable) {
  Show();
  auto& timer = *Child<TRedrawTimerQt>(*form, "tmrRedrawCircles");
  struct Step {
    const char* name;
    std::function<void()> act;
    bool enabled;
    int interval;
  };
  // clang-format off
  const std::vector<Step> steps = {
      {"start", [] {}, false, 15000},
      {"box checked", [&] { QTest::mouseClick(Child<QCheckBox>(*form, "cbRedrawCircles"), Qt::LeftButton); }, true, 15000},
      {"20 typed, edit box left", [&] { TypeSeconds("20"); LeaveEditBox(); }, true, 20000},
      {"box unchecked", [&] { QTest::mouseClick(Child<QCheckBox>(*form, "cbRedrawCircles"), Qt::LeftButton); }, false, 20000},
      {"Draw Circles pressed", [&] { QTest::mouseClick(Child<QPushButton>(*form, "btnDrawCircles"), Qt::LeftButton); }, true, 20000},
      {"edit box left: the box decides again", [&] { LeaveEditBox(); }, false, 20000},
      {"abc typed, box clicked", [&] { TypeSeconds("abc"); QTest::mouseClick(Child<QCheckBox>(*form, "cbRedrawCircles"), Qt::LeftButton); },
       true, 15000},
      {"tick", [&] { form->tmrRedrawCirclesTimer(); }, true, 15000},
      {"box set by the program", [&] { Child<QCheckBox>(*form, "cbRedrawCircles")->setChecked(false); }, false, 15000},
      {"0 typed, box checked by the program", [&] { TypeSeconds("0"); Child<QCheckBox>(*form, "cbRedrawCircles")->setChecked(true); },
       true, 0},
  };
  // clang-format on
  for (const auto& step : steps) {
    SCOPED_TRACE(step.name);
    step.act();
    EXPECT_EQ(timer.Enabled(), step.enabled);
    EXPECT_EQ(timer.Interval(), step.interval);
    EXPECT_EQ(timer.Ticking(), step.enabled && step.interval > 0);
  }
}

TEST_F(CirclesPageTest, EnterPressesDrawCircles) {
  Show();
  form->activateWindow();
  Child<QLineEdit>(*form, "edRedrawCircles")->setFocus();
  QTest::keyClick(Child<QLineEdit>(*form, "edRedrawCircles"), Qt::Key_Return);
  EXPECT_EQ(Drawn(), 2U);
  // On another button, Enter presses that one.
  Child<QPushButton>(*form, "btnRefreshMap")->setFocus();
  QTest::keyClick(Child<QPushButton>(*form, "btnRefreshMap"), Qt::Key_Return);
  EXPECT_EQ(Drawn(), 2U);
  EXPECT_EQ(host->CountOf("RedrawMap"), 1U);
}

TEST_F(CirclesPageTest, AFailedPassIsLoggedOnceAndTheNextPassRetries) {
  Show();
  host->Map->FailAtOperation = 4 + 5 + 1;  // inside the second circle
  QTest::mouseClick(Child<QPushButton>(*form, "btnDrawCircles"), Qt::LeftButton);
  EXPECT_EQ(LogLines(), QStringList{"The host map is gone"});
  EXPECT_EQ(Drawn(), 1U);
  EXPECT_TRUE(Child<TRedrawTimerQt>(*form, "tmrRedrawCircles")->Enabled());
  form->tmrRedrawCirclesTimer();  // the next tick retries (the map fails only once)
  EXPECT_EQ(Drawn(), 3U);
  EXPECT_EQ(LogLines().size(), 1);
}

TEST_F(CirclesPageTest, MapHeightZeroIsLoggedNotACrash) {
  Show();
  host->Map->Height = 0.0F;
  host->Map->Top = 45.0F * 60;
  QTest::mouseClick(Child<QPushButton>(*form, "btnDrawCircles"), Qt::LeftButton);
  EXPECT_EQ(LogLines(), QStringList{"Floating point division by zero"});
  EXPECT_TRUE(Child<TRedrawTimerQt>(*form, "tmrRedrawCircles")->Enabled());
}

TEST_F(CirclesPageTest, WithoutAHostTheClickIsLogged) {
  QTest::mouseClick(Child<QPushButton>(*form, "btnDrawCircles"), Qt::LeftButton);  // never shown: no host object yet
  EXPECT_EQ(LogLines(), QStringList{host::kNotConnectedText});
  EXPECT_TRUE(Child<TRedrawTimerQt>(*form, "tmrRedrawCircles")->Enabled());
  QTest::mouseClick(Child<QPushButton>(*form, "btnRefreshMap"), Qt::LeftButton);
  EXPECT_EQ(LogLines().size(), 2);
}

TEST_F(CirclesPageTest, RefreshMapAsksTheHostToRedraw) {
  Show();
  QTest::mouseClick(Child<QPushButton>(*form, "btnRefreshMap"), Qt::LeftButton);
  EXPECT_EQ(host->CountOf("RedrawMap"), 1U);
  EXPECT_EQ(Drawn(), 0U);  // nothing drawn again until the next pass
}

// With a pop-up open the edit box keeps the focus while the window goes, and
// loses it only as the box itself is deleted: its exit handler must not run
// then, when the window's members are gone.
TEST_F(CirclesPageTest, DestroyedWhileAnEditBoxHasTheFocus) {
  Show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  auto* box = Child<QLineEdit>(*form, "edRedrawCircles");
  box->setFocus();
  form->WMTrayIconCallback(kTrayRightButtonDown);  // the tray's menu
  ASSERT_TRUE(Child<QMenu>(*form, "mnuTrayPopup")->isVisible());
  ASSERT_EQ(QApplication::focusWidget(), box);
  form.reset();
}

}  // namespace
}  // namespace tarvik
