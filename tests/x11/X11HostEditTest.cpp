// kestrune-host edit: the module's editor in the host tool's own X window, driven by a script of host
// actions and by xdotool.

#include "X11EditorFixture.h"

#include "host/HostToolRun.h"
#include "tools/kestrune-host/EditCommand.h"

#include <cstdlib>
#include <fstream>

namespace x11_test
{
class X11HostEdit : public X11ServerFixture
{
protected:
  std::string Script(const std::string& text)
  {
    std::string path = TempDir() + "/edit.script";
    std::ofstream(path) << text;
    return path;
  }
};

TEST_F(X11HostEdit, ScriptedHostSurvivesReopeningAndAWindowDestroyedUnderTheEditor)
{
  const std::string script = Script("param 5 0.9\n"
                                    "wait 150\n"
                                    "print 5\n"
                                    "close\n"
                                    "open\n"
                                    "idle 50\n"
                                    "wait 100\n"
                                    "destroy\n"
                                    "wait 100\n"
                                    "open\n"
                                    "wait 100\n"
                                    "quit\n");
  for (const char* idle : {"--idle-hz 0", "--idle-hz 15 --idle-thread", "--idle-hz 50"})
  {
    hosttest::ToolRun run = hosttest::RunHost("edit " + hosttest::Quote(hosttest::KestrunePath()) + " " +
                                              idle + " --seconds 10 --script " + hosttest::Quote(script));
    EXPECT_EQ(run.exitCode, 0) << idle << "\n" << run.output;
    std::vector<std::string> lines = hosttest::Lines(run.output);
    int opened = 0;
    for (const std::string& line : lines)
      opened += line.rfind("editor window 0x", 0) == 0;
    EXPECT_EQ(opened, 3) << idle << "\n" << run.output;
    EXPECT_TRUE(hosttest::HasLineStartingWith(run.output, "param 5: 12.96")) << run.output;
    EXPECT_TRUE(hosttest::HasLineStartingWith(run.output, "window destroyed under the editor")) << run.output;
    EXPECT_TRUE(hosttest::HasLineStartingWith(run.output, "editor closed")) << run.output;
  }
}

TEST_F(X11HostEdit, ScriptLinesAreCheckedBeforeAnythingRuns)
{
  std::vector<khost::EditAction> actions;
  std::string error;
  EXPECT_TRUE(khost::EditCommand::ParseScript("# comment\n\nwait 5 # trailing\nparam 3 0.25\nquit\n",
                                              &actions, &error));
  ASSERT_EQ(actions.size(), 3u);
  EXPECT_EQ(actions[1].kind, khost::EditAction::kParam);
  EXPECT_EQ(actions[1].index, 3);
  EXPECT_DOUBLE_EQ(actions[1].value, 0.25);
  for (const char* bad : {"wait\n", "wait -1\n", "param 3 1.5\n", "param 3\n", "close now\n", "jump 3\n",
                          "watch\n", "sample x\n", "ticks 2\n", "stats 1\n", "calls all\n"})
  {
    actions.clear();
    EXPECT_FALSE(khost::EditCommand::ParseScript(bad, &actions, &error)) << bad;
    EXPECT_NE(error.find("script line 1"), std::string::npos) << bad;
  }
  hosttest::ToolRun run = hosttest::RunHost("edit " + hosttest::Quote(hosttest::KestrunePath()) +
                                            " --script " + hosttest::Quote(Script("open\nbogus\n")));
  EXPECT_EQ(run.exitCode, 2) << run.output;
  EXPECT_NE(run.output.find("script line 2"), std::string::npos) << run.output;
  // The note a render thread plays is checked as a MIDI note and velocity.
  for (const char* bad : {"--play 128", "--play 60,0", "--play x", "--play 60,128"})
  {
    run = hosttest::RunHost("edit " + hosttest::Quote(hosttest::KestrunePath()) + " " + bad);
    EXPECT_EQ(run.exitCode, 2) << bad << ": " << run.output;
    EXPECT_NE(run.output.find("--play needs N[,V]"), std::string::npos) << bad << ": " << run.output;
  }
}

TEST_F(X11HostEdit, LiveScriptFromStandardInputWatchesParametersAndSkipsFaultyLines)
{
  const std::string input = Script("watch 5\n"
                                   "param 5 0.9\n"
                                   "sample 0\n"
                                   "ticks\n"
                                   "bogus line\n"
                                   "quit\n");
  hosttest::ToolRun run = hosttest::RunHost("edit " + hosttest::Quote(hosttest::KestrunePath()) +
                                            " --seconds 10 --script - < " + hosttest::Quote(input));
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(hosttest::HasLineStartingWith(run.output, "watching param 5: 0.80")) << run.output;
  // The change is printed when it happens, without being asked for.
  EXPECT_TRUE(hosttest::HasLineStartingWith(run.output, "param 5 changed: 12.96")) << run.output;
  EXPECT_TRUE(hosttest::HasLineStartingWith(run.output, "sample 0: 0")) << run.output;
  // The X11 editor ticks on a thread of its own, out of the host's sight.
  EXPECT_TRUE(hosttest::HasLineStartingWith(run.output, "editor ticks are not seen")) << run.output;
  EXPECT_TRUE(hosttest::HasLineStartingWith(run.output, "script line 5: unknown action")) << run.output;
  EXPECT_TRUE(hosttest::HasLineStartingWith(run.output, "editor closed")) << run.output;
}

TEST_F(X11HostEdit, UserDragOnTheEditorReachesTheHostAsAutomation)
{
  // The host tool runs in the background; xdotool drags the attack knob of its editor meanwhile.
  const std::string out = TempDir() + "/out.txt";
  const std::string script = Script("wait 1500\nprint 5\nquit\n");
  const std::string command = "(" + hosttest::Quote(KESTRUNE_HOST_PATH) + " edit " +
                              hosttest::Quote(hosttest::KestrunePath()) + " --seconds 10 --script " +
                              hosttest::Quote(script) + " > " + hosttest::Quote(out) + " 2>&1 &) ; " +
                              "xdotool search --sync --name 'kestrune-host' | head -1";
  std::string found;
  ASSERT_EQ(RunTool({"sh", "-c", command}, &found), 0);
  ASSERT_FALSE(found.empty());
  const std::string top = found.substr(0, found.find('\n'));
  ASSERT_TRUE(PointerIn(std::stoul(top), 69, 309,
                        {"mousedown", "1", "mousemove", "--window", top, "69", "250", "mouseup", "1"}));
  std::string text;
  ASSERT_TRUE(WaitFor(
      [&]
      {
        std::ifstream in(out);
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return text.find("editor closed") != std::string::npos;
      }));
  // The attack starts at 0.80 s; the drag raised it.
  EXPECT_TRUE(hosttest::HasLineStartingWith(text, "param 5: ")) << text;
  EXPECT_FALSE(hosttest::HasLineStartingWith(text, "param 5: 0.80")) << text;
}
} // namespace x11_test
