// A forwarding plug-in for manual host checks: it loads the real Kestrune module, passes every call
// through in both directions and logs which thread each one arrives on. It can also make host calls
// on request, to find out which of them a host answers (for example by marking its project modified).
//
// Environment:
//   KESTRUNE_SPY_TARGET  the real module (default: Kestrune.so in a folder "real" beside this file)
//   KESTRUNE_SPY_LOG     the log file (default: /tmp/kestrune-spy.log); lines are appended
//   KESTRUNE_SPY_INJECT  a request file (default: /tmp/kestrune-spy.inject). When it appears, its lines
//                        are run as host calls, then it is removed. Lines:
//                          update          audioMasterUpdateDisplay
//                          automate N      audioMasterAutomate of parameter N with its current value
//                          begin N / end N audioMasterBeginEdit / audioMasterEndEdit
//                          edit N          begin N, automate N, end N
//                          iochanged       audioMasterIOChanged
//                        Requests run on the host's editor idle call while the host makes them, else on
//                        the spy's own thread; a line starting with "thread " always runs there.
//
// Not part of the build or the tests: scripts/daw/build-tools.sh compiles it.

#include "framework/VstDefs.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fstream>
#include <map>
#include <mutex>
#include <pthread.h>
#include <sstream>
#include <string>
#include <sys/syscall.h>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace
{
audioMasterCallback gHost = nullptr;

// One wrapped instance: the record the host holds (first, so the host's pointer is the instance's)
// and the real plug-in's record.
struct Instance
{
  AEffect outer{};
  AEffect* inner = nullptr;
  int number = 0;
};
std::mutex gInstancesMutex;
std::vector<Instance*> gInstances;
int gInstanceCount = 0;
Instance* gEditing = nullptr; // the instance whose editor was opened last; requests go to it

Instance* FromOuter(AEffect* outer)
{
  return reinterpret_cast<Instance*>(outer);
}

AEffect* OuterOf(AEffect* inner)
{
  std::lock_guard<std::mutex> lock(gInstancesMutex);
  for (Instance* i : gInstances)
    if (i->inner == inner) return &i->outer;
  return inner; // still being created: the host sees the real record, as it would without us
}
std::mutex gLogMutex;
FILE* gLog = nullptr;
std::chrono::steady_clock::time_point gStart = std::chrono::steady_clock::now();
std::atomic<long long> gLastIdleMs{-1000000};
std::atomic<bool> gStop{false};
std::thread gThread; // runs until the process ends
std::mutex gInjectMutex;

// (direction, opcode, thread) -> calls since the last summary, and the set already named once.
std::map<std::tuple<char, int, long>, long> gCounts;
std::map<std::tuple<char, int, long>, bool> gSeen;
long long gLastSummaryMs = 0;

long long NowMs()
{
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - gStart)
      .count();
}

long ThreadId()
{
  return static_cast<long>(syscall(SYS_gettid));
}

std::string ThreadName()
{
  char name[32] = "?";
  pthread_getname_np(pthread_self(), name, sizeof(name));
  std::string out = name;
  if (ThreadId() == static_cast<long>(getpid())) out += ",main";
  return out;
}

const char* EnvOr(const char* name, const char* fallback)
{
  const char* v = std::getenv(name);
  return v && *v ? v : fallback;
}

const char* HostToPlugName(int op)
{
  static const char* names[] = {"effOpen",
                                "effClose",
                                "effSetProgram",
                                "effGetProgram",
                                "effSetProgramName",
                                "effGetProgramName",
                                "effGetParamLabel",
                                "effGetParamDisplay",
                                "effGetParamName",
                                "effGetVu",
                                "effSetSampleRate",
                                "effSetBlockSize",
                                "effMainsChanged",
                                "effEditGetRect",
                                "effEditOpen",
                                "effEditClose",
                                "effEditDraw",
                                "effEditMouse",
                                "effEditKey",
                                "effEditIdle",
                                "effEditTop",
                                "effEditSleep",
                                "effIdentify",
                                "effGetChunk",
                                "effSetChunk",
                                "effProcessEvents",
                                "effCanBeAutomated",
                                "effString2Parameter",
                                "effGetNumProgramCategories",
                                "effGetProgramNameIndexed",
                                "effCopyProgram",
                                "effConnectInput",
                                "effConnectOutput",
                                "effGetInputProperties",
                                "effGetOutputProperties",
                                "effGetPlugCategory",
                                "effGetCurrentPosition",
                                "effGetDestinationBuffer",
                                "effOfflineNotify",
                                "effOfflinePrepare",
                                "effOfflineRun",
                                "effProcessVarIo",
                                "effSetSpeakerArrangement",
                                "effSetBlockSizeAndSampleRate",
                                "effSetBypass",
                                "effGetEffectName",
                                "effGetErrorText",
                                "effGetVendorString",
                                "effGetProductString",
                                "effGetVendorVersion",
                                "effVendorSpecific",
                                "effCanDo",
                                "effGetTailSize",
                                "effIdle",
                                "effGetIcon",
                                "effSetViewPosition",
                                "effGetParameterProperties",
                                "effKeysRequired",
                                "effGetVstVersion",
                                "effEditKeyDown",
                                "effEditKeyUp",
                                "effSetEditKnobMode",
                                "effGetMidiProgramName",
                                "effGetCurrentMidiProgram",
                                "effGetMidiProgramCategory",
                                "effHasMidiProgramsChanged",
                                "effGetMidiKeyName",
                                "effBeginSetProgram",
                                "effEndSetProgram",
                                "effGetSpeakerArrangement",
                                "effShellGetNextPlugin",
                                "effStartProcess",
                                "effStopProcess",
                                "effSetTotalSampleToProcess",
                                "effSetPanLaw",
                                "effBeginLoadBank",
                                "effBeginLoadProgram",
                                "effSetProcessPrecision",
                                "effGetNumMidiInputChannels",
                                "effGetNumMidiOutputChannels"};
  if (op >= 0 && op < static_cast<int>(sizeof(names) / sizeof(names[0]))) return names[op];
  switch (op)
  {
  case -1:
    return "process";
  case -2:
    return "processReplacing";
  case -3:
    return "processDoubleReplacing";
  case -4:
    return "setParameter";
  case -5:
    return "getParameter";
  default:
    return "eff?";
  }
}

const char* PlugToHostName(int op)
{
  static const char* names[] = {"audioMasterAutomate",
                                "audioMasterVersion",
                                "audioMasterCurrentId",
                                "audioMasterIdle",
                                "audioMasterPinConnected",
                                "audioMaster5",
                                "audioMasterWantMidi",
                                "audioMasterGetTime",
                                "audioMasterProcessEvents",
                                "audioMasterSetTime",
                                "audioMasterTempoAt",
                                "audioMasterGetNumAutomatableParameters",
                                "audioMasterGetParameterQuantization",
                                "audioMasterIOChanged",
                                "audioMasterNeedIdle",
                                "audioMasterSizeWindow",
                                "audioMasterGetSampleRate",
                                "audioMasterGetBlockSize",
                                "audioMasterGetInputLatency",
                                "audioMasterGetOutputLatency",
                                "audioMasterGetPreviousPlug",
                                "audioMasterGetNextPlug",
                                "audioMasterWillReplaceOrAccumulate",
                                "audioMasterGetCurrentProcessLevel",
                                "audioMasterGetAutomationState",
                                "audioMasterOfflineStart",
                                "audioMasterOfflineRead",
                                "audioMasterOfflineWrite",
                                "audioMasterOfflineGetCurrentPass",
                                "audioMasterOfflineGetCurrentMetaPass",
                                "audioMasterSetOutputSampleRate",
                                "audioMasterGetOutputSpeakerArrangement",
                                "audioMasterGetVendorString",
                                "audioMasterGetProductString",
                                "audioMasterGetVendorVersion",
                                "audioMasterVendorSpecific",
                                "audioMasterSetIcon",
                                "audioMasterCanDo",
                                "audioMasterGetLanguage",
                                "audioMasterOpenWindow",
                                "audioMasterCloseWindow",
                                "audioMasterGetDirectory",
                                "audioMasterUpdateDisplay",
                                "audioMasterBeginEdit",
                                "audioMasterEndEdit"};
  if (op >= 0 && op < static_cast<int>(sizeof(names) / sizeof(names[0]))) return names[op];
  return "audioMaster?";
}

// Calls that come many times a second: named once per thread, then counted in the summaries.
bool Frequent(char dir, int op)
{
  if (dir == 'H') return (op < 0 && op != -4) || op == effEditIdle || op == effProcessEvents || op == effIdle;
  return op == audioMasterGetTime || op == audioMasterGetCurrentProcessLevel || op == audioMasterIdle;
}

void WriteLine(const std::string& text)
{
  if (!gLog) gLog = std::fopen(EnvOr("KESTRUNE_SPY_LOG", "/tmp/kestrune-spy.log"), "a");
  if (!gLog) return;
  std::fprintf(gLog, "%8lld %s\n", NowMs(), text.c_str());
  std::fflush(gLog);
}

// Writes the counts of the frequent calls since the last summary; log mutex held.
void SummaryLocked()
{
  for (auto& entry : gCounts)
  {
    if (entry.second == 0) continue;
    char dir = std::get<0>(entry.first);
    int op = std::get<1>(entry.first);
    std::ostringstream line;
    line << "count " << (dir == 'H' ? "H>P " : "P>H ")
         << (dir == 'H' ? HostToPlugName(op) : PlugToHostName(op)) << " tid=" << std::get<2>(entry.first)
         << " n=" << entry.second;
    WriteLine(line.str());
    entry.second = 0;
  }
  gLastSummaryMs = NowMs();
}

void Note(char dir, int op, int index, VstIntPtr value, float opt, const char* extra = nullptr)
{
  std::lock_guard<std::mutex> lock(gLogMutex);
  const long tid = ThreadId();
  auto key = std::make_tuple(dir, op, tid);
  bool frequent = Frequent(dir, op);
  if (frequent)
  {
    ++gCounts[key];
    if (NowMs() - gLastSummaryMs >= 1000) SummaryLocked();
    if (gSeen[key]) return;
    gSeen[key] = true;
  }
  std::ostringstream line;
  line << (dir == 'H' ? "H>P " : "P>H ") << (dir == 'H' ? HostToPlugName(op) : PlugToHostName(op)) << "("
       << op << ") index=" << index << " value=" << value << " opt=" << opt << " tid=" << tid << "("
       << ThreadName() << ")" << (frequent ? " [first on this thread]" : "") << (extra ? " " : "")
       << (extra ? extra : "");
  WriteLine(line.str());
}

// Copies what the real plug-in may change into the record the host holds.
void SyncOuter(Instance* i)
{
  i->outer.numPrograms = i->inner->numPrograms;
  i->outer.numParams = i->inner->numParams;
  i->outer.numInputs = i->inner->numInputs;
  i->outer.numOutputs = i->inner->numOutputs;
  i->outer.flags = i->inner->flags;
  i->outer.initialDelay = i->inner->initialDelay;
  i->outer.uniqueID = i->inner->uniqueID;
  i->outer.version = i->inner->version;
}

VstIntPtr HostShim(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
  Note('P', opcode, index, value, opt);
  AEffect* forHost = effect ? OuterOf(effect) : effect;
  VstIntPtr result = gHost ? gHost(forHost, opcode, index, value, ptr, opt) : 0;
  if (opcode == audioMasterAutomate || opcode == audioMasterUpdateDisplay || opcode == audioMasterBeginEdit ||
      opcode == audioMasterEndEdit || opcode == audioMasterIOChanged || opcode == audioMasterSizeWindow)
  {
    std::lock_guard<std::mutex> lock(gLogMutex);
    WriteLine(std::string("  -> host answered ") + std::to_string(result));
  }
  return result;
}

// Runs the request file, if there is one. `fromThread`: called on the spy's own thread, which runs the
// lines marked "thread ", and the others too when `plainToo`.
void RunRequests(bool fromThread, bool plainToo)
{
  std::lock_guard<std::mutex> lock(gInjectMutex);
  const char* path = EnvOr("KESTRUNE_SPY_INJECT", "/tmp/kestrune-spy.inject");
  std::ifstream in(path);
  if (!in) return;
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  std::istringstream lines(all);
  std::string line;
  std::string keep;
  while (std::getline(lines, line))
  {
    bool threadOnly = line.rfind("thread ", 0) == 0;
    bool runHere = fromThread ? (threadOnly || plainToo) : !threadOnly;
    if (!runHere)
    {
      keep += line + "\n";
      continue;
    }
    if (threadOnly) line = line.substr(7);
    std::istringstream words(line);
    std::string verb;
    int index = 0;
    words >> verb >> index;
    {
      std::lock_guard<std::mutex> logLock(gLogMutex);
      WriteLine("request '" + line + "' on tid=" + std::to_string(ThreadId()) + "(" + ThreadName() + ")");
    }
    AEffect* inner = gEditing ? gEditing->inner : nullptr;
    if (!inner) continue;
    float value = inner->getParameter(inner, index);
    if (verb == "update")
      HostShim(inner, audioMasterUpdateDisplay, 0, 0, nullptr, 0.0f);
    else if (verb == "automate")
      HostShim(inner, audioMasterAutomate, index, 0, nullptr, value);
    else if (verb == "begin")
      HostShim(inner, audioMasterBeginEdit, index, 0, nullptr, 0.0f);
    else if (verb == "end")
      HostShim(inner, audioMasterEndEdit, index, 0, nullptr, 0.0f);
    else if (verb == "edit")
    {
      HostShim(inner, audioMasterBeginEdit, index, 0, nullptr, 0.0f);
      HostShim(inner, audioMasterAutomate, index, 0, nullptr, value);
      HostShim(inner, audioMasterEndEdit, index, 0, nullptr, 0.0f);
    }
    else if (verb == "iochanged")
      HostShim(inner, audioMasterIOChanged, 0, 0, nullptr, 0.0f);
  }
  std::remove(path);
  if (!keep.empty()) std::ofstream(path) << keep;
}

void SpyThread()
{
  pthread_setname_np(pthread_self(), "kestrune-spy");
  while (!gStop.load())
  {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    // Requests go to the idle call while the host makes it; only without one does this thread run them.
    bool idleAlive = NowMs() - gLastIdleMs.load() < 500;
    RunRequests(true, !idleAlive);
    std::lock_guard<std::mutex> lock(gLogMutex);
    if (NowMs() - gLastSummaryMs >= 1000) SummaryLocked();
  }
}

VstIntPtr Dispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
  std::string extra;
  if (opcode == effCanDo && ptr) extra = std::string("'") + static_cast<const char*>(ptr) + "'";
  if (opcode == effSetChunk) extra = "bytes=" + std::to_string(value);
  Note('H', opcode, index, value, opt, extra.empty() ? nullptr : extra.c_str());
  if (opcode == effEditIdle)
  {
    gLastIdleMs.store(NowMs());
    RunRequests(false, false);
  }
  Instance* instance = FromOuter(effect);
  if (opcode == effEditOpen) gEditing = instance;
  VstIntPtr result = instance->inner->dispatcher(instance->inner, opcode, index, value, ptr, opt);
  SyncOuter(instance);
  if (opcode == effGetChunk && ptr)
  {
    std::lock_guard<std::mutex> lock(gLogMutex);
    WriteLine("  -> chunk bytes=" + std::to_string(result));
  }
  if (opcode == effClose)
  {
    {
      std::lock_guard<std::mutex> lock(gInstancesMutex);
      for (size_t n = 0; n < gInstances.size(); ++n)
        if (gInstances[n] == instance) gInstances.erase(gInstances.begin() + static_cast<std::ptrdiff_t>(n));
    }
    if (gEditing == instance) gEditing = nullptr;
    delete instance;
    std::lock_guard<std::mutex> lock(gLogMutex);
    SummaryLocked();
  }
  return result;
}

void Process(AEffect* e, float** in, float** out, VstInt32 frames)
{
  Note('H', -1, frames, 0, 0.0f);
  AEffect* inner = FromOuter(e)->inner;
  inner->process(inner, in, out, frames);
}

void ProcessReplacing(AEffect* e, float** in, float** out, VstInt32 frames)
{
  Note('H', -2, frames, 0, 0.0f);
  AEffect* inner = FromOuter(e)->inner;
  inner->processReplacing(inner, in, out, frames);
}

void ProcessDouble(AEffect* e, double** in, double** out, VstInt32 frames)
{
  Note('H', -3, frames, 0, 0.0f);
  AEffect* inner = FromOuter(e)->inner;
  inner->processDoubleReplacing(inner, in, out, frames);
}

void SetParameter(AEffect* e, VstInt32 index, float value)
{
  Note('H', -4, index, 0, value);
  AEffect* inner = FromOuter(e)->inner;
  inner->setParameter(inner, index, value);
}

float GetParameter(AEffect* e, VstInt32 index)
{
  Note('H', -5, index, 0, 0.0f);
  AEffect* inner = FromOuter(e)->inner;
  return inner->getParameter(inner, index);
}

// The module may be unloaded: its thread ends first.
struct ThreadStopper
{
  ~ThreadStopper()
  {
    gStop.store(true);
    if (gThread.joinable()) gThread.join();
  }
} gThreadStopper;

std::string DefaultTarget()
{
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&DefaultTarget), &info) || !info.dli_fname) return "Kestrune.so";
  std::string self = info.dli_fname;
  size_t slash = self.rfind('/');
  return (slash == std::string::npos ? std::string() : self.substr(0, slash + 1)) + "real/Kestrune.so";
}
} // namespace

extern "C" KESTRUNE_EXPORT AEffect* VSTPluginMain(audioMasterCallback host)
{
  gHost = host;
  std::string target = EnvOr("KESTRUNE_SPY_TARGET", DefaultTarget().c_str());
  void* module = dlopen(target.c_str(), RTLD_NOW | RTLD_LOCAL); // the same handle for every instance
  {
    std::lock_guard<std::mutex> lock(gLogMutex);
    WriteLine("spy: loading " + target + (module ? " ok" : std::string(" failed: ") + dlerror()) + " pid=" +
              std::to_string(getpid()) + " tid=" + std::to_string(ThreadId()) + "(" + ThreadName() + ")");
  }
  if (!module) return nullptr;
  auto entry = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(dlsym(module, "VSTPluginMain"));
  if (!entry) return nullptr;
  AEffect* inner = entry(&HostShim);
  if (!inner) return nullptr;
  auto* instance = new Instance;
  instance->inner = inner;
  instance->outer = *inner;
  instance->outer.dispatcher = &Dispatcher;
  instance->outer.process = &Process;
  instance->outer.processReplacing = inner->processReplacing ? &ProcessReplacing : nullptr;
  instance->outer.processDoubleReplacing = inner->processDoubleReplacing ? &ProcessDouble : nullptr;
  instance->outer.setParameter = &SetParameter;
  instance->outer.getParameter = &GetParameter;
  instance->outer.object = nullptr;
  instance->outer.user = nullptr;
  {
    std::lock_guard<std::mutex> lock(gInstancesMutex);
    instance->number = ++gInstanceCount;
    gInstances.push_back(instance);
    if (!gThread.joinable()) gThread = std::thread(&SpyThread);
  }
  return &instance->outer;
}

extern "C" KESTRUNE_EXPORT AEffect* SpyLegacyMain(audioMasterCallback host) __asm__("main");
extern "C" AEffect* SpyLegacyMain(audioMasterCallback host)
{
  return VSTPluginMain(host);
}
