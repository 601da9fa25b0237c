#pragma once
// The editor's sizes against AppKit's points.
//
// The editor's scale is what it is on every platform: device pixels per layout unit (100, 150 or 200 %
// of the 808 x 492 units; the back buffer is PixelWidth() x PixelHeight()). AppKit measures views in
// points, and a window's backing store has `backing` device pixels per point (its backingScaleFactor:
// 2 on a Retina screen, 1 on an ordinary one). So the view is pixels / backing points, and the back
// buffer is drawn into it one device pixel per pixel, never resampled:
//
//   scale   backing 1 (ordinary)     backing 2 (Retina)
//   100 %   808 x 492 points         404 x 246 points
//   150 %   1212 x 738 points        606 x 369 points
//   200 %   1616 x 984 points        808 x 492 points
//
// The display's own size is the backing factor's (Retina: 200 %, the editor as large as 100 % on an
// ordinary screen at twice the detail). Hosts size plug-in windows in points: effEditGetRect and
// audioMasterSizeWindow carry points too.
//
// Pure functions of (scale, backing factor, editor height); any thread.

#include "framework/IStructs.h"

// A rectangle of the view in points, origin at its bottom-left corner (AppKit's view coordinates).
struct MacViewRect
{
  double x = 0, y = 0, w = 0, h = 0;
};

class MacViewScale
{
public:
  // percent: the editor's scale; backing: device pixels per point (anything but a positive finite
  // number counts as 1); heightUnits: the editor's height in layout units.
  MacViewScale(int percent, double backing, int heightUnits);

  double Backing() const { return mBacking; }
  // Points per layout unit (text sizes of the entry fields).
  double PointsPerUnit() const { return mPercent / (100.0 * mBacking); }
  // A length in device pixels as whole points, rounded up (the view's frame, the host's window).
  int Points(int pixels) const;
  // An editor rectangle (units, y down) as the view rectangle over the same device pixels.
  MacViewRect ToView(const IRECT& units) const;
  // The units that cover a view rectangle (drawRect:'s area), rounded outwards.
  IRECT ToUnits(const MacViewRect& view) const;
  // A point of the view (y up) in units: the unit holding the device pixel under it.
  void ToUnits(double x, double y, int* ux, int* uy) const;

private:
  int mPercent;
  double mBacking;
  int mHeightPixels;
};
