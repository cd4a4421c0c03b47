#include "SettingsFile.h"

#include <filesystem>
#include <utility>

#include "SettingsFolder.h"
#include "Text.h"

namespace settings {

namespace {
constexpr std::string_view kIniExtension = ".INI";
}

ESettingsWriteError::ESettingsWriteError(const std::string& path, std::string reason)
    : std::runtime_error("Unable to write to " + path), m_Path(path), m_Reason(std::move(reason)) {}

std::string SettingsFileNameFor(std::string_view executablePath) {
  const std::size_t slash = executablePath.rfind('/');
  const std::string_view folder =
      slash == std::string_view::npos ? std::string_view() : executablePath.substr(0, slash + 1);
  std::string_view name = slash == std::string_view::npos ? executablePath : executablePath.substr(slash + 1);
  // The extension starts at the last "."; a name that is only an extension
  // (".tarvik", a hidden file) keeps it and gets ".INI" added.
  const std::size_t dot = name.rfind('.');
  if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
  return std::string(folder) + std::string(name) + std::string(kIniExtension);
}

TSettingsFile::TSettingsFile(std::string path, TWriteAllFn writeAll)
    : m_Path(std::move(path)), m_WriteAll(std::move(writeAll)) {}

void TSettingsFile::Open() { ++m_OpenCount; }

void TSettingsFile::Close() {
  // Nothing is cached between calls, so the last close has nothing to flush.
  if (m_OpenCount > 0) --m_OpenCount;
}

std::string TSettingsFile::ReadString(std::string_view section, std::string_view key,
                                      std::string_view defaultValue) const {
  return GetPrivateProfileString(section, key, defaultValue, m_Path);
}

void TSettingsFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  if (m_MakeFolder) {
    TWriteResult made = MakeFolder(std::filesystem::path(m_Path).parent_path().string());
    if (!made.Ok) throw ESettingsWriteError(m_Path, std::move(made.Reason));
  }
  TWriteResult result = WritePrivateProfileString(section, key, value, m_Path, m_WriteAll);
  if (!result.Ok) throw ESettingsWriteError(m_Path, std::move(result.Reason));
}

int TSettingsFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
  const std::string text = ReadString(section, key, std::to_string(defaultValue));
  return text::StrToIntDef(text, defaultValue);
}

void TSettingsFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

}  // namespace settings
