#include "platform/linux/X11TextEntry.h"

#include "platform/linux/X11Tunables.h"

#include <X11/keysym.h>

#include <algorithm>
#include <string>

X11TextEntry::X11TextEntry(Display* display, Window parent, const IRECT& r, EAlign align, bool secret,
                           int scale)
    : mDisplay(display), mWidth(std::max(r.W(), 8)), mHeight(std::max(r.H(), 8)), mAlign(align),
      mSecret(secret)
{
  int screen = DefaultScreen(display);
  XSetWindowAttributes attributes{};
  attributes.background_pixel = WhitePixel(display, screen);
  attributes.border_pixel = BlackPixel(display, screen);
  attributes.event_mask = ExposureMask | KeyPressMask | ButtonPressMask;
  mWindow = XCreateWindow(display, parent, r.L, r.T, static_cast<unsigned>(mWidth),
                          static_cast<unsigned>(mHeight), 1, CopyFromParent, InputOutput, CopyFromParent,
                          CWBackPixel | CWBorderPixel | CWEventMask, &attributes);
  mGC = XCreateGC(display, mWindow, 0, nullptr);
  // The server's fixed fonts grow with the editor (the larger ones come with most servers' fonts).
  if (scale >= 200) mFont = XLoadQueryFont(display, kEntryFontAt200);
  if (!mFont && scale >= 150) mFont = XLoadQueryFont(display, kEntryFontAt150);
  if (!mFont) mFont = XLoadQueryFont(display, "fixed");
  if (mFont) XSetFont(display, mGC, mFont->fid);
  XMapRaised(display, mWindow);
}

X11TextEntry::~X11TextEntry()
{
  if (mFont) XFreeFont(mDisplay, mFont);
  if (mGC) XFreeGC(mDisplay, mGC);
  if (mWindow) XDestroyWindow(mDisplay, mWindow);
}

void X11TextEntry::HandleKey(KeySym sym, char c)
{
  switch (sym)
  {
  case XK_Return:
  case XK_KP_Enter:
    mModel.Key(TextEntryModel::kKeyEnter);
    break;
  case XK_Escape:
    mModel.Key(TextEntryModel::kKeyEscape);
    break;
  case XK_BackSpace:
    mModel.Key(TextEntryModel::kKeyBackspace);
    break;
  case XK_Delete:
  case XK_KP_Delete:
    mModel.Key(TextEntryModel::kKeyDelete);
    break;
  case XK_Home:
  case XK_KP_Home:
    mModel.Key(TextEntryModel::kKeyHome);
    break;
  case XK_End:
  case XK_KP_End:
    mModel.Key(TextEntryModel::kKeyEnd);
    break;
  case XK_Left:
  case XK_KP_Left:
    mModel.Key(TextEntryModel::kKeyLeft);
    break;
  case XK_Right:
  case XK_KP_Right:
    mModel.Key(TextEntryModel::kKeyRight);
    break;
  case XK_Up:
  case XK_KP_Up:
    mModel.Key(TextEntryModel::kKeyUp);
    break;
  case XK_Down:
  case XK_KP_Down:
    mModel.Key(TextEntryModel::kKeyDown);
    break;
  default:
    if (c) mModel.Key(TextEntryModel::kKeyChar, c);
    break;
  }
  Redraw();
}

void X11TextEntry::Redraw()
{
  if (!mWindow) return;
  int screen = DefaultScreen(mDisplay);
  unsigned long black = BlackPixel(mDisplay, screen);
  unsigned long white = WhitePixel(mDisplay, screen);
  XClearWindow(mDisplay, mWindow);
  std::string shown = mSecret ? std::string(mModel.Text().size(), '*') : mModel.Text();
  int ascent = mFont ? mFont->ascent : 10;
  int descent = mFont ? mFont->descent : 3;
  int length = static_cast<int>(shown.size());
  int textWidth = mFont ? XTextWidth(mFont, shown.c_str(), length) : length * 6;
  int x = kEntryPaddingPx;
  if (mAlign == kAlignCentre) x = (mWidth - textWidth) / 2;
  if (mAlign == kAlignRight) x = mWidth - kEntryPaddingPx - textWidth;
  // Long texts keep the caret in view: the text slides left.
  int caretAt = mFont ? XTextWidth(mFont, shown.c_str(), static_cast<int>(mModel.Caret())) : 0;
  if (x + caretAt > mWidth - kEntryPaddingPx) x = mWidth - kEntryPaddingPx - caretAt;
  int baseline = (mHeight + ascent - descent) / 2;
  if (mModel.AllSelected() && length > 0)
  {
    XSetForeground(mDisplay, mGC, black);
    XFillRectangle(mDisplay, mWindow, mGC, x, baseline - ascent, static_cast<unsigned>(textWidth),
                   static_cast<unsigned>(ascent + descent));
    XSetForeground(mDisplay, mGC, white);
    XDrawString(mDisplay, mWindow, mGC, x, baseline, shown.c_str(), length);
    return;
  }
  XSetForeground(mDisplay, mGC, black);
  XDrawString(mDisplay, mWindow, mGC, x, baseline, shown.c_str(), length);
  XDrawLine(mDisplay, mWindow, mGC, x + caretAt, baseline - ascent, x + caretAt, baseline + descent);
}
