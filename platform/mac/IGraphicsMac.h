#pragma once
// The graphics context of the macOS build. effEditOpen hands us the host's parent NSView; Open creates
// our view (CLS_Kestrune, KestruneView.h) inside it. The view turns AppKit events into the IGraphics
// calls below, runs the editor's timer (1 / fps seconds, in the run loop's common modes, so it ticks
// during live resizing, menu tracking and modal panels), draws the back buffer on drawRect: and opens
// text-entry fields over controls. Close() or the host removing the view ends it; the context and its
// controls stay, so the editor opens and closes any number of times.
//
// Images are PNG resources of the plug-in bundle, found by its bundle identifier (Info.plist's
// CFBundleIdentifier, set by the factory right after construction): Resources/<name>.png for 100 %,
// Resources/150/ and Resources/200/ for the larger sizes.
//
// Sizes (MacViewScale.h): the editor's scale is device pixels per layout unit, as elsewhere; the view
// is that many pixels divided by its window's backing scale factor in points, and the host's window
// is measured in points. The size the display asks for is the backing factor's (Retina: 200 %). The
// view follows its window to a screen of another density (viewDidChangeBackingProperties).
//
// Threads: AppKit runs everything here on the main thread (the host's UI thread), as it does for the
// host's dispatcher calls; file dialogs and alerts are modal there. Alerts that other threads post are
// shown by the view's timer.

#include "framework/IGraphics.h"
#include "platform/mac/MacViewScale.h"

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
  // The bundle's image of that name at the size (100 % in Resources, 150 and 200 % in the folders of
  // those names); null when there is none.
  DRAW_IBitmap* LoadPlatformBitmap(int id, const char* name, int scale) override;
  // The backing scale factor of the view's window (of the main screen while there is none), as the
  // nearest size: 200 on Retina, 100 on ordinary screens.
  int DisplayScale() override;
  // Pixels in whole points at the backing factor the view is drawn for.
  int ToWindowSize(int pixels) const override;
  // effEditGetRect while closed: the main screen's backing factor is the one the editor opens for.
  void EditorRectQueried() override;
  // Marks the area of the view for display (editor coordinates, converted to the view's).
  void InvalidateRect(const IRECT& r) override;

  // ---- For the view ----
  // The host removed our view from its superview: the view is forgotten without being removed again.
  void ViewRemoved();
  // Whether a text-entry field is open over a control.
  bool TextEntryOpen() const;
  // The conversions between the editor's units and the view's points at the current size.
  MacViewScale ViewScale() const { return MacViewScale(ScalePercent(), mBacking, Height()); }
  // The view's window is on a screen of another density, or the view has just entered a window: the
  // editor takes the size StartScale chooses now (the display's, unless the environment or the user's
  // choice fixes one), the view its size in points at the window's backing factor, and the host is
  // asked for a window of that size when it changed. A host that refuses keeps its window; the view
  // is drawn for the screen all the same.
  void FollowBackingScale();

protected:
  // Back buffer, view frame and tooltips at the new size; an open text entry closes unapplied.
  void OnScaleChanged() override;

private:
  // Ends the pending delayed notification, stops the timer and forgets the view; removes the view
  // from its superview unless the view is being removed already.
  void CloseView(bool removeFromSuperview);

  void* mView = nullptr; // CLS_Kestrune*, retained while open
  std::string mBundleID;
  int mCursorId = -1; // the last cursor set, -1 none yet
  double mBacking;    // device pixels per point the view is drawn for
};
