#pragma once
// Copies areas of the back buffer (DRAW_SysBitmap: 32-bit words, alpha in bits 24-31, red 16-23,
// green 8-15, blue 0-7) to a window. Our windows use a 24- or 32-bit TrueColor visual whose pixel
// layout is exactly that, so rows are copied as they are: with MIT-SHM through a shared segment of the
// editor's size when the server offers it (and accepts our segment), else with XPutImage over the back
// buffer's own memory.
//
// Threads: the editor's mutex is held for every call.

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

class DRAW_SysBitmap;
struct IRECT;

class X11ScreenImage
{
public:
  // Whether new screen images may use shared memory (tests switch it off to cover the plain path).
  static void AllowSharedMemory(bool allow);

  X11ScreenImage(Display* display, Window window, int width, int height);
  ~X11ScreenImage();
  X11ScreenImage(const X11ScreenImage&) = delete;
  X11ScreenImage& operator=(const X11ScreenImage&) = delete;

  // Copies area (clipped to the bitmap and our size) of bitmap to the window and waits until the
  // server has read a shared segment. Answers false when nothing was copied.
  bool Put(DRAW_SysBitmap& bitmap, const IRECT& area);
  bool UsesSharedMemory() const { return mShmImage != nullptr; }

private:
  void ReleaseShm();

  Display* mDisplay;
  Window mWindow;
  GC mGC = nullptr;
  int mWidth, mHeight;
  int mDepth;
  Visual* mVisual;
  XImage* mShmImage = nullptr;
  XShmSegmentInfo mShmInfo{};
};
