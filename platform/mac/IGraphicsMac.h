#pragma once
// The graphics context of the macOS build. effEditOpen hands us the host's parent NSView; Open creates
// our view (CLS_Kestrune, KestruneView.h) inside it. The view turns AppKit events into the IGraphics
// calls below, runs the editor's timer (1 / fps seconds, in the run loop's common modes, so it ticks
// during live resizing, menu tracking and modal panels), draws the back buffer on drawRect: and opens
// text-entry fields over controls. Close() or the host removing the view ends it; the context and its
// controls stay, so the editor opens and closes any number of times.
//
// Images are PNG resources of the plug-in bundle, found by its bundle identifier (Info.plist's
// CFBundleIdentifier, set by the factory right after construction).
//
// Threads: AppKit runs everything here on the main thread (the host's UI thread), as it does for the
// host's dispatcher calls; file dialogs and alerts are modal there. Alerts that other threads post are
// shown by the view's timer.

#include "framework/IGraphics.h"

#include <string>

class IGraphicsMac : public IGraphics
{
public:
  IGraphicsMac(IEffectBase* plug, int width, int height, int fps = 0);
  ~IGraphicsMac() override;

  // The plug-in bundle's identifier; set once, before the editor opens.
  void SetBundleID(const char* bundleID) { mBundleID = bundleID ? bundleID : ""; }
  const std::string& GetBundleID() const { return mBundleID; }

  // ---- IGraphics platform operations (main thread) ----
  bool PaintScreen(IRECT* area) override;
  void Resize(int w, int h) override;
  void PromptUserInput(IControl* control, IParam* param, bool centre) override;
  void PromptUserInput(IEditableTextControl* control) override;
  void GetHostPath(std::string* path) override;
  void GetPluginPath(std::string* path) override;
  // A modal open panel (kFileOpen) or save panel; result empty when cancelled or no view is open.
  void ChooseFile(std::string* result, int action, std::string* dir, const char* extensions) override;
  // A web address when url contains "http", else a file path; opened by the shared workspace. The
  // confirmation and error texts are not shown.
  bool OpenWebPage(const char* url, const char* title, const char* confirm, const char* errorText) override;
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  // Plain text on the general pasteboard.
  bool SetClipboardText(const char* text) override;
  // Maps the Windows cursor ids of ECursor to AppKit's cursors; a cursor is set only when it differs
  // from the last one set.
  void SetCursor(int cursorId) override;
  void* Open(void* parent) override;
  void Close() override;
  void* GetWindowHandle() override { return mView; }
  void RefreshTooltips() override;
  // The bundle holds the 100 % images only: other sizes answer null (the context enlarges those).
  DRAW_IBitmap* LoadPlatformBitmap(int id, const char* name, int scale) override;
  // The view is drawn at 100 % until it follows the backing scale factor.
  bool WindowScales() const override { return false; }
  // Marks the area of the view for display (editor coordinates, converted to the view's).
  void InvalidateRect(const IRECT& r) override;

  // ---- For the view ----
  // The host removed our view from its superview: the view is forgotten without being removed again.
  void ViewRemoved();
  // Whether a text-entry field is open over a control.
  bool TextEntryOpen() const;

private:
  // Ends the pending delayed notification, stops the timer and forgets the view; removes the view
  // from its superview unless the view is being removed already.
  void CloseView(bool removeFromSuperview);

  void* mView = nullptr; // CLS_Kestrune*, retained while open
  std::string mBundleID;
  int mCursorId = -1; // the last cursor set, -1 none yet
};
