// The size chooser in the editor's top band: a choice while the editor is open resizes it through the
// host (audioMasterSizeWindow); a host that refuses keeps the old size, and the control says so. The
// choice is remembered in the settings file, never in the plug-in's state.

#include "editor/ScaleChooser.h"
#include "editor/EditorConstants.h"
#include "engine/Kestrune.h"
#include "framework/EditorSettings.h"
#include "platform/headless/IGraphicsHeadless.h"

#include "ScratchFolder.h"
#include "drawing/DRAW_SysBitmap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace
{
struct SizeRequest
{
  int mW, mH;
};
std::vector<SizeRequest> gSizeRequests;
bool gHostResizes = true;

VstIntPtr ResizingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*, float)
{
  if (opcode == audioMasterVersion) return 2400;
  if (opcode != audioMasterSizeWindow) return 0;
  gSizeRequests.push_back({index, static_cast<int>(value)});
  return gHostResizes ? 1 : 0;
}

class ScaleChooserTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    SetTestEnvironment("KESTRUNE_SCALE", nullptr);
    gSizeRequests.clear();
    gHostResizes = true;
    ASSERT_FALSE(mFolder.Path().empty());
    mDir = mFolder.Path();
    IEffectInstanceInfo info;
    info.mHostCallback = &ResizingHost;
    mPlug = std::make_unique<CLS_KESTRUNE>(info);
    mGui = dynamic_cast<IGraphicsHeadless*>(IGraphics::Of(mPlug.get()));
    ASSERT_NE(mGui, nullptr);
    mGui->SetSettingsPath(mDir + "/kestrune/settings.ini");
    for (int i = 0; i < mGui->NControls(); ++i)
      if (auto* c = dynamic_cast<ScaleChooser*>(mGui->GetControl(i))) mChooser = c;
    ASSERT_NE(mChooser, nullptr);
    Fx()->dispatcher(Fx(), effOpen, 0, 0, nullptr, 0.0f);
  }
  void TearDown() override { mPlug.reset(); }
  AEffect* Fx() { return mPlug->GetAEffect(); }
  // effEditGetRect as a host asks it: the rectangle's size.
  std::pair<int, int> EditRect()
  {
    ERect* rect = nullptr;
    Fx()->dispatcher(Fx(), effEditGetRect, 0, 0, &rect, 0.0f);
    return rect ? std::make_pair(rect->right - rect->left, rect->bottom - rect->top) : std::make_pair(0, 0);
  }
  void OpenEditor()
  {
    EditRect();
    ASSERT_EQ(Fx()->dispatcher(Fx(), effEditOpen, 0, 0, this, 0.0f), 1);
  }
  // A left click on the chooser's segment of a size, in layout units.
  void Choose(int scale)
  {
    const IRECT& r = mChooser->GetRECT();
    int x = r.L;
    while (x < r.R && mChooser->ScaleAt(x) != scale)
      ++x;
    IMouseMod left(true);
    mGui->OnMouseDown(x + 2, r.MH(), &left);
    mGui->OnMouseUp(x + 2, r.MH(), &left);
  }

  ScratchFolder mFolder{"kestrune-scale-"};
  std::string mDir;
  std::unique_ptr<CLS_KESTRUNE> mPlug;
  IGraphicsHeadless* mGui = nullptr;
  ScaleChooser* mChooser = nullptr;
};

TEST_F(ScaleChooserTest, ChoiceWhileOpenResizesThroughTheHostAndIsRemembered)
{
  OpenEditor();
  EXPECT_EQ(EditRect(), std::make_pair(808, 492));
  Choose(200);
  ASSERT_EQ(gSizeRequests.size(), 1u);
  EXPECT_EQ(gSizeRequests[0].mW, 1616);
  EXPECT_EQ(gSizeRequests[0].mH, 984);
  EXPECT_EQ(mGui->ScalePercent(), 200);
  EXPECT_EQ(EditRect(), std::make_pair(1616, 984));
  EXPECT_EQ(mGui->GetDrawBitmap()->getWidth(), 1616);
  // The next paint covers the whole editor at its new size.
  mGui->Ticks(1);
  EXPECT_EQ(mGui->LastPaintedArea(), IRECT(0, 0, 808, 492));
  EXPECT_FALSE(mChooser->ShowsRefusal());
  mGui->WaitForSettingsWrite();
  EXPECT_EQ(ReadScaleSetting(mDir + "/kestrune/settings.ini"), 200);

  // Back to 150 %; the state chunk carries nothing of the size.
  void* chunk = nullptr;
  const VstIntPtr before = Fx()->dispatcher(Fx(), effGetChunk, 0, 0, &chunk, 0.0f);
  const std::string bytes200(static_cast<const char*>(chunk), static_cast<size_t>(before));
  Choose(150);
  EXPECT_EQ(mGui->ScalePercent(), 150);
  EXPECT_EQ(EditRect(), std::make_pair(1212, 738));
  const VstIntPtr after = Fx()->dispatcher(Fx(), effGetChunk, 0, 0, &chunk, 0.0f);
  EXPECT_EQ(std::string(static_cast<const char*>(chunk), static_cast<size_t>(after)), bytes200);
}

TEST_F(ScaleChooserTest, HostThatRefusesKeepsTheOldSizeTheControlSaysSoAndTheNextOpeningUsesTheChoice)
{
  gHostResizes = false;
  OpenEditor();
  Choose(150);
  EXPECT_EQ(gSizeRequests.size(), 1u);
  EXPECT_EQ(mGui->ScalePercent(), 100);
  EXPECT_EQ(EditRect(), std::make_pair(808, 492));
  EXPECT_EQ(mGui->GetDrawBitmap()->getWidth(), 808);
  EXPECT_TRUE(mChooser->ShowsRefusal());
  mGui->Ticks(kScaleRefusalTicks);
  EXPECT_FALSE(mChooser->ShowsRefusal());

  Fx()->dispatcher(Fx(), effEditClose, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(EditRect(), std::make_pair(1212, 738)) << "the choice is the size of the next opening";
  OpenEditor();
  EXPECT_EQ(mGui->ScalePercent(), 150);
}

TEST_F(ScaleChooserTest, ClosedEditorTakesTheChoiceWithoutAskingTheHost)
{
  Choose(200);
  EXPECT_TRUE(gSizeRequests.empty());
  EXPECT_EQ(mGui->ScalePercent(), 200);
  EXPECT_EQ(EditRect(), std::make_pair(1616, 984));
  // KESTRUNE_SCALE outranks the remembered choice.
  SetTestEnvironment("KESTRUNE_SCALE", "1");
  Fx()->dispatcher(Fx(), effEditClose, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(EditRect(), std::make_pair(808, 492));
  SetTestEnvironment("KESTRUNE_SCALE", nullptr);
}
} // namespace
