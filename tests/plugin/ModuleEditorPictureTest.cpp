// The editor-picture vendor call through the built module: the whole editor drawn without a window
// into host memory, and every malformed request refused without a byte written.

#include "plugin/ModuleFixture.h"

#include "framework/EditorPicture.h"

#include <algorithm>
#include <vector>

namespace plugintest
{
namespace
{
constexpr uint32_t kUntouched = 0x12345678;

class ModuleEditorPicture : public ModuleTest
{
protected:
  void SetUp() override
  {
    ModuleTest::SetUp();
    mPlug->Open(48000.0f, 512);
    ERect* rect = nullptr;
    mPlug->Dispatch(effEditGetRect, 0, 0, &rect);
    ASSERT_NE(rect, nullptr);
    mWidth = rect->right - rect->left;
    mHeight = rect->bottom - rect->top;
  }

  // Asks for a picture of width x height into a buffer prefilled with kUntouched.
  VstIntPtr Ask(int width, int height, int ticks, std::vector<uint32_t>* pixels,
                VstIntPtr value = kVendorEditorPictureValue)
  {
    pixels->assign(static_cast<size_t>(std::max(width, 1)) * std::max(height, 1), kUntouched);
    EditorPictureRequest request;
    request.width = width;
    request.height = height;
    request.ticks = ticks;
    request.pixels = pixels->data();
    return mPlug->Dispatch(effVendorSpecific, kVendorEditorPictureIndex, value, &request);
  }

  int mWidth = 0, mHeight = 0;
};

TEST_F(ModuleEditorPicture, WholeEditorComesBackOpaqueWithItsDarkPanelsAndLightSampleViews)
{
  std::vector<uint32_t> pixels;
  ASSERT_EQ(Ask(mWidth, mHeight, 24, &pixels), kVendorEditorPictureDrawn);
  EXPECT_TRUE(std::all_of(pixels.begin(), pixels.end(), [](uint32_t p) { return p >> 24 == 0xFF; }))
      << "every pixel of the editor is opaque";
  // A pixel is a word A R G B from the high byte down: the panel behind the knobs is dark, the empty
  // sample view of slot 1 light.
  auto brightness = [&](int x, int y)
  {
    const uint32_t p = pixels[static_cast<size_t>(y) * mWidth + x];
    return ((p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF)) / 3;
  };
  EXPECT_LT(brightness(20, 300), 80u);
  EXPECT_GT(brightness(100, 120), 180u);
}

TEST_F(ModuleEditorPicture, MalformedRequestsAreRefusedWithNothingWritten)
{
  std::vector<uint32_t> pixels;
  const auto untouched = [&]
  { return std::all_of(pixels.begin(), pixels.end(), [](uint32_t p) { return p == kUntouched; }); };
  EXPECT_EQ(Ask(mWidth - 1, mHeight, 0, &pixels), 0) << "narrower than the editor";
  EXPECT_TRUE(untouched());
  EXPECT_EQ(Ask(mWidth, mHeight + 1, 0, &pixels), 0) << "taller than the editor";
  EXPECT_TRUE(untouched());
  EXPECT_EQ(Ask(0, 0, 0, &pixels), 0);
  EXPECT_TRUE(untouched());
  EXPECT_EQ(Ask(mWidth, mHeight, -1, &pixels), 0);
  EXPECT_EQ(Ask(mWidth, mHeight, kEditorPictureMaxTicks + 1, &pixels), 0);
  EXPECT_TRUE(untouched());
  EXPECT_EQ(Ask(mWidth, mHeight, 0, &pixels, kVendorEditorPictureValue + 1), 0) << "another call's value";
  EXPECT_TRUE(untouched());

  EXPECT_EQ(mPlug->Dispatch(effVendorSpecific, kVendorEditorPictureIndex, kVendorEditorPictureValue, nullptr),
            0);
  EditorPictureRequest noBuffer;
  noBuffer.width = mWidth;
  noBuffer.height = mHeight;
  EXPECT_EQ(
      mPlug->Dispatch(effVendorSpecific, kVendorEditorPictureIndex, kVendorEditorPictureValue, &noBuffer), 0);
}
} // namespace
} // namespace plugintest
