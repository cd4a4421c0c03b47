// How the program finds or starts its host application.
#pragma once

#include "Oxbel32_TLB.h"
#include "SettingsFolder.h"

namespace tarvik {

// Registers with `registry` the host that "running or new" starts; the
// stand-in host keeps its Oxbel32.INI in `settingsFolder`, beside tarvik.INI.
void RegisterHosts(host::THostRegistry& registry, const settings::TSettingsFolder& settingsFolder);

}  // namespace tarvik
