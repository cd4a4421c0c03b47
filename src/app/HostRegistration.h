// How the program finds or starts its host application.
#pragma once

#include "Oxbel32_TLB.h"

namespace tarvik {

// Registers with `registry` the host that "running or new" starts.
void RegisterHosts(host::THostRegistry& registry);

}  // namespace tarvik
