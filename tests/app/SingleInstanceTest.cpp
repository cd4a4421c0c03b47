// One copy per executable name: the lock, a stale lock of a killed copy, and
// the names derived from the executable.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "SingleInstance.h"
#include "TarvikData.h"

namespace tarvik {
namespace {

constexpr const char* kHelperDirVariable = "TARVIK_TEST_LOCK_FOLDER";

TEST(InstanceTitle, Table) {
  // clang-format off
  const std::vector<std::pair<QString, QString>> cases = {
      {"/opt/tarvik/Tarvik.exe", "Tarvik"},
      {"/opt/tarvik/TARVIK.EXE", "Tarvik"},
      {"/usr/bin/tarvik", "tarvik"},
      {"/usr/bin/TarVik2", "Tarvik2"},
      {"relative/tarvik.bin.exe", "tarvik.bin"},
  };
  // clang-format on
  for (const auto& [path, title] : cases) EXPECT_EQ(InstanceTitle(path), title) << path.toStdString();
  EXPECT_EQ(InstanceLockName("Tarvik"), "PREVINST:Tarvik");
}

TEST(TDM, OwnsTheSettingsFileAtItsPath) {
  const TDM dm("/tmp/somewhere/tarvik.INI");
  EXPECT_EQ(dm.SettingsPath(), "/tmp/somewhere/tarvik.INI");
  EXPECT_EQ(dm.SettingsFile.OpenCount(), 0);
}

TEST(SingleInstance, SecondCopyOfTheSameNameIsRefused) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const TSingleInstance first(folder.path(), "Tarvik");
  const TSingleInstance second(folder.path(), "Tarvik");
  EXPECT_TRUE(first.IsFirstInstance());
  EXPECT_FALSE(second.IsFirstInstance());
  EXPECT_TRUE(QFile::exists(folder.filePath("PREVINST:Tarvik")));
}

TEST(SingleInstance, CopyUnderAnotherNameRuns) {
  QTemporaryDir folder;
  const TSingleInstance first(folder.path(), "Tarvik");
  const TSingleInstance other(folder.path(), "Tarvik2");
  EXPECT_TRUE(first.IsFirstInstance());
  EXPECT_TRUE(other.IsFirstInstance());
}

TEST(SingleInstance, LockIsFreedWithTheFirstCopy) {
  QTemporaryDir folder;
  {
    const TSingleInstance first(folder.path(), "Tarvik");
    ASSERT_TRUE(first.IsFirstInstance());
  }
  const TSingleInstance next(folder.path(), "Tarvik");
  EXPECT_TRUE(next.IsFirstInstance());
}

// Run in a child process by the test below: takes the lock and waits to be killed.
TEST(SingleInstanceHelper, DISABLED_HoldLockUntilKilled) {
  const char* folder = std::getenv(kHelperDirVariable);
  if (folder == nullptr) GTEST_SKIP() << "only run as a child of KilledCopyLeavesNoBlockingLock";
  const TSingleInstance instance(QString::fromLocal8Bit(folder), "Tarvik");
  std::printf(instance.IsFirstInstance() ? "locked\n" : "refused\n");
  std::fflush(stdout);
  std::getchar();  // the parent kills us before it writes anything
}

TEST(SingleInstance, KilledCopyLeavesNoBlockingLock) {
  QTemporaryDir folder;
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(kHelperDirVariable, folder.path());
  child.setProcessEnvironment(env);
  child.start(QCoreApplication::applicationFilePath(),
              {"--gtest_also_run_disabled_tests", "--gtest_filter=SingleInstanceHelper.*"});
  ASSERT_TRUE(child.waitForStarted());
  QByteArray said;
  while (!said.contains("locked") && !said.contains("refused") && child.waitForReadyRead(20000)) {
    said += child.readAllStandardOutput();
  }
  ASSERT_TRUE(said.contains("locked")) << said.toStdString();

  {
    const TSingleInstance whileAlive(folder.path(), "Tarvik");
    EXPECT_FALSE(whileAlive.IsFirstInstance());
  }
  child.kill();  // SIGKILL: the lock file stays behind
  ASSERT_TRUE(child.waitForFinished());
  ASSERT_TRUE(QFile::exists(folder.filePath("PREVINST:Tarvik")));

  const TSingleInstance next(folder.path(), "Tarvik");
  EXPECT_TRUE(next.IsFirstInstance());
}

}  // namespace
}  // namespace tarvik
