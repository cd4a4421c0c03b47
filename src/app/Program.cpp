#include "Program.h"

#include "HostRegistration.h"
#include "TarvikData.h"
#include "TarvikMain.h"

namespace tarvik {

int RunTarvik(TApplication& app, TUnixSignals& unixSignals) {
  // tarvik.INI and the stand-in's Oxbel32.INI live in one folder, chosen once.
  const QString executable = QCoreApplication::applicationFilePath();
  const settings::TSettingsFolder settingsFolder = settings::SettingsFolderOf(executable.toStdString());
  host::THostRegistry registry;
  RegisterHosts(registry, settingsFolder);

  TDM dm(settingsFolder, executable);
  TMainFormServices services;
  services.DM = &dm;
  TMainForm form(registry, std::move(services));
  app.SetExceptionSink([&form](const std::string& message) { form.ApplicationEvents1Exception(message); });
  unixSignals.SetOnSignal([&form](int) { form.btnCloseClick(); });

  form.show();
  const int rc = app.Run();

  // Nothing may reach a window that is going away.
  app.SetExceptionSink({});
  unixSignals.SetOnSignal([&app](int) { app.Terminate(0); });
  return rc;
}

}  // namespace tarvik
