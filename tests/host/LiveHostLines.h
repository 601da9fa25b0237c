#pragma once
// What `kestrune-host edit --play` prints on its script's stats and calls lines, read back by the
// tests that drive it while a note plays: the render thread's figures and the census of the threads
// the plug-in reported the user's edits on. Header-only: the Linux test program and the Wine test
// driver both use it with their own host runner (anything with Ask(action, answer) and
// WaitForLine(start)).

#include <cstdio>
#include <string>

namespace hosttest
{

// "render: N blocks of F frames at R Hz SPAN, peak P, longest process call X ms, calls over 2 ms: C,
// longest wake-up lateness Y ms".
struct RenderFigures
{
  bool ok = false;
  long blocks = 0;
  double peak = 0.0;
  double longestCallMs = 0.0;
  long slowCalls = 0;
  double longestLateMs = 0.0;
  std::string line;
};

inline RenderFigures ParseRenderLine(const std::string& line)
{
  RenderFigures f;
  f.line = line;
  const size_t comma = line.find(", peak ");
  if (line.rfind("render: ", 0) != 0 || comma == std::string::npos) return f;
  f.ok =
      std::sscanf(line.c_str(), "render: %ld blocks", &f.blocks) == 1 &&
      std::sscanf(line.c_str() + comma,
                  ", peak %lf, longest process call %lf ms, calls over 2 ms: %ld, longest wake-up lateness "
                  "%lf ms",
                  &f.peak, &f.longestCallMs, &f.slowCalls, &f.longestLateMs) == 4;
  return f;
}

// "calls audioMasterX: idle thread N, loop thread N, audio thread N, other threads N", one line per
// opcode, then "calls came from N other threads".
struct CallCensus
{
  enum
  {
    kAutomate,
    kBeginEdit,
    kEndEdit,
    kUpdateDisplay,
    kOpcodes
  };
  enum
  {
    kIdle,
    kLoop,
    kAudio,
    kOther,
    kKinds
  };
  bool ok = false;
  long counts[kOpcodes][kKinds] = {};
  int otherThreads = -1;
  std::string text;

  long Total(int opcode) const
  {
    return counts[opcode][kIdle] + counts[opcode][kLoop] + counts[opcode][kAudio] + counts[opcode][kOther];
  }
  // Calls of any of the four opcodes that came on threads of the given kind.
  long OnKind(int kind) const
  {
    long n = 0;
    for (const auto& opcode : counts)
      n += opcode[kind];
    return n;
  }
};

inline const char* CensusOpcodeName(int opcode)
{
  static const char* const kNames[] = {"audioMasterAutomate", "audioMasterBeginEdit", "audioMasterEndEdit",
                                       "audioMasterUpdateDisplay"};
  return kNames[opcode];
}

// Sends "calls" to host and reads the five lines of its answer.
template <class Host> CallCensus AskCensus(Host& host)
{
  CallCensus census;
  census.ok = true;
  for (int op = 0; op < CallCensus::kOpcodes; ++op)
  {
    const std::string start = std::string("calls ") + CensusOpcodeName(op) + ": ";
    const std::string line = op == 0 ? host.Ask("calls", start) : host.WaitForLine(start);
    census.text += line + "\n";
    long* c = census.counts[op];
    if (std::sscanf(line.c_str() + (line.size() >= start.size() ? start.size() : 0),
                    "idle thread %ld, loop thread %ld, audio thread %ld, other threads %ld", &c[0], &c[1],
                    &c[2], &c[3]) != 4)
      census.ok = false;
  }
  const std::string last = host.WaitForLine("calls came from ");
  census.text += last + "\n";
  if (std::sscanf(last.c_str(), "calls came from %d other threads", &census.otherThreads) != 1)
    census.ok = false;
  return census;
}

// Sends "stats" to host: the render thread's figures since the last stats.
template <class Host> RenderFigures AskStats(Host& host)
{
  return ParseRenderLine(host.Ask("stats", "render: "));
}
} // namespace hosttest
