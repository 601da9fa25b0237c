#pragma once
// The text styles of the sampler's editor. Every style is a fresh copy: controls keep their own.

#include "editor/EditorConstants.h"
#include "framework/IStructs.h"

inline IText EditorTextStyle(int sizePx, const IColor& color, int align, const char* face = "Arial")
{
  return IText(sizePx, color, face, IText::kStyleNormal, align, 0, kTextQuality);
}

inline IText VersionTextStyle()
{
  return EditorTextStyle(kVersionTextPx, IColor(100, 0, 0, 0), IText::kAlignNear, "Verdana");
}
// Value text of the attack and release knobs (on a dark well) and of the volume knob (on ivory).
inline IText KnobLightTextStyle()
{
  return EditorTextStyle(kKnobTextPx, IColor(220, 255, 255, 255), IText::kAlignNear);
}
inline IText KnobDarkTextStyle()
{
  return EditorTextStyle(kKnobTextPx, IColor(200, 0, 0, 0), IText::kAlignNear);
}
inline IText NumberTextStyle()
{
  return EditorTextStyle(kNumberTextPx, IColor(230, 0, 0, 0), IText::kAlignNear);
}
inline IText SliderTextStyle()
{
  return EditorTextStyle(kSliderTextPx, IColor(255, 255, 255, 255), IText::kAlignCenter);
}
inline IText MessageTextStyle()
{
  return EditorTextStyle(kMessageTextPx, IColor(180, 0, 0, 0), IText::kAlignNear);
}
