#pragma once
// Fixture of the loading-flow tests: an in-process sampler instance (its slot fields and file state can
// be read), a temp folder and writers of small WAV, Ogg and FLAC files.

#include "platform/headless/IGraphicsHeadless.h"
#include "plugin/KestruneFixture.h"
#include "samplefiles/FlacTestFiles.h"
#include "samplefiles/OggTestFiles.h"
#include "samplefiles/WavTestFiles.h"

#include <string>
#include <vector>

namespace loadingtest
{

// 16-bit sample k of channel c: distinct, exact in double after scaling by 1/32768.
inline int16_t Pcm(int c, int k)
{
  return static_cast<int16_t>(100 * (c + 1) + k);
}

class LoadingTest : public plugintest::KestruneTest
{
protected:
  using Route = CLS_KESTRUNE::LoadRoute;

  // A 16-bit WAV of frames frames per channel.
  std::string WriteWav(const std::string& name, int channels = 1, uint32_t rate = 44100, int frames = 16)
  {
    std::vector<int16_t> samples;
    for (int k = 0; k < frames; ++k)
      for (int c = 0; c < channels; ++c)
        samples.push_back(Pcm(c, k));
    return mDir.Write(name, wavtest::Riff({wavtest::Fmt(1, static_cast<uint16_t>(channels), rate, 16),
                                           wavtest::Chunk("data", wavtest::Pcm16(samples))}));
  }

  std::string WriteOgg(const std::string& name, int channels = 1, long rate = 44100, long frames = 4410)
  {
    const std::string path = mDir.In(name);
    EXPECT_TRUE(oggtest::WriteOgg(path, channels, rate, frames));
    return path;
  }

  // A 16-bit FLAC file of frames frames of the tests' ramp.
  std::string WriteFlac(const std::string& name, int channels = 1, uint32_t rate = 44100,
                        uint32_t frames = 4410)
  {
    const std::string path = mDir.In(name);
    EXPECT_TRUE(flactest::WriteFlac(path, channels, rate, 16, flactest::Samples(channels, frames, 16)));
    return path;
  }

  void Load(int slot, const std::string& path, Route route = Route::kHost)
  {
    mPlug->LoadFile(slot, path.c_str(), route);
  }

  const SlotFile& File(int slot) const { return mPlug->File(slot); }
  std::string Saved(int slot) const { return mPlug->GetExtraParam(slot); }
  uint32_t Frames(int slot) { return E().mSampleFrames[slot]; }

  // An empty slot: no frames, one 0.0, the given name.
  void ExpectEmpty(int slot, const char* name)
  {
    EXPECT_EQ(E().mSampleFrames[slot], 0u);
    ASSERT_NE(E().mSampleData[slot], nullptr);
    EXPECT_EQ(E().mSampleData[slot][0], 0.0);
    EXPECT_STREQ(File(slot).DisplayName(), name);
  }

  int HostCalls(VstInt32 opcode, VstInt32 index) const
  {
    int n = 0;
    for (const plugintest::HostCall& c : mHost.mCalls)
      n += c.opcode == opcode && c.index == index ? 1 : 0;
    return n;
  }

  wavtest::TempDir mDir;
};

// The same with the editor open in the window-less context.
class EditorLoadingTest : public LoadingTest
{
protected:
  void SetUp() override
  {
    LoadingTest::SetUp();
    OpenAt(44100.0);
    mGui = dynamic_cast<IGraphicsHeadless*>(IGraphics::Of(mPlug.get()));
    ASSERT_NE(mGui, nullptr);
    ASSERT_NE(mGui->Open(nullptr), nullptr);
    mGui->Ticks(1);
  }
  void TearDown() override
  {
    if (mGui) mGui->Close();
    LoadingTest::TearDown();
  }

  IGraphicsHeadless* mGui = nullptr;
};
} // namespace loadingtest
