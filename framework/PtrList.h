#pragma once
// PtrList: an ordered list of owned heap objects, addressed by index. Get answers null for an index
// outside the list, so callers holding a host-supplied index need no separate range check.

#include <memory>
#include <utility>
#include <vector>

template <class T> class PtrList
{
public:
  int GetSize() const { return static_cast<int>(mItems.size()); }
  bool InRange(int idx) const { return idx >= 0 && idx < GetSize(); }
  T* Get(int idx) const { return InRange(idx) ? mItems[static_cast<size_t>(idx)].get() : nullptr; }

  // Takes ownership of item and returns it.
  T* Add(std::unique_ptr<T> item)
  {
    mItems.push_back(std::move(item));
    return mItems.back().get();
  }
  T* Add(T* item) { return Add(std::unique_ptr<T>(item)); }

  void Delete(int idx)
  {
    if (InRange(idx)) mItems.erase(mItems.begin() + idx);
  }
  void Empty() { mItems.clear(); }

  auto begin() const { return mItems.begin(); }
  auto end() const { return mItems.end(); }

private:
  std::vector<std::unique_ptr<T>> mItems;
};
