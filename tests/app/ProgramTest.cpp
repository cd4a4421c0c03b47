// The real program, started as separate processes offscreen: one copy per
// executable name, a killed copy's lock, and SIGTERM/SIGINT ending it in order.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>

namespace tarvik {
namespace {

constexpr int kStartMs = 30000;

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const QString built = QStringLiteral(TARVIK_BINARY_DIR "/src/app/tarvik");
    if (!QFile::exists(built)) GTEST_SKIP() << "the program is not built";
    ASSERT_TRUE(folder.isValid() && runtime.isValid());
    ASSERT_TRUE(QFile::copy(built, Exe("tarvik")));
    ASSERT_TRUE(QFile::copy(built, Exe("tarvik2")));
  }

  QString Exe(const QString& name) const { return folder.filePath(name); }
  QString Lock(const QString& title) const { return QDir(runtime.path()).filePath("PREVINST:" + title); }

  std::unique_ptr<QProcess> Start(const QString& name) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    process->setProcessEnvironment(env);
    process->setWorkingDirectory(folder.path());
    process->start(Exe(name), {});
    EXPECT_TRUE(process->waitForStarted(kStartMs));
    return process;
  }

  // Waits until `process` holds the lock of `title`.
  bool Holds(QProcess& process, const QString& title) const {
    const QByteArray pid = QByteArray::number(process.processId());
    return QTest::qWaitFor(
        [&] {
          QFile lock(Lock(title));
          return lock.open(QIODevice::ReadOnly) && lock.readLine().trimmed() == pid;
        },
        kStartMs);
  }

  static void EndWith(QProcess& process, int signal) {
    ASSERT_EQ(::kill(static_cast<pid_t>(process.processId()), signal), 0);
    ASSERT_TRUE(process.waitForFinished(kStartMs));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
  }

  QTemporaryDir folder;
  QTemporaryDir runtime;  // private (0700), as a runtime folder must be
};

TEST_F(ProgramTest, SecondCopyIsRefusedAndAnotherNameRuns) {
  auto first = Start("tarvik");
  ASSERT_TRUE(Holds(*first, "tarvik"));

  auto second = Start("tarvik");
  ASSERT_TRUE(second->waitForFinished(kStartMs));
  EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second->exitCode(), 0);
  EXPECT_TRUE(second->readAllStandardError().contains("Tarvik is already running."));
  EXPECT_EQ(first->state(), QProcess::Running);

  auto renamed = Start("tarvik2");
  ASSERT_TRUE(Holds(*renamed, "tarvik2"));
  EndWith(*renamed, SIGINT);

  EXPECT_EQ(first->state(), QProcess::Running);
  EndWith(*first, SIGTERM);
  EXPECT_FALSE(QFile::exists(Lock("tarvik")));    // released on the orderly way out
  QFile settings(folder.filePath("tarvik.INI"));  // saved on the way out
  ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
  EXPECT_TRUE(settings.readAll().contains("[MainForm]"));
}

TEST_F(ProgramTest, KilledCopyDoesNotBlockTheNextStart) {
  auto killed = Start("tarvik");
  ASSERT_TRUE(Holds(*killed, "tarvik"));
  killed->kill();
  ASSERT_TRUE(killed->waitForFinished(kStartMs));
  ASSERT_TRUE(QFile::exists(Lock("tarvik")));

  auto next = Start("tarvik");
  ASSERT_TRUE(Holds(*next, "tarvik"));
  EndWith(*next, SIGTERM);
}

}  // namespace
}  // namespace tarvik
