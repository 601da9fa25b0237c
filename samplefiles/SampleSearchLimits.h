#pragma once
// Bounds of the search for a sample file that is not where a path says. A search lists folders and
// stats files; the bounds keep one missing file from holding its thread for long, whatever the disk
// holds (a home folder, a network mount, a folder link that loops).

#include <chrono>
#include <cstddef>

// Folder levels below a searched folder that the search descends into (0: the folder itself only).
constexpr int kSampleSearchMaxDepth = 6;
// Folder entries (names listed) that one search visits, the case-insensitive lookup included.
constexpr size_t kSampleSearchMaxEntries = 20000;
// Time one search may take, checked after every entry. The fuzz harnesses compare readings of one input,
// which a search cut short by a busy machine's clock would make differ: their build bounds searches by
// entries and depth alone.
#ifdef KESTRUNE_SAMPLE_SEARCH_UNTIMED
constexpr std::chrono::milliseconds kSampleSearchMaxTime{std::chrono::hours(1)};
#else
constexpr std::chrono::milliseconds kSampleSearchMaxTime{50};
#endif

struct SampleSearchBounds
{
  int maxDepth = kSampleSearchMaxDepth;
  size_t maxEntries = kSampleSearchMaxEntries;
  std::chrono::steady_clock::duration maxTime = kSampleSearchMaxTime;
};
