// The editor's sizes: layout units to pixels and back, sizes named in text, and the settings file
// that remembers the user's choice.

#include "framework/EditorScale.h"
#include "framework/EditorSettings.h"

#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace
{
TEST(EditorScale, UnitsMapToPixelsWithSharedEdgesAtEverySize)
{
  EXPECT_EQ(UnitsToPixels(808, 100), 808);
  EXPECT_EQ(UnitsToPixels(808, 150), 1212);
  EXPECT_EQ(UnitsToPixels(492, 200), 984);
  // 150 %: halves round up, also below 0, so a rectangle's pixels never overlap its neighbour's.
  EXPECT_EQ(UnitsToPixels(1, 150), 2);
  EXPECT_EQ(UnitsToPixels(3, 150), 5);
  EXPECT_EQ(UnitsToPixels(-1, 150), -1);
  EXPECT_EQ(UnitsToPixels(-3, 150), -4);
  for (int scale : kEditorScales)
    for (int u = -20; u < 20; ++u)
    {
      EXPECT_LT(UnitsToPixels(u, scale), UnitsToPixels(u + 1, scale)) << scale << " " << u;
      // Every pixel of a unit's span goes back to that unit.
      for (int p = UnitsToPixels(u, scale); p < UnitsToPixels(u + 1, scale); ++p)
        EXPECT_EQ(PixelsToUnits(p, scale), u) << scale << " " << p;
    }
}

TEST(EditorScale, SizesAreReadFromFactorsAndPercentagesWithoutTheLocale)
{
  EXPECT_EQ(ParseEditorScale("1"), 100);
  EXPECT_EQ(ParseEditorScale("1.5"), 150);
  EXPECT_EQ(ParseEditorScale("2"), 200);
  EXPECT_EQ(ParseEditorScale("150"), 150);
  EXPECT_EQ(ParseEditorScale("200%"), 200);
  EXPECT_EQ(ParseEditorScale("1.2"), 100);  // the nearest size
  EXPECT_EQ(ParseEditorScale("1.75"), 200); // halfway goes up
  EXPECT_EQ(ParseEditorScale("3"), 200);
  for (const char* bad : {"", "0", "-1", "x", "1,5", "1.5x", "nan", "inf", "30"})
    EXPECT_EQ(ParseEditorScale(bad), 0) << bad;
  EXPECT_EQ(ParseEditorScale(nullptr), 0);
  EXPECT_EQ(ScaledImageId(101, 100), 101);
  EXPECT_EQ(ScaledImageId(101, 150), 1101);
  EXPECT_EQ(ScaledImageId(101, 200), 2101);
}

class EditorSettingsTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_FALSE(mFolder.Path().empty());
    mDir = mFolder.Path();
  }
  ScratchFolder mFolder{"kestrune-settings-"};
  std::string mDir;
};

TEST_F(EditorSettingsTest, ChosenSizeIsWrittenIntoANewFolderAndReadBackKeepingOtherLines)
{
  const std::string path = mDir + "/config/kestrune/settings.ini";
  EXPECT_EQ(ReadScaleSetting(path), 0) << "no file yet";
  ASSERT_TRUE(WriteScaleSetting(path, 150));
  EXPECT_EQ(ReadScaleSetting(path), 150);
  {
    std::ofstream add(path, std::ios::app);
    add << "# a note of the user\ncolour=blue\n";
  }
  ASSERT_TRUE(WriteScaleSetting(path, 200));
  EXPECT_EQ(ReadScaleSetting(path), 200);
  std::ifstream in(path);
  std::stringstream all;
  all << in.rdbuf();
  EXPECT_EQ(all.str(), "# a note of the user\ncolour=blue\neditor-scale=200\n");
  EXPECT_FALSE(WriteScaleSetting(path, 175));
  EXPECT_FALSE(WriteScaleSetting("", 150));
}

TEST_F(EditorSettingsTest, UnreadableOrForeignValuesGiveNoSize)
{
  const std::string path = mDir + "/settings.ini";
  std::ofstream(path) << "editor-scale = 1.5\n";
  EXPECT_EQ(ReadScaleSetting(path), 150);
  std::ofstream(path) << "editor-scale=huge\n";
  EXPECT_EQ(ReadScaleSetting(path), 0);
  std::ofstream(path) << "editor-scaled=200\n";
  EXPECT_EQ(ReadScaleSetting(path), 0);
}

#ifdef _WIN32
TEST_F(EditorSettingsTest, FileLivesInTheRoamingApplicationDataFolder)
{
  const char* savedAppData = std::getenv("APPDATA");
  const std::string appData = savedAppData ? savedAppData : "";
  SetTestEnvironment("APPDATA", "C:\\Users\\me\\AppData\\Roaming");
  EXPECT_EQ(DefaultEditorSettingsPath(), "C:\\Users\\me\\AppData\\Roaming\\Kestrune\\settings.ini");
  SetTestEnvironment("APPDATA", nullptr);
  EXPECT_EQ(DefaultEditorSettingsPath(), "") << "no folder known";
  SetTestEnvironment("APPDATA", savedAppData ? appData.c_str() : nullptr);
}
#else
TEST_F(EditorSettingsTest, FileLivesInTheXdgConfigFolderOrUnderHome)
{
  const char* savedXdg = std::getenv("XDG_CONFIG_HOME");
  const std::string xdg = savedXdg ? savedXdg : "";
  SetTestEnvironment("XDG_CONFIG_HOME", "/somewhere/config");
  EXPECT_EQ(DefaultEditorSettingsPath(), "/somewhere/config/kestrune/settings.ini");
  SetTestEnvironment("XDG_CONFIG_HOME", "relative/config"); // to be ignored
  const char* home = std::getenv("HOME");
  if (home)
  {
    EXPECT_EQ(DefaultEditorSettingsPath(), std::string(home) + "/.config/kestrune/settings.ini");
  }
  SetTestEnvironment("XDG_CONFIG_HOME", savedXdg ? xdg.c_str() : nullptr);
}
#endif
} // namespace
