#pragma once
// A program the Wine tests start: its standard input is a pipe we write to, its standard output and
// error come back together through a pipe we read line by line (carriage returns dropped: programs
// under Wine end their lines with CR LF).

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace winetest
{

class Subprocess
{
public:
  // Starts argv[0] (found in PATH when it has no slash) with argv; Running() says whether it started.
  explicit Subprocess(const std::vector<std::string>& argv);
  ~Subprocess();
  Subprocess(const Subprocess&) = delete;
  Subprocess& operator=(const Subprocess&) = delete;

  bool Running() const { return mPid > 0 && !mEnded; }
  // Writes text to the program's standard input.
  bool Write(const std::string& text);
  void CloseInput();
  // Waits at most timeoutMs for a line of output that matches; answers it (empty when none came).
  std::string WaitForLine(const std::function<bool(const std::string&)>& match, int timeoutMs = 5000);
  // Everything it printed so far, a line each.
  const std::vector<std::string>& Lines() const { return mLines; }
  std::string Output() const;
  // Waits at most timeoutMs for the end; answers the exit code (-1 when it did not end and was killed,
  // or a signal ended it).
  int Wait(int timeoutMs);

private:
  // Reads what is there within waitMs; false at the end of the output.
  bool ReadSome(int waitMs);

  pid_t mPid = -1;
  int mIn = -1, mOut = -1;
  bool mEnded = false;
  int mExitCode = -1;
  std::string mPending;
  std::vector<std::string> mLines;
  size_t mSeen = 0; // lines already offered to WaitForLine
};

// Runs argv to its end (at most timeoutMs) and answers its exit code; output gets what it printed.
int RunProgram(const std::vector<std::string>& argv, std::string* output = nullptr, int timeoutMs = 10000);
// Polls condition every few milliseconds for at most timeoutMs; answers its last value.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 5000);
} // namespace winetest
