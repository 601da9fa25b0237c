#include "samplefiles/SfzElementReader.h"

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

bool IsName(std::string_view text)
{
  if (text.empty()) return false;
  for (char c : text)
    if (!IsNameChar(c)) return false;
  return true;
}
} // namespace

bool IsSfzPathOpcode(std::string_view name)
{
  return name == "sample" || name == "default_path";
}

bool SfzElementReader::OpcodeStartsAt(size_t pos) const
{
  size_t end = pos;
  while (end < mText.size() && IsNameChar(mText[end]))
    ++end;
  return end > pos && end < mText.size() && mText[end] == '=';
}

size_t SfzElementReader::PathValueEnd(size_t pos) const
{
  size_t end = pos;
  while (end < mText.size() && mText[end] != '\n')
  {
    if (!IsSpace(mText[end]))
    {
      ++end;
      continue;
    }
    size_t next = end;
    while (next < mText.size() && mText[next] != '\n' && IsSpace(mText[next]))
      ++next;
    if (next == mText.size() || mText[next] == '\n' || mText[next] == '<' || OpcodeStartsAt(next)) return end;
    end = next;
  }
  return end;
}

bool SfzElementReader::Next(SfzElement& element)
{
  while (true)
  {
    while (mPos < mText.size() && IsSpace(mText[mPos]))
      ++mPos;
    if (mPos >= mText.size()) return false;
    size_t wordEnd = mPos;
    while (wordEnd < mText.size() && !IsSpace(mText[wordEnd]))
      ++wordEnd;
    const std::string_view word = mText.substr(mPos, wordEnd - mPos);

    if (word.front() == '<')
    {
      const size_t close = word.find('>');
      if (close != std::string_view::npos && IsName(word.substr(1, close - 1)))
      {
        element = {SfzElement::Kind::kHeader, word.substr(1, close - 1), {}};
        mPos += close + 1; // a word may go on after the header: "<region>sample=a.wav"
        return true;
      }
    }
    else
    {
      const size_t equals = word.find('=');
      if (equals != std::string_view::npos && IsName(word.substr(0, equals)))
      {
        const std::string_view name = word.substr(0, equals);
        size_t valueStart = mPos + equals + 1;
        size_t valueEnd = wordEnd;
        if (IsSfzPathOpcode(name))
        {
          valueEnd = PathValueEnd(valueStart);
          while (valueStart < valueEnd && IsSpace(mText[valueStart]))
            ++valueStart;
        }
        element = {SfzElement::Kind::kOpcode, name, mText.substr(valueStart, valueEnd - valueStart)};
        mPos = valueEnd;
        return true;
      }
    }
    mPos = wordEnd; // no header or opcode: passed over
  }
}
