// The platform services of the Linux editor: paths, file dialog, web pages, message boxes, clipboard,
// cursors and images.

#include "platform/linux/IGraphicsLinux.h"

#include "drawing/DRAW_PNG.h"
#include "platform/headless/EmbeddedImages.h"
#include "platform/linux/ChildProcess.h"
#include "platform/linux/X11Clipboard.h"
#include "platform/linux/X11Connection.h"
#include "platform/linux/X11MessageBox.h"
#include "platform/linux/X11WindowTree.h"

#include <X11/Xlib.h>
#include <X11/cursorfont.h>

#include <cerrno>
#include <climits>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

namespace
{
constexpr const char* kChooserTitle = "Select audio sample";
constexpr const char* kMessageBoxCaption = "Kestrune";
constexpr const char* kNoFileDialogHint =
    "No file dialog (zenity or kdialog) installed: drop a file on the sample "
    "view to load it.";
constexpr const char* kDialogOpenHint = "The file dialog is open: choose a file there or cancel it.";

// The folder part of path, ending in '/'; empty when there is none.
std::string FolderOf(const std::string& path)
{
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// "wav ogg sfz" as the patterns "*.wav *.ogg *.sfz".
std::string Patterns(const char* extensions)
{
  std::string out;
  std::string word;
  for (const char* p = extensions ? extensions : "";; ++p)
  {
    if (*p == ' ' || *p == '\0')
    {
      if (!word.empty()) out += (out.empty() ? "*." : " *.") + word;
      word.clear();
      if (*p == '\0') break;
    }
    else
      word.push_back(*p);
  }
  return out;
}

unsigned int FontCursorShape(int cursorId)
{
  switch (cursorId)
  {
  case IGraphics::kCursorArrow:
    return XC_left_ptr;
  case IGraphics::kCursorIBeam:
    return XC_xterm;
  case IGraphics::kCursorUpArrow:
    return XC_sb_up_arrow;
  case IGraphics::kCursorSizeWE:
    return XC_sb_h_double_arrow;
  case IGraphics::kCursorSizeNS:
    return XC_sb_v_double_arrow;
  case IGraphics::kCursorHand:
    return XC_hand2;
  default:
    return UINT_MAX;
  }
}
} // namespace

void IGraphicsLinux::GetHostPath(std::string* path)
{
  if (!path) return;
  char buffer[PATH_MAX] = {};
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
  *path = n > 0 ? FolderOf(std::string(buffer, static_cast<size_t>(n))) : std::string();
}

void IGraphicsLinux::GetPluginPath(std::string* path)
{
  if (!path) return;
  Dl_info info{};
  // Any function of this module names the shared object it was loaded from.
  if (dladdr(reinterpret_cast<void*>(&FontCursorShape), &info) && info.dli_fname)
    *path = FolderOf(info.dli_fname);
  else
    path->clear();
}

void IGraphicsLinux::ShowHint(const char* text)
{
  if (mHintSink && mHintSink(text)) return;
  ShowMessageBox(text, kMessageBoxCaption, kMessageBoxTypeOK);
}

void IGraphicsLinux::ChooseFile(std::string* result, int action, std::string* dir, const char* extensions)
{
  if (result) result->clear();
  std::lock_guard<std::recursive_mutex> lock(mEditorMutex);
  // A dialog needs an open editor; saving has nowhere to deliver its answer later.
  if (!mWindow || action != kFileOpen) return;
  // One at a time: a click while it is open brings it to the front (it may be behind the host's window).
  // A dialog that shows no window is closing (or not yet shown): the click opens the next one as soon
  // as this one ends without an answer.
  if (mChooserPid > 0)
  {
    const unsigned long shown = X11WindowTree::WindowOfProcess(mConnection->GetDisplay(), mChooserPid);
    if (shown)
    {
      X11WindowTree::Activate(mConnection->GetDisplay(), shown);
      ShowHint(kDialogOpenHint);
    }
    else
    {
      mChooserAgain = true;
      mChooserAgainDir = dir ? *dir : std::string();
      mChooserAgainExtensions = extensions ? extensions : "";
      mChooserAgainX = mPointerX;
      mChooserAgainY = mPointerY;
    }
    return;
  }
  // The dialog belongs to the host's window, so the window manager keeps it above that window.
  const unsigned long owner = X11WindowTree::TopLevelOf(mConnection->GetDisplay(), mWindow);
  std::string folder = dir && !dir->empty() ? *dir : std::string();
  if (folder.empty()) GetPluginPath(&folder);
  if (!folder.empty() && folder.back() != '/') folder.push_back('/');
  std::string patterns = Patterns(extensions);

  std::vector<std::string> argv;
  std::string program = ChildProcess::FindInPath("zenity");
  if (!program.empty())
  {
    argv = {program, "--file-selection", std::string("--title=") + kChooserTitle};
    if (owner) argv.push_back("--attach=" + std::to_string(owner));
    if (!folder.empty()) argv.push_back("--filename=" + folder);
    if (!patterns.empty()) argv.push_back("--file-filter=" + patterns);
  }
  else if (!(program = ChildProcess::FindInPath("kdialog")).empty())
  {
    argv = {program, "--title", kChooserTitle};
    if (owner) argv.insert(argv.end(), {"--attach", std::to_string(owner)});
    argv.insert(argv.end(), {"--getopenfilename", folder.empty() ? std::string(".") : folder});
    if (!patterns.empty()) argv.push_back(patterns);
  }
  else
  {
    ShowHint(kNoFileDialogHint);
    return;
  }
  int fd = -1;
  pid_t pid = ChildProcess::Spawn(argv, &fd);
  if (pid < 0) return;
  // Read only when there is something: the thread never waits on the dialog.
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  mChooserPid = pid;
  mChooserFd = fd;
  mChooserOutput.clear();
  mChooserX = mPointerX;
  mChooserY = mPointerY;
  Wake(); // our thread listens to the dialog from now on
}

void IGraphicsLinux::ReadChooserOutput(bool exited)
{
  // After the dialog exited, what it wrote is read to the end without waiting: a process it started
  // (an accessibility or session bus) may hold the pipe open long after it.
  for (;;)
  {
    char buffer[4096];
    ssize_t n = read(mChooserFd, buffer, sizeof(buffer));
    if (n > 0)
    {
      if (mChooserOutput.size() < static_cast<size_t>(PATH_MAX) * 2)
        mChooserOutput.append(buffer, static_cast<size_t>(n));
      if (exited) continue;
      return;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN && !exited) return;
    break;
  }
  // The dialog closed: its first line is the chosen file (nothing when cancelled).
  close(mChooserFd);
  mChooserFd = -1;
  if (!exited) mChildren.push_back(mChooserPid);
  mChooserPid = -1;
  std::string path = mChooserOutput.substr(0, mChooserOutput.find('\n'));
  mChooserOutput.clear();
  if (path.empty() && mChooserAgain && mWindow)
  {
    // Clicked again while this one was closing: the next dialog, for the click that asked for it.
    mChooserAgain = false;
    const int x = mPointerX, y = mPointerY;
    mPointerX = mChooserAgainX;
    mPointerY = mChooserAgainY;
    std::string dir = mChooserAgainDir;
    ChooseFile(nullptr, kFileOpen, &dir, mChooserAgainExtensions.c_str());
    mPointerX = x;
    mPointerY = y;
    return;
  }
  mChooserAgain = false;
  if (path.empty() || path.front() != '/' || !mWindow) return;
  InputEvent in(InputEvent::kDrop);
  in.mX = mChooserX;
  in.mY = mChooserY;
  in.mInUnits = true; // the position of the click, already in layout units
  in.mPath = path;
  mInbox.push_back(in);
}

void IGraphicsLinux::ReapChildren()
{
  for (size_t i = 0; i < mChildren.size();)
  {
    int code = 0;
    if (ChildProcess::TryReap(mChildren[i], &code))
      mChildren.erase(mChildren.begin() + static_cast<std::ptrdiff_t>(i));
    else
      ++i;
  }
}

bool IGraphicsLinux::OpenWebPage(const char* url, const char* title, const char* confirm,
                                 const char* errorText)
{
  if (!url || !*url) return false;
  if (confirm && *confirm && ShowMessageBox(confirm, title, kMessageBoxTypeYesNo) != kMessageBoxYes)
    return false;
  std::string opener = ChildProcess::FindInPath("xdg-open");
  pid_t pid = opener.empty() ? -1 : ChildProcess::Spawn({opener, url}, nullptr);
  if (pid > 0)
  {
    std::lock_guard<std::recursive_mutex> lock(mEditorMutex);
    mChildren.push_back(pid);
    return true;
  }
  if (errorText && *errorText) ShowMessageBox(errorText, title, kMessageBoxTypeOK);
  return false;
}

int IGraphicsLinux::ShowMessageBox(const char* text, const char* caption, int type)
{
  if (type != kMessageBoxTypeOK) return type == kMessageBoxTypeYesNo ? kMessageBoxNo : kMessageBoxCancel;
  // Our thread makes the box at its next pass: its window is made with a round trip to the server,
  // which must not happen under the instance mutex that the caller (an editor event) may hold.
  PostMessageBox(text, caption && *caption ? caption : kMessageBoxCaption);
  std::lock_guard<std::recursive_mutex> lock(mEditorMutex);
  Wake();
  return kMessageBoxOK;
}

void IGraphicsLinux::ShowPostedMessage(const std::string& text, const std::string& caption)
{
  std::lock_guard<std::recursive_mutex> lock(mEditorMutex);
  if (!EnsureConnection()) return;
  mMessageBoxes.push_back(std::make_unique<X11MessageBox>(
      *mConnection, text, caption.empty() ? kMessageBoxCaption : caption, mWindowAlive ? mWindow : 0));
}

std::vector<IGraphicsLinux::MessageBoxInfo> IGraphicsLinux::MessageBoxes()
{
  std::lock_guard<std::recursive_mutex> lock(mEditorMutex);
  std::vector<MessageBoxInfo> boxes;
  for (const auto& box : mMessageBoxes)
  {
    int x = 0, y = 0;
    box->OkButtonCentre(&x, &y);
    boxes.push_back({box->GetWindow(), x, y, box->Text()});
  }
  return boxes;
}

bool IGraphicsLinux::SetClipboardText(const char* text)
{
  std::lock_guard<std::recursive_mutex> lock(mEditorMutex);
  if (!EnsureConnection()) return false;
  return mClipboard->SetText(text ? text : "");
}

std::string IGraphicsLinux::ClipboardText()
{
  std::lock_guard<std::recursive_mutex> lock(mEditorMutex);
  return mClipboard && mClipboard->Owned() ? mClipboard->Text() : std::string();
}

void IGraphicsLinux::SetCursor(int cursorId)
{
  unsigned int shape = FontCursorShape(cursorId);
  if (shape == UINT_MAX) return; // unknown ids set nothing
  std::lock_guard<std::recursive_mutex> lock(mEditorMutex);
  if (cursorId == mCursorId) return;
  mCursorId = cursorId;
  if (mWindow && mWindowAlive)
    XDefineCursor(mConnection->GetDisplay(), mWindow, mConnection->FontCursor(shape));
}

DRAW_IBitmap* IGraphicsLinux::LoadPlatformBitmap(int id, const char* name, int scale)
{
  const EmbeddedImage* image = FindEmbeddedImage(id, name, scale);
  if (!image) return nullptr;
  return DRAW_LoadPNGFromMemory(image->mData, image->mSize, nullptr);
}
