// The loading flow on an in-process instance: header and data steps, names, failures, saved paths.

#include "loading/LoadingFixture.h"

#include <cstdio>
#include <cstring>

using namespace loadingtest;

using LoadingFlow = LoadingTest;

TEST_F(LoadingFlow, LoadFillsTheHeaderFieldsThePlanarDataTheNameAndTheSavedPath)
{
  OpenAt(44100.0);
  const std::string path = WriteWav("stereo.wav", 2, 22050, 441);
  mHost.ClearRecord();
  Load(3, path);
  EXPECT_EQ(E().mSampleFrames[3], 441u);
  EXPECT_EQ(E().mSampleChannels[3], 2);
  EXPECT_EQ(E().mRateRatio[3], 0.5);
  EXPECT_EQ(E().mSampleFileRate[3], 22050.0);
  EXPECT_DOUBLE_EQ(File(3).Duration(), 0.02);
  for (int k : {0, 1, 440})
  {
    EXPECT_EQ(E().mSampleData[3][k], Pcm(0, k) / 32768.0) << k;
    EXPECT_EQ(E().mSampleData[3][441 + k], Pcm(1, k) / 32768.0) << k;
  }
  EXPECT_STREQ(File(3).Path(), path.c_str());
  EXPECT_STREQ(File(3).DisplayName(), "stereo.wav");
  EXPECT_STREQ(File(3).Extension(), "wav");
  EXPECT_TRUE(mPlug->File(3).TakeChanged());
  EXPECT_EQ(Saved(3), path);
  // The host hears of the new state through a gesture on parameter 0.
  EXPECT_GE(HostCalls(audioMasterBeginEdit, 0), 1);
  EXPECT_EQ(HostCalls(audioMasterBeginEdit, 0), HostCalls(audioMasterEndEdit, 0));
}

TEST_F(LoadingFlow, ExtensionsLoadInAnyCaseAndAsTheBeginningOfTheirKeyword)
{
  OpenAt(44100.0);
  const struct
  {
    std::string name;
    bool ogg;
    bool loads;
  } files[] = {{"upper.WAV", false, true}, {"prefix.w", false, true},  {"mixed.Ogg", true, true},
               {"prefix.og", true, true},  {"text.txt", false, false}, {"long.wave", false, false},
               {"wav.ogg", false, false}};
  for (const auto& f : files)
  {
    SCOPED_TRACE(f.name);
    const std::string path = f.ogg ? WriteOgg(f.name) : WriteWav(f.name);
    Load(0, path);
    if (f.loads)
    {
      EXPECT_NE(Frames(0), 0u);
      EXPECT_EQ(std::string(File(0).DisplayName()), f.name);
    }
    else
    {
      ExpectEmpty(0, "wrong audio");
    }
  }
}

TEST_F(LoadingFlow, FileNamesOfMoreThanTwentyCharactersAreShownCut)
{
  OpenAt(44100.0);
  Load(0, WriteWav("abcdefghijklmnop.wav"));
  EXPECT_STREQ(File(0).DisplayName(), "abcdefghijklmnop.wav");
  Load(0, WriteWav("abcdefghijklmnopqrstuv.wav"));
  EXPECT_STREQ(File(0).DisplayName(), "abcdefghijklmnopqrs");
}

TEST_F(LoadingFlow, OggRatioIsRoundedToSinglePrecisionAndWavRatioIsNot)
{
  OpenAt(48000.0);
  Load(0, WriteOgg("tone.ogg", 2, 44100, 4410));
  Load(1, WriteWav("tone.wav", 1, 44100));
  EXPECT_EQ(E().mSampleFrames[0], 4410u);
  EXPECT_EQ(E().mSampleChannels[0], 2);
  EXPECT_EQ(E().mRateRatio[0], static_cast<double>(static_cast<float>(44100.0 / 48000.0)));
  EXPECT_NE(E().mRateRatio[0], 44100.0 / 48000.0);
  EXPECT_EQ(E().mRateRatio[1], 44100.0 / 48000.0);
}

TEST_F(LoadingFlow, SampleLoadedBeforeTheHostAnnouncesARateGetsItsRatioAtTheFirstReset)
{
  Load(2, WriteWav("early.wav", 1, 44100));
  EXPECT_EQ(E().mSampleFrames[2], 16u);
  OpenAt(48000.0);
  EXPECT_EQ(E().mRateRatio[2], 44100.0 / 48000.0);
}

TEST_F(LoadingFlow, ReverseInForceWhenLoadingHoldsTheDataReversed)
{
  OpenAt(44100.0);
  Apply(kReverse, 1);
  Load(0, WriteWav("st.wav", 2, 44100, 5));
  for (int k = 0; k < 5; ++k)
  {
    EXPECT_EQ(E().mSampleData[0][k], Pcm(0, 4 - k) / 32768.0) << k;
    EXPECT_EQ(E().mSampleData[0][5 + k], Pcm(1, 4 - k) / 32768.0) << k;
  }
  Apply(kReverse, 0);
  EXPECT_EQ(E().mSampleData[0][0], Pcm(0, 0) / 32768.0);
}

TEST_F(LoadingFlow, EditorRouteEndsInTheSameSlotStateAsTheHostRoute)
{
  OpenAt(48000.0);
  Apply(kReverse, 1);
  Apply(1 * kParamsPerSlot + kReverse, 1);
  for (const std::string& path : {WriteWav("a.wav", 2, 22050, 300), WriteOgg("b.ogg", 2, 32000, 3000)})
  {
    SCOPED_TRACE(path);
    Load(0, path, Route::kHost);
    Load(1, path, Route::kEditor);
    ASSERT_EQ(E().mSampleFrames[0], E().mSampleFrames[1]);
    EXPECT_EQ(E().mSampleChannels[0], E().mSampleChannels[1]);
    EXPECT_EQ(E().mRateRatio[0], E().mRateRatio[1]);
    EXPECT_EQ(E().mSampleFileRate[0], E().mSampleFileRate[1]);
    const size_t n = E().mSampleFrames[0] * static_cast<size_t>(E().mSampleChannels[0]);
    EXPECT_EQ(std::memcmp(E().mSampleData[0].get(), E().mSampleData[1].get(), n * sizeof(double)), 0);
    EXPECT_STREQ(File(0).Path(), File(1).Path());
    EXPECT_STREQ(File(0).DisplayName(), File(1).DisplayName());
    EXPECT_STREQ(File(0).PreviousPath(), File(1).PreviousPath());
    EXPECT_STREQ(File(0).NextPath(), File(1).NextPath());
    EXPECT_EQ(File(0).Duration(), File(1).Duration());
    EXPECT_EQ(Saved(0), Saved(1));
  }
}

TEST_F(LoadingFlow, ReloadStopsTheSlotsOwnVoicesOnly)
{
  OpenAt(44100.0);
  const std::string a = WriteWav("a.wav", 1, 44100, 4000);
  Load(0, a);
  Load(1, a);
  Apply(1 * kParamsPerSlot + kLowNote, 12);
  Render(4);
  NoteOn(60);
  ASSERT_EQ(E().mVoiceCount, 2);
  Load(0, WriteWav("b.wav"), Route::kEditor);
  EXPECT_EQ(E().mVoiceSlot[0], 0);
  EXPECT_EQ(E().mVoiceSlot[1], 2);
  Load(1, a, Route::kHost);
  EXPECT_EQ(E().mVoiceSlot[1], 0);
}

TEST_F(LoadingFlow, FileThatCannotBeReadClearsTheSlotWithWrongAudio)
{
  OpenAt(44100.0);
  const std::string good = WriteWav("good.wav");
  const std::string bad = mDir.Write("bad.wav", {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'});
  for (Route route : {Route::kHost, Route::kEditor})
  {
    Load(4, good);
    ASSERT_NE(Frames(4), 0u);
    mPlug->File(4).TakeChanged();
    Load(4, bad, route);
    ExpectEmpty(4, "wrong audio");
    EXPECT_TRUE(mPlug->File(4).TakeChanged());
    EXPECT_STREQ(File(4).Path(), bad.c_str());
    // A file the user chose is forgotten; one the host handed back stays in the saved state.
    EXPECT_EQ(Saved(4), route == Route::kHost ? bad : std::string());
  }
}

TEST_F(LoadingFlow, FileThatVanishesBeforeTheDataStepClearsTheSlotCleanly)
{
  OpenAt(44100.0);
  const std::string path = WriteWav("gone.wav", 2, 44100, 4000);
  Load(1, path);
  Render(4);
  NoteOn(60);
  ASSERT_EQ(E().mVoiceCount, 1);
  ASSERT_EQ(std::remove(path.c_str()), 0);
  mPlug->MyParamChange(1); // the data step on the header fields already in place
  ExpectEmpty(1, "wrong audio");
  EXPECT_EQ(E().mVoiceCount, 0);
  Render(64);
  EXPECT_TRUE(Silent());
}

TEST_F(LoadingFlow, FileWithoutFramesIsTheSlotsFileAndKeepsItsPath)
{
  OpenAt(44100.0);
  // One byte of 16-bit data: the header opens, with 0 frames.
  const std::string path =
      mDir.Write("empty.wav", wavtest::Riff({wavtest::Fmt(1, 1, 44100, 16), wavtest::Chunk("data", {0})}));
  Load(0, WriteWav("full.wav"));
  Load(0, path);
  ExpectEmpty(0, "empty.wav");
  EXPECT_EQ(Saved(0), path);
  Load(1, path, Route::kEditor);
  ExpectEmpty(1, "empty.wav");
  EXPECT_EQ(Saved(1), path);
}

TEST_F(LoadingFlow, PathsLongerThanTheFieldsAreRefusedWithoutOverflow)
{
  OpenAt(44100.0);
  const std::string good = WriteWav("good.wav");
  // 1023 characters: fits the slot's field; the file does not exist.
  std::string fits = "/" + std::string(1018, 'f') + ".wav";
  ASSERT_EQ(fits.size(), 1023u);
  mPlug->OnExtraParam(0, fits.data());
  ExpectEmpty(0, "wrong audio");
  EXPECT_EQ(Saved(0), fits);

  // 1024 characters: fits the saved text (1025 bytes) but not the slot's field.
  std::string longer = "/" + std::string(1019, 'g') + ".wav";
  Load(0, good);
  mPlug->OnExtraParam(0, longer.data());
  ExpectEmpty(0, "wrong audio");
  EXPECT_STREQ(File(0).Path(), good.c_str()); // refused, not cut
  EXPECT_EQ(Saved(0), longer);                // the host's path is kept for the next save
  // Handed over in the saved text's own buffer, which the flow rewrites on the way: still kept.
  mPlug->OnExtraParam(0, mPlug->GetExtraParam(0));
  EXPECT_EQ(Saved(0), longer);
  Load(0, good);
  Load(0, longer, Route::kEditor);
  ExpectEmpty(0, "wrong audio");
  EXPECT_STREQ(File(0).Path(), good.c_str());
  EXPECT_EQ(Saved(0), "");

  // 1025 characters and more: no field holds them; the slot keeps what it had.
  Load(0, good);
  std::string tooLong = "/" + std::string(1020, 'h') + ".wav";
  mPlug->OnExtraParam(0, tooLong.data());
  EXPECT_NE(Frames(0), 0u);
  EXPECT_EQ(Saved(0), good);
}

TEST_F(LoadingFlow, RemovedSampleKeepsItsNeighboursForThePreviousAndNextButtons)
{
  OpenAt(44100.0);
  for (const char* name : {"a.wav", "b.wav", "c.wav"})
    WriteWav(name);
  Load(2, mDir.Path() + "/b.wav");
  const std::string previous = File(2).PreviousPath();
  const std::string next = File(2).NextPath();
  ASSERT_FALSE(previous.empty() && next.empty());

  mPlug->ClearSample(2, "...");
  ExpectEmpty(2, "...");
  EXPECT_EQ(Saved(2), "");
  EXPECT_EQ(File(2).PreviousPath(), previous);
  EXPECT_EQ(File(2).NextPath(), next);

  const std::string target = next.empty() ? previous : next;
  Load(2, target, Route::kEditor);
  EXPECT_NE(Frames(2), 0u);
  EXPECT_EQ(Saved(2), target);
  // From the neighbour, the removed file is a neighbour again.
  const std::string back = next.empty() ? File(2).NextPath() : File(2).PreviousPath();
  EXPECT_EQ(back, mDir.Path() + "/b.wav");
}

TEST_F(LoadingFlow, ZeroTextFromTheHostLeavesTheSlotAlone)
{
  OpenAt(44100.0);
  const std::string path = WriteWav("keep.wav");
  Load(0, path);
  char zero[] = "0";
  mPlug->OnExtraParam(0, zero);
  EXPECT_EQ(Frames(0), 16u);
  EXPECT_EQ(Saved(0), path);
}

TEST_F(LoadingFlow, CancelledPromptReloadsALoadedSlotAndLeavesANeverLoadedSlotAlone)
{
  // Without an open editor the file chooser answers as a cancelled dialog.
  OpenAt(44100.0);
  const std::string path = WriteWav("again.wav", 1, 44100, 16);
  Load(0, path);
  // The file changed on disk meanwhile: cancelling reads it again.
  WriteWav("again.wav", 1, 44100, 32);
  Load(0, "", Route::kEditor);
  EXPECT_EQ(Frames(0), 32u);
  EXPECT_EQ(Saved(0), path);

  mHost.ClearRecord();
  Load(1, "", Route::kEditor);
  Load(1, "", Route::kHost);
  ExpectEmpty(1, "...");
  EXPECT_STREQ(File(1).Path(), "...");
  EXPECT_EQ(Saved(1), "0");
  EXPECT_EQ(HostCalls(audioMasterBeginEdit, 0), 0);
}
