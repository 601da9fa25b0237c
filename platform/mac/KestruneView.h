#pragma once
// CLS_Kestrune: the editor's NSView. It holds no state of the editor: every event becomes a call of
// its graphics context (IGraphicsMac), with editor coordinates (layout units, y down from the top)
// converted from the view's (points, y up) through the view's height: at 100 % on an ordinary screen
// editor y = H - view y; at other sizes and on Retina screens through the device pixels a point
// covers (MacViewScale.h).
//
// Mouse modifiers: for left-button events L is set and R means Command held, so Command-click acts as
// a right click; for right-button events R is set. S, C and A are Shift, Control and Option.
//
// Text entry: promptUserInput:param:center: (a parameter's value) and promptUserInput: (a free-text
// field) open an NSTextField, or an NSComboBox for a parameter with display texts, over the control;
// the view is its delegate, and controlTextDidEndEditing: applies the text. A left click in the view
// closes an open entry without applying it, a right click closes it (a free-text entry with an empty
// text).
//
// Main thread only (AppKit).

#include "platform/mac/MacCompat.h"

class IControl;
class IEditableTextControl;
class IGraphicsMac;
class IParam;
struct IRECT;
struct MacViewRect;

@interface CLS_Kestrune : NSView
{
  IGraphicsMac* mGraphics;     // null once the editor has closed
  NSTimer* mTimer;             // the editor's timer, retained while it runs
  NSTextField* mParamEditView; // the open text-entry field (or NSComboBox), or nil
  IControl* mEdControl;        // the control being edited
  IParam* mEdParam;            // its parameter, null for a free-text field
}
- (id)initWithIGraphics:(IGraphicsMac*)graphics;
- (BOOL)isOpaque;
- (BOOL)acceptsFirstResponder;
- (BOOL)acceptsFirstMouse:(NSEvent*)event;
- (void)viewDidMoveToWindow;
// The window moved to a screen of another density (AppKit's notice): the editor follows it.
- (void)viewDidChangeBackingProperties;
- (void)drawRect:(NSRect)rect;
- (void)onTimer:(NSTimer*)timer;
- (void)killTimer;
// The graphics context keeps the countdown of a delayed end-of-edit notification; the view forwards.
- (void)setParamChangeTimer:(int)ticks;
- (void)cancelParamChangeTimer;
// The event's position in editor coordinates: the unit under the event's device pixel.
- (void)getMouseXY:(NSEvent*)event x:(int*)x y:(int*)y;
- (void)mouseDown:(NSEvent*)event;
- (void)mouseUp:(NSEvent*)event;
- (void)mouseDragged:(NSEvent*)event;
- (void)rightMouseDown:(NSEvent*)event;
- (void)rightMouseUp:(NSEvent*)event;
- (void)rightMouseDragged:(NSEvent*)event;
- (void)mouseMoved:(NSEvent*)event;
- (void)scrollWheel:(NSEvent*)event;
- (NSDragOperation)draggingEntered:(id<NSDraggingInfo>)sender;
- (BOOL)performDragOperation:(id<NSDraggingInfo>)sender;
// A tooltip area for the control at controlIdx over its editor rectangle r.
- (void)registerToolTip:(int)controlIdx rect:(const IRECT*)r;
- (NSString*)view:(NSView*)view stringForToolTip:(NSToolTipTag)tag point:(NSPoint)point userData:(void*)data;
- (void)removeFromSuperview;
// Forgets the graphics context (it is closing the view).
- (void)detachGraphics;
@end

// Text entry (KestruneViewEntry.mm).
@interface CLS_Kestrune (TextEntry)
- (void)promptUserInput:(IEditableTextControl*)control;
- (void)promptUserInput:(IControl*)control param:(IParam*)param center:(BOOL)center;
- (void)controlTextDidEndEditing:(NSNotification*)notification;
// Whether a text-entry field is open.
- (BOOL)isEditing;
// Closes the text-entry field without applying it (a left click, the editor closing), or after it
// was applied: the field leaves the view now and is released after the current event.
- (void)endUserInput;
@end

// A rectangle of the view's points as an NSRect.
NSRect KestruneViewRect(const MacViewRect& r);
