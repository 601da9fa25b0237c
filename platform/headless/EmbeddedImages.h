#pragma once
// The editor's PNG images, built into the program from img/*.png (see EmbedImages.cmake). Each has
// its file name and, when img/ids.txt names it, its resource id (else -1). The data is the PNG file
// byte for byte; nothing is decoded until asked for.

#include <cstddef>

struct EmbeddedImage
{
  int mId;
  const char* mName; // file name without folder, e.g. "knob.png"
  const unsigned char* mData;
  size_t mSize;
};

// Generated from img/ at build time.
extern const EmbeddedImage kEmbeddedImages[];
extern const int kEmbeddedImageCount;

// The image with resource id, else the one whose file name is the last path component of name
// ("../img/knob.png" finds "knob.png"); null when neither exists. Name may be null.
const EmbeddedImage* FindEmbeddedImage(int id, const char* name);
