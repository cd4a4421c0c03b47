#include "TarvikData.h"

#include "QtFormAdapters.h"

namespace tarvik {

TDM::TDM() : TDM(settings::ExecutableSettingsPath()) {}

TDM::TDM(const QString& settingsPath) : SettingsFile(settingsPath.toStdString()) {}

}  // namespace tarvik
