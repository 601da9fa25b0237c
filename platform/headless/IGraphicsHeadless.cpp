#include "platform/headless/IGraphicsHeadless.h"

#include "drawing/DRAW_PNG.h"
#include "drawing/DRAW_SysBitmap.h"
#include "framework/IEditableTextControl.h"
#include "framework/IEffectBase.h"
#include "framework/IParam.h"
#include "platform/headless/EmbeddedImages.h"

#include <cstring>

IGraphicsHeadless::IGraphicsHeadless(IEffectBase* plug, int width, int height, int fps)
    : IGraphics(plug, width, height, fps)
{
}

IGraphicsHeadless::~IGraphicsHeadless() = default;

bool IGraphicsHeadless::PaintScreen(IRECT* area)
{
  ++mPaints;
  if (area) mLastPaintedArea = *area;
  return true;
}

void IGraphicsHeadless::Resize(int w, int h)
{
  IGraphics::Resize(w, h);
  if (mDrawBitmap) mDrawBitmap->resize(w, h);
}

void IGraphicsHeadless::PromptUserInput(IControl* control, IParam* param, bool centre)
{
  if (!control || !param) return;
  PromptRequest request;
  request.mControl = control;
  request.mParam = param;
  request.mCentre = centre;
  char display[MAX_PARAM_NAME_LEN] = {};
  param->GetDisplayForHost(display, sizeof(display));
  request.mInitialText = display;
  request.mAnswered = !mPromptAnswers.empty();
  mPrompts.push_back(request);
  if (!request.mAnswered) return; // the user dismissed the entry: nothing is applied
  std::string answer = mPromptAnswers.front();
  mPromptAnswers.pop_front();
  ApplyPromptText(control, param, answer.c_str());
}

void IGraphicsHeadless::PromptUserInput(IEditableTextControl* control)
{
  if (!control) return;
  PromptRequest request;
  request.mControl = control;
  request.mInitialText = control->GetText();
  request.mAnswered = !mPromptAnswers.empty();
  mPrompts.push_back(request);
  if (!request.mAnswered) return;
  std::string answer = mPromptAnswers.front();
  mPromptAnswers.pop_front();
  ApplyPromptText(control, nullptr, answer.c_str());
}

void IGraphicsHeadless::GetHostPath(std::string* path)
{
  if (path) *path = mHostPath;
}

void IGraphicsHeadless::GetPluginPath(std::string* path)
{
  if (path) *path = mPluginPath;
}

void IGraphicsHeadless::ChooseFile(std::string* result, int action, std::string* dir, const char* extensions)
{
  FileRequest request;
  request.mAction = action;
  request.mDir = dir ? *dir : "";
  request.mExtensions = extensions ? extensions : "";
  mFileRequests.push_back(request);
  if (!result) return;
  result->clear();
  // Like the window layers, a dialog needs an open editor.
  if (!IsOpen() || mFileAnswers.empty()) return;
  *result = mFileAnswers.front();
  mFileAnswers.pop_front();
}

bool IGraphicsHeadless::OpenWebPage(const char* url, const char* title, const char* confirm,
                                    const char* errorText)
{
  mWebPages.push_back(
      {url ? url : "", title ? title : "", confirm ? confirm : "", errorText ? errorText : ""});
  if (confirm && *confirm && ShowMessageBox(confirm, title, kMessageBoxTypeYesNo) != kMessageBoxYes)
    return false;
  bool opened = false;
  if (!mWebPageAnswers.empty())
  {
    opened = mWebPageAnswers.front();
    mWebPageAnswers.pop_front();
  }
  if (!opened && errorText && *errorText) ShowMessageBox(errorText, title, kMessageBoxTypeOK);
  return opened;
}

int IGraphicsHeadless::ShowMessageBox(const char* text, const char* caption, int type)
{
  mMessageBoxes.push_back({text ? text : "", caption ? caption : "", type, std::this_thread::get_id()});
  if (mMessageBoxWait)
  {
    const MessageBoxRequest shown = mMessageBoxes.back(); // the wait may add boxes of its own
    mMessageBoxWait(shown);
  }
  if (!mMessageBoxAnswers.empty())
  {
    int answer = mMessageBoxAnswers.front();
    mMessageBoxAnswers.pop_front();
    return answer;
  }
  // A box with only OK can only be acknowledged; otherwise the user declines.
  if (type == kMessageBoxTypeOK) return kMessageBoxOK;
  return type == kMessageBoxTypeYesNo ? kMessageBoxNo : kMessageBoxCancel;
}

bool IGraphicsHeadless::SetClipboardText(const char* text)
{
  mClipboard = text ? text : "";
  return true;
}

void IGraphicsHeadless::SetCursor(int cursorId)
{
  switch (cursorId)
  {
  case kCursorArrow:
  case kCursorIBeam:
  case kCursorUpArrow:
  case kCursorSizeWE:
  case kCursorSizeNS:
  case kCursorHand:
    break;
  default:
    return; // unknown ids set nothing
  }
  if (cursorId == mCursor) return;
  mCursor = cursorId;
  ++mCursorChanges;
}

void* IGraphicsHeadless::Open(void*)
{
  if (IsOpen()) Close();
  PrepDraw();
  mPlatformView = this;
  RefreshTooltips();
  return mPlatformView;
}

void IGraphicsHeadless::Close()
{
  if (!IsOpen()) return;
  if (mPlug) mPlug->EndDelayedInformHostOfParamChange();
  CancelParamChangeTimer();
  mPlatformView = nullptr;
  DropPostedMessages();
}

void IGraphicsHeadless::AddImage(int id, const char* name, const unsigned char* png, size_t size)
{
  mImages.push_back({id, name ? name : "", std::vector<unsigned char>(png, png + size)});
}

DRAW_IBitmap* IGraphicsHeadless::LoadPlatformBitmap(int id, const char* name, int scale)
{
  ++mBitmapLoads;
  // An added image has its 100 % rendering only; the graphics context enlarges it for the other sizes.
  for (const Image& image : mImages)
    if (image.mId == id || (name && image.mName == name))
      return scale == kScale100 ? DRAW_LoadPNGFromMemory(image.mPNG.data(), image.mPNG.size(), nullptr)
                                : nullptr;
  const EmbeddedImage* embedded = FindEmbeddedImage(id, name, scale);
  if (!embedded) return nullptr;
  return DRAW_LoadPNGFromMemory(embedded->mData, embedded->mSize, nullptr);
}

bool IGraphicsHeadless::TickAndPaint()
{
  OnTimerTick();
  ShowPostedMessages();
  IRECT area = TakeInvalidRect();
  if (area.Empty()) return false;
  Draw(&area);
  return true;
}

void IGraphicsHeadless::Ticks(int n)
{
  for (int i = 0; i < n; ++i)
    TickAndPaint();
}
