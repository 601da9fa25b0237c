// Golden images of the whole editor. Regenerate them after an intended change of the picture with
//
//     KESTRUNE_UPDATE_GOLDEN=1 ./build/tests/kestrune_tests --gtest_filter='EditorGolden*'
//
// and look at the new files in tests/data/golden/ before committing them. A failing comparison writes
// the picture it got next to the test program (golden-<name>-actual.png).

#include "editor/EditorFixture.h"
#include "editor/GoldenCompare.h"

#include "drawing/DRAW_PNG.h"
#include "drawing/DRAW_SysBitmap.h"
#include "framework/IGraphics.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace editortest
{
namespace
{
constexpr double kPi = 3.14159265358979323846;

std::string GoldenPath(const std::string& name)
{
  return std::string(KESTRUNE_TEST_DATA) + "/golden/editor-" + name + ".png";
}

bool UpdatingGoldens()
{
  const char* flag = std::getenv("KESTRUNE_UPDATE_GOLDEN");
  return flag && flag[0] == '1';
}

// A decaying tone with a slow tremolo, different per channel, so the waveform has a recognisable shape.
double Tone(int channel, uint32_t i, double seconds)
{
  const double t = i / 48000.0;
  const double envelope = std::exp(-3.0 * t / seconds) * std::min(1.0, t * 200.0);
  return 0.9 * envelope * std::sin(2.0 * kPi * (110.0 + 55.0 * channel) * t) *
         (0.6 + 0.4 * std::sin(2.0 * kPi * 3.0 * t));
}

} // namespace

class EditorGolden : public EditorTest
{
protected:
  // Draws the whole editor at a size and compares it with (or, when updating, writes) the golden image.
  void CheckGolden(const std::string& name, int scale = 100)
  {
    Gui()->UseScale(scale);
    ASSERT_EQ(Gui()->ScalePercent(), scale);
    IRECT all(0, 0, Gui()->Width(), Gui()->Height());
    Gui()->Draw(&all);
    const DRAW_IBitmap& picture = *Gui()->GetDrawBitmap();
    const std::string path = GoldenPath(name);
    if (UpdatingGoldens())
    {
      ASSERT_TRUE(DRAW_SavePNG(&picture, path.c_str())) << path;
      return;
    }
    std::unique_ptr<DRAW_IBitmap> golden(DRAW_LoadPNG(path.c_str()));
    ASSERT_NE(golden, nullptr) << "no golden image " << path << " (KESTRUNE_UPDATE_GOLDEN=1 makes it)";
    std::vector<IRECT> textAreas;
    for (const IRECT& r : EditorTextAreas())
      textAreas.push_back(Gui()->ToPixels(r));
    const GoldenVerdict verdict = CompareWithGolden(picture, *golden, textAreas);
    if (!verdict.mPass) DRAW_SavePNG(&picture, ("golden-" + name + "-actual.png").c_str());
    EXPECT_TRUE(verdict.mPass) << name << ": " << verdict.mReport;
  }

  void BuildPlayingScene()
  {
    auto set = [&](int slot, ESlotParam kind, double normalized)
    { Fx()->setParameter(Fx(), slot * kParamsPerSlot + kind, static_cast<float>(normalized)); };
    set(1, kPan, 0.25);
    set(2, kActive, 0.0);
    set(2, kAlternatePan, 1.0);
    set(3, kReverse, 1.0);
    set(4, kVolume, 0.9);
    set(4, kLoop, 0.0);
    set(0, kSemitonesMultiply, Param(0, kSemitonesMultiply)->GetNormalized(2.5));
    set(0, kAttack, Param(0, kAttack)->GetNormalized(0.05));
    set(3, kLowNote, 48.0 / 115.0); // MIDI 60..60
    set(3, kHighNote, 48.0 / 115.0);
    LoadSample(
        0, 72000, 1, [](int c, uint32_t i) { return Tone(c, i, 1.5); }, kRate, "tone 1.wav");
    LoadSample(
        1, 19200, 2, [](int c, uint32_t i) { return Tone(c, i, 0.4); }, kRate, "short stereo.wav");
    LoadSample(
        3, 144000, 2, [](int c, uint32_t i) { return Tone(c, i, 3.0); }, kRate, "reversed.wav");
    {
      std::lock_guard<InstanceMutex> lock(mPlug->Mutex());
      Engine().ReverseSampleData(3); // as the data step does for a slot with Reverse on
    }
    SampleView(0)->SetPreviousPath("/samples/a.wav");
    SampleView(0)->SetNextPath("/samples/c.wav");
    SampleView(0)->SetChanged();
    NoteOn(30);
    NoteOn(60);
    NoteOn(64);
    Render(9000);
    MessageBar()->SetMessage("/samples/tone 1.wav");
    Gui()->Ticks(2);
  }
};

TEST_F(EditorGolden, EmptyEditorMatchesItsGolden)
{
  CheckGolden("empty");
}

TEST_F(EditorGolden, EditorWithSamplesNotesAndSettingsMatchesItsGolden)
{
  BuildPlayingScene();
  CheckGolden("playing");
}

// The larger sizes: every image from its own rendering, text at the larger pixel height, the waveform
// and the range views at full resolution.
TEST_F(EditorGolden, EmptyEditorAt150And200PercentMatchesItsGoldens)
{
  CheckGolden("empty-150", 150);
  CheckGolden("empty-200", 200);
}

TEST_F(EditorGolden, EditorWithSamplesNotesAndSettingsAt150And200PercentMatchesItsGoldens)
{
  BuildPlayingScene();
  CheckGolden("playing-150", 150);
  CheckGolden("playing-200", 200);
  // Back to 100 %: the same picture as the editor that never changed size.
  CheckGolden("playing");
}

} // namespace editortest
