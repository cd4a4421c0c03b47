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

#include "SerialFeed.h"

using namespace standin;

namespace {

// The TNC's end of a pseudo-terminal; the feed opens Path.
struct TPty {
  TPty() {
    int device = -1;
    char name[128] = {};
    if (openpty(&master, &device, name, nullptr, nullptr) != 0) return;
    ::close(device);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    Path = name;
  }
  ~TPty() { ::close(master); }
  QByteArray Read() const {
    char buffer[4096];
    const ssize_t n = ::read(master, buffer, sizeof buffer);
    return n > 0 ? QByteArray(buffer, n) : QByteArray();
  }
  // Writes everything, letting the event loop run while the line is full.
  bool Write(const QByteArray& bytes) const {
    for (qsizetype done = 0; done < bytes.size();) {
      const ssize_t n = ::write(master, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
      if (n < 0 && errno != EAGAIN) return false;
      done += std::max<ssize_t>(n, 0);
      if (n <= 0) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
  }
  int master = -1;
  QString Path;
};

QByteArray Kiss(const std::string& tnc2, int port = 0) {
  return QByteArray::fromStdString(KissEncode(Tnc2ToAx25(tnc2).value_or(""), port));
}

std::vector<std::pair<std::string, int>>& Record(TSerialFeed& feed, std::vector<std::pair<std::string, int>>& lines) {
  QObject::connect(&feed, &TFeed::RadioLineReceived,
                   [&lines](const QByteArray& line, int port) { lines.emplace_back(line.toStdString(), port); });
  return lines;
}

TEST(SerialFeed, SettingsAndWhyADeviceWillNotOpen) {
  const auto exists = [](const std::string& path) { return path == "/dev/serial/by-path/pci-0:1.0"; };
  // clang-format off
  const std::vector<std::tuple<const char*, std::string, qint32, std::string>> rows = {
      {"/dev/ttyUSB0:9600",             "/dev/ttyUSB0",                  9600,   ""},
      {"/dev/ttyS0",                    "/dev/ttyS0",                    9600,   ""},
      {"/dev/serial/by-path/pci-0:1.0", "/dev/serial/by-path/pci-0:1.0", 9600,   ""},
      {"/dev/ttyUSB0:fast",  "/dev/ttyUSB0", 9600, "unusable serial speed \"fast\" (bits per second, such as 9600)"},
      {"/dev/ttyUSB0:0",     "/dev/ttyUSB0", 9600, "unusable serial speed \"0\" (bits per second, such as 9600)"},
      {":9600",              "",             9600, "no serial device given (serial:DEVICE:SPEED)"},
  };
  // clang-format on
  for (const auto& [text, device, speed, problem] : rows) {
    const TSerialSetting s = ParseSerialSetting(text, exists);
    EXPECT_EQ(std::tie(s.Device, s.Speed, s.Problem), std::tie(device, speed, problem)) << text;
  }
  EXPECT_EQ(UnescapeSerialInit("KISS ON\\rRESTART\\r"), "KISS ON\rRESTART\r");
  EXPECT_EQ(UnescapeSerialInit("a\\nb\\\\r\\x\\"), "a\nb\\r\\x\\");
  EXPECT_TRUE(SerialOpenProblem(QSerialPort::PermissionError, "/dev/ttyS0", "", false).contains("dialout group"));
  EXPECT_FALSE(SerialOpenProblem(QSerialPort::PermissionError, "/dev/ttyS0", "locked", true).contains("dialout"));

  TStandInSettings settings;
  settings.Feed = "serial:/dev/ttyUSB0:fast";
  EXPECT_TRUE(MakeFeed(settings, {})->Description().contains("unusable serial speed \"fast\""));
  QTemporaryDir folder;
  const QString missing = folder.filePath("no-such-tnc");
  TSerialFeed feed(missing, 1200, false, {});
  feed.SetRetryScheduler([](int, std::function<void()>) {});
  feed.Start();
  EXPECT_EQ(feed.State(), missing + " not found (is the TNC plugged in or paired?); retrying in 1 s");
}

TEST(SerialFeed, FramesInBothEscapeFormsAndTheInitStringOnce) {
  TPty tnc;
  TSerialFeed feed(tnc.Path, 9600, true, "KISS ON\rRESTART\r");
  std::vector<std::pair<std::string, int>> got;
  Record(feed, got);
  feed.Start();
  termios line{};
  ASSERT_EQ(tcgetattr(tnc.master, &line), 0) << feed.State().toStdString();
  EXPECT_EQ(cfgetispeed(&line), B9600);
  EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), static_cast<tcflag_t>(CS8 | CRTSCTS));

  // 0xC0 and 0xDB in the information field travel as FESC TFEND and FESC TFESC.
  const std::string fend = "N0CALL>APRS,WIDE1-1:>fend \xC0 here", fesc = "N0CALL-9>APRS:>fesc \xDB here";
  ASSERT_TRUE(Kiss(fend).contains("\xDB\xDC") && Kiss(fesc).contains("\xDB\xDD"));
  ASSERT_TRUE(tnc.Write("cmd:KISS ON\r\n" + Kiss(fend) + Kiss(fesc, 1)));  // a TNC echoes its commands first
  ASSERT_TRUE(QTest::qWaitFor([&] { return got.size() == 2; }, 5000));
  EXPECT_EQ(got, (std::vector<std::pair<std::string, int>>{{fend, 1}, {fesc, 2}}));
  EXPECT_EQ(tnc.Read(), QByteArray("KISS ON\rRESTART\r"));
  EXPECT_EQ(feed.State(), "open, 2 lines received");
}

TEST(SerialFeed, AClosedPeerIsReopenedAndItsHalfFrameForgotten) {
  QTemporaryDir folder;
  const QString link = folder.filePath("kisstnc");
  auto tnc = std::make_unique<TPty>();
  ASSERT_TRUE(QFile::link(tnc->Path, link));
  TSerialFeed feed(link, 9600, false, "\r");
  std::vector<int> delays;
  std::function<void()> retry;
  feed.SetRetryScheduler([&](int ms, std::function<void()> again) {
    delays.push_back(ms);
    retry = std::move(again);
  });
  std::vector<std::pair<std::string, int>> got;
  Record(feed, got);
  feed.Start();
  ASSERT_TRUE(tnc->Write(Kiss("N0CALL>APRS:>whole") + Kiss("N0CALL>APRS:>half").left(12)));
  ASSERT_TRUE(QTest::qWaitFor([&] { return got.size() == 1; }, 5000));
  tnc.reset();  // the USB cable comes out
  ASSERT_TRUE(QTest::qWaitFor([&] { return delays.size() == 1; }, 5000)) << feed.State().toStdString();
  std::exchange(retry, nullptr)();  // still gone: the delay grows
  EXPECT_EQ(delays, (std::vector<int>{1000, 2000}));
  EXPECT_EQ(feed.State(), link + " not found (is the TNC plugged in or paired?); retrying in 2 s");

  // Back (a new device behind the same name): opened, the init string sent again,
  // and the rest of the frame the drop cut off does not complete it.
  tnc = std::make_unique<TPty>();
  ASSERT_TRUE(QFile::remove(link) && QFile::link(tnc->Path, link));
  std::exchange(retry, nullptr)();
  ASSERT_TRUE(tnc->Write(Kiss("N0CALL>APRS:>half").mid(12) + Kiss("N0CALL>APRS:>after")));
  ASSERT_TRUE(QTest::qWaitFor([&] { return got.back().first == "N0CALL>APRS:>after"; }, 5000));
  EXPECT_EQ(got.size(), 2u);
  EXPECT_EQ(tnc->Read(), QByteArray("\r"));
  EXPECT_EQ(feed.Openings(), 2);
}

TEST(SerialFeed, GarbageAndATenMegabyteBurstWithoutAFrameEnd) {
  TPty tnc;
  TSerialFeed feed(tnc.Path, 9600, false, {});
  std::vector<std::pair<std::string, int>> got;
  Record(feed, got);
  feed.Start();
  QByteArray garbage;
  for (int i = 0; i < 65536; ++i) garbage += static_cast<char>((i * 131 + 7) % 251);  // with FENDs and FESCs
  ASSERT_TRUE(tnc.Write(garbage + '\xC0' + QByteArray(10 << 20, 'x') + Kiss("N0CALL>APRS:>still here")));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !got.empty(); }, 30000)) << feed.State().toStdString();
  EXPECT_EQ(got.back().first, "N0CALL>APRS:>still here");
  EXPECT_EQ(feed.Decoder().Oversize, 1);  // the burst; the garbage's frames are short
  EXPECT_TRUE(feed.Dropped() > 0 && feed.State().contains("dropped")) << feed.State().toStdString();
}

}  // namespace
