#include "platform/linux/X11ScreenImage.h"

#include "drawing/DRAW_SysBitmap.h"
#include "framework/IStructs.h"
#include "platform/linux/X11ErrorTrap.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <sys/ipc.h>
#include <sys/shm.h>

namespace
{
std::atomic<bool> gAllowShm{true};
} // namespace

void X11ScreenImage::AllowSharedMemory(bool allow)
{
  gAllowShm.store(allow);
}

X11ScreenImage::X11ScreenImage(Display* display, Window window, int width, int height)
    : mDisplay(display), mWindow(window), mWidth(width), mHeight(height)
{
  int screen = DefaultScreen(display);
  mDepth = DefaultDepth(display, screen);
  mVisual = DefaultVisual(display, screen);
  mGC = XCreateGC(display, window, 0, nullptr);
  if (!gAllowShm.load() || width <= 0 || height <= 0 || !XShmQueryExtension(display)) return;

  mShmImage = XShmCreateImage(display, mVisual, static_cast<unsigned>(mDepth), ZPixmap, nullptr, &mShmInfo,
                              static_cast<unsigned>(width), static_cast<unsigned>(height));
  if (!mShmImage) return;
  mShmInfo.shmid =
      shmget(IPC_PRIVATE, static_cast<size_t>(mShmImage->bytes_per_line) * height, IPC_CREAT | 0600);
  if (mShmInfo.shmid < 0)
  {
    ReleaseShm();
    return;
  }
  mShmInfo.shmaddr = mShmImage->data = static_cast<char*>(shmat(mShmInfo.shmid, nullptr, 0));
  if (mShmInfo.shmaddr == reinterpret_cast<char*>(-1))
  {
    mShmInfo.shmaddr = mShmImage->data = nullptr;
    ReleaseShm();
    return;
  }
  mShmInfo.readOnly = False;
  X11ErrorTrap::TakeErrorCount(display);
  Status attached = XShmAttach(display, &mShmInfo);
  XSync(display, False);
  // A server on another machine cannot reach our memory and refuses the segment.
  bool refused = !attached || X11ErrorTrap::TakeErrorCount(display) > 0;
  // Marked for removal now: it goes away with the last detach, even if we are killed.
  shmctl(mShmInfo.shmid, IPC_RMID, nullptr);
  if (refused)
  {
    ReleaseShm();
    return;
  }
}

X11ScreenImage::~X11ScreenImage()
{
  ReleaseShm();
  if (mGC) XFreeGC(mDisplay, mGC);
}

void X11ScreenImage::ReleaseShm()
{
  if (!mShmImage) return;
  if (mShmInfo.shmaddr)
  {
    XShmDetach(mDisplay, &mShmInfo);
    XSync(mDisplay, False);
    shmdt(mShmInfo.shmaddr);
    if (mShmInfo.shmid >= 0) shmctl(mShmInfo.shmid, IPC_RMID, nullptr);
  }
  mShmImage->data = nullptr;
  XDestroyImage(mShmImage);
  mShmImage = nullptr;
  mShmInfo = XShmSegmentInfo{};
}

bool X11ScreenImage::Put(DRAW_SysBitmap& bitmap, const IRECT& area)
{
  int right = std::min({area.R, bitmap.getWidth(), mWidth});
  int bottom = std::min({area.B, bitmap.getHeight(), mHeight});
  int left = std::max(area.L, 0);
  int top = std::max(area.T, 0);
  if (right <= left || bottom <= top || !bitmap.getBits()) return false;
  const int w = right - left;
  const int h = bottom - top;
  const int span = bitmap.getRowSpan();

  if (mShmImage)
  {
    for (int y = top; y < bottom; ++y)
      std::memcpy(mShmImage->data + static_cast<size_t>(y) * mShmImage->bytes_per_line + left * 4,
                  bitmap.getBits() + static_cast<size_t>(y) * span + left, static_cast<size_t>(w) * 4);
    XShmPutImage(mDisplay, mWindow, mGC, mShmImage, left, top, left, top, static_cast<unsigned>(w),
                 static_cast<unsigned>(h), False);
    // The segment is ours again only when the server has read it.
    XSync(mDisplay, False);
    return true;
  }

  // An image over the back buffer's own memory; XPutImage copies it into the request.
  XImage* image = XCreateImage(
      mDisplay, mVisual, static_cast<unsigned>(mDepth), ZPixmap, 0, reinterpret_cast<char*>(bitmap.getBits()),
      static_cast<unsigned>(bitmap.getWidth()), static_cast<unsigned>(bitmap.getHeight()), 32, span * 4);
  if (!image) return false;
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  image->byte_order = LSBFirst; // our words, in this machine's order; Xlib converts for the server
#else
  image->byte_order = MSBFirst;
#endif
  XPutImage(mDisplay, mWindow, mGC, image, left, top, left, top, static_cast<unsigned>(w),
            static_cast<unsigned>(h));
  image->data = nullptr; // not ours to free
  XDestroyImage(image);
  XFlush(mDisplay);
  return true;
}
