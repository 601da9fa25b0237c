#pragma once
// A graphics context without a window, for tests and tools. It has a real back buffer: Open() creates
// it, TickAndPaint() does what a window's timer and paint request would, and the pixels are read from
// GetDrawBitmap(). Its platform services record what they were asked and answer as a user who cancels
// would (no text typed, no file chosen, no page opened); a test scripts other answers beforehand with
// the Queue... calls, each answer used once in order. The thread that calls TickAndPaint plays the
// editor's UI thread: posted message boxes are shown there, at the tick.
//
// Images come from the PNGs embedded in the program at build time (EmbeddedImages.h), looked up by
// id, then by file name; AddImage() puts further PNG data in front of them for this context.

#include "framework/IGraphics.h"

#include <deque>
#include <functional>
#include <string>
#include <thread>
#include <vector>

class IGraphicsHeadless : public IGraphics
{
public:
  // One text-entry request.
  struct PromptRequest
  {
    IControl* mControl = nullptr;
    IParam* mParam = nullptr; // null for a free-text field
    bool mCentre = false;
    std::string mInitialText; // the parameter's display text, or the field's text
    bool mAnswered = false;
  };
  struct FileRequest
  {
    int mAction = kFileOpen;
    std::string mDir;
    std::string mExtensions;
  };
  struct WebPageRequest
  {
    std::string mUrl, mTitle, mConfirm, mErrorText;
  };
  struct MessageBoxRequest
  {
    std::string mText, mCaption;
    int mType = 0;
    std::thread::id mThread; // the thread that showed it
  };

  IGraphicsHeadless(IEffectBase* plug, int width, int height, int fps = 0);
  ~IGraphicsHeadless() override;

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
  DRAW_IBitmap* LoadPlatformBitmap(int id, const char* name, int scale) override;

  // ---- What a window's timer and paint request would do ----
  // One timer tick (with the posted message boxes, while open), then a draw pass over the area it
  // invalidated (if any). True when it drew.
  bool TickAndPaint();
  // Ticks n times, painting after each.
  void Ticks(int n);

  // ---- Scripting ----
  void QueuePromptAnswer(const std::string& text) { mPromptAnswers.push_back(text); }
  void QueueFileAnswer(const std::string& path) { mFileAnswers.push_back(path); }
  void QueueWebPageAnswer(bool opened) { mWebPageAnswers.push_back(opened); }
  void QueueMessageBoxAnswer(int answer) { mMessageBoxAnswers.push_back(answer); }
  // Called while a box is open, after it is recorded and before it is answered: the user reading it.
  void SetMessageBoxWait(std::function<void(const MessageBoxRequest&)> wait)
  {
    mMessageBoxWait = std::move(wait);
  }
  void SetHostPath(const std::string& path) { mHostPath = path; }
  void SetPluginPath(const std::string& path) { mPluginPath = path; }
  // PNG data for an image id (and file name) of this context, looked up before the embedded images.
  void AddImage(int id, const char* name, const unsigned char* png, size_t size);

  // ---- Records ----
  const std::vector<PromptRequest>& Prompts() const { return mPrompts; }
  const std::vector<FileRequest>& FileRequests() const { return mFileRequests; }
  const std::vector<WebPageRequest>& WebPages() const { return mWebPages; }
  const std::vector<MessageBoxRequest>& MessageBoxes() const { return mMessageBoxes; }
  const std::string& Clipboard() const { return mClipboard; }
  int Cursor() const { return mCursor; }
  int CursorChanges() const { return mCursorChanges; }
  int Paints() const { return mPaints; }
  const IRECT& LastPaintedArea() const { return mLastPaintedArea; }
  int BitmapLoads() const { return mBitmapLoads; }

private:
  struct Image
  {
    int mId;
    std::string mName;
    std::vector<unsigned char> mPNG;
  };

  std::deque<std::string> mPromptAnswers;
  std::deque<std::string> mFileAnswers;
  std::deque<bool> mWebPageAnswers;
  std::deque<int> mMessageBoxAnswers;
  std::vector<PromptRequest> mPrompts;
  std::vector<FileRequest> mFileRequests;
  std::vector<WebPageRequest> mWebPages;
  std::vector<MessageBoxRequest> mMessageBoxes;
  std::function<void(const MessageBoxRequest&)> mMessageBoxWait;
  std::vector<Image> mImages;
  std::string mHostPath, mPluginPath, mClipboard;
  int mCursor = kCursorArrow;
  int mCursorChanges = 0;
  int mPaints = 0;
  IRECT mLastPaintedArea;
  int mBitmapLoads = 0;
};
