// The graphics context of this build's editor. Linux has no window layer yet: the editor runs in the
// window-less context, which draws into its back buffer and answers platform requests as a user who
// cancels would.

#include "editor/MakeGraphics.h"

#include "platform/headless/IGraphicsHeadless.h"

IGraphics* MakeGraphics(IEffectBase* plug, int w, int h, int fps)
{
  return new IGraphicsHeadless(plug, w, h, fps);
}
