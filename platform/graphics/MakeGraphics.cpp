// The graphics context of this build's editor. Windows: the Win32 child window of platform/windows.
// Linux has no window layer yet: the editor runs in the window-less context, which draws into its back
// buffer and answers platform requests as a user who cancels would.

#include "editor/MakeGraphics.h"

#ifdef _WIN32
#include "framework/EditorSettings.h"
#include "platform/windows/IGraphicsWin.h"

IGraphics* MakeGraphics(IEffectBase* plug, int w, int h, int fps)
{
  auto* graphics = new IGraphicsWin(plug, w, h, fps);
  // The user's choice of the editor's size, read now: the plug-in is being made, no lock is held.
  graphics->SetSettingsPath(DefaultEditorSettingsPath());
  return graphics;
}
#else
#include "platform/headless/IGraphicsHeadless.h"

IGraphics* MakeGraphics(IEffectBase* plug, int w, int h, int fps)
{
  return new IGraphicsHeadless(plug, w, h, fps);
}
#endif
