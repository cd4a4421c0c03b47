#include "FormSettings.h"

#include <exception>
#include <utility>

namespace settings {

TFormSettings::TFormSettings(TSettingsFile& file, IFormWindow& window, IStoredControls& controls, TLogFn log)
    : m_Position(file, window), m_Stored(file, controls), m_Log(std::move(log)) {}

template <typename Fn>
void TFormSettings::Guarded(Fn&& fn) {
  try {
    fn();
  } catch (const std::exception& e) {
    if (m_Log) m_Log(e.what());
  } catch (...) {
    if (m_Log) m_Log("Unknown error while keeping the settings");
  }
}

void TFormSettings::RestoreAfterCreate() {
  Guarded([this] { m_Position.Restore(); });
  Guarded([this] { m_Stored.Restore(); });
}

void TFormSettings::SaveOnClose() {
  Guarded([this] { m_Position.Save(); });
  Guarded([this] { m_Stored.Save(); });
}

void TFormSettings::SaveOnDestroy() {
  if (!m_Stored.Saved()) Guarded([this] { m_Stored.Save(); });
  if (!m_Position.Saved()) Guarded([this] { m_Position.Save(); });
}

}  // namespace settings
