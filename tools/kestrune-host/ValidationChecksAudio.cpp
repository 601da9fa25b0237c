// Audio checks: rates and block sizes, clean output, no allocation on the audio path, notes,
// release, MIDI pass-through and automation from a second thread.

#include "tools/kestrune-host/AllocationCounter.h"
#include "tools/kestrune-host/HostTunables.h"
#include "tools/kestrune-host/ValidationChecks.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <random>
#include <thread>

namespace khost
{

namespace
{
std::string Number(double v)
{
  char text[64];
  std::snprintf(text, sizeof(text), "%g", v);
  return text;
}

std::string Decibels(double v)
{
  char text[64];
  if (!(v > 0.0)) return "-inf dBFS";
  std::snprintf(text, sizeof(text), "%.1f dBFS", 20.0 * std::log10(v));
  return text;
}
} // namespace

CheckResult ValidationChecks::RatesAndBlocks(CheckEnv& env)
{
  static const double kRates[] = {10000.0, 22050.0, 44100.0, 44123.45, 48000.0, 96000.0, 192000.0, 384000.0};
  static const int kBlocks[] = {0, 1, 2, 3, 17, 64, 512, 4096, 16384};
  int64_t frames = 0;
  std::string failures;
  for (double rate : kRates)
  {
    ChildRunner::Mark("at %g Hz, starting", rate);
    auto p = env.Started(rate, kMaxBlockFrames);
    if (!p) return CheckResult::Failed(env.Failure());
    const bool twoPrecisions = p->HasFlag(effFlagsCanDoubleReplacing);
    OutputScan scan;
    int call = 0;
    for (int round = 0; round < 2; ++round)
      for (int block : kBlocks)
      {
        // Blocks vary from call to call; notes start and stop inside them.
        if (call % 4 == 0) p->QueueMidi(block / 2, 0x90, static_cast<uint8_t>(48 + call % 24), 100);
        if (call % 4 == 2) p->QueueMidi(0, 0x80, static_cast<uint8_t>(48 + (call - 2) % 24), 0);
        const bool useDouble = twoPrecisions && round == 1;
        ChildRunner::Mark("at %g Hz, block of %d frames (%s precision)", rate, block,
                          useDouble ? "double" : "single");
        p->Process(block, useDouble);
        scan.Add(*p, block);
        frames += block;
        ++call;
      }
    // Every rate is tried, so the failure tells which rates are affected.
    if (!scan.Clean())
      failures += (failures.empty() ? "at " : "; at ") + Number(rate) + " Hz: " + scan.Describe();
  }
  if (!failures.empty()) return CheckResult::Failed(failures);
  return CheckResult::Passed(
      "8 sample rates from 10000 to 384000 Hz, blocks of 0 to 16384 frames varying per call, " +
      std::to_string(frames) + " frames, all clean");
}

CheckResult ValidationChecks::BlockOverAnnounced(CheckEnv& env)
{
  auto p = env.Started(48000.0, 512);
  if (!p) return CheckResult::Failed(env.Failure());
  OutputScan scan;
  p->QueueMidi(0, 0x90, 60, 100);
  CheckEnv::Run(*p, 1, 512, &scan);
  ChildRunner::Mark("in a block of 1024 frames");
  CheckEnv::Run(*p, 1, 1024, &scan);
  ChildRunner::Mark("in a block of 4096 frames");
  CheckEnv::Run(*p, 1, 4096, &scan);
  if (!scan.Clean()) return CheckResult::Failed("output of long blocks: " + scan.Describe());
  return CheckResult::Passed("blocks of 1024 and 4096 frames after announcing 512");
}

CheckResult ValidationChecks::CleanOutput(CheckEnv& env)
{
  std::mt19937 rng(77);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  OutputScan scan;
  for (int trial = 0; trial < 5; ++trial)
  {
    ChildRunner::Mark("in trial %d of 5", trial + 1);
    auto p = env.Started();
    if (!p) return CheckResult::Failed(env.Failure());
    // Random settings, a chord, its release and a long decay, where subnormals appear.
    for (int i = 0; i < p->NumParams(); ++i)
      p->SetParameter(i, trial == 0 ? 0.0f : trial == 1 ? 1.0f : unit(rng));
    for (int key : {48, 55, 60, 64, 67, 72})
      p->QueueMidi(key % 7, 0x90, static_cast<uint8_t>(key), static_cast<uint8_t>(20 + key));
    CheckEnv::Run(*p, 20, 512, &scan);
    for (int key : {48, 55, 60, 64, 67, 72})
      p->QueueMidi(key % 5, 0x80, static_cast<uint8_t>(key), 0);
    CheckEnv::Run(*p, 400, 512, &scan);
    if (!scan.Clean())
      return CheckResult::Failed("with " +
                                 std::string(trial == 0   ? "all parameters at 0"
                                             : trial == 1 ? "all parameters at 1"
                                                          : "random parameters") +
                                 ": " + scan.Describe());
  }
  return CheckResult::Passed("no NaN, infinity or subnormal in " + std::to_string(scan.samples) +
                             " samples (parameters at 0, at 1 and random; notes, release and decay)");
}

CheckResult ValidationChecks::NoAllocation(CheckEnv& env)
{
  if (!AllocationCounter::Available())
    return CheckResult::Skipped("allocations are not counted here (sanitizer builds own malloc; on Windows, "
                                "the module imports no allocation function the host can hook)");
  auto p = env.Started();
  if (!p) return CheckResult::Failed(env.Failure());
  p->QueueMidi(0, 0x90, 60, 100);
  CheckEnv::Run(*p, kAllocWarmupBlocks, 512, nullptr);
  p->QueueMidi(0, 0x80, 60, 0);
  CheckEnv::Run(*p, kAllocWarmupBlocks, 512, nullptr);
  AllocationCounter::Reset();
  p->CountAllocations(true);
  for (int b = 0; b < kAllocCountedBlocks; ++b)
  {
    if (b % 8 == 0) p->QueueMidi(b % 100, 0x90, static_cast<uint8_t>(48 + b % 24), 100);
    if (b % 8 == 4) p->QueueMidi(b % 50, 0x80, static_cast<uint8_t>(48 + (b - 4) % 24), 0);
    if (b % 16 == 0) p->QueueMidi(3, 0xB0, 1, static_cast<uint8_t>(b % 128));
    p->Process(512);
  }
  p->CountAllocations(false);
  const uint64_t count = AllocationCounter::Count();
  if (count > 0)
    return CheckResult::Failed(std::to_string(count) + " allocations in " +
                               std::to_string(kAllocCountedBlocks) + " process and event calls");
  return CheckResult::Passed("no allocation in " + std::to_string(kAllocCountedBlocks) +
                             " process and event calls with notes and controllers");
}

CheckResult ValidationChecks::SilenceWithoutNotes(CheckEnv& env)
{
  auto p = env.Started(48000.0, 512, false);
  if (!p) return CheckResult::Failed(env.Failure());
  // Generators sound by design.
  if (p->Dispatch(effGetPlugCategory) == kPlugCategGenerator) return CheckResult::Skipped("a generator");
  OutputScan scan;
  CheckEnv::Run(*p, 94, 512, &scan); // about a second
  if (!scan.Clean()) return CheckResult::Failed(scan.Describe());
  if (scan.peak > kSilenceLevel)
    return CheckResult::Failed("peak " + Decibels(scan.peak) + " with no notes and silent input");
  return CheckResult::Passed("silent for a second without notes (peak " + Decibels(scan.peak) + ")");
}

CheckResult ValidationChecks::SoundAfterNote(CheckEnv& env)
{
  // Silent inputs: the note's sound, not the input's.
  auto p = env.Started(48000.0, 512, false);
  if (!p) return CheckResult::Failed(env.Failure());
  if (!p->TakesMidi()) return CheckResult::Skipped("the plug-in takes no MIDI");
  OutputScan scan;
  p->QueueMidi(0, 0x90, 60, 100);
  CheckEnv::Run(*p, 47, 512, &scan); // half a second
  if (!scan.Clean()) return CheckResult::Failed(scan.Describe());
  if (scan.peak < kSoundLevel)
  {
    // A sampler with nothing loaded is rightly silent; the host can only load samples into
    // plug-ins that take them through the extra-parameter call.
    if (!env.GaveContent())
      return CheckResult::Skipped(
          "note 60 makes no sound and the host had no way to give the plug-in a sample "
          "(--slot or --sfz, for plug-ins that take them)");
    return CheckResult::Failed("peak " + Decibels(scan.peak) +
                               " in the half second after note 60 with a sample loaded");
  }
  return CheckResult::Passed("note 60 sounds (peak " + Decibels(scan.peak) + ")");
}

CheckResult ValidationChecks::ReleaseInTime(CheckEnv& env)
{
  auto p = env.Started(48000.0, 512, false);
  if (!p) return CheckResult::Failed(env.Failure());
  if (!p->TakesMidi()) return CheckResult::Skipped("the plug-in takes no MIDI");
  const int block = 512;
  const double rate = p->SampleRate();
  p->QueueMidi(0, 0x90, 60, 100);
  OutputScan held;
  CheckEnv::Run(*p, static_cast<int>(kNoteHoldSeconds * rate / block), block, &held);
  if (held.peak < kSoundLevel) return CheckResult::Skipped("the held note makes no sound to release");
  p->QueueMidi(0, 0x80, 60, 0);
  const int64_t limit = static_cast<int64_t>(kReleaseLimitSeconds * rate);
  const int64_t quietNeeded = static_cast<int64_t>(0.5 * rate);
  int64_t pos = 0, lastLoud = -1;
  while (pos < limit + quietNeeded && pos - lastLoud < quietNeeded)
  {
    p->Process(block);
    for (int c = 0; c < p->NumOutputs(); ++c)
      for (int i = 0; i < block; ++i)
      {
        const double v = p->OutputSample(c, i);
        if (!std::isfinite(v)) return CheckResult::Failed("non-finite output in the release");
        if (std::fabs(v) >= kReleaseSilenceLevel) lastLoud = std::max(lastLoud, pos + i);
      }
    pos += block;
  }
  if (lastLoud >= limit)
    return CheckResult::Failed("still sounding " + Number(kReleaseLimitSeconds) + " s after the note-off");
  return CheckResult::Passed("below " + Decibels(kReleaseSilenceLevel) + " " +
                             Number(std::round((lastLoud + 1) * 1000.0 / rate)) + " ms after the note-off");
}

CheckResult ValidationChecks::MidiThrough(CheckEnv& env)
{
  auto p = env.Started();
  if (!p) return CheckResult::Failed(env.Failure());
  if (!p->CanDo("sendVstMidiEvent") && !p->CanDo("sendVstEvents"))
    return CheckResult::Skipped("the plug-in sends no MIDI");
  struct Sent
  {
    int block, delta;
    uint8_t b[3];
  };
  const Sent sent[] = {{0, 0, {0x90, 60, 100}}, {0, 10, {0xB0, 7, 99}},  {0, 100, {0xE2, 0, 64}},
                       {1, 5, {0x91, 72, 80}},  {1, 300, {0x80, 60, 0}}, {2, 0, {0x81, 72, 64}},
                       {2, 1, {0xC3, 5, 0}},    {2, 2, {0xB0, 64, 0}}};
  p->ClearRecords();
  for (int block = 0; block < 4; ++block)
  {
    for (const Sent& s : sent)
      if (s.block == block) p->QueueMidi(s.delta, s.b[0], s.b[1], s.b[2]);
    p->Process(512);
  }
  const auto& out = p->MidiOut();
  // A plug-in that sends MIDI need not pass every message on (it may filter, or only make its own),
  // but none may come back twice.
  int passedOn = 0;
  std::string missing;
  for (const Sent& s : sent)
  {
    const bool twoBytes = (s.b[0] & 0xF0) == 0xC0 || (s.b[0] & 0xF0) == 0xD0;
    int seen = 0;
    for (const RecordedMidi& m : out)
      if (m.bytes[0] == s.b[0] && m.bytes[1] == s.b[1] && (twoBytes || m.bytes[2] == s.b[2])) ++seen;
    char text[16];
    std::snprintf(text, sizeof(text), "%02X %02X %02X", s.b[0], s.b[1], s.b[2]);
    if (seen > 1)
      return CheckResult::Failed(std::string("message ") + text + " came back " + std::to_string(seen) +
                                 " times");
    if (seen == 1)
      ++passedOn;
    else
      missing += (missing.empty() ? "" : ", ") + std::string(text);
  }
  constexpr int kSent = sizeof(sent) / sizeof(sent[0]);
  if (passedOn == kSent)
    return CheckResult::Passed(
        "8 messages (notes, controllers, pitch bend, program change) passed through once each");
  return CheckResult::Passed(std::to_string(passedOn) +
                             " of 8 messages passed through once each, none twice (not "
                             "passed on: " +
                             missing + ")");
}

CheckResult ValidationChecks::AutomationThread(CheckEnv& env)
{
  auto p = env.Started();
  if (!p) return CheckResult::Failed(env.Failure());
  const int n = p->NumParams();
  if (n == 0) return CheckResult::Skipped("the plug-in has no parameters");
  std::atomic<bool> done{false};
  std::atomic<int> changes{0};
  HostedPlugin* plugin = p.get();
  std::thread automation(
      [plugin, n, &done, &changes]
      {
        std::mt19937 rng(5);
        while (!done.load())
        {
          const int idx = static_cast<int>(rng() % unsigned(n));
          plugin->SetParameter(idx, float(rng() % 1001) / 1000.0f);
          plugin->GetParameter(idx);
          if (changes % 16 == 0) plugin->ParamDisplay(idx);
          ++changes;
        }
      });
  OutputScan scan;
  // At least this many blocks, and on until the other thread has overlapped them with changes.
  for (int b = 0; b < kAutomationBlocks || (changes.load() < 1000 && b < 1000000); ++b)
  {
    if (b % 40 == 0)
      p->QueueMidi(b % kAutomationBlockFrames, 0x90, static_cast<uint8_t>(48 + (b / 40) % 24), 100);
    if (b % 40 == 20) p->QueueMidi(0, 0x80, static_cast<uint8_t>(48 + (b / 40) % 24), 0);
    p->Process(kAutomationBlockFrames);
    scan.Add(*p, kAutomationBlockFrames);
  }
  done = true;
  automation.join();
  if (!scan.Clean()) return CheckResult::Failed("output during automation: " + scan.Describe());
  return CheckResult::Passed(std::to_string(changes.load()) +
                             " parameter changes from a second thread while blocks played");
}
} // namespace khost
