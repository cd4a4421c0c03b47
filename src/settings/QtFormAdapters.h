// The settings seams over a real Qt window: its placement and its controls.
#pragma once

#include <QString>
#include <utility>

#include "FormSettings.h"

class QWidget;
class QObject;

namespace settings {

// The settings file of the running program: named after the executable with
// ".INI", in the folder SettingsFolderOf chooses (beside the executable for a
// writable portable copy or a build folder).
QString ExecutableSettingsPath();

// Placement of a top-level window. The normal rectangle is the window's
// normalGeometry() (its geometry while it is neither maximised nor
// minimised), without the frame; restoring sets the same geometry back.
class TQtFormWindow : public IFormWindow {
 public:
  explicit TQtFormWindow(QWidget& form) : m_Form(form) {}
  TFormWindowInfo Info() const override;
  void SetDesignedPosition() override;
  void ApplyPlacement(const TWindowPlacement& placement) override;

 private:
  QWidget& m_Form;
};

// The form's controls found by object name, their properties by Qt property
// name, both without regard to case; "Caption" is the "text" property. Text
// travels as UTF-8.
class TQtStoredControls : public IStoredControls {
 public:
  explicit TQtStoredControls(QWidget& form) : m_Form(form) {}
  bool HasComponent(std::string_view component) const override;
  std::optional<TPropertyValue> GetProperty(std::string_view component, std::string_view property) const override;
  void SetProperty(std::string_view component, std::string_view property, const TPropertyValue& value) override;

 private:
  QObject* FindComponent(std::string_view component) const;
  QWidget& m_Form;
};

// The two keepers over a real window, for the main window to hold. Build it
// at the end of the window's creation, when its controls exist and carry
// their object names (entries of missing controls are dropped then):
//
//   m_Settings = std::make_unique<TQtFormSettings>(dm.SettingsFile, *this, log);
//   m_Settings->RestoreAfterCreate();        // after FormCreate
//   closeEvent():  m_Settings->SaveOnClose();
//   ~TMainForm():  m_Settings->SaveOnDestroy(); then FormDestroy
class TQtFormSettings {
 public:
  TQtFormSettings(TSettingsFile& file, QWidget& form, TFormSettings::TLogFn log)
      : m_Window(form), m_Controls(form), m_Settings(file, m_Window, m_Controls, std::move(log)) {}

  void RestoreAfterCreate() { m_Settings.RestoreAfterCreate(); }
  void SaveOnClose() { m_Settings.SaveOnClose(); }
  void SaveOnDestroy() { m_Settings.SaveOnDestroy(); }
  TFormSettings& Settings() { return m_Settings; }

 private:
  TQtFormWindow m_Window;
  TQtStoredControls m_Controls;
  TFormSettings m_Settings;
};

}  // namespace settings
