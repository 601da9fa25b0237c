// kestrune-gnustep-host: a small VST host for the GNUstep run of the macOS editor. It loads the GNUstep
// build's Kestrune.vst (the bundle by its path, so that the editor finds its images by identifier;
// its executable with dlopen, entry point VSTPluginMain), opens the plug-in, and hands the content view
// of an NSWindow to effEditOpen. Closing the window closes the editor and the plug-in and ends the
// program.
//
// It writes a log, one event a line, for the test script:
//   ready <x> <y> <w> <h> view ... at ...   the editor is open; the window's content in screen pixels
//                              (y down); the sizes as on "count"
//   call <selector> / done <selector>   a message CLS_Kestrune received and finished (every selector
//                              of the view except the timer's and drawing, which are counted)
//   ticks <n> draws <n> top <y> view <w> <h> rect <w> <h> at <x> <y>   on "count": timer ticks and
//                              drawRect: calls so far, the top edge of the last area drawn (view
//                              coordinates, y up), the editor view's frame and effEditGetRect's size
//                              (points), the window content's top-left corner (screen pixels)
//   size <w> <h>               the editor asked for a window of w x h points (audioMasterSizeWindow);
//                              the host resizes its window's content to that size
//   density <f> view <w> <h> rect <w> <h> at <x> <y>   on "density": the screen's factor is now f (GNUstep's
//                              GSScaleFactor in this process) and the view was told
//                              (viewDidChangeBackingProperties); its frame and effEditGetRect after it
//   automate <index> <value> / begin <index> / end <index>   the host callbacks of parameter edits
//   param <index> <value>      at "ready": the normalised values of parameters 0, 5 and 9
//   closed                     the editor and the plug-in closed
// Settings come from the environment (GNUstep takes command-line words for documents to open):
//   KESTRUNE_BUNDLE    path of Kestrune.vst        KESTRUNE_HOST_LOG   the log file
//   KESTRUNE_HOST_SCALE_FACTOR  device pixels per point of the screen (GNUstep's GSScaleFactor, for
//                          this process only: its registration domain, never written to the user's defaults)
//   KESTRUNE_HOST_DENSITY  the factor SIGHUP switches the screen to (default 1)
// Sending SIGUSR1 writes the "ticks" line; SIGUSR2 closes the window as its close button would; SIGHUP
// moves the window to a screen of another density as far as GNUstep can: its scale factor changes in
// this process and the view receives AppKit's notice of a change (GNUstep sends none, and keeps drawing
// the window at its first factor).

#import <AppKit/AppKit.h>

#include "framework/VstDefs.h"

#include <objc/runtime.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <map>
#include <string>
#include <unistd.h>

namespace
{
FILE* sLog = stderr;
AEffect* sEffect = nullptr;
long sTicks = 0, sDraws = 0;
double sLastDrawTop = -1;
volatile sig_atomic_t sCountAsked = 0;
volatile sig_atomic_t sCloseAsked = 0;
volatile sig_atomic_t sDensityAsked = 0;
NSWindow* sWindow = nil;

void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Log(const char* format, ...)
{
  va_list args;
  va_start(args, format);
  std::vfprintf(sLog, format, args);
  va_end(args);
  std::fputc('\n', sLog);
  std::fflush(sLog);
}

VstIntPtr HostCallback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
  switch (opcode)
  {
  case audioMasterVersion:
    return kVstVersion;
  case audioMasterAutomate:
    Log("automate %d %.4f", index, static_cast<double>(opt));
    return 0;
  case audioMasterBeginEdit:
    Log("begin %d", index);
    return 1;
  case audioMasterEndEdit:
    Log("end %d", index);
    return 1;
  case audioMasterSizeWindow:
    Log("size %d %d", index, static_cast<int>(value));
    if (sWindow) [sWindow setContentSize:NSMakeSize(index, static_cast<CGFloat>(value))];
    return 1;
  case audioMasterGetProductString:
    if (ptr) std::snprintf(static_cast<char*>(ptr), kVstMaxProductStrLen, "GNUstep test host");
    return 1;
  default:
    return 0;
  }
}

VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0)
{
  return sEffect->dispatcher(sEffect, opcode, index, value, ptr, opt);
}

// ---- Messages to the view, logged around the original implementations ----

// By name: the GNU runtime's selectors of one name may differ by their types.
std::map<std::string, IMP>& Originals()
{
  static std::map<std::string, IMP> originals;
  return originals;
}

// Function pointers pass through void (*)(), the one type every other converts to without a warning.
template <typename F> F Original(SEL sel)
{
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(Originals()[sel_getName(sel)]));
}

template <typename F> IMP AsImp(F function)
{
  return reinterpret_cast<IMP>(reinterpret_cast<void (*)()>(function));
}

void LoggedObject(id self, SEL sel, id object)
{
  Log("call %s", sel_getName(sel));
  Original<void (*)(id, SEL, id)>(sel)(self, sel, object);
  Log("done %s", sel_getName(sel));
}

void LoggedVoid(id self, SEL sel)
{
  Log("call %s", sel_getName(sel));
  Original<void (*)(id, SEL)>(sel)(self, sel);
  Log("done %s", sel_getName(sel));
}

NSUInteger LoggedDragEntered(id self, SEL sel, id sender)
{
  Log("call %s", sel_getName(sel));
  const NSUInteger answer = Original<NSUInteger (*)(id, SEL, id)>(sel)(self, sel, sender);
  Log("done %s %lu", sel_getName(sel), static_cast<unsigned long>(answer));
  return answer;
}

BOOL LoggedBoolObject(id self, SEL sel, id object)
{
  Log("call %s", sel_getName(sel));
  const BOOL answer = Original<BOOL (*)(id, SEL, id)>(sel)(self, sel, object);
  Log("done %s", sel_getName(sel));
  return answer;
}

void LoggedPrompt(id self, SEL sel, void* control, void* param, BOOL center)
{
  Log("call %s", sel_getName(sel));
  Original<void (*)(id, SEL, void*, void*, BOOL)>(sel)(self, sel, control, param, center);
  Log("done %s", sel_getName(sel));
}

void LoggedPointer(id self, SEL sel, void* pointer)
{
  Log("call %s", sel_getName(sel));
  Original<void (*)(id, SEL, void*)>(sel)(self, sel, pointer);
  Log("done %s", sel_getName(sel));
}

void CountedTimer(id self, SEL sel, id timer)
{
  ++sTicks;
  Original<void (*)(id, SEL, id)>(sel)(self, sel, timer);
}

void CountedDraw(id self, SEL sel, NSRect rect)
{
  ++sDraws;
  sLastDrawTop = rect.origin.y + rect.size.height;
  Original<void (*)(id, SEL, NSRect)>(sel)(self, sel, rect);
}

void Wrap(Class cls, const char* name, IMP wrapper)
{
  SEL sel = sel_registerName(name);
  Method method = class_getInstanceMethod(cls, sel);
  if (!method)
  {
    Log("missing %s", name);
    return;
  }
  Originals()[name] = method_getImplementation(method);
  // On the class itself, so that the view's inherited methods (NSView's) are not touched.
  if (!class_addMethod(cls, sel, wrapper, method_getTypeEncoding(method))) method_setImplementation(method, wrapper);
}

void WrapView()
{
  Class view = objc_getClass("CLS_Kestrune");
  if (!view)
  {
    Log("missing CLS_Kestrune");
    return;
  }
  for (const char* name : {"mouseDown:", "mouseUp:", "mouseDragged:", "rightMouseDown:", "rightMouseUp:",
                           "rightMouseDragged:", "mouseMoved:", "scrollWheel:", "controlTextDidEndEditing:"})
    Wrap(view, name, AsImp(&LoggedObject));
  for (const char* name : {"viewDidMoveToWindow", "removeFromSuperview", "endUserInput", "killTimer"})
    Wrap(view, name, AsImp(&LoggedVoid));
  Wrap(view, "draggingEntered:", AsImp(&LoggedDragEntered));
  Wrap(view, "performDragOperation:", AsImp(&LoggedBoolObject));
  Wrap(view, "promptUserInput:param:center:", AsImp(&LoggedPrompt));
  Wrap(view, "promptUserInput:", AsImp(&LoggedPointer));
  Wrap(view, "onTimer:", AsImp(&CountedTimer));
  Wrap(view, "drawRect:", AsImp(&CountedDraw));
}

void AskCount(int)
{
  sCountAsked = 1;
}

void AskClose(int)
{
  sCloseAsked = 1;
}

void AskDensity(int)
{
  sDensityAsked = 1;
}

// The editor's view (the content view's first subview), or nil.
NSView* EditorView(NSWindow* window)
{
  NSArray* views = [[window contentView] subviews];
  return [views count] > 0 ? [views objectAtIndex:0] : nil;
}

// GNUstep's scale factor of every window (device pixels per point) for this process alone: in the
// registration domain, which is never saved (a factor in the user's own defaults would win).
void SetScaleFactor(double factor)
{
  [[NSUserDefaults standardUserDefaults]
      registerDefaults:[NSDictionary dictionaryWithObject:[NSNumber numberWithDouble:factor] forKey:@"GSScaleFactor"]];
}

// " view <w> <h> rect <w> <h> at <x> <y>": the editor view's frame, effEditGetRect's size and the
// window content's place.
std::string Sizes(NSWindow* window)
{
  const NSSize frame = [EditorView(window) frame].size;
  ERect* rect = nullptr;
  sEffect->dispatcher(sEffect, effEditGetRect, 0, 0, &rect, 0);
  // The content's top-left corner on the screen (pixels, y down), for the script's pointer.
  const NSRect content = [window contentRectForFrameRect:[window frame]];
  const CGFloat screenHeight = [[window screen] frame].size.height;
  char text[128];
  std::snprintf(text, sizeof(text), " view %d %d rect %d %d at %d %d", static_cast<int>(frame.width),
                static_cast<int>(frame.height), rect ? rect->right - rect->left : 0, rect ? rect->bottom - rect->top : 0,
                static_cast<int>(content.origin.x),
                static_cast<int>(screenHeight - content.origin.y - content.size.height));
  return text;
}
} // namespace

@interface KestruneHost : NSObject
{
  NSWindow* mWindow;
}
- (BOOL)open;
- (void)poll:(NSTimer*)timer;
- (void)windowWillClose:(NSNotification*)notification;
@end

@implementation KestruneHost
- (BOOL)open
{
  const char* bundlePath = std::getenv("KESTRUNE_BUNDLE");
  NSBundle* bundle = bundlePath ? [NSBundle bundleWithPath:[NSString stringWithUTF8String:bundlePath]] : nil;
  if (!bundle)
  {
    Log("error no bundle at %s", bundlePath ? bundlePath : "(KESTRUNE_BUNDLE unset)");
    return NO;
  }
  Log("bundle %s", [[bundle bundleIdentifier] UTF8String]);
  NSString* executable = [[bundle bundlePath] stringByAppendingPathComponent:@"Contents/MacOS/Kestrune"];
  void* module = dlopen([executable fileSystemRepresentation], RTLD_NOW | RTLD_LOCAL);
  auto entry = module ? reinterpret_cast<AEffect* (*)(audioMasterCallback)>(dlsym(module, "VSTPluginMain")) : nullptr;
  if (!entry)
  {
    Log("error %s", dlerror());
    return NO;
  }
  WrapView();
  sEffect = entry(&HostCallback);
  if (!sEffect || sEffect->magic != kEffectMagic)
  {
    Log("error no effect");
    return NO;
  }
  Dispatch(effOpen);
  Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
  Dispatch(effMainsChanged, 0, 1);
  ERect* rect = nullptr;
  Dispatch(effEditGetRect, 0, 0, &rect);
  const int w = rect ? rect->right - rect->left : 0, h = rect ? rect->bottom - rect->top : 0;
  mWindow = [[NSWindow alloc] initWithContentRect:NSMakeRect(40, 200, w, h)
                                        styleMask:NSTitledWindowMask | NSClosableWindowMask
                                          backing:NSBackingStoreBuffered
                                            defer:NO];
  sWindow = mWindow;
  [mWindow setTitle:@"Kestrune GNUstep host"];
  [mWindow setReleasedWhenClosed:NO];
  [mWindow setDelegate:(id)self];
  [mWindow makeKeyAndOrderFront:nil];
  Dispatch(effEditOpen, 0, 0, [mWindow contentView]);
  [NSTimer scheduledTimerWithTimeInterval:0.2 target:self selector:@selector(poll:) userInfo:nil repeats:YES];
  [self performSelector:@selector(announce) withObject:nil afterDelay:0.5];
  return YES;
}

- (void)announce
{
  // The content's place on the screen, top-left origin, for the script's pointer.
  const NSRect content = [mWindow contentRectForFrameRect:[mWindow frame]];
  const CGFloat screenHeight = [[mWindow screen] frame].size.height;
  Log("ready %d %d %d %d%s", static_cast<int>(content.origin.x),
      static_cast<int>(screenHeight - content.origin.y - content.size.height), static_cast<int>(content.size.width),
      static_cast<int>(content.size.height), Sizes(mWindow).c_str());
  for (int index : {0, 5, 9})
    Log("param %d %.4f", index, static_cast<double>(sEffect->getParameter(sEffect, index)));
}

- (void)poll:(NSTimer*)timer
{
  (void)timer;
  if (sCloseAsked)
  {
    sCloseAsked = 0;
    [mWindow performClose:nil];
    return;
  }
  if (sDensityAsked)
  {
    sDensityAsked = 0;
    const char* factor = std::getenv("KESTRUNE_HOST_DENSITY");
    const double f = factor ? std::atof(factor) : 1.0;
    SetScaleFactor(f);
    // By name: GNUstep's NSView does not declare the notice.
    [EditorView(mWindow) performSelector:sel_registerName("viewDidChangeBackingProperties")];
    Log("density %g%s", f, Sizes(mWindow).c_str());
  }
  if (!sCountAsked) return;
  sCountAsked = 0;
  Log("ticks %ld draws %ld top %d%s", sTicks, sDraws, static_cast<int>(sLastDrawTop), Sizes(mWindow).c_str());
}

- (void)windowWillClose:(NSNotification*)notification
{
  (void)notification;
  Dispatch(effEditClose);
  Dispatch(effMainsChanged, 0, 0);
  Dispatch(effClose);
  sEffect = nullptr;
  Log("closed");
  [NSApp terminate:nil];
}
@end

int main()
{
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  if (const char* path = std::getenv("KESTRUNE_HOST_LOG"))
    if (FILE* f = std::fopen(path, "w")) sLog = f;
  std::signal(SIGUSR1, AskCount);
  std::signal(SIGUSR2, AskClose);
  std::signal(SIGHUP, AskDensity);
  if (const char* factor = std::getenv("KESTRUNE_HOST_SCALE_FACTOR")) SetScaleFactor(std::atof(factor));
  [NSApplication sharedApplication];
  KestruneHost* host = [[KestruneHost alloc] init];
  if (![host open]) return 1;
  [NSApp run];
  [pool release];
  return 0;
}
