// kestrune-gnustep-drag: the other program of the GNUstep run. With KESTRUNE_DRAG_FILES (paths joined
// by ':') it shows a small window; a drag that starts in it carries those files as file names, as a
// file manager's drag does. With KESTRUNE_DRAG_PASTE set it prints the general pasteboard's text and
// ends: the other side of a pasteboard round trip. Settings come from the environment (GNUstep takes
// command-line words for documents to open). It prints "ready <x> <y>", the middle of its window in
// screen pixels (y down), once the window shows.

#import <AppKit/AppKit.h>

#include <cstdio>
#include <cstdlib>

@interface KestruneDragView : NSView
{
  NSArray* mFiles;
}
- (id)initWithFrame:(NSRect)frame files:(NSArray*)files;
@end

@implementation KestruneDragView
- (id)initWithFrame:(NSRect)frame files:(NSArray*)files
{
  self = [super initWithFrame:frame];
  if (self) mFiles = [files retain];
  return self;
}

- (void)dealloc
{
  [mFiles release];
  [super dealloc];
}

- (void)drawRect:(NSRect)rect
{
  [[NSColor orangeColor] set];
  NSRectFill(rect);
}

- (NSUInteger)draggingSourceOperationMaskForLocal:(BOOL)isLocal
{
  (void)isLocal;
  return NSDragOperationCopy | NSDragOperationLink | NSDragOperationGeneric;
}

- (void)mouseDown:(NSEvent*)event
{
  NSPasteboard* pasteboard = [NSPasteboard pasteboardWithName:NSDragPboard];
  [pasteboard declareTypes:[NSArray arrayWithObject:NSFilenamesPboardType] owner:nil];
  [pasteboard setPropertyList:mFiles forType:NSFilenamesPboardType];
  NSImage* image = [[[NSImage alloc] initWithSize:NSMakeSize(16, 16)] autorelease];
  [image lockFocus];
  [[NSColor blueColor] set];
  NSRectFill(NSMakeRect(0, 0, 16, 16));
  [image unlockFocus];
  const NSPoint at = [self convertPoint:[event locationInWindow] fromView:nil];
  [self dragImage:image at:at offset:NSMakeSize(0, 0) event:event pasteboard:pasteboard source:self slideBack:NO];
}
@end

@interface KestruneDragApp : NSObject
{
  NSWindow* mWindow;
}
- (void)showFiles:(NSArray*)files;
@end

@implementation KestruneDragApp
- (void)showFiles:(NSArray*)files
{
  mWindow = [[NSWindow alloc] initWithContentRect:NSMakeRect(900, 100, 160, 120)
                                        styleMask:NSTitledWindowMask
                                          backing:NSBackingStoreBuffered
                                            defer:NO];
  [mWindow setTitle:@"Kestrune drag source"];
  [mWindow setContentView:[[[KestruneDragView alloc] initWithFrame:NSMakeRect(0, 0, 160, 120) files:files] autorelease]];
  [mWindow makeKeyAndOrderFront:nil];
  [self performSelector:@selector(announce) withObject:nil afterDelay:0.5];
}

- (void)announce
{
  const NSRect content = [mWindow contentRectForFrameRect:[mWindow frame]];
  const CGFloat screenHeight = [[mWindow screen] frame].size.height;
  std::printf("ready %d %d\n", static_cast<int>(NSMidX(content)), static_cast<int>(screenHeight - NSMidY(content)));
  std::fflush(stdout);
}
@end

int main()
{
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  [NSApplication sharedApplication];
  if (std::getenv("KESTRUNE_DRAG_PASTE"))
  {
    NSString* text = [[NSPasteboard generalPasteboard] stringForType:NSPasteboardTypeString];
    std::printf("%s\n", text ? [text UTF8String] : "");
    [pool release];
    return text ? 0 : 1;
  }
  const char* files = std::getenv("KESTRUNE_DRAG_FILES");
  if (!files) return 2;
  NSArray* paths = [[NSString stringWithUTF8String:files] componentsSeparatedByString:@":"];
  KestruneDragApp* app = [[KestruneDragApp alloc] init];
  [app showFiles:paths];
  [NSApp run];
  [pool release];
  return 0;
}
