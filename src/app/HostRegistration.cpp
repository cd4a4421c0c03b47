#include "HostRegistration.h"

#include "StandInHost.h"

namespace tarvik {

void RegisterHosts(host::THostRegistry& registry) {
  // On Linux the host is the stand-in client built into the program; it is
  // started, with its window and feed, when the main window first connects.
  registry.SetStarter([] { return standin::StartStandInHost(standin::DefaultIniPath()); });
}

}  // namespace tarvik
