#include "platform/linux/DisplayScale.h"

#include "framework/EditorScale.h"
#include "platform/linux/X11Tunables.h"

#include <charconv>
#include <cstring>
#include <string>

namespace
{
constexpr const char* kXftDpiName = "Xft.dpi";

// A number at the start of text after blanks, read without the process locale; false for none.
bool ReadNumber(const char* text, const char* end, double* value)
{
  while (text < end && (*text == ' ' || *text == '\t'))
    ++text;
  auto result = std::from_chars(text, end, *value);
  return result.ec == std::errc() && result.ptr != text;
}
} // namespace

int ScaleFromDpi(double dpi)
{
  if (!(dpi > 0.0)) return 0;
  return NearestEditorScale(dpi / kXftDpiAt100);
}

int ScaleFromXResources(const char* resources)
{
  if (!resources) return 0;
  const size_t nameLength = std::strlen(kXftDpiName);
  for (const char* line = resources; *line;)
  {
    const char* next = std::strchr(line, '\n');
    const char* end = next ? next : line + std::strlen(line);
    // "Xft.dpi:" exactly (the server's string holds each name once).
    if (static_cast<size_t>(end - line) > nameLength && std::strncmp(line, kXftDpiName, nameLength) == 0 &&
        line[nameLength] == ':')
    {
      double dpi = 0.0;
      if (ReadNumber(line + nameLength + 1, end, &dpi) && ScaleFromDpi(dpi)) return ScaleFromDpi(dpi);
    }
    if (!next) break;
    line = next + 1;
  }
  return 0;
}

int DisplayScaleFrom(const char* xResources, const char* gdkScale, const char* qtScaleFactor)
{
  if (int scale = ScaleFromXResources(xResources)) return scale;
  for (const char* factor : {gdkScale, qtScaleFactor})
  {
    if (!factor || !*factor) continue;
    double value = 0.0;
    const char* end = factor + std::strlen(factor);
    auto result = std::from_chars(factor, end, value);
    if (result.ec == std::errc() && result.ptr == end)
      if (int scale = NearestEditorScale(value)) return scale;
  }
  return kScale100;
}
