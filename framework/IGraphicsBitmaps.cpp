// The process-wide bitmap cache: LoadBitmap and CropBitmap. Every instance of the process shares it;
// bitmaps are created once and never freed.

#include "drawing/DRAW_MemBitmap.h"
#include "drawing/DRAW_Raster.h"
#include "framework/IGraphics.h"

#include <mutex>
#include <vector>

namespace
{
constexpr int kCroppedBitmapId = -1; // cache id of the bitmaps CropBitmap makes

struct BitmapCacheEntry
{
  int mId;
  DRAW_IBitmap* mBitmap;
};

struct BitmapCache
{
  std::mutex mMutex;
  std::vector<BitmapCacheEntry> mEntries;
};

// Never destroyed: bitmaps outlive every instance, and a plug-in may still draw while the process exits.
BitmapCache& Cache()
{
  static BitmapCache* cache = new BitmapCache();
  return *cache;
}

DRAW_IBitmap* Lookup(BitmapCache& cache, int id)
{
  for (const BitmapCacheEntry& e : cache.mEntries)
    if (e.mId == id) return e.mBitmap;
  return nullptr;
}
} // namespace

IBitmap IGraphics::LoadBitmap(int id, const char* name, int frames)
{
  BitmapCache& cache = Cache();
  DRAW_IBitmap* bitmap = nullptr;
  {
    std::lock_guard<std::mutex> lock(cache.mMutex);
    bitmap = Lookup(cache, id);
  }
  if (!bitmap)
  {
    // Decoded without the lock, so other editors are not held up by a slow image.
    DRAW_IBitmap* loaded = LoadPlatformBitmap(id, name ? name : "");
    if (!loaded) return IBitmap();
    std::lock_guard<std::mutex> lock(cache.mMutex);
    // Another editor may have loaded the same image meanwhile: keep the first, so that every caller
    // sees one bitmap per id.
    bitmap = Lookup(cache, id);
    if (bitmap)
      delete loaded;
    else
    {
      cache.mEntries.push_back({id, loaded});
      bitmap = loaded;
    }
  }
  return IBitmap(bitmap, bitmap->getWidth(), bitmap->getHeight(), frames);
}

IBitmap IGraphics::CropBitmap(const IBitmap* src, const IRECT* r)
{
  if (!src || !src->mData || !r) return IBitmap();
  int w = r->W(), h = r->H();
  if (w <= 0 || h <= 0) return IBitmap();
  auto* cropped = new DRAW_MemBitmap(w, h, 4);
  if (cropped->getWidth() != w || cropped->getHeight() != h)
  {
    delete cropped;
    return IBitmap();
  }
  DRAW_Blit(cropped, src->mData, 0, 0, r->L, r->T, w, h, 1.0f, kDrawCombineCopy);
  {
    BitmapCache& cache = Cache();
    std::lock_guard<std::mutex> lock(cache.mMutex);
    cache.mEntries.push_back({kCroppedBitmapId, cropped});
  }
  return IBitmap(cropped, w, h, src->N);
}
