#include "platform/linux/TextEntryModel.h"

void TextEntryModel::Start(const std::string& text, size_t maxChars, std::vector<std::string> choices)
{
  mMaxChars = maxChars;
  mText = text.substr(0, maxChars);
  mCaret = mText.size();
  mAllSelected = !mText.empty();
  mState = kEditing;
  mChoices = std::move(choices);
}

void TextEntryModel::Reset()
{
  mText.clear();
  mCaret = 0;
  mAllSelected = false;
  mState = kIdle;
  mChoices.clear();
}

void TextEntryModel::DeleteSelection()
{
  mText.clear();
  mCaret = 0;
  mAllSelected = false;
}

void TextEntryModel::Key(EKey key, char c)
{
  if (mState != kEditing) return;
  switch (key)
  {
  case kKeyChar:
  {
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7f) return; // control characters are not text
    if (mAllSelected) DeleteSelection();
    if (mText.size() >= mMaxChars) return;
    mText.insert(mCaret, 1, c);
    ++mCaret;
    return;
  }
  case kKeyBackspace:
    if (mAllSelected)
      DeleteSelection();
    else if (mCaret > 0)
      mText.erase(--mCaret, 1);
    return;
  case kKeyDelete:
    if (mAllSelected)
      DeleteSelection();
    else if (mCaret < mText.size())
      mText.erase(mCaret, 1);
    return;
  case kKeyHome:
    mAllSelected = false;
    mCaret = 0;
    return;
  case kKeyEnd:
    mAllSelected = false;
    mCaret = mText.size();
    return;
  case kKeyLeft:
    mAllSelected = false;
    if (mCaret > 0) --mCaret;
    return;
  case kKeyRight:
    mAllSelected = false;
    if (mCaret < mText.size()) ++mCaret;
    return;
  case kKeyUp:
  case kKeyDown:
  {
    if (mChoices.empty()) return;
    size_t n = mChoices.size();
    size_t at = n; // not a choice yet
    for (size_t i = 0; i < n; ++i)
      if (mChoices[i] == mText) at = i;
    size_t next = at == n ? 0 : (key == kKeyDown ? (at + 1) % n : (at + n - 1) % n);
    mText = mChoices[next].substr(0, mMaxChars);
    mCaret = mText.size();
    mAllSelected = true;
    return;
  }
  case kKeyEnter:
    mCaret = mText.size();
    mAllSelected = false;
    mState = kCommit;
    return;
  case kKeyEscape:
    mState = kCancel;
    return;
  }
}
