// The snapshot draws the editor window-less on every platform. The Windows build's engine would make
// the Win32 window (platform/graphics), which this program cannot open without a parent; this
// definition takes the place of that factory here.
#ifdef _WIN32

#include "editor/MakeGraphics.h"
#include "platform/headless/IGraphicsHeadless.h"

IGraphics* MakeGraphics(IEffectBase* plug, int w, int h, int fps)
{
  return new IGraphicsHeadless(plug, w, h, fps);
}

#endif
