// Children on Windows: the tool starts its own program again (CreateProcess of GetModuleFileName)
// with the hidden first argument kChildFlag, the handle of a shared memory block and the task's
// arguments. The child marks where it is and leaves its result in the block; the parent waits with
// the time limit and ends a child that outlives it. A crash is an unhandled exception: the child's
// filter ends it at once with the exception code as its exit code (no debugger, no error box).

#include "tools/kestrune-host/ChildRunner.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <windows.h>

namespace khost
{

namespace
{
constexpr const char* kChildFlag = "--kestrune-host-child";
constexpr size_t kMarkBytes = 256;
constexpr size_t kMessageBytes = 60000;

struct SharedBlock
{
  char mark[kMarkBytes];
  volatile LONG done;
  uint32_t length;
  char message[kMessageBytes];
};

// The block of this process when it is a child.
SharedBlock* gBlock = nullptr;

// Quotes an argument so that the C runtime's command-line parser gives it back unchanged.
std::string QuoteArgument(const std::string& arg)
{
  if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) return arg;
  std::string quoted = "\"";
  for (size_t i = 0;; ++i)
  {
    size_t backslashes = 0;
    while (i < arg.size() && arg[i] == '\\')
    {
      ++i;
      ++backslashes;
    }
    if (i == arg.size())
    {
      quoted.append(backslashes * 2, '\\');
      break;
    }
    if (arg[i] == '"')
      quoted.append(backslashes * 2 + 1, '\\');
    else
      quoted.append(backslashes, '\\');
    quoted += arg[i];
  }
  return quoted + "\"";
}

const char* ExceptionName(DWORD code)
{
  switch (code)
  {
  case EXCEPTION_ACCESS_VIOLATION:
    return "access violation";
  case EXCEPTION_STACK_OVERFLOW:
    return "stack overflow";
  case EXCEPTION_INT_DIVIDE_BY_ZERO:
    return "integer division by zero";
  case EXCEPTION_ILLEGAL_INSTRUCTION:
    return "illegal instruction";
  case EXCEPTION_PRIV_INSTRUCTION:
    return "privileged instruction";
  case EXCEPTION_BREAKPOINT:
    return "breakpoint";
  case EXCEPTION_IN_PAGE_ERROR:
    return "in-page error";
  case EXCEPTION_FLT_DIVIDE_BY_ZERO:
  case EXCEPTION_FLT_INVALID_OPERATION:
  case EXCEPTION_FLT_OVERFLOW:
  case EXCEPTION_FLT_UNDERFLOW:
  case EXCEPTION_FLT_INEXACT_RESULT:
  case EXCEPTION_FLT_DENORMAL_OPERAND:
  case EXCEPTION_FLT_STACK_CHECK:
    return "floating-point exception";
  case 0xC0000409:
    return "stack buffer overrun or fail-fast";
  case 0xC0000374:
    return "heap corruption";
  case 0xE06D7363:
    return "unhandled C++ exception";
  default:
    return "exception";
  }
}

std::string Where(const SharedBlock* block)
{
  if (!block || block->mark[0] == '\0') return "";
  return " " + std::string(block->mark, strnlen(block->mark, kMarkBytes));
}

std::string Hex(DWORD value)
{
  char text[16];
  std::snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(value));
  return text;
}

LONG WINAPI EndOnCrash(EXCEPTION_POINTERS* info)
{
  const DWORD code = info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionCode : 1;
  TerminateProcess(GetCurrentProcess(), code);
  return EXCEPTION_EXECUTE_HANDLER;
}

// An inheritable copy of one of this process's standard handles (null when there is none).
HANDLE InheritableCopy(HANDLE handle)
{
  HANDLE copy = nullptr;
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, TRUE,
                       DUPLICATE_SAME_ACCESS))
    return nullptr;
  return copy;
}

struct Handles
{
  HANDLE items[8] = {};
  int count = 0;
  HANDLE Keep(HANDLE h)
  {
    if (h && h != INVALID_HANDLE_VALUE && count < 8) items[count++] = h;
    return h;
  }
  ~Handles()
  {
    for (int i = 0; i < count; ++i)
      CloseHandle(items[i]);
  }
};
} // namespace

void ChildRunner::Mark(const char* format, ...)
{
  if (!gBlock) return;
  va_list args;
  va_start(args, format);
  std::vsnprintf(gBlock->mark, kMarkBytes, format, args);
  va_end(args);
}

CheckResult ChildRunner::Run(Task, const std::vector<std::string>& args, int timeoutSeconds, bool quiet)
{
  Handles handles;
  SECURITY_ATTRIBUTES inherit = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE mapping = handles.Keep(
      CreateFileMappingA(INVALID_HANDLE_VALUE, &inherit, PAGE_READWRITE, 0, sizeof(SharedBlock), nullptr));
  if (!mapping) return CheckResult::Failed("cannot create memory shared with the check");
  auto* block =
      static_cast<SharedBlock*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SharedBlock)));
  if (!block) return CheckResult::Failed("cannot map memory shared with the check");
  block->mark[0] = '\0';
  block->done = 0;
  block->length = 0;

  char program[MAX_PATH * 4];
  const DWORD programLength = GetModuleFileNameA(nullptr, program, sizeof(program));
  if (programLength == 0 || programLength >= sizeof(program))
  {
    UnmapViewOfFile(block);
    return CheckResult::Failed("cannot find this program's own file");
  }
  char handleText[32];
  std::snprintf(handleText, sizeof(handleText), "%llx",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(mapping)));
  std::string commandLine = QuoteArgument(program) + " " + kChildFlag + " " + handleText;
  for (const std::string& arg : args)
    commandLine += " " + QuoteArgument(arg);

  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  HANDLE null =
      handles.Keep(CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               &inherit, OPEN_EXISTING, 0, nullptr));
  startup.hStdInput = null;
  std::fflush(stdout);
  std::fflush(stderr);
  if (quiet)
  {
    startup.hStdOutput = null;
    startup.hStdError = null;
  }
  else
  {
    startup.hStdOutput = handles.Keep(InheritableCopy(GetStdHandle(STD_OUTPUT_HANDLE)));
    startup.hStdError = handles.Keep(InheritableCopy(GetStdHandle(STD_ERROR_HANDLE)));
  }
  PROCESS_INFORMATION child = {};
  std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
  mutableLine.push_back('\0');
  if (!CreateProcessA(program, mutableLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &child))
  {
    UnmapViewOfFile(block);
    return CheckResult::Failed("cannot start a process for the check (error " +
                               std::to_string(GetLastError()) + ")");
  }
  handles.Keep(child.hThread);
  handles.Keep(child.hProcess);

  const DWORD waited = WaitForSingleObject(child.hProcess, static_cast<DWORD>(timeoutSeconds) * 1000u);
  const bool timedOut = waited != WAIT_OBJECT_0;
  if (timedOut)
  {
    TerminateProcess(child.hProcess, 1);
    WaitForSingleObject(child.hProcess, INFINITE);
  }
  DWORD exitCode = 0;
  GetExitCodeProcess(child.hProcess, &exitCode);
  MemoryBarrier();
  CheckResult result;
  if (timedOut)
    result =
        CheckResult::Failed("did not finish within " + std::to_string(timeoutSeconds) + " s" + Where(block));
  else if (block->done)
    result = Decode(std::string(block->message, std::min<size_t>(block->length, kMessageBytes)));
  else if (exitCode >= 0xC0000000u || exitCode == EXCEPTION_BREAKPOINT || exitCode == 0xE06D7363u)
    result = CheckResult::Failed("crashed: " + std::string(ExceptionName(exitCode)) + " (" + Hex(exitCode) +
                                 ")" + Where(block));
  else
    result = CheckResult::Failed("crashed: exited with status " + std::to_string(exitCode) +
                                 " before finishing" + Where(block));
  UnmapViewOfFile(block);
  return result;
}

bool ChildRunner::ServeChild(int argc, char** argv, Task task, int* exitCode)
{
  if (argc < 3 || std::strcmp(argv[1], kChildFlag) != 0) return false;
  *exitCode = 2;
  const auto mapping = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(std::strtoull(argv[2], nullptr, 16)));
  gBlock = static_cast<SharedBlock*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SharedBlock)));
  if (!gBlock) return true;
  // A crash ends the process with its exception code, without the system's error report or debugger.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  SetUnhandledExceptionFilter(&EndOnCrash);
  const std::vector<std::string> args(argv + 3, argv + argc);
  const std::string message = Encode(RunTask(task, args));
  const size_t length = std::min(message.size(), kMessageBytes);
  std::memcpy(gBlock->message, message.data(), length);
  gBlock->length = static_cast<uint32_t>(length);
  MemoryBarrier();
  gBlock->done = 1;
  std::fflush(nullptr);
  // No destructors, atexit handlers or module detach code of the plug-in: the result is in.
  TerminateProcess(GetCurrentProcess(), 0);
  *exitCode = 0;
  return true;
}
} // namespace khost
