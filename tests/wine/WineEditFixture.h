#pragma once
// The fixture of the Wine end-to-end tests: the Windows build found once, a scratch folder per test
// (fixture files are written there, never committed) and the host started on demand.

#include "WineHost.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace winetest
{

// Slot 0's controls in the editor (808 x 492).
constexpr int kEditorW = 808;
constexpr int kEditorH = 492;
constexpr int kSampleViewX = 101, kSampleViewY = 138;
// From a control of slot 0 to the same control of slot 1.
constexpr int kSlotDx = 152;
constexpr int kPreviousX = 33, kNextX = 169, kStepY = 143;
constexpr int kAttackX = 69, kAttackY = 309;
constexpr int kOnOffX = 60, kOnOffY = 342;
constexpr int kVolumeX = 130, kVolumeY = 388;
// The area above the slots that opens the maker's product page.
constexpr int kProductX = 404, kProductY = 30;
constexpr int kSemitonesX = 75, kSemitonesY = 385;
// Two clicks on the same spot within the double-click time make a double click (which sets a default
// value or does nothing): a second click on a control lands a few pixels from the first.
constexpr int kAsideDx = 7, kAsideDy = 4;
// The note fields under slot 0's keyboard view: lowest note (left third) and root note (middle).
constexpr int kLowFieldX = 37, kRootFieldX = 100, kNoteFieldsY = 243;
// A place in the editor away from every control and from an open entry box.
constexpr int kQuietX = 20, kQuietY = 470;
// Slot 0's parameters.
constexpr int kActiveParam = 0;
constexpr int kLowParam = 1;
constexpr int kRootParam = 3;
constexpr int kSemitonesParam = 4;
constexpr int kAttackParam = 5;
constexpr int kVolumeParam = 9;

class WineEdit : public ::testing::Test
{
protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  // Starts kestrune-host.exe edit with extra arguments; fails the test when its editor does not show.
  EditHost* Start(const std::vector<std::string>& extraArgs = {});
  // Starts it with folder first in its PATH (the programs Wine hands things to are found there).
  EditHost* StartWithPath(const std::string& folder);
  // A file of the test's scratch folder (in sub, made when missing).
  std::string Path(const std::string& name, const std::string& sub = "");
  // Writes a short 16-bit mono WAV file; its pitch sets it apart from the others.
  void WriteWav(const std::string& path, double cyclesPerFrame);
  void WriteText(const std::string& path, const std::string& text);

  static WineSetup sSetup;
  static bool sReady;
  static std::string sReason;
  std::string mDir;
  std::unique_ptr<EditHost> mHost;
};
} // namespace winetest
