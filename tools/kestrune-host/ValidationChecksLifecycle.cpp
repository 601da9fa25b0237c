// Lifecycle checks: creation and destruction in numbers and in threads, and the call orders hosts use.

#include "tools/kestrune-host/HostTunables.h"
#include "tools/kestrune-host/ValidationChecks.h"

#include <atomic>
#include <thread>

namespace khost
{

namespace
{
void NoteOn(HostedPlugin& p, int delta = 0, int key = 60)
{
  p.QueueMidi(delta, 0x90, static_cast<uint8_t>(key), 100);
}
void NoteOff(HostedPlugin& p, int delta = 0, int key = 60)
{
  p.QueueMidi(delta, 0x80, static_cast<uint8_t>(key), 0);
}

CheckResult Dirty(const char* when, const OutputScan& scan)
{
  return CheckResult::Failed(std::string("output ") + when + ": " + scan.Describe());
}
} // namespace

CheckResult ValidationChecks::OpenClose(CheckEnv& env)
{
  for (int i = 0; i < kOpenCloseRepeats; ++i)
  {
    ChildRunner::Mark("at instance %d", i + 1);
    auto p = env.Create();
    if (!p) return CheckResult::Failed("instance " + std::to_string(i + 1) + " was not created");
    if (i % 10 == 9) continue; // created and closed without ever being opened, as scanning hosts do
    p->Start(48000.0, 512);
    OutputScan scan;
    NoteOn(*p);
    CheckEnv::Run(*p, 1, 512, &scan);
    p->Suspend();
    if (!scan.Clean()) return Dirty("of a fresh instance", scan);
  }
  return CheckResult::Passed(std::to_string(kOpenCloseRepeats) +
                             " instances created, opened, played and closed");
}

CheckResult ValidationChecks::ManyInstances(CheckEnv& env)
{
  std::vector<std::unique_ptr<HostedPlugin>> alive;
  for (int i = 0; i < kInstancesAlive; ++i)
  {
    auto p = env.Started();
    if (!p) return CheckResult::Failed("instance " + std::to_string(i + 1) + ": " + env.Failure());
    alive.push_back(std::move(p));
  }
  OutputScan scan;
  for (int round = 0; round < 4; ++round)
    for (auto& p : alive)
    {
      if (round == 0) NoteOn(*p);
      CheckEnv::Run(*p, 1, 512, &scan);
    }
  if (!scan.Clean()) return Dirty("with many instances", scan);
  alive.clear();
  return CheckResult::Passed(std::to_string(kInstancesAlive) + " instances alive and playing at once");
}

CheckResult ValidationChecks::ParallelThreads(CheckEnv& env)
{
  std::atomic<int> failures{0};
  std::atomic<int> played{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kParallelThreads; ++t)
    threads.emplace_back(
        [&env, &failures, &played]
        {
          for (int i = 0; i < kParallelInstancesPerThread; ++i)
          {
            auto p = env.Create();
            if (!p)
            {
              ++failures;
              return;
            }
            p->Start(44100.0, 256);
            OutputScan scan;
            NoteOn(*p);
            CheckEnv::Run(*p, 20, 256, &scan);
            if (!scan.Clean()) ++failures;
            ++played;
          }
        });
  for (auto& t : threads)
    t.join();
  if (failures > 0)
    return CheckResult::Failed(std::to_string(failures.load()) + " instances failed or gave unclean output");
  return CheckResult::Passed(std::to_string(played.load()) + " instances created, played and closed in " +
                             std::to_string(kParallelThreads) + " threads at once");
}

CheckResult ValidationChecks::CallsBeforeOpen(CheckEnv& env)
{
  auto p = env.Create();
  if (!p) return CheckResult::Failed("the entry point made no instance");
  // What scanning hosts ask before effOpen.
  for (int i = 0; i < p->NumParams(); ++i)
  {
    p->GetParameter(i);
    p->ParamName(i);
    p->ParamLabel(i);
    p->ParamDisplay(i);
  }
  p->Dispatch(effGetProgram);
  for (int i = 0; i < p->NumPrograms(); ++i)
    p->ProgramNameIndexed(i);
  p->EffectName();
  p->VendorString();
  p->ProductString();
  p->Dispatch(effGetPlugCategory);
  p->Dispatch(effGetVstVersion);
  p->CanDo("receiveVstEvents");
  if (p->HasChunks()) p->GetChunk();
  p->SetSampleRate(44100.0);
  p->SetBlockSize(1024);
  for (int i = 0; i < p->NumParams(); ++i)
    p->SetParameter(i, p->GetParameter(i));
  // Then the usual start.
  p->Open();
  p->SetSampleRate(48000.0);
  p->SetBlockSize(512);
  p->Resume();
  std::string error;
  if (!env.Prepare(*p, &error)) return CheckResult::Failed(error);
  OutputScan scan;
  NoteOn(*p);
  CheckEnv::Run(*p, 8, 512, &scan);
  if (!scan.Clean()) return Dirty("after calls before effOpen", scan);
  return CheckResult::Passed("parameters, texts, programs, chunk and set-up asked before effOpen");
}

CheckResult ValidationChecks::StateWhileProcessing(CheckEnv& env)
{
  auto p = env.Started();
  if (!p) return CheckResult::Failed(env.Failure());
  std::atomic<bool> done{false};
  std::atomic<int> asked{0};
  HostedPlugin* plugin = p.get();
  std::thread ui(
      [plugin, &done, &asked]
      {
        while (!done.load())
        {
          if (plugin->HasChunks())
            plugin->GetChunk();
          else
            for (int i = 0; i < plugin->NumParams(); ++i)
              plugin->GetParameter(i);
          ++asked;
          std::this_thread::yield();
        }
      });
  OutputScan scan;
  // At least 400 blocks, and on until the other thread has asked often enough to overlap them.
  for (int b = 0; b < 400 || (asked.load() < 50 && b < 1000000); ++b)
  {
    if (b % 50 == 0) NoteOn(*p, 3, 60 + (b / 50) % 12);
    if (b % 50 == 25) NoteOff(*p, 5, 60 + (b / 50) % 12);
    CheckEnv::Run(*p, 1, 64, &scan);
  }
  done = true;
  ui.join();
  if (!scan.Clean()) return Dirty("while the state was asked for", scan);
  return CheckResult::Passed("state asked for " + std::to_string(asked.load()) +
                             " times while blocks played");
}

CheckResult ValidationChecks::SuspendResume(CheckEnv& env)
{
  auto p = env.Started();
  if (!p) return CheckResult::Failed(env.Failure());
  OutputScan scan;
  for (int i = 0; i < 10; ++i)
  {
    p->Suspend();
    if (i % 3 == 1) p->SetSampleRate(i % 2 ? 44100.0 : 48000.0);
    p->Resume();
    NoteOn(*p, 7);
    CheckEnv::Run(*p, 4, 512, &scan);
    NoteOff(*p, 1);
    CheckEnv::Run(*p, 1, 512, &scan);
  }
  if (!scan.Clean()) return Dirty("across suspend and resume", scan);
  return CheckResult::Passed("suspended and resumed 10 times, playing between");
}

CheckResult ValidationChecks::ProcessBeforeResume(CheckEnv& env)
{
  auto p = env.Create();
  if (!p) return CheckResult::Failed("the entry point made no instance");
  p->Open();
  p->SetSampleRate(48000.0);
  p->SetBlockSize(512);
  std::string error;
  if (!env.Prepare(*p, &error)) return CheckResult::Failed(error);
  OutputScan scan;
  NoteOn(*p);
  CheckEnv::Run(*p, 8, 512, &scan);
  p->Resume();
  CheckEnv::Run(*p, 8, 512, &scan);
  if (!scan.Clean()) return Dirty("when processing before resume", scan);
  return CheckResult::Passed("8 blocks processed before resume, 8 after");
}
} // namespace khost
