#pragma once
// Tunables of the Windows editor window.

// Identifier of the editor's redraw timer (its period is 1000 / fps ms: 41 ms at 24 ticks per second).
constexpr unsigned kTimerId = 2;

// Text entry: longest text read back from an entry window, and its font. The entry's sizes are at
// 100 % (layout units): larger sizes multiply them.
constexpr int kEntryMaxTextChars = 1000;
constexpr int kEntryFontHeightPx = 14;
constexpr char kEntryFontFace[] = "Arial";

// Edit box of a parameter in centre mode: width max(min, per-char x length + margin), fixed height.
constexpr int kEntryMinWidthPx = 32;
constexpr int kEntryCharWidthPx = 7;
constexpr int kEntryMarginPx = 6;
constexpr int kEntryHeightPx = 16;

// Drop-down list of a parameter's display texts: width max(min, per-char x length + margin); height
// per item (the closed box counts as one).
constexpr int kListMinWidthPx = 24;
constexpr int kListCharWidthPx = 8;
constexpr int kListMarginPx = 24;
constexpr int kListItemHeightPx = 36;

// Tooltip placement below-right of the pointer, and its wrapping width.
constexpr int kTooltipOffsetPx = 16;
constexpr int kTooltipMaxWidthPx = 400;

// Path buffers of the file dialog and of module names.
constexpr int kPathChars = 260;
