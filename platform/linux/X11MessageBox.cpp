#include "platform/linux/X11MessageBox.h"

#include "platform/linux/X11Tunables.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace
{
constexpr const char* kOkLabel = "OK";

// Splits text into lines no wider than width pixels, at spaces where it can.
std::vector<std::string> WrapText(XFontStruct* font, const std::string& text, int width)
{
  auto widthOf = [&](const std::string& s)
  { return font ? XTextWidth(font, s.c_str(), static_cast<int>(s.size())) : static_cast<int>(s.size()) * 6; };
  std::vector<std::string> lines;
  std::string line;
  size_t i = 0;
  while (i <= text.size())
  {
    size_t end = text.find_first_of(" \n", i);
    if (end == std::string::npos) end = text.size();
    std::string word = text.substr(i, end - i);
    std::string candidate = line.empty() ? word : line + " " + word;
    if (!line.empty() && widthOf(candidate) > width)
    {
      lines.push_back(line);
      line = word;
    }
    else
      line = candidate;
    if (end < text.size() && text[end] == '\n')
    {
      lines.push_back(line);
      line.clear();
    }
    i = end + 1;
  }
  if (!line.empty() || lines.empty()) lines.push_back(line);
  return lines;
}
} // namespace

X11MessageBox::X11MessageBox(X11Connection& connection, const std::string& text, const std::string& caption,
                             Window transientFor)
    : mConnection(connection), mText(text)
{
  Display* display = connection.GetDisplay();
  int screen = DefaultScreen(display);
  mFont = XLoadQueryFont(display, "fixed");
  int lineHeight = mFont ? mFont->ascent + mFont->descent + 2 : 15;
  mWidth = kMessageBoxWidthPx;
  mLines = WrapText(mFont, text, mWidth - 2 * kMessageBoxMarginPx);
  mHeight =
      3 * kMessageBoxMarginPx + static_cast<int>(mLines.size()) * lineHeight + kMessageBoxButtonHeightPx;
  mButtonX = (mWidth - kMessageBoxButtonWidthPx) / 2;
  mButtonY = mHeight - kMessageBoxMarginPx - kMessageBoxButtonHeightPx;

  XSetWindowAttributes attributes{};
  attributes.background_pixel = WhitePixel(display, screen);
  attributes.border_pixel = BlackPixel(display, screen);
  attributes.event_mask = ExposureMask | KeyPressMask | ButtonPressMask | StructureNotifyMask;
  int x = (DisplayWidth(display, screen) - mWidth) / 2;
  int y = (DisplayHeight(display, screen) - mHeight) / 2;
  mWindow = XCreateWindow(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(mWidth),
                          static_cast<unsigned>(mHeight), 1, CopyFromParent, InputOutput, CopyFromParent,
                          CWBackPixel | CWBorderPixel | CWEventMask, &attributes);
  XStoreName(display, mWindow, caption.c_str());
  XChangeProperty(display, mWindow, connection.GetAtoms().mNetWmName, connection.GetAtoms().mUtf8String, 8,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(caption.data()),
                  static_cast<int>(caption.size()));
  Atom deleteWindow = connection.GetAtoms().mWmDeleteWindow;
  XSetWMProtocols(display, mWindow, &deleteWindow, 1);
  if (transientFor) XSetTransientForHint(display, mWindow, transientFor);
  // A fixed size: the window manager should not offer to resize it.
  XSizeHints hints{};
  hints.flags = PMinSize | PMaxSize;
  hints.min_width = hints.max_width = mWidth;
  hints.min_height = hints.max_height = mHeight;
  XSetWMNormalHints(display, mWindow, &hints);
  mGC = XCreateGC(display, mWindow, 0, nullptr);
  if (mFont) XSetFont(display, mGC, mFont->fid);
  XMapRaised(display, mWindow);
  XFlush(display);
}

X11MessageBox::~X11MessageBox()
{
  Display* display = mConnection.GetDisplay();
  if (mFont) XFreeFont(display, mFont);
  if (mGC) XFreeGC(display, mGC);
  if (mWindow) XDestroyWindow(display, mWindow);
  XFlush(display);
}

bool X11MessageBox::InButton(int x, int y) const
{
  return x >= mButtonX && x < mButtonX + kMessageBoxButtonWidthPx && y >= mButtonY &&
         y < mButtonY + kMessageBoxButtonHeightPx;
}

void X11MessageBox::OkButtonCentre(int* x, int* y) const
{
  *x = mButtonX + kMessageBoxButtonWidthPx / 2;
  *y = mButtonY + kMessageBoxButtonHeightPx / 2;
}

void X11MessageBox::Redraw()
{
  Display* display = mConnection.GetDisplay();
  int screen = DefaultScreen(display);
  XClearWindow(display, mWindow);
  XSetForeground(display, mGC, BlackPixel(display, screen));
  int lineHeight = mFont ? mFont->ascent + mFont->descent + 2 : 15;
  int y = kMessageBoxMarginPx + (mFont ? mFont->ascent : 11);
  for (const std::string& line : mLines)
  {
    XDrawString(display, mWindow, mGC, kMessageBoxMarginPx, y, line.c_str(), static_cast<int>(line.size()));
    y += lineHeight;
  }
  XDrawRectangle(display, mWindow, mGC, mButtonX, mButtonY, kMessageBoxButtonWidthPx - 1,
                 kMessageBoxButtonHeightPx - 1);
  int labelWidth = mFont ? XTextWidth(mFont, kOkLabel, 2) : 12;
  int ascent = mFont ? mFont->ascent : 11;
  int descent = mFont ? mFont->descent : 2;
  XDrawString(display, mWindow, mGC, mButtonX + (kMessageBoxButtonWidthPx - labelWidth) / 2,
              mButtonY + (kMessageBoxButtonHeightPx + ascent - descent) / 2, kOkLabel, 2);
}

bool X11MessageBox::HandleEvent(const XEvent& event, bool* done)
{
  if (event.xany.window != mWindow) return false;
  *done = false;
  switch (event.type)
  {
  case Expose:
    if (event.xexpose.count == 0) Redraw();
    break;
  case ButtonPress:
    *done = event.xbutton.button == Button1 && InButton(event.xbutton.x, event.xbutton.y);
    break;
  case KeyPress:
  {
    KeySym sym = XLookupKeysym(const_cast<XKeyEvent*>(&event.xkey), 0);
    *done = sym == XK_Return || sym == XK_KP_Enter || sym == XK_Escape || sym == XK_space;
    break;
  }
  case ClientMessage:
    *done = static_cast<Atom>(event.xclient.data.l[0]) == mConnection.GetAtoms().mWmDeleteWindow;
    break;
  case DestroyNotify:
    mWindow = 0;
    *done = true;
    break;
  default:
    break;
  }
  return true;
}
