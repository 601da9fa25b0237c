#include "samplefiles/PathCase.h"

#include "samplefiles/FileKind.h"
#include "samplefiles/FolderListing.h"
#include "samplefiles/Keyword.h"
#include "samplefiles/PathRules.h"

#include <algorithm>
#include <vector>

namespace
{
class CaseLookup
{
public:
  CaseLookup(std::string_view path, SearchBudget& budget) : mBudget(budget)
  {
    size_t start = 0;
    while (start < path.size())
    {
      size_t end = start;
      while (end < path.size() && !IsPathSeparator(path[end]))
        ++end;
      if (end > start) mParts.emplace_back(path.substr(start, end - start));
      start = end + 1;
    }
  }

  // The file below base that parts index.. name, or an empty text.
  std::string Resolve(const std::string& base, size_t index)
  {
    if (index == mParts.size()) return KindOfFile(base) == FileKind::kFile ? base : std::string();
    const std::string& part = mParts[index];
    const std::string exact = JoinPath(base, part);
    if (part == "." || part == "..") return Resolve(exact, index + 1);
    // A name as written is taken as it is: trying the other cases of every folder that exists would
    // list all the folders above the file.
    if (KindOfFile(exact) != FileKind::kNone)
      return Usable(exact, index) ? Resolve(exact, index + 1) : std::string();
    std::vector<std::string> variants;
    ListFolder(base.empty() ? std::string(".") : base,
               [&](std::string_view name)
               {
                 if (!mBudget.Spend()) return false;
                 if (name != part && EqualsIgnoringCase(name, part)) variants.emplace_back(name);
                 return true;
               });
    std::sort(variants.begin(), variants.end());
    for (const std::string& variant : variants)
    {
      if (mBudget.Exhausted()) break;
      const std::string candidate = JoinPath(base, variant);
      if (!Usable(candidate, index)) continue;
      std::string found = Resolve(candidate, index + 1);
      if (!found.empty()) return found;
    }
    return {};
  }

private:
  // A folder for a part before the last; the last part is tested as a file when it is reached.
  bool Usable(const std::string& path, size_t index) const
  {
    const FileKind kind = KindOfFile(path);
    if (index + 1 == mParts.size()) return kind == FileKind::kFile;
    return kind == FileKind::kFolder || kind == FileKind::kFolderLink;
  }

  SearchBudget& mBudget;
  std::vector<std::string> mParts;
};
} // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

std::string FindFileIgnoringCase(const std::string& path, SearchBudget& budget)
{
  if (!kFileNamesKeepCase || path.empty() || path.find('\0') != std::string::npos) return {};
  const std::string root = IsPathSeparator(path.front()) ? std::string(1, '/') : std::string();
  return CaseLookup(path, budget).Resolve(root, 0);
}
