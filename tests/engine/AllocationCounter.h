#pragma once
// The test program's count of global operator new calls (the replacement in EngineRealTimeTest.cpp).
// Any thread. When another replacement of operator new takes precedence the count never moves:
// AllocationCounterActive() tells.

namespace enginetest
{
long AllocationCount();
// Allocates once and answers whether the count moved.
bool AllocationCounterActive();
} // namespace enginetest
