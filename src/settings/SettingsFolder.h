// Where the program keeps its INI files: tarvik.INI and the stand-in host's
// Oxbel32.INI, always together.
//
// Beside the executable when the program may write there and is not an
// installed copy: a portable copy or a build folder keeps its settings with
// it. Otherwise, as for a program installed in /usr/bin, in the user's
// configuration folder $XDG_CONFIG_HOME/tarvik (~/.config/tarvik when that is
// unset), under the same names and in the same format; the first save makes
// that folder.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "PrivateProfile.h"
#include "SettingsFile.h"

namespace settings {

struct TSettingsFolder {
  std::string Path;
  // The user's configuration folder, which may not exist until the first save.
  bool MadeOnSave = false;

  std::string FilePath(std::string_view fileName) const;
};

// What the choice asks of the file system; tests answer for a folder they
// cannot make read-only (a superuser writes anywhere).
struct TFolderProbe {
  std::function<bool(const std::string& folder)> Writable;
  std::function<bool(const std::string& folder)> IsFolder;
};

// The real file system. Writable asks access(2), which a superuser passes
// for every folder on a writable disk: that is why an installed copy is told
// apart by its layout too.
TFolderProbe FileSystemProbe();

// $XDG_CONFIG_HOME/tarvik, or ~/.config/tarvik when it is unset, empty or
// not absolute (the XDG rule for a relative value).
std::string UserSettingsFolder(std::string_view xdgConfigHome, std::string_view home);

// An installed copy sits in a prefix's "bin" folder with its data in
// "share/tarvik" beside it (/usr/bin and /usr/share/tarvik).
bool IsInstalledCopy(const std::string& executableFolder, const TFolderProbe& probe);

// The executable's folder when it is writable and not an installed copy,
// else `userFolder`, made on the first save.
TSettingsFolder ChooseSettingsFolder(const std::string& executableFolder, const std::string& userFolder,
                                     const TFolderProbe& probe);

// The choice for the running program at `executablePath`, with the
// environment's XDG_CONFIG_HOME and HOME and the real file system.
TSettingsFolder SettingsFolderOf(std::string_view executablePath);

// The executable's settings file (named as SettingsFileNameFor names it) in
// `folder`; it makes the folder before its first write when the folder asks.
TSettingsFile SettingsFileIn(const TSettingsFolder& folder, std::string_view executablePath);

// Makes `folder` and its missing parents, each readable by the user alone as
// the XDG rules ask. A folder that is there already is success.
TWriteResult MakeFolder(const std::string& folder);

}  // namespace settings
