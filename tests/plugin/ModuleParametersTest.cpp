// The built module as a host sees it: identity, flags and entry points, and the 60 parameters with their
// names, labels, display texts, normalised values, text entry and vendor-specific value calls.

#include "framework/CommaLocale.h"
#include "framework/IParam.h" // MAX_PARAM_NAME_LEN: the field the binding fills
#include "plugin/ModuleFixture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace plugintest;

namespace
{
struct KindExpectation
{
  const char* name;
  const char* label;
  const char* display; // of the default value
  double normalized;   // of the default value
};

// Kind k of every slot, from the parameter table.
const KindExpectation kKinds[12] = {
    {"Active", "", "Yes", 1.0},
    {"Low Note", "", "36", 24.0 / 115.0},
    {"High Note", "", "127", 1.0},
    {"Root Note", "", "41", 29.0 / 115.0},
    {"Semitones Multiply", "", "1.0", 0.9 / 47.9},
    {"Attack", "s", "0.80", std::sqrt(0.8 / 16.0)},
    {"Release", "s", "1.50", std::sqrt(1.5 / 16.0)},
    {"Pan", "", "0", 0.5},
    {"Alternate Pan", "", "No", 0.0},
    {"Volume", "dB", "0", 48.0 / 72.0},
    {"Reverse", "", "No", 0.0},
    {"Loop", "", "Yes", 1.0},
};

constexpr VstIntPtr kBeef = 0xBEEF;
} // namespace

using ModuleParameters = ModuleTest;

TEST_F(ModuleParameters, EverySlotHasTheTwelveKindsWithNamesLabelsAndDefaultDisplays)
{
  for (int idx = 0; idx < 60; ++idx)
  {
    const KindExpectation& k = kKinds[idx % 12];
    EXPECT_EQ(mPlug->ParamText(effGetParamName, idx), std::to_string(idx / 12 + 1) + " " + k.name) << idx;
    EXPECT_EQ(mPlug->ParamText(effGetParamLabel, idx), k.label) << idx;
    EXPECT_EQ(mPlug->ParamText(effGetParamDisplay, idx), k.display) << idx;
    EXPECT_NEAR(mPlug->GetParameter(idx), k.normalized, 1e-6) << idx;
    EXPECT_EQ(mPlug->Dispatch(effCanBeAutomated, idx), 1) << idx;
  }
}

TEST_F(ModuleParameters, NamesStartWithTheSlotNumberAndDifferWithinTheirFirstEightCharacters)
{
  EXPECT_EQ(mPlug->ParamText(effGetParamName, 5), "1 Attack");
  EXPECT_EQ(mPlug->ParamText(effGetParamName, 59), "5 Loop");
  std::vector<std::string> shortNames;
  for (int idx = 0; idx < 60; ++idx)
  {
    const std::string name = mPlug->ParamText(effGetParamName, idx);
    EXPECT_LT(name.size(), static_cast<size_t>(MAX_PARAM_NAME_LEN)) << name;
    shortNames.push_back(name.substr(0, kVstMaxParamStrLen));
  }
  std::sort(shortNames.begin(), shortNames.end());
  EXPECT_EQ(std::adjacent_find(shortNames.begin(), shortNames.end()), shortNames.end());
}

TEST_F(ModuleParameters, NormalisedValuesRoundTripAndSnapForEveryKind)
{
  mPlug->Open();
  const int slot = 3 * 12;
  struct Case
  {
    int kind;
    float in;
    double out;
    const char* display;
  };
  const Case cases[] = {
      {0, 0.2f, 0.0, "No"},          // enum snaps to 0
      {0, 0.7f, 1.0, "Yes"},         // and to 1
      {1, 0.5f, 58.0 / 115.0, "70"}, // 69.5 rounds up to 70
      {2, 0.0f, 0.0, "12"},          // lowest note
      {3, 1.0f, 1.0, "127"},         // highest note
      {4, 1.0f, 1.0, "48.0"},        // doubles are not snapped
      {4, 0.25f, 0.25, "12.1"},      // 0.1 + 47.9 / 4 = 12.075
      {5, 0.5f, 0.5, "4.00"},        // shape 2: half way is a quarter of 16 s
      {6, 0.0f, 0.0, "0"},           // zero shows as "0"
      {7, 0.25f, 0.25, "-50"},       // pan in percent
      {7, 1.0f, 1.0, "100"},         //
      {8, 1.0f, 1.0, "Yes"},         //
      {9, 0.0f, 0.0, "-48"},         // decibels
      {9, 1.0f, 1.0, "24"},          //
      {10, 1.0f, 1.0, "Yes"},        //
      {11, 0.0f, 0.0, "No"},         //
  };
  for (const Case& c : cases)
  {
    mPlug->SetParameter(slot + c.kind, c.in);
    EXPECT_NEAR(mPlug->GetParameter(slot + c.kind), c.out, 1e-6) << c.kind << " " << c.in;
    EXPECT_EQ(mPlug->ParamText(effGetParamDisplay, slot + c.kind), c.display) << c.kind << " " << c.in;
  }
  // The host's own writes are not echoed back as automation.
  EXPECT_EQ(mHost.Count(audioMasterAutomate), 0);
  EXPECT_EQ(mHost.Count(audioMasterBeginEdit), 0);
  EXPECT_EQ(mHost.Count(audioMasterEndEdit), 0);
}

TEST_F(ModuleParameters, TextEntrySetsValuesByDisplayTextOrNumberClampedToTheRange)
{
  mPlug->Open();
  struct Case
  {
    int idx;
    const char* text;
    const char* display;
  };
  const Case cases[] = {
      {0, "No", "No"},   {12 + 8, "Yes", "Yes"}, {1, "2.5", "12"},   {2, "200", "127"},
      {9, "-3", "-3"},   {9, "-100", "-48"},     {5, "0.5", "0.50"}, {4, "2.26", "2.3"},
      {7, "-80", "-80"}, {6, "abc", "0"},        {11, "yes", "No"}, // texts match case-sensitively only:
                                                                    // "yes" reads as 0
  };
  for (const Case& c : cases)
  {
    EXPECT_EQ(mPlug->Dispatch(effString2Parameter, c.idx, 0, const_cast<char*>(c.text)), 1) << c.text;
    EXPECT_EQ(mPlug->ParamText(effGetParamDisplay, c.idx), c.display) << c.text;
  }
  EXPECT_EQ(mPlug->Dispatch(effString2Parameter, 60, 0, const_cast<char*>("1")), 0);
  EXPECT_EQ(mPlug->Dispatch(effString2Parameter, -1, 0, const_cast<char*>("1")), 0);
  EXPECT_EQ(mPlug->Dispatch(effString2Parameter, 3, 0, nullptr), 1);
  EXPECT_EQ(mPlug->ParamText(effGetParamDisplay, 3), "41");
}

TEST_F(ModuleParameters, TypedNumbersReadAsTheCLibraryDoesAndBeyondTheRangeGiveItsLimits)
{
  mPlug->Open();
  struct Case
  {
    int idx;
    const char* text;
    const char* display;    // after effString2Parameter
    const char* normalized; // of the text, by the vendor call
  };
  const Case cases[] = {
      {9, "0x10", "16", "0.88888888888888884"},       // hexadecimal, Volume -48..24
      {9, "1e400", "24", "1.00000000000000000"},      // too large: the upper limit
      {9, "-1e400", "-48", "0.00000000000000000"},    // and the lower one
      {9, "-0x1p4 dB", "-16", "0.44444444444444442"}, //
      {5, "0x1p2", "4.00", "0.50000000000000000"},    // Attack, shape 2
      {5, "-inf", "0", "0.00000000000000000"},        //
      {5, "Infinity", "16.00", "1.00000000000000000"},
      {5, "1e-400", "0", "0.00000000000000000"}, // too small: 0
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.text);
    char text[64];
    std::strcpy(text, c.text);
    EXPECT_EQ(mPlug->Dispatch(effVendorSpecific, 27, c.idx, text), kBeef);
    EXPECT_STREQ(text, c.normalized);
    std::strcpy(text, c.text);
    EXPECT_EQ(mPlug->Dispatch(effString2Parameter, c.idx, 0, text), 1);
    EXPECT_EQ(mPlug->ParamText(effGetParamDisplay, c.idx), c.display);
  }
}

TEST_F(ModuleParameters, TypedNumbersReadTheSameInALocaleWithADecimalComma)
{
  mPlug->Open();
  testsupport::CommaLocale comma;
  if (!comma.Active()) GTEST_SKIP() << testsupport::kNoCommaLocale;
  char text[64] = "0.5";
  EXPECT_EQ(mPlug->Dispatch(effString2Parameter, 5, 0, text), 1);
  EXPECT_EQ(mPlug->ParamText(effGetParamDisplay, 5), "0.50");
  std::strcpy(text, "4.0");
  EXPECT_EQ(mPlug->Dispatch(effVendorSpecific, 27, 5, text), kBeef);
  EXPECT_STREQ(text, "0.50000000000000000");
}

TEST_F(ModuleParameters, VendorCallsFormatParseAndCountTheSlotParameters)
{
  struct Case
  {
    VstInt32 call;
    VstIntPtr idx;
    float value;
    const char* text;
    const char* answer;
  };
  const Case cases[] = {
      {7, 5, 0.5f, "", "4.00"},                  // format a normalised value
      {7, 9, 0.0f, "", "-48"},                   //
      {7, 0, 0.0f, "", "No"},                    //
      {27, 5, 0.0f, "4", "0.50000000000000000"}, // parse a text into a normalised value
      {27, 10, 0.0f, "Yes", "1.00000000000000000"},
      {27, 5, 0.0f, "", ""},
  };
  for (const Case& c : cases)
  {
    char text[64];
    std::strcpy(text, c.text);
    EXPECT_EQ(mPlug->Dispatch(effVendorSpecific, c.call, c.idx, text, c.value), kBeef)
        << c.call << " " << c.idx;
    EXPECT_STREQ(text, c.answer) << c.call << " " << c.idx;
  }
  char text[64] = "4";
  EXPECT_EQ(mPlug->Dispatch(effVendorSpecific, 27, 60, text), 0);
  EXPECT_STREQ(text, "4");
  EXPECT_EQ(mPlug->Dispatch(effVendorSpecific, 7, 5, nullptr, 0.5f), 0);
  EXPECT_EQ(mPlug->Dispatch(effVendorSpecific, 8, 0, nullptr), kBeef);
  EXPECT_EQ(mPlug->ParamText(effGetParamDisplay, 5), "0.80"); // parsing does not set the parameter
  for (int kind = 0; kind < 12; ++kind)
  {
    const bool named = kind == 0 || kind == 8 || kind == 10 || kind == 11;
    int count = -1;
    EXPECT_EQ(mPlug->Dispatch(effVendorSpecific, 8, 24 + kind, &count), named ? kBeef : 0) << kind;
    EXPECT_EQ(count, named ? 2 : -1) << kind;
  }
  EXPECT_EQ(mPlug->Dispatch(effVendorSpecific, 58, 10100), 0);
}

TEST_F(ModuleParameters, VendorCallReadsAndStoresTheSlotPathTexts)
{
  char text[1100] = "";
  EXPECT_EQ(mPlug->Dispatch(effVendorSpecific, 56, 4, text), kBeef);
  EXPECT_STREQ(text, "0");
  std::strcpy(text, "/samples/kick.wav");
  EXPECT_EQ(mPlug->Dispatch(effVendorSpecific, 56, 2, text), kBeef);
  text[0] = '\0';
  EXPECT_EQ(mPlug->Dispatch(effVendorSpecific, 56, 2, text), kBeef);
  EXPECT_STREQ(text, "/samples/kick.wav");
  std::string tooLong(1025, 'x'); // one more than the path field holds: refused, not cut
  mPlug->Dispatch(effVendorSpecific, 56, 2, tooLong.data());
  text[0] = '\0';
  mPlug->Dispatch(effVendorSpecific, 56, 2, text);
  EXPECT_STREQ(text, "/samples/kick.wav");
  EXPECT_EQ(mPlug->Dispatch(effVendorSpecific, 56, 5, text), 0);
  EXPECT_EQ(mPlug->Dispatch(effVendorSpecific, 56, -1, text), 0);
  EXPECT_EQ(mPlug->Dispatch(effVendorSpecific, 56, 0, nullptr), 0);
}

TEST_F(ModuleParameters, NullTextBuffersAreNotWritten)
{
  for (VstInt32 op :
       {effGetParamName, effGetParamLabel, effGetParamDisplay, effGetProgramName, effGetProgramNameIndexed,
        effGetEffectName, effGetVendorString, effGetProductString, effSetProgramName, effGetChunk,
        effSetChunk, effProcessEvents, effGetMidiKeyName, effGetInputProperties, effGetOutputProperties})
    mPlug->Dispatch(op, 0, 16, nullptr);
  EXPECT_EQ(mPlug->Dispatch(effGetChunk, 0, 0, nullptr), 0);
  EXPECT_EQ(mPlug->Dispatch(effSetChunk, 0, 16, nullptr), 0);
  EXPECT_EQ(mPlug->ProgramName(), "---- default ----");
}

using ModuleIdentity = ModuleTest;

TEST(ModuleExports, OnlyTheTwoEntryPointsAreExported)
{
  // The defined dynamic symbols, as the binary tools list them: "address type name".
  const std::string command = std::string("nm -D --defined-only '") + PluginModule::Path() + "'";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::vector<std::string> names;
  char line[512];
  while (std::fgets(line, sizeof(line), pipe))
  {
    char address[64], type[8], name[400];
    if (std::sscanf(line, "%63s %7s %399s", address, type, name) == 3) names.push_back(name);
  }
  ASSERT_EQ(pclose(pipe), 0) << command;
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"VSTPluginMain", "main"}));
}

TEST(ModuleExports, CxxRuntimeIsInsideTheModule)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "sanitizer builds link the shared C++ runtime, whose hooks the sanitizer needs";
#endif
  // The shared libraries the module asks for, as "  NEEDED   libname.so.N" lines of objdump -p: a host
  // built with another C++ runtime must not have to provide ours.
  const std::string command = std::string("objdump -p '") + PluginModule::Path() + "'";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::vector<std::string> needed;
  char line[512];
  while (std::fgets(line, sizeof(line), pipe))
  {
    char tag[32], name[400];
    if (std::sscanf(line, "%31s %399s", tag, name) == 2 && std::strcmp(tag, "NEEDED") == 0)
      needed.push_back(name);
  }
  ASSERT_EQ(pclose(pipe), 0) << command;
  ASSERT_FALSE(needed.empty()) << command;
  EXPECT_NE(std::find(needed.begin(), needed.end(), "libc.so.6"), needed.end());
  for (const std::string& name : needed)
  {
    EXPECT_EQ(name.rfind("libstdc++", 0), std::string::npos) << name;
    EXPECT_EQ(name.rfind("libgcc_s", 0), std::string::npos) << name;
  }
}

TEST_F(ModuleIdentity, AEffectRecordDescribesAStereoInstrumentWithAnEditor)
{
  EXPECT_EQ(Fx()->magic, kEffectMagic);
  EXPECT_EQ(Fx()->numPrograms, 16);
  EXPECT_EQ(Fx()->numParams, 60);
  EXPECT_EQ(Fx()->numInputs, 0);
  EXPECT_EQ(Fx()->numOutputs, 2);
  EXPECT_EQ(Fx()->flags, effFlagsHasEditor | effFlagsCanReplacing | effFlagsCanDoubleReplacing |
                             effFlagsProgramChunks | effFlagsIsSynth);
  EXPECT_EQ(Fx()->flags, 0x1131);
  EXPECT_EQ(Fx()->uniqueID, 0x30717A77);
  EXPECT_EQ(Fx()->version, 10100);
  EXPECT_EQ(Fx()->initialDelay, 0);
  EXPECT_FLOAT_EQ(Fx()->ioRatio, 1.0f);

  char text[256];
  std::memset(text, 'x', sizeof(text));
  EXPECT_EQ(mPlug->Dispatch(effGetEffectName, 0, 0, text), 1);
  EXPECT_STREQ(text, "Kestrune");
  std::memset(text, 'x', sizeof(text));
  EXPECT_EQ(mPlug->Dispatch(effGetProductString, 0, 0, text), 1);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(mPlug->Dispatch(effGetVendorString, 0, 0, text), 1);
  EXPECT_STREQ(text, "Tovrane");
  // The project's version (1.1.0 answers 10100).
  EXPECT_EQ(mPlug->Dispatch(effGetVendorVersion),
            KESTRUNE_VERSION_MAJOR * 10000 + KESTRUNE_VERSION_MINOR * 100 + KESTRUNE_VERSION_PATCH);
  EXPECT_EQ(mPlug->Dispatch(effGetPlugCategory), kPlugCategSynth);
  EXPECT_EQ(mPlug->Dispatch(effGetVstVersion), 2400);
  EXPECT_EQ(mPlug->Dispatch(effIdentify), 0x4E764566);
  ERect* rect = nullptr;
  EXPECT_EQ(mPlug->Dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right - rect->left, 808);
  EXPECT_EQ(rect->bottom - rect->top, 492);
}

TEST_F(ModuleIdentity, MonoOutputArrangementLeavesTheSecondHostBufferAlone)
{
  mPlug->Open();
  VstSpeakerArrangement mono = {};
  mono.type = kSpeakerArrMono;
  mono.numChannels = 1;
  EXPECT_EQ(mPlug->Dispatch(effSetSpeakerArrangement, 0, 0, &mono), 1);
  std::vector<double> l(64, 7.0), r(64, 7.0);
  double* outs[2] = {l.data(), r.data()};
  Fx()->processDoubleReplacing(Fx(), nullptr, outs, 64);
  EXPECT_EQ(l[63], 0.0);
  EXPECT_EQ(r[0], 7.0);

  VstSpeakerArrangement stereo = {};
  stereo.type = kSpeakerArrStereo;
  stereo.numChannels = 2;
  EXPECT_EQ(mPlug->Dispatch(effSetSpeakerArrangement, 0, 0, &stereo), 1);
  Fx()->processDoubleReplacing(Fx(), nullptr, outs, 64);
  EXPECT_EQ(r[0], 0.0);
}
