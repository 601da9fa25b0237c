#pragma once
// The demo song of the default kit: twelve bars in A minor for the five slots (pad, bass, drum, then
// the plucked string, then the bell), with a tempo change for the last four bars. Format 1, one track
// per instrument after a tempo track. Its keys follow the kit's key ranges (KitCommand).

#include "tools/kestrune-host/SmfWriter.h"

namespace khost
{

class DemoSong
{
public:
  static SmfWriter Build();
};
} // namespace khost
