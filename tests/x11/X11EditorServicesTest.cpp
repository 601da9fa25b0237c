// Drops, clipboard, file dialog, web pages and message boxes of the X11 editor.

#include "X11EditorFixture.h"
#include "XdndTestSource.h"

#include <fstream>
#include <iterator>

namespace x11_test
{
namespace
{
std::string ReadFile(const std::string& path)
{
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
} // namespace

class X11EditorServices : public X11EditorFixture
{
protected:
  void SetUp() override
  {
    X11EditorFixture::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(OpenEditor());
  }
  int Drops()
  {
    std::lock_guard<InstanceMutex> lock(mPlug->Mutex());
    return mPlug->mProbe->mDrops;
  }
};

TEST_F(X11EditorServices, XdndDropOfAFileDeliversItsDecodedPathToTheControlUnderIt)
{
  EXPECT_TRUE(mHost->HasXdndAware(EditorWindow()));
  XdndResult r = DragAndDrop(EditorWindow(), kProbeRect.MW(), kProbeRect.MH(),
                             "# dragged from a file manager\r\nfile:///tmp/drum%20loops/kick.wav\r\n"
                             "file:///tmp/other.wav\r\n",
                             false);
  EXPECT_TRUE(r.mAccepted);
  EXPECT_TRUE(r.mDataRequested);
  EXPECT_TRUE(r.mFinished);
  EXPECT_TRUE(r.mFinishedOk);
  ASSERT_TRUE(WaitFor([&] { return Drops() == 1; }));
  EXPECT_EQ(mPlug->Dropped(), "/tmp/drum loops/kick.wav"); // only the first file
}

TEST_F(X11EditorServices, XdndSourceOfferingManyTypesIsReadFromItsTypeList)
{
  XdndResult r =
      DragAndDrop(EditorWindow(), kProbeRect.MW(), kProbeRect.MH(), "file://localhost/tmp/a.ogg\r\n", true);
  EXPECT_TRUE(r.mAccepted);
  ASSERT_TRUE(WaitFor([&] { return Drops() == 1; }));
  EXPECT_EQ(mPlug->Dropped(), "/tmp/a.ogg");
}

TEST_F(X11EditorServices, XdndDropOfARemoteUriIsFinishedWithoutADrop)
{
  XdndResult r =
      DragAndDrop(EditorWindow(), kProbeRect.MW(), kProbeRect.MH(), "http://example.org/a.wav\r\n", false);
  EXPECT_TRUE(r.mAccepted);
  EXPECT_TRUE(r.mFinished);
  EXPECT_FALSE(r.mFinishedOk);
  SleepMs(100);
  EXPECT_EQ(Drops(), 0);
}

TEST_F(X11EditorServices, ClipboardServesTheTextAfterARightClickAndAfterTheEditorCloses)
{
  ASSERT_TRUE(Pointer(kProbeRect.MW(), kProbeRect.MH(), {"click", "3"}));
  std::string text;
  ASSERT_TRUE(WaitFor([&] { return RunTool({"xclip", "-o", "-selection", "clipboard"}, &text) == 0; }));
  EXPECT_EQ(text, kProbeClipboardText);
  ASSERT_EQ(RunTool({"xclip", "-o", "-selection", "clipboard", "-t", "STRING"}, &text), 0);
  EXPECT_EQ(text, kProbeClipboardText);
  ASSERT_EQ(RunTool({"xclip", "-o", "-selection", "clipboard", "-t", "TARGETS"}, &text), 0);
  EXPECT_NE(text.find("UTF8_STRING"), std::string::npos);
  CloseEditor();
  ASSERT_EQ(RunTool({"xclip", "-o", "-selection", "clipboard"}, &text), 0);
  EXPECT_EQ(text, kProbeClipboardText);
  // Another program takes the clipboard over: ours is given up.
  ASSERT_EQ(RunTool({"sh", "-c",
                     "printf other | xclip -i -selection clipboard -loops 1 >/dev/null 2>&1 & sleep 0.2; "
                     "xclip -o -selection clipboard"},
                    &text),
            0);
  EXPECT_EQ(text, "other");
  EXPECT_TRUE(WaitFor([&] { return mPlug->Linux()->ClipboardText().empty(); }));
}

TEST_F(X11EditorServices, FileDialogAnswerArrivesAsADropWhereTheUserClicked)
{
  std::string dir = TempDir();
  WriteScript(dir + "/zenity", "printf '%s\\n' \"$@\" > '" + dir + "/args'\necho /tmp/chosen/snare.wav");
  PrependPath(dir);
  ASSERT_TRUE(Pointer(kProbeRect.MW(), kProbeRect.MH(), {"click", "1"}));
  ASSERT_TRUE(WaitFor([&] { return Drops() == 1; }));
  EXPECT_EQ(mPlug->Dropped(), "/tmp/chosen/snare.wav");
  std::string args = ReadFile(dir + "/args");
  EXPECT_NE(args.find("--file-selection"), std::string::npos);
  EXPECT_NE(args.find("--title=Select audio sample"), std::string::npos);
  EXPECT_NE(args.find("--file-filter=*.wav *.ogg *.flac *.sfz"), std::string::npos);
  std::lock_guard<InstanceMutex> lock(mPlug->Mutex());
  EXPECT_EQ(mPlug->mProbe->mChooserAnswer, ""); // the call itself answers at once
}

TEST_F(X11EditorServices, CancelledFileDialogDeliversNothing)
{
  std::string dir = TempDir();
  WriteScript(dir + "/zenity", "exit 1");
  PrependPath(dir);
  ASSERT_TRUE(Pointer(kProbeRect.MW(), kProbeRect.MH(), {"click", "1"}));
  SleepMs(300);
  EXPECT_EQ(Drops(), 0);
}

TEST_F(X11EditorServices, WithoutAFileDialogTheHintGoesToTheMessageBar)
{
  std::string hint;
  mPlug->Linux()->SetHintSink(
      [&](const char* text)
      {
        hint = text;
        return true;
      });
  PrependPath(TempDir(), true);
  ASSERT_TRUE(Pointer(kProbeRect.MW(), kProbeRect.MH(), {"click", "1"}));
  ASSERT_TRUE(WaitFor(
      [&]
      {
        std::lock_guard<InstanceMutex> lock(mPlug->Mutex());
        return !hint.empty();
      }));
  std::lock_guard<InstanceMutex> lock(mPlug->Mutex());
  EXPECT_NE(hint.find("drop a file"), std::string::npos);
  EXPECT_TRUE(mPlug->Linux()->MessageBoxes().empty());
}

TEST_F(X11EditorServices, WebPageOpensWithXdgOpen)
{
  std::string dir = TempDir();
  WriteScript(dir + "/xdg-open", "printf '%s' \"$1\" > '" + dir + "/url'");
  WriteScript(dir + "/zenity", "exit 1"); // the first click of the pair opens (and cancels) the dialog
  PrependPath(dir);
  ASSERT_TRUE(Pointer(kProbeRect.MW(), kProbeRect.MH(), {"click", "--repeat", "2", "--delay", "40", "1"}));
  ASSERT_TRUE(WaitFor([&] { return ReadFile(dir + "/url") == kProbeUrl; }));
  EXPECT_TRUE(mPlug->Linux()->MessageBoxes().empty());
}

TEST_F(X11EditorServices, UnopenableWebPageShowsTheErrorInABoxThatOkCloses)
{
  std::string dir = TempDir();
  WriteScript(dir + "/zenity", "exit 1"); // the first click of the pair opens (and cancels) the dialog
  PrependPath(dir, true);
  ASSERT_TRUE(Pointer(kProbeRect.MW(), kProbeRect.MH(), {"click", "--repeat", "2", "--delay", "40", "1"}));
  ASSERT_TRUE(WaitFor([&] { return mPlug->Linux()->MessageBoxes().size() == 1; }));
  IGraphicsLinux::MessageBoxInfo box = mPlug->Linux()->MessageBoxes()[0];
  EXPECT_EQ(box.mText, kOpenPageError);
  ASSERT_TRUE(WaitFor([&] { return mHost->WindowExists(box.mWindow); }));
  ASSERT_EQ(RunTool({"xdotool", "mousemove", "--window", std::to_string(box.mWindow),
                     std::to_string(box.mOkX), std::to_string(box.mOkY), "click", "1"}),
            0);
  EXPECT_TRUE(WaitFor([&] { return mPlug->Linux()->MessageBoxes().empty(); }));
  EXPECT_TRUE(WaitFor([&] { return !mHost->WindowExists(box.mWindow); }));
}
} // namespace x11_test
