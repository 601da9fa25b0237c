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
// Time one search may take, checked after every entry.
constexpr std::chrono::milliseconds kSampleSearchMaxTime{50};

struct SampleSearchBounds
{
  int maxDepth = kSampleSearchMaxDepth;
  size_t maxEntries = kSampleSearchMaxEntries;
  std::chrono::steady_clock::duration maxTime = kSampleSearchMaxTime;
};
