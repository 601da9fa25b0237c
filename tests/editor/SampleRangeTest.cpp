// The keyboard range view: geometry, held notes, mouse edits and typed note numbers (slot 0: the view
// spans x 25..175, y 201..256; usable width 140 px for 115 view notes).

#include "editor/EditorFixture.h"

#include "editor/NoteNumberField.h"
#include "framework/IGraphics.h"

#include <cstdlib>

namespace editortest
{
namespace
{
constexpr int kL = 25, kT = 201;
int Idx(int slot, ESlotParam kind)
{
  return slot * kParamsPerSlot + kind;
}

bool IsLitKey(DRAW_Pixel p)
{
  return DRAW_GetR(p) > 220 && DRAW_GetB(p) < 120;
}
// Light grey, far brighter than the keyboard strip under it.
bool IsUnlitKey(DRAW_Pixel p)
{
  return DRAW_GetR(p) > 110 && DRAW_GetB(p) > 110 && std::abs(DRAW_GetR(p) - DRAW_GetB(p)) < 30;
}
} // namespace

class SampleRangeTest : public EditorTest
{
protected:
  void SetUp() override
  {
    EditorTest::SetUp();
    LoadSample(0, 1000, 1, [](int, uint32_t) { return 0.5; });
  }
  // Sets the slot's range in MIDI notes through the host.
  void SetRange(int low, int high, int root = -1)
  {
    Fx()->setParameter(Fx(), Idx(0, kLowNote), static_cast<float>((low - 12) / 115.0));
    Fx()->setParameter(Fx(), Idx(0, kHighNote), static_cast<float>((high - 12) / 115.0));
    if (root >= 0) Fx()->setParameter(Fx(), Idx(0, kRootNote), static_cast<float>((root - 12) / 115.0));
  }
  SampleRange* View() { return RangeView(0); }
  void RightClick(int x, int y = 210) { Click(x, y, true); }
  void Press(int x, int y)
  {
    IMouseMod mod(true);
    Gui()->OnMouseDown(x, y, &mod);
  }
  void MoveTo(int x, int y)
  {
    IMouseMod mod(true);
    Gui()->OnMouseDrag(x, y, &mod);
  }
  void Release(int x, int y)
  {
    IMouseMod mod(true);
    Gui()->OnMouseUp(x, y, &mod);
  }
};

TEST_F(SampleRangeTest, DefaultRangeAndRootAreLaidOutOnTheCompressedAxis)
{
  EXPECT_EQ(View()->Low(), 24);
  EXPECT_EQ(View()->High(), 115);
  EXPECT_EQ(View()->Root(), 29);
  // a = round(24 * 140 / 115) + 1 = 30, b = ceil(115 * 140 / 115) + 10 = 150.
  EXPECT_EQ(View()->RangeBarRect(), IRECT(kL + 30, kT + 5, kL + 150, kT + 29));
  // 29 * 140 / 115 = 35.3: (L + 1 + 35, L + 10 + 36).
  EXPECT_EQ(View()->RootMarkerRect(), IRECT(kL + 36, kT + 5, kL + 46, kT + 29));
  Gui()->Ticks(1);
  // The root marker is drawn in its blue over the range bar.
  const DRAW_Pixel root = PixelAt(kL + 40, kT + 15);
  EXPECT_GT(DRAW_GetB(root), DRAW_GetR(root) + 80);
}

TEST_F(SampleRangeTest, HeldNotesAreMarkedLeftOfInsideAndRightOfTheRange)
{
  SetRange(36, 96); // view 24..84: b = ceil(84 * 140 / 115) + 10 = 113
  NoteOn(24);       // view 12, below the range
  NoteOn(60);       // view 48, inside
  NoteOn(112);      // view 100, above
  ASSERT_EQ(View()->HeldCount(), 3);
  bool inRange = true;
  EXPECT_EQ(View()->HeldMarkX(12, &inRange), kL - 2 + (12 * 30) / 24);
  EXPECT_FALSE(inRange);
  EXPECT_EQ(View()->HeldMarkX(48, &inRange), kL + 30 - 3 + (24 * (113 - 30)) / 60);
  EXPECT_TRUE(inRange);
  // round(((R - b) - L) * 16 / 31) = round(37 * 16 / 31) = 19.
  EXPECT_EQ(View()->HeldMarkX(100, &inRange), kL - 2 + 113 + 19);
  EXPECT_FALSE(inRange);

  Gui()->Ticks(1);
  EXPECT_TRUE(IsUnlitKey(PixelAt(View()->HeldMarkX(12, nullptr) + 2, kT + 12)));
  EXPECT_TRUE(IsLitKey(PixelAt(View()->HeldMarkX(48, nullptr) + 3, kT + 12)));
  EXPECT_TRUE(IsUnlitKey(PixelAt(View()->HeldMarkX(100, nullptr) + 2, kT + 12)));

  NoteOff(60);
  Gui()->Ticks(1);
  EXPECT_EQ(View()->HeldCount(), 2);
  EXPECT_FALSE(IsLitKey(PixelAt(View()->HeldMarkX(48, nullptr) + 3, kT + 12)));
}

TEST_F(SampleRangeTest, LowEqualToHighGivesANarrowBarWithTheHeldNoteCentred)
{
  SetRange(60, 60);
  const IRECT bar = View()->RangeBarRect();
  EXPECT_EQ(bar.W(), 10);
  bool inRange = false;
  const int x = View()->HeldMarkX(48, &inRange);
  EXPECT_TRUE(inRange);
  EXPECT_EQ(2 * x + 6, bar.L + bar.R); // the 6-pixel mark's centre is the bar's centre
}

TEST_F(SampleRangeTest, DraggingTheHighEndPastTheLowEndStopsAtLowAndViceVersa)
{
  SetRange(52, 53); // view 40, 41: loX = 74, hiX = 85, mid = 80
  Press(85, 210);   // on the high end: ceil((85 - 35) * 115 / 140) = 42
  EXPECT_EQ(View()->High(), 42);
  EXPECT_EQ(Gui()->Cursor(), IGraphics::kCursorSizeWE);
  MoveTo(82, 210); // still right of the middle, but below the low note: high = low
  Release(82, 210);
  EXPECT_EQ(View()->High(), 40);
  EXPECT_EQ(View()->Low(), 40);
  EXPECT_EQ(Param(0, kHighNote)->Value(), 52.0);
  EXPECT_EQ(Gui()->Cursor(), IGraphics::kCursorArrow);

  SetRange(52, 53);
  Press(74, 210);  // on the low end: (int)((74 - 25) * 115 / 140) = 40
  MoveTo(80, 210); // 45 wanted, above the high note: low = high
  Release(80, 210);
  EXPECT_EQ(View()->Low(), 41);
  EXPECT_EQ(View()->High(), 41);
  EXPECT_EQ(Engine().mLowNote[0], 53);
}

TEST_F(SampleRangeTest, TheEndGrabbedAtThePressIsTheOneMovedForTheWholeDrag)
{
  SetRange(36, 111);                  // view 24..99: loX = 54, hiX = 156, mid = 105; the root marker is at 65
  Press(156, 210);                    // the high end
  for (int x = 150; x >= 30; x -= 10) // across the middle and past the low end
  {
    MoveTo(x, 210);
    ASSERT_EQ(View()->Low(), 24) << x;
  }
  Release(30, 210);
  EXPECT_EQ(View()->High(), 24); // high = low
  EXPECT_EQ(Engine().mLowNote[0], 36);

  SetRange(36, 111);
  Press(54, 210); // the low end
  for (int x = 60; x <= 170; x += 10)
  {
    MoveTo(x, 210);
    ASSERT_EQ(View()->High(), 99) << x;
  }
  Release(170, 210);
  EXPECT_EQ(View()->Low(), 99); // low = high
  EXPECT_EQ(Engine().mHighNote[0], 111);

  // The next press chooses afresh: right of the middle, the high end again.
  Press(170, 210);
  MoveTo(40, 210);
  Release(40, 210);
  EXPECT_EQ(View()->Low(), 99);
  EXPECT_EQ(View()->High(), 99);
}

TEST_F(SampleRangeTest, ClickNearTheRootMarkerMovesTheRootForTheWholeDrag)
{
  // Root 29: rootX = 25 + 5 + 35 = 65.
  Press(67, 210);
  EXPECT_EQ(View()->Root(), 30); // round((67 - 5 - 25) * 115 / 140)
  EXPECT_EQ(View()->EditMode(), SampleRange::kEditRootMouse);
  EXPECT_EQ(Gui()->Cursor(), IGraphics::kCursorUpArrow);
  MoveTo(175, 215); // past the high end: still the root
  EXPECT_EQ(View()->Root(), 115);
  MoveTo(26, 215); // past the low end, clamped at view note 0
  EXPECT_EQ(View()->Root(), 0);
  Release(26, 215);
  EXPECT_EQ(Param(0, kRootNote)->Value(), 12.0);
  EXPECT_EQ(Engine().mRootNote[0], 12);
  EXPECT_EQ(View()->Low(), 24);
  EXPECT_EQ(View()->High(), 115);
}

TEST_F(SampleRangeTest, TypedNoteNumbersAreClampedToTheirEnd)
{
  SetRange(36, 100, 60);
  Gui()->QueuePromptAnswer("200");
  RightClick(150);
  EXPECT_EQ(Param(0, kHighNote)->Value(), 127.0);
  EXPECT_EQ(View()->High(), 115);
  EXPECT_FALSE(View()->IsEditing());
  EXPECT_TRUE(View()->TextField()->GetText().empty());

  Gui()->QueuePromptAnswer("200");
  RightClick(100);
  EXPECT_EQ(Param(0, kRootNote)->Value(), 127.0);
  Gui()->QueuePromptAnswer("5");
  RightClick(100);
  EXPECT_EQ(Param(0, kRootNote)->Value(), 12.0);
  EXPECT_EQ(Engine().mRootNote[0], 12);

  Gui()->QueuePromptAnswer("50");
  RightClick(40);
  EXPECT_EQ(Param(0, kLowNote)->Value(), 50.0);
  Gui()->QueuePromptAnswer(" +200xyz"); // "%d" reading: blanks, sign, digits, the rest ignored
  RightClick(40);
  EXPECT_EQ(Param(0, kLowNote)->Value(), 127.0);
  SetRange(36, 60);
  Gui()->QueuePromptAnswer("90"); // above the high end: low = high
  RightClick(40);
  EXPECT_EQ(Param(0, kLowNote)->Value(), 60.0);
  Gui()->QueuePromptAnswer("5"); // below the high end's floor: high = low
  RightClick(150);
  EXPECT_EQ(Param(0, kHighNote)->Value(), 60.0);
}

TEST_F(SampleRangeTest, AtMostTwelveHeldNotesAreShownAndAKeyOnlyOnce)
{
  for (int note = 40; note < 53; ++note)
    NoteOn(note);
  EXPECT_EQ(View()->HeldCount(), 12);
  for (int i = 0; i < 12; ++i)
    EXPECT_EQ(View()->HeldNote(i), 40 + i - 12);
  NoteOff(41);
  EXPECT_EQ(View()->HeldCount(), 11);
  EXPECT_EQ(View()->HeldNote(1), 51 - 12); // the last entry moved into the gap
  NoteOn(60);
  NoteOn(60);
  EXPECT_EQ(View()->HeldCount(), 12);

  Gui()->Ticks(1);
  NoteOn(60); // already shown: no redraw
  EXPECT_FALSE(View()->IsDirty());
  NoteOff(100); // not held: nothing changes, but the view redraws
  EXPECT_EQ(View()->HeldCount(), 12);
  EXPECT_TRUE(View()->IsDirty());
}

TEST_F(SampleRangeTest, TheLowestKeyIsTrackedWithTheLowEndAtViewNoteZero)
{
  SetRange(12, 60);
  EXPECT_EQ(View()->RangeBarRect().L, kL + 1);
  NoteOn(12);
  ASSERT_EQ(View()->HeldCount(), 1);
  EXPECT_EQ(View()->HeldNote(0), 0);
  bool inRange = false;
  EXPECT_EQ(View()->HeldMarkX(0, &inRange), kL + 1 - 3);
  EXPECT_TRUE(inRange);
  Gui()->Ticks(1);
  NoteOff(12);
  EXPECT_EQ(View()->HeldCount(), 0);
  // Notes below the strip's first key are not tracked at all.
  View()->SetNoteHeld(11, true);
  EXPECT_EQ(View()->HeldCount(), 0);
  // A note left of a range starting at view note 0 cannot occur; should one, it sits at the left edge.
  EXPECT_EQ(View()->HeldMarkX(-1, &inRange), kL - 2);
}

} // namespace editortest
