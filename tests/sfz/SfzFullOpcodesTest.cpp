// The full reader's slot parameters: header inheritance, key=, note names, the values of the mapped
// opcodes, the SFZ defaults and the control offsets.

#include "SfzTestFiles.h"
#include "engine/EngineConstants.h"

#include <gtest/gtest.h>

using sfztest::ReadAllSlotsFull;
using sfztest::SfzFolder;
using Action = SfzSlotResult::Action;

namespace
{
// The parameters of slot 0 for an instrument whose first region, naming a.wav, is text.
std::array<double, kSfzSlotParamKinds> FirstRegion(const std::string& text)
{
  SfzFolder dir;
  dir.Wav("a.wav");
  const SfzSlotResult r = ReadSfzSlotFull(dir.Text("one.sfz", text), 0, false);
  EXPECT_EQ(r.action, Action::kLoad) << text;
  return r.params;
}

double Param(const std::string& regionOpcodes, ESlotParam kind)
{
  return FirstRegion("<region> sample=a.wav " + regionOpcodes)[kind];
}
} // namespace

TEST(SfzFullOpcodes, ARegionWithoutOpcodesGetsTheSfzDefaults)
{
  const auto p = FirstRegion("<region> sample=a.wav");
  EXPECT_EQ(p[kActive], kSfzNotGiven);
  const double expected[] = {kSfzNotGiven, 0, 127, 60, 1.0, 0, 0, 0, 0, 0, 0, 0};
  for (int k = kLowNote; k <= kLoop; ++k)
    EXPECT_EQ(p[k], expected[k]) << "kind " << k;
}

TEST(SfzFullOpcodes, EachLevelPassesItsValuesOnUntilAHigherHeaderStartsItAfresh)
{
  SfzFolder dir;
  for (const char* name : {"1.wav", "2.wav", "3.wav", "4.wav", "5.wav"})
    dir.Wav(name);
  const auto r = ReadAllSlotsFull(dir.Text("levels.sfz", "<global> ampeg_release=3 pan=20\n"
                                                         "<master> volume=-6\n"
                                                         "<group> lokey=40 hikey=50\n"
                                                         "<region> sample=1.wav hikey=45\n"
                                                         "<group> pitch_keycenter=45\n"
                                                         "<region> sample=2.wav\n"
                                                         "<master> direction=reverse\n"
                                                         "<region> sample=3.wav\n"
                                                         "<master> pan=-50 <group> hikey=100\n"
                                                         "<global> loop_mode=loop_continuous\n"
                                                         "<region> sample=4.wav\n"
                                                         "<group> sample=5.wav pitch_keytrack=50\n"
                                                         "<region> pan=-40\n"));
  struct Expected
  {
    double low, high, root, release, pan, volume, reverse, loop, keyTrack;
  };
  const Expected expected[] = {
      {40, 45, 60, 3, 20, -6, 0, 0, 1.0},  // region over group over master over global
      {0, 127, 45, 3, 20, -6, 0, 0, 1.0},  // a new group starts afresh
      {0, 127, 60, 3, 20, 0, 1, 0, 1.0},   // a new master starts master and group afresh
      {0, 127, 60, 0, 0, 0, 0, 1, 1.0},    // a new global starts all three afresh
      {0, 127, 60, 0, -40, 0, 0, 1, 0.5}}; // the sample comes from the group
  for (int s = 0; s < kSfzSlots; ++s)
  {
    ASSERT_EQ(r[s].action, Action::kLoad) << s;
    EXPECT_EQ(r[s].samplePath, dir.Path() + "/" + std::to_string(s + 1) + ".wav");
    const Expected& e = expected[s];
    const double actual[] = {r[s].params[kLowNote], r[s].params[kHighNote], r[s].params[kRootNote],
                             r[s].params[kRelease], r[s].params[kPan],      r[s].params[kVolume],
                             r[s].params[kReverse], r[s].params[kLoop],     r[s].params[kSemitonesMultiply]};
    const double wanted[] = {e.low,    e.high,    e.root, e.release, e.pan,
                             e.volume, e.reverse, e.loop, e.keyTrack};
    for (size_t i = 0; i < std::size(wanted); ++i)
      EXPECT_DOUBLE_EQ(actual[i], wanted[i]) << "slot " << s << " value " << i;
  }
}

TEST(SfzFullOpcodes, KeySetsTheRangeAndRootAndTheLaterOpcodeWins)
{
  const auto key = FirstRegion("<group> key=36 <region> sample=a.wav");
  EXPECT_EQ(key[kLowNote], 36);
  EXPECT_EQ(key[kHighNote], 36);
  EXPECT_EQ(key[kRootNote], 36);
  const auto rootAfter = FirstRegion("<region> sample=a.wav key=38 pitch_keycenter=40");
  EXPECT_EQ(rootAfter[kLowNote], 38);
  EXPECT_EQ(rootAfter[kRootNote], 40);
  EXPECT_EQ(Param("pitch_keycenter=40 key=38", kRootNote), 38);
  EXPECT_EQ(Param("key=c#2", kHighNote), 37);
}

TEST(SfzFullOpcodes, NoteNamesHaveSharpsFlatsAndOctavesMinusOneToNine)
{
  const std::pair<const char*, double> cases[] = {
      {"c4", 60},
      {"C4", 60},
      {"c#4", 61},
      {"Db4", 61},
      {"db4", 61},
      {"Ab1", 32},
      {"bb1", 34},
      {"B1", 35},
      {"cb4", 59},
      {"e#4", 65},
      {"c-1", 0},
      {"C#-1", 1},
      {"g9", 127},
      {"0", 0},
      {"021", 21},
      {"127", 127},
      {"-1", -1},
      {"+60", 60},
      // Not notes: the opcode sets nothing and the default (0) stays.
      {"g#9", 0},
      {"cb-1", 0},
      {"c10", 0},
      {"c-2", 0},
      {"h2", 0},
      {"c", 0},
      {"128", 0},
      {"-2", 0},
      {"c 4", 0},
      {"c4x", 0},
      {"60.5", 0},
      {"", 0}};
  for (const auto& [text, note] : cases)
    EXPECT_EQ(Param(std::string("lokey=") + text, kLowNote), note) << text;
}

TEST(SfzFullOpcodes, SwitchesAndNumbersTakeTheirValuesAndIgnoreWhatTheyDoNotKnow)
{
  struct Case
  {
    const char* opcodes;
    ESlotParam kind;
    double value;
  };
  const Case cases[] = {
      {"loop_mode=one_shot", kLoop, 0},
      {"loop_mode=no_loop", kLoop, 0},
      {"loop_mode=loop_continuous", kLoop, 1},
      {"loop_mode=loop_sustain", kLoop, 1},
      {"<global> loop_mode=loop_continuous <region> sample=a.wav loop_mode=one_shot", kLoop, 0},
      {"loop_mode=loop", kLoop, 0}, // abbreviations are no values
      {"<global> loop_mode=loop_sustain <region> sample=a.wav loop_mode=x", kLoop,
       1}, // not understood: inherited
      {"direction=reverse", kReverse, 1},
      {"direction=forward", kReverse, 0},
      {"direction=REVERSE", kReverse, 0},
      {"pan_alternate=yes", kAlternatePan, 1},
      {"pan_alternate=no", kAlternatePan, 0},
      {"pitch_keytrack=0", kSemitonesMultiply, 0.0},
      {"pitch_keytrack=1200", kSemitonesMultiply, 12.0},
      {"ampeg_attack=0.25", kAttack, 0.25},
      {"ampeg_release=2.5", kRelease, 2.5},
      {"ampeg_release=nan", kRelease, 0},
      {"volume=-6", kVolume, -6},
      {"volume=-200", kVolume, -100}, // raised to the lowest value the flow does not take for "not given"
      {"pan=-100", kPan, -100},
      {"pan=abc", kPan, 0},
      {"ampeg_attack_oncc7=0.5", kAttack, 0}, // only exact opcode names
      {"Ampeg_attack=0.5", kAttack, 0},
  };
  for (const Case& c : cases)
  {
    const std::string text =
        c.opcodes[0] == '<' ? c.opcodes : std::string("<region> sample=a.wav ") + c.opcodes;
    EXPECT_DOUBLE_EQ(FirstRegion(text)[c.kind], c.value) << c.opcodes;
  }
}

TEST(SfzFullOpcodes, NoteOffsetsShiftTheNotesReadAfterThem)
{
  SfzFolder dir;
  dir.Wav("a.wav");
  const auto r = ReadAllSlotsFull(dir.Text("offsets.sfz", "<region> sample=a.wav key=60\n"
                                                          "<control> note_offset=2 octave_offset=-1\n"
                                                          "<region> sample=a.wav lokey=c4 hikey=70\n"
                                                          "<control> note_offset=0 octave_offset=x\n"
                                                          "<region> sample=a.wav pitch_keycenter=60"));
  EXPECT_EQ(r[0].params[kRootNote], 60);
  EXPECT_EQ(r[1].params[kLowNote], 50);
  EXPECT_EQ(r[1].params[kHighNote], 60);
  EXPECT_EQ(r[1].params[kRootNote], 60); // the default is no note that was read
  EXPECT_EQ(r[2].params[kRootNote], 48); // octave_offset kept its value
}
