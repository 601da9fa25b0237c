#pragma once
// The editor's graphics context on Linux desktops (X11, through Xlib on a connection of its own).
//
// Until the host opens the editor it behaves exactly like the window-less context: it draws into its
// back buffer when asked and its services answer as a user who cancels would. effEditOpen hands us the
// host's X window (ptr); Open creates our child window in it, draws everything once and starts
// painting. effEditClose destroys the child window; the context, its controls and its connection stay,
// so the editor opens and closes any number of times and our clipboard text outlives a closed editor.
//
// Who drives it. Hosts differ: some call effEditIdle 15 to 50 times a second, some from a thread other
// than the one that opened the editor, some never. A thread of ours (started with the connection)
// reads our X events, copies painted areas to the screen and runs the editor's 24 ticks a second
// whenever the host's idle does not: while idle calls keep coming, events and ticks are handled in
// them; a tick that idle leaves overdue by half a period, and everything once idle calls stop, is
// handled by our thread.
//
// Locks. All work on the controls (events, ticks, drawing into the back buffer) happens under the
// instance mutex, as every dispatcher call does (host automation reaches the controls there too), and
// under the editor's own mutex, which guards our X state. The order is always instance mutex, then
// editor mutex. Our thread only tries the instance mutex (never waits for it), so it cannot block a
// dispatcher call that waits for it; X input and output, which can wait on the server, happen under
// the editor's mutex alone, so the instance mutex (and with it the audio thread) never waits on X.
// Dialogs never block: the message box is a window of ours that stays while the editor goes on (made by
// our thread from the posted messages, outside the instance mutex), and a file chosen in the external
// file dialog arrives later as a drop at the point of the click.

#include "framework/IGraphics.h"

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

class X11Connection;
class X11Clipboard;
class X11DropTarget;
class X11MessageBox;
class X11ScreenImage;
class X11TextEntry;
union _XEvent;

class IGraphicsLinux : public IGraphics
{
public:
  IGraphicsLinux(IEffectBase* plug, int width, int height, int fps = 0);
  ~IGraphicsLinux() override;

  // ---- IGraphics platform operations (host UI thread or our thread, instance mutex held) ----
  bool PaintScreen(IRECT* area) override;
  void Resize(int w, int h) override;
  void PromptUserInput(IControl* control, IParam* param, bool centre) override;
  void PromptUserInput(IEditableTextControl* control) override;
  void GetHostPath(std::string* path) override;
  void GetPluginPath(std::string* path) override;
  // Starts zenity (or kdialog) and answers empty at once; the chosen file arrives later as a drop at
  // the pointer position of the click. Without either program the message bar says how to load a file.
  void ChooseFile(std::string* result, int action, std::string* dir, const char* extensions) override;
  bool OpenWebPage(const char* url, const char* title, const char* confirm, const char* errorText) override;
  // OK boxes are answered at once and shown by our thread at its next pass (PostMessageBox); boxes
  // that ask are answered No without being shown (a question would hold the instance mutex while the
  // user thinks).
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  bool SetClipboardText(const char* text) override;
  void SetCursor(int cursorId) override;
  void* Open(void* parent) override;
  void Close() override;
  // Xft.dpi of the X server's resources (96 per 100 %), else GDK_SCALE, else QT_SCALE_FACTOR.
  int DisplayScale() override;
  DRAW_IBitmap* LoadPlatformBitmap(int id, const char* name, int scale) override;
  // Our thread copies the back buffer to the screen under the editor's mutex.
  std::unique_lock<std::recursive_mutex> LockBackBuffer() override
  {
    return std::unique_lock<std::recursive_mutex>(mEditorMutex);
  }

  // ---- Host calls through the plug-in base ----
  // effEditIdle, any thread, instance mutex held: handles waiting events and a due tick.
  void EditIdle() override;
  // The instance is about to be destroyed: stops our thread and closes the connection.
  void Shutdown() override;

  // Where short hints for the user go (the editor's message bar); answers false when it could not show
  // them, and then a message box shows them. Set once, before the editor opens.
  void SetHintSink(std::function<bool(const char*)> sink) { mHintSink = std::move(sink); }

  // ---- Inspection, for tests and tools ----
  unsigned long WindowId(); // our child window, 0 when closed
  long PaintCount() const { return mPaintCount.load(); }
  long TickCount() const { return mTickCount.load(); }
  long IdleTickCount() const { return mIdleTickCount.load(); }
  bool SharedMemoryInUse();
  bool TextEntryOpen() const;
  std::string ClipboardText();
  struct MessageBoxInfo
  {
    unsigned long mWindow;
    int mOkX, mOkY; // the OK button's centre, window pixels
    std::string mText;
  };
  std::vector<MessageBoxInfo> MessageBoxes();
  // Whether new editor windows may copy through shared memory (default true).
  static void AllowSharedMemory(bool allow);

protected:
  void OnScaleChanged() override;
  // Our thread, editor mutex only: the message box window of a posted message.
  void ShowPostedMessage(const std::string& text, const std::string& caption) override;

private:
  struct InputEvent
  {
    enum EKind
    {
      kButtonPress,
      kButtonRelease,
      kMotion,
      kLeave,
      kKey,
      kDrop,
      kWindowGone
    };
    explicit InputEvent(EKind kind) : mKind(kind) {}
    EKind mKind;
    int mX = 0, mY = 0;
    unsigned int mButton = 0;
    unsigned int mState = 0; // X modifier and button mask
    unsigned long mTime = 0; // server time in ms
    unsigned long mKeySym = 0;
    char mChar = 0;
    bool mInEntry = false; // the event happened in the text entry field
    bool mInUnits = false; // mX, mY are layout units (else window pixels)
    std::string mPath;     // kDrop
  };

  bool EnsureConnection();
  void StopThread();
  void ThreadLoop();
  int ThreadTimeoutMs(bool idleFresh);
  bool ThreadWorkDue(bool idleFresh);
  void ReadEvents();
  void TranslateEvent(const _XEvent& event);
  void FlushScreen();
  // Reads the dialog's answer; exited: its process is gone (reaped), so the pipe is read to its end.
  void ReadChooserOutput(bool exited = false);
  void ReapChildren();
  void Wake();
  bool IdleFresh() const;

  // Under both mutexes.
  void DoWork();
  void DoWorkPass();
  void HandleInput(const InputEvent& event);
  void HandleButtonPress(const InputEvent& event);
  void Tick();
  void FinishEntry();
  void OpenEntry(const IRECT& r, int align, bool secret, const std::string& text,
                 std::vector<std::string> choices);
  void CloseWindowLocked(bool windowGone);
  void ShowHint(const char* text);

  std::recursive_mutex mEditorMutex;
  std::unique_ptr<X11Connection> mConnection;
  std::unique_ptr<X11Clipboard> mClipboard;
  std::unique_ptr<X11DropTarget> mDropTarget;
  std::unique_ptr<X11ScreenImage> mScreen;
  std::unique_ptr<X11TextEntry> mEntry;
  std::vector<std::unique_ptr<X11MessageBox>> mMessageBoxes;
  IControl* mEntryControl = nullptr;
  IParam* mEntryParam = nullptr;
  unsigned long mEntryPreviousFocus = 0;
  int mEntryX = 0, mEntryY = 0;

  unsigned long mWindow = 0;
  bool mWindowAlive = false;
  std::deque<InputEvent> mInbox;
  IRECT mPendingPaint;
  long long mNextTickNs = 0;
  unsigned long mLastClickTime = 0;
  int mLastClickX = -1000, mLastClickY = -1000;
  int mCursorId = kCursorArrow;

  std::thread mThread;
  std::atomic<bool> mStop{false};
  int mWakePipe[2] = {-1, -1};
  std::atomic<long long> mLastIdleNs{0};
  std::atomic<long> mPaintCount{0};
  std::atomic<long> mTickCount{0};
  std::atomic<long> mIdleTickCount{0};
  bool mInIdle = false;
  bool mInWork = false;

  // The external file dialog, while it runs.
  pid_t mChooserPid = -1;
  int mChooserFd = -1;
  std::string mChooserOutput;
  int mChooserX = 0, mChooserY = 0;
  // A click that came while the dialog was closing: it opens the next one.
  bool mChooserAgain = false;
  std::string mChooserAgainDir;
  std::string mChooserAgainExtensions;
  int mChooserAgainX = 0, mChooserAgainY = 0;
  std::vector<pid_t> mChildren; // started helpers not yet reaped

  std::function<bool(const char*)> mHintSink;
};
