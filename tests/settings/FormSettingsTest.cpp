#include <gtest/gtest.h>

#include "FakeForm.h"
#include "FormSettings.h"
#include "TempFolder.h"

using namespace settings;

namespace {

// Counts the files written through the settings file, one per key.
struct WriteCounter {
  int Writes = 0;
  TWriteAllFn Fn() {
    return [this](int fd, std::string_view data) {
      ++Writes;
      return WriteAll(fd, data);
    };
  }
};

class FormSettingsTest : public ::testing::Test {
 protected:
  TTempFolder m_Folder;
  WriteCounter m_Counter;
  TSettingsFile m_File{m_Folder.File("Tarvik.INI"), m_Counter.Fn()};
  TFakeFormWindow m_Window;
  TFakeControls m_Controls;
  std::vector<std::string> m_Log;
  TFormSettings m_Settings{m_File, m_Window, m_Controls, [this](const std::string& line) { m_Log.push_back(line); }};
};

TEST_F(FormSettingsTest, CloseThenDestroyWritesEachSectionOnce) {
  m_Settings.RestoreAfterCreate();
  EXPECT_EQ(m_Counter.Writes, 0);
  m_Settings.SaveOnClose();
  EXPECT_EQ(m_Counter.Writes, 5 + 10);
  m_Settings.SaveOnDestroy();
  EXPECT_EQ(m_Counter.Writes, 5 + 10);
  EXPECT_TRUE(m_Log.empty());
  const std::string content = ReadBytes(m_File.FileName());
  EXPECT_EQ(content.find("[MainForm]"), 0u);  // placement first on close
  EXPECT_NE(content.find("[Settings]"), std::string::npos);
}

TEST_F(FormSettingsTest, DestroyWithoutCloseSavesSettingsThenPlacement) {
  m_Settings.RestoreAfterCreate();
  m_Settings.SaveOnDestroy();
  EXPECT_EQ(m_Counter.Writes, 15);
  EXPECT_EQ(ReadBytes(m_File.FileName()).find("[Settings]"), 0u);
}

TEST_F(FormSettingsTest, NeverRestoredWritesNothing) {
  m_Settings.SaveOnClose();
  m_Settings.SaveOnDestroy();
  EXPECT_EQ(m_Counter.Writes, 0);
  EXPECT_FALSE(std::filesystem::exists(m_File.FileName()));
}

TEST_F(FormSettingsTest, SecondRunRestoresWhatTheFirstSaved) {
  m_Settings.RestoreAfterCreate();
  m_Window.Window.Placement.NormalPosition = TRect{100, 120, 900, 700};
  m_Controls.Texts["edExpireAge.Text"] = "30";
  m_Settings.SaveOnClose();

  TFakeFormWindow window;
  TFakeControls controls;
  TFormSettings next(m_File, window, controls, nullptr);
  next.RestoreAfterCreate();
  ASSERT_EQ(window.Applied.size(), 1u);
  EXPECT_EQ(window.Applied[0].NormalPosition, (TRect{100, 120, 900, 700}));
  EXPECT_EQ(controls.Texts["edExpireAge.Text"], "30");
}

// The file cannot be replaced: each section reports the path once, nothing is
// retried on destruction, and what the file held before is still there.
TEST_F(FormSettingsTest, UnwritableFileLogsThePathAndLosesNothingElse) {
  const std::string path = m_File.FileName();
  const std::string before = "[Other]\nKeep=1\n[Settings]\nedExpireAge.Text=90\n";
  WriteBytes(path, before);
  TSettingsFile failing(path, [](int, std::string_view) {
    errno = EIO;
    return false;
  });
  std::vector<std::string> log;
  TFormSettings settings(failing, m_Window, m_Controls, [&log](const std::string& line) { log.push_back(line); });
  settings.RestoreAfterCreate();
  EXPECT_EQ(m_Controls.Texts["edExpireAge.Text"], "90");
  settings.SaveOnClose();
  settings.SaveOnDestroy();
  EXPECT_EQ(log, (std::vector<std::string>{"Unable to write to " + path, "Unable to write to " + path}));
  EXPECT_EQ(ReadBytes(path), before);
  EXPECT_EQ(CountEntries(m_Folder.Path()), 1);
}

}  // namespace
