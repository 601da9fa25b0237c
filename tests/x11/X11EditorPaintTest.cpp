// What the X11 editor shows: the same pixels as the window-less context, on both copy paths.

#include "X11EditorFixture.h"

#include "drawing/DRAW_SysBitmap.h"
#include "platform/headless/IGraphicsHeadless.h"

#include <mutex>

namespace x11_test
{
namespace
{
// The window-less rendering of the test editor with the gain at normalized, 0x00RRGGBB per pixel.
std::vector<uint32_t> WindowlessFrame(float normalized)
{
  auto plug = std::make_unique<X11TestPlug>(false);
  AEffect* effect = plug->GetAEffect();
  effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
  effect->setParameter(effect, kGain, normalized);
  IGraphicsHeadless* g = plug->Headless();
  g->Open(nullptr);
  IRECT all(0, 0, kEditorW, kEditorH);
  g->Draw(&all);
  std::vector<uint32_t> pixels;
  DRAW_SysBitmap* b = g->GetDrawBitmap();
  for (int y = 0; y < kEditorH; ++y)
    for (int x = 0; x < kEditorW; ++x)
      pixels.push_back(b->getBits()[y * b->getRowSpan() + x] & 0xffffffu);
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
  plug.release();
  return pixels;
}

int CountDifferences(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b)
{
  if (a.size() != b.size()) return -1;
  int n = 0;
  for (size_t i = 0; i < a.size(); ++i)
    n += a[i] != b[i];
  return n;
}
} // namespace

class X11EditorPaint : public X11EditorFixture
{
protected:
  void TearDown() override
  {
    IGraphicsLinux::AllowSharedMemory(true);
    X11EditorFixture::TearDown();
  }

  void ExpectFirstFrameMatchesWindowless(bool sharedMemory)
  {
    IGraphicsLinux::AllowSharedMemory(sharedMemory);
    AutomateGain(0.73f);
    ASSERT_TRUE(OpenEditor());
    EXPECT_EQ(mPlug->Linux()->SharedMemoryInUse(), sharedMemory);
    std::vector<uint32_t> screen = mHost->ReadPixels(EditorWindow(), 0, 0, kEditorW, kEditorH);
    std::vector<uint32_t> expected = WindowlessFrame(0.73f);
    ASSERT_EQ(screen.size(), expected.size());
    EXPECT_EQ(CountDifferences(screen, expected), 0);
    // Corners and an edge pixel of the knob, named so a failure says where.
    EXPECT_EQ(screen[0], expected[0]);
    EXPECT_EQ(screen.back(), expected.back());
    EXPECT_EQ(screen[kKnobRect.T * kEditorW + kKnobRect.L], ColourKnob::ColourFor(0.73));
  }
};

TEST_F(X11EditorPaint, FirstFrameEqualsTheWindowlessRenderingThroughSharedMemory)
{
  ExpectFirstFrameMatchesWindowless(true);
}

TEST_F(X11EditorPaint, FirstFrameEqualsTheWindowlessRenderingThroughPutImage)
{
  ExpectFirstFrameMatchesWindowless(false);
}

TEST_F(X11EditorPaint, ClosedEditorDrawsItsBackBufferLikeTheWindowlessOne)
{
  // Never opened: a draw pass fills the back buffer exactly as the window-less context does.
  AutomateGain(0.25f);
  {
    std::lock_guard<InstanceMutex> lock(mPlug->Mutex());
    IRECT all(0, 0, kEditorW, kEditorH);
    EXPECT_TRUE(mPlug->Linux()->Draw(&all));
  }
  EXPECT_EQ(mPlug->Linux()->WindowId(), 0u);
  EXPECT_EQ(mPlug->Linux()->PaintCount(), 0);
  std::vector<uint32_t> drawn;
  DRAW_SysBitmap* b = mPlug->Linux()->GetDrawBitmap();
  for (int y = 0; y < kEditorH; ++y)
    for (int x = 0; x < kEditorW; ++x)
      drawn.push_back(b->getBits()[y * b->getRowSpan() + x] & 0xffffffu);
  EXPECT_EQ(CountDifferences(drawn, WindowlessFrame(0.25f)), 0);
}

TEST_F(X11EditorPaint, EditorSizeIsAnsweredBeforeTheEditorOpens)
{
  ERect* rect = nullptr;
  ASSERT_EQ(mPlug->Dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right - rect->left, kEditorW);
  EXPECT_EQ(rect->bottom - rect->top, kEditorH);
  EXPECT_EQ(EditorWindow(), 0u);
}
} // namespace x11_test
