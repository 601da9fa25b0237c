#include "samplefiles/SampleFileNames.h"

#include "samplefiles/Keyword.h"
#include "samplefiles/SampleFileLimits.h"

#include <cstdint>

namespace
{
// Bytes of the character at the start of text (not empty), read as the editor draws text: a well-formed
// UTF-8 sequence is one character, any other byte one of its own (the editor's text drawing reads the
// same way; this library links nothing of the editor's).
size_t CharBytes(std::string_view text)
{
  const auto lead = static_cast<unsigned char>(text[0]);
  const size_t extra = (lead >= 0xC2 && lead < 0xE0)   ? 1
                       : (lead >= 0xE0 && lead < 0xF0) ? 2
                       : (lead >= 0xF0 && lead < 0xF5) ? 3
                                                       : 0;
  if (extra == 0 || text.size() <= extra) return 1;
  uint32_t cp = lead & (0x3Fu >> extra);
  for (size_t i = 1; i <= extra; ++i)
  {
    const auto c = static_cast<unsigned char>(text[i]);
    if ((c & 0xC0) != 0x80) return 1;
    cp = (cp << 6) | (c & 0x3Fu);
  }
  const uint32_t minimum = extra == 1 ? 0x80 : extra == 2 ? 0x800 : 0x10000;
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 1;
  return extra + 1;
}

// The first maxChars characters of text (all of it when it has no more).
std::string_view FirstChars(std::string_view text, size_t maxChars)
{
  size_t bytes = 0;
  for (size_t n = 0; n < maxChars && bytes < text.size(); ++n)
    bytes += CharBytes(text.substr(bytes));
  return text.substr(0, bytes);
}

bool EndsWithNoCase(std::string_view text, std::string_view ending)
{
  if (text.size() < ending.size()) return false;
  const std::string_view tail = text.substr(text.size() - ending.size());
  for (size_t i = 0; i < ending.size(); ++i)
    if (LowerAscii(tail[i]) != ending[i]) return false;
  return true;
}
} // namespace

std::string_view FileExtension(std::string_view path)
{
  const size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) return {};
  return path.substr(dot + 1);
}

std::string_view FileNameOf(std::string_view path)
{
  const size_t sep = LastPathSeparator(path);
  if (sep == std::string_view::npos) return path;
  return path.substr(sep + 1);
}

std::string_view FolderOf(std::string_view path)
{
  const size_t sep = LastPathSeparator(path);
  if (sep == std::string_view::npos) return {};
  return path.substr(0, sep);
}

std::string DisplayNameOf(std::string_view path)
{
  const std::string_view name = FileNameOf(path);
  // Counted and cut in characters, never inside one: "Ünïcødé ñame.wav" is 16 characters in 21 bytes.
  if (FirstChars(name, kDisplayNameMaxChars).size() == name.size()) return std::string(name);
  return std::string(FirstChars(name, kDisplayNameCutChars));
}

bool IsSteppableSampleName(std::string_view name)
{
  return EndsWithNoCase(name, ".wav") || EndsWithNoCase(name, ".ogg") || EndsWithNoCase(name, ".flac");
}
