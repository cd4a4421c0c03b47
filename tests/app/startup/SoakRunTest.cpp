// What a soak run asks of the program through [Soak] in Oxbel32.INI: its
// settings, the page and redraw applied to the real window, the stats file.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <sstream>

#include "Child.h"
#include "FakeHost.h"
#include "QtPrinters.h"
#include "RedrawTimer.h"
#include "SoakRun.h"
#include "TarvikMain.h"

namespace tarvik {
namespace {

using test::Child;

constexpr int kWaitMs = 10000;  // an upper bound for event-loop waits, never reached when things work

std::string Write(const QTemporaryDir& dir, const char* name, const std::string& content) {
  const std::string path = dir.filePath(name).toStdString();
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

TEST(SoakRun, SettingsComeFromTheSoakSection) {
  struct Case {
    const char* name;
    std::string ini;          // "" for no file
    std::string statsSuffix;  // after the folder; "" for none, "/..." for an absolute path as written
    std::string page;
    std::string redraw;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"all three", "[Host]\nFeed=demo\n[soak]\n stats = s/stats.txt \nPage=Station List\nRedraw=2\n",
       "/s/stats.txt", "Station List", "2"},
      {"absolute stats path", "[Soak]\nStats=/var/tmp/x.txt\n", "=/var/tmp/x.txt", "", ""},
      {"no section", "[Host]\nStats=no.txt\nPage=Packet Log\n", "", "", ""},
      {"no file", "", "", "", ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir dir;
    const std::string ini =
        c.ini.empty() ? dir.filePath("Oxbel32.INI").toStdString() : Write(dir, "Oxbel32.INI", c.ini);
    const TSoakSettings soak = LoadSoakSettings(ini);
    if (c.statsSuffix.empty())
      EXPECT_EQ(soak.Stats, "");
    else if (c.statsSuffix.front() == '=')
      EXPECT_EQ(soak.Stats, c.statsSuffix.substr(1));
    else
      EXPECT_EQ(soak.Stats, dir.path().toStdString() + c.statsSuffix);
    EXPECT_EQ(soak.Page, c.page);
    EXPECT_EQ(soak.Redraw, c.redraw);
  }
}

class SoakWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registry.SetRunning(std::make_shared<test::TFakeHost>());
    TMainFormServices services;
    services.Timing = TTiming([] { return 0u; }, [] { return kQuitMessage; }, {});
    services.MakeTray = [] { return std::make_unique<TNoTrayIcon>(); };
    services.MakeCacheTimer = [] { return std::make_unique<aprs::TManualCacheTimer>(); };
    services.Terminate = [] {};
    form = std::make_unique<TMainForm>(registry, std::move(services));
    form->show();
  }

  host::THostRegistry registry;
  std::unique_ptr<TMainForm> form;
};

TEST_F(SoakWindowTest, PageAndRedrawAreAppliedAsClicksWould) {
  // The box is on already, at the design period: the new period must still take.
  Child<QCheckBox>(*form, "cbRedrawCircles")->setChecked(true);
  ASSERT_EQ(Child<TRedrawTimerQt>(*form, "tmrRedrawCircles")->Interval(), 15000);

  EXPECT_EQ(ApplySoakChoices(*form, {"", "Station List", "2"}), "");
  EXPECT_EQ(Child<QTabWidget>(*form, "PageControl")->currentWidget(), Child<QWidget>(*form, "tsStationList"));
  EXPECT_TRUE(Child<QCheckBox>(*form, "cbRedrawCircles")->isChecked());
  EXPECT_TRUE(Child<TRedrawTimerQt>(*form, "tmrRedrawCircles")->Ticking());
  EXPECT_EQ(Child<TRedrawTimerQt>(*form, "tmrRedrawCircles")->Interval(), 2000);
}

TEST_F(SoakWindowTest, NothingAskedChangesNothingAndAnUnknownPageIsNamed) {
  QWidget* const page = Child<QTabWidget>(*form, "PageControl")->currentWidget();
  EXPECT_EQ(ApplySoakChoices(*form, {}), "");
  EXPECT_EQ(ApplySoakChoices(*form, {"", "Maps", ""}), "the page Maps");
  EXPECT_EQ(Child<QTabWidget>(*form, "PageControl")->currentWidget(), page);
  EXPECT_FALSE(Child<QCheckBox>(*form, "cbRedrawCircles")->isChecked());
  EXPECT_EQ(Child<TRedrawTimerQt>(*form, "tmrRedrawCircles")->Interval(), 15000);
}

TEST(SoakRun, StatsFileIsWrittenAtOnceAndRewrittenOnTheTimer) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("stats.txt").toStdString();
  std::uint64_t lines = 41;
  const TSoakStats stats(
      path,
      [&lines] {
        return TRunStats{++lines, 7, 3};
      },
      1);
  EXPECT_EQ(Read(path), "lines=42\ncached=7\nheard=3\n");
  EXPECT_TRUE(QTest::qWaitFor([&] { return Read(path) == "lines=43\ncached=7\nheard=3\n"; }, kWaitMs));
}

TEST(SoakRun, UnwritableStatsFileDoesNotStopTheRun) {
  int asked = 0;
  const TSoakStats stats(
      "/nonexistent/folder/stats.txt",
      [&asked] {
        return TRunStats{0, 0, ++asked};
      },
      1);
  EXPECT_TRUE(QTest::qWaitFor([&] { return asked >= 3; }, kWaitMs));
}

}  // namespace
}  // namespace tarvik
