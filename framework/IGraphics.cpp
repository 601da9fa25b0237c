// Construction, the control list, parameter binding, the timer tick and the platform defaults.

#include "framework/IGraphics.h"

#include "drawing/DRAW_MemBitmap.h"
#include "drawing/DRAW_SysBitmap.h"
#include "framework/IBitmapControl.h"
#include "framework/IControl.h"
#include "framework/IEditableTextControl.h"
#include "framework/IEffectBase.h"
#include "framework/IParam.h"
#include "framework/InstanceMutex.h"
#include "framework/TextUtil.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>

namespace
{
// The number at the start of text as atof reads it in the C locale; a typed "nan" names no value.
double ParseTypedNumber(const char* text)
{
  double v = ParseDouble(text);
  return std::isnan(v) ? 0.0 : v;
}

// The integer at the start of text, as "%d" scans it; 0 when there is none.
int ParseLeadingInt(const char* text)
{
  if (!text) return 0;
  while (*text && std::isspace(static_cast<unsigned char>(*text)))
    ++text;
  if (*text == '+') ++text;
  int v = 0;
  auto result = std::from_chars(text, text + std::strlen(text), v);
  return result.ec == std::errc() ? v : 0;
}
} // namespace

IGraphics::IGraphics(IEffectBase* plug, int width, int height, int fps)
    : mPlug(plug), mWidth(width), mHeight(height), mFPS(fps > 0 ? fps : kDefaultFPS)
{
}

IGraphics::~IGraphics()
{
  WaitForSettingsWrite();
  ClearControls();
}

void IGraphics::ClearControls()
{
  while (!mControls.empty())
    mControls.pop_back();
}

void IGraphics::ClearMouse()
{
  mCaptureIdx = -1;
  mOverIdx = -1;
  mMouseX = mMouseY = -1;
  mRightClick = false;
}

void IGraphics::Resize(int w, int h)
{
  mWidth = w;
  mHeight = h;
  ClearMouse();
  ClearControls();
  if (mPlug) mPlug->ResizeGraphics(w, h);
}

int IGraphics::AddControl(IControl* control)
{
  mControls.emplace_back(control);
  return NControls() - 1;
}

void IGraphics::SetBackground(int id, const char* name)
{
  IBitmap bitmap = LoadBitmap(id, name, 1);
  IRECT r(0, 0, bitmap.W, bitmap.H / bitmap.N);
  auto background = std::make_unique<IBitmapControl>(mPlug, r, -1, &bitmap,
                                                     IChannelBlend(IChannelBlend::kBlendClobber, 1.0f));
  mControls.insert(mControls.begin(), std::move(background));
  // Indexes held over the insertion now name the control one further on.
  if (mCaptureIdx >= 0) ++mCaptureIdx;
  if (mOverIdx >= 0) ++mOverIdx;
}

IControl* IGraphics::GetControl(int idx) const
{
  return idx >= 0 && idx < NControls() ? mControls[static_cast<size_t>(idx)].get() : nullptr;
}

int IGraphics::GetControlIdx(const IControl* control) const
{
  for (int i = 0; i < NControls(); ++i)
    if (mControls[static_cast<size_t>(i)].get() == control) return i;
  return -1;
}

void IGraphics::PrepDraw()
{
  if (!mDrawBitmap) mDrawBitmap = std::make_unique<DRAW_SysBitmap>(PixelWidth(), PixelHeight());
  if (!mScratchBitmap) mScratchBitmap = std::make_unique<DRAW_MemBitmap>(0, 0, 4);
}

// ---- Platform defaults: a platform without the service answers as a user who cancels ----

void IGraphics::GetHostPath(std::string* path)
{
  if (path) path->clear();
}

void IGraphics::GetPluginPath(std::string* path)
{
  if (path) path->clear();
}

void IGraphics::ChooseFile(std::string* result, int, std::string*, const char*)
{
  if (result) result->clear();
}

bool IGraphics::OpenWebPage(const char*, const char*, const char*, const char*)
{
  return false;
}

int IGraphics::ShowMessageBox(const char*, const char*, int)
{
  return kMessageBoxCancel;
}

// ---- Messages from other threads ----

void IGraphics::PostMessageBox(const char* text, const char* caption)
{
  mPostedMessages.Post(text, caption);
}

void IGraphics::ShowPostedMessages()
{
  // Closed, nothing is shown; a tick inside the box of the message being shown shows nothing either.
  if (mShowingPosted || !IsOpen()) return;
  mShowingPosted = true;
  PostedMessages::Message message;
  while (IsOpen() && mPostedMessages.TakeOldest(&message))
  {
    CheckNoInstanceLockHeld("showing a posted message box");
    ShowPostedMessage(message.mText, message.mCaption);
  }
  // The editor closed while a box was open: what is left goes with it.
  if (!IsOpen()) DropPostedMessages();
  mShowingPosted = false;
}

void IGraphics::ShowPostedMessage(const std::string& text, const std::string& caption)
{
  ShowMessageBox(text.c_str(), caption.c_str(), kMessageBoxTypeOK);
}

bool IGraphics::SetClipboardText(const char*)
{
  return false;
}

void IGraphics::SetCursor(int) {}

void IGraphics::SetParamChangeTimer(int ticks)
{
  mParamChangeTicks = ticks > 0 ? ticks : 1;
}

void IGraphics::CancelParamChangeTimer()
{
  mParamChangeTicks = 0;
}

void IGraphics::InvalidateRect(const IRECT& r)
{
  mInvalidRect = mInvalidRect.Union(r);
}

IRECT IGraphics::TakeInvalidRect()
{
  IRECT r = mInvalidRect;
  mInvalidRect = IRECT();
  return r;
}

// ---- Timer ----

void IGraphics::OnTimerTick()
{
  const IRECT area = AdvanceTimer();
  if (!area.Empty()) InvalidateRect(area);
  // A host that does not idle hears of the edits made on other threads (the loader's) from here.
  if (mPlug) mPlug->DeliverPendingHostCalls();
}

IRECT IGraphics::AdvanceTimer()
{
  ++mIdleTicks;
  IRECT area;
  if (!IsDirty(&area)) area = IRECT();
  if (mAlwaysRedrawRect.W() > 0) area = area.Union(mAlwaysRedrawRect);
  if (mParamChangeTicks > 0 && --mParamChangeTicks == 0 && mPlug) mPlug->EndDelayedInformHostOfParamChange();
  return area;
}

// ---- Parameter binding ----

void IGraphics::ShowParamValue(int paramIdx, double value, bool normalized)
{
  if (!normalized)
  {
    IParam* param = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!param) return;
    value = param->GetNormalized(value);
  }
  for (auto& control : mControls)
    if (control->ParamIdx() == paramIdx) control->SetValueFromPlug(value);
}

void IGraphics::SetControlFromPlug(int controlIdx, double normalizedValue)
{
  if (IControl* control = GetControl(controlIdx)) control->SetValueFromPlug(normalizedValue);
}

void IGraphics::ApplyInputToControls(int paramIdx, double normalized)
{
  for (auto& control : mControls)
    if (control->ParamIdx() == paramIdx) control->SetValueFromUserInput(normalized);
}

void IGraphics::ApplyPromptText(IControl* control, IParam* param, const char* text)
{
  if (!control) return;
  if (!text) text = "";
  if (!param)
  {
    // A free-text field: only editable text controls open such an entry.
    if (auto* field = dynamic_cast<IEditableTextControl*>(control); field && field->IsEditable())
      field->SetText(text);
    double v = ParseLeadingInt(text);
    for (auto& c : mControls)
      if (c->ParamIdx() < 0) c->SetValueFromUserInput(v);
    return;
  }
  double value = 0.0;
  int mapped = 0;
  if (param->GetNDisplayTexts() > 0 && param->MapDisplayText(text, &mapped))
    value = mapped;
  else
  {
    value = ParseTypedNumber(text);
    if (param->GetNegateDisplay()) value = -value;
  }
  double normalized = param->GetNormalized(value);
  int paramIdx = control->ParamIdx();
  if (paramIdx < 0 || !mPlug)
  {
    control->SetValueFromUserInput(normalized);
    return;
  }
  mPlug->BeginInformHostOfParamChange(paramIdx);
  control->SetValueFromUserInput(normalized);
  mPlug->EndInformHostOfParamChange(paramIdx);
}

void IGraphics::SetAllControlsDirty()
{
  for (auto& control : mControls)
    control->SetDirty(false);
}

IGraphics* IGraphics::Of(const IEffectBase* plug)
{
  return plug ? dynamic_cast<IGraphics*>(plug->GetGraphics()) : nullptr;
}
