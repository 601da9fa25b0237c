// The Windows test program builds the sampler's editor window-less, as the Linux suite does, so that
// the editor suites read its back buffer and script its prompts; the Win32 window has its own suite
// (IGraphicsWinTest). This definition takes the place of the module's factory (platform/graphics) in
// the test program only.
#ifdef _WIN32

#include "editor/MakeGraphics.h"
#include "platform/headless/IGraphicsHeadless.h"

IGraphics* MakeGraphics(IEffectBase* plug, int w, int h, int fps)
{
  return new IGraphicsHeadless(plug, w, h, fps);
}

#endif
