#include <gtest/gtest.h>

#include <filesystem>

#include "SettingsFolder.h"
#include "TempFolder.h"

using namespace settings;
namespace fs = std::filesystem;

namespace {

TEST(SettingsFolder, UserFolder) {
  EXPECT_EQ(UserSettingsFolder("/h/.cfg/", "/h"), "/h/.cfg/tarvik");
  EXPECT_EQ(UserSettingsFolder("", "/h"), "/h/.config/tarvik");
  EXPECT_EQ(UserSettingsFolder("relative", "/h/"), "/h/.config/tarvik");  // XDG: a relative value is ignored
}

// A superuser writes anywhere, so a read-only folder exists here only as the probe's answer.
TEST(SettingsFolder, ChoiceTable) {
  struct Case {
    const char* Exe;
    bool Writable;
    const char* DataFolder;  // the one folder that exists besides
    bool Beside;
  };
  // clang-format off
  const Case cases[] = {
      {"/src/build/ci/src/app", true,  "",                            true},   // a build folder
      {"/media/cd/tarvik",      false, "",                            false},  // a read-only portable copy
      {"/usr/bin",              true,  "/usr/share/tarvik",           false},  // installed, run by the superuser
      {"/home/u/.local/bin/",   true,  "/home/u/.local/share/tarvik", false},
      {"/opt/x/bin",            true,  "",                            true},   // a bin folder without our data
      {"/opt/x/tarvik",         true,  "/opt/x/share/tarvik",         true},
  };
  // clang-format on
  for (const Case& c : cases) {
    const TFolderProbe probe{[&c](const std::string&) { return c.Writable; },
                             [&c](const std::string& folder) { return folder == c.DataFolder; }};
    const TSettingsFolder folder = ChooseSettingsFolder(c.Exe, "/u", probe);
    EXPECT_EQ(folder.Path, c.Beside ? c.Exe : "/u") << c.Exe;
    EXPECT_EQ(folder.MadeOnSave, !c.Beside) << c.Exe;
  }
}

TEST(SettingsFolder, UserFolderIsMadeOnTheFirstSave) {
  TTempFolder root;
  TSettingsFile file = SettingsFileIn({root.File("cfg/tarvik"), true}, "/usr/bin/tarvik");
  EXPECT_FALSE(fs::exists(root.File("cfg")));
  file.WriteString("Settings", "K", "v");
  EXPECT_EQ(ReadBytes(root.File("cfg/tarvik/tarvik.INI")), "[Settings]\nK=v\n");
  EXPECT_EQ(fs::status(root.File("cfg/tarvik")).permissions(), fs::perms::owner_all);
  // Beside the executable nothing is made: a missing folder stays a failure.
  TSettingsFile beside = SettingsFileIn({root.File("gone"), false}, "/x/tarvik");
  EXPECT_THROW(beside.WriteString("Settings", "K", "v"), ESettingsWriteError);
}

}  // namespace
