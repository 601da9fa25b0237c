#include "drawing/DRAW_Utf8.h"

uint32_t DRAW_NextCodepoint(const char*& p, const char* end)
{
  const auto* u = reinterpret_cast<const unsigned char*>(p);
  const unsigned lead = u[0];
  int extra = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 && lead < 0xE0 ? 1 : 0;
  if (lead >= 0xF5) extra = 0;
  if (extra == 0 || end - p <= extra)
  {
    ++p;
    return lead;
  }
  uint32_t cp = lead & (0x3F >> extra);
  for (int i = 1; i <= extra; ++i)
  {
    if ((u[i] & 0xC0) != 0x80)
    {
      ++p;
      return lead;
    }
    cp = (cp << 6) | (u[i] & 0x3F);
  }
  const uint32_t minimum = extra == 1 ? 0x80 : extra == 2 ? 0x800 : 0x10000;
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
  {
    ++p;
    return lead;
  }
  p += extra + 1;
  return cp;
}
