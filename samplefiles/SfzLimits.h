#pragma once
// Tunables of the SFZ instrument reader.

#include <cstddef>

// Size of the fixed path fields a sample path from an SFZ file ends up in (the slot view's path and the
// saved extra-parameter text), terminator included. A sample path that does not fit is refused like a
// sample file that cannot be opened.
constexpr size_t kSfzMaxPathBytes = 1024;
