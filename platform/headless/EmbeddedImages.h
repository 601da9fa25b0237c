#pragma once
// The editor's PNG images, built into the program from img/*.png (see EmbedImages.cmake). Each has
// its file name, its size (100, 150 or 200 %: img/, img/150/, img/200/) and, when img/ids.txt names it,
// its resource id (else -1; the same id at every size). The data is the PNG file byte for byte;
// nothing is decoded until asked for.

#include <cstddef>

struct EmbeddedImage
{
  int mId;
  const char* mName; // file name without folder, e.g. "knob.png"
  int mScale;        // percent: 100, 150 or 200
  const unsigned char* mData;
  size_t mSize;
};

// Generated from img/ at build time.
extern const EmbeddedImage kEmbeddedImages[];
extern const int kEmbeddedImageCount;

// The image with resource id at the size, else the one whose file name is the last path component of
// name ("../img/knob.png" finds "knob.png"); null when neither exists at that size. Name may be null.
const EmbeddedImage* FindEmbeddedImage(int id, const char* name, int scale = 100);
