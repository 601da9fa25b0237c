#pragma once
// KESTRUNE_ASSERT: the check for programming errors at construction (over-long names, a malformed
// channel string). Unlike assert it stays on in release builds: a plug-in built with a broken table
// must stop at once, where it was built, not corrupt state later. It prints the failed expression and
// the function, then aborts. Never used for anything a host or a file can send.

#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void KestruneAssertFail(const char* expr, const char* function, const char* file,
                                            int line)
{
  std::fprintf(stderr, "%s:%d: %s: Assertion `%s' failed.\n", file, line, function, expr);
  std::abort();
}

#define KESTRUNE_ASSERT(expr)                                                                                \
  ((expr) ? static_cast<void>(0) : KestruneAssertFail(#expr, __func__, __FILE__, __LINE__))
