// The stand-in host: settings, feeds, monitor text, station list, map trace, events.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Feed.h"
#include "HostWindow.h"
#include "MonitorText.h"
#include "Oxbel32_TLB.h"
#include "StandInHost.h"
#include "StandInSettings.h"

namespace standin {
namespace {

constexpr int kWaitMs = 10000;  // an upper bound for event-loop waits, never reached when things work

std::string WriteFile(const QTemporaryDir& dir, const char* name, const std::string& content) {
  const std::string path = dir.filePath(name).toStdString();
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// Runs a feed to its end through the event loop and returns the lines it sent.
std::vector<std::string> RunFeed(TFeed& feed, int stopAfter = -1) {
  std::vector<std::string> lines;
  // Stopped from the handler, as a client may: no line comes after the stop.
  QObject::connect(&feed, &TFeed::LineReceived, [&lines, &feed, stopAfter](const QByteArray& line) {
    lines.push_back(line.toStdString());
    if (stopAfter >= 0 && static_cast<int>(lines.size()) >= stopAfter) feed.Stop();
  });
  feed.Start();
  EXPECT_TRUE(lines.empty()) << "lines must come from the event loop, not from Start";
  (void)QTest::qWaitFor(
      [&] {
        return feed.State() != QStringLiteral("running") ||
               (stopAfter >= 0 && static_cast<int>(lines.size()) >= stopAfter);
      },
      kWaitMs);
  feed.Stop();
  return lines;
}

TStandInSettings SettingsWithTrace(const QTemporaryDir& dir) {
  TStandInSettings settings;
  settings.Feed = "file:" + dir.filePath("none.txt").toStdString();
  settings.Trace = dir.filePath("trace.txt").toStdString();
  return settings;
}

// ---- settings ---------------------------------------------------------------

TEST(StandInSettings, MissingFileGivesTheDefaults) {
  QTemporaryDir dir;
  const TStandInSettings s = LoadStandInSettings(dir.filePath("Oxbel32.INI").toStdString());
  EXPECT_EQ(s.MyCall, "N0CALL");
  EXPECT_EQ(s.Feed, "demo");
  EXPECT_EQ(s.FeedRate, 2.0);
  EXPECT_EQ(s.Map, kDefaultMap);
  EXPECT_TRUE(s.Trace.empty());
  // The default map is around 49N 72W, about two degrees wide, height negative.
  EXPECT_NEAR(s.Map.Left + s.Map.Width / 2, -72 * 60, 1);
  EXPECT_NEAR(s.Map.Top + s.Map.Height / 2, 49 * 60, 1);
  EXPECT_LT(s.Map.Height, 0);
}

TEST(StandInSettings, ValuesOverrideTheDefaults) {
  static constexpr char kJunk[] = "\0\xff[Host\n=\n[Host]\n\xfe\xfe=1\nMyCall=N4Q\n";
  struct Case {
    const char* name;
    std::string ini;
    std::string myCall;
    std::string feedSuffix;
    double rate;
    TMapRect map;
    std::string traceSuffix;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"plain",
       "[Host]\nMyCall=k1abc-9\nFeed=file: feeds/a.txt\nFeedRate=0\nMap=-4400.5,3000,60.25,-45\nTrace=t.txt\n",
       "K1ABC-9", "/feeds/a.txt", 0.0, {-4400.5, 3000, 60.25, -45}, "/t.txt"},
      {"case and blanks, CR LF",
       "; comment\r\n[ host ]\r\n  mycall =  N2XYZ \r\nFEEDRATE = 0.5\r\nfeed=DEMO\r\n", "N2XYZ", "DEMO", 0.5,
       kDefaultMap, ""},
      {"other sections ignored, first key wins",
       "[Other]\nMyCall=NOPE\n[Host]\nMyCall=N3A\nMyCall=N3B\n[Next]\nFeedRate=9\n", "N3A", "demo", 2.0,
       kDefaultMap, ""},
      {"hostile values fall back",
       "[Host]\nMyCall=\nFeedRate=-3\nMap=1,2,3\nTrace=\n", "N0CALL", "demo", 2.0, kDefaultMap, ""},
      {"map with positive height, rate not a number",
       "[Host]\nMap=-4400,3000,60,45\nFeedRate=fast\n", "N0CALL", "demo", 2.0, kDefaultMap, ""},
      {"map with five values or nan", "[Host]\nMap=1,2,3,-4,5\nFeedRate=nan\n", "N0CALL", "demo", 2.0, kDefaultMap,
       ""},
      {"binary junk", std::string(kJunk, sizeof kJunk - 1), "N4Q", "demo", 2.0, kDefaultMap, ""},
      {"only the first [Host] is read, as a feed chosen in the window is written there",
       "[Host]\nMyCall=N5A\n[host]\nFeedRate=0\n", "N5A", "demo", 2.0, kDefaultMap, ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir dir;
    const TStandInSettings s = LoadStandInSettings(WriteFile(dir, "Oxbel32.INI", c.ini));
    EXPECT_EQ(s.MyCall, c.myCall);
    if (c.feedSuffix.front() == '/') {
      EXPECT_EQ(s.Feed, "file:" + dir.path().toStdString() + c.feedSuffix);
    } else {
      EXPECT_EQ(s.Feed, c.feedSuffix);
    }
    EXPECT_EQ(s.FeedRate, c.rate);
    EXPECT_EQ(s.Map, c.map);
    EXPECT_EQ(s.Trace, c.traceSuffix.empty() ? "" : dir.path().toStdString() + c.traceSuffix);
  }
}

TEST(StandInSettings, LoopFeedPathIsTakenFromTheSettingsFolder) {
  QTemporaryDir dir;
  EXPECT_EQ(LoadStandInSettings(WriteFile(dir, "Oxbel32.INI", "[Host]\nFeed=LOOP: feeds/b.txt\n")).Feed,
            "loop:" + dir.path().toStdString() + "/feeds/b.txt");
}

// ---- monitor text -------------------------------------------------------------

TEST(MonitorText, RadioAndInternetFrames) {
  struct Case {
    std::string line;
    std::string text;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"N0CALL-9>APRS,WIDE1-1,WIDE2-1:!4903.50N/07201.75W>Test",
       "107:05:09 N0CALL-9>APRS,WIDE1-1,WIDE2-1 Port=1 <UI>:!4903.50N/07201.75W>Test\r\n"},
      {"N0CALL>APRS,TCPIP*,qAC,T2TEST:=4903.50N/07201.75W-PHG2360",
       "I07:05:09 N0CALL>APRS,TCPIP*,qAC,T2TEST <UI>:=4903.50N/07201.75W-PHG2360\r\n"},
      {"N0CALL>APRS,WIDE2-1,qAR,IGATE:>status", "I07:05:09 N0CALL>APRS,WIDE2-1,qAR,IGATE <UI>:>status\r\n"},
      {"N0CALL>APRS:>no path", "107:05:09 N0CALL>APRS Port=1 <UI>:>no path\r\n"},
      {"N0CALL>APRS,QAZWSX:>long element is no q construct",
       "107:05:09 N0CALL>APRS,QAZWSX Port=1 <UI>:>long element is no q construct\r\n"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const auto line = SplitTnc2(c.line);
    ASSERT_TRUE(line);
    EXPECT_EQ(FormatMonitorText(*line, {7, 5, 9}), c.text);
  }
}

TEST(MonitorText, LinesThatAreNoFramesAreRefused) {
  for (const char* text : {"", "no colon > here", ":N0CALL>APRS", "N0CALL:>APRS"})
    EXPECT_FALSE(SplitTnc2(text)) << text;
}

// ---- feeds --------------------------------------------------------------------

TEST(ReplayFeed, FileFeedSkipsCommentsAndEmptyLinesAndEndsAtTheEnd) {
  QTemporaryDir dir;
  const std::string path =
      WriteFile(dir, "feed.txt", "# a comment\nA>B:1\n\n   \r\nB>C:2\r\n#C>D:skipped\nC>D:3 # not a comment");
  TReplayFeed feed(QString::fromStdString(path), false, 0, "file");
  EXPECT_EQ(RunFeed(feed), (std::vector<std::string>{"A>B:1", "B>C:2", "C>D:3 # not a comment"}));
  EXPECT_EQ(feed.State(), QStringLiteral("finished"));
}

TEST(ReplayFeed, RateZeroDeliversEveryLineThroughTheEventLoop) {
  QTemporaryDir dir;
  std::string content;
  for (int i = 0; i < 500; ++i) {
    const std::string n = std::to_string(i);
    content.append("N").append(n).append(">APRS:>").append(n).append("\n");
  }
  TReplayFeed feed(QString::fromStdString(WriteFile(dir, "feed.txt", content)), false, 0, "file");
  const auto lines = RunFeed(feed);
  ASSERT_EQ(lines.size(), 500U);
  EXPECT_EQ(lines.back(), "N499>APRS:>499");
  // Many lines in one turn of the event loop, not one per turn.
  TReplayFeed again(QString::fromStdString(WriteFile(dir, "feed.txt", content)), false, 0, "file");
  int received = 0;
  QObject::connect(&again, &TFeed::LineReceived, [&received] { ++received; });
  again.Start();
  QCoreApplication::processEvents();
  EXPECT_GT(received, 1);
}

TEST(ReplayFeed, LoopStartsAgainAtTheEnd) {
  QTemporaryDir dir;
  TReplayFeed feed(QString::fromStdString(WriteFile(dir, "feed.txt", "A>B:1\n#x\nB>C:2\n")), true, 0, "demo");
  EXPECT_EQ(RunFeed(feed, 5), (std::vector<std::string>{"A>B:1", "B>C:2", "A>B:1", "B>C:2", "A>B:1"}));
}

TEST(ReplayFeed, HostileFilesEndQuietly) {
  struct Case {
    const char* name;
    std::string content;
    bool loop;
    std::vector<std::string> lines;
  };
  const std::string huge(100000, 'X');
  // clang-format off
  const std::vector<Case> cases = {
      {"empty", "", false, {}},
      {"empty, looping", "", true, {}},
      {"only comments, looping", "#a\n\n#b\n", true, {}},
      {"huge line dropped", "A>B:1\n" + huge + "\nB>C:2\n", false, {"A>B:1", "B>C:2"}},
      {"huge last line without end", "A>B:1\n" + huge, false, {"A>B:1"}},
      {"binary", std::string("\0\x01\xff>\x80:\0\n", 8), false, {std::string("\0\x01\xff>\x80:\0", 7)}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir dir;
    TReplayFeed feed(QString::fromStdString(WriteFile(dir, "feed.txt", c.content)), c.loop, 0, "file");
    EXPECT_EQ(RunFeed(feed), c.lines);
    EXPECT_NE(feed.State(), QStringLiteral("running"));
  }
}

TEST(ReplayFeed, MissingFileSaysWhy) {
  TReplayFeed feed(QStringLiteral("/nonexistent/feed.txt"), false, 0, "file");
  feed.Start();
  EXPECT_TRUE(feed.State().startsWith(QStringLiteral("cannot open /nonexistent/feed.txt")));
}

TEST(ReplayFeed, FeedSettingChoosesTheFeed) {
  TStandInSettings settings;
  settings.Feed = "agw:127.0.0.1:8000";
  EXPECT_TRUE(MakeFeed(settings, {})->Description().startsWith(QStringLiteral("unsupported feed")));
  settings.Feed = "serial:/dev/ttyS0";
  EXPECT_EQ(MakeFeed(settings, {})->Description(), QStringLiteral("serial: /dev/ttyS0 at 9600 bit/s"));
  settings.Feed = "FILE:/tmp/x.txt";
  EXPECT_EQ(MakeFeed(settings, {})->Description(), QStringLiteral("file: /tmp/x.txt"));
  QTemporaryDir dir;
  settings.Feed = "Loop:" + WriteFile(dir, "loop.txt", "A>B:1\n");
  settings.FeedRate = 0;
  const auto loop = MakeFeed(settings, {});
  EXPECT_EQ(loop->Description(), QStringLiteral("loop: ") + dir.filePath("loop.txt"));
  EXPECT_EQ(RunFeed(*loop, 3), (std::vector<std::string>{"A>B:1", "A>B:1", "A>B:1"}));
  WriteFile(dir, "demo-feed.txt", "A>B:1\n");
  settings.Feed = "Demo";
  EXPECT_EQ(MakeFeed(settings, dir.path())->Description(), QStringLiteral("demo: ") + dir.filePath("demo-feed.txt"));
}

// ---- host: station list, own call, map ----------------------------------------

TEST(StandInHost, StationListHasOneEntryPerSourcePadded) {
  QTemporaryDir dir;
  TStandInHost host(SettingsWithTrace(dir), dir.path());
  host.HandleLine("N0CALL-9>APRS,WIDE1-1:!4903.50N/07201.75W>mobile");
  host.HandleLine("K1A>APRS:>status");
  host.HandleLine("n0call-9*>APRS:>again, lower case");
  host.HandleLine("LONGCALL1>APRS:>nine characters");
  host.HandleLine("not a frame");
  EXPECT_EQ(host.LinesHandled(), 4u);
  ASSERT_EQ(host.GetStationCount(), 3);
  const std::vector<std::string> expected = {" N0CALL-9 ", " K1A      ", " LONGCALL1"};
  for (std::int16_t i = 0; i < 3; ++i)
    EXPECT_EQ(host::NarrowText(host.GetStationEntry(i)), expected[static_cast<std::size_t>(i)]);
  std::int16_t outside = 3;
  EXPECT_THROW(host.GetStationEntry(outside), std::out_of_range);
  outside = -1;
  EXPECT_THROW(host.GetStationEntry(outside), std::out_of_range);
}

TEST(StandInHost, StationInfoAnswersTheLastFrameOfTheStation) {
  QTemporaryDir dir;
  TStandInHost host(SettingsWithTrace(dir), dir.path());
  host.HandleLine("N0CALL-9>APRS,WIDE1-1:!4903.50N/07201.75W>first");
  host.HandleLine("N0CALL-9>APZZZ,DIGI1*:=4904.00N\\07202.00Wksecond");
  host.HandleLine("N0CALL-9>APZZZ:>status keeps the symbol");

  struct Case {
    std::u16string asked;
    std::string callsign, header, info, table, code;
    std::int16_t result;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {u"N0CALL-9", "N0CALL-9", "N0CALL-9>APZZZ", ">status keeps the symbol", "\\", "k", 1},
      {u" n0call-9 ", "N0CALL-9", "N0CALL-9>APZZZ", ">status keeps the symbol", "\\", "k", 1},
      {u"N9NONE", "N9NONE", "", "", "", "", 0},
  };
  // clang-format on
  for (const Case& c : cases) {
    TStandInStationInfo info;
    info.SetCallsign(c.asked);
    EXPECT_EQ(host.GetStationInfo(info), c.result);
    EXPECT_EQ(host::NarrowText(info.GetCallsign()), c.callsign);
    EXPECT_EQ(host::NarrowText(info.GetHeader()), c.header);
    EXPECT_EQ(host::NarrowText(info.GetInfoField()), c.info);
    EXPECT_EQ(host::NarrowText(info.GetSymbolTable()), c.table);
    EXPECT_EQ(host::NarrowText(info.GetSymbolCode()), c.code);
  }

  class TForeignInfo : public TStandInMyInfo {};
  TForeignInfo notAStation;
  host::_clsMyInfo& mine = notAStation;
  EXPECT_EQ(host.GetMyInfo(mine), 1);
  EXPECT_EQ(host::NarrowText(notAStation.GetMyCallsign()), "N0CALL");
}

TEST(StandInHost, MapTracesEveryDrawingOperation) {
  QTemporaryDir dir;
  TStandInSettings settings = SettingsWithTrace(dir);
  settings.Map = {-4400.5, 3000, 60.25, -45};
  TStandInHost host(settings, dir.path());
  auto map = host.GetMap();
  EXPECT_EQ(map->GetMapLeft(), -4400.5F);
  EXPECT_EQ(map->GetMapTop(), 3000.0F);
  EXPECT_EQ(map->GetMapWidth(), 60.25F);
  EXPECT_EQ(map->GetMapHeight(), -45.0F);

  std::int16_t pen = 2;
  std::int16_t mode = 1;
  std::int32_t fill = 255;
  float x = -5576.74F, y = 2700, radius = 6.91F, start = 6.2831855F, aspect = 1;
  std::int32_t color = 16711935;
  double end = 6.283185307179586;
  map->SetPenWidth(pen);
  map->SetFillMode(mode);
  map->SetFillColor(fill);
  map->DrawCircle(x, y, radius, color, start, end, aspect);
  host.RedrawMap();
  EXPECT_EQ(ReadFile(settings.Trace),
            "SetPenWidth 2\nSetFillMode 1\nSetFillColor 255\n"
            "DrawCircle -5576.74 2700 6.91 16711935 6.2831855 6.283185307179586 1\nRedrawMap\n");
}

TEST(StandInHost, RedrawMapClearsTheCircles) {
  QTemporaryDir dir;
  TStandInHost host(SettingsWithTrace(dir), dir.path());
  auto map = host.GetMap();
  float x = 1, y = 2, radius = 3, start = 6.2831855F, aspect = 1;
  std::int32_t color = 0x0000FF;
  double end = 6.283185307179586;
  std::int16_t pen = 3;
  map->SetPenWidth(pen);
  map->DrawCircle(x, y, radius, color, start, end, aspect);
  float y2 = 3;
  map->DrawCircle(x, y2, radius, color, start, end, aspect);
  ASSERT_EQ(host.Map()->Circles().size(), 2U);
  EXPECT_EQ(host.Map()->Circles()[0].PenWidth, 3);
  host.RedrawMap();
  EXPECT_TRUE(host.Map()->Circles().empty());
}

// A client that redraws every few seconds for days: circles drawn over themselves are kept
// once, and past the limit the oldest go, so neither memory nor painting grows without end.
TEST(DrawnCircles, RepeatsKeptOnceAndTheOldestGoPastTheLimit) {
  TDrawnCircles circles;
  EXPECT_TRUE(circles.Add({1, 2, 3, 0xFF, 1, 0, 0}));
  EXPECT_FALSE(circles.Add({1, 2, 3, 0xFF, 1, 0, 0}));
  EXPECT_TRUE(circles.Add({1, 2, 3, 0xFF, 2, 0, 0}));  // another pen is another circle
  EXPECT_TRUE(circles.Add({0.0F, 2, 3, 0xFF, 1, 0, 0}));
  EXPECT_FALSE(circles.Add({-0.0F, 2, 3, 0xFF, 1, 0, 0}));
  EXPECT_EQ(circles.All().size(), 3U);

  circles.Clear();
  for (std::size_t i = 0; i <= TDrawnCircles::kMaxCircles; ++i) circles.Add({static_cast<float>(i), 0, 1, 0, 1, 0, 0});
  ASSERT_EQ(circles.All().size(), TDrawnCircles::kMaxCircles + 1 - TDrawnCircles::kMaxCircles / 4);
  EXPECT_EQ(circles.All().front().X, static_cast<float>(TDrawnCircles::kMaxCircles / 4));
  EXPECT_EQ(circles.All().back().X, static_cast<float>(TDrawnCircles::kMaxCircles));
  EXPECT_TRUE(circles.Add({0, 0, 1, 0, 1, 0, 0}));  // gone, so drawn anew
  EXPECT_FALSE(circles.Add({static_cast<float>(TDrawnCircles::kMaxCircles), 0, 1, 0, 1, 0, 0}));
}

TEST(StandInHost, UnwritableTraceDoesNotStopDrawing) {
  QTemporaryDir dir;
  TStandInSettings settings = SettingsWithTrace(dir);
  settings.Trace = dir.filePath("no/such/folder/trace.txt").toStdString();
  TStandInHost host(settings, dir.path());
  std::int16_t pen = 1;
  host.GetMap()->SetPenWidth(pen);
  host.RedrawMap();
  EXPECT_NE(host.Map()->TraceError().find("cannot write trace"), std::string::npos);
}

// ---- host: events -------------------------------------------------------------

class TRecordingSink : public host::_clsOxbEvents {
 public:
  explicit TRecordingSink(TStandInHost& host) : m_host(host) {}
  void Invoke(host::TOxbEvent event) override {
    Events.push_back(event);
    if (event == host::TOxbEvent::DataAvailable) Packets.push_back(host::NarrowText(m_host.GetPacket()));
    if (UnadviseOnEvent) m_host.Unadvise(Cookie);
  }
  std::vector<host::TOxbEvent> Events;
  std::vector<std::string> Packets;
  bool UnadviseOnEvent = false;
  int Cookie = 0;

 private:
  TStandInHost& m_host;
};

TEST(StandInHost, EventsReachAdvisedSinksUntilUnadvise) {
  QTemporaryDir dir;
  TStandInHost host(SettingsWithTrace(dir), dir.path());
  host.SetTimeSource([] { return TClockTime{23, 59, 58}; });
  TRecordingSink first(host), second(host);
  first.Cookie = host.Advise(&first);
  second.Cookie = host.Advise(&second);
  second.UnadviseOnEvent = true;  // detaches itself during its first event

  host.HandleLine("N0CALL>APRS,WIDE1-1:>one");
  EXPECT_TRUE(host::NarrowText(host.GetPacket()).empty());  // valid only during the event
  host.Unadvise(first.Cookie);
  host.HandleLine("N0CALL>APRS:>two");

  EXPECT_EQ(first.Packets, (std::vector<std::string>{"123:59:58 N0CALL>APRS,WIDE1-1 Port=1 <UI>:>one\r\n"}));
  EXPECT_EQ(second.Packets, first.Packets);
  EXPECT_THROW(host.Advise(nullptr), std::invalid_argument);
}

TEST(StandInHost, NestedEventLeavesTheOuterPacketText) {
  QTemporaryDir dir;
  TStandInHost host(SettingsWithTrace(dir), dir.path());
  host.SetTimeSource([] { return TClockTime{0, 0, 0}; });
  class TPumpingSink : public host::_clsOxbEvents {
   public:
    explicit TPumpingSink(TStandInHost& h) : m_host(h) {}
    void Invoke(host::TOxbEvent) override {
      if (m_depth++ == 0) m_host.HandleLine("INNER>APRS:>inner");  // as if events were pumped here
      Texts.push_back(host::NarrowText(m_host.GetPacket()));
    }
    std::vector<std::string> Texts;

   private:
    TStandInHost& m_host;
    int m_depth = 0;
  } sink(host);
  host.Advise(&sink);
  host.HandleLine("OUTER>APRS:>outer");
  EXPECT_EQ(sink.Texts, (std::vector<std::string>{"100:00:00 INNER>APRS Port=1 <UI>:>inner\r\n",
                                                  "100:00:00 OUTER>APRS Port=1 <UI>:>outer\r\n"}));
}

TEST(StandInHost, SinkMayReleaseTheLastReferenceWhileClosing) {
  QTemporaryDir dir;
  auto server = std::make_shared<TStandInHost>(SettingsWithTrace(dir), dir.path());
  class TReleasingSink : public host::_clsOxbEvents {
   public:
    void Invoke(host::TOxbEvent) override { Held.reset(); }
    std::shared_ptr<TStandInHost> Held;
  } sink;
  server->Advise(&sink);
  sink.Held = std::move(server);
  TStandInHost* raw = sink.Held.get();
  raw->Close();  // under ASan, a use after free here would be caught
  EXPECT_EQ(sink.Held, nullptr);

  auto again = std::make_shared<TStandInHost>(SettingsWithTrace(dir), dir.path());
  again->Advise(&sink);
  sink.Held = std::move(again);
  raw = sink.Held.get();
  raw->HandleLine("N0CALL>APRS:>last words");
  EXPECT_EQ(sink.Held, nullptr);
}

TEST(StandInHost, ClosingTheWindowRaisesOxbel32IsClosing) {
  QTemporaryDir dir;
  TStandInHost host(SettingsWithTrace(dir), dir.path());
  TRecordingSink sink(host);
  sink.Cookie = host.Advise(&sink);
  host.ShowWindow();
  ASSERT_NE(host.Window(), nullptr);
  EXPECT_TRUE(host.Window()->close());
  EXPECT_EQ(sink.Events, (std::vector<host::TOxbEvent>{host::TOxbEvent::Oxbel32IsClosing}));
}

TEST(StandInHost, WrapperHearsTheFileFeedThroughTheEventLoop) {
  QTemporaryDir dir;
  TStandInSettings settings = SettingsWithTrace(dir);
  settings.Feed = "file:" + WriteFile(dir, "feed.txt", "# demo\nN0CALL>APRS:>one\n\nN1CALL>APRS,TCPIP*:>two\n");
  settings.FeedRate = 0;
  auto server = std::make_shared<TStandInHost>(settings, dir.path());
  server->SetTimeSource([] { return TClockTime{1, 2, 3}; });
  host::THostRegistry registry;
  registry.SetStarter([server] { return server; });

  host::TclsOxb oxb(registry);
  oxb.AutoConnect = false;
  std::vector<std::string> texts;
  oxb.OnDataAvailable = [&texts](host::TclsOxb& sender) { texts.push_back(host::NarrowText(sender.GetPacket())); };
  oxb.Connect();
  server->ShowWindow();
  server->StartFeed();
  (void)QTest::qWaitFor([&] { return server->Feed().State() != QStringLiteral("running"); }, kWaitMs);

  EXPECT_EQ(texts, (std::vector<std::string>{"101:02:03 N0CALL>APRS Port=1 <UI>:>one\r\n",
                                             "I01:02:03 N1CALL>APRS,TCPIP* <UI>:>two\r\n"}));
  EXPECT_EQ(server->Window()->HeardText(), QStringLiteral("Stations heard: 2"));
  EXPECT_TRUE(server->Window()->FeedText().contains(QStringLiteral("finished")));

  host::TclsMyInfo my(registry);
  host::TclsOxb oxb2(registry);
  oxb2.GetMyInfo(my.DefaultInterface());
  EXPECT_EQ(host::NarrowText(my.GetMyCallsign()), "N0CALL");
  oxb.Disconnect();
}

}  // namespace
}  // namespace standin
