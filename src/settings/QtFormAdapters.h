// The settings seams over a real Qt window: its placement and its controls.
#pragma once

#include <QString>

#include "FormPositionState.h"
#include "StoredSettings.h"

class QWidget;
class QObject;

namespace settings {

// The settings file of the running program: beside the executable, named
// after it with ".INI".
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

}  // namespace settings
