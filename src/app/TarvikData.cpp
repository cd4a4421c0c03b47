#include "TarvikData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tarvik {

namespace {

constexpr const char* kSettingsExtension = ".INI";

}  // namespace

QString SettingsPathFor(const QString& executablePath) {
  const QFileInfo exe(executablePath);
  QString name = exe.fileName();
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  name = (dot < 0 ? name : name.left(dot)) + QLatin1String(kSettingsExtension);
  const QString folder = exe.path();
  if (folder.isEmpty() || executablePath.indexOf(QLatin1Char('/')) < 0) return name;
  return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

TDM::TDM() : TDM(SettingsPathFor(QCoreApplication::applicationFilePath())) {}

TDM::TDM(QString settingsPath) : m_settingsPath(std::move(settingsPath)) {}

}  // namespace tarvik
