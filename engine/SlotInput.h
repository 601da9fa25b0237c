#pragma once
// The sample views' input, handed to the loading flow: a click on the close, previous or next button or
// on the panel (which asks for a file), a right click (the path to the clipboard and the message bar),
// and a dropped file. UI thread; the loading it starts decodes outside the instance mutex.

#include "editor/SampleViewListener.h"

class CLS_KESTRUNE;

class SlotInput : public SampleViewListener
{
public:
  explicit SlotInput(CLS_KESTRUNE* plug) : mPlug(plug) {}

  // Right button: the view's path goes to the clipboard and to the message bar; nothing is loaded.
  // Otherwise the first that applies (rectangles include their edges): a path and the close button:
  // the slot is emptied and shows "..."; a previous path and its button: that file is loaded; a next
  // path and its button: that file; anywhere on the panel: the user is asked for a file.
  void OnSampleViewMouseDown(MySample& view, int x, int y, const IMouseMod& mod) override;
  // The dropped file is loaded into the view's slot.
  void OnSampleViewDrop(MySample& view, const char* path) override;

private:
  CLS_KESTRUNE* mPlug;
};
