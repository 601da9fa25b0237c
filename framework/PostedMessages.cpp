#include "framework/PostedMessages.h"

#include <utility>

bool PostedMessages::Post(const char* text, const char* caption)
{
  // The texts are copied before the lock is taken: the mutex guards the queue's links only.
  Message message{text ? text : "", caption ? caption : ""};
  std::lock_guard<std::mutex> lock(mMutex);
  if (mMessages.size() >= kMaxMessages) return false;
  mMessages.push_back(std::move(message));
  return true;
}

bool PostedMessages::TakeOldest(Message* out)
{
  std::lock_guard<std::mutex> lock(mMutex);
  if (mMessages.empty()) return false;
  *out = std::move(mMessages.front());
  mMessages.pop_front();
  return true;
}

void PostedMessages::Clear()
{
  std::deque<Message> dropped; // freed once the lock is let go
  {
    std::lock_guard<std::mutex> lock(mMutex);
    dropped.swap(mMessages);
  }
}

size_t PostedMessages::Count() const
{
  std::lock_guard<std::mutex> lock(mMutex);
  return mMessages.size();
}
