#include <gtest/gtest.h>

#include <climits>

#include "FakeForm.h"
#include "FormPositionState.h"
#include "TempFolder.h"

using namespace settings;

namespace {

class FormPositionStateTest : public ::testing::Test {
 protected:
  TTempFolder m_Folder;
  TSettingsFile m_File{m_Folder.File("Tarvik.INI")};
  TFakeFormWindow m_Window;
  TFormPositionState m_State{m_File, m_Window};

  void Store(const std::string& mainForm) { WriteBytes(m_File.FileName(), "[MainForm]\n" + mainForm); }
};

TEST_F(FormPositionStateTest, FirstRunKeepsTheDesignPositionAndWritesFiveKeys) {
  m_State.Restore();
  EXPECT_TRUE(m_Window.Applied.empty());
  EXPECT_FALSE(m_Window.DesignedPosition);
  m_State.Save();
  EXPECT_EQ(ReadBytes(m_File.FileName()),
            "[MainForm]\nFlags=0\nShowCmd=1\nNormalPos=360,250,993,688\nPixelsPerInch=96\nColor=-16777201\n");
  EXPECT_EQ(m_File.OpenCount(), 0);
}

TEST_F(FormPositionStateTest, NormalPosTable) {
  struct Case {
    const char* Name;
    const char* NormalPos;
    bool Sizeable;
    std::optional<TRect> Expected;  // nullopt: the window is left as it is
  };
  // clang-format off
  const Case cases[] = {
      {"commas", "10,20,600,400", true, TRect{10, 20, 600, 400}},
      {"spaces", "10 20 600 400", true, TRect{10, 20, 600, 400}},
      {"mixed runs of delimiters", " 10,, 20  600 ,400 ", true, TRect{10, 20, 600, 400}},
      {"two words keep right and bottom", "10,20", true, TRect{10, 20, 993, 688}},
      {"non-integer word keeps that edge", "10,x,600,400", true, TRect{10, 250, 600, 400}},
      {"negative coordinates", "-100,-50,500,300", true, TRect{-100, -50, 500, 300}},
      {"left not below right changes nothing", "500,20,400,300", true, std::nullopt},
      {"left equal to right changes nothing", "500,20,500,300", true, std::nullopt},
      {"no height changes nothing", "10,400,600,400", true, std::nullopt},
      {"fixed border keeps the size", "10,20,600,400", false, TRect{10, 20, 643, 458}},
      {"garbage keeps every edge", "abc", true, TRect{360, 250, 993, 688}},
      {"width beyond int changes nothing", "-2147483648,0,2147483647,100", true, std::nullopt},
      {"height beyond int changes nothing", "0,-2147483648,100,2147483647", true, std::nullopt},
      {"fixed border past the last int changes nothing", "2147483600,20,600,400", false, std::nullopt},
  };
  // clang-format on
  for (const Case& c : cases) {
    TTempFolder folder;
    TSettingsFile file(folder.File("Tarvik.INI"));
    TFakeFormWindow window;
    window.Window.Sizeable = c.Sizeable;
    WriteBytes(file.FileName(), std::string("[MainForm]\nNormalPos=") + c.NormalPos + "\n");
    TFormPositionState state(file, window);
    state.Restore();
    EXPECT_TRUE(window.DesignedPosition) << c.Name;
    if (c.Expected) {
      ASSERT_EQ(window.Applied.size(), 1u) << c.Name;
      EXPECT_EQ(window.Applied[0].NormalPosition, *c.Expected) << c.Name;
      EXPECT_EQ(window.Applied[0].ShowCmd, kSwHide) << c.Name;
    } else {
      EXPECT_TRUE(window.Applied.empty()) << c.Name;
    }
  }
}

TEST_F(FormPositionStateTest, OtherPixelsPerInchRestoresNothing) {
  Store("PixelsPerInch=120\nNormalPos=10,20,600,400\n");
  m_State.Restore();
  EXPECT_TRUE(m_Window.Applied.empty());
  EXPECT_FALSE(m_Window.DesignedPosition);
}

TEST_F(FormPositionStateTest, EmptyNormalPosRestoresNothing) {
  Store("NormalPos=\nFlags=2\n");
  m_State.Restore();
  EXPECT_TRUE(m_Window.Applied.empty());
  EXPECT_FALSE(m_Window.DesignedPosition);
}

TEST_F(FormPositionStateTest, FlagsAreReadBackOnlyWhenAnInteger) {
  Store("Flags=2\nNormalPos=10,20,600,400\nShowCmd=3\n");
  m_State.Restore();
  ASSERT_EQ(m_Window.Applied.size(), 1u);
  EXPECT_EQ(m_Window.Applied[0].Flags, 2);
  EXPECT_EQ(m_Window.Applied[0].ShowCmd, kSwHide);  // the stored show command is not read back

  TFakeFormWindow other;
  other.Window.Placement.Flags = 1;
  Store("Flags=two\nNormalPos=10,20,600,400\n");
  TFormPositionState state(m_File, other);
  state.Restore();
  ASSERT_EQ(other.Applied.size(), 1u);
  EXPECT_EQ(other.Applied[0].Flags, 1);
}

TEST_F(FormPositionStateTest, AWindowWhollyOffTheDesktopIsBroughtBack) {
  Store("NormalPos=5000,3000,5633,3438\n");
  m_State.Restore();
  ASSERT_EQ(m_Window.Applied.size(), 1u);
  EXPECT_EQ(m_Window.Applied[0].NormalPosition, (TRect{1920 - 633, 1080 - 438, 1920, 1080}));
}

TEST(KeepOnWorkArea, Table) {
  const TRect desk{0, 0, 1000, 800};
  struct Case {
    TRect In;
    TRect Out;
  };
  // clang-format off
  const Case cases[] = {
      {{10, 10, 110, 110}, {10, 10, 110, 110}},              // inside
      {{950, 750, 1150, 950}, {950, 750, 1150, 950}},        // partly visible: left alone
      {{-500, 10, -100, 110}, {0, 10, 400, 110}},            // off to the left
      {{10, 900, 110, 1000}, {10, 700, 110, 800}},           // below
      {{-3000, -3000, -1000, -1000}, {0, 0, 2000, 2000}},    // larger than the desk: top-left corner
  };
  // clang-format on
  for (const Case& c : cases) EXPECT_EQ(KeepOnWorkArea(c.In, desk), c.Out);
  EXPECT_EQ(KeepOnWorkArea(TRect{-500, 0, -100, 10}, TRect{}), (TRect{-500, 0, -100, 10}));
  // Brought back, its right edge would pass the last int: it stays where it is.
  const TRect wide{INT_MIN, 0, -1, 10};
  EXPECT_EQ(KeepOnWorkArea(wide, TRect{100, 0, 1100, 800}), wide);
}

TEST_F(FormPositionStateTest, SaveWritesTheMinimisedShowCommandAndRoundTrips) {
  m_State.Restore();
  m_Window.Window.Placement.NormalPosition = TRect{-20, 30, 700, 500};
  m_Window.Window.ApplicationIconic = true;
  m_Window.Window.Color = 0x00FF8000;
  m_State.Save();
  EXPECT_EQ(m_File.ReadInteger("MainForm", "ShowCmd", 0), kSwShowMinimized);
  EXPECT_EQ(m_File.ReadString("MainForm", "NormalPos", ""), "-20,30,700,500");
  EXPECT_EQ(m_File.ReadInteger("MainForm", "Color", 0), 0x00FF8000);

  TFakeFormWindow next;
  TFormPositionState nextState(m_File, next);
  nextState.Restore();
  ASSERT_EQ(next.Applied.size(), 1u);
  EXPECT_EQ(next.Applied[0].NormalPosition, (TRect{-20, 30, 700, 500}));
}

TEST_F(FormPositionStateTest, NothingIsWrittenBeforeARestoreAndFlagsFollowTheLifecycle) {
  m_State.Save();
  EXPECT_FALSE(std::filesystem::exists(m_File.FileName()));
  EXPECT_FALSE(m_State.Saved());
  m_State.Restore();
  EXPECT_TRUE(m_State.Restored());
  EXPECT_FALSE(m_State.Saved());
  m_State.Save();
  EXPECT_TRUE(m_State.Saved());
  m_State.Restore();
  EXPECT_FALSE(m_State.Saved());
}

}  // namespace
