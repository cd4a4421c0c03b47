// The serial KISS feed on a pseudo-terminal pair: the test holds the TNC's
// side (the master), the feed opens the device side as it would a USB TNC.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <functional>
#include <string>
#include <vector>

#include "SerialFeed.h"

using namespace standin;

namespace {

// The TNC's end of a pseudo-terminal; the feed opens Path.
class TPty {
 public:
  TPty() {
    int device = -1;
    char name[128] = {};
    if (openpty(&m_master, &device, name, nullptr, nullptr) != 0) return;
    ::close(device);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    Path = name;
  }
  ~TPty() { Close(); }
  TPty(const TPty&) = delete;
  TPty& operator=(const TPty&) = delete;

  bool Ok() const { return m_master >= 0; }
  void Close() {
    if (m_master >= 0) ::close(m_master);
    m_master = -1;
  }
  // What the feed wrote so far.
  QByteArray Read() {
    QByteArray all;
    char buffer[4096];
    for (ssize_t n; (n = ::read(m_master, buffer, sizeof buffer)) > 0;) all.append(buffer, n);
    return all;
  }
  // Writes everything, letting the event loop run while the line is full.
  bool Write(const QByteArray& bytes, int timeoutMs = 30000) {
    qsizetype done = 0;
    QElapsedTimer clock;
    clock.start();
    while (done < bytes.size()) {
      const ssize_t n = ::write(m_master, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
      if (n > 0) done += n;
      if (n < 0 && errno != EAGAIN) return false;
      if (clock.elapsed() > timeoutMs) return false;
      if (n <= 0) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
  }
  // The device side's line settings, as the feed set them.
  bool Settings(termios& t) const { return tcgetattr(m_master, &t) == 0; }

  std::string Path;

 private:
  int m_master = -1;
};

QByteArray Kiss(const std::string& tnc2, int port = 0) {
  const auto frame = Tnc2ToAx25(tnc2);
  EXPECT_TRUE(frame.has_value()) << tnc2;
  return QByteArray::fromStdString(KissEncode(frame.value_or(""), port));
}

struct TRecorder {
  explicit TRecorder(TSerialFeed& feed) {
    QObject::connect(&feed, &TFeed::RadioLineReceived,
                     [this](const QByteArray& line, int port) { lines.emplace_back(line.toStdString(), port); });
  }
  std::vector<std::pair<std::string, int>> lines;
};

TEST(SerialFeed, SettingsAndOpenProblems) {
  const auto exists = [](const std::string& path) { return path == "/dev/serial/by-path/pci-0:1.0"; };
  struct Row {
    const char* text;
    const char* device;
    qint32 speed;
    const char* problem;  // a part of the problem, or "" for none
  };
  // clang-format off
  const Row rows[] = {
      {"/dev/ttyUSB0:9600",             "/dev/ttyUSB0",                  9600,   ""},
      {" /dev/rfcomm0:115200 ",         "/dev/rfcomm0",                  115200, ""},
      {"/dev/ttyS0",                    "/dev/ttyS0",                    9600,   ""},
      {"/dev/serial/by-path/pci-0:1.0", "/dev/serial/by-path/pci-0:1.0", 9600,   ""},
      {"/dev/ttyUSB0:fast",             "",                              0,      "unusable serial speed \"fast\""},
      {"/dev/ttyUSB0:",                 "",                              0,      "unusable serial speed \"\""},
      {"/dev/ttyUSB0:0",                "",                              0,      "unusable serial speed \"0\""},
      {"/dev/ttyUSB0:99999999999",      "",                              0,      "unusable serial speed"},
      {":9600",                         "",                              0,      "no serial device"},
  };
  // clang-format on
  for (const Row& row : rows) {
    const TSerialSetting s = ParseSerialSetting(row.text, exists);
    if (*row.problem) {
      EXPECT_NE(s.Problem.find(row.problem), std::string::npos) << row.text << ": " << s.Problem;
      continue;
    }
    EXPECT_EQ(s.Problem, "") << row.text;
    EXPECT_EQ(s.Device, row.device) << row.text;
    EXPECT_EQ(s.Speed, row.speed) << row.text;
  }

  EXPECT_EQ(UnescapeSerialInit("KISS ON\\rRESTART\\r"), "KISS ON\rRESTART\r");
  EXPECT_EQ(UnescapeSerialInit("a\\nb\\\\r\\x\\"), "a\nb\\r\\x\\");

  EXPECT_TRUE(SerialOpenProblem(QSerialPort::PermissionError, "/dev/ttyUSB0", "Permission denied", false)
                  .contains("join the dialout group"));
  EXPECT_FALSE(SerialOpenProblem(QSerialPort::PermissionError, "/dev/ttyUSB0", "locked", true).contains("dialout"));
  EXPECT_TRUE(SerialOpenProblem(QSerialPort::DeviceNotFoundError, "/dev/ttyUSB7", "", true)
                  .startsWith("/dev/ttyUSB7 not found"));
}

TEST(SerialFeed, FramesInBothEscapeFormsAndTheInitStringOnce) {
  TPty tnc;
  ASSERT_TRUE(tnc.Ok());
  TSerialFeed feed(QString::fromStdString(tnc.Path), 9600, true, "KISS ON\rRESTART\r");
  TRecorder got(feed);
  feed.Start();
  ASSERT_TRUE(feed.State().startsWith("open")) << feed.State().toStdString();

  termios line{};
  ASSERT_TRUE(tnc.Settings(line));
  EXPECT_EQ(cfgetispeed(&line), B9600);
  EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB), 0u);
  EXPECT_NE(line.c_cflag & CRTSCTS, 0u);

  // 0xC0 and 0xDB in the information field travel as FESC TFEND and FESC TFESC.
  const std::string fend = "N0CALL>APRS,WIDE1-1:>fend \xC0 here";
  const std::string fesc = "N0CALL-9>APRS:>fesc \xDB here";
  const QByteArray first = Kiss(fend);
  ASSERT_TRUE(first.contains("\xDB\xDC"));
  const QByteArray second = Kiss(fesc, 1);
  ASSERT_TRUE(second.contains("\xDB\xDD"));
  ASSERT_TRUE(tnc.Write("cmd:KISS ON\r\n" + first + second));  // a TNC echoes its commands first
  ASSERT_TRUE(QTest::qWaitFor([&] { return got.lines.size() == 2; }, 5000));
  EXPECT_EQ(got.lines[0], std::make_pair(fend, 1));
  EXPECT_EQ(got.lines[1], std::make_pair(fesc, 2));
  EXPECT_EQ(tnc.Read(), QByteArray("KISS ON\rRESTART\r"));
  EXPECT_EQ(feed.State(), "open, 2 lines received");
}

TEST(SerialFeed, AClosedPeerIsReopenedAndItsHalfFrameForgotten) {
  QTemporaryDir folder;
  const QString link = folder.filePath("kisstnc");
  auto tnc = std::make_unique<TPty>();
  ASSERT_TRUE(QFile::link(QString::fromStdString(tnc->Path), link));
  TSerialFeed feed(link, 9600, false, "\r");
  std::vector<int> delays;
  std::function<void()> retry;
  feed.SetRetryScheduler([&](int ms, std::function<void()> again) {
    delays.push_back(ms);
    retry = std::move(again);
  });
  TRecorder got(feed);
  feed.Start();
  ASSERT_TRUE(tnc->Write(Kiss("N0CALL>APRS:>whole") + Kiss("N0CALL>APRS:>half").left(12)));
  ASSERT_TRUE(QTest::qWaitFor([&] { return got.lines.size() == 1; }, 5000));
  tnc->Close();  // the USB cable comes out
  ASSERT_TRUE(QTest::qWaitFor([&] { return delays.size() == 1; }, 5000)) << feed.State().toStdString();
  EXPECT_TRUE(feed.State().contains("retrying in 1 s")) << feed.State().toStdString();

  // Still gone: the device is missing, and the delay grows.
  tnc.reset();
  std::exchange(retry, nullptr)();
  ASSERT_EQ(delays, (std::vector<int>{1000, 2000}));
  EXPECT_TRUE(feed.State().startsWith(link + " not found")) << feed.State().toStdString();

  // Back again (a new device behind the same name): opened, the init string sent again.
  tnc = std::make_unique<TPty>();
  ASSERT_TRUE(QFile::remove(link));
  ASSERT_TRUE(QFile::link(QString::fromStdString(tnc->Path), link));
  std::exchange(retry, nullptr)();
  ASSERT_TRUE(feed.State().startsWith("open")) << feed.State().toStdString();
  EXPECT_EQ(feed.Openings(), 2);
  // The rest of the frame cut off by the drop must not complete it.
  ASSERT_TRUE(tnc->Write(Kiss("N0CALL>APRS:>half").mid(12) + Kiss("N0CALL>APRS:>after")));
  ASSERT_TRUE(QTest::qWaitFor([&] { return got.lines.back().first == "N0CALL>APRS:>after"; }, 5000));
  EXPECT_EQ(got.lines.size(), 2u);
  EXPECT_EQ(tnc->Read(), QByteArray("\r"));
  feed.Stop();
  EXPECT_EQ(feed.State(), "stopped");
}

TEST(SerialFeed, GarbageAndATenMegabyteBurstWithoutAFrameEnd) {
  TPty tnc;
  ASSERT_TRUE(tnc.Ok());
  TSerialFeed feed(QString::fromStdString(tnc.Path), 9600, false, {});
  TRecorder got(feed);
  feed.Start();
  // Turns of the event loop while the burst is read: the window would be served.
  int turns = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] { ++turns; });
  ticker.start(0);

  QByteArray garbage;
  for (int i = 0; i < 65536; ++i) garbage += static_cast<char>((i * 131 + 7) % 251);  // with FENDs and FESCs
  ASSERT_TRUE(tnc.Write(garbage));
  ASSERT_TRUE(tnc.Write(QByteArray(1, '\xC0') + QByteArray(10 << 20, 'x')));
  ASSERT_TRUE(tnc.Write(Kiss("N0CALL>APRS:>still here")));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !got.lines.empty(); }, 30000)) << feed.State().toStdString();
  EXPECT_EQ(got.lines.back().first, "N0CALL>APRS:>still here");
  EXPECT_EQ(feed.Decoder().Oversize, 1);  // the burst; the garbage's frames are short
  EXPECT_GT(feed.Dropped(), 0);
  EXPECT_TRUE(feed.State().contains("dropped")) << feed.State().toStdString();
  EXPECT_GT(turns, (10 << 20) / TSerialFeed::kReadChunk / 2);
}

TEST(SerialFeed, MissingDeviceAndUnusableSpeedSayWhy) {
  TStandInSettings settings;
  settings.Feed = "serial:/dev/ttyUSB0:fast";
  auto feed = MakeFeed(settings, QString());
  ASSERT_NE(dynamic_cast<TNoFeed*>(feed.get()), nullptr);
  feed->Start();
  EXPECT_TRUE(feed->State().contains("unusable serial speed \"fast\"")) << feed->State().toStdString();

  QTemporaryDir folder;
  settings.Feed = "serial:" + folder.filePath("no-such-tnc").toStdString() + ":1200";
  feed = MakeFeed(settings, QString());
  auto* serial = dynamic_cast<TSerialFeed*>(feed.get());
  ASSERT_NE(serial, nullptr);
  serial->SetRetryScheduler([](int, std::function<void()>) {});
  EXPECT_EQ(serial->Description(), "serial: " + folder.filePath("no-such-tnc") + " at 1200 bit/s");
  serial->Start();
  EXPECT_EQ(serial->State(),
            folder.filePath("no-such-tnc") + " not found (is the TNC plugged in or paired?); retrying in 1 s");
}

}  // namespace
