// The info command on the Kestrune module, and state files saved and restored through the tool.

#include "host/HostToolRun.h"
#include "tools/kestrune-host/SmfWriter.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace
{
using namespace hosttest;

std::vector<char> FileBytes(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string LineOf(const std::string& text, const std::string& start)
{
  for (const std::string& line : Lines(text))
    if (line.compare(0, start.size(), start) == 0) return line;
  return "";
}

TEST(HostInfo, KestruneShowsItsSixtyParametersAndSixteenPrograms)
{
  const ToolRun run = RunHost("info " + Quote(KestrunePath()));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(HasLineStartingWith(run.output, "parameters: 60")) << run.output;
  EXPECT_TRUE(HasLineStartingWith(run.output, "programs: 16")) << run.output;
  EXPECT_TRUE(HasLineStartingWith(run.output, "name: Kestrune")) << run.output;
  EXPECT_TRUE(HasLineStartingWith(run.output, "unique id: 0x30717A77")) << run.output;
  EXPECT_TRUE(HasLineStartingWith(run.output, "category: 2 (instrument)")) << run.output;
  EXPECT_TRUE(HasLineStartingWith(run.output, "outputs: 2")) << run.output;
  EXPECT_TRUE(HasLineStartingWith(run.output, "   59 5 Loop")) << run.output;
  // One line per program after the count.
  const std::vector<std::string> lines = Lines(run.output);
  size_t at = 0;
  while (at < lines.size() && lines[at] != "programs: 16")
    ++at;
  ASSERT_LT(at, lines.size());
  EXPECT_EQ(lines.size() - at - 1, 16u) << run.output;
  EXPECT_EQ(lines.back().compare(0, 6, "   15 "), 0) << lines.back();
}

TEST(HostInfo, MissingModuleIsReported)
{
  TempFolder dir;
  const ToolRun run = RunHost("info " + Quote(dir.Path("nothing.so")));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("nothing.so"), std::string::npos);
}

class HostState : public ::testing::TestWithParam<std::string>
{
};

TEST_P(HostState, SavedStateRestoresTheParametersAndSavesBackTheSameBytes)
{
  const std::string plugin = GetParam() == "kestrune" ? KestrunePath() : SubjectPath("none");
  TempFolder dir;
  khost::SmfWriter song(480);
  song.Note(0, 0, 0, 60, 100, 240);
  ASSERT_TRUE(song.Save(dir.Path("song.mid")));
  const std::string render = "render " + Quote(plugin) + " --midi " + Quote(dir.Path("song.mid")) +
                             " --tail 0.1 -o " + Quote(dir.Path("out.wav"));
  ASSERT_EQ(RunHost(render + " --save-state " + Quote(dir.Path("default.state"))).exitCode, 0);
  const ToolRun saved = RunHost(render + " --param 1=0.75 --save-state " + Quote(dir.Path("changed.state")));
  ASSERT_EQ(saved.exitCode, 0) << saved.output;
  const ToolRun restored = RunHost(render + " --state " + Quote(dir.Path("changed.state")) +
                                   " --save-state " + Quote(dir.Path("again.state")));
  ASSERT_EQ(restored.exitCode, 0) << restored.output;
  const std::vector<char> changed = FileBytes(dir.Path("changed.state"));
  ASSERT_FALSE(changed.empty());
  EXPECT_NE(changed, FileBytes(dir.Path("default.state")));
  EXPECT_EQ(changed, FileBytes(dir.Path("again.state")));

  // What info shows of parameter 1 follows the state, not the default.
  const std::string withState = LineOf(
      RunHost("info " + Quote(plugin) + " --state " + Quote(dir.Path("changed.state"))).output, "    1 ");
  const std::string withParam = LineOf(RunHost("info " + Quote(plugin) + " --param 1=0.75").output, "    1 ");
  const std::string plain = LineOf(RunHost("info " + Quote(plugin)).output, "    1 ");
  ASSERT_FALSE(withState.empty());
  EXPECT_EQ(withState, withParam);
  EXPECT_NE(withState, plain);
}

INSTANTIATE_TEST_SUITE_P(Plugins, HostState, ::testing::Values("kestrune", "subject"));

TEST(HostStateFiles, GarbageStateFileIsRefused)
{
  TempFolder dir;
  {
    std::ofstream out(dir.Path("bad.state"), std::ios::binary);
    out << "no";
  }
  const ToolRun run =
      RunHost("info " + Quote(SubjectPath("none")) + " --state " + Quote(dir.Path("bad.state")));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("refused the state"), std::string::npos) << run.output;
}
} // namespace
