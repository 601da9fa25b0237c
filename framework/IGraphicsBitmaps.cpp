// The process-wide bitmap cache: LoadBitmap, CropBitmap and the images at the larger sizes. Every
// instance of the process shares it; bitmaps are created once and never freed.

#include "drawing/DRAW_MemBitmap.h"
#include "drawing/DRAW_Raster.h"
#include "framework/IGraphics.h"

#include <mutex>
#include <string>
#include <vector>

namespace
{
constexpr int kCroppedBitmapId = -1; // cache id of the bitmaps CropBitmap makes

struct BitmapCacheEntry
{
  int mId;
  DRAW_IBitmap* mBitmap;
  int mScale = kScale100;              // the size it is drawn at
  const DRAW_IBitmap* mBase = nullptr; // the 100 % bitmap it renders (itself at 100 %)
  std::string mName;                   // what it was loaded by, to load the other sizes
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
    if (e.mId == id && e.mScale == kScale100) return e.mBitmap;
  return nullptr;
}

const BitmapCacheEntry* LookupBase(BitmapCache& cache, const DRAW_IBitmap* base, int scale)
{
  for (const BitmapCacheEntry& e : cache.mEntries)
    if (e.mBase == base && e.mScale == scale) return &e;
  return nullptr;
}

// The 100 % bitmap enlarged (bilinear) to the pixel size of a larger editor: for images that have no
// rendering of their own at that size (cropped ones).
DRAW_IBitmap* Enlarged(const DRAW_IBitmap* base, int scale)
{
  const int w = UnitsToPixels(base->getWidth(), scale), h = UnitsToPixels(base->getHeight(), scale);
  auto* enlarged = new DRAW_MemBitmap(w, h, 4);
  if (enlarged->getWidth() != w || enlarged->getHeight() != h || w <= 0 || h <= 0)
  {
    delete enlarged;
    return nullptr;
  }
  DRAW_RotatedBlit(enlarged, base, 0, 0, w, h, 0, 0, base->getWidth(), base->getHeight(), 0.0, true, 1.0f,
                   kDrawCombineCopy | kDrawModeBilinear, 0, 0);
  return enlarged;
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
    DRAW_IBitmap* loaded = LoadPlatformBitmap(id, name ? name : "", kScale100);
    if (!loaded) return IBitmap();
    std::lock_guard<std::mutex> lock(cache.mMutex);
    // Another editor may have loaded the same image meanwhile: keep the first, so that every caller
    // sees one bitmap per id.
    bitmap = Lookup(cache, id);
    if (bitmap)
      delete loaded;
    else
    {
      cache.mEntries.push_back({id, loaded, kScale100, loaded, name ? name : ""});
      bitmap = loaded;
    }
  }
  return IBitmap(bitmap, bitmap->getWidth(), bitmap->getHeight(), frames);
}

DRAW_IBitmap* IGraphics::BitmapAtScale(const IBitmap* handle)
{
  if (!handle || !handle->mData) return nullptr;
  if (mScale == kScale100) return handle->mData;
  for (const auto& known : mScaledBitmaps)
    if (known.first == handle->mData) return known.second;

  BitmapCache& cache = Cache();
  int id = kCroppedBitmapId;
  std::string name;
  {
    std::lock_guard<std::mutex> lock(cache.mMutex);
    if (const BitmapCacheEntry* e = LookupBase(cache, handle->mData, mScale))
    {
      mScaledBitmaps.emplace_back(handle->mData, e->mBitmap);
      return e->mBitmap;
    }
    if (const BitmapCacheEntry* e = LookupBase(cache, handle->mData, kScale100))
    {
      id = e->mId;
      name = e->mName;
    }
  }
  // Decoded without the lock, as LoadBitmap does. The image's own rendering must have the size the
  // layout gives it at this scale; any other is not its rendering.
  DRAW_IBitmap* loaded = id != kCroppedBitmapId ? LoadPlatformBitmap(id, name.c_str(), mScale) : nullptr;
  if (loaded && (loaded->getWidth() != ToPixels(handle->mData->getWidth()) ||
                 loaded->getHeight() != ToPixels(handle->mData->getHeight())))
  {
    delete loaded;
    loaded = nullptr;
  }
  if (!loaded) loaded = Enlarged(handle->mData, mScale);
  if (!loaded) return nullptr;
  DRAW_IBitmap* result = loaded;
  {
    std::lock_guard<std::mutex> lock(cache.mMutex);
    if (const BitmapCacheEntry* e = LookupBase(cache, handle->mData, mScale))
    {
      delete loaded;
      result = e->mBitmap;
    }
    else
      cache.mEntries.push_back({id, loaded, mScale, handle->mData, name});
  }
  mScaledBitmaps.emplace_back(handle->mData, result);
  return result;
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
    cache.mEntries.push_back({kCroppedBitmapId, cropped, kScale100, cropped, ""});
  }
  return IBitmap(cropped, w, h, src->N);
}
