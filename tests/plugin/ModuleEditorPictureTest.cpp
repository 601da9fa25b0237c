// The editor-picture vendor call through the built module: the whole editor drawn without a window
// into host memory at each of its sizes, and every malformed request refused without a byte written.

#include "plugin/ModuleFixture.h"

#include "framework/EditorPicture.h"

#include <algorithm>
#include <cstdlib>
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
                VstIntPtr value = kVendorEditorPictureValue, int scale = 0)
  {
    pixels->assign(static_cast<size_t>(std::max(width, 1)) * std::max(height, 1), kUntouched);
    EditorPictureRequest request;
    request.width = width;
    request.height = height;
    request.ticks = ticks;
    request.scale = scale;
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
  // Sizes other than the three, and a buffer of the 100 % size for the 200 % picture.
  EXPECT_EQ(Ask(mWidth, mHeight, 0, &pixels, kVendorEditorPictureValue, 125), 0);
  EXPECT_EQ(Ask(mWidth, mHeight, 0, &pixels, kVendorEditorPictureValue, 200), 0);
  EXPECT_TRUE(untouched());
  EditorPictureRequest sizeOnly;
  sizeOnly.scale = 175;
  EXPECT_EQ(
      mPlug->Dispatch(effVendorSpecific, kVendorEditorPictureIndex, kVendorEditorPictureValue, &sizeOnly), 0);
}

TEST_F(ModuleEditorPicture, RequestWithoutPixelsAnswersTheSizeOfEachScale)
{
  const int expected[][3] = {{0, 808, 492}, {100, 808, 492}, {150, 1212, 738}, {200, 1616, 984}};
  for (const auto& e : expected)
  {
    EditorPictureRequest request;
    request.scale = e[0];
    ASSERT_EQ(
        mPlug->Dispatch(effVendorSpecific, kVendorEditorPictureIndex, kVendorEditorPictureValue, &request),
        kVendorEditorPictureDrawn);
    EXPECT_EQ(request.width, e[1]) << e[0];
    EXPECT_EQ(request.height, e[2]) << e[0];
  }
}

TEST_F(ModuleEditorPicture, PictureAt200PercentIsThe100PercentPictureAtTwiceTheResolution)
{
  std::vector<uint32_t> small, large;
  ASSERT_EQ(Ask(mWidth, mHeight, 2, &small), kVendorEditorPictureDrawn);
  ASSERT_EQ(Ask(2 * mWidth, 2 * mHeight, 2, &large, kVendorEditorPictureValue, 200),
            kVendorEditorPictureDrawn);
  // Each unit's 2 x 2 pixels average to about the unit's colour: the same picture, not a part of it.
  auto channel = [](uint32_t p, int shift) { return static_cast<int>(p >> shift & 0xFF); };
  long long total = 0;
  int far = 0;
  for (int y = 0; y < mHeight; ++y)
    for (int x = 0; x < mWidth; ++x)
      for (int shift : {0, 8, 16})
      {
        int sum = 0;
        for (int dy = 0; dy < 2; ++dy)
          for (int dx = 0; dx < 2; ++dx)
            sum += channel(large[static_cast<size_t>(2 * y + dy) * 2 * mWidth + 2 * x + dx], shift);
        const int d = std::abs(sum / 4 - channel(small[static_cast<size_t>(y) * mWidth + x], shift));
        total += d;
        far += d > 96;
      }
  EXPECT_LT(static_cast<double>(total) / (3.0 * mWidth * mHeight), 6.0) << "mean difference per channel";
  EXPECT_LT(far, mWidth * mHeight / 50) << "channels far from the 100 % picture";
  // The picture call leaves the editor at its own size.
  ERect* rect = nullptr;
  mPlug->Dispatch(effEditGetRect, 0, 0, &rect);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right - rect->left, mWidth);
  ASSERT_EQ(Ask(mWidth, mHeight, 2, &large), kVendorEditorPictureDrawn);
  EXPECT_EQ(large, small);
}
} // namespace
} // namespace plugintest
