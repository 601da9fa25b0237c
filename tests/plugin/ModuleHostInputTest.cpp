// Programs, state chunks and what careless or hostile hosts send through the built module: capabilities
// and pins, indexes outside the lists, null pointers, odd event lists, short and torn chunks, an overlong
// program name, and process calls longer than the announced block, without buffers or before every
// parameter arrived. Everything answers cleanly and nothing is written where it does not belong (the
// sanitizer run proves the rest).

#include "plugin/ChunkBytes.h"
#include "plugin/ModuleFixture.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

using namespace plugintest;

using ModuleHostInput = ModuleTest;

TEST_F(ModuleHostInput, CapabilitiesMatchExactlyAndTwoOutputPinsFormAStereoPair)
{
  for (const char* yes :
       {"receiveVstTimeInfo", "sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent"})
    EXPECT_EQ(mPlug->Dispatch(effCanDo, 0, 0, const_cast<char*>(yes)), 1) << yes;
  for (const char* no : {"receiveVstEvents ", "ReceiveVstEvents", "hostVendorExtensions", "bypass", ""})
    EXPECT_EQ(mPlug->Dispatch(effCanDo, 0, 0, const_cast<char*>(no)), 0) << no;
  EXPECT_EQ(mPlug->Dispatch(effCanDo, 0, 0, nullptr), 0);

  VstPinProperties pin = {};
  EXPECT_EQ(mPlug->Dispatch(effGetInputProperties, 0, 0, &pin), 0);
  ASSERT_EQ(mPlug->Dispatch(effGetOutputProperties, 0, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "Output 1");
  EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
  ASSERT_EQ(mPlug->Dispatch(effGetOutputProperties, 1, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "Output 2");
  EXPECT_EQ(pin.flags, kVstPinIsActive);
  for (int bad : {2, -1})
    EXPECT_EQ(mPlug->Dispatch(effGetOutputProperties, bad, 0, &pin), 0) << bad;
  EXPECT_EQ(mPlug->Dispatch(effGetOutputProperties, 0, 0, nullptr), 0);
}

TEST_F(ModuleHostInput, IndexesOutsideTheListsAndNonNumbersChangeNothing)
{
  mPlug->Open();
  const std::vector<uint8_t> before = mPlug->GetChunk();
  for (int idx : {60, -1, 100000})
  {
    mPlug->SetParameter(idx, 0.5f);
    EXPECT_EQ(mPlug->GetParameter(idx), 0.0f) << idx;
    char text[32] = "untouched";
    mPlug->Dispatch(effGetParamName, idx, 0, text);
    mPlug->Dispatch(effGetParamDisplay, idx, 0, text);
    EXPECT_STREQ(text, "untouched") << idx;
  }
  mPlug->SetParameter(9, std::nanf(""));
  for (VstIntPtr program : {VstIntPtr{16}, VstIntPtr{-1}, (VstIntPtr{1} << 32) + 1}) // would wrap to 1 if cut
    mPlug->Dispatch(effSetProgram, 0, program);
  EXPECT_EQ(mPlug->Dispatch(effGetProgram), 0);
  EXPECT_EQ(mPlug->GetChunk(), before);
  EXPECT_EQ(mPlug->Dispatch(effGetProgramNameIndexed, 1, 0, nullptr), 0);
  EXPECT_EQ(mPlug->Dispatch(200), 0);
  EXPECT_EQ(Fx()->dispatcher(nullptr, effGetVstVersion, 0, 0, nullptr, 0.0f), 0);
}

TEST_F(ModuleHostInput, ProgramNameOfTenThousandCharactersIsCutToTheField)
{
  mPlug->Dispatch(effSetProgram, 0, 9);
  std::string longName(10000, 'n');
  mPlug->Dispatch(effSetProgramName, 0, 0, longName.data());
  char name[64];
  std::memset(name, 'z', sizeof(name));
  mPlug->Dispatch(effGetProgramName, 0, 0, name);
  EXPECT_EQ(std::strlen(name), static_cast<size_t>(kVstMaxProgNameLen));
  EXPECT_EQ(name[kVstMaxProgNameLen + 1], 'z');
  EXPECT_EQ(mPlug->Dispatch(effSetProgramName, 0, 0, nullptr), 0);

  // Cut at the end of a whole character: "a" and two-byte characters leave 23 bytes, not 24.
  std::string accented = "a";
  for (int i = 0; i < 300; ++i)
    accented += "\u00e9";
  mPlug->Dispatch(effSetProgramName, 0, 0, accented.data());
  EXPECT_EQ(mPlug->ProgramName(), accented.substr(0, 23));
  EXPECT_EQ(mPlug->ProgramNameIndexed(9), accented.substr(0, 23));
}

TEST_F(ModuleHostInput, EventListsWithHolesForeignTypesOrNegativeCountsPassOnOnlyTheirMidi)
{
  mPlug->Open();
  mHost.ClearRecord();
  VstMidiEvent note = {};
  note.type = kVstMidiType;
  note.byteSize = sizeof(note);
  note.deltaFrames = 17;
  note.midiData[0] = static_cast<char>(0x91);
  note.midiData[1] = 60;
  note.midiData[2] = 100;
  uint8_t dump[] = {0xF0, 0x01, 0xF7};
  VstMidiSysexEvent sysex = {};
  sysex.type = kVstSysExType;
  sysex.dumpBytes = 3;
  sysex.sysexDump = reinterpret_cast<char*>(dump);
  VstEvent other = {};
  other.type = kVstAudioType;
  struct
  {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[4];
  } list = {4, 0, {reinterpret_cast<VstEvent*>(&note), nullptr, &other, reinterpret_cast<VstEvent*>(&sysex)}};
  EXPECT_EQ(mPlug->Dispatch(effProcessEvents, 0, 0, &list), 1);
  ASSERT_EQ(mHost.mMidiOut.size(), 1u);
  EXPECT_EQ(mHost.mMidiOut[0].deltaFrames, 17);
  EXPECT_EQ(mPlug->Dispatch(effProcessEvents, 0, 0, nullptr), 1);
  list.numEvents = -4;
  EXPECT_EQ(mPlug->Dispatch(effProcessEvents, 0, 0, &list), 1);
  EXPECT_EQ(mHost.mMidiOut.size(), 1u);
}

TEST_F(ModuleHostInput, ShortTornOrOverlongChunksChangeNothingTheyDoNotHold)
{
  mPlug->Open();
  const std::vector<uint8_t> before = mPlug->GetChunk();
  for (size_t size = 0; size <= 3; ++size)
    EXPECT_EQ(mPlug->SetChunk(std::vector<uint8_t>(before.begin(), before.begin() + size)), 0) << size;
  EXPECT_EQ(mPlug->Dispatch(effSetChunk, 0, 100, nullptr), 0);
  EXPECT_EQ(mPlug->Dispatch(effSetChunk, 0, -1, const_cast<uint8_t*>(before.data())), 0);
  EXPECT_EQ(mPlug->GetChunk(), before);

  // Values that end early: the chunk fails and every value stays inside its range.
  EXPECT_EQ(mPlug->SetChunk(std::vector<uint8_t>(before.begin(), before.begin() + 4 + 8 + 3)), 0);
  for (int i = 0; i < 60; ++i)
  {
    const float v = mPlug->GetParameter(i);
    EXPECT_TRUE(v >= 0.0f && v <= 1.0f) << i;
  }

  // All 60 values, then a text longer than the path field and one that claims more than the chunk holds.
  std::vector<uint8_t> chunk(before.begin(), before.begin() + 4 + 480);
  const int32_t longLength = 5000;
  const int32_t tornLength = 1 << 30;
  chunk.insert(chunk.end(), reinterpret_cast<const uint8_t*>(&longLength),
               reinterpret_cast<const uint8_t*>(&longLength) + 4);
  chunk.insert(chunk.end(), 5000, 'x');
  chunk.insert(chunk.end(), reinterpret_cast<const uint8_t*>(&tornLength),
               reinterpret_cast<const uint8_t*>(&tornLength) + 4);
  EXPECT_EQ(mPlug->SetChunk(chunk), 1);
  EXPECT_EQ(ChunkTexts(mPlug->GetChunk()), (std::vector<std::string>(5, "0")));
}

TEST_F(ModuleHostInput, LongerBlockThanAnnouncedIsRenderedWholeAndEmptyCallsDoNothingHarmful)
{
  mPlug->Open(44100.0f, 64);
  mPlug->Dispatch(effSetBlockSize, 0, 0); // zero or negative sizes and rates keep the last good ones
  mPlug->Dispatch(effSetBlockSize, 0, -3);
  mPlug->Dispatch(effSetSampleRate, 0, 0, nullptr, 0.0f);
  std::vector<float> left(1000, 7.0f), right(1000, 7.0f);
  float* outs[2] = {left.data(), right.data()};
  Fx()->processReplacing(Fx(), nullptr, outs, 1000);
  EXPECT_EQ(left, std::vector<float>(1000, 0.0f));
  EXPECT_EQ(right, std::vector<float>(1000, 0.0f));
  std::vector<double> dl(700, 7.0), dr(700, 7.0);
  double* douts[2] = {dl.data(), dr.data()};
  Fx()->processDoubleReplacing(Fx(), nullptr, douts, 700);
  EXPECT_EQ(dl, std::vector<double>(700, 0.0));

  left.assign(4, 7.0f);
  float* oneSide[2] = {left.data(), nullptr};
  Fx()->processReplacing(Fx(), nullptr, oneSide, 0);
  Fx()->processReplacing(Fx(), nullptr, oneSide, -5);
  EXPECT_EQ(left[0], 7.0f);
  Fx()->processReplacing(Fx(), nullptr, oneSide, 4); // the missing right channel goes to scratch
  EXPECT_EQ(left[3], 0.0f);
  Fx()->processReplacing(Fx(), nullptr, nullptr, 4);
  Fx()->processDoubleReplacing(Fx(), nullptr, nullptr, 4);
  Fx()->processReplacing(nullptr, nullptr, outs, 4);
}

TEST_F(ModuleHostInput, FiftyNineAppliedParametersAreNotEnoughToRender)
{
  for (int idx = 0; idx < 60; ++idx)
  {
    if (idx == 33) continue;
    mPlug->SetParameter(idx, mPlug->GetParameter(idx));
  }
  mPlug->SetParameter(60, 0.5f);
  mPlug->SetParameter(0, 0.0f); // a second application of the same parameter counts once
  std::vector<double> l(64, 7.0), r(64, 7.0);
  double* outs[2] = {l.data(), r.data()};
  Fx()->processDoubleReplacing(Fx(), nullptr, outs, 64);
  EXPECT_EQ(l, std::vector<double>(64, 7.0)); // the host's buffers are left as they were

  mPlug->SetParameter(33, 0.5f);
  Fx()->processDoubleReplacing(Fx(), nullptr, outs, 64);
  EXPECT_EQ(l, std::vector<double>(64, 0.0));
  EXPECT_EQ(r, std::vector<double>(64, 0.0));
}

namespace
{
// The parameter defaults in index order (one slot; all five are the same).
const double kDefaultSlot[12] = {1, 36, 127, 41, 1.0, 0.8, 1.5, 0, 0, 0, 0, 1};

std::vector<double> ChunkValues(const std::vector<uint8_t>& chunk)
{
  std::vector<double> v;
  for (int i = 0; i < 60; ++i)
    v.push_back(ChunkValue(chunk, i));
  return v;
}
} // namespace

using ModulePrograms = ModuleTest;
using ModuleState = ModuleTest;

TEST_F(ModulePrograms, SixteenProgramsDefaultFactoryThenNumberedPlaces)
{
  const char* factory[9] = {
      "---- default ----", "Pluck",          "Lead",        "Pad", "Release Long", "Drum",
      "Drum Next Octaves", "Double Octaves", "Half Octaves"};
  for (int i = 0; i < 16; ++i)
  {
    char text[300] = "untouched";
    EXPECT_EQ(mPlug->Dispatch(effGetProgramNameIndexed, i, 0, text), 1) << i;
    EXPECT_EQ(std::string(text), i < 9 ? factory[i] : "- " + std::to_string(i + 1) + " -");
  }
  for (int i : {16, -1, 100000})
  {
    char text[300] = "untouched";
    EXPECT_EQ(mPlug->Dispatch(effGetProgramNameIndexed, i, 0, text), 0) << i;
    EXPECT_STREQ(text, "") << i;
  }
  EXPECT_EQ(mPlug->Dispatch(effGetProgram), 0);
  EXPECT_EQ(mPlug->ProgramName(), "---- default ----");
}

TEST_F(ModulePrograms, FactoryProgramReachesTheHostAndDefaultRestoresTheDefaults)
{
  mPlug->Open();
  mPlug->Dispatch(effSetProgram, 0, 3);
  EXPECT_EQ(mPlug->Dispatch(effGetProgram), 3);
  EXPECT_EQ(mPlug->ProgramName(), "Pad");
  EXPECT_EQ(mPlug->ParamText(effGetParamDisplay, 5), "3.00");
  EXPECT_EQ(mPlug->ParamText(effGetParamDisplay, 12 + 7), "70");

  mPlug->Dispatch(effSetProgram, 0, 0);
  const std::vector<double> defaults = ChunkValues(mPlug->GetChunk());
  for (int i = 0; i < 60; ++i)
    EXPECT_DOUBLE_EQ(defaults[i], kDefaultSlot[i % 12]) << i;
}

TEST_F(ModulePrograms, EmptyPlacesBecomeUserPresetsThatKeepTheRunningState)
{
  mPlug->Open();
  mPlug->Dispatch(effSetProgram, 0, 9);
  EXPECT_EQ(mPlug->ProgramName(), "user preset 1");
  EXPECT_EQ(mPlug->ParamText(effGetParamDisplay, 9), "0"); // the running state stays
  mPlug->SetParameter(9, 0.0f);

  mPlug->Dispatch(effSetProgram, 0, 12);
  EXPECT_EQ(mPlug->ProgramName(), "user preset 2");
  EXPECT_EQ(mPlug->ProgramNameIndexed(9), "user preset 1");
  mPlug->SetParameter(9, 1.0f);

  mPlug->Dispatch(effSetProgram, 0, 9);
  EXPECT_EQ(mPlug->ParamText(effGetParamDisplay, 9), "-48");
  mPlug->Dispatch(effSetProgram, 0, 12);
  EXPECT_EQ(mPlug->ParamText(effGetParamDisplay, 9), "24");
  EXPECT_EQ(mPlug->ProgramNameIndexed(12), "user preset 2");
}

TEST_F(ModuleState, ChunkIsVersionSixtyValuesAndFiveEmptyPathTexts)
{
  for (int index : {0, 1})
  {
    const std::vector<uint8_t> chunk = mPlug->GetChunk(index);
    ASSERT_EQ(chunk.size(), 4u + 480u + 25u) << index;
    EXPECT_EQ(ChunkInt(chunk, 0), 10100);
    for (int i = 0; i < 60; ++i)
      EXPECT_DOUBLE_EQ(ChunkValue(chunk, i), kDefaultSlot[i % 12]) << i;
    for (int t = 0; t < 5; ++t)
    {
      const size_t pos = 484 + 5 * static_cast<size_t>(t);
      EXPECT_EQ(chunk[pos], 1);
      EXPECT_EQ(chunk[pos + 1], 0);
      EXPECT_EQ(chunk[pos + 2], 0);
      EXPECT_EQ(chunk[pos + 3], 0);
      EXPECT_EQ(chunk[pos + 4], '0');
    }
  }
}
