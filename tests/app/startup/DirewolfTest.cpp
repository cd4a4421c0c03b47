// End to end with a real software TNC: packets turned into audio, decoded by
// the TNC, served on its KISS TCP port on loopback (or on its pseudo-terminal
// KISS port, as a hardware TNC on a serial device would), read by the stand-in
// host's KISS (or serial) feed, and found in Tarvik's packet log and cache.
#include <gtest/gtest.h>

#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include "Child.h"
#include "QtPrinters.h"
#include "StandInHost.h"
#include "TarvikMain.h"

namespace tarvik {
namespace {

using test::Child;

const QStringList kPackets = {
    "TV1ABC>APRS,WIDE1-1:!4903.50N/07201.75W#PHG5132 digi one",
    "TV2DEF-9>APRS,WIDE2-1:!4905.10N/07210.20W>PHG2330 mobile",
    "TV3GHI>APRS:=4910.00N/07150.00W-PHG7220 home",
    "TV4JKL>APRS,WIDE2-2:!4850.00N/07230.00W&RNG0025 igate",
    "TV5MNO>APRS:!4858.00N/07140.00W#PHG4430/A=001200 hill",
};

bool WriteFile(const QString& path, const QByteArray& text) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

quint16 FreeLoopbackPort() {
  QTcpServer probe;
  if (!probe.listen(QHostAddress::LocalHost, 0)) return 0;
  return probe.serverPort();
}

void GeneratedPacketsReachThePacketLog(bool serial) {
  const QString direwolf = QStandardPaths::findExecutable("direwolf");
  const QString genPackets = QStandardPaths::findExecutable("gen_packets");
  if (direwolf.isEmpty() || genPackets.isEmpty())
    GTEST_SKIP() << "direwolf and gen_packets are not installed (scripts/bootstrap installs them)";

  QTemporaryDir folder;
  const QString packets = folder.filePath("packets.txt");
  const QString wav = folder.filePath("packets.wav");
  ASSERT_TRUE(WriteFile(packets, kPackets.join('\n').toUtf8() + "\n"));
  QProcess gen;
  gen.start(genPackets, {"-r", "44100", "-o", wav, packets});
  ASSERT_TRUE(gen.waitForFinished(30000));
  ASSERT_EQ(gen.exitCode(), 0) << gen.readAllStandardError().toStdString();

  const quint16 port = serial ? 0 : FreeLoopbackPort();
  ASSERT_TRUE(serial || port != 0);
  const QString conf = folder.filePath("direwolf.conf");
  ASSERT_TRUE(WriteFile(conf, QString("ADEVICE stdin null\nARATE 44100\nCHANNEL 0\nMYCALL N0CALL\n"
                                      "KISSPORT %1\nAGWPORT 0\n")
                                  .arg(port)
                                  .toUtf8()));
  QProcess tnc;
  tnc.setWorkingDirectory(folder.path());
  tnc.setProcessChannelMode(QProcess::MergedChannels);
  // -p: KISS on a pseudo terminal, whose name is read from the TNC's output rather
  // than through the fixed /tmp/kisstnc link, which another run may be using.
  tnc.start(direwolf, serial ? QStringList{"-c", conf, "-t", "0", "-q", "hd", "-p", "-"}
                             : QStringList{"-c", conf, "-t", "0", "-q", "hd", "-"});
  ASSERT_TRUE(tnc.waitForStarted(10000));
  const QRegularExpression announced(QStringLiteral("Virtual KISS TNC is available on (\\S+)"));
  QByteArray output;
  QString feed = QStringLiteral("kiss:127.0.0.1:%1").arg(port);
  // The TNC listens once it has read its configuration.
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        output += tnc.readAll();
        const QString device = announced.match(QString::fromLocal8Bit(output)).captured(1);
        if (serial) feed = QStringLiteral("serial:%1:9600").arg(device);
        if (serial) return !device.isEmpty();
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port);
        return probe.waitForConnected(200);
      },
      15000))
      << output.toStdString();

  const QString ini = folder.filePath("Oxbel32.INI");
  ASSERT_TRUE(WriteFile(ini, QString("[Host]\nMyCall=N0CALL\nFeed=%1\n").arg(feed).toUtf8()));
  host::THostRegistry registry;
  registry.SetStarter([&] { return standin::StartStandInHost(ini); });
  TMainFormServices services;
  services.Timing = TTiming([] { return 0u; }, [] { return kQuitMessage; }, {});  // no waits
  services.MakeTray = [] { return std::make_unique<TNoTrayIcon>(); };
  services.Terminate = [] {};
  TMainForm form(registry, std::move(services));
  form.show();

  std::shared_ptr<standin::TStandInHost> standIn;
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        standIn = std::dynamic_pointer_cast<standin::TStandInHost>(registry.Running());
        return standIn && standIn->Feed().State().startsWith(serial ? "open" : "connected");
      },
      15000))
      << (standIn ? standIn->Feed().State().toStdString() : "");

  QFile audio(wav);
  ASSERT_TRUE(audio.open(QIODevice::ReadOnly));
  tnc.write(audio.readAll());
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.Cache->Count() == kPackets.size(); }, 30000))
      << "log:\n"
      << Child<QPlainTextEdit>(form, "moLog")->toPlainText().toStdString() << "\ntnc:\n"
      << tnc.readAll().toStdString();

  form.FlushPacketLog();
  const QString log = Child<QPlainTextEdit>(form, "moLog")->toPlainText();
  for (const QString& packet : kPackets) {
    const QString source = packet.section('>', 0, 0);
    EXPECT_TRUE(log.contains(packet.section(':', 1))) << packet.toStdString();
    EXPECT_NE(form.Cache->Find(source.toStdString()), nullptr) << source.toStdString();
  }
  tnc.closeWriteChannel();
  if (!tnc.waitForFinished(10000)) tnc.kill();
  standIn.reset();
}

TEST(Direwolf, GeneratedPacketsReachThePacketLog) { GeneratedPacketsReachThePacketLog(false); }
TEST(Direwolf, GeneratedPacketsReachThePacketLogThroughASerialPort) { GeneratedPacketsReachThePacketLog(true); }

}  // namespace
}  // namespace tarvik
