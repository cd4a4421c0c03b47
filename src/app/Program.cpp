#include "Program.h"

#include "HostRegistration.h"
#include "TarvikData.h"
#include "TarvikMain.h"
#include "UnixSignals.h"

namespace tarvik {

int RunTarvik(TApplication& app) {
  host::THostRegistry registry;
  RegisterHosts(registry);

  TDM dm;
  TMainForm form(registry);
  app.SetExceptionSink([&form](const std::string& message) { form.ApplicationEvents1Exception(message); });
  TUnixSignals unixSignals([&form](int) { form.btnCloseClick(); });

  form.show();
  const int rc = app.Run();

  // Nothing may be logged into a window that is going away.
  app.SetExceptionSink({});
  return rc;
}

}  // namespace tarvik
