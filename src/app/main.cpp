// Tarvik: range circles for the stations an APRS client hears.
#include "Application.h"
#include "Heap.h"
#include "Program.h"
#include "SingleInstance.h"
#include "UnixSignals.h"

int main(int argc, char** argv) {
  heap::UseLargePages();
  tarvik::TApplication app(argc, argv);
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
