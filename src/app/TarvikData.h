// The data module: the one owner of the program's settings file, created
// before the main window so the file's owner exists when the window loads.
#pragma once

#include <QString>

#include "SettingsFile.h"
#include "SettingsFolder.h"

namespace tarvik {

class TDM {
 public:
  // The settings file of the executable at `executablePath` (named after it
  // with ".INI") in `folder`, which SettingsFolderOf chooses for the program.
  TDM(const settings::TSettingsFolder& folder, const QString& executablePath);
  // The settings file at `settingsPath` (tests use a temporary folder).
  explicit TDM(const QString& settingsPath);

  QString SettingsPath() const { return QString::fromStdString(SettingsFile.FileName()); }

  settings::TSettingsFile SettingsFile;
};

}  // namespace tarvik
