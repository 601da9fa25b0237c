#pragma once
// PostedMessages: OK-only messages on their way from any thread to the editor's UI thread. A thread
// that must not wait for the user (the sample loader, a host call holding the instance mutex) posts a
// message here and goes on; the editor's timer takes them out, oldest first, and shows them with no
// lock held (IGraphics::ShowPostedMessages).
//
// Threads: every operation, any thread. The queue has a small mutex of its own, held only to move a
// message in or out; nothing waits on the user or on another lock while it is held. Posting allocates,
// so the audio thread never posts.

#include <cstddef>
#include <deque>
#include <mutex>
#include <string>

class PostedMessages
{
public:
  // Messages kept at most; later ones are dropped until the editor has shown some. An instrument file
  // gives at most one message per slot.
  static constexpr size_t kMaxMessages = 16;

  struct Message
  {
    std::string mText;
    std::string mCaption;
  };

  // Appends a message (null texts count as empty); false when the queue is full and it was dropped.
  bool Post(const char* text, const char* caption);
  // Takes the oldest message out; false when there is none.
  bool TakeOldest(Message* out);
  // Drops every message waiting.
  void Clear();
  size_t Count() const;

private:
  mutable std::mutex mMutex;
  std::deque<Message> mMessages;
};
