#include "samplefiles/SampleLocator.h"

#include "samplefiles/FileKind.h"
#include "samplefiles/FolderListing.h"
#include "samplefiles/PathCase.h"
#include "samplefiles/PathRules.h"
#include "samplefiles/SearchBudget.h"

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <unordered_set>
#include <utility>

namespace
{
// The components of path without "." and with "name/.." pairs taken out, as text compares them.
std::vector<std::string_view> LexicalComponents(std::string_view path)
{
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (start <= path.size())
  {
    size_t end = start;
    while (end < path.size() && !IsPathSeparator(path[end]))
      ++end;
    const std::string_view part = path.substr(start, end - start);
    if (part == "..")
    {
      if (!parts.empty() && parts.back() != "..")
        parts.pop_back();
      else
        parts.push_back(part);
    }
    else if (!part.empty() && part != ".")
      parts.push_back(part);
    start = end + 1;
  }
  return parts;
}

// A folder path without trailing separators (the root stays whole).
std::string WithoutTrailingSeparators(std::string folder)
{
  while (folder.size() > 1 && IsPathSeparator(folder.back()))
    folder.pop_back();
  return folder;
}

// Searches folders breadth-first for the best file of one name.
class NameSearch
{
public:
  NameSearch(std::string_view missingPath, int maxDepth, SearchBudget& budget)
      : mMaxDepth(maxDepth), mBudget(budget)
  {
    mMissingParts = LexicalComponents(missingPath);
    if (!mMissingParts.empty())
    {
      mName = mMissingParts.back();
      mMissingParts.pop_back(); // the folder names
    }
  }

  void Under(const std::string& root)
  {
    if (mName.empty() || Complete()) return;
    std::deque<std::pair<std::string, int>> folders;
    folders.emplace_back(WithoutTrailingSeparators(root), 0);
    while (!folders.empty() && !mBudget.Exhausted() && !Complete())
    {
      auto [folder, depth] = std::move(folders.front());
      folders.pop_front();
      if (!mVisited.insert(folder).second) continue;
      std::vector<std::string> names;
      ListFolder(folder,
                 [&](std::string_view name)
                 {
                   if (!mBudget.Spend()) return false;
                   if (name != "." && name != "..") names.emplace_back(name);
                   return true;
                 });
      std::sort(names.begin(), names.end());
      for (const std::string& name : names)
      {
        const std::string path = JoinPath(folder, name);
        if (EqualsIgnoringCase(name, mName))
        {
          if (KindOfFile(path) == FileKind::kFile) Consider(path, name == mName);
        }
        else if (depth < mMaxDepth && KindOfFile(path) == FileKind::kFolder)
          folders.emplace_back(path, depth + 1);
      }
    }
  }

  const std::string& Best() const { return mBest; }

private:
  void Consider(const std::string& path, bool sameCase)
  {
    std::vector<std::string_view> folders = LexicalComponents(path);
    folders.pop_back();
    int common = 0;
    while (static_cast<size_t>(common) < folders.size() &&
           static_cast<size_t>(common) < mMissingParts.size() &&
           EqualsIgnoringCase(folders[folders.size() - 1 - static_cast<size_t>(common)],
                              mMissingParts[mMissingParts.size() - 1 - static_cast<size_t>(common)]))
      ++common;
    if (common > mBestCommon || (common == mBestCommon && sameCase && !mBestSameCase))
    {
      mBest = path;
      mBestCommon = common;
      mBestSameCase = sameCase;
    }
  }

  // Nothing can beat the best file found: every folder name in common, in the same case.
  bool Complete() const
  {
    return !mBest.empty() && mBestSameCase && static_cast<size_t>(mBestCommon) == mMissingParts.size();
  }

  const int mMaxDepth;
  SearchBudget& mBudget;
  std::vector<std::string_view> mMissingParts;
  std::string_view mName;
  std::unordered_set<std::string> mVisited;
  std::string mBest;
  int mBestCommon = -1;
  bool mBestSameCase = false;
};
} // namespace

std::string LocateSample(const std::string& missingPath, const SampleSearchHints& hints,
                         const SampleSearchBounds& bounds)
{
  if (missingPath.empty() || missingPath.find('\0') != std::string::npos) return {};
  if (KindOfFile(missingPath) == FileKind::kFile) return missingPath;
  SearchBudget budget(bounds);
  std::string found = FindFileIgnoringCase(missingPath, budget);
  if (!found.empty()) return found;

  NameSearch search(missingPath, bounds.maxDepth, budget);
  if (!hints.sfzFolder.empty()) search.Under(hints.sfzFolder);
  for (const std::string& folder : hints.slotFolders)
    if (!folder.empty()) search.Under(folder);
  for (const std::string& folder : hints.searchFolders)
    if (!folder.empty()) search.Under(folder);
  return search.Best();
}

std::vector<std::string> SplitSearchPathList(std::string_view value, char separator)
{
  std::vector<std::string> folders;
  size_t start = 0;
  while (start <= value.size())
  {
    size_t end = value.find(separator, start);
    if (end == std::string_view::npos) end = value.size();
    if (end > start) folders.emplace_back(value.substr(start, end - start));
    start = end + 1;
  }
  return folders;
}

std::vector<std::string> SampleSearchFoldersFromEnvironment()
{
#ifdef _WIN32
  constexpr char kSeparator = ';';
#else
  constexpr char kSeparator = ':';
#endif
  const char* value = std::getenv(kSampleSearchPathVariable);
  return value == nullptr ? std::vector<std::string>() : SplitSearchPathList(value, kSeparator);
}
