// Tarvik: range circles for the stations an APRS client hears.
#include "Application.h"
#include "Program.h"
#include "SingleInstance.h"

int main(int argc, char** argv) {
  tarvik::TApplication app(argc, argv);
  const tarvik::TSingleInstance instance(tarvik::InstanceLockFolder(),
                                         tarvik::InstanceTitle(QCoreApplication::applicationFilePath()));
  if (!instance.IsFirstInstance()) {
    // The running copy is left alone: not activated, not told.
    tarvik::ShowAlreadyRunning();
    return 0;
  }
  return tarvik::RunTarvik(app);
}
