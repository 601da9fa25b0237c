#pragma once
// An invisible area that opens the maker's product page for this plug-in in the web browser.

#include "framework/IControl.h"

#include <string>

class IURLOpen : public IControl
{
public:
  IURLOpen(IEffectBase* plug, const IRECT& rect) : IControl(plug, rect) {}

  bool Draw(IGraphics*) override { return true; }
  void OnMouseDown(int x, int y, IMouseMod* mod) override;

  // The product page: the maker's address followed by the plug-in's effect name.
  std::string Address() const;
};
