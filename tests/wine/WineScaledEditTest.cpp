// The DLL's editor under a Wine prefix whose desktop is at 192 DPI (200 %): the window opens at twice
// the pixels, and a drag covering twice the pixels sets what the same drag sets at 100 %.

#include "WineEditFixture.h"

#include <cstdio>
#include <cstdlib>

namespace winetest
{
namespace
{
constexpr char kDesktopKey[] = "HKCU\\Control Panel\\Desktop";
constexpr char kLogPixels[] = "LogPixels";
constexpr int kDpiAt200 = 192;
// A short drag (in layout units) leaves the attack knob short of its end, so that a drag taken at
// the wrong scale would set another value.
constexpr int kDragUnits = 8;

// The prefix's desktop density, set for the test and put back as it was afterwards.
class WineScaledEdit : public WineEdit
{
protected:
  void SetUp() override
  {
    WineEdit::SetUp();
    if (HasFatalFailure()) return;
    std::string output;
    if (RunProgram({sSetup.wine, "reg", "query", kDesktopKey, "/v", kLogPixels}, &output) == 0)
    {
      const size_t at = output.find("0x");
      if (at != std::string::npos) mSavedDpi = std::strtoul(output.c_str() + at, nullptr, 16);
    }
    ASSERT_EQ(SetDpi(kDpiAt200), 0);
    unsetenv("KESTRUNE_SCALE");
  }

  void TearDown() override
  {
    WineEdit::TearDown();
    if (mSavedDpi)
      SetDpi(static_cast<int>(mSavedDpi));
    else
      RunProgram({sSetup.wine, "reg", "delete", kDesktopKey, "/v", kLogPixels, "/f"});
    unsetenv("KESTRUNE_SCALE");
  }

  static int SetDpi(int dpi)
  {
    return RunProgram({sSetup.wine, "reg", "add", kDesktopKey, "/v", kLogPixels, "/t", "REG_DWORD", "/d",
                       std::to_string(dpi), "/f"});
  }

  // Opens the editor, checks its size, drags the attack knob kDragUnits up and answers its text.
  std::string DragAttack(int scale, int expectW, int expectH)
  {
    EditHost* host = Start();
    if (!host) return "";
    EXPECT_EQ(host->EditorW(), expectW) << host->Output();
    EXPECT_EQ(host->EditorH(), expectH) << host->Output();
    EXPECT_EQ(host->Ask("watch 5", "watching param 5: "), "watching param 5: 0.80");
    const int x = kAttackX * scale, y = kAttackY * scale;
    EXPECT_TRUE(host->Drag(x, y, x, y - kDragUnits * scale));
    EXPECT_NE(host->WaitForLine("param 5 changed: "), "") << host->Output();
    const std::string text = host->Display(kAttackParam);
    EXPECT_EQ(host->Quit(), 0) << host->Output();
    mHost.reset();
    return text;
  }

  unsigned long mSavedDpi = 0;
};
} // namespace

TEST_F(WineScaledEdit, DesktopAt192DpiOpensTheEditorAt1616x984AndAKnobDragThereSetsWhatItSetsAt100Percent)
{
  const std::string at200 = DragAttack(2, 2 * kEditorW, 2 * kEditorH);
  ASSERT_FALSE(HasFailure());
  // KESTRUNE_SCALE comes before the display's density.
  setenv("KESTRUNE_SCALE", "1", 1);
  const std::string at100 = DragAttack(1, kEditorW, kEditorH);
  ASSERT_FALSE(HasFailure());
  EXPECT_FALSE(at100.empty());
  EXPECT_EQ(at200, at100);
}
} // namespace winetest
