// The ten control values kept in the section "Settings".
//
// Each entry names a control and one of its properties, "cbDrawDigis.Checked";
// the entry is also the key. A check-box state is stored as "True" or "False",
// a text property as its text.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "SettingsFile.h"

namespace settings {

inline constexpr std::string_view kSettingsSection = "Settings";

// In the order of writing; see TStoredSettings::Restore for the order of reading.
inline constexpr std::array<std::string_view, 10> kStoredProperties = {
    "cbDrawDigis.Checked",    "cbDrawIGates.Checked",     "cbDrawMobiles.Checked", "cbRedrawCircles.Checked",
    "cbDrawFullsize.Caption", "cbDrawDefaultPHG.Checked", "cbDrawOthers.Checked",  "edRedrawCircles.Text",
    "edExpireAge.Text",       "edServerPort.Text",
};

enum class TPropertyKind { pkBoolean, pkText };

struct TPropertyValue {
  TPropertyKind Kind = TPropertyKind::pkText;
  bool Checked = false;  // pkBoolean
  std::string Text;      // pkText
};

// "True"/"False" for a state, the text itself for a text property.
std::string PropertyText(const TPropertyValue& value);

// The controls seam: the main window's controls (QtFormAdapters.h) or a fake.
// Component and property names match without regard to case.
class IStoredControls {
 public:
  virtual ~IStoredControls() = default;
  virtual bool HasComponent(std::string_view component) const = 0;
  // No value when the component or the property does not exist.
  virtual std::optional<TPropertyValue> GetProperty(std::string_view component, std::string_view property) const = 0;
  // Setting a check box to another state runs its click action, as a user's
  // click would. May throw.
  virtual void SetProperty(std::string_view component, std::string_view property, const TPropertyValue& value) = 0;
};

class TStoredSettings {
 public:
  // Entries whose component the window does not have are dropped here.
  TStoredSettings(TSettingsFile& file, IStoredControls& controls,
                  std::vector<std::string> entries = {kStoredProperties.begin(), kStoredProperties.end()});

  // Reads every entry (a missing key keeps the control's value; a state other
  // than "True" or "False" in any case keeps the box as it is). Text values
  // are applied before check-box states, so that a box's click action sees the
  // restored texts: "Redraw every" then starts with the stored period, not the
  // design one. A failure of one entry is ignored.
  void Restore();
  // Writes every entry in list order; does nothing unless restored first.
  // Throws ESettingsWriteError at the first key that cannot be written.
  void Save();

  const std::vector<std::string>& Entries() const { return m_Entries; }
  bool Restored() const { return m_Restored; }
  bool Saved() const { return m_Saved; }

 private:
  void RestoreEntry(const std::string& entry, TPropertyKind kind);

  TSettingsFile& m_File;
  IStoredControls& m_Controls;
  std::vector<std::string> m_Entries;
  bool m_Restored = false;
  bool m_Saved = false;
};

}  // namespace settings
