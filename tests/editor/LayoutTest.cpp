// The editor's layout: every control where it belongs, bound to the right parameter, in list order.

#include "editor/EditorFixture.h"

#include "editor/IButton.h"
#include "editor/IEmpty.h"
#include "editor/IInputPrm.h"
#include "editor/IKnobRotVal.h"
#include "editor/ISlider.h"
#include "editor/IURLOpen.h"
#include "editor/NoteNumberField.h"
#include "editor/SampleActivity.h"
#include "framework/IBitmapControl.h"
#include "framework/IGraphics.h"
#include "framework/ITextControl.h"

#include <typeinfo>

namespace editortest
{
namespace
{
struct Expected
{
  const std::type_info& mType;
  IRECT mRect;
  int mParam;
};

std::vector<Expected> ColumnControls(int s)
{
  const int x = 152 * s, p = 12 * s;
  return {
      {typeid(SampleActivity), IRECT(x + 26, 73, x + 176, 77), -1},
      {typeid(MySample), IRECT(x + 26, 78, x + 176, 198), -1},
      {typeid(SampleRange), IRECT(x + 25, 201, x + 175, 256), -1},
      {typeid(IEmpty), IRECT(0, 0, 0, 0), p + 0},
      {typeid(IEmpty), IRECT(0, 0, 0, 0), p + 1},
      {typeid(IEmpty), IRECT(0, 0, 0, 0), p + 2},
      {typeid(IEmpty), IRECT(0, 0, 0, 0), p + 3},
      // Knobs: 56 x 56 about their centres, the text inside the knob (negative offsets).
      {typeid(IKnobRotVal), IRECT(x + 69 - 28, 309 - 28, x + 69 + 28, 309 + 28), p + 5},
      {typeid(IKnobRotVal), IRECT(x + 131 - 28, 309 - 28, x + 131 + 28, 309 + 28), p + 6},
      {typeid(IKnobRotVal), IRECT(x + 130 - 28, 388 - 28, x + 130 + 28, 388 + 28), p + 9},
      {typeid(IButton), IRECT(x + 56, 339, x + 56 + 26, 339 + 16), p + 0},
      {typeid(IInputPrm), IRECT(x + 61, 377, x + 90, 393), p + 4},
      {typeid(ISlider), IRECT(x + 52, 416, x + 144, 432), p + 7},
      {typeid(IButton), IRECT(x + 92, 433, x + 92 + 12, 433 + 13), p + 8},
      {typeid(IButton), IRECT(x + 46, 441, x + 46 + 44, 441 + 20), p + 10},
      {typeid(IButton), IRECT(x + 106, 441, x + 106 + 44, 441 + 20), p + 11},
  };
}
} // namespace

TEST_F(EditorTest, LayoutPutsEveryControlInPlaceAndBindsItsParameter)
{
  std::vector<Expected> expected = {
      {typeid(IBitmapControl), IRECT(0, 0, 808, 492), -1},
      {typeid(ITextControl), IRECT(45, 12, 95, 30), -1},
      {typeid(IURLOpen), IRECT(308, 6, 500, 53), -1},
  };
  for (int s = 0; s < kNumSlots; ++s)
    for (const Expected& e : ColumnControls(s))
      expected.push_back(e);
  expected.push_back({typeid(BarLabel), IRECT(10, 476, 800, 492), -1});
  for (int s = 0; s < kNumSlots; ++s)
  {
    const int cx = 152 * s + 100;
    expected.push_back({typeid(NoteNumberField), IRECT(cx - 16, 209, cx + 16, 227), -1});
  }

  ASSERT_EQ(Gui()->NControls(), static_cast<int>(expected.size()));
  for (int i = 0; i < Gui()->NControls(); ++i)
  {
    IControl* c = Gui()->GetControl(i);
    SCOPED_TRACE("control " + std::to_string(i));
    EXPECT_EQ(typeid(*c), expected[i].mType);
    const IRECT& r = c->GetRECT();
    EXPECT_EQ(r, expected[i].mRect) << r.L << "," << r.T << "," << r.R << "," << r.B;
    EXPECT_EQ(c->GetTargetRECT(), c->GetRECT());
    EXPECT_EQ(c->ParamIdx(), expected[i].mParam);
  }
  // Every slot parameter has a control, so values handed to bound controls reach all 60.
  for (int idx = 0; idx < kNumParams; ++idx)
  {
    bool bound = false;
    for (int i = 0; i < Gui()->NControls(); ++i)
      bound = bound || Gui()->GetControl(i)->ParamIdx() == idx;
    EXPECT_TRUE(bound) << idx;
  }
}

TEST_F(EditorTest, EditorIsAttachedWithDropsTheActivityBandAndTheHostEditorFlag)
{
  EXPECT_EQ(Fx()->flags, 0x1131);
  EXPECT_EQ(Gui()->Width(), 808);
  EXPECT_EQ(Gui()->Height(), 492);
  EXPECT_EQ(Gui()->FPS(), 24);
  EXPECT_TRUE(Gui()->AcceptsDrops());
  EXPECT_EQ(Gui()->GetAlwaysRedrawRect(), IRECT(26, 73, 784, 77));
  ERect* rect = nullptr;
  Fx()->dispatcher(Fx(), effEditGetRect, 0, 0, &rect, 0.0f);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right - rect->left, 808);
  EXPECT_EQ(rect->bottom - rect->top, 492);
}

TEST_F(EditorTest, VersionTextShowsTheEffectVersion)
{
  auto* version = dynamic_cast<ITextControl*>(Gui()->GetControl(1));
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(version->GetText(), "v1.01");
}

TEST_F(EditorTest, HiddenNoteFieldsAreNeverHit)
{
  for (int s = 0; s < kNumSlots; ++s)
  {
    NoteNumberField* field = RangeView(s)->TextField();
    ASSERT_NE(field, nullptr);
    EXPECT_TRUE(field->IsHidden());
    const IRECT& r = field->GetRECT();
    EXPECT_EQ(Gui()->ControlAt(r.MW(), r.MH()), Gui()->GetControlIdx(RangeView(s)));
  }
}

TEST_F(EditorTest, ProductPageAreaOpensTheMakersPageAndNamesTheFailure)
{
  Click(400, 30);
  ASSERT_EQ(Gui()->WebPages().size(), 1u);
  EXPECT_EQ(Gui()->WebPages()[0].mUrl, "https://tovrane.example/products/Kestrune");
  EXPECT_EQ(Gui()->WebPages()[0].mErrorText, "Cannot open url. Check your default browser.");
  EXPECT_TRUE(Gui()->WebPages()[0].mTitle.empty());
  EXPECT_TRUE(Gui()->WebPages()[0].mConfirm.empty());
}
} // namespace editortest

namespace editortest
{
TEST_F(EditorTest, HostOpensAndClosesTheEditorAgainAndAgainWithTheSameControls)
{
  const int controls = Gui()->NControls();
  IControl* knob = ControlFor(5);
  Fx()->dispatcher(Fx(), effEditClose, 0, 0, nullptr, 0.0f);
  EXPECT_FALSE(Gui()->IsOpen());
  Fx()->dispatcher(Fx(), effEditClose, 0, 0, nullptr, 0.0f); // unpaired close
  int parent = 0;
  EXPECT_EQ(Fx()->dispatcher(Fx(), effEditOpen, 0, 0, &parent, 0.0f), 1);
  EXPECT_TRUE(Gui()->IsOpen());
  EXPECT_EQ(Gui()->NControls(), controls);
  EXPECT_EQ(ControlFor(5), knob);
}
} // namespace editortest
