#pragma once
// The base of every editor control. A control has a drawing rectangle, a mouse hit rectangle, a
// normalised value 0..1 and optionally the index of the plug-in parameter it shows and edits.
//
// Lifecycle: the plug-in creates its controls in its constructor and hands them to the graphics
// context (IGraphics::AddControl), which owns them until the instance is destroyed. Every operation
// below runs on the host's UI thread: events and redraws come from the graphics context, value changes
// from the plug-in base (host automation, restored state) and from the graphics context's text entry.

#include "framework/IStructs.h"

#include <string>

class IEffectBase;
class IGraphics;

class IControl
{
public:
  // plug: the owning plug-in; rect: drawing rectangle (also the hit rectangle until changed);
  // paramIdx: bound parameter or -1; blend: what the control draws with.
  IControl(IEffectBase* plug, const IRECT& rect, int paramIdx = -1,
           const IChannelBlend& blend = IChannelBlend());
  virtual ~IControl();

  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  // Mouse and keyboard events, routed by the graphics context to the control under the pointer (or
  // holding the mouse). The base opens value entry on a right click, resets to the default on a
  // double click and steps the value on the wheel; the rest do nothing.
  virtual void OnMouseDown(int x, int y, IMouseMod* mod);
  virtual void OnMouseUp(int x, int y, IMouseMod* mod);
  virtual void OnDrop(int x, int y, const char* path);
  virtual void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod);
  virtual void OnMouseDblClick(int x, int y, IMouseMod* mod);
  virtual void OnMouseWheel(int x, int y, IMouseMod* mod, int d);
  virtual void OnKeyPress(int x, int y, int key);
  virtual void OnMouseOver(int x, int y, IMouseMod* mod);
  virtual void OnMouseOut();

  // Draws into the graphics context's back buffer, within the context's current draw rectangle.
  virtual bool Draw(IGraphics* graphics) = 0;

  // A value from the plug-in (host automation, state, the engine). The first one also becomes the
  // double-click default. Redraws without pushing the value back.
  virtual void SetValueFromPlug(double value);
  // A value typed by the user (the text entry closed): stored, redrawn and pushed to the plug-in.
  virtual void SetValueFromUserInput(double value);

  virtual void Hide(bool hide);
  virtual void GrayOut(bool gray);
  virtual bool HitTest(int x, int y);

  // Clamps the value, marks the control for redraw and, when push is set and the control is bound,
  // hands the value to the plug-in (IEffectBase::SetParameterFromGUI).
  virtual void SetDirty(bool pushParamToPlug = true);
  // After a draw pass: stays dirty once more when a redraw was requested meanwhile.
  virtual void SetClean();
  virtual bool IsDirty();

  // Asks the graphics context to open value entry for the bound parameter (right click).
  void PromptUserInput();
  // The text entry closed without a value.
  void CancelUserInput();

  IEffectBase* GetPlug() const { return mPlug; }
  IGraphics* GetGUI() const;
  int ParamIdx() const { return mParamIdx; }
  void SetParamIdx(int paramIdx) { mParamIdx = paramIdx; }
  const IRECT& GetRECT() const { return mRECT; }
  const IRECT& GetTargetRECT() const { return mTargetRECT; }
  void SetTargetArea(const IRECT& r) { mTargetRECT = r; }
  double GetValue() const { return mValue; }
  double GetDefaultValue() const { return mDefaultValue; }
  void SetClamp(double lo, double hi)
  {
    mClampLo = lo;
    mClampHi = hi;
  }
  bool IsHidden() const { return mHide; }
  bool IsGrayed() const { return mGrayed; }
  bool IsInputPending() const { return mInputPending; }
  bool DblAsSingleClick() const { return mDblAsSingleClick; }
  void SetDblAsSingleClick(bool on) { mDblAsSingleClick = on; }
  void DisablePrompt(bool disable) { mDisablePrompt = disable; }
  const IChannelBlend& GetBlend() const { return mBlend; }
  // Null when the control has no tooltip.
  const char* GetTooltip() const { return mTooltip.empty() ? nullptr : mTooltip.c_str(); }
  void SetTooltip(const char* text) { mTooltip = text ? text : ""; }

protected:
  IEffectBase* mPlug;
  IRECT mRECT;
  IRECT mTargetRECT;
  IBitmap mBitmap;
  int mParamIdx;
  double mValue = 0.0;
  double mDefaultValue = -1.0; // not yet known
  double mClampLo = 0.0, mClampHi = 1.0;
  bool mDirty = true;
  bool mHide = false;
  bool mGrayed = false;
  bool mRedraw = false;
  bool mDisablePrompt = false;
  bool mInputPending = false; // value entry opened and not yet answered
  bool mDblAsSingleClick = false;
  IChannelBlend mBlend;
  std::string mTooltip;
};
