#pragma once
// The graphics context of the Windows build: the editor is a child window ("KestruneWndClass") inside
// the host's editor window. Its window procedure turns mouse, wheel, key, file-drop, paint and timer
// messages into IGraphics calls; a 1000 / fps ms window timer (id 2) ticks the redraw and the text-entry
// state machine; the back buffer is a DIB section (DRAW_SysBitmap) copied to the window with BitBlt.
//
// Text entry: a child EDIT box (or a drop-down COMBOBOX for parameters with display texts) is opened
// over the control and subclassed. Its state: 0 idle, 1 editing (has focus), 2 cancel, 3 commit. Enter,
// a list selection or a left click in the editor commits, a right click cancels; the timer tick that
// follows applies a commit and closes the entry either way.
//
// Sizes: the window is PixelWidth() x PixelHeight(); positions of mouse, wheel, drop and key messages
// are divided by the scale (ToUnits) before they reach the controls, repainted areas multiplied
// (ToPixels). The window is created per-monitor DPI aware and follows WM_DPICHANGED_AFTERPARENT.
//
// Threads: everything runs on the thread that owns the window (the host's UI thread). Message boxes
// that other threads post are shown by the timer tick, on that thread. The count of open editor
// windows that decides when the window class is registered is process-wide.

#include "framework/IGraphics.h"

#include <cstdint>
#include <string>

struct IColor;

class IGraphicsWin : public IGraphics
{
public:
  // Entry states.
  enum EEntryState
  {
    kEntryIdle = 0,
    kEntryEditing = 1,
    kEntryCancel = 2,
    kEntryCommit = 3
  };

  IGraphicsWin(IEffectBase* plug, int width, int height, int fps = 0);
  ~IGraphicsWin() override;

  // The module whose "PNG" resources and file name the context uses (HINSTANCE). By default the
  // module this code is linked into.
  void SetHInstance(void* instance) { mHInstance = instance; }
  void* GetHInstance() const { return mHInstance; }

  // ---- IGraphics platform operations ----
  bool PaintScreen(IRECT* area) override;
  void Resize(int w, int h) override;
  void PromptUserInput(IControl* control, IParam* param, bool centre) override;
  void PromptUserInput(IEditableTextControl* control) override;
  void GetHostPath(std::string* path) override;
  void GetPluginPath(std::string* path) override;
  void ChooseFile(std::string* result, int action, std::string* dir, const char* extensions) override;
  bool OpenWebPage(const char* url, const char* title, const char* confirm, const char* errorText) override;
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  bool SetClipboardText(const char* text) override;
  void SetCursor(int cursorId) override;
  void* Open(void* parent) override;
  void Close() override;
  void* GetWindowHandle() override { return mHWND; }
  DRAW_IBitmap* LoadPlatformBitmap(int id, const char* name, int scale) override;
  // The parent window's DPI (the system's before there is one).
  int DisplayScale() override;
  void OnScaleChanged() override;
  void InvalidateRect(const IRECT& r) override;

  // A standard colour dialog titled `title`, starting at *color; true (and *color set) when chosen.
  bool PromptForColor(IColor* color, const char* title);

  // ---- For the window procedures and tests ----
  void* GetEntryWindow() const { return mEntryWnd; }
  int GetEntryState() const { return mEntryState; }
  void* GetTooltipWindow() const { return mTooltipWnd; }
  // Process-wide count of open editor windows.
  static int OpenWindowCount();

  // What the window procedures hand over (HWND, message, WPARAM, LPARAM; answers the LRESULT), in
  // neutral types so that this header does not need <windows.h>.
  intptr_t HandleMessage(void* hWnd, unsigned msg, uintptr_t wParam, intptr_t lParam);
  intptr_t HandleEntryMessage(void* hWnd, unsigned msg, uintptr_t wParam, intptr_t lParam);

private:
  // One timer tick: the entry state machine, then IGraphics::OnTimerTick.
  void Tick();
  void StepEntry();
  // Opens the entry window of `className` with `style` and `text` at (x, y, w, h), in layout units, and
  // subclasses it.
  bool OpenEntry(const char* className, unsigned long style, const char* text, int x, int y, int w, int h,
                 IControl* control, IParam* param, void* font);
  // What Close and a host-destroyed window share: forgets the window and its children.
  void ForgetWindow();
  // Hands an open entry window back to its own procedure before it is destroyed with ours, so that it
  // still ends (and frees what it holds) through that procedure.
  void ReleaseEntryWindow();
  void MouseDown(void* hWnd, int x, int y, IMouseMod* mod);
  void ShowTooltip(bool show);
  // The size StartScale chooses now (the parent's DPI may have changed): the host is asked for its
  // window at that size, and the editor takes it.
  void FollowDisplay();

  void* mHInstance = nullptr;
  void* mHWND = nullptr;          // the child window
  void* mParentWnd = nullptr;     // the host's window
  void* mTooltipWnd = nullptr;    // tooltips_class32 window, or null
  void* mEntryWnd = nullptr;      // EDIT or COMBOBOX while a text entry is open
  void* mEntryPrevProc = nullptr; // the entry window's own procedure
  void* mEntryFont = nullptr;     // HFONT of the entry window
  void* mPaintDC = nullptr;       // during WM_PAINT
  IControl* mEditControl = nullptr;
  IParam* mEditParam = nullptr;
  int mEntryState = kEntryIdle;
  int mTooltipIdx = -1;       // control whose tooltip is shown, -1 none
  bool mRegistered = false;   // this context counts in the open-window count
  int mKeepX = 0, mKeepY = 0; // remembered child position on reopen
  bool mKeepPlacement = false;
  std::string mTooltipText;
};
