#pragma once
// What a sample view hands on to the code that loads and removes samples: clicks on the panel and files
// dropped on it. The loading flow implements it; until one is set the view ignores both.

#include "framework/IStructs.h"

class MySample;

class SampleViewListener
{
public:
  virtual ~SampleViewListener() = default;
  // A mouse-down on the panel (UI thread). The close, previous and next rectangles of the view tell
  // which button, if any, was hit.
  virtual void OnSampleViewMouseDown(MySample& view, int x, int y, const IMouseMod& mod) = 0;
  // A file dropped inside the panel (UI thread).
  virtual void OnSampleViewDrop(MySample& view, const char* path) = 0;
};
