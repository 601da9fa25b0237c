#pragma once
// The test program's record of global operator new: how many calls, and how many bytes are live now
// and at most since the last ResetPeak (the replacement in AllocationCounter.cpp, shared by the suites
// and the benchmarks). Any thread. Sizes are the allocator's usable sizes, a little above what was asked.
// When another replacement of operator new takes precedence (a sanitizer's runtime) nothing moves:
// Active() tells.

#include <cstddef>

namespace testalloc
{
long Count();
// Allocates once and answers whether the count moved.
bool Active();
// Bytes allocated with operator new and not yet freed.
size_t LiveBytes();
// The most bytes live at once since the last ResetPeak; ResetPeak starts it at LiveBytes().
size_t PeakBytes();
void ResetPeak();
} // namespace testalloc
