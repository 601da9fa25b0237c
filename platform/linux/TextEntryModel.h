#pragma once
// What an inline text entry field holds and how keys edit it, apart from any window: the text, the
// caret, whether the whole text is selected (as it is when the field opens, so typing replaces it) and
// the state the editor's timer acts on (commit or cancel). For a parameter with display texts, Up and
// Down step through them.
//
// Threads: owned by the editor; used under its mutex.

#include <string>
#include <vector>

class TextEntryModel
{
public:
  enum EKey
  {
    kKeyChar,
    kKeyBackspace,
    kKeyDelete,
    kKeyHome,
    kKeyEnd,
    kKeyLeft,
    kKeyRight,
    kKeyUp,
    kKeyDown,
    kKeyEnter,
    kKeyEscape
  };
  enum EState
  {
    kIdle = 0,
    kEditing = 1,
    kCancel = 2,
    kCommit = 3
  };

  // Starts editing text (whole text selected). Texts longer than maxChars are cut.
  void Start(const std::string& text, size_t maxChars, std::vector<std::string> choices = {});
  // One key; c is the typed character for kKeyChar (printable ASCII and Latin-1 bytes are taken).
  void Key(EKey key, char c = 0);
  void Commit() { mState = kCommit; }
  void Cancel() { mState = kCancel; }
  void Reset();

  const std::string& Text() const { return mText; }
  size_t Caret() const { return mCaret; }
  bool AllSelected() const { return mAllSelected; }
  EState State() const { return mState; }

private:
  void DeleteSelection();

  std::string mText;
  size_t mCaret = 0;
  size_t mMaxChars = 0;
  bool mAllSelected = false;
  EState mState = kIdle;
  std::vector<std::string> mChoices;
};
