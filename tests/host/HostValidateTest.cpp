// The validate command is honest: a well-behaved plug-in passes every check, and each plug-in with
// one fault fails the check that looks for it, even when the fault is a crash.

#include "host/HostToolRun.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <regex>

namespace
{
using namespace hosttest;

// The closing line: "N passed, M failed" with ", K skipped" when checks were skipped.
bool ClosingLine(const std::string& output, int* passed, int* failed)
{
  const std::vector<std::string> lines = Lines(output);
  if (lines.empty()) return false;
  std::smatch m;
  static const std::regex closing("^([0-9]+) passed, ([0-9]+) failed(, [0-9]+ skipped)?$");
  if (!std::regex_match(lines.back(), m, closing)) return false;
  *passed = std::stoi(m[1]);
  *failed = std::stoi(m[2]);
  return true;
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kCountsAllocations = false; // the sanitizer runtime owns malloc
#else
constexpr bool kCountsAllocations = true;
#endif

TEST(HostValidate, WellBehavedSubjectPassesEveryCheck)
{
  const ToolRun run = RunHost("validate " + Quote(SubjectPath("none")));
  int passed = 0, failed = -1;
  ASSERT_TRUE(ClosingLine(run.output, &passed, &failed)) << run.output;
  EXPECT_EQ(failed, 0) << run.output;
  EXPECT_EQ(passed, kCountsAllocations ? 23 : 22) << run.output;
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRUE(HasLineStartingWith(run.output, "passed  midi-through           8 messages")) << run.output;
  EXPECT_TRUE(HasLineStartingWith(run.output, "passed  release")) << run.output;
}

TEST(HostValidate, NaNInTheOutputFailsTheCleanOutputCheck)
{
  const ToolRun run = RunHost("validate " + Quote(SubjectPath("nan")));
  int passed = 0, failed = 0;
  ASSERT_TRUE(ClosingLine(run.output, &passed, &failed)) << run.output;
  EXPECT_GT(failed, 0);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(HasLineStartingWith(run.output, "failed  clean-output")) << run.output;
  EXPECT_NE(run.output.find("NaN"), std::string::npos);
  // Checks that play no note see no NaN.
  EXPECT_TRUE(HasLineStartingWith(run.output, "passed  silence")) << run.output;
  EXPECT_TRUE(HasLineStartingWith(run.output, "passed  state-round-trip")) << run.output;
}

TEST(HostValidate, AChunkThatDoesNotRoundTripFailsOnlyTheStateCheck)
{
  const ToolRun run = RunHost("validate " + Quote(SubjectPath("chunk")));
  int passed = 0, failed = 0;
  ASSERT_TRUE(ClosingLine(run.output, &passed, &failed)) << run.output;
  EXPECT_EQ(failed, 1) << run.output;
  EXPECT_TRUE(HasLineStartingWith(run.output, "failed  state-round-trip")) << run.output;
  EXPECT_EQ(run.exitCode, 1);
}

TEST(HostValidate, ACrashOnBlockSizeOneFailsThatCheckAndTheRestStillRun)
{
  const ToolRun run = RunHost("validate " + Quote(SubjectPath("block1")));
  int passed = 0, failed = 0;
  ASSERT_TRUE(ClosingLine(run.output, &passed, &failed)) << run.output;
  EXPECT_EQ(failed, 1) << run.output;
  // A segmentation fault; under a sanitizer, whose runtime reports it and exits.
  EXPECT_TRUE(HasLineStartingWith(run.output, "failed  rates-and-blocks       crashed: ")) << run.output;
  EXPECT_NE(run.output.find("block of 1 frames"), std::string::npos) << "names where: " << run.output;
  // Checks after the crash ran in processes of their own.
  EXPECT_TRUE(HasLineStartingWith(run.output, "passed  long-block")) << run.output;
  EXPECT_TRUE(HasLineStartingWith(run.output, "passed  automation")) << run.output;
}

TEST(HostValidate, AHangOnBlockSizeSeventeenFailsThatCheckAtTheTimeLimitAndTheRestStillRun)
{
  const ToolRun run = RunHost("validate " + Quote(SubjectPath("hang")) +
                              " --timeout 2 --check rates-and-blocks --check sound --check long-block");
  int passed = 0, failed = 0;
  ASSERT_TRUE(ClosingLine(run.output, &passed, &failed)) << run.output;
  EXPECT_EQ(failed, 1) << run.output;
  EXPECT_EQ(passed, 2) << run.output;
  EXPECT_TRUE(HasLineStartingWith(run.output, "failed  rates-and-blocks       did not finish within 2 s at "))
      << run.output;
  EXPECT_NE(run.output.find("block of 17 frames"), std::string::npos) << "names where: " << run.output;
  EXPECT_EQ(run.exitCode, 1);
}

TEST(HostValidate, AllocationInTheProcessCallIsCounted)
{
  const ToolRun run =
      RunHost("validate " + Quote(SubjectPath("alloc")) + " --check no-allocation --check sound");
  int passed = 0, failed = 0;
  ASSERT_TRUE(ClosingLine(run.output, &passed, &failed)) << run.output;
  if (kCountsAllocations)
  {
    EXPECT_TRUE(HasLineStartingWith(run.output, "failed  no-allocation          400 allocations"))
        << run.output;
    EXPECT_EQ(failed, 1);
  }
  else
  {
    EXPECT_TRUE(HasLineStartingWith(run.output, "skipped no-allocation")) << run.output;
    EXPECT_EQ(failed, 0);
  }
  EXPECT_EQ(passed, 1) << run.output;
}

TEST(HostValidate, ModuleThatDoesNotLoadFailsEveryCheckWithTheReason)
{
  TempFolder dir;
  const ToolRun run =
      RunHost("validate " + Quote(dir.Path("missing.so")) + " --check identity --check sound");
  int passed = -1, failed = 0;
  ASSERT_TRUE(ClosingLine(run.output, &passed, &failed)) << run.output;
  EXPECT_EQ(passed, 0);
  EXPECT_EQ(failed, 2);
  EXPECT_NE(run.output.find("does not load"), std::string::npos) << run.output;
}

TEST(HostValidate, ChecksGetTheModulePathWithSpacesAndTheLoadingOptionsUnchanged)
{
  // The checks' processes are told the path and the options in their own command line.
  TempFolder dir;
  const std::filesystem::path folder = std::filesystem::path(dir.Root()) / "two words" / "and more";
  std::filesystem::create_directories(folder);
  const std::filesystem::path copy = folder / std::filesystem::path(SubjectPath("none")).filename();
  std::filesystem::copy_file(SubjectPath("none"), copy);
  const ToolRun run =
      RunHost("validate " + Quote(copy.string()) + " --param 0=0.25 --check identity --check sound");
  int passed = 0, failed = -1;
  ASSERT_TRUE(ClosingLine(run.output, &passed, &failed)) << run.output;
  EXPECT_EQ(passed, 2) << run.output;
  // Gain 0.25 instead of the first program's 0.5: 6 dB below the default's -18.6 dBFS.
  EXPECT_TRUE(
      HasLineStartingWith(run.output, "passed  sound                  note 60 sounds (peak -24.6 dBFS)"))
      << run.output;
}

TEST(HostValidate, UnknownCheckNameIsAnError)
{
  const ToolRun run = RunHost("validate " + Quote(SubjectPath("none")) + " --check no-such-check");
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.output.find("rates-and-blocks"), std::string::npos) << "lists the checks: " << run.output;
}

} // namespace
