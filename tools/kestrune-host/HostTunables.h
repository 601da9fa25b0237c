#pragma once
// Numbers the host tool works with, in one place, with their units in their names.

#include <cstdint>

namespace khost
{
constexpr double kDefaultSampleRateHz = 48000.0;
constexpr int kDefaultBlockFrames = 512;
constexpr double kDefaultTailSeconds = 2.0;
// A render longer than this shows a progress bar when standard error is a terminal.
constexpr double kProgressBarMinSeconds = 4.0;
constexpr int kProgressBarWidthChars = 40;
// Largest block the host ever announces or sends.
constexpr int kMaxBlockFrames = 16384;
// Text buffers handed to plug-ins: larger than any published string size, so overlong answers can be seen.
constexpr int kHostTextBufferBytes = 1024;
// MIDI events one block can carry to the plug-in and MIDI events a plug-in can send back per block.
constexpr int kMaxEventsPerBlock = 4096;
constexpr int kMaxRecordedOutputEvents = 65536;
// Extra-parameter text buffers (sample paths) of the vendor-specific call.
constexpr int kExtraParamTextBytes = 1024;

// The edit command: idle calls a second unless --idle-hz says otherwise, and the event loop's nap.
constexpr int kDefaultEditIdleHz = 30;
constexpr int kEditLoopSleepMs = 2;
// The edit command's --play: the render thread's block unless --block says otherwise, the note's
// velocity unless given, a process call counted as slow, and how far behind its deadlines the thread
// may fall before it starts again from now.
constexpr int kDefaultPlayBlockFrames = 64;
constexpr int kDefaultPlayVelocity = 100;
constexpr double kSlowProcessCallMs = 2.0;
constexpr int64_t kMaxRenderBehindBlocks = 8;

// The snapshot command: audio after the held notes (voices move on) and editor ticks before the picture.
constexpr double kDefaultSnapshotHoldSeconds = 0.1;
constexpr int kDefaultSnapshotTicks = 24;

// Validation.
constexpr int kCheckTimeoutSeconds = 120; // unless --timeout says otherwise
constexpr int kOpenCloseRepeats = 100;
constexpr int kInstancesAlive = 33;
constexpr int kParallelThreads = 4;
constexpr int kParallelInstancesPerThread = 8;
constexpr int kUnknownOpcodeLast = 2000;
constexpr int kSweepStepsPerParam = 11;
constexpr double kSilenceLevel = 1e-6;        // -120 dB
constexpr double kSoundLevel = 1e-4;          // -80 dB
constexpr double kReleaseSilenceLevel = 1e-4; // -80 dB
constexpr double kReleaseLimitSeconds = 10.0; // a release longer than this fails
constexpr double kNoteHoldSeconds = 0.25;
constexpr int kAllocWarmupBlocks = 4;
constexpr int kAllocCountedBlocks = 200;
constexpr int kAutomationBlocks = 2000;
constexpr int kAutomationBlockFrames = 64;
} // namespace khost
