#include "platform/linux/UriList.h"

namespace
{
constexpr std::string_view kFileScheme = "file://";
constexpr std::string_view kLocalHost = "localhost";

int HexDigit(char c)
{
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
  {
    char a = text[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (a != prefix[i]) return false;
  }
  return true;
}
} // namespace

namespace UriList
{
std::string FileUriToPath(std::string_view uri)
{
  if (!StartsWithNoCase(uri, kFileScheme)) return {};
  uri.remove_prefix(kFileScheme.size());
  // The authority runs up to the path's first slash: empty or "localhost" is this machine.
  size_t slash = uri.find('/');
  if (slash == std::string_view::npos) return {};
  std::string_view host = uri.substr(0, slash);
  if (!host.empty() && (host.size() != kLocalHost.size() || !StartsWithNoCase(host, kLocalHost))) return {};
  uri.remove_prefix(slash);
  std::string path;
  path.reserve(uri.size());
  for (size_t i = 0; i < uri.size(); ++i)
  {
    char c = uri[i];
    if (c == '%')
    {
      if (i + 2 >= uri.size()) return {};
      int hi = HexDigit(uri[i + 1]);
      int lo = HexDigit(uri[i + 2]);
      if (hi < 0 || lo < 0) return {};
      char decoded = static_cast<char>(hi * 16 + lo);
      if (decoded == '\0') return {};
      path.push_back(decoded);
      i += 2;
    }
    else
      path.push_back(c);
  }
  return path;
}

std::string FirstLocalPath(std::string_view list)
{
  while (!list.empty())
  {
    size_t end = list.find('\n');
    std::string_view line = list.substr(0, end);
    list.remove_prefix(end == std::string_view::npos ? list.size() : end + 1);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\0'))
      line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    std::string path = FileUriToPath(line);
    if (!path.empty()) return path;
  }
  return {};
}
} // namespace UriList
