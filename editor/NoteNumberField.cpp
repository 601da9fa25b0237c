#include "editor/NoteNumberField.h"

NoteNumberField::NoteNumberField(IEffectBase* plug, const IRECT& rect, const IText* text)
    : IEditableTextControl(plug, rect, text, "", true, false)
{
  SetDblAsSingleClick(true);
}

void NoteNumberField::MoveTo(int left, int right)
{
  mRECT.L = left;
  mRECT.R = right;
  mTargetRECT.L = left;
  mTargetRECT.R = right;
}
