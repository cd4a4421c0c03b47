#include "TarvikData.h"

namespace tarvik {

TDM::TDM(const settings::TSettingsFolder& folder, const QString& executablePath)
    : SettingsFile(settings::SettingsFileIn(folder, executablePath.toStdString())) {}

TDM::TDM(const QString& settingsPath) : SettingsFile(settingsPath.toStdString()) {}

}  // namespace tarvik
