// kestrune-host.exe edit under Wine: samples reach the DLL's editor through the Windows file dialog, a
// drag and drop from another X client, an SFZ file and the folder-stepping buttons, and leave it
// through the clipboard.

#include "Picture.h"
#include "WineEditFixture.h"

#include "x11/XdndTestSource.h"

namespace winetest
{

namespace
{
std::string FileUri(const std::string& path)
{
  std::string uri = "file://";
  for (char c : path)
    uri += c == ' ' ? std::string("%20") : std::string(1, c);
  return uri;
}
} // namespace

TEST_F(WineEdit, FileDialogLoadsATypedPathIntoTheClickedSlot)
{
  const std::string wav = Path("chosen.wav", "dialog");
  WriteWav(wav, 0.02);
  EditHost* host = Start();
  ASSERT_NE(host, nullptr);
  ASSERT_TRUE(host->Pointer(kSampleViewX, kSampleViewY, {"click", "1"}));
  std::vector<unsigned long> dialogs;
  ASSERT_TRUE(WaitFor(
      [&]
      {
        dialogs = FindWindows("^Select audio sample$");
        return !dialogs.empty();
      }))
      << host->Output();
  // The file name field has the focus; the pointer rests on the dialog so that it keeps the keyboard.
  ASSERT_TRUE(Xdotool({"mousemove", "--window", std::to_string(dialogs[0]), "200", "100"}));
  ASSERT_TRUE(TypeText(DosPath(wav)));
  ASSERT_TRUE(Keys({"Return"}));
  EXPECT_TRUE(WaitFor([&] { return FindWindows("^Select audio sample$").empty(); }));
  // The editor's loader publishes the file a moment after the dialog has answered.
  std::string path;
  EXPECT_TRUE(WaitFor(
      [&]
      {
        path = host->SamplePath(0);
        return path == DosPath(wav);
      }))
      << path;
  EXPECT_EQ(host->SamplePath(1), "0");
  // The dialog took the button's release; the editor still answers the next click.
  ASSERT_EQ(host->Ask("watch 0", "watching param 0: "), "watching param 0: Yes");
  ASSERT_TRUE(host->Pointer(kOnOffX, kOnOffY, {"click", "1"}));
  EXPECT_NE(host->WaitForLine("param 0 changed: No"), "") << host->Output();
}

TEST_F(WineEdit, FirstOfTheFilesDroppedFromAnXClientLoadsAndARightClickCopiesItsPath)
{
  const std::string wav = Path("dropped ramp.wav", "drop");
  const std::string second = Path("second.wav", "drop");
  WriteWav(wav, 0.03);
  WriteWav(second, 0.04);
  EditHost* host = Start();
  ASSERT_NE(host, nullptr);
  // Onto slot 1: the drop point has to reach the editor in its own coordinates to find that slot.
  x11_test::XdndResult r = x11_test::DragAndDrop(host->XWindow(), host->EditorX() + kSampleViewX + kSlotDx,
                                                 host->EditorY() + kSampleViewY,
                                                 FileUri(wav) + "\r\n" + FileUri(second) + "\r\n", false);
  EXPECT_TRUE(r.mAccepted);
  EXPECT_TRUE(r.mFinished);
  std::string path;
  EXPECT_TRUE(WaitFor(
      [&]
      {
        path = host->SamplePath(1);
        return path == DosPath(wav);
      }))
      << path;
  EXPECT_EQ(host->SamplePath(0), "0");
  EXPECT_EQ(host->SamplePath(2), "0");

  ASSERT_TRUE(host->Pointer(kSampleViewX + kSlotDx, kSampleViewY, {"click", "3"}));
  std::string text;
  EXPECT_TRUE(WaitFor(
      [&] {
        return RunProgram({"xclip", "-o", "-selection", "clipboard"}, &text) == 0 && text == DosPath(wav);
      }))
      << text;
}

TEST_F(WineEdit, SfzWithAMissingSampleShowsTheBoxWhichIsDismissed)
{
  const std::string good = Path("good.wav", "kit");
  WriteWav(good, 0.02);
  const std::string sfz = Path("kit.sfz", "kit");
  WriteText(sfz, "<region>\nsample=good.wav\n<region>\nsample=missing.wav\n");
  EditHost* host = Start();
  ASSERT_NE(host, nullptr);
  x11_test::XdndResult r =
      x11_test::DragAndDrop(host->XWindow(), host->EditorX() + kSampleViewX, host->EditorY() + kSampleViewY,
                            FileUri(sfz) + "\r\n", false);
  EXPECT_TRUE(r.mFinished);
  std::vector<unsigned long> boxes;
  ASSERT_TRUE(WaitFor(
      [&]
      {
        boxes = FindWindows("^Wrong Sample in SFZ file$");
        return !boxes.empty();
      }))
      << host->Output();
  // OK has the focus: Enter dismisses the box, and the host's loop runs on.
  ASSERT_TRUE(Xdotool({"mousemove", "--window", std::to_string(boxes[0]), "10", "10"}));
  ASSERT_TRUE(Keys({"Return"}));
  EXPECT_TRUE(WaitFor([&] { return FindWindows("^Wrong Sample in SFZ file$").empty(); }));
  EXPECT_EQ(host->SamplePath(0), DosPath(good));
}

TEST_F(WineEdit, PreviousAndNextButtonsStepThroughTheFolder)
{
  for (const char* name : {"a.wav", "b.wav", "c.wav"})
    WriteWav(Path(name, "folder"), 0.01 * (name[0] - 'a' + 1));
  WriteText(Path("notes.txt", "folder"), "not a sample");
  const auto dos = [&](const char* name) { return DosPath(Path(name, "folder")); };
  EditHost* host = Start({"--slot", "0=" + dos("b.wav")});
  ASSERT_NE(host, nullptr);
  ASSERT_EQ(host->SamplePath(0), dos("b.wav"));

  const struct
  {
    int x;
    const char* expected;
  } steps[] = {{kNextX, "c.wav"}, {kPreviousX, "b.wav"}, {kPreviousX, "a.wav"}};
  int aside = 0;
  for (const auto& step : steps)
  {
    ASSERT_TRUE(host->Pointer(step.x + aside, kStepY + aside, {"click", "1"}));
    aside = aside == 0 ? kAsideDy : 0;
    std::string path;
    EXPECT_TRUE(WaitFor(
        [&]
        {
          path = host->SamplePath(0);
          return path == dos(step.expected);
        }))
        << "expected " << step.expected << ", slot 0 holds " << path;
  }
}

TEST_F(WineEdit, ScriptedHostSurvivesReopeningAndAWindowDestroyedUnderTheEditorAtAnyIdleRate)
{
  const std::string reference = Path("reference.png");
  ASSERT_EQ(RunProgram(sSetup.Snapshot(reference, {"--param", "5=0.9"})), 0);
  Picture expected;
  ASSERT_TRUE(ReadPng(reference, Path("reference"), &expected));
  const std::vector<std::vector<std::string>> idling = {
      {"--idle-hz", "0"}, {"--idle-hz", "15", "--idle-thread"}, {"--idle-hz", "200"}};
  for (const std::vector<std::string>& idle : idling)
  {
    EditHost* host = Start(idle);
    ASSERT_NE(host, nullptr);
    for (const char* action : {"param 5 0.9", "close", "open", "idle 50", "destroy", "open"})
      ASSERT_TRUE(host->Send(action));
    EXPECT_EQ(host->Ask("print 5", "param 5: "), "param 5: 12.96");
    // The editor paints in the host's new window.
    ASSERT_TRUE(host->FindWindow());
    long differing = -1;
    WaitFor(
        [&]
        {
          Picture window;
          if (!GrabWindow(host->XWindow(), Path("screen"), &window)) return false;
          differing =
              Picture::Differing(window.Crop(host->EditorX(), host->EditorY(), kEditorW, kEditorH), expected);
          return differing == 0;
        });
    EXPECT_EQ(differing, 0) << idle[1];
    EXPECT_EQ(host->Quit(), 0) << host->Output();
    const std::string output = host->Output();
    int opened = 0;
    for (size_t at = 0; (at = output.find("editor window 0x", at)) != std::string::npos; ++at)
      ++opened;
    EXPECT_EQ(opened, 3) << output;
    EXPECT_NE(output.find("window destroyed under the editor"), std::string::npos) << output;
    EXPECT_NE(output.find("editor closed"), std::string::npos) << output;
    mHost.reset();
  }
}

TEST_F(WineEdit, ClosingTheHostsWindowClosesTheEditorAndEndsTheHost)
{
  EditHost* host = Start();
  ASSERT_NE(host, nullptr);
  // Alt+F4 over the window (its system menu's close, as the close button gives); no quit is sent.
  ASSERT_TRUE(host->Pointer(kQuietX, kQuietY, {"key", "alt+F4"}));
  EXPECT_EQ(host->WaitForEnd(10000), 0) << host->Output();
  EXPECT_NE(host->Output().find("editor closed"), std::string::npos) << host->Output();
  EXPECT_TRUE(FindWindows("^kestrune-host: ").empty());
}
} // namespace winetest
