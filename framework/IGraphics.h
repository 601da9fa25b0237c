#pragma once
// The editor's drawing and event context. It owns the ordered list of controls (index 0 is the
// background) and the back buffer, routes mouse, wheel, key and file-drop events to the control under
// the pointer, collects the dirty controls and redraws the area they cover, and binds controls to the
// plug-in's parameters both ways.
//
// Lifecycle: the plug-in creates one graphics context in its constructor, fills it with controls and
// attaches it to its base (IEffectBase::AttachGraphics), which owns it from then on. A platform layer
// derives from this class: Open(parent) makes the native view and starts a timer that calls OnTimerTick
// mFPS times a second, native events become the On... calls below, and the paint request calls Draw and
// copies the back buffer to the screen (PaintScreen). Close() destroys the view; the controls and their
// state stay, so reopening shows the same controls.
//
// Threads: everything here runs on the host's UI thread, except the bitmap and font caches, which are
// shared by every instance of the process and guarded by their own mutexes, and PostMessageBox, which
// any thread may call. Bitmaps and fonts are created once per process and never freed.
//
// Sizes. The editor is laid out in units of its 100 % size (Width() x Height()); it is drawn at 100,
// 150 or 200 % (ScalePercent()). Controls, rectangles, mouse positions and the drawing calls below
// are all in units; the back buffer has the pixel size (PixelWidth() x PixelHeight()), images are
// taken at the size's own rendering and text is made at the size's pixel height. Platforms convert
// at their edge: window pixels to units (ToUnits) before an event call, invalidated units to pixels
// (ToPixels) when copying to the screen.

#include "framework/EditorScale.h"
#include "framework/IGraphicsSeam.h"
#include "framework/IStructs.h"
#include "framework/PostedMessages.h"

#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class DRAW_IBitmap;
class DRAW_MemBitmap;
class DRAW_SysBitmap;
class DRAW_CachedFont;
class IControl;
class IEditableTextControl;
class IEffectBase;
class IParam;

class IGraphics : public IGraphicsSeam
{
public:
  static constexpr int kDefaultFPS = 24;

  // Cursor identifiers of SetCursor (the values of the common desktop cursor ids).
  enum ECursor
  {
    kCursorArrow = 32512,
    kCursorIBeam = 32513,
    kCursorUpArrow = 32516,
    kCursorSizeWE = 32644,
    kCursorSizeNS = 32645,
    kCursorHand = 32649
  };
  // ChooseFile actions.
  enum EFileAction
  {
    kFileOpen = 0,
    kFileSave = 1
  };
  // Buttons of ShowMessageBox.
  enum EMessageBoxType
  {
    kMessageBoxTypeOK = 0,
    kMessageBoxTypeYesNo = 4
  };
  // Answers of ShowMessageBox.
  enum EMessageBoxResult
  {
    kMessageBoxCancel = 0,
    kMessageBoxOK = 1,
    kMessageBoxYes = 6,
    kMessageBoxNo = 7
  };

  // fps: timer ticks per second; 0 or less gives kDefaultFPS. No bitmaps yet.
  IGraphics(IEffectBase* plug, int width, int height, int fps = 0);
  ~IGraphics() override;

  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // ---- Platform services (UI thread). Neutral defaults answer as a user who cancels would. ----

  // Copies area of the back buffer to the screen after a draw pass.
  virtual bool PaintScreen(IRECT* area) = 0;
  // New editor size: clears capture and mouse state, deletes every control and asks the plug-in to
  // resize the host's window. Platform overrides then resize the back buffer and the view.
  virtual void Resize(int w, int h);
  virtual bool IsOpen() { return mPlatformView != nullptr; }
  // Opens a text entry for a parameter over the control; the answer comes back through ApplyPromptText.
  virtual void PromptUserInput(IControl* control, IParam* param, bool centre) = 0;
  // Opens a text entry for a free-text field; the answer comes back through ApplyPromptText.
  virtual void PromptUserInput(IEditableTextControl* control) = 0;
  // Folder of the host program and of the plug-in module, each ending in the path separator.
  virtual void GetHostPath(std::string* path);
  virtual void GetPluginPath(std::string* path);
  // A file dialog: result = the chosen path, or empty when cancelled or when no view is open.
  // action kFileOpen or kFileSave; dir the starting folder (null or empty: the platform's choice);
  // extensions space separated ("wav ogg sfz"), empty for any file.
  virtual void ChooseFile(std::string* result, int action, std::string* dir, const char* extensions);
  // Opens a web page; with a confirmation text the user is asked first. A failure shows errorText
  // when given. True when the page was opened.
  virtual bool OpenWebPage(const char* url, const char* title, const char* confirm, const char* errorText);
  // A message box with the buttons of an EMessageBoxType, on the UI thread; answers an
  // EMessageBoxResult. Where it is modal it waits for the user, so it is never asked for with the
  // instance mutex held. Other threads post (PostMessageBox).
  virtual int ShowMessageBox(const char* text, const char* caption, int type);
  // Any thread, with or without the instance mutex, but never the audio thread (it allocates): hands an
  // OK-only message box to the editor and returns at once. The editor's UI thread shows the messages at
  // its next timer tick, in the order they were posted, with no lock held (ShowPostedMessages). Posted
  // while the editor is closed, a message waits for the next opening; messages still waiting when the
  // editor closes are dropped (a box popping up after the user closed the editor would belong to
  // nothing on the screen). Only the queue's own small mutex is taken.
  void PostMessageBox(const char* text, const char* caption);
  // Messages posted and not yet shown (tests and tools).
  size_t PostedMessageCount() const { return mPostedMessages.Count(); }
  // Puts plain text on the system clipboard; true on success.
  virtual bool SetClipboardText(const char* text);
  // Sets the mouse cursor (an ECursor id); other ids set nothing.
  virtual void SetCursor(int cursorId);
  // Starts (or restarts) the countdown that closes a delayed end-of-edit notification after ticks
  // timer ticks (IEffectBase::DelayEndInformHostOfParamChange), and stops it.
  void SetParamChangeTimer(int ticks) override;
  void CancelParamChangeTimer() override;
  // Creates the native view inside parent and starts the timer; answers the view or null on failure.
  virtual void* Open(void* parent) = 0;
  // Ends the pending delayed notification, stops the timer and destroys the view.
  virtual void Close() = 0;
  virtual void* GetWindowHandle() { return mPlatformView; }
  virtual void RefreshTooltips() {}
  // Decodes the image with resource id (or name) rendered for a size (percent) into a new bitmap; null
  // when there is none (the graphics context then enlarges the 100 % image).
  virtual DRAW_IBitmap* LoadPlatformBitmap(int id, const char* name, int scale) = 0;
  // The size the display asks for (its density): 100 when the platform cannot tell.
  virtual int DisplayScale() { return kScale100; }
  // Whether the platform's window follows the larger sizes; one that does not stays at 100 % (its
  // picture can still be drawn at any size).
  virtual bool WindowScales() const { return true; }
  // A length in back-buffer pixels in the measure of the host's windows (effEditGetRect,
  // audioMasterSizeWindow): the same pixels, unless the platform's windows count in points (macOS).
  virtual int ToWindowSize(int pixels) const { return pixels; }
  // Marks an area of the view for the next paint. The base collects it (see TakeInvalidRect).
  virtual void InvalidateRect(const IRECT& r);

  // ---- What the plug-in base and the VST binding ask of the editor ----

  // The host's editor-open and editor-close calls. An editor that opens without its size having been
  // asked for chooses it first (StartScale).
  bool OpenWindow(void* parentWindow) override;
  void CloseWindow() override;
  // effEditGetRect: while the editor is closed, the size it will open at is chosen once (StartScale).
  void EditorRectQueried() override;
  // The host's wheel extension: delta in notches (truncated), at the last pointer position.
  int ProcessMouseWheel(float delta) override;
  // The graphics context attached to plug, or null.
  static IGraphics* Of(const IEffectBase* plug);

  // ---- Construction and control list ----

  // Appends a control; the list owns it. Returns its index.
  int AddControl(IControl* control);
  // Loads the background image and inserts a bitmap control showing it at index 0.
  void SetBackground(int id, const char* name);
  int NControls() const { return static_cast<int>(mControls.size()); }
  IControl* GetControl(int idx) const;
  // Index of control in the list, -1 when it is not there.
  int GetControlIdx(const IControl* control) const;
  IEffectBase* GetPlug() const { return mPlug; }
  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  int FPS() const override { return mFPS; }

  // ---- Sizes (see the file comment) ----

  int ScalePercent() const override { return mScale; }
  int PixelWidth() const override { return ToPixels(mWidth); }
  int PixelHeight() const override { return ToPixels(mHeight); }
  int WindowWidth() const override { return ToWindowSize(PixelWidth()); }
  int WindowHeight() const override { return ToWindowSize(PixelHeight()); }
  int ToPixels(int units) const { return UnitsToPixels(units, mScale); }
  static int ToPixelsAt(int units, int percent) { return UnitsToPixels(units, percent); }
  IRECT ToPixels(const IRECT& r) const;
  int ToUnits(int pixels) const { return PixelsToUnits(pixels, mScale); }
  // The size the editor opens at: KESTRUNE_SCALE when it names one, else the size the user chose last
  // (the settings file), else the display's (DisplayScale).
  int StartScale();
  // Draws at percent from now on (100, 150 or 200; others are ignored): the back buffer takes the new
  // pixel size, every control is redrawn, the host's editor rectangle follows and the platform resizes
  // its view (OnScaleChanged). Nothing asks the host: see RequestScale.
  void UseScale(int percent);
  // The user's choice of a size: remembered in the settings file, then used at once when the editor is
  // closed or the host resizes its window to it (audioMasterSizeWindow). False when the host refused:
  // the editor keeps its size, and opens at the chosen one next time.
  bool RequestScale(int percent);
  // The settings file of this editor (empty: none is read or written). Platforms set the user's file.
  // Reads the size remembered there (not under the instance mutex: at construction, or in a test).
  void SetSettingsPath(const std::string& path);
  const std::string& SettingsPath() const { return mSettingsPath; }
  // The size the user chose last (0: none).
  int PreferredScale() const { return mPreferredScale; }
  // Waits until the last choice is in the settings file (it is written by a thread of its own).
  void WaitForSettingsWrite();

  // Creates the back buffer (editor size) and the scratch bitmap unless they exist. The plug-in base
  // calls it when the context is attached; platforms when they open.
  void PrepDraw() override;
  DRAW_SysBitmap* GetDrawBitmap() const { return mDrawBitmap.get(); }
  DRAW_MemBitmap* GetScratchBitmap() const { return mScratchBitmap.get(); }
  const IRECT& GetDrawRect() const { return mDrawRect; }

  // ---- Bitmaps and drawing (into the back buffer; a null bitmap or back buffer draws nothing) ----

  // A bitmap by resource id, loaded once per process. A bitmap that cannot be loaded gives a handle
  // with null data and zero size.
  IBitmap LoadBitmap(int id, const char* name, int frames = 1);
  // A new bitmap holding the rectangle of src (same frame count), kept in the process cache.
  IBitmap CropBitmap(const IBitmap* src, const IRECT* r);
  // The pixels drawn for a bitmap handle at the current size: its data at 100 %, else the image's own
  // rendering for the size, else (images with none) the 100 % image enlarged once. Null for none.
  DRAW_IBitmap* BitmapAtScale(const IBitmap* bitmap);
  // Blits the part of dest inside the current draw rectangle; (srcX, srcY) is the source point shown at
  // dest's top-left corner.
  bool DrawBitmap(IBitmap* bitmap, IRECT* dest, int srcX, int srcY, const IChannelBlend* blend = nullptr);
  // Frame is 1-based; frames lie side by side or stacked vertically.
  bool DrawBitmapFrame(IBitmap* bitmap, IRECT* dest, int frame, const IChannelBlend* blend = nullptr,
                       bool sideBySide = false);
  // The whole image with its top-left corner at (x, y), not clipped to the draw rectangle.
  bool DrawBitmapAt(IBitmap* bitmap, int x, int y, const IChannelBlend* blend = nullptr);
  // The whole image rotated by angle radians about (cx, cy), bilinear.
  bool DrawRotatedBitmap(IBitmap* bitmap, int cx, int cy, double angle, const IChannelBlend* blend = nullptr);
  bool FillRect(const IColor* color, const IRECT* r, const IChannelBlend* blend = nullptr);
  // Outline of four one-pixel lines.
  bool DrawRect(const IColor* color, const IRECT* r);
  // A line one unit wide (as many pixels wide as a unit covers).
  bool DrawLine(const IColor* color, float x1, float y1, float x2, float y2,
                const IChannelBlend* blend = nullptr, bool antiAlias = false);
  // A one-pixel line between back-buffer pixels, for views that draw at the full resolution.
  bool DrawPixelLine(const IColor* color, int x1, int y1, int x2, int y2,
                     const IChannelBlend* blend = nullptr);
  // Text from the rectangle's top; false only when no font can be made.
  bool DrawText(IText* text, const char* str, IRECT* r);
  // The cached font for a style (size, orientation, style, face); null when none can be made.
  DRAW_CachedFont* FindFont(IText* text);

  // ---- Events (from the platform; editor pixels, origin top-left) ----

  void OnMouseDown(int x, int y, IMouseMod* mod);
  void OnMouseUp(int x, int y, IMouseMod* mod);
  void OnMouseDrag(int x, int y, IMouseMod* mod);
  // True when the double click was delivered as a capturing mouse-down.
  bool OnMouseDblClick(int x, int y, IMouseMod* mod);
  // True when a control received the wheel.
  bool OnMouseWheel(int x, int y, IMouseMod* mod, int d);
  // Answers whether mouse-over is handled at all.
  bool OnMouseOver(int x, int y, IMouseMod* mod);
  void OnMouseOut();
  void OnDrop(int x, int y, const char* path);
  // True when a control was under the point.
  bool OnKeyPress(int x, int y, int key);
  // Index of the control under the point (the captured one while the mouse is held), or -1.
  int ControlAt(int x, int y);

  // ---- Redraw ----

  // Unites the rectangles of the dirty controls into out; true when any was dirty.
  bool IsDirty(IRECT* out);
  // Draws the controls over area into the back buffer, cleans them and paints the screen.
  bool Draw(IRECT* area);
  // The window-less picture: the whole editor, then ticks with their redraws, copied out. Drawn under
  // the back buffer's lock, so a window copying the same buffer to the screen never sees half of it.
  // At scale percent (0: the current size); width and height are that size's pixel size.
  bool DrawPicture(int ticks, int scale, uint32_t* pixels, int width, int height) override;
  // Holds off whatever else reads the back buffer (a window thread copying it to the screen); the
  // default context has no such reader and returns an empty lock.
  virtual std::unique_lock<std::recursive_mutex> LockBackBuffer() { return {}; }
  // One timer tick: invalidates the dirty area and the always-redraw strip, counts the parameter
  // change countdown down and closes the delayed notification when it reaches 0.
  void OnTimerTick();
  // After the tick, on the UI thread, while the editor is open, with no instance mutex held: shows the
  // posted messages one after another, oldest first, through ShowPostedMessage. The boxes are modal on
  // some platforms and their own event loop keeps the timer running: a tick that comes while one of
  // them is open shows nothing, and the outer one goes on with the next message once it is answered.
  // Stops when the editor closes meanwhile (the rest is dropped).
  void ShowPostedMessages();
  // The same tick without invalidating: answers the area it would invalidate.
  IRECT AdvanceTimer();
  // The area collected by InvalidateRect since the last call (empty when none); clears it.
  IRECT TakeInvalidRect();
  int ParamChangeTicksLeft() const { return mParamChangeTicks; }

  void SetStrictDrawing(bool strict) { mStrictDraw = strict; }
  void HandleMouseOver(bool handle) { mHandleMouseOver = handle; }
  void ShowControlBounds(bool show) { mShowBounds = show; }
  void EnableTooltips(bool enable) { mTooltips = enable; }
  bool TooltipsEnabled() const { return mTooltips; }
  void SetAcceptDrops(bool accept) { mAcceptDrops = accept; }
  bool AcceptsDrops() const { return mAcceptDrops; }
  void SetAlwaysRedrawRect(const IRECT& r) { mAlwaysRedrawRect = r; }
  const IRECT& GetAlwaysRedrawRect() const { return mAlwaysRedrawRect; }
  bool RightClick() const { return mRightClick; }
  int CaptureIdx() const { return mCaptureIdx; }
  int MouseX() const { return mMouseX; }
  int MouseY() const { return mMouseY; }

  // ---- Parameter binding ----

  // Shows a parameter value (normalised, or in its own units) on every control bound to it.
  void ShowParamValue(int paramIdx, double value, bool normalized) override;
  // The same as ShowParamValue, under the name the plug-in's own code uses.
  void SetParameterFromPlug(int paramIdx, double value, bool normalized)
  {
    ShowParamValue(paramIdx, value, normalized);
  }
  // Shows a normalised value on the control at controlIdx (ignored outside the list).
  void SetControlFromPlug(int controlIdx, double normalizedValue);
  // Hands a normalised value to every control bound to paramIdx as if the user had typed it.
  void ApplyInputToControls(int paramIdx, double normalized);
  // A text entry closed with text: for a parameter, the value it names; for a free-text field, the
  // field's new text and a number broadcast to the unbound controls.
  void ApplyPromptText(IControl* control, IParam* param, const char* text);
  // Marks every control for redraw.
  void SetAllControlsDirty();

protected:
  // The platform's part of UseScale: resize the view to PixelWidth() x PixelHeight() and repaint it.
  virtual void OnScaleChanged() {}
  // Shows one posted message; the default is an OK box of ShowMessageBox.
  virtual void ShowPostedMessage(const std::string& text, const std::string& caption);
  // The editor closed: the messages still waiting are dropped.
  void DropPostedMessages() { mPostedMessages.Clear(); }
  // Deletes every control, last to first.
  void ClearControls();
  void ClearMouse();
  void TrackPointer(int x, int y)
  {
    mPointerX = x;
    mPointerY = y;
  }

  std::vector<std::unique_ptr<IControl>> mControls;
  IEffectBase* mPlug;
  IRECT mDrawRect;
  std::unique_ptr<DRAW_SysBitmap> mDrawBitmap;
  std::unique_ptr<DRAW_MemBitmap> mScratchBitmap;
  IRECT mAlwaysRedrawRect;
  int mWidth, mHeight;
  int mFPS;
  int mIdleTicks = 0;
  int mCaptureIdx = -1;
  int mOverIdx = -1;
  int mMouseX = 0, mMouseY = 0;
  int mPointerX = -1, mPointerY = -1; // last pointer position of any event, kept after a mouse-up
  bool mHandleMouseOver = false;
  bool mTooltips = false;
  bool mStrictDraw = true;
  bool mRightClick = false;
  bool mShowBounds = false;
  bool mAcceptDrops = false;
  void* mPlatformView = nullptr;
  int mParamChangeTicks = 0; // countdown of the delayed end-of-edit notification, 0 = stopped
  IRECT mInvalidRect;        // collected by InvalidateRect
  int mScale = kScale100;    // percent
  bool mScaleChosen = false; // the size of the next opening is chosen (reset when the editor closes)
  std::string mSettingsPath;
  int mPreferredScale = 0; // the user's choice, 0 = none
  std::thread mSettingsWriter;
  PostedMessages mPostedMessages;
  bool mShowingPosted = false; // UI thread: a posted message's box is open

private:
  // Sets the drawing size alone: back buffer, bitmaps at that size, every control dirty.
  void SetDrawScale(int percent);
  void SetDrawRect(const IRECT& r);
  void DrawControlBounds();
  // Draws the controls over area into the back buffer and cleans them; the screen is not touched.
  void DrawControls(const IRECT& area);

  IRECT mDrawRectPixels; // mDrawRect in back-buffer pixels
  // Bitmap handles' 100 % data and their pixels at the current size, so a steady redraw looks nothing
  // up in the process cache (and allocates nothing).
  std::vector<std::pair<const DRAW_IBitmap*, DRAW_IBitmap*>> mScaledBitmaps;
  // The last turned picture of each image drawn turned at a place (a knob), so that redrawing a control
  // whose angle has not changed blends a ready picture instead of sampling the image again. Made again
  // in place when the angle changes; dropped when the size changes.
  struct TurnedImage
  {
    const DRAW_IBitmap* mSource;
    int mX, mY;
    double mAngle;
    std::unique_ptr<DRAW_MemBitmap> mPixels; // transparent where the turned image does not reach
  };
  std::vector<TurnedImage> mTurnedImages;
  // The turned picture of source at (x, y), made when it is missing or its angle differs; null when no
  // memory for it can be had.
  const DRAW_IBitmap* TurnedPicture(const DRAW_IBitmap* source, int x, int y, double angle);
};
