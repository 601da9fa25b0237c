#pragma once
// The one include seam of the macOS code. Every macOS source includes this header instead of Apple's
// framework headers:
//
// - With Apple's SDK (a real Mac): <Cocoa/Cocoa.h> (in Objective-C++), Core Graphics and Core Text.
// - Without it (KESTRUNE_NO_APPLE_SDK: the cross build of the Mach-O bundle on Linux, and GNUstep):
//   GNUstep's AppKit and Foundation headers for the Cocoa classes, and MacCoreDecls.h, our own small
//   declarations of the Core Foundation, Core Graphics and Core Text calls we use, with Apple's
//   signatures and values.
//
// The Cocoa calls are written in spellings that Apple's SDK and GNUstep both accept. The few names
// GNUstep lacks, and the few values in which GNUstep's headers differ from what a Mac expects, are
// given here as Kestrune... names, so that the rest of the code never tests which headers it has.

#if defined(__APPLE__) && !defined(KESTRUNE_NO_APPLE_SDK)
#define KESTRUNE_APPLE_SDK 1
#include <CoreGraphics/CoreGraphics.h>
#include <CoreText/CoreText.h>
#ifdef __OBJC__
#import <Cocoa/Cocoa.h>
#endif
#else
#ifdef __OBJC__
#import <AppKit/AppKit.h>
#import <Foundation/Foundation.h>
#endif
#include "platform/mac/MacCoreDecls.h"
#endif

#ifdef __OBJC__

// Modifier flags of an event.
#if defined(KESTRUNE_APPLE_SDK)
constexpr NSUInteger kKestruneModShift = NSEventModifierFlagShift;
constexpr NSUInteger kKestruneModControl = NSEventModifierFlagControl;
constexpr NSUInteger kKestruneModOption = NSEventModifierFlagOption;
constexpr NSUInteger kKestruneModCommand = NSEventModifierFlagCommand;
#else
// GNUstep has only the older names; their values are Apple's.
constexpr NSUInteger kKestruneModShift = NSShiftKeyMask;
constexpr NSUInteger kKestruneModControl = NSControlKeyMask;
constexpr NSUInteger kKestruneModOption = NSAlternateKeyMask;
constexpr NSUInteger kKestruneModCommand = NSCommandKeyMask;
#endif

// Text alignment. A Mac on arm64 numbers centre and right the other way round from x86_64 (and from
// GNUstep), so a build that has no Apple SDK spells out what the target expects.
#if defined(KESTRUNE_APPLE_SDK) || !defined(__APPLE__)
constexpr NSTextAlignment kKestruneAlignLeft = NSTextAlignmentLeft;
constexpr NSTextAlignment kKestruneAlignCenter = NSTextAlignmentCenter;
constexpr NSTextAlignment kKestruneAlignRight = NSTextAlignmentRight;
#elif defined(__arm64__) || defined(__aarch64__)
constexpr NSTextAlignment kKestruneAlignLeft = 0;
constexpr NSTextAlignment kKestruneAlignCenter = 1;
constexpr NSTextAlignment kKestruneAlignRight = 2;
#else
constexpr NSTextAlignment kKestruneAlignLeft = 0;
constexpr NSTextAlignment kKestruneAlignCenter = 2;
constexpr NSTextAlignment kKestruneAlignRight = 1;
#endif

// Initialises AppKit for use inside a host that may not be a Cocoa application. GNUstep has no
// NSApplicationLoad: there the shared application object does the same.
// Schedules a timer in the run loop's common modes, so that it fires during live resizing, menu
// tracking and modal panels too. GNUstep does not expand NSRunLoopCommonModes: there the timer is
// added to each of those modes.
inline void KestruneAddTimerInCommonModes(NSTimer* timer)
{
#if defined(__APPLE__)
  [[NSRunLoop currentRunLoop] addTimer:timer forMode:NSRunLoopCommonModes];
#else
  NSString* const modes[] = {NSDefaultRunLoopMode, NSModalPanelRunLoopMode, NSEventTrackingRunLoopMode};
  for (NSString* mode : modes)
    [[NSRunLoop currentRunLoop] addTimer:timer forMode:mode];
#endif
}

// Device pixels per point of the view's window, or of the main screen while the view has no window
// (or no view is given): 2 on Retina screens, 1 on ordinary ones; 1 when AppKit cannot tell.
// GNUstep answers 1 for backingScaleFactor; its HiDPI factor (the GSScaleFactor default, by which it
// scales every window's points to device pixels) is its userSpaceScaleFactor.
inline CGFloat KestruneBackingScale(NSView* view)
{
  NSWindow* window = view ? [view window] : nil;
#if defined(__APPLE__)
  const CGFloat factor = window ? [window backingScaleFactor] : [[NSScreen mainScreen] backingScaleFactor];
#else
  const CGFloat factor =
      window ? [window userSpaceScaleFactor] : [[NSScreen mainScreen] userSpaceScaleFactor];
#endif
  return factor > 0 ? factor : 1;
}

#if defined(__APPLE__) && !defined(KESTRUNE_APPLE_SDK)
extern "C" BOOL NSApplicationLoad(void);
#endif
inline void KestruneLoadApplicationKit()
{
#if defined(__APPLE__)
  NSApplicationLoad();
#else
  [NSApplication sharedApplication];
#endif
}

#endif // __OBJC__
