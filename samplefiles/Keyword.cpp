#include "samplefiles/Keyword.h"

bool MatchesKeyword(std::string_view text, std::string_view keyword)
{
  if (text.size() > keyword.size()) return false;
  for (size_t i = 0; i < text.size(); ++i)
    if (LowerAscii(text[i]) != keyword[i]) return false;
  return true;
}
