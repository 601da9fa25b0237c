#include "tools/kestrune-host/ValidationChecks.h"

namespace khost
{

const std::vector<ValidationChecks::Check>& ValidationChecks::All()
{
  static const std::vector<Check> kChecks = {
      {"identity", "counts, flags and name lengths", &Identity},
      {"open-close", "repeated open and close", &OpenClose},
      {"instances", "33 instances alive at once", &ManyInstances},
      {"threads", "instances in parallel threads", &ParallelThreads},
      {"calls-before-open", "calls a scanning host makes before effOpen", &CallsBeforeOpen},
      {"state-while-processing", "the state asked for while processing", &StateWhileProcessing},
      {"suspend-resume", "suspend and resume ten times", &SuspendResume},
      {"process-before-resume", "processing before resume", &ProcessBeforeResume},
      {"unknown-opcodes", "unknown opcodes up to 2000", &UnknownOpcodes},
      {"param-limits", "out-of-range parameter indexes and values", &ParamIndexes},
      {"bad-chunks", "garbage, truncated and empty chunks", &BadChunks},
      {"param-sweep", "every parameter swept, texts parsed back", &ParamSweep},
      {"programs", "every program selected and named", &Programs},
      {"state-round-trip", "state restored into a fresh instance", &StateRoundTrip},
      {"rates-and-blocks", "sample rates and varying block sizes", &RatesAndBlocks},
      {"long-block", "a block longer than announced", &BlockOverAnnounced},
      {"clean-output", "no NaN, infinity or subnormal", &CleanOutput},
      {"no-allocation", "no allocation in process and event calls", &NoAllocation},
      {"silence", "silence without notes", &SilenceWithoutNotes},
      {"sound", "sound after a note", &SoundAfterNote},
      {"release", "release within its time", &ReleaseInTime},
      {"midi-through", "MIDI passed through exactly once", &MidiThrough},
      {"automation", "automation from a second thread while processing", &AutomationThread},
  };
  return kChecks;
}
} // namespace khost
