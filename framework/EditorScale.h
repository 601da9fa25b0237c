#pragma once
// The editor's three sizes. The layout is made in units of the 100 % editor (808 x 492); at 150 % and
// 200 % every unit covers 1.5 or 2 screen pixels, and images, text and lines are drawn at that
// resolution. A size is named by its percentage everywhere (100, 150, 200).
//
// Pure functions, any thread.

constexpr int kScale100 = 100;
constexpr int kScale150 = 150;
constexpr int kScale200 = 200;
constexpr int kEditorScales[] = {kScale100, kScale150, kScale200};
constexpr int kEditorScaleCount = 3;

// Resource ids of an image's larger renderings: the 100 % id plus this step per size (Windows build).
constexpr int kScaledImageIdStep = 1000;

// True for 100, 150 and 200.
bool IsEditorScale(int percent);
// The size nearest to a factor (1.0 = 100 %): below 1.25 is 100 %, below 1.75 is 150 %, else 200 %.
// A factor that is not a positive finite number gives 0 (no size).
int NearestEditorScale(double factor);
// A size from text: "1", "1.5", "2" (factors, read without the process locale), "100", "150", "200"
// (percentages, a trailing "%" allowed); other factors give the nearest size. 0 when the text names
// none (empty, not a number, zero or less, trailing garbage).
int ParseEditorScale(const char* text);

// A layout coordinate in screen pixels: the unit's left or top edge, rounded half up at 150 %, so
// neighbouring rectangles share their edges at every size. Negative coordinates are mapped alike.
int UnitsToPixels(int units, int percent);
// A screen pixel in layout units: the unit that covers it (rounded down, also below 0).
int PixelsToUnits(int pixels, int percent);

// Resource id of an image at a size (the 100 % id unchanged).
int ScaledImageId(int id, int percent);
