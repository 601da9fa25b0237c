#pragma once
// MatchesKeyword: the keyword test for file extensions and SFZ text.

#include <string_view>

// c lower-cased when it is A-Z (the C locale's tolower), else c itself.
inline char LowerAscii(char c)
{
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when every character of text, lower-cased (A-Z only, as in the C locale), equals the keyword's
// character at the same position. So an empty text matches every keyword, a text that begins a keyword
// matches it ("lo" matches "lokey") and a text longer than the keyword never matches. Keywords are
// written in lower case. Any thread; no allocation.
bool MatchesKeyword(std::string_view text, std::string_view keyword);
