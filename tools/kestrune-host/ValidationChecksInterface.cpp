// Interface checks: identity, answers beyond the limits, parameters, programs and state.

#include "tools/kestrune-host/HostTunables.h"
#include "tools/kestrune-host/ValidationChecks.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <random>

namespace khost
{

namespace
{
// Text answers longer than this would overrun the buffers hosts commonly pass (64 bytes): the
// published short sizes (8 for parameter texts, 24 for program names) are followed by no plug-in
// framework and by no host, so the common buffer is the limit that matters.
constexpr size_t kCommonTextLimit = 63;

std::string Quoted(const std::string& text)
{
  return "\"" + text + "\"";
}

CheckResult StillPlays(HostedPlugin& p, const char* after)
{
  OutputScan scan;
  p.QueueMidi(0, 0x90, 60, 100);
  CheckEnv::Run(p, 4, 512, &scan);
  if (!scan.Clean())
    return CheckResult::Failed(std::string("output after ") + after + ": " + scan.Describe());
  return CheckResult::Passed("");
}
} // namespace

CheckResult ValidationChecks::Identity(CheckEnv& env)
{
  auto p = env.Create();
  if (!p) return CheckResult::Failed("the entry point made no instance");
  const AEffect* fx = p->Effect();
  if (fx->numParams < 0 || fx->numParams > 100000)
    return CheckResult::Failed("parameter count " + std::to_string(fx->numParams));
  if (fx->numPrograms < 0 || fx->numPrograms > 100000)
    return CheckResult::Failed("program count " + std::to_string(fx->numPrograms));
  // Plug-ins with many direct outputs exist (a sampler with 48 stereo pairs); hosts stop somewhere.
  constexpr int kChannelLimit = 256;
  if (fx->numInputs < 0 || fx->numInputs > kChannelLimit || fx->numOutputs < 0 ||
      fx->numOutputs > kChannelLimit)
    return CheckResult::Failed("channel counts " + std::to_string(fx->numInputs) + " in, " +
                               std::to_string(fx->numOutputs) + " out");
  if (fx->numOutputs == 0) return CheckResult::Failed("no outputs");
  if (!(fx->flags & effFlagsCanReplacing) || !fx->processReplacing)
    return CheckResult::Failed("no replacing process call (VST 2.4 requires one)");
  if ((fx->flags & effFlagsCanDoubleReplacing) && !fx->processDoubleReplacing)
    return CheckResult::Failed("double precision flagged but no double process call");
  if (fx->uniqueID == 0) return CheckResult::Failed("unique id 0");
  const std::string name = p->EffectName();
  if (name.size() > kVstMaxEffectNameLen)
    return CheckResult::Failed("effect name of " + std::to_string(name.size()) + " characters (at most " +
                               std::to_string(kVstMaxEffectNameLen) + ")");
  if (p->VendorString().size() > kVstMaxVendorStrLen) return CheckResult::Failed("vendor text too long");
  if (p->ProductString().size() > kVstMaxProductStrLen) return CheckResult::Failed("product text too long");
  p->Open();
  const VstIntPtr vstVersion = p->Dispatch(effGetVstVersion);
  if (vstVersion < 2400) return CheckResult::Failed("effGetVstVersion answers " + std::to_string(vstVersion));
  for (int i = 0; i < fx->numParams; ++i)
  {
    const std::string pname = p->ParamName(i), label = p->ParamLabel(i), shown = p->ParamDisplay(i);
    if (pname.size() > kCommonTextLimit || label.size() > kCommonTextLimit || shown.size() > kCommonTextLimit)
      return CheckResult::Failed("parameter " + std::to_string(i) + " has a text longer than " +
                                 std::to_string(kCommonTextLimit) + " characters");
  }
  for (int i = 0; i < fx->numPrograms; ++i)
    if (p->ProgramNameIndexed(i).size() > kCommonTextLimit)
      return CheckResult::Failed("program " + std::to_string(i) + " has a name longer than " +
                                 std::to_string(kCommonTextLimit) + " characters");
  const bool synth = p->IsSynth();
  const VstIntPtr category = p->Dispatch(effGetPlugCategory);
  if (synth && category != kPlugCategSynth && category != kPlugCategUnknown)
    return CheckResult::Failed("an instrument whose category is " + std::to_string(category));
  return CheckResult::Passed(Quoted(name) + ", " + std::to_string(fx->numParams) + " parameters, " +
                             std::to_string(fx->numPrograms) + " programs, " + std::to_string(fx->numInputs) +
                             " in / " + std::to_string(fx->numOutputs) + " out" +
                             (synth ? ", instrument" : ""));
}

CheckResult ValidationChecks::UnknownOpcodes(CheckEnv& env)
{
  auto p = env.Started();
  if (!p) return CheckResult::Failed(env.Failure());
  std::vector<char> scratch(kHostTextBufferBytes, 0);
  for (int op = effGetNumMidiOutputChannels + 1; op <= kUnknownOpcodeLast; ++op)
  {
    ChildRunner::Mark("at opcode %d", op);
    p->Dispatch(op, 0, 0, nullptr, 0.0f);
    std::fill(scratch.begin(), scratch.end(), 0);
    p->Dispatch(op, 1, 1, scratch.data(), 1.0f);
  }
  CheckResult played = StillPlays(*p, "unknown opcodes");
  if (played.outcome != CheckResult::kPassed) return played;
  return CheckResult::Passed("opcodes " + std::to_string(effGetNumMidiOutputChannels + 1) + " to " +
                             std::to_string(kUnknownOpcodeLast) + " ignored, with and without a buffer");
}

CheckResult ValidationChecks::ParamIndexes(CheckEnv& env)
{
  auto p = env.Started();
  if (!p) return CheckResult::Failed(env.Failure());
  const int n = p->NumParams();
  const int bad[] = {-1, -1000, n, n + 1, n + 1000, INT_MAX, INT_MIN};
  for (int idx : bad)
  {
    ChildRunner::Mark("at setParameter(%d)", idx);
    p->SetParameter(idx, 0.5f);
    ChildRunner::Mark("at getParameter(%d)", idx);
    const float v = p->GetParameter(idx);
    if (!std::isfinite(v))
      return CheckResult::Failed("getParameter(" + std::to_string(idx) + ") is not a finite number");
    ChildRunner::Mark("at the name, label and display of parameter %d", idx);
    p->ParamName(idx);
    p->ParamLabel(idx);
    p->ParamDisplay(idx);
    ChildRunner::Mark("at effCanBeAutomated(%d)", idx);
    p->Dispatch(effCanBeAutomated, idx);
    ChildRunner::Mark("at effString2Parameter(%d)", idx);
    p->SetParamFromText(idx, "0.5");
    ChildRunner::Mark("at effGetParameterProperties(%d)", idx);
    std::vector<char> properties(kHostTextBufferBytes, 0);
    p->Dispatch(effGetParameterProperties, idx, 0, properties.data());
  }
  // Values outside 0..1 from careless hosts.
  const float values[] = {-1.0f, 2.0f, 1e9f, -1e9f};
  for (int i = 0; i < n; ++i)
    for (float value : values)
    {
      ChildRunner::Mark("at parameter %d set to %g", i, double(value));
      p->SetParameter(i, value);
      const float back = p->GetParameter(i);
      if (!std::isfinite(back))
        return CheckResult::Failed("parameter " + std::to_string(i) + " set to " + std::to_string(value) +
                                   " reads back as a non-finite number");
    }
  CheckResult played = StillPlays(*p, "out-of-range parameter values");
  if (played.outcome != CheckResult::kPassed) return played;
  return CheckResult::Passed("indexes -1, " + std::to_string(n) +
                             ", INT_MAX and others ignored; values outside "
                             "0..1 read back finite and play cleanly");
}

CheckResult ValidationChecks::BadChunks(CheckEnv& env)
{
  auto p = env.Started();
  if (!p) return CheckResult::Failed(env.Failure());
  if (!p->HasChunks()) return CheckResult::Skipped("the plug-in keeps no state chunk");
  const std::vector<uint8_t> good = p->GetChunk();
  std::mt19937 rng(1234);
  int tried = 0;
  for (int bank = 0; bank < 2; ++bank)
  {
    const bool program = bank == 1;
    ChildRunner::Mark("with an empty %s chunk", program ? "program" : "bank");
    p->SetChunk({}, program);
    for (size_t len = 1; len < 4; ++len)
      p->SetChunk(std::vector<uint8_t>(len, 0xFF), program);
    for (size_t len : {16u, 64u, 1000u, 100000u})
    {
      std::vector<uint8_t> garbage(len);
      for (auto& b : garbage)
        b = static_cast<uint8_t>(rng());
      ChildRunner::Mark("with %zu bytes of garbage as %s chunk", len, program ? "program" : "bank");
      p->SetChunk(garbage, program);
      ++tried;
    }
    // Truncations of the real chunk: every length near the start, then in steps.
    for (size_t len = 0; len < good.size(); len += len < 64 ? 1 : std::max<size_t>(1, good.size() / 64))
    {
      ChildRunner::Mark("with the %s chunk cut to %zu bytes", program ? "program" : "bank", len);
      p->SetChunk(std::vector<uint8_t>(good.begin(), good.begin() + len), program);
      ++tried;
    }
    // The real chunk with its leading words spoiled.
    for (size_t at = 0; at < std::min<size_t>(good.size(), 16); ++at)
    {
      std::vector<uint8_t> spoiled = good;
      spoiled[at] ^= 0xA5;
      p->SetChunk(spoiled, program);
      ++tried;
    }
  }
  CheckResult played = StillPlays(*p, "bad chunks");
  if (played.outcome != CheckResult::kPassed) return played;
  if (p->SetChunk(good) == 0) return CheckResult::Failed("the plug-in's own chunk is refused after bad ones");
  return CheckResult::Passed("empty, short, garbage, truncated and spoiled chunks (" + std::to_string(tried) +
                             " of them) taken without a crash");
}

CheckResult ValidationChecks::ParamSweep(CheckEnv& env)
{
  auto p = env.Started();
  if (!p) return CheckResult::Failed(env.Failure());
  const int n = p->NumParams();
  int roundTrips = 0;
  bool parses = true;
  for (int i = 0; i < n; ++i)
  {
    for (int k = 0; k < kSweepStepsPerParam; ++k)
    {
      const float v = float(k) / float(kSweepStepsPerParam - 1);
      ChildRunner::Mark("at parameter %d set to %g", i, double(v));
      p->SetParameter(i, v);
      const float back = p->GetParameter(i);
      if (!(back >= -1e-6f && back <= 1.0f + 1e-6f))
        return CheckResult::Failed("parameter " + std::to_string(i) + " set to " + std::to_string(v) +
                                   " reads back " + std::to_string(back));
      const std::string shown = p->ParamDisplay(i);
      if (shown.size() > kCommonTextLimit)
        return CheckResult::Failed("parameter " + std::to_string(i) + " shows a text longer than " +
                                   std::to_string(kCommonTextLimit) + " characters");
      // Display text back to value: showing it again gives the same text.
      if (!parses || shown.empty()) continue;
      if (!p->SetParamFromText(i, shown))
      {
        if (roundTrips == 0)
        {
          parses = false; // the plug-in does not parse texts at all
          continue;
        }
        return CheckResult::Failed("parameter " + std::to_string(i) + " refused its own text " +
                                   Quoted(shown));
      }
      const std::string again = p->ParamDisplay(i);
      if (again != shown)
        return CheckResult::Failed("parameter " + std::to_string(i) + " (" + p->ParamName(i) + "): text " +
                                   Quoted(shown) + " parsed back shows " + Quoted(again));
      ++roundTrips;
    }
    p->QueueMidi(0, 0x90, 60, 100);
    OutputScan scan;
    CheckEnv::Run(*p, 1, 128, &scan);
    p->QueueMidi(0, 0x80, 60, 0);
    if (!scan.Clean())
      return CheckResult::Failed("output after sweeping parameter " + std::to_string(i) + ": " +
                                 scan.Describe());
  }
  return CheckResult::Passed(
      std::to_string(n) + " parameters swept through " + std::to_string(kSweepStepsPerParam) + " values; " +
      (parses ? std::to_string(roundTrips) + " display texts parsed back to the same text"
              : std::string("the plug-in parses no display texts (effString2Parameter)")));
}

CheckResult ValidationChecks::Programs(CheckEnv& env)
{
  auto p = env.Started();
  if (!p) return CheckResult::Failed(env.Failure());
  const int n = p->NumPrograms();
  for (int i = 0; i < n; ++i)
  {
    ChildRunner::Mark("at program %d", i);
    p->Dispatch(effSetProgram, 0, i);
    const VstIntPtr current = p->Dispatch(effGetProgram);
    if (current != i)
      return CheckResult::Failed("program " + std::to_string(i) + " selected, effGetProgram answers " +
                                 std::to_string(current));
    const std::string name = p->ProgramName();
    if (name.empty()) return CheckResult::Failed("program " + std::to_string(i) + " has no name");
    if (name.size() > kCommonTextLimit)
      return CheckResult::Failed("program " + std::to_string(i) + " has a name longer than " +
                                 std::to_string(kCommonTextLimit) + " characters");
    const std::string indexed = p->ProgramNameIndexed(i);
    if (!indexed.empty() && indexed != name)
      return CheckResult::Failed("program " + std::to_string(i) + " is " + Quoted(name) +
                                 " but its indexed name is " + Quoted(indexed));
    OutputScan scan;
    p->QueueMidi(0, 0x90, 60, 100);
    CheckEnv::Run(*p, 2, 256, &scan);
    p->QueueMidi(0, 0x80, 60, 0);
    if (!scan.Clean())
      return CheckResult::Failed("output of program " + std::to_string(i) + ": " + scan.Describe());
  }
  return CheckResult::Passed(std::to_string(n) + " programs selected, named and played");
}

CheckResult ValidationChecks::StateRoundTrip(CheckEnv& env)
{
  auto a = env.Started();
  if (!a) return CheckResult::Failed(env.Failure());
  const int n = a->NumParams();
  // Values away from the defaults.
  for (int i = 0; i < n; ++i)
    a->SetParameter(i, float((i * 37 + 11) % 101) / 100.0f);
  std::vector<float> values(n);
  for (int i = 0; i < n; ++i)
    values[i] = a->GetParameter(i);
  // Some plug-ins take parameter values over on the audio thread.
  CheckEnv::Run(*a, 2, 512, nullptr);
  auto b = env.Create();
  if (!b) return CheckResult::Failed("the entry point made no second instance");
  b->Start(48000.0, 512);
  if (!a->HasChunks())
  {
    for (int i = 0; i < n; ++i)
      b->SetParameter(i, values[i]);
    for (int i = 0; i < n; ++i)
      if (b->GetParameter(i) != values[i])
        return CheckResult::Failed("parameter " + std::to_string(i) +
                                   " does not keep the value it was given");
    return CheckResult::Passed("no state chunk; " + std::to_string(n) +
                               " parameter values carried to a new instance");
  }
  for (int program = 0; program < 2; ++program)
  {
    const char* kind = program ? "program" : "bank";
    const std::vector<uint8_t> saved = a->GetChunk(program == 1);
    if (saved.empty()) return CheckResult::Failed(std::string("empty ") + kind + " chunk");
    if (b->SetChunk(saved, program == 1) == 0)
      return CheckResult::Failed(std::string("a new instance refused the ") + kind + " chunk");
    const std::vector<uint8_t> again = b->GetChunk(program == 1);
    if (again != saved)
    {
      size_t at = 0;
      while (at < saved.size() && at < again.size() && saved[at] == again[at])
        ++at;
      return CheckResult::Failed(std::string("the ") + kind + " chunk of " + std::to_string(saved.size()) +
                                 " bytes comes back as " + std::to_string(again.size()) +
                                 " bytes, first difference at byte " + std::to_string(at));
    }
    // The first instance restored from its own chunk and the new one must agree on every parameter
    // (a plug-in may quantise what it saves, so the values set before saving are not the measure).
    a->SetChunk(saved, program == 1);
    for (int i = 0; i < n; ++i)
      if (std::fabs(b->GetParameter(i) - a->GetParameter(i)) > 1e-6f)
        return CheckResult::Failed("parameter " + std::to_string(i) + " restored as " +
                                   std::to_string(b->GetParameter(i)) + " in a new instance, " +
                                   std::to_string(a->GetParameter(i)) + " in the one that saved it");
  }
  return CheckResult::Passed("bank and program chunks restored into a new instance byte for byte");
}
} // namespace khost
