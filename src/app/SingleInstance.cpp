#include "SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QStandardPaths>
#include <cstdio>

#include "Application.h"

namespace tarvik {

namespace {

constexpr const char* kLockPrefix = "PREVINST:";

}  // namespace

QString InstanceTitle(const QString& executablePath) {
  QString base = QFileInfo(executablePath).completeBaseName();
  if (base.isEmpty()) return base;
  return base.left(1) + base.mid(1).toLower();
}

QString InstanceLockName(const QString& title) { return QLatin1String(kLockPrefix) + title; }

QString InstanceLockFolder() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::tempPath();
  return folder;
}

TSingleInstance::TSingleInstance(const QString& lockFolder, const QString& title)
    : m_path(QDir(lockFolder).filePath(InstanceLockName(title))), m_lock(std::make_unique<QLockFile>(m_path)) {
  // Only a live holder counts: a lock of a process that no longer exists is
  // stale and taken over, however recent; a live copy's lock never ages out.
  m_lock->setStaleLockTime(0);
  m_first = m_lock->tryLock(0);
}

void ShowAlreadyRunning() {
  const QString text = QString::fromLatin1(kAlreadyRunningText);
  if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
    std::fprintf(stderr, "%s\n", kAlreadyRunningText);
    return;
  }
  QMessageBox::information(nullptr, QString::fromLatin1(TApplication::kTitle), text);
}

}  // namespace tarvik
