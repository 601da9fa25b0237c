// The editor's size: choosing it, switching the drawing to it and asking the host for the window.

#include "drawing/DRAW_MemBitmap.h"
#include "drawing/DRAW_SysBitmap.h"
#include "framework/EditorSettings.h"
#include "framework/IControl.h"
#include "framework/IEffectBase.h"
#include "framework/IGraphics.h"

#include <cstdlib>

IRECT IGraphics::ToPixels(const IRECT& r) const
{
  if (r.Empty()) return r;
  return IRECT(ToPixels(r.L), ToPixels(r.T), ToPixels(r.R), ToPixels(r.B));
}

void IGraphics::SetSettingsPath(const std::string& path)
{
  WaitForSettingsWrite();
  mSettingsPath = path;
  mPreferredScale = ReadScaleSetting(path);
}

void IGraphics::WaitForSettingsWrite()
{
  if (mSettingsWriter.joinable()) mSettingsWriter.join();
}

int IGraphics::StartScale()
{
  if (int fromEnvironment = ParseEditorScale(std::getenv("KESTRUNE_SCALE"))) return fromEnvironment;
  if (IsEditorScale(mPreferredScale)) return mPreferredScale;
  const int display = DisplayScale();
  return IsEditorScale(display) ? display : kScale100;
}

void IGraphics::SetDrawScale(int percent)
{
  if (!IsEditorScale(percent) || percent == mScale) return;
  mScale = percent;
  mScaledBitmaps.clear();
  mTurnedImages.clear();
  if (mDrawBitmap) mDrawBitmap->resize(PixelWidth(), PixelHeight());
  SetAllControlsDirty();
}

void IGraphics::UseScale(int percent)
{
  if (!IsEditorScale(percent) || percent == mScale || (percent != kScale100 && !WindowScales())) return;
  SetDrawScale(percent);
  if (mPlug) mPlug->ResizeGraphics(PixelWidth(), PixelHeight());
  OnScaleChanged();
}

bool IGraphics::RequestScale(int percent)
{
  if (!IsEditorScale(percent)) return false;
  if (percent != mPreferredScale && !mSettingsPath.empty())
  {
    // Written by a thread of its own: a file is not written while the instance mutex is held.
    WaitForSettingsWrite();
    mSettingsWriter = std::thread([path = mSettingsPath, percent] { WriteScaleSetting(path, percent); });
  }
  mPreferredScale = percent;
  if (percent == mScale) return true;
  if (percent != kScale100 && !WindowScales()) return false;
  if (IsOpen() && !(mPlug && mPlug->SizeHostWindow(ToWindowSize(ToPixelsAt(mWidth, percent)),
                                                   ToWindowSize(ToPixelsAt(mHeight, percent)))))
    return false;
  UseScale(percent);
  return true;
}

bool IGraphics::OpenWindow(void* parentWindow)
{
  if (!mScaleChosen) UseScale(StartScale());
  mScaleChosen = true;
  return Open(parentWindow) != nullptr;
}

void IGraphics::CloseWindow()
{
  Close();
  mScaleChosen = false;
}

void IGraphics::EditorRectQueried()
{
  if (IsOpen() || mScaleChosen) return;
  UseScale(StartScale());
  mScaleChosen = true;
}
