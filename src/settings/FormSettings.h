// The main window's settings over its life: restore after creation, save on
// the close command and again on destruction if not yet saved.
//
//   created:   FormCreate runs, then RestoreAfterCreate()  (placement, then settings)
//   closed:    SaveOnClose()                               (placement, then settings)
//   destroyed: SaveOnDestroy(), then FormDestroy runs      (settings, then placement,
//                                                           each only if not saved)
//
// Failures never escape: a write failure is reported once per section through
// the log function with its message, "Unable to write to <path>".
#pragma once

#include <functional>
#include <string>

#include "FormPositionState.h"
#include "StoredSettings.h"

namespace settings {

class TFormSettings {
 public:
  using TLogFn = std::function<void(const std::string& line)>;

  TFormSettings(TSettingsFile& file, IFormWindow& window, IStoredControls& controls, TLogFn log);

  void RestoreAfterCreate();
  void SaveOnClose();
  void SaveOnDestroy();

  TFormPositionState& FormPositionState() { return m_Position; }
  TStoredSettings& StoredSettings() { return m_Stored; }

 private:
  template <typename Fn>
  void Guarded(Fn&& fn);

  TFormPositionState m_Position;
  TStoredSettings m_Stored;
  TLogFn m_Log;
};

}  // namespace settings
