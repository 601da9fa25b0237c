#pragma once
// The platform's path rules: which characters separate folders and which paths are absolute. Windows
// accepts both "\" and "/" and knows drive letters ("C:\...", "C:/...") and network paths ("\\host\...");
// other systems separate with "/" only, and a path is absolute when it starts with it.

#include <cstddef>
#include <string>
#include <string_view>

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

constexpr bool IsPathSeparator(char c)
{
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/';
#endif
}

constexpr bool IsAbsolutePath(std::string_view path)
{
  if (path.empty()) return false;
  if (IsPathSeparator(path.front())) return true; // Windows: the root of the current drive, or a share
#ifdef _WIN32
  const char drive = path.front();
  const bool letter = (drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z');
  return path.size() >= 3 && letter && path[1] == ':' && IsPathSeparator(path[2]);
#else
  return false;
#endif
}

// Index of the last separator in path, or npos.
constexpr size_t LastPathSeparator(std::string_view path)
{
  for (size_t i = path.size(); i > 0; --i)
    if (IsPathSeparator(path[i - 1])) return i - 1;
  return std::string_view::npos;
}

// folder and name with a separator between them (none added when folder ends with one); name alone
// when folder is empty.
inline std::string JoinPath(std::string_view folder, std::string_view name)
{
  std::string joined(folder);
  if (!joined.empty() && !IsPathSeparator(joined.back())) joined += kPathSeparator;
  joined += name;
  return joined;
}
