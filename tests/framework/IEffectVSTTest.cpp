#include "TestPlug.h"

#include "framework/VSTEntry.h"

#include <cmath>
#include <cstring>
#include <string>

using VstBinding = PlugFixture;

TEST_F(VstBinding, RecordDescribesThePlugIn)
{
  EXPECT_EQ(mEffect->magic, kEffectMagic);
  EXPECT_EQ(mEffect->magic, 0x56737450);
  EXPECT_EQ(mEffect->numPrograms, TestPlug::kNumTestPresets);
  EXPECT_EQ(mEffect->numParams, TestPlug::kNumTestParams);
  EXPECT_EQ(mEffect->numInputs, 0);
  EXPECT_EQ(mEffect->numOutputs, 2);
  EXPECT_EQ(mEffect->flags,
            effFlagsCanReplacing | effFlagsCanDoubleReplacing | effFlagsProgramChunks | effFlagsIsSynth);
  EXPECT_EQ(mEffect->version, 10100);
  EXPECT_EQ(mEffect->uniqueID, VstFourCC('t', 's', 't', 'p'));
  EXPECT_EQ(mEffect->ioRatio, 1.0f);
  EXPECT_EQ(mEffect->object, mPlug);
  AttachEditor();
  EXPECT_EQ(mEffect->flags, 0x1131);
}

TEST_F(VstBinding, FixedAnswers)
{
  EXPECT_EQ(Dispatch(effGetPlugCategory), kPlugCategSynth);
  EXPECT_EQ(Dispatch(effGetVstVersion), 2400);
  EXPECT_EQ(Dispatch(effIdentify), 0x4E764566);
  EXPECT_EQ(Dispatch(effGetVendorVersion), 10100);
  EXPECT_EQ(Dispatch(effCanBeAutomated, 3), 1);
  EXPECT_EQ(Dispatch(effGetTailSize), 0);
  EXPECT_EQ(Dispatch(effShellGetNextPlugin), 0);
  EXPECT_EQ(Dispatch(200), 0);
  EXPECT_EQ(mEffect->dispatcher(nullptr, effGetVstVersion, 0, 0, nullptr, 0.0f), 0);
}

TEST_F(VstBinding, OpenAppliesEveryParameterInOrder)
{
  Dispatch(effOpen);
  EXPECT_EQ(mLog.mParamChanges, (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_TRUE(mPlug->mParamsReady);
  Dispatch(effOpen); // hosts that open twice get the parameters applied again, nothing else
  EXPECT_EQ(mLog.mParamChanges.size(), 10u);
  EXPECT_EQ(mHost.Count(audioMasterGetProductString), 1);
}

TEST_F(VstBinding, CapabilitiesMatchExactly)
{
  for (const char* yes :
       {"receiveVstTimeInfo", "sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent"})
    EXPECT_EQ(Dispatch(effCanDo, 0, 0, const_cast<char*>(yes)), 1) << yes;
  for (const char* no : {"receiveVstEvents ", "ReceiveVstEvents", "hostVendorExtensions", "bypass", ""})
    EXPECT_EQ(Dispatch(effCanDo, 0, 0, const_cast<char*>(no)), 0) << no;
  EXPECT_EQ(Dispatch(effCanDo, 0, 0, nullptr), 0);
}

TEST_F(VstBinding, PinsLabelOutputsAndPairThemAsStereo)
{
  VstPinProperties pin = {};
  EXPECT_EQ(Dispatch(effGetInputProperties, 0, 0, &pin), 0);
  ASSERT_EQ(Dispatch(effGetOutputProperties, 0, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "Output 1");
  EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
  ASSERT_EQ(Dispatch(effGetOutputProperties, 1, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "Output 2");
  EXPECT_EQ(pin.flags, kVstPinIsActive);
  EXPECT_EQ(Dispatch(effGetOutputProperties, 2, 0, &pin), 0);
  EXPECT_EQ(Dispatch(effGetOutputProperties, -1, 0, &pin), 0);
  EXPECT_EQ(Dispatch(effGetOutputProperties, 0, 0, nullptr), 0);
}

TEST_F(VstBinding, SpeakerArrangementsFollowChannelCountsAndConnections)
{
  VstSpeakerArrangement* in = nullptr;
  VstSpeakerArrangement* out = nullptr;
  EXPECT_EQ(Dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 1);
  ASSERT_TRUE(in && out);
  EXPECT_EQ(in->type, kSpeakerArrEmpty);
  EXPECT_EQ(out->type, kSpeakerArrStereo);
  EXPECT_EQ(out->numChannels, 2);
  EXPECT_EQ(VSTSpkrArrType(1), kSpeakerArrMono);
  EXPECT_EQ(VSTSpkrArrType(6), kSpeakerArrUserDefined);

  VstSpeakerArrangement mono = {};
  mono.numChannels = 1;
  EXPECT_EQ(Dispatch(effSetSpeakerArrangement, 0, 0, &mono), 1);
  EXPECT_TRUE(mPlug->IsOutChannelConnected(0));
  EXPECT_FALSE(mPlug->IsOutChannelConnected(1));
  mono.numChannels = 99;
  Dispatch(effSetSpeakerArrangement, 0, 0, &mono);
  EXPECT_TRUE(mPlug->IsOutChannelConnected(1));
  EXPECT_EQ(Dispatch(effSetSpeakerArrangement), 1);
}

TEST_F(VstBinding, HostIsIdentifiedFromItsProductStringOnce)
{
  mHost.mProductString = "Steinberg Cubase Live Edition";
  mHost.mVendorVersion = 50100;
  EXPECT_EQ(mPlug->GetHost(), kHostCubase);
  EXPECT_EQ(mPlug->GetHostVersion(false), 0x50100);
  EXPECT_EQ(mPlug->GetHostVersion(true), 50100);
  mPlug->GetHost();
  EXPECT_EQ(mHost.Count(audioMasterGetProductString), 1);
}

TEST_F(VstBinding, EmptyProductStringGivesNoHostAndVersionZero)
{
  mHost.mVendorVersion = 50100;
  EXPECT_EQ(mPlug->GetHost(), kHostNone);
  EXPECT_EQ(mPlug->GetHostVersion(false), 0);
  EXPECT_EQ(mHost.Count(audioMasterGetVendorVersion), 0);
}

TEST(LookUpHost, FirstSubstringInOrderWins)
{
  const std::pair<const char*, EHost> cases[] = {{"Ableton Live 11", kHostAbletonLive},
                                                 {"REAPER", kHostReaper},
                                                 {"cubase with live", kHostCubase},
                                                 {"Ardour", kHostArdour},
                                                 {"Some Host", kHostNone},
                                                 {"", kHostNone},
                                                 {nullptr, kHostNone}};
  for (const auto& c : cases)
    EXPECT_EQ(LookUpHost(c.first), c.second) << (c.first ? c.first : "null");
}

// ---- Parameters ----

TEST_F(VstBinding, SetParameterShowsStoresAndAppliesInRangeOnly)
{
  TestGraphicsLog* editor = AttachEditor();
  editor->mShown.clear();
  mEffect->setParameter(mEffect, TestPlug::kLevel, 0.75f);
  EXPECT_EQ(mPlug->GetParam(TestPlug::kLevel)->Value(), 50.0);
  EXPECT_EQ(mLog.mParamChanges, std::vector<int>{TestPlug::kLevel});
  ASSERT_EQ(editor->mShown.size(), 1u);
  EXPECT_TRUE(editor->mShown[0].mNormalized);
  EXPECT_FLOAT_EQ(mEffect->getParameter(mEffect, TestPlug::kLevel), 0.75f);

  mEffect->setParameter(mEffect, TestPlug::kNumTestParams, 0.5f);
  mEffect->setParameter(mEffect, -1, 0.5f);
  mEffect->setParameter(mEffect, TestPlug::kLevel, std::nanf(""));
  EXPECT_EQ(mLog.mParamChanges.size(), 1u);
  EXPECT_EQ(mPlug->GetParam(TestPlug::kLevel)->Value(), 50.0);
  EXPECT_EQ(mEffect->getParameter(mEffect, TestPlug::kNumTestParams), 0.0f);
  EXPECT_EQ(mEffect->getParameter(mEffect, -1), 0.0f);
}

TEST_F(VstBinding, ParameterTextsAreBoundedAndRangeChecked)
{
  char text[64];
  Dispatch(effGetParamName, TestPlug::kTime, 0, text);
  EXPECT_STREQ(text, "Time");
  Dispatch(effGetParamLabel, TestPlug::kTime, 0, text);
  EXPECT_STREQ(text, "s");
  Dispatch(effGetParamDisplay, TestPlug::kTime, 0, text);
  EXPECT_STREQ(text, "1.50");
  mPlug->GetParam(TestPlug::kGain)->Set(6);
  Dispatch(effGetParamDisplay, TestPlug::kGain, 0, text);
  EXPECT_STREQ(text, "-6");
  std::strcpy(text, "untouched");
  Dispatch(effGetParamName, TestPlug::kNumTestParams, 0, text);
  Dispatch(effGetParamDisplay, -1, 0, text);
  EXPECT_STREQ(text, "untouched");
  EXPECT_EQ(Dispatch(effGetParamName, 0, 0, nullptr), 0);
}

TEST_F(VstBinding, TextEntryMapsNamesParsesNumbersAndClamps)
{
  char on[] = "on";
  char twoAndHalf[] = "2.5";
  char tooBig[] = "500";
  char six[] = "6";
  mPlug->GetParam(TestPlug::kPower)->Set(0);
  EXPECT_EQ(Dispatch(effString2Parameter, TestPlug::kPower, 0, on), 1);
  EXPECT_EQ(mPlug->GetParam(TestPlug::kPower)->Value(), 1.0);
  Dispatch(effString2Parameter, TestPlug::kLevel, 0, twoAndHalf);
  EXPECT_EQ(mPlug->GetParam(TestPlug::kLevel)->Value(), 2.5); // no step snapping here
  Dispatch(effString2Parameter, TestPlug::kLevel, 0, tooBig);
  EXPECT_EQ(mPlug->GetParam(TestPlug::kLevel)->Value(), 100.0);
  Dispatch(effString2Parameter, TestPlug::kGain, 0, six);
  EXPECT_EQ(mPlug->GetParam(TestPlug::kGain)->Value(), -6.0); // the display is negated
  EXPECT_EQ(mLog.mParamChanges.size(), 4u);

  EXPECT_EQ(Dispatch(effString2Parameter, TestPlug::kLevel, 0, nullptr), 1);
  EXPECT_EQ(Dispatch(effString2Parameter, TestPlug::kNumTestParams, 0, on), 0);
  EXPECT_EQ(mLog.mParamChanges.size(), 4u);
}

// ---- Vendor-specific calls ----

TEST_F(VstBinding, VendorCallsParseFormatAndCountForValidIndexesAndBuffersOnly)
{
  char text[kVendorTextBytes] = "4";
  EXPECT_EQ(Dispatch(effVendorSpecific, kVendorParseValue, TestPlug::kTime, text), kVendorHandled);
  EXPECT_STREQ(text, "0.25000000000000000");
  EXPECT_EQ(Dispatch(effVendorSpecific, kVendorParseValue, TestPlug::kNumTestParams, text), 0);
  EXPECT_EQ(Dispatch(effVendorSpecific, kVendorParseValue, TestPlug::kTime, nullptr), 0);

  EXPECT_EQ(Dispatch(effVendorSpecific, kVendorFormatValue, TestPlug::kTime, text, 0.5f), kVendorHandled);
  EXPECT_STREQ(text, "8.00");
  std::strcpy(text, "untouched");
  EXPECT_EQ(Dispatch(effVendorSpecific, kVendorFormatValue, 77, text, 0.5f), kVendorHandled);
  EXPECT_STREQ(text, "untouched");
  EXPECT_EQ(Dispatch(effVendorSpecific, kVendorFormatValue, TestPlug::kTime, nullptr, 0.5f), 0);

  for (int idx : std::vector<int>{TestPlug::kMode, TestPlug::kPower, TestPlug::kLevel, TestPlug::kTime, -3})
  {
    int count = -1;
    const bool named = idx == TestPlug::kMode || idx == TestPlug::kPower;
    EXPECT_EQ(Dispatch(effVendorSpecific, kVendorCountNamedValues, idx, &count), named ? kVendorHandled : 0)
        << idx;
    EXPECT_EQ(count, named ? 2 : -1) << idx;
  }
}

TEST_F(VstBinding, VendorExtraTextIsDeliveredOrReadBack)
{
  char buffer[kExtraParamBytes] = "";
  EXPECT_EQ(Dispatch(effVendorSpecific, kVendorExtraParamText, 1, buffer), kVendorHandled);
  EXPECT_STREQ(buffer, "0");
  char path[] = "/samples/kick.wav";
  EXPECT_EQ(Dispatch(effVendorSpecific, kVendorExtraParamText, 1, path), kVendorHandled);
  ASSERT_EQ(mLog.mExtraParams.size(), 1u);
  EXPECT_EQ(mLog.mExtraParams[0], std::make_pair(1, std::string(path)));
  buffer[0] = '\0';
  Dispatch(effVendorSpecific, kVendorExtraParamText, 1, buffer);
  EXPECT_STREQ(buffer, path);

  std::string tooLong(2000, 'x');
  EXPECT_EQ(Dispatch(effVendorSpecific, kVendorExtraParamText, 0, tooLong.data()), 0);
  EXPECT_EQ(Dispatch(effVendorSpecific, kVendorExtraParamText, TestPlug::kNumTestExtras, buffer), 0);
  EXPECT_EQ(Dispatch(effVendorSpecific, kVendorExtraParamText, 0, nullptr), 0);
  EXPECT_EQ(mLog.mExtraParams.size(), 1u);
}

TEST_F(VstBinding, VendorStateVersionAndMouseWheel)
{
  EXPECT_EQ(Dispatch(effVendorSpecific, kVendorStateVersion, 321), 0);
  EXPECT_EQ(mLog.mStateVersions, std::vector<int>{321});
  EXPECT_EQ(Dispatch(effVendorSpecific, kVendorMouseWheelIndex, kVendorMouseWheelValue, nullptr, -2.0f), 0);
  TestGraphicsLog* editor = AttachEditor();
  EXPECT_EQ(Dispatch(effVendorSpecific, kVendorMouseWheelIndex, kVendorMouseWheelValue, nullptr, -2.0f), 1);
  EXPECT_EQ(editor->mLastWheel, -2.0f);
  EXPECT_EQ(Dispatch(effVendorSpecific, kVendorMouseWheelIndex, 0, nullptr, 1.0f), 0);
}
