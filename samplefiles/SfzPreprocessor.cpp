#include "samplefiles/SfzPreprocessor.h"

#include "samplefiles/PathCase.h"
#include "samplefiles/PathRules.h"
#include "samplefiles/SearchBudget.h"
#include "samplefiles/SfzFileTests.h"
#include "samplefiles/SfzLimits.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <string_view>
#include <vector>

namespace
{
bool IsSpace(char c)
{
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool IsNameChar(char c)
{
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// The folder part of path with its separator ("/x/y/" for "/x/y/a.sfz"); empty for a bare name.
std::string FolderPrefix(const std::string& path)
{
  const size_t separator = LastPathSeparator(path);
  return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

// The text without comments, NUL bytes as spaces.
std::string WithoutComments(std::string_view text)
{
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size())
  {
    if (text[i] == '/' && i + 1 < text.size() && text[i + 1] == '/')
    {
      i = text.find('\n', i);
      if (i == std::string_view::npos) break;
    }
    else if (text[i] == '/' && i + 1 < text.size() && text[i + 1] == '*')
    {
      const size_t end = text.find("*/", i + 2);
      const std::string_view comment = text.substr(i, end == std::string_view::npos ? text.npos : end - i);
      out += comment.find('\n') == std::string_view::npos ? ' ' : '\n';
      if (end == std::string_view::npos) break;
      i = end + 2;
    }
    else
    {
      out += text[i] == '\0' ? ' ' : text[i];
      ++i;
    }
  }
  return out;
}

// True when directive stands at pos and ends there (white space, a quote or the end follows).
bool DirectiveAt(std::string_view text, size_t pos, std::string_view directive)
{
  if (text.compare(pos, directive.size(), directive) != 0) return false;
  const size_t after = pos + directive.size();
  return after == text.size() || IsSpace(text[after]) || text[after] == '"';
}

size_t SkipBlanks(std::string_view text, size_t pos)
{
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\r'))
    ++pos;
  return pos;
}

class Preprocessor
{
public:
  explicit Preprocessor(const std::string& path)
      : mInstrumentPath(path), mInstrumentFolder(FolderPrefix(path)), mBudget(SampleSearchBounds())
  {
  }

  bool Run(std::string& text)
  {
    const std::string* source = Source(mInstrumentPath);
    if (source == nullptr) return false;
    mStack.push_back(mInstrumentPath);
    Expand(*source, mInstrumentFolder, 0);
    text = std::move(mOut);
    return true;
  }

private:
  // The file's text without comments, read once per run; nullptr when it cannot be read.
  const std::string* Source(const std::string& path)
  {
    const auto known = mSources.find(path);
    if (known != mSources.end()) return known->second.ok ? &known->second.text : nullptr;
    SourceFile& file = mSources[path];
    if (!IsRegularFile(path)) return nullptr;
    std::ifstream in(path, std::ios::binary);
    if (!in) return nullptr;
    std::string raw;
    char block[4096];
    while (in.read(block, sizeof block) || in.gcount() > 0)
    {
      raw.append(block, static_cast<size_t>(in.gcount()));
      if (raw.size() > kSfzMaxSourceBytes || mSourceBytes + raw.size() > kSfzMaxExpandedBytes) return nullptr;
    }
    mSourceBytes += raw.size();
    file.text = WithoutComments(raw);
    file.ok = true;
    return &file.text;
  }

  bool Full() const { return mOut.size() >= kSfzMaxExpandedBytes; }

  void Expand(std::string_view text, const std::string& folder, int depth)
  {
    size_t i = 0;
    while (i < text.size() && !Full())
    {
      const bool wordStart = i == 0 || IsSpace(text[i - 1]);
      if (wordStart && text[i] == '#' && DirectiveAt(text, i, "#define"))
        i = Define(text, i + 7);
      else if (wordStart && text[i] == '#' && DirectiveAt(text, i, "#include"))
        i = Include(text, i + 8, folder, depth);
      else if (text[i] == '$')
        i = Substitute(text, i, mOut);
      else
        mOut += text[i++];
    }
  }

  // Appends the value of the longest defined name at pos (a "$") to out; returns the position after
  // it. A "$" that starts no defined name is copied as it is.
  size_t Substitute(std::string_view text, size_t pos, std::string& out) const
  {
    size_t end = pos + 1;
    while (end < text.size() && IsNameChar(text[end]))
      ++end;
    for (size_t length = end - pos; length >= 2; --length)
    {
      const auto found = mDefines.find(text.substr(pos, length));
      if (found != mDefines.end())
      {
        out += found->second;
        return pos + length;
      }
    }
    out += '$';
    return pos + 1;
  }

  std::string Expanded(std::string_view text) const
  {
    std::string out;
    size_t i = 0;
    while (i < text.size() && out.size() < kSfzMaxDefineBytes)
      if (text[i] == '$')
        i = Substitute(text, i, out);
      else
        out += text[i++];
    if (out.size() > kSfzMaxDefineBytes) out.resize(kSfzMaxDefineBytes);
    return out;
  }

  // "#define" was read up to pos. Returns the position after the definition, or pos when none follows
  // (the rest of the line is then read as text).
  size_t Define(std::string_view text, size_t pos)
  {
    const size_t name = SkipBlanks(text, pos);
    size_t nameEnd = name + 1;
    if (name >= text.size() || text[name] != '$') return pos;
    while (nameEnd < text.size() && IsNameChar(text[nameEnd]))
      ++nameEnd;
    if (nameEnd == name + 1) return pos;
    const size_t value = SkipBlanks(text, nameEnd);
    size_t valueEnd = value;
    while (valueEnd < text.size() && !IsSpace(text[valueEnd]))
      ++valueEnd;
    mDefines[std::string(text.substr(name, nameEnd - name))] = Expanded(text.substr(value, valueEnd - value));
    return valueEnd;
  }

  // "#include" was read up to pos. Returns the position after the quoted name, or pos when none
  // follows on the line.
  size_t Include(std::string_view text, size_t pos, const std::string& folder, int depth)
  {
    const size_t open = SkipBlanks(text, pos);
    if (open >= text.size() || text[open] != '"') return pos;
    const size_t close = text.find_first_of("\"\n", open + 1);
    if (close == std::string_view::npos || text[close] != '"') return pos;
    const std::string name = SlashesForBackslashes(Expanded(text.substr(open + 1, close - open - 1)));
    if (depth + 1 <= kSfzMaxIncludeDepth && mIncludes < kSfzMaxIncludes && !name.empty())
    {
      ++mIncludes;
      const std::string path = Find(name, folder);
      if (!path.empty() && std::find(mStack.begin(), mStack.end(), path) == mStack.end())
        if (const std::string* source = Source(path))
        {
          mStack.push_back(path);
          mOut += '\n';
          Expand(*source, FolderPrefix(path), depth + 1);
          mOut += '\n';
          mStack.pop_back();
        }
    }
    return close + 1;
  }

  // The include file name names, from the including file's folder, else the instrument's.
  std::string Find(const std::string& name, const std::string& folder)
  {
    std::vector<std::string> candidates;
    if (IsAbsolutePath(name))
      candidates.push_back(name);
    else
    {
      candidates.push_back(folder + name);
      if (mInstrumentFolder != folder) candidates.push_back(mInstrumentFolder + name);
    }
    for (const std::string& candidate : candidates)
      if (IsRegularFile(candidate)) return candidate;
    for (const std::string& candidate : candidates)
    {
      std::string found = FindFileIgnoringCase(candidate, mBudget);
      if (!found.empty()) return found;
    }
    return {};
  }

  struct SourceFile
  {
    bool ok = false;
    std::string text;
  };

  const std::string mInstrumentPath;
  const std::string mInstrumentFolder;
  SearchBudget mBudget; // the case-insensitive lookups of the include files, all together
  std::map<std::string, std::string, std::less<>> mDefines;
  std::map<std::string, SourceFile> mSources;
  std::vector<std::string> mStack; // the files being expanded, the instrument first
  int mIncludes = 0;
  size_t mSourceBytes = 0; // of the files read
  std::string mOut;
};
} // namespace

bool PreprocessSfz(const std::string& path, std::string& text)
{
  text.clear();
  return Preprocessor(path).Run(text);
}
