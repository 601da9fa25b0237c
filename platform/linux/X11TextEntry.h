#pragma once
// The inline text entry field of the Linux editor: a small child window of ours over the control,
// drawn with the server's "fixed" font, that shows the text of a TextEntryModel with its caret (or the
// whole text highlighted while it is selected). The editor routes key presses to it while it is open
// and acts on its model's state on the next timer tick (commit or cancel).
//
// Threads: created, used and destroyed under the editor's mutex.

#include "framework/IStructs.h"
#include "platform/linux/TextEntryModel.h"

#include <X11/Xlib.h>

class X11TextEntry
{
public:
  enum EAlign
  {
    kAlignLeft = 0,
    kAlignCentre = 1,
    kAlignRight = 2
  };

  // r in window pixels; scale: the editor's size in percent, which picks the font.
  X11TextEntry(Display* display, Window parent, const IRECT& r, EAlign align, bool secret, int scale = 100);
  ~X11TextEntry();
  X11TextEntry(const X11TextEntry&) = delete;
  X11TextEntry& operator=(const X11TextEntry&) = delete;

  Window GetWindow() const { return mWindow; }
  TextEntryModel& Model() { return mModel; }
  // A key pressed while the field is open: keysym and the character it types (0 for none).
  void HandleKey(KeySym sym, char c);
  void Redraw();
  // The host destroyed the windows under us: nothing is left to destroy.
  void ForgetWindow() { mWindow = 0; }

private:
  Display* mDisplay;
  Window mWindow = 0;
  GC mGC = nullptr;
  XFontStruct* mFont = nullptr;
  int mWidth, mHeight;
  EAlign mAlign;
  bool mSecret;
  TextEntryModel mModel;
};
