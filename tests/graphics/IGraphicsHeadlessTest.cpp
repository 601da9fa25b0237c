// The headless platform layer: images by id and name, embedded images, and the recorded platform
// services answering as a user who cancels unless a test scripted another answer.

#include "platform/headless/IGraphicsHeadless.h"
#include "drawing/DRAW_MemBitmap.h"
#include "drawing/DRAW_PNG.h"
#include "drawing/DRAW_SysBitmap.h"
#include "framework/IEffectVST.h"
#include "platform/headless/EmbeddedImages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace
{

namespace fs = std::filesystem;

VstIntPtr QuietHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float)
{
  return 0;
}

class QuietPlug : public IEffectVST
{
public:
  QuietPlug()
      : IEffectVST(IEffectInstanceInfo{&QuietHost}, 0, "0-2", 1, "Headless Test", "", "Tester", 0x10000,
                   0x48646c73, 0x54657374, 0, 0, true, true)
  {
  }
};

// A temporary folder removed with the object.
struct TempDir
{
  TempDir()
  {
    char pattern[] = "/tmp/kestrune_headless_XXXXXX";
    path = mkdtemp(pattern);
  }
  ~TempDir() { fs::remove_all(path); }
  fs::path path;
};

// A PNG file's bytes: w x h pixels, pixel (x, y) = (x * 10, y * 10, 7, 255 - x).
std::vector<unsigned char> MakePNG(const TempDir& dir, int w, int h)
{
  DRAW_MemBitmap bmp(w, h, 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      bmp.Row(y)[x] = DRAW_MakePixel(x * 10, y * 10, 7, 255 - x);
  fs::path file = dir.path / "made.png";
  EXPECT_TRUE(DRAW_SavePNG(&bmp, file.c_str()));
  std::ifstream in(file, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class HeadlessGraphics : public ::testing::Test
{
protected:
  void SetUp() override
  {
    mGraphics = new IGraphicsHeadless(&mPlug, 50, 40);
    mPlug.AttachGraphics(mGraphics);
  }
  QuietPlug mPlug;
  IGraphicsHeadless* mGraphics = nullptr; // owned by the plug-in
};

TEST_F(HeadlessGraphics, AddedPNGIsDecodedByIdOrByNameAndCachedOnce)
{
  TempDir dir;
  std::vector<unsigned char> png = MakePNG(dir, 6, 3);
  mGraphics->AddImage(88001, "made.png", png.data(), png.size());
  std::unique_ptr<DRAW_IBitmap> byName(mGraphics->LoadPlatformBitmap(-5, "made.png"));
  ASSERT_NE(byName, nullptr);
  EXPECT_EQ(byName->getWidth(), 6);
  EXPECT_EQ(byName->Row(2)[5], DRAW_MakePixel(50, 20, 7, 250));
  int loads = mGraphics->BitmapLoads();
  IBitmap a = mGraphics->LoadBitmap(88001, "", 3);
  IBitmap b = mGraphics->LoadBitmap(88001, "", 3);
  ASSERT_NE(a.mData, nullptr);
  EXPECT_EQ(a.mData, b.mData);
  EXPECT_EQ(a.H, 3);
  EXPECT_EQ(mGraphics->BitmapLoads(), loads + 1);
  EXPECT_EQ(mGraphics->LoadPlatformBitmap(88002, "other.png"), nullptr);
}

TEST_F(HeadlessGraphics, EveryEmbeddedImageIsAPNGFoundByItsIdAndName)
{
  for (int i = 0; i < kEmbeddedImageCount; ++i)
  {
    const EmbeddedImage& image = kEmbeddedImages[i];
    std::unique_ptr<DRAW_IBitmap> bmp(DRAW_LoadPNGFromMemory(image.mData, image.mSize));
    EXPECT_NE(bmp, nullptr) << image.mName;
    std::string path = std::string("../img/") + image.mName;
    EXPECT_EQ(FindEmbeddedImage(-1, path.c_str()), &image);
    if (image.mId >= 0)
    {
      EXPECT_EQ(FindEmbeddedImage(image.mId, nullptr)->mId, image.mId);
    }
  }
  EXPECT_EQ(FindEmbeddedImage(-1, "../img/no such image.png"), nullptr);
  EXPECT_EQ(FindEmbeddedImage(-1, nullptr), nullptr);
}

TEST(EmbedImagesScript, WritesEveryPNGWithTheIdsOfItsListAndAnEmptyTableForNone)
{
  TempDir dir;
  fs::path script =
      fs::path(KESTRUNE_TEST_DATA).parent_path().parent_path() / "platform/headless/EmbedImages.cmake";
  ASSERT_TRUE(fs::exists(script));
  fs::path img = dir.path / "img";
  fs::create_directory(img);
  fs::path out = dir.path / "out.cpp";
  auto run = [&]
  {
    std::string cmd = "cmake -DIMG_DIR=" + img.string() + " -DOUT=" + out.string() + " -P " +
                      script.string() + " > /dev/null 2>&1";
    return std::system(cmd.c_str());
  };
  ASSERT_EQ(run(), 0);
  std::ifstream empty(out);
  std::string emptyText((std::istreambuf_iterator<char>(empty)), std::istreambuf_iterator<char>());
  EXPECT_NE(emptyText.find("kEmbeddedImageCount = 0;"), std::string::npos);

  std::ofstream(img / "a.png", std::ios::binary) << "\x89PNG";
  std::ofstream(img / "b.png", std::ios::binary) << "xy";
  std::ofstream(img / "ids.txt") << "# id file\n104 b.png\n";
  ASSERT_EQ(run(), 0);
  std::ifstream two(out);
  std::string text((std::istreambuf_iterator<char>(two)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("kEmbeddedImageCount = 2;"), std::string::npos);
  EXPECT_NE(text.find("{-1, \"a.png\", kImage0, 4}"), std::string::npos);
  EXPECT_NE(text.find("{104, \"b.png\", kImage1, 2}"), std::string::npos);
  EXPECT_NE(text.find("0x89,0x50,0x4e,0x47,"), std::string::npos);

  std::ofstream(img / "ids.txt") << "one b.png\n";
  EXPECT_NE(run(), 0); // an unreadable id list stops the build
}

TEST_F(HeadlessGraphics, ResizeEmptiesTheControlListAndResizesTheBackBufferAndTheHostRect)
{
  mGraphics->Open(nullptr);
  mGraphics->SetBackground(88001, "made.png"); // missing here: an empty background control
  ASSERT_EQ(mGraphics->NControls(), 1);
  mGraphics->Resize(80, 30);
  EXPECT_EQ(mGraphics->NControls(), 0);
  EXPECT_EQ(mGraphics->GetDrawBitmap()->getWidth(), 80);
  ERect* rect = nullptr;
  AEffect* effect = mPlug.GetAEffect();
  ASSERT_EQ(effect->dispatcher(effect, effEditGetRect, 0, 0, &rect, 0.0f), 1);
  EXPECT_EQ(rect->right, 80);
  EXPECT_EQ(rect->bottom, 30);
}

} // namespace
