#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <memory>
#include <vector>

#include "MonitorText.h"
#include "TcpFeed.h"

using namespace standin;

namespace {

// A server on loopback that accepts one client at a time and records what it sends.
class TLoopbackServer {
 public:
  TLoopbackServer() {
    EXPECT_TRUE(m_server.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* s = m_server.nextPendingConnection()) {
        clients.push_back(s);
        QObject::connect(s, &QTcpSocket::readyRead, [this, s] { received += s->readAll(); });
        ++accepted;
      }
    });
  }
  quint16 Port() const { return m_server.serverPort(); }
  QTcpSocket* Last() { return clients.empty() ? nullptr : clients.back(); }
  bool WaitForClient(int count) {
    return QTest::qWaitFor([&] { return accepted >= count; }, 5000);
  }

  std::vector<QTcpSocket*> clients;
  QByteArray received;
  int accepted = 0;

 private:
  QTcpServer m_server;
};

struct Collected {
  std::vector<QByteArray> lines;
  std::vector<std::pair<QByteArray, int>> radio;
};

void Collect(TTcpFeed& feed, Collected& out) {
  QObject::connect(&feed, &TFeed::LineReceived, [&out](const QByteArray& l) { out.lines.push_back(l); });
  QObject::connect(&feed, &TTcpFeed::RadioLineReceived,
                   [&out](const QByteArray& l, int port) { out.radio.emplace_back(l, port); });
}

TAprsIsLogin Login() {
  TAprsIsLogin login;
  login.Login = "N0CALL";
  login.Version = "1.0.0";
  login.Filter = "r/49/-72/200";
  return login;
}

TEST(AprsIsFeed, LogsInAfterTheBannerSkipsCommentsAndKeepsOrder) {
  TLoopbackServer server;
  TAprsIsFeed feed(QStringLiteral("127.0.0.1"), server.Port(), Login());
  Collected got;
  Collect(feed, got);
  feed.Start();
  ASSERT_TRUE(server.WaitForClient(1));
  server.Last()->write("# aprsc 2.1.4 test\r\n");
  ASSERT_TRUE(QTest::qWaitFor([&] { return server.received.endsWith("\r\n"); }, 5000));
  EXPECT_EQ(server.received, QByteArray("user N0CALL pass -1 vers Tarvik 1.0.0 filter r/49/-72/200\r\n"));

  server.Last()->write("# logresp N0CALL unverified, server T2TEST\r\nA>B,TCPIP*,qAC,T2:>one\r\n");
  server.Last()->write("A>B,TCPIP*,qAC,T2:>two\r\n# keepalive\r\nA>B,TCPIP*,qAC,T2:>three\r\n");
  ASSERT_TRUE(QTest::qWaitFor([&] { return got.lines.size() == 3; }, 5000));
  EXPECT_EQ(got.lines[0], "A>B,TCPIP*,qAC,T2:>one");
  EXPECT_EQ(got.lines[1], "A>B,TCPIP*,qAC,T2:>two");
  EXPECT_EQ(got.lines[2], "A>B,TCPIP*,qAC,T2:>three");
  EXPECT_EQ(feed.LinesReceived(), 3);
  EXPECT_TRUE(feed.State().startsWith("connected to 127.0.0.1:")) << feed.State().toStdString();
}

TEST(AprsIsFeed, RetriesWithGrowingDelaysAndStartsOverAfterData) {
  TLoopbackServer server;
  TAprsIsFeed feed(QStringLiteral("127.0.0.1"), server.Port(), Login());
  std::vector<int> delays;
  std::function<void()> pending;
  feed.SetRetryScheduler([&](int ms, std::function<void()> retry) {
    delays.push_back(ms);
    pending = std::move(retry);
  });
  Collected got;
  Collect(feed, got);
  feed.Start();
  for (int drop = 1; drop <= 3; ++drop) {
    ASSERT_TRUE(server.WaitForClient(drop));
    server.Last()->disconnectFromHost();
    ASSERT_TRUE(QTest::qWaitFor([&] { return static_cast<int>(delays.size()) == drop; }, 5000));
    auto retry = std::move(pending);
    retry();
  }
  EXPECT_EQ(delays, (std::vector<int>{1000, 2000, 4000}));
  EXPECT_TRUE(feed.LastError().size() > 0);

  // A connection that delivers a packet starts the series over.
  ASSERT_TRUE(server.WaitForClient(4));
  server.Last()->write("A>B,TCPIP*:>x\r\n");
  ASSERT_TRUE(QTest::qWaitFor([&] { return got.lines.size() == 1; }, 5000));
  server.Last()->disconnectFromHost();
  ASSERT_TRUE(QTest::qWaitFor([&] { return delays.size() == 4; }, 5000));
  EXPECT_EQ(delays.back(), 1000);

  // A retry scheduled before Stop does nothing.
  feed.Stop();
  pending();
  QTest::qWait(50);
  EXPECT_EQ(server.accepted, 4);
}

TEST(AprsIsFeed, SurvivesHostileServers) {
  TLoopbackServer server;
  TAprsIsFeed feed(QStringLiteral("127.0.0.1"), server.Port(), Login());
  feed.SetRetryScheduler([](int, std::function<void()>) {});
  Collected got;
  Collect(feed, got);
  feed.Start();
  ASSERT_TRUE(server.WaitForClient(1));
  QTcpSocket* s = server.Last();
  s->write(QByteArray(1 << 20, 'x'));  // a megabyte without a newline
  QByteArray garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>(i * 7 + 3);
  garbage.replace('\n', ' ');
  s->write(garbage);
  s->write("\nA>B,TCPIP*:>after\n");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !got.lines.empty(); }, 10000));
  EXPECT_EQ(got.lines.back(), "A>B,TCPIP*:>after");
  EXPECT_EQ(feed.Dropped(), 1);
}

TEST(AprsIsFeed, FilterFollowsTheMapAtMostOnceInFiveSeconds) {
  TLoopbackServer server;
  TAprsIsFeed feed(QStringLiteral("127.0.0.1"), server.Port(), Login(), true);
  std::int64_t now = 0;
  std::vector<std::pair<int, std::function<void()>>> later;
  feed.SetFilterClock([&] { return now; },
                      [&](int ms, std::function<void()> then) { later.emplace_back(ms, std::move(then)); });
  const auto degrees = [](double left, double top, double w, double h) {
    return TMapRect{left * 60, top * 60, w * 60, -h * 60};
  };
  feed.ViewChanged(degrees(-73, 49.75, 2, 1.5));
  feed.Start();
  ASSERT_TRUE(server.WaitForClient(1));
  server.Last()->write("# aprsc 2.1.4 test\r\n");
  ASSERT_TRUE(QTest::qWaitFor([&] { return server.received.endsWith("\r\n"); }, 5000));
  QByteArray expected = "user N0CALL pass -1 vers Tarvik 1.0.0 filter a/50.5/-74/47.5/-70\r\n";
  EXPECT_EQ(server.received, expected);

  // Two pans within five seconds of the login: one filter, the last view's, when the time is up.
  now = 1000;
  feed.ViewChanged(degrees(-72, 49.75, 2, 1.5));
  now = 2000;
  feed.ViewChanged(degrees(-71, 49.75, 4, 3));
  ASSERT_EQ(later.size(), 1u);
  EXPECT_EQ(later[0].first, 4000);  // five seconds after the login
  now = 5000;
  std::exchange(later[0].second, nullptr)();
  expected += "#filter a/51.25/-73/45.25/-65\r\n";
  // Long after: at once; across the 180th meridian, an area on each side.
  now = 60000;
  feed.ViewChanged(degrees(178, 10, 4, 20));
  expected += "#filter a/20/176/-20/180 a/20/-180/-20/-176\r\n";
  ASSERT_TRUE(QTest::qWaitFor([&] { return server.received.size() >= expected.size(); }, 5000));
  EXPECT_EQ(server.received.toStdString(), expected.toStdString());
}

QByteArray Kiss(const char* tnc2, int port = 0) {
  const auto frame = Tnc2ToAx25(tnc2);
  EXPECT_TRUE(frame.has_value());
  return QByteArray::fromStdString(KissEncode(frame.value_or(""), port));
}

TEST(KissFeed, DecodesFramesDropsBadOnesAndSurvivesAHalfFrame) {
  TLoopbackServer server;
  TKissFeed feed(QStringLiteral("127.0.0.1"), server.Port());
  feed.SetRetryScheduler([](int, std::function<void()>) {});
  Collected got;
  Collect(feed, got);
  feed.Start();
  ASSERT_TRUE(server.WaitForClient(1));
  QTcpSocket* s = server.Last();
  s->write(Kiss("N0CALL>APRS,DIGI1*,WIDE2-1:!4903.50N/07201.75W-one"));
  s->write(QByteArray::fromStdString(KissEncode("not ax.25")));
  s->write(Kiss("N0CALL-9>APRS:>two", 2));
  s->write(Kiss("N0CALL>APRS:>half").left(10));
  ASSERT_TRUE(QTest::qWaitFor([&] { return got.radio.size() == 2; }, 5000));
  s->disconnectFromHost();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !feed.LastError().isEmpty(); }, 5000));
  EXPECT_EQ(got.radio[0].first, "N0CALL>APRS,DIGI1*,WIDE2-1:!4903.50N/07201.75W-one");
  EXPECT_EQ(got.radio[0].second, 1);
  EXPECT_EQ(got.radio[1].first, "N0CALL-9>APRS:>two");
  EXPECT_EQ(got.radio[1].second, 3);
  EXPECT_EQ(feed.Dropped(), 1);
  EXPECT_TRUE(got.lines.empty());
}

TEST(TcpFeed, HostPortParsing) {
  QString host;
  quint16 port = 0;
  EXPECT_TRUE(SplitHostPort("rotate.example.net:14580", host, port));
  EXPECT_EQ(host, "rotate.example.net");
  EXPECT_EQ(port, 14580);
  EXPECT_TRUE(SplitHostPort("[::1]:8001", host, port));
  EXPECT_EQ(host, "::1");
  for (const char* bad : {"", "host", "host:", ":80", "host:0", "host:65536", "host:x1"})
    EXPECT_FALSE(SplitHostPort(bad, host, port)) << bad;
}

}  // namespace

namespace {

TEST(TcpFeed, FeedSettingsChooseTheNetworkFeeds) {
  TStandInSettings settings;
  settings.MyCall = "N0CALL-5";
  settings.Feed = "aprsis:127.0.0.1:14580";
  auto feed = MakeFeed(settings, QString());
  ASSERT_NE(dynamic_cast<TAprsIsFeed*>(feed.get()), nullptr);
  EXPECT_EQ(feed->Description(), "aprsis: 127.0.0.1:14580");

  settings.Feed = "KISS:localhost:8001";
  feed = MakeFeed(settings, QString());
  ASSERT_NE(dynamic_cast<TKissFeed*>(feed.get()), nullptr);
  EXPECT_EQ(feed->Description(), "kiss: localhost:8001");

  settings.Feed = "kiss:localhost";
  feed = MakeFeed(settings, QString());
  EXPECT_NE(dynamic_cast<TNoFeed*>(feed.get()), nullptr);
}

TEST(TcpFeed, KissPortReachesTheMonitorText) {
  const auto line = SplitTnc2("N0CALL>APRS,WIDE1-1:>x");
  ASSERT_TRUE(line.has_value());
  EXPECT_EQ(FormatMonitorText(*line, {1, 2, 3}, 3), "101:02:03 N0CALL>APRS,WIDE1-1 Port=3 <UI>:>x\r\n");
}

}  // namespace
