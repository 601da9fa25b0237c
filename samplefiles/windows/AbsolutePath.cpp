// GetFullPathNameA: the current folder of the path's drive, "." and ".." resolved.

#include "samplefiles/AbsolutePath.h"

#include "samplefiles/PathRules.h"

#include <windows.h>

#include <vector>

std::string AbsolutePathOf(const std::string& path)
{
  if (path.empty() || IsAbsolutePath(path)) return path;
  const DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::vector<char> full(needed + 1);
  const DWORD written = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (written == 0 || written >= full.size()) return path;
  return std::string(full.data(), written);
}
