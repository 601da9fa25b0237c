#pragma once
// Tunables of the macOS editor view.

// Value entry for a parameter with display texts: a combo box of width max(min, per-char x length +
// margin) over its longest text and a fixed height, font size in points.
constexpr int kComboMinWidthPx = 24;
constexpr int kComboCharWidthPx = 8;
constexpr int kComboMarginPx = 24;
constexpr int kComboHeightPx = 26;

// Value entry for other parameters in centre mode: a text field of this size around the control's
// centre (its top edge this far above the centre).
constexpr int kFieldWidthPx = 42;
constexpr int kFieldHeightPx = 21;
constexpr int kFieldAboveCentrePx = 10;

// Both of the above use this face and size.
constexpr char kEntryFontFace[] = "Arial";
constexpr double kEntryFontPoints = 11.0;

// A free-text field covers the control's rectangle grown by this much above and below (top and
// bottom margins), in the control's face at this fraction of its size.
constexpr int kTextFieldBottomMarginPx = 3;
constexpr int kTextFieldHeightExtraPx = 6;
constexpr double kTextFieldFontScale = 0.75;

// Resource type of the editor images in the bundle.
constexpr char kImageResourceType[] = "png";
