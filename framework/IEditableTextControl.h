#pragma once
// A text field the user can type into: a click opens the graphics context's text entry over it, and
// the typed text comes back through IGraphics::ApplyPromptText. It can fill its rectangle with a
// background colour and show asterisks instead of the characters.

#include "framework/ITextControl.h"

class IEditableTextControl : public ITextControl
{
public:
  // Longest run of asterisks a hidden text shows (one per character).
  static constexpr std::size_t kMaxHiddenChars = 254;

  IEditableTextControl(IEffectBase* plug, const IRECT& rect, const IText* text, const char* str = "",
                       bool editable = true, bool hideText = false);

  bool Draw(IGraphics* graphics) override;
  void OnMouseDown(int x, int y, IMouseMod* mod) override;

  // Background colour; null or alpha 0: no background.
  void SetBGColor(const IColor* color);
  const IColor& GetBGColor() const { return mBGColor; }

  bool IsEditable() const { return mEditable; }
  void SetEditable(bool editable) { mEditable = editable; }
  bool IsSecret() const { return mHideText; }
  void SetSecret(bool hide) { mHideText = hide; }
  // The text the user typed (from the graphics context's text entry).
  void SetText(const char* str) { mStr = str ? str : ""; }
  // What Draw shows: the text, or asterisks for a hidden one.
  std::string ShownText() const;

protected:
  IColor mBGColor{0, 0, 0, 0};
  bool mEditable;
  bool mHideText;
};
