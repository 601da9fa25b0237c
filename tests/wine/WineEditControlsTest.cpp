// kestrune-host.exe edit under Wine: the DLL's editor in the host's Win32 window paints what the
// window-less editor draws, and its controls answer the mouse and keyboard of the X display.

#include "Picture.h"
#include "WineEditFixture.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace winetest
{

TEST_F(WineEdit, EditorPaintsWhatTheWindowlessEditorDrawsInTheSameState)
{
  // A sample alone in its folder (no previous or next file) and a changed attack, in both programs.
  const std::string wav = Path("ramp.wav", "alone");
  WriteWav(wav, 0.01);
  const std::string reference = Path("reference.png");
  ASSERT_EQ(RunProgram(sSetup.Snapshot(reference, {"--slot", "0=" + DosPath(wav), "--param", "5=0.5"})), 0);
  Picture expected;
  ASSERT_TRUE(ReadPng(reference, Path("reference"), &expected));
  ASSERT_EQ(expected.width, kEditorW);
  ASSERT_EQ(expected.height, kEditorH);

  EditHost* host = Start({"--slot", "0=" + DosPath(wav), "--param", "5=0.5"});
  ASSERT_NE(host, nullptr);
  Picture shown;
  long differing = -1;
  WaitFor(
      [&]
      {
        Picture window;
        if (!GrabWindow(host->XWindow(), Path("screen"), &window)) return false;
        shown = window.Crop(host->EditorX(), host->EditorY(), kEditorW, kEditorH);
        differing = Picture::Differing(shown, expected);
        return differing == 0;
      });
  EXPECT_EQ(differing, 0) << "of " << kEditorW * kEditorH << " pixels of the editor's client area";
  // The state shows: the slot's name and waveform differ from an empty slot's.
  Picture empty;
  ASSERT_EQ(RunProgram(sSetup.Snapshot(Path("empty.png"), {})), 0);
  ASSERT_TRUE(ReadPng(Path("empty.png"), Path("empty"), &empty));
  EXPECT_GT(Picture::Differing(shown.Crop(26, 78, 150, 120), empty.Crop(26, 78, 150, 120)), 100);
}

TEST_F(WineEdit, DragDoubleClickAndWheelOnKnobsAndAClickOnASwitchChangeTheirParameters)
{
  EditHost* host = Start();
  ASSERT_NE(host, nullptr);
  ASSERT_EQ(host->Ask("watch 5", "watching param 5: "), "watching param 5: 0.80");
  ASSERT_EQ(host->Ask("watch 0", "watching param 0: "), "watching param 0: Yes");

  // Upwards raises the attack time.
  ASSERT_TRUE(host->Drag(kAttackX, kAttackY, kAttackX, kAttackY - 30));
  EXPECT_NE(host->WaitForLine("param 5 changed: "), "") << host->Output();
  EXPECT_GT(std::stod(host->Display(kAttackParam)), 0.80);
  // A double click sets the knob back to its default.
  ASSERT_TRUE(host->Pointer(kAttackX, kAttackY, {"click", "--repeat", "2", "--delay", "30", "1"}));
  EXPECT_NE(host->WaitForLine("param 5 changed: 0.80"), "") << host->Output();

  ASSERT_TRUE(host->Pointer(kOnOffX, kOnOffY, {"click", "1"}));
  EXPECT_NE(host->WaitForLine("param 0 changed: No"), "") << host->Output();
  EXPECT_EQ(host->Display(kActiveParam), "No");

  // A notch of the wheel over the volume knob (X button 4) turns it up.
  ASSERT_EQ(host->Ask("watch 9", "watching param 9: "), "watching param 9: 0");
  ASSERT_TRUE(host->Pointer(kVolumeX, kVolumeY, {"click", "4"}));
  EXPECT_NE(host->WaitForLine("param 9 changed: "), "") << host->Output();
  EXPECT_GT(std::stod(host->Display(kVolumeParam)), 0.0);
}

namespace
{
// Waits for the next change of parameter idx and checks its text and that it came on the editor's
// first timer tick after the last press.
void ExpectCommittedAtTheNextTick(EditHost* host, int idx, const std::string& text)
{
  const std::string start = "param " + std::to_string(idx) + " changed: ";
  const std::string changed = host->WaitForLine(start);
  long tick = -1, pressTick = -1;
  ASSERT_EQ(std::sscanf(changed.c_str(),
                        (start + text + " (editor tick %ld, last press at tick %ld)").c_str(), &tick,
                        &pressTick),
            2)
      << host->Output();
  EXPECT_EQ(tick, pressTick + 1) << changed;
}

// Waits until the host has dispatched presses more presses than before and a timer tick of the editor
// has passed since the last of them; answers the counts then.
EditHost::Counts WaitForPressesAndATick(EditHost* host, const EditHost::Counts& before, int presses)
{
  EditHost::Counts now;
  EXPECT_TRUE(WaitFor(
      [&]
      {
        now = host->AskCounts();
        return now.presses >= before.presses + presses && now.ticks > now.pressTick + 1;
      }))
      << host->Output();
  return now;
}

int CountLines(const std::string& text, const std::string& start)
{
  int n = 0;
  for (size_t at = 0; (at = text.find(start, at)) != std::string::npos; ++at)
    ++n;
  return n;
}
} // namespace

TEST_F(WineEdit, SemitonesEntryCommitsOnEnterOrAClickElsewhereAtTheNextTickAndARightClickCancelsIt)
{
  EditHost* host = Start();
  ASSERT_NE(host, nullptr);
  ASSERT_EQ(host->Ask("watch 4", "watching param 4: "), "watching param 4: 1.0");

  // A click opens the entry with the keyboard focus; Enter commits on the editor's next timer tick.
  ASSERT_TRUE(host->Pointer(kSemitonesX, kSemitonesY, {"click", "1"}));
  ASSERT_TRUE(TypeText("2.5"));
  ASSERT_TRUE(Keys({"Return"}));
  ExpectCommittedAtTheNextTick(host, kSemitonesParam, "2.5");

  // So does a click in the editor outside the field.
  ASSERT_TRUE(host->Pointer(kSemitonesX + kAsideDx, kSemitonesY + kAsideDy, {"click", "1"}));
  ASSERT_TRUE(TypeText("3"));
  ASSERT_TRUE(host->Pointer(kQuietX, kQuietY, {"click", "1"}));
  ExpectCommittedAtTheNextTick(host, kSemitonesParam, "3.0");

  // Typed, then cancelled by a right click in the editor: the value stays and the entry is gone, so
  // later keys commit nothing.
  const EditHost::Counts before = host->AskCounts();
  ASSERT_TRUE(host->Pointer(kSemitonesX, kSemitonesY, {"click", "1"}));
  ASSERT_TRUE(TypeText("7"));
  ASSERT_TRUE(host->Pointer(kQuietX, kQuietY, {"click", "3"}));
  const EditHost::Counts after = WaitForPressesAndATick(host, before, 3);
  ASSERT_TRUE(TypeText("8"));
  ASSERT_TRUE(Keys({"Return"}));
  WaitForPressesAndATick(host, after, 2);
  EXPECT_EQ(host->Display(kSemitonesParam), "3.0");
  EXPECT_EQ(CountLines(host->Output(), "param 4 changed: "), 2) << host->Output();
}

TEST_F(WineEdit, KeyboardViewNoteFieldCommitsOnEnterAtTheNextTickAndARightClickCancelsIt)
{
  EditHost* host = Start();
  ASSERT_NE(host, nullptr);
  ASSERT_EQ(host->Ask("watch 3", "watching param 3: "), "watching param 3: 41");
  ASSERT_EQ(host->Ask("watch 1", "watching param 1: "), "watching param 1: 36");

  // Below the keys, the middle third of the view edits the root note, the left third the lowest note.
  ASSERT_TRUE(host->Pointer(kRootFieldX, kNoteFieldsY, {"click", "1"}));
  ASSERT_TRUE(TypeText("60"));
  ASSERT_TRUE(Keys({"Return"}));
  ExpectCommittedAtTheNextTick(host, kRootParam, "60");

  const EditHost::Counts before = host->AskCounts();
  ASSERT_TRUE(host->Pointer(kLowFieldX, kNoteFieldsY, {"click", "1"}));
  ASSERT_TRUE(TypeText("30"));
  ASSERT_TRUE(host->Pointer(kQuietX, kQuietY, {"click", "3"}));
  const EditHost::Counts after = WaitForPressesAndATick(host, before, 4);
  ASSERT_TRUE(TypeText("5"));
  ASSERT_TRUE(Keys({"Return"}));
  WaitForPressesAndATick(host, after, 2);
  EXPECT_EQ(host->Display(kLowParam), "36");
  EXPECT_EQ(CountLines(host->Output(), "param 1 changed: "), 0) << host->Output();
}

TEST_F(WineEdit, AClickOnTheProductAreaOpensTheMakersPageThroughTheShell)
{
  // Wine's shell hands web addresses to xdg-open: a stand-in of the test's records what it is given.
  const std::string opened = Path("opened.txt");
  const std::string fake = Path("xdg-open", "bin");
  WriteText(fake, "#!/bin/sh\necho \"$@\" > '" + opened + "'\n");
  ASSERT_EQ(chmod(fake.c_str(), 0755), 0);
  EditHost* host = StartWithPath(mDir + "/bin");
  ASSERT_NE(host, nullptr);
  ASSERT_TRUE(host->Pointer(kProductX, kProductY, {"click", "1"}));
  std::string text;
  EXPECT_TRUE(WaitFor(
      [&]
      {
        std::ifstream in(opened);
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return text == "https://tovrane.example/products/Kestrune\n";
      }))
      << text;
}
} // namespace winetest

namespace winetest
{
TEST_F(WineEdit, EntryLeftOpenWhenTheEditorClosesOrItsWindowIsDestroyedDoesNotStopTheNextOne)
{
  EditHost* host = Start();
  ASSERT_NE(host, nullptr);
  ASSERT_EQ(host->Ask("watch 4", "watching param 4: "), "watching param 4: 1.0");
  int aside = 0;
  for (const char* how : {"close", "destroy"})
  {
    // An entry with a typed text is open when the host takes the editor away.
    const EditHost::Counts before = host->AskCounts();
    ASSERT_TRUE(host->Pointer(kSemitonesX + aside, kSemitonesY, {"click", "1"}));
    ASSERT_TRUE(TypeText("3"));
    ASSERT_TRUE(WaitFor([&] { return host->AskCounts().presses >= before.presses + 2; }));
    ASSERT_TRUE(host->Send(how));
    ASSERT_NE(host->Ask("open", "editor window 0x"), "") << host->Output();
    ASSERT_TRUE(host->FindWindow()) << host->Output();
    aside = aside == 0 ? kAsideDx : 0;
    // The reopened editor takes a new entry and commits it.
    ASSERT_TRUE(host->Pointer(kSemitonesX + aside, kSemitonesY, {"click", "1"}));
    const std::string value = std::string(how) == "close" ? "2.0" : "4.0";
    ASSERT_TRUE(TypeText(value.substr(0, 1)));
    ASSERT_TRUE(Keys({"Return"}));
    // The first change is the new entry's: the text left in the old one was never applied.
    const std::string changed = host->WaitForLine("param 4 changed: ");
    EXPECT_EQ(changed.rfind("param 4 changed: " + value + " ", 0), 0u) << how << "\n" << host->Output();
  }
}
} // namespace winetest
