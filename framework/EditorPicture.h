#pragma once
// The editor's picture without a window: a vendor-specific call of ours with which a host (our
// kestrune-host snapshot) has the plug-in draw its editor into host memory. The editor need not be
// open; an open editor is drawn as it stands and its window repaints by itself later. Other hosts
// never send this index, and other plug-ins answer it with 0, which tells the host to look elsewhere.
//
//   dispatcher(effect, effVendorSpecific, kVendorEditorPictureIndex, kVendorEditorPictureValue,
//              &request, 0.0f) == kVendorEditorPictureDrawn
//
// The plug-in draws every control, then runs `ticks` editor timer ticks, each followed by a redraw of
// what changed (as a window's timer and paint requests would), and copies the result. A request
// without pixels asks only for the size: width and height are filled in for the scale asked.

#include "framework/VstDefs.h"

#include <cstdint>

constexpr VstInt32 kVendorEditorPictureIndex = VstFourCC('K', 'p', 'i', 'c');
constexpr VstIntPtr kVendorEditorPictureValue = VstFourCC('E', 'd', 'i', 't');
constexpr VstIntPtr kVendorEditorPictureDrawn = 0xBEEF; // the answer, as the other vendor calls answer
constexpr int kEditorPictureMaxTicks = 10000; // more than minutes of editor time is a caller's mistake

struct EditorPictureRequest
{
  VstInt32 width = 0;  // in: the buffer's size in pixels; it must be the editor's size at that scale
  VstInt32 height = 0; //
  VstInt32 ticks = 0;  // in: timer ticks after the full draw, 0 .. kEditorPictureMaxTicks
  VstInt32 scale = 0;  // in: the editor's size in percent, 100, 150 or 200; 0 = the size it has now
  // out: width * height pixel words, rows from the top, each word A in bits 24-31, R in 16-23, G in
  // 8-15 and B in 0-7 whatever the platform's own pixel order; A is 255, as on the screen.
  uint32_t* pixels = nullptr;
};
