// The loading flow on an in-process instance (header and data steps, names, failures, saved paths), the
// display-name rule and the folder neighbours, on real folders made by the tests.

#include "loading/LoadingFixture.h"
#include "samplefiles/FolderNeighbours.h"
#include "samplefiles/SampleFileAccess.h"
#include "samplefiles/SampleFileNames.h"
#include "samplefiles/SlotFile.h"
#include "samplefiles/WavTestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <string>
#include <vector>

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
  // A name of 16 characters in more than 20 bytes is shown whole.
  const std::string unicode = WriteWav("\u00dcn\u00efc\u00f8d\u00e9 \u00f1ame.wav", 1, 22050, 441);
  Load(4, unicode);
  EXPECT_STREQ(File(4).DisplayName(), "\u00dcn\u00efc\u00f8d\u00e9 \u00f1ame.wav");
  EXPECT_TRUE(mPlug->File(3).TakeChanged());
  EXPECT_EQ(Saved(3), path);
  // A path the host handed over is no news to it, and no parameter is touched for it.
  EXPECT_EQ(HostCalls(audioMasterBeginEdit, 0), 0);
  EXPECT_EQ(HostCalls(audioMasterEndEdit, 0), 0);
  EXPECT_EQ(HostCalls(audioMasterUpdateDisplay, 0), 0);
}

TEST_F(LoadingFlow, ExtensionsLoadInAnyCaseAndAsTheBeginningOfTheirKeyword)
{
  OpenAt(44100.0);
  enum Kind
  {
    kWav,
    kOgg,
    kFlac
  };
  const struct
  {
    std::string name;
    Kind kind;
    bool loads;
  } files[] = {{"upper.WAV", kWav, true},  {"prefix.w", kWav, true},    {"mixed.Ogg", kOgg, true},
               {"prefix.og", kOgg, true},  {"text.txt", kWav, false},   {"long.wave", kWav, false},
               {"wav.ogg", kWav, false},   {"upper.FLAC", kFlac, true}, {"prefix.fl", kFlac, true},
               {"flac.wav", kFlac, false}, {"long.flacc", kFlac, false}};
  for (const auto& f : files)
  {
    SCOPED_TRACE(f.name);
    const std::string path = f.kind == kOgg    ? WriteOgg(f.name)
                             : f.kind == kFlac ? WriteFlac(f.name)
                                               : WriteWav(f.name);
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

TEST(SampleFileNames, NamesLongerThanTwentyCharactersShowTheirFirstNineteen)
{
  EXPECT_EQ(DisplayNameOf("/s/abcdefghijklmnopqrstuvwxyz"), "abcdefghijklmnopqrs"); // 26 -> 19
  EXPECT_EQ(DisplayNameOf("/s/abcdefghijklmnop.wav"), "abcdefghijklmnop.wav");      // 20 stays whole
  EXPECT_EQ(DisplayNameOf("/s/abcdefghijklmnopq.wav"), "abcdefghijklmnopq.w");      // 21 -> 19
  EXPECT_EQ(DisplayNameOf("plain.wav"), "plain.wav");
}

TEST(SampleFileNames, NamesAreCountedAndCutInCharactersNeverInsideOne)
{
  // 16 characters in 21 bytes: whole.
  EXPECT_EQ(DisplayNameOf("/s/\u00dcn\u00efc\u00f8d\u00e9 \u00f1ame.wav"),
            "\u00dcn\u00efc\u00f8d\u00e9 \u00f1ame.wav");
  // 20 two-byte characters stay whole; 21 show their first 19 (38 bytes).
  const std::string twenty = []
  {
    std::string t;
    for (int i = 0; i < 20; ++i)
      t += "\u00e9";
    return t;
  }();
  EXPECT_EQ(DisplayNameOf("/s/" + twenty), twenty);
  EXPECT_EQ(DisplayNameOf("/s/" + twenty + "\u00e9"), twenty.substr(0, 38));
  // Four-byte characters, and a byte outside any sequence (a Latin-1 name), count as one each.
  const std::string notes = "\U0001D11E\U0001D11E\U0001D11E\U0001D11E\U0001D11E"; // five clefs, 20 bytes
  EXPECT_EQ(DisplayNameOf("/s/" + notes + notes + notes + notes + "x"),
            notes + notes + notes + notes.substr(0, 16));
  EXPECT_EQ(DisplayNameOf("/s/caf\xe9 \xe9t\xe9 1234567890a"), "caf\xe9 \xe9t\xe9 1234567890a"); // 20
  EXPECT_EQ(DisplayNameOf("/s/caf\xe9 \xe9t\xe9 1234567890ab"), "caf\xe9 \xe9t\xe9 1234567890"); // 21 -> 19
}

namespace
{
// The sample files of a folder as the system lists them: the independent reading of the rule.
std::vector<std::string> SampleFilesInListingOrder(const std::string& folder)
{
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return names;
  while (const dirent* e = readdir(dir))
  {
    std::string n = e->d_name;
    std::string lower;
    for (char c : n)
      lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    auto endsWith = [&lower](const std::string& end)
    { return lower.size() >= end.size() && lower.compare(lower.size() - end.size(), end.size(), end) == 0; };
    if (endsWith(".wav") || endsWith(".ogg") || endsWith(".flac")) names.push_back(n);
  }
  closedir(dir);
  return names;
}
} // namespace

TEST(FolderNeighbours, PreviousAndNextAreTheSampleFilesListedAroundTheCurrentOne)
{
  wavtest::TempDir dir;
  for (const char* name : {"a.wav", "b.ogg", "notes.txt", "c.WAV", "kit.sfz", "d.Ogg", "e.wave", "f.wav",
                           "g.flac", "h.FLAC", "i.fla"})
    dir.Write(name, {1, 2, 3});
  const std::vector<std::string> order = SampleFilesInListingOrder(dir.Path());
  ASSERT_EQ(order.size(), 7u);
  for (size_t i = 0; i < order.size(); ++i)
  {
    SCOPED_TRACE(order[i]);
    const FolderNeighbours n = FindFolderNeighbours(dir.Path() + "/" + order[i]);
    EXPECT_EQ(n.previous, i == 0 ? std::string() : dir.Path() + "/" + order[i - 1]);
    EXPECT_EQ(n.next, i + 1 == order.size() ? std::string() : dir.Path() + "/" + order[i + 1]);
  }
}

TEST_F(LoadingFlow, ProgramChangeKeepsTheBuffersOfUnchangedFilesAndReloadsChangedOnes)
{
  OpenAt(44100.0);
  const std::string kept = WriteWav("kept.wav", 1, 44100, 300);
  const std::string changed = WriteWav("changed.wav", 1, 44100, 300);
  Load(0, kept);
  Load(1, changed);
  AEffect* effect = mPlug->GetAEffect();
  // Leaving program 0 keeps its running state, sample paths included; coming back restores it.
  effect->dispatcher(effect, effSetProgram, 0, 9, nullptr, 0.0f);
  const double sentinel = 12345.0; // a value no decode of these files gives
  {
    std::lock_guard<InstanceMutex> lock(mPlug->Mutex());
    E().mSampleData[0][7] = sentinel;
    E().mSampleData[1][7] = sentinel;
  }
  WriteWav("changed.wav", 1, 44100, 500); // another size on disk
  mHost.ClearRecord();
  effect->dispatcher(effect, effSetProgram, 0, 0, nullptr, 0.0f);

  EXPECT_EQ(Frames(0), 300u);
  EXPECT_EQ(E().mSampleData[0][7], sentinel) << "an unchanged file was decoded again";
  EXPECT_EQ(Saved(0), kept);
  EXPECT_EQ(Frames(1), 500u);
  EXPECT_EQ(E().mSampleData[1][7], Pcm(0, 7) / 32768.0);
  // Restoring touches no parameter that does not change.
  EXPECT_EQ(mHost.Count(audioMasterBeginEdit), 0);
  EXPECT_EQ(mHost.Count(audioMasterEndEdit), 0);
}

TEST_F(LoadingFlow, ARestoredStateNamingTheLoadedFileKeepsItsBufferAndItsReverseOrder)
{
  OpenAt(44100.0);
  const std::string path = WriteWav("rev.wav", 1, 44100, 50);
  Load(2, path);
  Apply(2 * kParamsPerSlot + kReverse, 1);
  ASSERT_EQ(E().mSampleData[2][0], Pcm(0, 49) / 32768.0);
  ByteChunk chunk;
  ASSERT_TRUE(mPlug->SerializeParams(&chunk));
  {
    std::lock_guard<InstanceMutex> lock(mPlug->Mutex());
    E().mSampleData[2][10] = -7.0;
  }
  std::lock_guard<InstanceMutex> lock(mPlug->Mutex());
  ASSERT_GT(mPlug->UnserializeParams(&chunk, 0), 0);
  EXPECT_EQ(E().mSampleData[2][10], -7.0);
  EXPECT_EQ(E().mSampleData[2][0], Pcm(0, 49) / 32768.0);
}

TEST_F(LoadingFlow, ARestoredPathThatMovedLoadsFromWhereItIsAndOneThatIsNowhereKeepsItsPath)
{
  OpenAt(44100.0);
  // Written on a system that does not keep letter case: the disk holds "Kick.WAV".
  const std::string onDisk = WriteWav("Kick.WAV", 1, 44100, 30);
  const std::string asSaved = mDir.Path() + "/kick.wav";
  std::string text = asSaved;
  mPlug->OnExtraParam(1, text.data());
  EXPECT_EQ(Frames(1), 30u);
  EXPECT_EQ(Saved(1), onDisk);

  const std::string nowhere = mDir.Path() + "/gone/snare-long-name-of-a-hit.wav";
  text = nowhere;
  mPlug->OnExtraParam(2, text.data());
  EXPECT_EQ(Frames(2), 0u);
  EXPECT_EQ(Saved(2), nowhere);
  EXPECT_STREQ(File(2).DisplayName(), "wrong audio");
}
