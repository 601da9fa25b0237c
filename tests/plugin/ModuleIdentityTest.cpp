// Identity, flags and entry points of the built module, seen as a host sees them.

#include "plugin/ElfExports.h"
#include "plugin/ModuleFixture.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace plugintest;

using ModuleIdentity = ModuleTest;

TEST(ModuleExports, OnlyTheTwoEntryPointsAreExported)
{
  std::vector<std::string> names;
  ASSERT_TRUE(ReadElfExports(PluginModule::Path(), &names)) << PluginModule::Path();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"VSTPluginMain", "main"}));
}

TEST(ModuleExports, MainCreatesAnInstanceLikeVSTPluginMainAndNeitherWorksWithoutAHost)
{
  ASSERT_TRUE(PluginModule::Get().Loaded()) << PluginModule::Get().Error();
  ASSERT_NE(PluginModule::Get().mMain, nullptr);
  TestHost host;
  PluginInstance viaMain(PluginModule::Get().mMain);
  PluginInstance viaEntry;
  ASSERT_NE(viaMain.Effect(), nullptr);
  ASSERT_NE(viaEntry.Effect(), nullptr);
  EXPECT_NE(viaMain.Effect(), viaEntry.Effect());
  EXPECT_EQ(viaMain.Effect()->uniqueID, viaEntry.Effect()->uniqueID);
  EXPECT_EQ(PluginModule::Get().mVSTPluginMain(nullptr), nullptr);
  EXPECT_EQ(PluginModule::Get().mMain(nullptr), nullptr);
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
  EXPECT_EQ(mPlug->Dispatch(effGetVendorVersion), 10100);
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
