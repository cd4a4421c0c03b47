#include "StoredSettings.h"

#include <utility>

#include "Text.h"

namespace settings {

namespace {

constexpr std::string_view kTrue = "True";
constexpr std::string_view kFalse = "False";

bool SameText(std::string_view a, std::string_view b) { return text::Upper(a) == text::Upper(b); }

// "cbDrawDigis.Checked" -> {"cbDrawDigis", "Checked"}; an entry without a
// full stop names no property.
std::pair<std::string_view, std::string_view> SplitEntry(std::string_view entry) {
  const std::size_t dot = entry.find('.');
  if (dot == std::string_view::npos) return {entry, {}};
  return {entry.substr(0, dot), entry.substr(dot + 1)};
}

}  // namespace

std::string PropertyText(const TPropertyValue& value) {
  if (value.Kind == TPropertyKind::pkBoolean) return std::string(value.Checked ? kTrue : kFalse);
  return value.Text;
}

TStoredSettings::TStoredSettings(TSettingsFile& file, IStoredControls& controls, std::vector<std::string> entries)
    : m_File(file), m_Controls(controls) {
  for (std::string& entry : entries) {
    if (m_Controls.HasComponent(SplitEntry(entry).first)) m_Entries.push_back(std::move(entry));
  }
}

void TStoredSettings::RestoreEntry(const std::string& entry, TPropertyKind kind) {
  const auto [component, property] = SplitEntry(entry);
  std::optional<TPropertyValue> current = m_Controls.GetProperty(component, property);
  if (!current || current->Kind != kind) return;
  const std::string stored(text::Trim(m_File.ReadString(kSettingsSection, entry, PropertyText(*current))));
  TPropertyValue value = *current;
  if (kind == TPropertyKind::pkBoolean) {
    if (SameText(stored, kTrue)) {
      value.Checked = true;
    } else if (SameText(stored, kFalse)) {
      value.Checked = false;
    } else {
      return;
    }
  } else {
    value.Text = stored;
  }
  m_Controls.SetProperty(component, property, value);
}

void TStoredSettings::Restore() {
  m_Saved = false;
  m_Restored = true;
  try {
    TSettingsFileSession session(m_File);
    for (const TPropertyKind kind : {TPropertyKind::pkText, TPropertyKind::pkBoolean}) {
      for (const std::string& entry : m_Entries) {
        try {
          RestoreEntry(entry, kind);
        } catch (...) {
          // One control that refuses its value does not stop the others.
        }
      }
    }
  } catch (...) {
  }
}

void TStoredSettings::Save() {
  if (!m_Restored) return;
  // A failed save is not repeated: the run's values are lost, nothing else.
  m_Saved = true;
  TSettingsFileSession session(m_File);
  for (const std::string& entry : m_Entries) {
    const auto [component, property] = SplitEntry(entry);
    const std::optional<TPropertyValue> current = m_Controls.GetProperty(component, property);
    if (!current) continue;
    m_File.WriteString(kSettingsSection, entry, text::Trim(PropertyText(*current)));
  }
}

}  // namespace settings
