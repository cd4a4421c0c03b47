#include "Program.h"

#include <cstdio>
#include <memory>

#include "HostRegistration.h"
#include "SoakRun.h"
#include "StandInHost.h"
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
  // A soak run (scripts/soak) asks for its page, its redraw and its stats here.
  const TSoakSettings soak = LoadSoakSettings(settingsFolder.FilePath(standin::kIniFileName));
  if (const std::string missing = ApplySoakChoices(form, soak); !missing.empty())
    std::fprintf(stderr, "tarvik: soak settings: no %s\n", missing.c_str());
  std::unique_ptr<TSoakStats> stats;
  if (!soak.Stats.empty()) {
    stats = std::make_unique<TSoakStats>(soak.Stats, [&registry, &form] {
      const auto host = std::dynamic_pointer_cast<standin::TStandInHost>(registry.Running());
      return TRunStats{host ? host->LinesHandled() : 0, form.Cache ? form.Cache->Count() : 0,
                       host ? host->HeardCount() : 0};
    });
  }
  const int rc = app.Run();
  stats.reset();

  // Nothing may reach a window that is going away.
  app.SetExceptionSink({});
  unixSignals.SetOnSignal([&app](int) { app.Terminate(0); });
  return rc;
}

}  // namespace tarvik
