#pragma once
// The Core Foundation, Core Graphics and Core Text calls and types the macOS code uses, declared with
// Apple's signatures and values, for builds without Apple's SDK (included by MacCompat.h only).
// Nothing else is declared: a call that is not listed here does not compile there, and the bundle's
// link stubs (platform/mac/stubs) list the same symbols, so the two stay in step.

#include <cstddef>
#include <cstdint>

extern "C" {

// ---- Core Foundation ----
typedef const void* CFTypeRef;
typedef const struct __CFAllocator* CFAllocatorRef;
typedef const struct __CFString* CFStringRef;
typedef long CFIndex;
typedef uint32_t CFStringEncoding;
typedef unsigned short UniChar;
constexpr CFStringEncoding kCFStringEncodingUTF8 = 0x08000100;

CFStringRef CFStringCreateWithCString(CFAllocatorRef alloc, const char* cStr, CFStringEncoding encoding);
void CFRelease(CFTypeRef cf);

// ---- Core Graphics ----
#if !defined(CGFLOAT_DEFINED)
typedef double CGFloat;
#define CGFLOAT_DEFINED 1
#endif
struct CGPoint
{
  CGFloat x, y;
};
struct CGSize
{
  CGFloat width, height;
};
struct CGRect
{
  CGPoint origin;
  CGSize size;
};
struct CGAffineTransform
{
  CGFloat a, b, c, d, tx, ty;
};
typedef uint16_t CGGlyph;
typedef uint32_t CGBitmapInfo;
typedef struct CGColorSpace* CGColorSpaceRef;
typedef struct CGContext* CGContextRef;
typedef struct CGImage* CGImageRef;

// CGImageAlphaInfo and CGBitmapInfo values.
constexpr CGBitmapInfo kCGImageAlphaNone = 0;
constexpr CGBitmapInfo kCGImageAlphaNoneSkipFirst = 6;
constexpr CGBitmapInfo kCGBitmapByteOrderDefault = 0;

CGColorSpaceRef CGColorSpaceCreateDeviceRGB(void);
CGColorSpaceRef CGColorSpaceCreateDeviceGray(void);
void CGColorSpaceRelease(CGColorSpaceRef space);
CGContextRef CGBitmapContextCreate(void* data, size_t width, size_t height, size_t bitsPerComponent,
                                   size_t bytesPerRow, CGColorSpaceRef space, uint32_t bitmapInfo);
CGImageRef CGBitmapContextCreateImage(CGContextRef context);
void CGContextRelease(CGContextRef c);
void CGContextTranslateCTM(CGContextRef c, CGFloat tx, CGFloat ty);
void CGContextScaleCTM(CGContextRef c, CGFloat sx, CGFloat sy);
void CGContextDrawImage(CGContextRef c, CGRect rect, CGImageRef image);
void CGContextSetGrayFillColor(CGContextRef c, CGFloat gray, CGFloat alpha);
void CGContextSetShouldAntialias(CGContextRef c, bool shouldAntialias);
void CGContextSetShouldSmoothFonts(CGContextRef c, bool shouldSmoothFonts);
void CGImageRelease(CGImageRef image);

// ---- Core Text ----
typedef const struct __CTFont* CTFontRef;
typedef uint32_t CTFontSymbolicTraits;
typedef uint32_t CTFontOrientation;
constexpr CTFontSymbolicTraits kCTFontItalicTrait = 1u << 0;
constexpr CTFontSymbolicTraits kCTFontBoldTrait = 1u << 1;
constexpr CTFontOrientation kCTFontOrientationDefault = 0;

CTFontRef CTFontCreateWithName(CFStringRef name, CGFloat size, const CGAffineTransform* matrix);
CTFontRef CTFontCreateCopyWithSymbolicTraits(CTFontRef font, CGFloat size, const CGAffineTransform* matrix,
                                             CTFontSymbolicTraits symTraitValue, CTFontSymbolicTraits symTraitMask);
CGFloat CTFontGetAscent(CTFontRef font);
CGFloat CTFontGetDescent(CTFontRef font);
bool CTFontGetGlyphsForCharacters(CTFontRef font, const UniChar* characters, CGGlyph* glyphs, CFIndex count);
double CTFontGetAdvancesForGlyphs(CTFontRef font, CTFontOrientation orientation, const CGGlyph* glyphs,
                                  CGSize* advances, CFIndex count);
CGRect CTFontGetBoundingRectsForGlyphs(CTFontRef font, CTFontOrientation orientation, const CGGlyph* glyphs,
                                       CGRect* boundingRects, CFIndex count);
void CTFontDrawGlyphs(CTFontRef font, const CGGlyph* glyphs, const CGPoint* positions, size_t count,
                      CGContextRef context);

} // extern "C"
