// Opcode lines of SFZ regions and the slot parameter values they give.

#include "SfzTestFiles.h"

#include <gtest/gtest.h>

using sfztest::SfzFolder;
using Action = SfzSlotResult::Action;

namespace
{
enum Kind
{
  kActive = 0,
  kLowNote,
  kHighNote,
  kRootNote,
  kSemitonesMultiply,
  kAttack,
  kRelease,
  kPan,
  kAlternatePan,
  kVolume,
  kReverse,
  kLoop
};

// Slot 0's result for one region with the given opcode lines, its sample a.wav next to the file.
SfzSlotResult OneRegion(const std::string& lines)
{
  SfzFolder dir;
  dir.Wav("a.wav");
  SfzSlotResult r = ReadSfzSlot(dir.Text("one.sfz", "<region>\nsample=a.wav\n" + lines), 0, false);
  EXPECT_EQ(r.action, Action::kLoad) << lines;
  return r;
}

double Param(const std::string& lines, Kind kind)
{
  return OneRegion(lines).params[kind];
}
} // namespace

TEST(SfzOpcodes, RegionValuesBecomeSlotParameters)
{
  const SfzSlotResult r = OneRegion("ampeg_attack=0.25\nampeg_release=1.5\nvolume=-6\nlokey=36\nhikey=72\n"
                                    "pitch_keycenter=60\npitch_keytrack=50\npan=-30\npan_alternate=yes\n"
                                    "direction=reverse\nloop_mode=loop_continuous\n");
  EXPECT_EQ(r.params[kActive], kSfzNotGiven);
  EXPECT_EQ(r.params[kLowNote], 36);
  EXPECT_EQ(r.params[kHighNote], 72);
  EXPECT_EQ(r.params[kRootNote], 60);
  EXPECT_DOUBLE_EQ(r.params[kSemitonesMultiply], 0.5);
  EXPECT_EQ(r.params[kAttack], 0.25);
  EXPECT_EQ(r.params[kRelease], 1.5);
  EXPECT_EQ(r.params[kPan], -30);
  EXPECT_EQ(r.params[kAlternatePan], 1);
  EXPECT_EQ(r.params[kVolume], -6);
  EXPECT_EQ(r.params[kReverse], 1);
  EXPECT_EQ(r.params[kLoop], 1);
}

TEST(SfzOpcodes, RegionWithoutOpcodesLeavesEveryParameterAlone)
{
  const SfzSlotResult r = OneRegion("");
  for (double value : r.params)
    EXPECT_EQ(value, kSfzNotGiven);
}

TEST(SfzOpcodes, StartValuesCountAsNotGiven)
{
  const SfzSlotResult r =
      OneRegion("ampeg_attack=-1\nampeg_release=-3\nvolume=-50\nlokey=c\npitch_keytrack=-1\npan=-101\n");
  for (Kind kind : {kLowNote, kSemitonesMultiply, kAttack, kRelease, kPan, kVolume})
    EXPECT_EQ(r.params[kind], kSfzNotGiven) << kind;
  // The edges that count as given: they are clamped by the parameters later, not here.
  const SfzSlotResult edges = OneRegion("ampeg_attack=-0.5\nvolume=-49\npitch_keytrack=0\npan=-100\n");
  EXPECT_EQ(edges.params[kAttack], -0.5);
  EXPECT_EQ(edges.params[kVolume], -49);
  EXPECT_EQ(edges.params[kSemitonesMultiply], 0.0);
  EXPECT_EQ(edges.params[kPan], -100);
}

TEST(SfzOpcodes, RegionValueWinsOverFileWideValueWhichFillsTheGaps)
{
  SfzFolder dir;
  dir.Wav("a.wav");
  dir.Wav("b.wav");
  const std::string sfz = dir.Text("fall.sfz", "<global>\nlokey=36\npan=10\nampeg_release=2\n"
                                               "<region>\nsample=a.wav\nlokey=48\n"
                                               "<region>\nsample=b.wav\nampeg_release=0.5\n");
  const SfzSlotResult first = ReadSfzSlot(sfz, 0, false);
  EXPECT_EQ(first.params[kLowNote], 48);
  EXPECT_EQ(first.params[kPan], 10);
  EXPECT_EQ(first.params[kRelease], 2);
  const SfzSlotResult second = ReadSfzSlot(sfz, 1, false);
  EXPECT_EQ(second.params[kLowNote], 36);
  EXPECT_EQ(second.params[kPan], 10);
  EXPECT_EQ(second.params[kRelease], 0.5);
}

TEST(SfzOpcodes, RegionValuesStartOverInTheNextRegion)
{
  SfzFolder dir;
  dir.Wav("a.wav");
  dir.Wav("b.wav");
  const std::string sfz =
      dir.Text("reset.sfz", "<region>\nsample=a.wav\npan=20\nvolume=3\n<region>\nsample=b.wav\n");
  const SfzSlotResult second = ReadSfzSlot(sfz, 1, false);
  EXPECT_EQ(second.params[kPan], kSfzNotGiven);
  EXPECT_EQ(second.params[kVolume], kSfzNotGiven);
}

TEST(SfzOpcodes, KeyTrackingInCentsBecomesSemitonesMultiply)
{
  EXPECT_EQ(Param("pitch_keytrack=100\n", kSemitonesMultiply), 1.0);
  EXPECT_DOUBLE_EQ(Param("pitch_keytrack=1200\n", kSemitonesMultiply), 12.0);
  EXPECT_EQ(Param("lokey=40\n", kSemitonesMultiply), kSfzNotGiven);
}

TEST(SfzOpcodes, DirectionLoopModeAndPanAlternateReadKeywords)
{
  EXPECT_EQ(Param("direction=forward\n", kReverse), 0);
  EXPECT_EQ(Param("direction=REV\n", kReverse), 1);
  EXPECT_EQ(Param("loop_mode=no_loop\n", kLoop), 0);
  EXPECT_EQ(Param("loop_mode=loop_sustain\n", kLoop), 1);
  EXPECT_EQ(Param("loop_mode=loop\n", kLoop), 1);
  EXPECT_EQ(Param("loop_mode=one_shot\n", kLoop), kSfzNotGiven);
  EXPECT_EQ(Param("loop_mode=no_loop\nloop_mode=one_shot\n", kLoop), 0);
  EXPECT_EQ(Param("pan_alternate=no\n", kAlternatePan), 0);
  EXPECT_EQ(Param("pan_alternate=Y\n", kAlternatePan), 1);
}

TEST(SfzOpcodes, NoteNamesAndNumbers)
{
  EXPECT_EQ(Param("lokey=c4\n", kLowNote), 60);
  EXPECT_EQ(Param("lokey=C4\n", kLowNote), 60);
  EXPECT_EQ(Param("hikey=a#3\n", kHighNote), 58);
  EXPECT_EQ(Param("pitch_keycenter=g9\n", kRootNote), 127);
  EXPECT_EQ(Param("lokey=c0\n", kLowNote), 12);
  EXPECT_EQ(Param("lokey=100\n", kLowNote), 100);
  // Flats, negative octaves and the numbers below 12 give -1, which the parameter clamps later.
  EXPECT_EQ(Param("lokey=db4\n", kLowNote), -1);
  EXPECT_EQ(Param("lokey=c-1\n", kLowNote), -1);
  EXPECT_EQ(Param("lokey=11\n", kLowNote), -1);
  // Longer than three characters: sets nothing, so the earlier value stays.
  EXPECT_EQ(Param("lokey=50\nlokey=c#10\n", kLowNote), 50);
  // A name without octave gives 0, which counts as not given again.
  EXPECT_EQ(Param("lokey=50\nlokey=c\n", kLowNote), kSfzNotGiven);
}

TEST(SfzOpcodes, KeysThatBeginAnOpcodeNameMatchTheFirstSuchName)
{
  EXPECT_EQ(Param("lo=40\n", kLowNote), 40); // "lokey" is tested before "loop_mode"
  EXPECT_EQ(Param("p=62\n", kRootNote), 62); // "pitch_keycenter" before "pan"
  EXPECT_EQ(Param("PAN=15\n", kPan), 15);    // keys are compared lower-cased
  EXPECT_EQ(Param("pan_a=yes\n", kAlternatePan), 1);
  EXPECT_EQ(Param("=0.75\n", kAttack), 0.75); // an empty key matches the first name
  EXPECT_EQ(Param("lokeys=40\n", kLowNote), kSfzNotGiven);
  EXPECT_EQ(Param("d=reverse\n", kReverse), 1); // "direction" before "default_path"
}

TEST(SfzOpcodes, SpacesAroundTheEqualsSignAreKeptInKeyAndValue)
{
  // The key "lokey " is longer than "lokey" and matches nothing.
  EXPECT_EQ(Param("lokey = 36\n", kLowNote), kSfzNotGiven);
  // The value " 36" still reads as a number, the white space skipped by the conversion.
  EXPECT_EQ(Param("lokey= 36\n", kLowNote), 36);
  EXPECT_EQ(Param("volume=  -6\n", kVolume), -6);
  // Further "=" characters stay in the value.
  EXPECT_EQ(Param("direction=reverse=yes\n", kReverse), 0);
}

TEST(SfzOpcodes, NumbersReadTheirLeadingPartAndIgnoreTheRest)
{
  EXPECT_EQ(Param("ampeg_attack=0.5s\n", kAttack), 0.5);
  EXPECT_EQ(Param("ampeg_attack=2\nampeg_attack=fast\n", kAttack), 2);
  EXPECT_EQ(Param("volume=-3.9\n", kVolume), -3);
  EXPECT_EQ(Param("volume=loud\n", kVolume), 0);
  // Values are kept to 16 bits: 65530 wraps to -6.
  EXPECT_EQ(Param("volume=65530\n", kVolume), -6);
  // A decimal point is a point whatever the locale; a comma ends the number.
  EXPECT_EQ(Param("ampeg_release=1,5\n", kRelease), 1);
}
