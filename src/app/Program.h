// The program's main sequence after the single-instance check.
#pragma once

#include "Application.h"
#include "UnixSignals.h"

namespace tarvik {

// Creates the data module and the main window, registers the host, lets
// SIGTERM and SIGINT work as "Close", runs the event loop, and takes
// everything down in order. Returns the exit code.
int RunTarvik(TApplication& app, TUnixSignals& unixSignals);

}  // namespace tarvik
