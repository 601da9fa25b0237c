#include "SfzReference.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

namespace sfzref
{
namespace
{
using Opcodes = std::map<std::string, std::string>;

std::string ReadFile(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string FolderOf(const std::string& path)
{
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

bool Exists(const std::string& path)
{
  return std::ifstream(path).good();
}

std::string Backslashes(std::string text)
{
  std::replace(text.begin(), text.end(), '\\', '/');
  return text;
}

// Comments out: "//" to the line end, "/* */" (a line break inside one is kept).
std::string StripComments(const std::string& text)
{
  std::string out;
  bool block = false;
  bool line = false;
  for (size_t i = 0; i < text.size(); ++i)
  {
    const char c = text[i];
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (line)
    {
      if (c == '\n')
      {
        line = false;
        out += c;
      }
    }
    else if (block)
    {
      if (c == '*' && next == '/')
      {
        block = false;
        ++i;
      }
      else if (c == '\n')
        out += c;
    }
    else if (c == '/' && next == '/')
      line = true;
    else if (c == '/' && next == '*')
    {
      block = true;
      out += ' ';
      ++i;
    }
    else
      out += c;
  }
  return out;
}

class Expander
{
public:
  explicit Expander(const std::string& sfzPath) : mRootFolder(FolderOf(sfzPath)) {}

  std::string File(const std::string& path, int depth)
  {
    if (depth > 16 || std::count(mOpen.begin(), mOpen.end(), path) > 0) return "";
    mOpen.push_back(path);
    std::string out;
    std::istringstream lines(StripComments(ReadFile(path)));
    std::string line;
    while (std::getline(lines, line))
      out += Line(line, FolderOf(path), depth) + "\n";
    mOpen.pop_back();
    return out;
  }

private:
  // Directives at word starts; the text between them gets the definitions replaced.
  std::string Line(const std::string& line, const std::string& folder, int depth)
  {
    static const std::regex directive(
        R"re((^|\s)(#define[ \t]+(\$\w+)[ \t]*(\S*)|#include[ \t]*"([^"]*)"))re");
    std::string out;
    auto rest = line.cbegin();
    for (std::sregex_iterator it(line.begin(), line.end(), directive), end; it != end; ++it)
    {
      const std::smatch& m = *it;
      out += Replace(std::string(rest, m[2].first));
      rest = m[2].second;
      if (m[3].matched)
        mDefines[m[3]] = Replace(m[4]);
      else
      {
        const std::string name = Backslashes(Replace(m[5]));
        std::string path = name.front() == '/' ? name : folder + name;
        if (!Exists(path)) path = mRootFolder + name;
        if (Exists(path)) out += "\n" + File(path, depth + 1) + "\n";
      }
    }
    return out + Replace(std::string(rest, line.cend()));
  }

  // Every "$" followed by a defined name gets the longest such name's value.
  std::string Replace(const std::string& text) const
  {
    std::string out;
    for (size_t i = 0; i < text.size();)
    {
      std::string best;
      if (text[i] == '$')
        for (const auto& [name, value] : mDefines)
          if (text.compare(i, name.size(), name) == 0 && name.size() > best.size()) best = name;
      if (best.empty())
        out += text[i++];
      else
      {
        out += mDefines.at(best);
        i += best.size();
      }
    }
    return out;
  }

  std::string mRootFolder;
  std::vector<std::string> mOpen;
  std::map<std::string, std::string> mDefines;
};

bool Note(const std::string& text, int& note)
{
  static const std::regex number(R"([+-]?\d+)");
  static const std::regex name(R"(([a-gA-G])([#b]?)(-1|\d))");
  std::smatch m;
  if (std::regex_match(text, number))
    note = std::atoi(text.c_str());
  else if (std::regex_match(text, m, name))
  {
    const int letter[] = {9, 11, 0, 2, 4, 5, 7}; // a b c d e f g
    note = letter[std::tolower(m[1].str()[0]) - 'a'] +
           (m[2] == "#"   ? 1
            : m[2] == "b" ? -1
                          : 0) +
           12 * (std::atoi(m[3].str().c_str()) + 1);
    if (note < 0) return false;
  }
  else
    return false;
  return note >= -1 && note <= 127;
}

bool Number(const std::string& text, double& value)
{
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end != text.c_str() && std::isfinite(value);
}

struct Reader
{
  std::string folder;
  std::string defaultPath;
  int semitones = 0; // note_offset
  int octaves = 0;   // octave_offset
  Opcodes global, master, group, region;
  std::string level;
  std::vector<Region> regions;
  size_t count = 5;

  void Set(const std::string& name, const std::string& value)
  {
    if (name == "default_path") defaultPath = Backslashes(value);
    if (name == "note_offset" || name == "octave_offset")
    {
      if (std::regex_match(value, std::regex(R"([+-]?\d+)")))
        (name == "note_offset" ? semitones : octaves) = std::atoi(value.c_str());
      return;
    }
    Opcodes* target = level == "global"   ? &global
                      : level == "master" ? &master
                      : level == "group"  ? &group
                      : level == "region" ? &region
                                          : nullptr;
    if (target == nullptr || name == "default_path") return;
    if (name == "sample")
    {
      const std::string sample = Backslashes(value);
      (*target)[name] =
          sample.empty() || sample[0] == '/' || sample[0] == '*' ? sample : defaultPath + sample;
    }
    else if (name == "key" || name == "lokey" || name == "hikey" || name == "pitch_keycenter")
    {
      int note = 0;
      if (!Note(value, note)) return;
      const std::string shifted = std::to_string(note + semitones + 12 * octaves);
      if (name == "key")
        (*target)["lokey"] = (*target)["hikey"] = (*target)["pitch_keycenter"] = shifted;
      else
        (*target)[name] = shifted;
    }
    else
      (*target)[name] = value;
  }

  void EndRegion()
  {
    if (level != "region" || regions.size() >= count) return;
    Opcodes all = global;
    for (const Opcodes* over : {&master, &group, &region})
      for (const auto& [name, value] : *over)
        all[name] = value;
    if (all["sample"].empty() || all["sample"][0] == '*') return;
    Region r;
    r.path = all["sample"][0] == '/' ? all["sample"] : folder + all["sample"];
    if (!all["lokey"].empty()) r.lowKey = std::stoi(all["lokey"]);
    if (!all["hikey"].empty()) r.highKey = std::stoi(all["hikey"]);
    if (!all["pitch_keycenter"].empty()) r.root = std::stoi(all["pitch_keycenter"]);
    Number(all["pitch_keytrack"], r.keyTrackCents) || (r.keyTrackCents = 100.0);
    Number(all["ampeg_attack"], r.attack) || (r.attack = 0.0);
    Number(all["ampeg_release"], r.release) || (r.release = 0.0);
    Number(all["pan"], r.pan) || (r.pan = 0.0);
    Number(all["volume"], r.volume) || (r.volume = 0.0);
    r.reverse = all["direction"] == "reverse";
    r.loop = all["loop_mode"] == "loop_continuous" || all["loop_mode"] == "loop_sustain";
    regions.push_back(r);
  }
};
} // namespace

std::vector<Region> ReadRegions(const std::string& sfzPath, size_t count)
{
  Reader reader;
  reader.folder = FolderOf(sfzPath);
  reader.count = count;
  std::istringstream lines(Expander(sfzPath).File(sfzPath, 0));
  // Headers and opcodes start words (or follow a header); a value runs to the next one on its line.
  static const std::regex element(R"(<(\w+)>|(\w+)=)");
  std::string line;
  while (std::getline(lines, line))
  {
    std::vector<std::smatch> found;
    size_t headerEnd = std::string::npos;
    for (std::sregex_iterator it(line.begin(), line.end(), element), end; it != end; ++it)
    {
      const size_t at = static_cast<size_t>(it->position());
      const bool wordStart = at == 0 || std::isspace(static_cast<unsigned char>(line[at - 1]));
      if (!wordStart && at != headerEnd) continue;
      found.push_back(*it);
      headerEnd = (*it)[1].matched ? at + static_cast<size_t>(it->length()) : std::string::npos;
    }
    for (size_t i = 0; i < found.size(); ++i)
    {
      const std::smatch& m = found[i];
      if (m[1].matched)
      {
        reader.EndRegion();
        const std::string name = m[1];
        if (name == "global") reader.global.clear();
        if (name == "global" || name == "master") reader.master.clear();
        if (name == "global" || name == "master" || name == "group") reader.group.clear();
        if (name == "region") reader.region.clear();
        reader.level = name;
        continue;
      }
      const auto valueStart = m[0].second;
      const auto valueEnd = i + 1 < found.size() ? found[i + 1][0].first : line.cend();
      std::string value(valueStart, valueEnd);
      const std::string name = m[2];
      if (name == "sample" || name == "default_path")
      {
        value.erase(0, value.find_first_not_of(" \t\r"));
        value.erase(value.find_last_not_of(" \t\r") + 1);
      }
      else
        value =
            value.substr(0, std::find_if(value.begin(), value.end(),
                                         [](char c) { return std::isspace(static_cast<unsigned char>(c)); }) -
                                value.begin());
      reader.Set(name, value);
    }
  }
  reader.EndRegion();
  return reader.regions;
}
} // namespace sfzref
