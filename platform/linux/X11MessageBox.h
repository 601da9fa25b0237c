#pragma once
// The message box of the Linux editor: a small top-level window of ours with the caption as its title,
// the text wrapped over a few lines and an OK button. It does not hold the editor up: it stays until the
// user presses OK (or Enter, Escape, or closes it) while the editor goes on.
//
// Threads: created, used and destroyed under the editor's mutex.

#include "platform/linux/X11Connection.h"

#include <string>
#include <vector>

class X11MessageBox
{
public:
  // transientFor: the window the box belongs to (0 for none).
  X11MessageBox(X11Connection& connection, const std::string& text, const std::string& caption,
                Window transientFor);
  ~X11MessageBox();
  X11MessageBox(const X11MessageBox&) = delete;
  X11MessageBox& operator=(const X11MessageBox&) = delete;

  Window GetWindow() const { return mWindow; }
  // An event of our window: handled, true. *done is set when the user dismissed the box.
  bool HandleEvent(const XEvent& event, bool* done);
  const std::string& Text() const { return mText; }
  void OkButtonCentre(int* x, int* y) const;

private:
  void Redraw();
  bool InButton(int x, int y) const;

  X11Connection& mConnection;
  std::string mText;
  std::vector<std::string> mLines;
  Window mWindow = 0;
  GC mGC = nullptr;
  XFontStruct* mFont = nullptr;
  int mWidth = 0, mHeight = 0;
  int mButtonX = 0, mButtonY = 0;
};
