// Online tiles against a tile server on loopback that answers, or fails, as each test needs.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "MapWindow.h"
#include "TileFetcher.h"
#include "TilePlacement.h"

namespace standin {
namespace {

constexpr int kWaitMs = 10000;  // an upper bound for event-loop waits, never reached when things work
constexpr qint64 kStartMs = 1'800'000'000'000;
constexpr qint64 kSecondMs = 1000;
constexpr TTileKey kTile{0, 0, 0};
constexpr TTileRange kWorld{0, 0, 0, 0, 0};  // zoom 0: one tile, no neighbours

QByteArray Png() {
  QImage image(kTileSize, kTileSize, QImage::Format_RGB32);
  image.fill(Qt::darkCyan);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

QByteArray Response(const QByteArray& status, const QByteArray& headers, const QByteArray& body) {
  return "HTTP/1.1 " + status + "\r\n" + headers + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" +
         body;
}

// Answers each request head with what `answer` gives for it (nothing: stays silent).
class TTileServer {
 public:
  using TAnswer = std::function<QByteArray(const QByteArray& head)>;
  explicit TTileServer(TAnswer answer) : m_answer(std::move(answer)) {
    EXPECT_TRUE(m_server.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* s = m_server.nextPendingConnection()) {
        ++connections;
        QObject::connect(s, &QTcpSocket::readyRead, [this, s] {
          m_pending[s] += s->readAll();
          for (qsizetype end; (end = m_pending[s].indexOf("\r\n\r\n")) >= 0;) {
            heads.push_back(m_pending[s].left(end));
            m_pending[s].remove(0, end + 4);
            if (const QByteArray reply = m_answer(heads.back()); !reply.isEmpty()) s->write(reply);
          }
        });
      }
    });
  }
  void Close() { m_server.close(); }
  std::string Template() const {
    return "http://127.0.0.1:" + std::to_string(m_server.serverPort()) + "/{z}/{x}/{y}.png";
  }

  std::vector<QByteArray> heads;
  int connections = 0;

 private:
  TAnswer m_answer;
  QTcpServer m_server;
  std::map<QTcpSocket*, QByteArray> m_pending;
};

// A fetcher on a clock and retry timer the test moves by hand.
struct TRig {
  explicit TRig(const std::string& tileTemplate, const QString& folder) : fetcher(tileTemplate, {}, folder) {
    fetcher.SetClock([this] { return now; });
    fetcher.SetRetryScheduler([this](int ms, std::function<void()> retry) {
      delays.push_back(ms);
      retries.push_back(std::move(retry));
    });
    fetcher.SetOptions({.TimeoutMs = 300});
    fetcher.SetEnabled(true);
  }
  // Moves the clock past the last back-off and lets the retry run.
  void RunRetry() {
    now += delays.back();
    auto retry = retries.back();
    retry();
  }
  bool WaitForState(const QString& part) {
    return QTest::qWaitFor([&] { return fetcher.StateText().contains(part); }, kWaitMs);
  }

  qint64 now = kStartMs;
  std::vector<int> delays;
  std::vector<std::function<void()>> retries;
  TTileFetcher fetcher;
};

TEST(TileFetcher, KeepsTilesOnDiskAsLongAsTheServerSaysThenAsksAgainWithTheETag) {
  const QByteArray png = Png();
  TTileServer server([&png](const QByteArray& head) {
    if (head.contains("If-None-Match: \"v1\""))
      return Response("304 Not Modified", "Cache-Control: max-age=3600\r\n", {});
    return Response("200 OK", "Cache-Control: max-age=3600\r\nETag: \"v1\"\r\n", png);
  });
  QTemporaryDir dir;
  {
    TRig first(server.Template(), dir.path());
    first.fetcher.RequestView(kWorld);
    ASSERT_TRUE(first.WaitForState("tiles: ok")) << first.fetcher.StateText().toStdString();
    ASSERT_NE(first.fetcher.Tile(kTile), nullptr);
  }
  ASSERT_EQ(server.heads.size(), 1u);
  EXPECT_TRUE(QString::fromLatin1(server.heads[0])
                  .contains(QRegularExpression(QStringLiteral("\r\nUser-Agent: Tarvik/\\d+\\.\\d+\\.\\d+ "))))
      << server.heads[0].toStdString();

  // A second run finds the tile on disk and does not ask the server.
  TRig second(server.Template(), dir.path());
  QSignalSpy arrived(&second.fetcher, &TTileFetcher::TileArrived);
  second.fetcher.RequestView(kWorld);
  ASSERT_TRUE(QTest::qWaitFor([&] { return second.fetcher.Tile(kTile) != nullptr; }, kWaitMs));
  EXPECT_EQ(arrived.count(), 1);
  QTest::qWait(50);
  EXPECT_EQ(server.heads.size(), 1u);

  // Past max-age the server is asked again, conditionally; its 304 keeps the tile another hour.
  second.now += 3601 * kSecondMs;
  second.fetcher.RequestView(kWorld);
  ASSERT_TRUE(QTest::qWaitFor([&] { return server.heads.size() == 2u; }, kWaitMs));
  ASSERT_TRUE(second.WaitForState("tiles: ok"));
  EXPECT_TRUE(server.heads[1].contains("If-None-Match: \"v1\""));
  EXPECT_NE(second.fetcher.Tile(kTile), nullptr);
  second.now += 3000 * kSecondMs;
  second.fetcher.RequestView(kWorld);
  QTest::qWait(50);
  EXPECT_EQ(server.heads.size(), 2u);
}

TEST(TileFetcher, TheDiskCacheIsCutToItsSizeOldestFirstAtStartAndAsTilesComeIn) {
  const QByteArray png = Png();
  TTileServer server([&png](const QByteArray&) { return Response("200 OK", "Cache-Control: max-age=3600\r\n", png); });
  QTemporaryDir dir;
  // Files written some seconds ago, the oldest by another server; only the
  // .tile ones are the cache's to remove.
  for (const auto& [name, secondsAgo] : {std::pair{"old/5/1/1.tile", 7200},
                                         {"new/5/1/2.tile", 60},
                                         {"notes.txt", 9000},
                                         {"new/5/1/3.tile.a1B2c3", 9000}}) {
    QDir().mkpath(dir.filePath(QFileInfo(name).path()));
    QFile file(dir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(1000, 't'));
    file.flush();  // else closing writes the bytes, and the time, after the time is set
    file.setFileTime(QDateTime::currentDateTime().addSecs(-secondsAgo), QFileDevice::FileModificationTime);
  }
  const auto left = [&dir] {
    return (QDir(dir.filePath("old/5/1")).entryList(QDir::Files) + QDir(dir.filePath("new/5/1")).entryList(QDir::Files))
        .join(' ');
  };
  TTileFetcher fetcher(server.Template(), {}, dir.filePath("new"));
  fetcher.SetOptions({.DiskBytes = 1010 + png.size(), .DiskFolder = dir.path()});
  fetcher.SetEnabled(true);
  ASSERT_TRUE(QThreadPool::globalInstance()->waitForDone(kWaitMs));
  EXPECT_EQ(left(), "2.tile 3.tile.a1B2c3");

  // The new tile is more than an eighth of the size: the older one goes to make room.
  fetcher.RequestView(kWorld);
  ASSERT_TRUE(QTest::qWaitFor([&] { return fetcher.Tile(kTile) != nullptr; }, kWaitMs));
  ASSERT_TRUE(QThreadPool::globalInstance()->waitForDone(kWaitMs));
  EXPECT_EQ(left(), "3.tile.a1B2c3");
  EXPECT_TRUE(QFile::exists(dir.filePath("new/0/0/0.tile")));
  EXPECT_TRUE(QFile::exists(dir.filePath("notes.txt")));
}

TEST(TileFetcher, EachServerFaultGivesAStateNoTileAndADoublingPause) {
  const QByteArray png = Png();
  const QByteArray bigHead = "HTTP/1.1 200 OK\r\nContent-Length: 104857600\r\n\r\n";
  const QByteArray endless = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + QByteArray(2 << 20, 'x');
  struct TCase {
    const char* name;
    TTileServer::TAnswer answer;
    const char* state;
    bool retried;  // asked again after the pause (a missing tile waits much longer)
    bool listening = true;
  };
  const std::vector<TCase> cases = {
      {"404", [](auto&) { return Response("404 Not Found", {}, "no"); }, "no tile 0/0/0 on the server (HTTP 404)",
       false},
      {"500", [](auto&) { return Response("500 Oops", {}, "x"); }, "server error (HTTP 500), retrying in 1 s", true},
      {"garbage", [](auto&) { return Response("200 OK", {}, "<html>hello</html>"); }, "not an image", true},
      {"truncated PNG", [&](auto&) { return Response("200 OK", {}, png.left(png.size() / 2)); }, "damaged image", true},
      {"huge declared", [&](auto&) { return bigHead + QByteArray(1 << 20, 'x'); }, "more than 1024 KiB", true},
      {"huge streamed", [&](auto&) { return endless; }, "more than 1024 KiB", true},
      {"redirect loop", [](auto&) { return Response("302 Found", "Location: /0/0/0.png\r\n", {}); },
       "redirects in a loop", true},
      {"silent", [](auto&) { return QByteArray(); }, "server too slow", true},
      {"refused", [](auto&) { return QByteArray(); }, "server unreachable", true, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TTileServer server(c.answer);
    const std::string tileTemplate = server.Template();
    if (!c.listening) server.Close();  // nobody at that port any more
    QTemporaryDir dir;
    TRig rig(tileTemplate, dir.path());
    rig.fetcher.RequestView(kWorld);
    ASSERT_TRUE(rig.WaitForState(QString::fromLatin1(c.state))) << rig.fetcher.StateText().toStdString();
    EXPECT_EQ(rig.fetcher.Tile(kTile), nullptr);
    ASSERT_EQ(rig.delays, std::vector<int>{1000});
    const std::size_t asked = server.heads.size();
    rig.fetcher.RequestView(kWorld);  // a repaint during the pause asks nothing
    QTest::qWait(20);
    EXPECT_EQ(server.heads.size(), asked);
    rig.RunRetry();
    if (c.retried) {
      ASSERT_TRUE(QTest::qWaitFor([&] { return rig.delays.size() == 2u; }, kWaitMs));
      EXPECT_EQ(rig.delays[1], 2000);
    } else {
      QTest::qWait(20);
      EXPECT_EQ(server.heads.size(), asked);
    }
  }
}

TEST(TileFetcher, ACacheThatCannotBeWrittenStopsTheFetching) {
  const QByteArray png = Png();
  struct TCase {
    const char* name;
    bool folderUnderAFile;
    int writesBeforeFull;  // -1: the disk never fills
    std::size_t requests;
  };
  const std::vector<TCase> cases = {
      {"folder cannot be made", true, -1, 0},
      {"disk full", false, 0, 0},
      {"disk fills after the check", false, 1, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TTileServer server([&png](auto&) { return Response("200 OK", {}, png); });
    QTemporaryDir dir;
    QFile(dir.filePath("file")).open(QIODevice::WriteOnly);
    TRig rig(server.Template(), c.folderUnderAFile ? dir.filePath("file/tiles") : dir.path());
    int writes = 0;
    if (c.writesBeforeFull >= 0)
      rig.fetcher.SetDiskWriter([&](const QString& path, const QByteArray& bytes) {
        return writes++ < c.writesBeforeFull ? WriteFileAtomically(path, bytes) : "No space left on device";
      });
    rig.fetcher.RequestView(kWorld);
    ASSERT_TRUE(rig.WaitForState("cannot keep tiles in")) << rig.fetcher.StateText().toStdString();
    EXPECT_TRUE(rig.fetcher.StateText().endsWith("retrying in 1 s"));
    EXPECT_EQ(rig.fetcher.Tile(kTile), nullptr);
    EXPECT_EQ(server.heads.size(), c.requests);
  }
}

TEST(TileFetcher, NeverMoreThanTwoRequestsAtOnce) {
  TTileServer server([](auto&) { return QByteArray(); });
  QTemporaryDir dir;
  TRig rig(server.Template(), dir.path());
  rig.fetcher.RequestView({2, 1, 1, 2, 2});
  ASSERT_TRUE(QTest::qWaitFor([&] { return server.heads.size() == 2u; }, kWaitMs));
  QTest::qWait(100);
  EXPECT_EQ(server.heads.size(), 2u);
  EXPECT_LE(server.connections, 2);
}

TEST(TileFetcher, TheMapDrawsTheTilesThatCameAndTheBasemapWhereNoneDid) {
  const QByteArray png = Png();  // every tile but 2/1/1 comes at once; that one never does
  TTileServer server([&png](const QByteArray& head) {
    return head.startsWith("GET /2/1/1.png") ? QByteArray() : Response("200 OK", {}, png);
  });
  QTemporaryDir dir;
  TTileFetcher tiles(server.Template(), {}, dir.path());
  tiles.SetEnabled(true);
  TMapWindow window(std::make_shared<TStandInMap>(TMapArea{-10800, 4800, 21600, -9600}, ""));
  window.SetTiles(&tiles);
  const TTilePlacement placement(window.View());  // zoom 2
  const auto middle = [&](const QImage& image, int x, int y) {
    const TTileRect at = placement.Place(x, y);
    return image.pixelColor(at.Left + at.Width / 2 + 3, at.Top + at.Height / 2 + 3);
  };
  const auto attributed = [](const QImage& image) {  // dark text in the bottom-right corner
    for (int x = image.width() - 40; x < image.width(); ++x)
      for (int y = image.height() - 8; y < image.height(); ++y)
        if (image.pixelColor(x, y).lightness() < 100) return true;
    return false;
  };
  window.grab();  // the first frame asks for the view's tiles
  ASSERT_TRUE(QTest::qWaitFor([&] { return tiles.Tile({2, 2, 1}) != nullptr; }, kWaitMs));
  QImage image = window.grab().toImage();
  EXPECT_EQ(middle(image, 2, 1), QColor(Qt::darkCyan));
  EXPECT_NE(middle(image, 1, 1), QColor(Qt::darkCyan));
  EXPECT_TRUE(attributed(image));
  tiles.SetEnabled(false);  // the basemap alone, and no attribution
  image = window.grab().toImage();
  EXPECT_NE(middle(image, 2, 1), QColor(Qt::darkCyan));
  EXPECT_FALSE(attributed(image));
}

}  // namespace
}  // namespace standin
