#pragma once
// UTF-8 as the drawing layer reads text: a well-formed sequence (no overlong form, no surrogate, at most
// U+10FFFF) is one character; any other byte is a character of its own, its Latin-1 value. Whatever
// counts or cuts text by characters uses the same reading, so that it agrees with what is drawn.
// Pure functions; any thread.

#include <cstdint>

// Decodes the character at p (p < end) and moves p past it.
uint32_t DRAW_NextCodepoint(const char*& p, const char* end);
