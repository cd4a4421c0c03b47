// Tarvik: range circles for the stations an APRS client hears.
#include <cstdio>

#include "Application.h"
#include "CommandLine.h"
#include "Heap.h"
#include "Program.h"
#include "SingleInstance.h"
#include "TarvikVersion.h"
#include "UnixSignals.h"

int main(int argc, char** argv) {
  // Answered before Qt starts, so that they need no display.
  if (const auto answer = tarvik::CommandLineAnswer({argv + 1, argv + argc})) {
    std::fputs(answer->c_str(), stdout);
    return 0;
  }
  heap::UseLargePages();
  tarvik::TApplication app(argc, argv);
  // Desktops match the windows to the installed desktop entry by this name.
  QGuiApplication::setDesktopFileName(QStringLiteral(TARVIK_APP_ID));
  // From here on, SIGTERM and SIGINT end the program in order, at any stage.
  tarvik::TUnixSignals unixSignals([&app](int) { app.Terminate(0); });
  const tarvik::TSingleInstance instance(tarvik::InstanceLockFolder(),
                                         tarvik::InstanceTitle(QCoreApplication::applicationFilePath()));
  if (!instance.IsFirstInstance()) {
    // The running copy is left alone: not activated, not told.
    tarvik::ShowAlreadyRunning();
    return 0;
  }
  return tarvik::RunTarvik(app, unixSignals);
}
