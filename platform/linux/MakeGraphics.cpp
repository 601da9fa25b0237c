// The graphics context of the Linux module's editor: the X11 one. Until the host opens the editor it
// draws like the window-less context; effEditOpen gives it its window. (The tests and tools link the
// window-less factory of platform/graphics instead: this object file, linked into the module itself,
// defines the factory first, so the library's is never pulled in.)

#include "editor/MakeGraphics.h"
#include "editor/BarLabel.h"
#include "framework/EditorSettings.h"
#include "platform/linux/IGraphicsLinux.h"

IGraphics* MakeGraphics(IEffectBase* plug, int w, int h, int fps)
{
  auto* graphics = new IGraphicsLinux(plug, w, h, fps);
  // The user's choice of the editor's size, read now: the plug-in is being made, no lock is held.
  graphics->SetSettingsPath(DefaultEditorSettingsPath());
  // Hints for the user (no file dialog installed) go to the editor's message bar.
  graphics->SetHintSink(
      [graphics](const char* text)
      {
        for (int i = 0; i < graphics->NControls(); ++i)
          if (auto* bar = dynamic_cast<BarLabel*>(graphics->GetControl(i))) return bar->SetMessage(text);
        return false;
      });
  return graphics;
}
