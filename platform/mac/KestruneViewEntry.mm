// CLS_Kestrune's text entry: a text field or combo box over a control, applied when editing ends.

#import "platform/mac/KestruneView.h"

#include "framework/IControl.h"
#include "framework/IEditableTextControl.h"
#include "framework/IParam.h"
#include "platform/mac/IGraphicsMac.h"
#include "platform/mac/MacTunables.h"

#include <algorithm>
#include <cstring>

namespace
{
NSString* Text(const char* s)
{
  NSString* text = s ? [NSString stringWithUTF8String:s] : nil;
  return text ? text : @"";
}

// The face at the size, or the system font when the face is not installed.
NSFont* FontOrSystem(const char* face, double points)
{
  NSFont* font = [NSFont fontWithName:Text(face) size:points];
  return font ? font : [NSFont systemFontOfSize:points];
}

NSTextAlignment Alignment(int align)
{
  switch (align)
  {
  case IText::kAlignNear:
    return kKestruneAlignLeft;
  case IText::kAlignFar:
    return kKestruneAlignRight;
  default:
    return kKestruneAlignCenter;
  }
}
} // namespace

@implementation CLS_Kestrune (TextEntry)

- (BOOL)isEditing
{
  return mParamEditView != nil;
}

// Shows the field: the view is its delegate, it is added and gets the keyboard.
- (void)beginUserInput:(NSTextField*)field control:(IControl*)control param:(IParam*)param
{
  [[field cell] setLineBreakMode:NSLineBreakByTruncatingTail];
  // The view answers the delegate's one message it needs; it declares no protocol, which GNUstep
  // and Apple's SDK spell differently.
  [field setDelegate:(id)self];
  [self addSubview:field];
  mParamEditView = field; // the reference from alloc
  mEdControl = control;
  mEdParam = param;
  NSWindow* window = [self window];
  [window makeKeyAndOrderFront:nil];
  [window makeFirstResponder:field];
}

- (void)promptUserInput:(IControl*)control param:(IParam*)param center:(BOOL)center
{
  if (!mGraphics || !control || !param || mParamEditView) return;
  char current[MAX_PARAM_NAME_LEN] = {};
  param->GetDisplayForHost(current, sizeof(current));
  const MacViewScale scale = mGraphics->ViewScale();
  const IRECT& r = control->GetRECT();
  const int cx = static_cast<int>((r.L + r.R) * 0.5f), cy = static_cast<int>((r.T + r.B) * 0.5f);
  const int n = param->GetNDisplayTexts();
  // Sizes in editor units, shown as large as the editor is.
  NSFont* font = FontOrSystem(kEntryFontFace, kEntryFontPoints * scale.PointsPerUnit());
  if (n > 0 && (param->Type() == IParam::kTypeBool || param->Type() == IParam::kTypeEnum))
  {
    int width = kComboMinWidthPx;
    for (int i = 0; i < n; ++i)
    {
      const char* item = param->GetDisplayText(i);
      width = std::max(width, kComboCharWidthPx * static_cast<int>(item ? std::strlen(item) : 0) + kComboMarginPx);
    }
    const IRECT area = center ? IRECT(cx - width / 2, cy, cx - width / 2 + width, cy + kComboHeightPx) : r;
    const NSRect frame = KestruneViewRect(scale.ToView(area));
    NSComboBox* box = [[NSComboBox alloc] initWithFrame:frame];
    [box setFont:font];
    [box setNumberOfVisibleItems:n];
    NSInteger selected = -1;
    for (int i = 0; i < n; ++i)
    {
      const char* item = param->GetDisplayText(i);
      [box addItemWithObjectValue:Text(item)];
      if (item && std::strcmp(item, current) == 0) selected = i;
    }
    if (selected >= 0) [box selectItemAtIndex:selected];
    [self beginUserInput:box control:control param:param];
    return;
  }
  const int fieldLeft = cx - kFieldWidthPx / 2, fieldBottom = cy + kFieldAboveCentrePx;
  const IRECT area =
      center ? IRECT(fieldLeft, fieldBottom - kFieldHeightPx, fieldLeft + kFieldWidthPx, fieldBottom) : r;
  const NSRect frame = KestruneViewRect(scale.ToView(area));
  NSTextField* field = [[NSTextField alloc] initWithFrame:frame];
  [field setFont:font];
  [field setAlignment:center ? kKestruneAlignCenter : kKestruneAlignLeft];
  [field setStringValue:Text(current)];
  [self beginUserInput:field control:control param:param];
}

- (void)promptUserInput:(IEditableTextControl*)control
{
  if (!mGraphics || !control || mParamEditView) return;
  const MacViewScale scale = mGraphics->ViewScale();
  const IRECT& r = control->GetRECT();
  const IText* style = control->GetStyle();
  const int bottom = r.B + kTextFieldBottomMarginPx;
  const NSRect frame =
      KestruneViewRect(scale.ToView(IRECT(r.L, bottom - r.H() - kTextFieldHeightExtraPx, r.R, bottom)));
  NSTextField* field = control->IsSecret() ? [[NSSecureTextField alloc] initWithFrame:frame]
                                           : [[NSTextField alloc] initWithFrame:frame];
  if (!control->IsEditable())
  {
    [field setEditable:NO];
    [field setSelectable:YES];
  }
  [field setFont:FontOrSystem(style->mFont, kTextFieldFontScale * style->mSize * scale.PointsPerUnit())];
  [field setAlignment:Alignment(style->mAlign)];
  [field setStringValue:Text(control->GetText().c_str())];
  [self beginUserInput:field control:control param:nullptr];
}

- (void)controlTextDidEndEditing:(NSNotification*)notification
{
  if (!mParamEditView || [notification object] != mParamEditView) return;
  IControl* control = mEdControl;
  IParam* param = mEdParam;
  NSString* text = [mParamEditView stringValue];
  const NSInteger selected = [mParamEditView isKindOfClass:[NSComboBox class]]
                                 ? [static_cast<NSComboBox*>(mParamEditView) indexOfSelectedItem]
                                 : -1;
  const std::string typed = text ? [text UTF8String] : "";
  if (mGraphics && control)
  {
    if (selected >= 0 && param)
      control->SetValueFromUserInput(param->GetNormalized(static_cast<double>(selected)));
    else
      mGraphics->ApplyPromptText(control, param, typed.c_str());
  }
  [self endUserInput];
  [self setNeedsDisplay:YES];
}

- (void)endUserInput
{
  NSTextField* field = mParamEditView;
  if (!field) return;
  IControl* control = mEdControl;
  mParamEditView = nil;
  mEdControl = nullptr;
  mEdParam = nullptr;
  [field setDelegate:nil];
  [field removeFromSuperview];
  // This may run inside the field's own end-of-editing notification: it is let go after the event.
  [field autorelease];
  if (control) control->CancelUserInput();
  [[self window] makeFirstResponder:self];
}

@end
