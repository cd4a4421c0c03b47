// The data module: the one owner of the program's settings file, created
// before the main window so the file's owner exists when the window loads.
#pragma once

#include <QString>

namespace tarvik {

// The settings file of an executable: its full path with the extension
// replaced by ".INI" (".INI" appended when the name has no "."), in the
// executable's folder. /opt/tarvik/tarvik gives /opt/tarvik/tarvik.INI.
QString SettingsPathFor(const QString& executablePath);

class TDM {
 public:
  // The settings file of the running executable.
  TDM();
  // The settings file at `settingsPath` (tests use a temporary folder).
  explicit TDM(QString settingsPath);

  const QString& SettingsPath() const { return m_settingsPath; }

 private:
  QString m_settingsPath;
};

}  // namespace tarvik
