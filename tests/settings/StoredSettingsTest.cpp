#include <gtest/gtest.h>

#include <algorithm>

#include "FakeForm.h"
#include "StoredSettings.h"
#include "TempFolder.h"

using namespace settings;

namespace {

const char* const kFirstRunSettings =
    "[Settings]\n"
    "cbDrawDigis.Checked=True\n"
    "cbDrawIGates.Checked=True\n"
    "cbDrawMobiles.Checked=True\n"
    "cbRedrawCircles.Checked=False\n"
    "cbDrawFullsize.Caption=Draw full-size (fixed stations) circles\n"
    "cbDrawDefaultPHG.Checked=True\n"
    "cbDrawOthers.Checked=True\n"
    "edRedrawCircles.Text=15\n"
    "edExpireAge.Text=60\n"
    "edServerPort.Text=1448\n";

class StoredSettingsTest : public ::testing::Test {
 protected:
  TTempFolder m_Folder;
  TSettingsFile m_File{m_Folder.File("Tarvik.INI")};
  TFakeControls m_Controls;

  void Store(const std::string& settings) { WriteBytes(m_File.FileName(), "[Settings]\n" + settings); }
};

TEST_F(StoredSettingsTest, FirstRunKeepsDesignValuesAndWritesTenKeysInOrder) {
  TStoredSettings stored(m_File, m_Controls);
  const std::map<std::string, bool> designChecked = m_Controls.Checked;
  const std::map<std::string, std::string> designTexts = m_Controls.Texts;
  stored.Restore();
  EXPECT_EQ(m_Controls.Checked, designChecked);
  EXPECT_EQ(m_Controls.Texts, designTexts);
  EXPECT_FALSE(std::filesystem::exists(m_File.FileName()));  // a restore never writes
  stored.Save();
  EXPECT_EQ(ReadBytes(m_File.FileName()), kFirstRunSettings);
  EXPECT_EQ(m_File.OpenCount(), 0);
}

TEST_F(StoredSettingsTest, CheckBoxValuesTable) {
  struct Case {
    const char* Stored;
    bool Expected;
  };
  // cbDrawDigis is on by design.
  // clang-format off
  const Case cases[] = {
      {"False", false}, {"false", false}, {"FALSE", false}, {"  False  ", false},
      {"True", true},   {"yes", true},    {"0", true},      {"", true},
  };
  // clang-format on
  for (const Case& c : cases) {
    TTempFolder folder;
    TSettingsFile file(folder.File("Tarvik.INI"));
    TFakeControls controls;
    WriteBytes(file.FileName(), std::string("[Settings]\ncbDrawDigis.Checked=") + c.Stored + "\n");
    TStoredSettings stored(file, controls);
    stored.Restore();
    EXPECT_EQ(controls.Checked["cbDrawDigis"], c.Expected) << '"' << c.Stored << '"';
  }
  // "true" in any case turns a box on that is off by design.
  Store("CBREDRAWCIRCLES.CHECKED=tRUE\n");
  TStoredSettings stored(m_File, m_Controls);
  stored.Restore();
  EXPECT_TRUE(m_Controls.Checked["cbRedrawCircles"]);
}

TEST_F(StoredSettingsTest, TextsAreTrimmedAndMayBeEmpty) {
  Store("edExpireAge.Text=\ncbDrawFullsize.Caption=   Full size   \nedServerPort.Text= 2000 \n");
  TStoredSettings stored(m_File, m_Controls);
  stored.Restore();
  EXPECT_EQ(m_Controls.Texts["edExpireAge.Text"], "");
  EXPECT_EQ(m_Controls.Texts["cbDrawFullsize.Caption"], "Full size");
  EXPECT_FALSE(m_Controls.Checked["cbDrawFullsize"]);  // the caption key changes only the label
  EXPECT_EQ(m_Controls.Texts["edServerPort.Text"], "2000");
}

// With the list applied in its stored order the box would be switched on while
// the period field still held the design "15", and the timer would run every
// 15 s. Texts are applied first, so the box's click action sees "30".
TEST_F(StoredSettingsTest, RedrawTimerStartsWithTheStoredPeriod) {
  Store("cbRedrawCircles.Checked=True\nedRedrawCircles.Text=30\n");
  TStoredSettings stored(m_File, m_Controls);
  stored.Restore();
  EXPECT_TRUE(m_Controls.TimerEnabled);
  EXPECT_EQ(m_Controls.TimerIntervalMs, 30000);
  const auto& applied = m_Controls.Applied;
  const auto at = [&applied](const char* entry) { return std::find(applied.begin(), applied.end(), entry); };
  EXPECT_LT(at("edRedrawCircles.Text"), at("cbRedrawCircles.Checked"));
}

TEST_F(StoredSettingsTest, OneFailingControlDoesNotStopTheOthers) {
  Store("cbDrawDigis.Checked=False\nedExpireAge.Text=90\ncbDrawOthers.Checked=False\n");
  m_Controls.Refuse = "cbDrawDigis";
  TStoredSettings stored(m_File, m_Controls);
  EXPECT_NO_THROW(stored.Restore());
  EXPECT_EQ(m_Controls.Texts["edExpireAge.Text"], "90");
  EXPECT_FALSE(m_Controls.Checked["cbDrawOthers"]);
}

TEST_F(StoredSettingsTest, EntriesOfMissingComponentsAreDropped) {
  TStoredSettings stored(m_File, m_Controls,
                         {"cbDrawDigis.Checked", "cbGone.Checked", "edExpireAge.Text", "edExpireAge.NoSuchProperty"});
  EXPECT_EQ(stored.Entries(),
            (std::vector<std::string>{"cbDrawDigis.Checked", "edExpireAge.Text", "edExpireAge.NoSuchProperty"}));
  stored.Restore();
  stored.Save();
  EXPECT_EQ(ReadBytes(m_File.FileName()), "[Settings]\ncbDrawDigis.Checked=True\nedExpireAge.Text=60\n");
}

TEST_F(StoredSettingsTest, RoundTripThroughTheFile) {
  TStoredSettings first(m_File, m_Controls);
  first.Restore();
  m_Controls.Checked["cbDrawMobiles"] = false;
  m_Controls.Checked["cbRedrawCircles"] = true;
  m_Controls.Checked["cbDrawFullsize"] = true;  // not stored: every run starts with it cleared
  m_Controls.Texts["edRedrawCircles.Text"] = "45";
  m_Controls.Texts["edExpireAge.Text"] = " 120 ";
  first.Save();

  TFakeControls next;
  TStoredSettings second(m_File, next);
  second.Restore();
  EXPECT_FALSE(next.Checked["cbDrawMobiles"]);
  EXPECT_TRUE(next.Checked["cbRedrawCircles"]);
  EXPECT_FALSE(next.Checked["cbDrawFullsize"]);
  EXPECT_EQ(next.Texts["edRedrawCircles.Text"], "45");
  EXPECT_EQ(next.Texts["edExpireAge.Text"], "120");
  EXPECT_TRUE(next.TimerEnabled);
  EXPECT_EQ(next.TimerIntervalMs, 45000);
}

TEST_F(StoredSettingsTest, SaveStopsAtTheFirstKeyThatCannotBeWritten) {
  TSettingsFile unwritable(m_Folder.File("no-such-folder/Tarvik.INI"));
  TStoredSettings stored(unwritable, m_Controls);
  stored.Restore();
  EXPECT_THROW(stored.Save(), ESettingsWriteError);
  EXPECT_TRUE(stored.Saved());  // not tried again on destruction
  EXPECT_EQ(unwritable.OpenCount(), 0);
}

}  // namespace
