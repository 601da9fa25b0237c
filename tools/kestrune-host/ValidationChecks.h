#pragma once
// The checks of the validate command, each a function of a CheckEnv that runs in its own child
// process. They follow what the plug-in industry's validators ask of a plug-in, adapted to VST 2.4:
// lifecycle and call orders of the common DAWs, the interface's answers at and beyond its limits,
// state, and the audio path (clean output, no allocation, notes, release, MIDI, automation).

#include "tools/kestrune-host/CheckEnv.h"
#include "tools/kestrune-host/ChildRunner.h"

#include <vector>

namespace khost
{

class ValidationChecks
{
public:
  using Fn = CheckResult (*)(CheckEnv&);
  struct Check
  {
    const char* name;
    const char* what;
    Fn fn;
  };
  static const std::vector<Check>& All();

  // Lifecycle (ValidationChecksLifecycle.cpp).
  static CheckResult OpenClose(CheckEnv& env);
  static CheckResult ManyInstances(CheckEnv& env);
  static CheckResult ParallelThreads(CheckEnv& env);
  static CheckResult CallsBeforeOpen(CheckEnv& env);
  static CheckResult StateWhileProcessing(CheckEnv& env);
  static CheckResult SuspendResume(CheckEnv& env);
  static CheckResult ProcessBeforeResume(CheckEnv& env);

  // The interface (ValidationChecksInterface.cpp).
  static CheckResult Identity(CheckEnv& env);
  static CheckResult UnknownOpcodes(CheckEnv& env);
  static CheckResult ParamIndexes(CheckEnv& env);
  static CheckResult BadChunks(CheckEnv& env);
  static CheckResult ParamSweep(CheckEnv& env);
  static CheckResult Programs(CheckEnv& env);
  static CheckResult StateRoundTrip(CheckEnv& env);

  // Audio (ValidationChecksAudio.cpp).
  static CheckResult RatesAndBlocks(CheckEnv& env);
  static CheckResult BlockOverAnnounced(CheckEnv& env);
  static CheckResult CleanOutput(CheckEnv& env);
  static CheckResult NoAllocation(CheckEnv& env);
  static CheckResult SilenceWithoutNotes(CheckEnv& env);
  static CheckResult SoundAfterNote(CheckEnv& env);
  static CheckResult ReleaseInTime(CheckEnv& env);
  static CheckResult MidiThrough(CheckEnv& env);
  static CheckResult AutomationThread(CheckEnv& env);
};
} // namespace khost
