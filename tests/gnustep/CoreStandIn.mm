// A stand-in for the Core Foundation, Core Graphics and Core Text calls of platform/mac/MacCoreDecls.h,
// built on GNUstep's NSBitmapImageRep and NSFont, for the GNUstep run of the editor only (Linux has no
// Core Graphics). It does what the editor relies on: bitmap contexts over the caller's pixels, images
// made from them and drawn into the current graphics context, and fonts whose glyphs are drawn as
// white coverage into a grey bitmap context. Glyph metrics are the font's line metrics and string
// widths; a Mac's own metrics differ.
//
// Every object handed out is an Objective-C object, so CFRelease releases any of them.

#include "platform/mac/MacCompat.h"

#include <cstring>
#include <vector>

@interface KestruneStandInSpace : NSObject
{
@public
  bool mGrey;
}
@end
@implementation KestruneStandInSpace
@end

@interface KestruneStandInContext : NSObject
{
@public
  unsigned char* mData;
  size_t mWidth, mHeight, mRowBytes;
  bool mGrey;
  CGFloat mFillGrey;
  bool mAntialias;
}
@end
@implementation KestruneStandInContext
@end

@interface KestruneStandInFont : NSObject
{
@public
  NSFont* mFont;
}
@end
@implementation KestruneStandInFont
- (void)dealloc
{
  [mFont release];
  [super dealloc];
}
@end

// GNUstep's drawing backend has no Core Graphics context: the current graphics context stands for
// its own, and CGContextDrawImage below draws into it. (The category replaces GNUstep's method on
// purpose.)
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wobjc-protocol-method-implementation"
#endif
@implementation NSGraphicsContext (KestruneStandIn)
- (CGContextRef)CGContext
{
  return reinterpret_cast<CGContextRef>(self);
}
@end
#if defined(__clang__)
#pragma clang diagnostic pop
#endif

namespace
{
id Obj(const void* ref)
{
  return reinterpret_cast<id>(const_cast<void*>(ref));
}

KestruneStandInContext* BitmapContext(CGContextRef c)
{
  id object = Obj(c);
  return [object isKindOfClass:[KestruneStandInContext class]] ? static_cast<KestruneStandInContext*>(object) : nil;
}

NSFont* FontOf(CTFontRef font)
{
  return font ? static_cast<KestruneStandInFont*>(Obj(font))->mFont : nil;
}

CTFontRef Wrap(NSFont* font)
{
  if (!font) return nullptr;
  KestruneStandInFont* wrapped = [[KestruneStandInFont alloc] init];
  wrapped->mFont = [font retain];
  return reinterpret_cast<CTFontRef>(wrapped);
}

// The stand-in's glyph of a UTF-16 unit is the unit itself; this is its text.
NSString* GlyphText(CGGlyph glyph)
{
  const unichar unit = glyph;
  return [NSString stringWithCharacters:&unit length:1];
}

// Each call runs in a pool of its own (its callers are C++ code that has none), with AppKit started
// (drawing glyphs needs the application's backend).
struct Pool
{
  Pool() : mPool([[NSAutoreleasePool alloc] init])
  {
    if (!NSApp) [NSApplication sharedApplication];
  }
  ~Pool() { [mPool release]; }
  Pool(const Pool&) = delete;
  Pool& operator=(const Pool&) = delete;
  NSAutoreleasePool* mPool;
};

CGFloat Advance(NSFont* font, CGGlyph glyph)
{
  NSDictionary* attributes = [NSDictionary dictionaryWithObject:font forKey:NSFontAttributeName];
  return [GlyphText(glyph) sizeWithAttributes:attributes].width;
}
} // namespace

extern "C" {

CFStringRef CFStringCreateWithCString(CFAllocatorRef, const char* cStr, CFStringEncoding)
{
  return reinterpret_cast<CFStringRef>([[NSString alloc] initWithUTF8String:cStr ? cStr : ""]);
}

void CFRelease(CFTypeRef cf)
{
  [Obj(cf) release];
}

CGColorSpaceRef CGColorSpaceCreateDeviceRGB(void)
{
  KestruneStandInSpace* space = [[KestruneStandInSpace alloc] init];
  space->mGrey = false;
  return reinterpret_cast<CGColorSpaceRef>(space);
}

CGColorSpaceRef CGColorSpaceCreateDeviceGray(void)
{
  KestruneStandInSpace* space = [[KestruneStandInSpace alloc] init];
  space->mGrey = true;
  return reinterpret_cast<CGColorSpaceRef>(space);
}

void CGColorSpaceRelease(CGColorSpaceRef space)
{
  [Obj(space) release];
}

CGContextRef CGBitmapContextCreate(void* data, size_t width, size_t height, size_t bitsPerComponent,
                                   size_t bytesPerRow, CGColorSpaceRef space, uint32_t bitmapInfo)
{
  KestruneStandInSpace* s = static_cast<KestruneStandInSpace*>(Obj(space));
  if (!data || !s || bitsPerComponent != 8 || width == 0 || height == 0) return nullptr;
  // What the editor asks for: 8-bit grey without alpha, or 32-bit with a skipped first byte.
  if (s->mGrey ? (bitmapInfo != kCGImageAlphaNone || bytesPerRow < width)
               : (bitmapInfo != kCGImageAlphaNoneSkipFirst || bytesPerRow < 4 * width))
    return nullptr;
  KestruneStandInContext* context = [[KestruneStandInContext alloc] init];
  context->mData = static_cast<unsigned char*>(data);
  context->mWidth = width;
  context->mHeight = height;
  context->mRowBytes = bytesPerRow;
  context->mGrey = s->mGrey;
  context->mFillGrey = 0;
  context->mAntialias = true;
  return reinterpret_cast<CGContextRef>(context);
}

void CGContextRelease(CGContextRef c)
{
  [Obj(c) release];
}

// The transformation only places what is drawn through the context; the pixels' rows stay top-down.
void CGContextTranslateCTM(CGContextRef, CGFloat, CGFloat) {}
void CGContextScaleCTM(CGContextRef, CGFloat, CGFloat) {}

void CGContextSetGrayFillColor(CGContextRef c, CGFloat gray, CGFloat)
{
  if (KestruneStandInContext* context = BitmapContext(c)) context->mFillGrey = gray;
}

void CGContextSetShouldAntialias(CGContextRef c, bool shouldAntialias)
{
  if (KestruneStandInContext* context = BitmapContext(c)) context->mAntialias = shouldAntialias;
}

void CGContextSetShouldSmoothFonts(CGContextRef, bool) {}

// An image is an RGBA copy of the context's pixels.
CGImageRef CGBitmapContextCreateImage(CGContextRef c)
{
  Pool pool;
  KestruneStandInContext* context = BitmapContext(c);
  if (!context || context->mGrey) return nullptr;
  NSBitmapImageRep* rep =
      [[NSBitmapImageRep alloc] initWithBitmapDataPlanes:nullptr
                                              pixelsWide:static_cast<NSInteger>(context->mWidth)
                                              pixelsHigh:static_cast<NSInteger>(context->mHeight)
                                           bitsPerSample:8
                                         samplesPerPixel:4
                                                hasAlpha:YES
                                                isPlanar:NO
                                          colorSpaceName:NSDeviceRGBColorSpace
                                             bytesPerRow:static_cast<NSInteger>(4 * context->mWidth)
                                            bitsPerPixel:32];
  unsigned char* out = [rep bitmapData];
  for (size_t y = 0; y < context->mHeight; ++y)
  {
    const unsigned char* in = context->mData + y * context->mRowBytes;
    unsigned char* o = out + y * 4 * context->mWidth;
    for (size_t x = 0; x < context->mWidth; ++x)
    {
      o[4 * x + 0] = in[4 * x + 1];
      o[4 * x + 1] = in[4 * x + 2];
      o[4 * x + 2] = in[4 * x + 3];
      o[4 * x + 3] = 255;
    }
  }
  return reinterpret_cast<CGImageRef>(rep);
}

void CGImageRelease(CGImageRef image)
{
  [Obj(image) release];
}

// Drawing into the screen: the context is the current graphics context's (the view's drawRect:).
void CGContextDrawImage(CGContextRef c, CGRect rect, CGImageRef image)
{
  Pool pool;
  if (BitmapContext(c) || !image) return;
  NSBitmapImageRep* rep = static_cast<NSBitmapImageRep*>(Obj(image));
  [rep drawInRect:NSMakeRect(rect.origin.x, rect.origin.y, rect.size.width, rect.size.height)];
}

CTFontRef CTFontCreateWithName(CFStringRef name, CGFloat size, const CGAffineTransform*)
{
  Pool pool;
  NSFont* font = [NSFont fontWithName:static_cast<NSString*>(Obj(name)) size:size];
  return Wrap(font ? font : [NSFont userFontOfSize:size]);
}

CTFontRef CTFontCreateCopyWithSymbolicTraits(CTFontRef font, CGFloat size, const CGAffineTransform*,
                                             CTFontSymbolicTraits symTraitValue, CTFontSymbolicTraits)
{
  Pool pool;
  NSFont* base = FontOf(font);
  if (!base) return nullptr;
  NSFont* styled = [NSFont fontWithName:[base fontName] size:size];
  NSFontManager* manager = [NSFontManager sharedFontManager];
  if (symTraitValue & kCTFontBoldTrait) styled = [manager convertFont:styled toHaveTrait:NSBoldFontMask];
  if (symTraitValue & kCTFontItalicTrait) styled = [manager convertFont:styled toHaveTrait:NSItalicFontMask];
  return Wrap(styled);
}

CGFloat CTFontGetAscent(CTFontRef font)
{
  return [FontOf(font) ascender];
}

CGFloat CTFontGetDescent(CTFontRef font)
{
  return -[FontOf(font) descender];
}

bool CTFontGetGlyphsForCharacters(CTFontRef, const UniChar* characters, CGGlyph* glyphs, CFIndex count)
{
  bool all = true;
  for (CFIndex i = 0; i < count; ++i)
  {
    const bool surrogate = characters[i] >= 0xD800 && characters[i] <= 0xDFFF;
    glyphs[i] = surrogate ? 0 : characters[i];
    all = all && !surrogate;
  }
  return all;
}

double CTFontGetAdvancesForGlyphs(CTFontRef font, CTFontOrientation, const CGGlyph* glyphs, CGSize* advances,
                                  CFIndex count)
{
  Pool pool;
  double total = 0;
  for (CFIndex i = 0; i < count; ++i)
  {
    const CGFloat width = Advance(FontOf(font), glyphs[i]);
    if (advances) advances[i] = CGSize{width, 0};
    total += width;
  }
  return total;
}

// A glyph's box: its advance wide, from the descent to the ascent (blank glyphs have none).
CGRect CTFontGetBoundingRectsForGlyphs(CTFontRef font, CTFontOrientation, const CGGlyph* glyphs,
                                       CGRect* boundingRects, CFIndex count)
{
  Pool pool;
  NSFont* f = FontOf(font);
  for (CFIndex i = 0; i < count; ++i)
  {
    const bool blank = glyphs[i] <= ' ';
    const CGFloat width = blank ? 0 : Advance(f, glyphs[i]);
    boundingRects[i] = CGRect{{0, [f descender]}, {width, blank ? 0 : [f ascender] - [f descender]}};
  }
  return CGRect{{0, 0}, {0, 0}};
}

// Draws the glyphs' text in white on black into an image of the context's size and keeps its
// brightness as the grey context's pixels (row 0 at the top, as Core Graphics stores them).
void CTFontDrawGlyphs(CTFontRef font, const CGGlyph* glyphs, const CGPoint* positions, size_t count,
                      CGContextRef c)
{
  Pool pool;
  KestruneStandInContext* context = BitmapContext(c);
  NSFont* f = FontOf(font);
  if (!context || !context->mGrey || !f) return;
  const NSInteger w = static_cast<NSInteger>(context->mWidth), h = static_cast<NSInteger>(context->mHeight);
  NSImage* image = [[NSImage alloc] initWithSize:NSMakeSize(w, h)];
  [image lockFocus];
  [[NSGraphicsContext currentContext] setShouldAntialias:context->mAntialias ? YES : NO];
  [[NSColor blackColor] set];
  NSRectFill(NSMakeRect(0, 0, w, h));
  NSColor* colour = [NSColor colorWithDeviceWhite:context->mFillGrey alpha:1];
  NSDictionary* attributes = [NSDictionary dictionaryWithObjectsAndKeys:f, NSFontAttributeName, colour,
                                                                        NSForegroundColorAttributeName, nil];
  for (size_t i = 0; i < count; ++i)
  {
    // drawAtPoint: places the line's bottom (the descent) at the point; the pen is on the baseline.
    [GlyphText(glyphs[i]) drawAtPoint:NSMakePoint(positions[i].x, positions[i].y + [f descender])
                       withAttributes:attributes];
  }
  NSBitmapImageRep* rep = [[NSBitmapImageRep alloc] initWithFocusedViewRect:NSMakeRect(0, 0, w, h)];
  [image unlockFocus];
  const unsigned char* pixels = [rep bitmapData];
  const NSInteger rowBytes = [rep bytesPerRow], step = [rep bitsPerPixel] / 8;
  if (pixels && [rep pixelsWide] >= w && [rep pixelsHigh] >= h && step >= 1)
    for (NSInteger y = 0; y < h; ++y)
      for (NSInteger x = 0; x < w; ++x)
        context->mData[static_cast<size_t>(y) * context->mRowBytes + static_cast<size_t>(x)] =
            pixels[y * rowBytes + step * x];
  [rep release];
  [image release];
}

} // extern "C"
