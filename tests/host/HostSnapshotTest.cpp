// The snapshot command: the editor of the real module drawn without a window, after the loading
// options and held notes, into a PNG file.

#include "editor/GoldenCompare.h"
#include "host/HostToolRun.h"

#include "drawing/DRAW_PNG.h"
#include "editor/EditorConstants.h"

#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

namespace
{
using namespace hosttest;

std::unique_ptr<DRAW_IBitmap> Snapshot(const TempFolder& dir, const std::string& name,
                                       const std::string& args)
{
  const std::string png = dir.Path(name);
  const ToolRun run = RunHost("snapshot " + Quote(KestrunePath()) + " -o " + Quote(png) + " " + args);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  return std::unique_ptr<DRAW_IBitmap>(DRAW_LoadPNG(png.c_str()));
}

// Pixels that differ between a and b inside r.
int DifferingPixels(const DRAW_IBitmap& a, const DRAW_IBitmap& b, const int (&rect)[4], int columnOffset)
{
  int count = 0;
  for (int y = rect[1]; y < rect[3]; ++y)
    for (int x = rect[0] + columnOffset; x < rect[2] + columnOffset; ++x)
      count += a.Row(y)[x] != b.Row(y)[x];
  return count;
}

TEST(HostSnapshot, DefaultInstanceMatchesTheEmptyEditorGoldenImage)
{
  TempFolder dir;
  auto picture = Snapshot(dir, "editor.png", "--ticks 0");
  ASSERT_NE(picture, nullptr);
  std::unique_ptr<DRAW_IBitmap> golden(
      DRAW_LoadPNG((std::string(KESTRUNE_TEST_DATA) + "/golden/editor-empty.png").c_str()));
  ASSERT_NE(golden, nullptr);
  const editortest::GoldenVerdict verdict =
      editortest::CompareWithGolden(*picture, *golden, editortest::EditorTextAreas());
  EXPECT_TRUE(verdict.mPass) << verdict.mReport;
}

TEST(HostSnapshot, SampleAndHeldNoteShowWhereTheyBelong)
{
  TempFolder dir;
  ASSERT_TRUE(WriteSine(dir.Path("tone.wav"), 220.0, 48000, 1.0, 0.8));
  auto empty = Snapshot(dir, "empty.png", "");
  auto loaded = Snapshot(dir, "loaded.png", "--slot 2=" + Quote(dir.Path("tone.wav")));
  auto playing = Snapshot(dir, "playing.png", "--slot 2=" + Quote(dir.Path("tone.wav")) + " --note 60");
  ASSERT_TRUE(empty && loaded && playing);

  // The sample shows in slot 3's view only.
  for (int slot = 0; slot < 5; ++slot)
  {
    const int differing = DifferingPixels(*empty, *loaded, kSampleViewRect, slot * kColumnPitchPx);
    if (slot == 2)
      EXPECT_GT(differing, 500) << "the waveform and name of the loaded sample";
    else
      EXPECT_EQ(differing, 0) << "slot " << slot + 1 << " stays empty";
  }
  // The held note marks the keyboard strips, and only the loaded slot's activity band lights up.
  EXPECT_GT(DifferingPixels(*loaded, *playing, kRangeViewRect, 2 * kColumnPitchPx), 0);
  EXPECT_GT(DifferingPixels(*loaded, *playing, kActivityRect, 2 * kColumnPitchPx), 0);
  EXPECT_EQ(DifferingPixels(*loaded, *playing, kActivityRect, 0), 0);
}

TEST(HostSnapshot, PluginWithoutAnEditorAndBadOptionsFailWithoutAPicture)
{
  TempFolder dir;
  const std::string png = dir.Path("none.png");
  struct stat st;
  ToolRun run = RunHost("snapshot " + Quote(SubjectPath("none")) + " -o " + Quote(png));
  EXPECT_EQ(run.exitCode, 3) << run.output;
  EXPECT_NE(run.output.find("has no editor"), std::string::npos) << run.output;
  EXPECT_NE(stat(png.c_str(), &st), 0);

  for (const char* bad : {"--note 128", "--note 60,0", "--note x", "--hold -1", "--ticks 10001"})
  {
    run = RunHost("snapshot " + Quote(KestrunePath()) + " -o " + Quote(png) + " " + bad);
    EXPECT_EQ(run.exitCode, 2) << bad << ": " << run.output;
  }
  run = RunHost("snapshot " + Quote(KestrunePath()));
  EXPECT_EQ(run.exitCode, 2) << "no output file: " << run.output;
  run = RunHost("snapshot " + Quote(KestrunePath()) + " -o " + Quote(dir.Path("missing/x.png")));
  EXPECT_EQ(run.exitCode, 1) << "unwritable output: " << run.output;
  EXPECT_NE(stat(png.c_str(), &st), 0);
}
} // namespace
