#pragma once
// MatchesKeyword: the keyword test for file extensions and SFZ text.

#include <string_view>

// True when every character of text, lower-cased (A-Z only, as in the C locale), equals the keyword's
// character at the same position. So an empty text matches every keyword, a text that begins a keyword
// matches it ("lo" matches "lokey") and a text longer than the keyword never matches. Keywords are
// written in lower case. Any thread; no allocation.
bool MatchesKeyword(std::string_view text, std::string_view keyword);
