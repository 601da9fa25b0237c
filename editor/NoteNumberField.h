#pragma once
// The hidden text field of a keyboard range view. It is never drawn: it carries the position, style and
// text of the platform's text entry, and the view slides it over the third of the strip being edited.

#include "framework/IEditableTextControl.h"

class NoteNumberField : public IEditableTextControl
{
public:
  NoteNumberField(IEffectBase* plug, const IRECT& rect, const IText* text);

  // Moves the field sideways to span left..right; its top and bottom stay.
  void MoveTo(int left, int right);
};
