#include "SettingsFolder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace settings {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kProgramFolder = "tarvik";
constexpr std::string_view kBinFolder = "bin";
constexpr std::string_view kDataFolder = "share/tarvik";
constexpr std::string_view kDefaultConfigFolder = ".config";
// Folders the program makes for its settings are the user's alone (XDG base directories).
constexpr mode_t kUserOnly = S_IRWXU;

bool IsFolder(const std::string& folder) {
  std::error_code ec;
  return fs::is_directory(folder, ec);
}

// The folder's path without a trailing "/" so that its last part is its name.
fs::path Tidy(const std::string& folder) {
  fs::path path = fs::path(folder).lexically_normal();
  if (!path.has_filename() && path.has_parent_path() && path != path.root_path()) path = path.parent_path();
  return path;
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') return home;
  // A session without HOME (a service, su -) still has a password entry.
  const passwd* entry = ::getpwuid(::getuid());
  return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

}  // namespace

std::string TSettingsFolder::FilePath(std::string_view fileName) const { return (fs::path(Path) / fileName).string(); }

TFolderProbe FileSystemProbe() {
  return {[](const std::string& folder) { return ::access(folder.c_str(), W_OK) == 0; }, IsFolder};
}

std::string UserSettingsFolder(std::string_view xdgConfigHome, std::string_view home) {
  const fs::path xdg{std::string(xdgConfigHome)};
  const fs::path base = xdg.is_absolute() ? xdg : fs::path(std::string(home)) / kDefaultConfigFolder;
  return Tidy((base / kProgramFolder).string()).string();
}

bool IsInstalledCopy(const std::string& executableFolder, const TFolderProbe& probe) {
  const fs::path folder = Tidy(executableFolder);
  return folder.filename() == kBinFolder && probe.IsFolder((folder.parent_path() / kDataFolder).string());
}

TSettingsFolder ChooseSettingsFolder(const std::string& executableFolder, const std::string& userFolder,
                                     const TFolderProbe& probe) {
  if (!IsInstalledCopy(executableFolder, probe) && probe.Writable(executableFolder)) return {executableFolder, false};
  return {userFolder, true};
}

TSettingsFolder SettingsFolderOf(std::string_view executablePath) {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  const std::string executableFolder = fs::path(std::string(executablePath)).parent_path().string();
  return ChooseSettingsFolder(executableFolder, UserSettingsFolder(xdg != nullptr ? xdg : "", HomeFolder()),
                              FileSystemProbe());
}

TSettingsFile SettingsFileIn(const TSettingsFolder& folder, std::string_view executablePath) {
  const std::string name = fs::path(SettingsFileNameFor(executablePath)).filename().string();
  TSettingsFile file(folder.FilePath(name));
  file.SetMakeFolder(folder.MadeOnSave);
  return file;
}

TWriteResult MakeFolder(const std::string& folder) {
  fs::path made;
  for (const fs::path& part : fs::path(folder)) {
    made /= part;
    if (::mkdir(made.c_str(), kUserOnly) == 0) continue;
    const int error = errno;
    if (IsFolder(made.string())) continue;
    return {false, "make folder " + made.string() + ": " + std::strerror(error)};
  }
  return {true, {}};
}

}  // namespace settings
