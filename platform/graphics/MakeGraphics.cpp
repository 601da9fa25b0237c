// The graphics context of this build's editor. Windows: the Win32 child window of platform/windows.
// macOS: the Cocoa view of platform/mac, with the bundle identifier its images are found by (the value
// of the bundle's Info.plist, given by the build). Linux has no window layer here: the editor runs in
// the window-less context, which draws into its back buffer and answers platform requests as a user
// who cancels would (the Linux module links its X11 factory instead).

#include "editor/MakeGraphics.h"

#if defined(_WIN32)
#include "framework/EditorSettings.h"
#include "platform/windows/IGraphicsWin.h"

IGraphics* MakeGraphics(IEffectBase* plug, int w, int h, int fps)
{
  auto* graphics = new IGraphicsWin(plug, w, h, fps);
  // The user's choice of the editor's size, read now: the plug-in is being made, no lock is held.
  graphics->SetSettingsPath(DefaultEditorSettingsPath());
  return graphics;
}
#elif defined(KESTRUNE_MAC)
#include "framework/EditorSettings.h"
#include "platform/mac/IGraphicsMac.h"

#ifndef KESTRUNE_BUNDLE_ID
#error "KESTRUNE_BUNDLE_ID: the build gives the bundle identifier of Info.plist"
#endif

IGraphics* MakeGraphics(IEffectBase* plug, int w, int h, int fps)
{
  auto* graphics = new IGraphicsMac(plug, w, h, fps);
  graphics->SetBundleID(KESTRUNE_BUNDLE_ID);
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
