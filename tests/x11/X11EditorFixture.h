#pragma once
// The X11 editor tests' fixtures: a private Xvfb for the test program, a host connection with a
// top-level window, and the test plug-in with its X11 editor. Without Xvfb the tests skip, saying so;
// any other failure to start it fails them.

#include "X11TestPlug.h"
#include "X11TestSupport.h"

#include "platform/linux/IGraphicsLinux.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace x11_test
{
// The server, the host's connection and its top-level window of the editor's size.
class X11ServerFixture : public ::testing::Test
{
protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;
  void TearDown() override;

  // xdotool with the pointer moved to (x, y) of window first, then the given actions.
  bool PointerIn(unsigned long window, int x, int y, const std::vector<std::string>& actions);
  bool Type(const std::string& text);
  // Space-separated key names, pressed in turn.
  bool Key(const std::string& keys);
  // A scratch folder of this test, emptied at the end.
  std::string TempDir();
  // Puts folder first in PATH for this test (restored in TearDown); only: PATH is folder alone.
  void PrependPath(const std::string& folder, bool only = false);
  // Writes an executable shell script.
  void WriteScript(const std::string& path, const std::string& body);

  static XvfbServer* sServer;
  static bool sReady;
  static std::string sReason;

  std::unique_ptr<HostDisplay> mHost;
  unsigned long mTop = 0;
  int mTopW = kEditorW, mTopH = kEditorH;
  std::string mSavedPath;
  std::string mTempDir;
};

// The test plug-in with its X11 editor, opened by the tests through the dispatcher as a host would.
class X11EditorFixture : public X11ServerFixture
{
protected:
  void SetUp() override;
  void TearDown() override;

  // effEditOpen in parent (the fixture's top-level window when 0); true when it answered 1 and the
  // first frame reached the screen.
  bool OpenEditor(unsigned long parent = 0);
  void CloseEditor() { mPlug->Dispatch(effEditClose); }
  unsigned long EditorWindow() const { return mPlug->Linux()->WindowId(); }
  // xdotool with the pointer moved to (x, y) of the editor window first, then the given actions.
  bool Pointer(int x, int y, const std::vector<std::string>& actions)
  {
    return PointerIn(EditorWindow(), x, y, actions);
  }
  // The editor window's pixel at (x, y), 0x00RRGGBB (0xff000000 when it cannot be read).
  uint32_t ScreenPixel(int x, int y);
  // Host automation of the gain (normalised), as the audio or UI thread of a host would send it.
  void AutomateGain(float normalized);
  bool TextEntryOpen();

  std::unique_ptr<X11TestPlug> mPlug;
};
} // namespace x11_test
