#pragma once
// A control that shows a line of text in its own style, from the top of its rectangle. Bound to no
// parameter.

#include "framework/IControl.h"

#include <string>

class ITextControl : public IControl
{
public:
  ITextControl(IEffectBase* plug, const IRECT& rect, const IText* text, const char* str = "");

  bool Draw(IGraphics* graphics) override;

  // New text from the plug-in: redrawn without pushing a value; the same text changes nothing. Null
  // gives the empty text.
  void SetTextFromPlug(const char* str);
  const std::string& GetText() const { return mStr; }
  IText* GetStyle() { return &mText; }

protected:
  IText mText;
  std::string mStr;
};
