#pragma once
// The editor size a Linux desktop asks for, from what the desktop tells its programs: the Xft.dpi
// resource of the X server (set by every desktop's display settings: 96 is 100 %, 144 is 150 %, 192 is
// 200 %), else GDK_SCALE (GTK's integer factor), else QT_SCALE_FACTOR (Qt's factor). Pure functions.

// The size (100, 150 or 200) for an Xft.dpi value; 0 when it is not a positive number.
int ScaleFromDpi(double dpi);
// The Xft.dpi entry of an X resource string (XResourceManagerString: "name:\tvalue" lines), as a size;
// 0 when there is none. resources may be null.
int ScaleFromXResources(const char* resources);
// The first of the three that names a size (any may be null), else 100.
int DisplayScaleFrom(const char* xResources, const char* gdkScale, const char* qtScaleFactor);
