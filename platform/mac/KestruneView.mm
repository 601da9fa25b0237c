// CLS_Kestrune: life, timer, drawing, mouse, wheel, file drops and tooltips. Text entry is in
// KestruneViewEntry.mm.

#import "platform/mac/KestruneView.h"

#include "framework/IControl.h"
#include "framework/IEffectBase.h"
#include "platform/mac/IGraphicsMac.h"

#include <cstdint>

NSRect KestruneViewRect(const MacViewRect& r)
{
  return NSMakeRect(r.x, r.y, r.w, r.h);
}

namespace
{
// Modifiers of a left-button (right = false) or right-button event.
IMouseMod MouseMod(NSEvent* event, bool right)
{
  const NSUInteger flags = [event modifierFlags];
  const bool shift = (flags & kKestruneModShift) != 0, control = (flags & kKestruneModControl) != 0;
  const bool option = (flags & kKestruneModOption) != 0;
  if (right) return IMouseMod(false, true, shift, control, option);
  return IMouseMod(true, (flags & kKestruneModCommand) != 0, shift, control, option);
}

// The first file name of a drag's pasteboard, or nil.
NSString* FirstFileName(id<NSDraggingInfo> sender)
{
  NSPasteboard* pasteboard = [sender draggingPasteboard];
  if (![[pasteboard types] containsObject:NSFilenamesPboardType]) return nil;
  id files = [pasteboard propertyListForType:NSFilenamesPboardType];
  if (![files isKindOfClass:[NSArray class]] || [files count] == 0) return nil;
  id first = [files objectAtIndex:0];
  return [first isKindOfClass:[NSString class]] ? first : nil;
}
} // namespace

@implementation CLS_Kestrune

- (id)init
{
  return [self initWithIGraphics:nullptr];
}

- (id)initWithIGraphics:(IGraphicsMac*)graphics
{
  // The size in points at the backing factor the editor expects; the window's own follows at once
  // (viewDidMoveToWindow).
  const int w = graphics ? graphics->WindowWidth() : 0, h = graphics ? graphics->WindowHeight() : 0;
  self = [super initWithFrame:NSMakeRect(0, 0, w, h)];
  if (!self) return nil;
  mGraphics = graphics;
  if (graphics)
  {
    mTimer = [[NSTimer timerWithTimeInterval:1.0 / graphics->FPS()
                                      target:self
                                    selector:@selector(onTimer:)
                                    userInfo:nil
                                     repeats:YES] retain];
    KestruneAddTimerInCommonModes(mTimer);
    graphics->SetCursor(IGraphics::kCursorArrow);
    if (graphics->AcceptsDrops())
      [self registerForDraggedTypes:[NSArray arrayWithObject:NSFilenamesPboardType]];
  }
  return self;
}

- (void)dealloc
{
  [self killTimer];
  [super dealloc];
}

- (BOOL)isOpaque
{
  return mGraphics ? YES : NO;
}

- (BOOL)acceptsFirstResponder
{
  return YES;
}

- (BOOL)acceptsFirstMouse:(NSEvent*)event
{
  (void)event;
  return YES;
}

- (void)viewDidMoveToWindow
{
  NSWindow* window = [self window];
  if (!window) return;
  [window makeFirstResponder:self];
  [window setAcceptsMouseMovedEvents:YES];
  if (mGraphics) mGraphics->FollowBackingScale();
}

- (void)viewDidChangeBackingProperties
{
  if (mGraphics) mGraphics->FollowBackingScale();
}

- (void)drawRect:(NSRect)rect
{
  if (!mGraphics) return;
  MacViewRect points;
  points.x = rect.origin.x;
  points.y = rect.origin.y;
  points.w = rect.size.width;
  points.h = rect.size.height;
  IRECT area = mGraphics->ViewScale().ToUnits(points);
  mGraphics->Draw(&area);
}

- (void)onTimer:(NSTimer*)timer
{
  if (timer != mTimer || !mGraphics) return;
  // Dirty controls and the always-redraw strip are marked for display through InvalidateRect; the
  // countdown of a delayed end-of-edit notification runs here too.
  mGraphics->OnTimerTick();
  // The alerts other threads posted, here on the main thread. An alert's modal loop runs this timer
  // too (common modes), and the host may close the editor meanwhile: the view stays alive until the
  // alert is answered.
  IGraphicsMac* graphics = mGraphics;
  [self retain];
  graphics->ShowPostedMessages();
  [self release];
}

- (void)killTimer
{
  if (!mTimer) return;
  [mTimer invalidate];
  [mTimer release];
  mTimer = nil;
}

- (void)setParamChangeTimer:(int)ticks
{
  if (mGraphics) mGraphics->IGraphics::SetParamChangeTimer(ticks);
}

- (void)cancelParamChangeTimer
{
  if (mGraphics) mGraphics->IGraphics::CancelParamChangeTimer();
}

- (void)getMouseXY:(NSEvent*)event x:(int*)x y:(int*)y
{
  const NSPoint p = [self convertPoint:[event locationInWindow] fromView:nil];
  *x = 0;
  *y = 0;
  if (mGraphics) mGraphics->ViewScale().ToUnits(p.x, p.y, x, y);
}

- (void)mouseDown:(NSEvent*)event
{
  if (!mGraphics) return;
  if ([self isEditing]) [self endUserInput];
  int x = 0, y = 0;
  [self getMouseXY:event x:&x y:&y];
  IMouseMod mod = MouseMod(event, false);
  if ([event clickCount] >= 2)
    mGraphics->OnMouseDblClick(x, y, &mod);
  else
    mGraphics->OnMouseDown(x, y, &mod);
}

- (void)mouseUp:(NSEvent*)event
{
  if (!mGraphics) return;
  int x = 0, y = 0;
  [self getMouseXY:event x:&x y:&y];
  IMouseMod mod = MouseMod(event, false);
  mGraphics->OnMouseUp(x, y, &mod);
}

- (void)mouseDragged:(NSEvent*)event
{
  if (!mGraphics) return;
  int x = 0, y = 0;
  [self getMouseXY:event x:&x y:&y];
  IMouseMod mod = MouseMod(event, false);
  mGraphics->OnMouseDrag(x, y, &mod);
}

- (void)rightMouseDown:(NSEvent*)event
{
  if (!mGraphics) return;
  if ([self isEditing])
  {
    // A right click ends an open entry: a free-text one with an empty text, a value one unapplied.
    if (!mEdParam) mGraphics->ApplyPromptText(mEdControl, nullptr, "");
    [self endUserInput];
    return;
  }
  int x = 0, y = 0;
  [self getMouseXY:event x:&x y:&y];
  IMouseMod mod = MouseMod(event, true);
  mGraphics->OnMouseDown(x, y, &mod);
}

- (void)rightMouseUp:(NSEvent*)event
{
  if (!mGraphics) return;
  int x = 0, y = 0;
  [self getMouseXY:event x:&x y:&y];
  IMouseMod mod = MouseMod(event, true);
  mGraphics->OnMouseUp(x, y, &mod);
}

- (void)rightMouseDragged:(NSEvent*)event
{
  if (!mGraphics) return;
  int x = 0, y = 0;
  [self getMouseXY:event x:&x y:&y];
  IMouseMod mod = MouseMod(event, true);
  mGraphics->OnMouseDrag(x, y, &mod);
}

- (void)mouseMoved:(NSEvent*)event
{
  if (!mGraphics) return;
  int x = 0, y = 0;
  [self getMouseXY:event x:&x y:&y];
  IMouseMod mod = MouseMod(event, false);
  mGraphics->OnMouseOver(x, y, &mod);
}

- (void)scrollWheel:(NSEvent*)event
{
  if (!mGraphics) return;
  // Whole steps only: a delta below 1 (a trackpad's fine scrolling) moves nothing.
  const int d = static_cast<int>([event deltaY]);
  if (d == 0) return;
  int x = 0, y = 0;
  [self getMouseXY:event x:&x y:&y];
  IMouseMod mod = MouseMod(event, false);
  mGraphics->OnMouseWheel(x, y, &mod, d);
}

- (NSDragOperation)draggingEntered:(id<NSDraggingInfo>)sender
{
  return FirstFileName(sender) ? NSDragOperationLink : NSDragOperationNone;
}

- (BOOL)performDragOperation:(id<NSDraggingInfo>)sender
{
  NSString* file = FirstFileName(sender);
  if (!file || !mGraphics) return YES;
  const NSPoint p = [self convertPoint:[sender draggingLocation] fromView:nil];
  int x = 0, y = 0;
  mGraphics->ViewScale().ToUnits(p.x, p.y, &x, &y);
  // Only the first of several files is loaded.
  mGraphics->OnDrop(x, y, [file UTF8String]);
  return YES;
}

- (void)registerToolTip:(int)controlIdx rect:(const IRECT*)r
{
  if (!mGraphics || !r) return;
  [self addToolTipRect:KestruneViewRect(mGraphics->ViewScale().ToView(*r))
                 owner:self
              userData:reinterpret_cast<void*>(static_cast<intptr_t>(controlIdx))];
}

- (NSString*)view:(NSView*)view stringForToolTip:(NSToolTipTag)tag point:(NSPoint)point userData:(void*)data
{
  (void)view;
  (void)tag;
  (void)point;
  IControl* control = mGraphics ? mGraphics->GetControl(static_cast<int>(reinterpret_cast<intptr_t>(data))) : nullptr;
  const char* text = control ? control->GetTooltip() : nullptr;
  if (!text || !*text || control->IsHidden() || control->IsGrayed()) return @"";
  return [NSString stringWithUTF8String:text];
}

- (void)removeFromSuperview
{
  // AppKit may send this to a view that has no superview yet (GNUstep's addSubview: does): nothing
  // is being removed then.
  if (![self superview])
  {
    [super removeFromSuperview];
    return;
  }
  [self endUserInput];
  if (IGraphicsMac* graphics = mGraphics)
  {
    // The host removes the editor: the graphics context lets the view go (later, not inside this call).
    mGraphics = nullptr;
    graphics->ViewRemoved();
  }
  [super removeFromSuperview];
}

- (void)detachGraphics
{
  [self endUserInput];
  mGraphics = nullptr;
}

@end
