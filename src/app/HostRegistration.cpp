#include "HostRegistration.h"

#include "StandInHost.h"

namespace tarvik {

void RegisterHosts(host::THostRegistry& registry, const settings::TSettingsFolder& settingsFolder) {
  // On Linux the host is the stand-in client built into the program; it is
  // started, with its window and feed, when the main window first connects.
  registry.SetStarter([settingsFolder] { return standin::StartStandInHost(settingsFolder); });
}

}  // namespace tarvik
