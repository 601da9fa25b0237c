#pragma once
// Sizes, positions, colours, images, text sizes and tick counts of the sampler's editor, in one place.
// Positions are editor pixels (origin top-left); column offsets are added per slot.

#include "framework/IStructs.h"

// ---- Window ----
constexpr int kEditorWidthPx = 808;
constexpr int kEditorHeightPx = 492;
constexpr int kEditorTicksPerSecond = 24; // the graphics context's default timer rate

// ---- Images (resource id, name) ----
constexpr int kImgBackgroundId = 100;
constexpr const char* kImgBackground = "../img/bg.png";
constexpr int kImgKnobId = 101;
constexpr const char* kImgKnob = "../img/knob.png";
constexpr int kImgCloseId = 102;
constexpr const char* kImgClose = "../img/close_spl.png";
constexpr int kImgNextId = 103;
constexpr const char* kImgNext = "../img/next.png";
constexpr int kImgPrevId = 104;
constexpr const char* kImgPrev = "../img/prev.png";
constexpr int kImgNoteOnId = 105;
constexpr const char* kImgNoteOn = "../img/note_on.png";
constexpr int kImgNoteOffId = 106;
constexpr const char* kImgNoteOff = "../img/note_off.png";
constexpr int kImgActiveId = 107;
constexpr const char* kImgActive = "../img/active.png";
constexpr int kImgLoopId = 108;
constexpr const char* kImgLoop = "../img/loop.png";
constexpr int kImgReverseId = 109;
constexpr const char* kImgReverse = "../img/reverse.png";
constexpr int kImgSliderId = 110;
constexpr const char* kImgSlider = "../img/slider.png";
constexpr int kImgAlternateId = 111;
constexpr const char* kImgAlternate = "../img/alternate.png";

// ---- Header and footer ----
constexpr int kVersionRect[4] = {45, 12, 95, 30};
constexpr int kProductPageRect[4] = {308, 6, 500, 53};
constexpr int kMessageBarRect[4] = {10, 476, 800, 492};
constexpr int kScaleChooserRect[4] = {664, 36, 784, 52}; // the editor's size, under the tagline
// The five activity strips, repainted on every tick.
constexpr int kActivityBandRect[4] = {26, 73, 784, 77};
constexpr const char* kProductPageBase = "https://tovrane.example/products/";
constexpr const char* kOpenPageError = "Cannot open url. Check your default browser.";

// ---- One column; x offsets are added to kColumnPitchPx * slot ----
constexpr int kColumnPitchPx = 152;
constexpr int kActivityRect[4] = {26, 73, 176, 77};
constexpr int kSampleViewRect[4] = {26, 78, 176, 198};
constexpr int kRangeViewRect[4] = {25, 201, 175, 256};
constexpr int kAttackKnobCentre[2] = {69, 309};
constexpr int kReleaseKnobCentre[2] = {131, 309};
constexpr int kVolumeKnobCentre[2] = {130, 388};
constexpr int kActiveButtonPos[2] = {56, 339};
constexpr int kSemitonesFieldRect[4] = {61, 377, 90, 393};
constexpr int kPanSliderRect[4] = {52, 416, 144, 432};
constexpr int kAlternateButtonPos[2] = {92, 433};
constexpr int kReverseButtonPos[2] = {46, 441};
constexpr int kLoopButtonPos[2] = {106, 441};

// ---- Knobs ----
constexpr int kKnobTextOffsetLightPx = -22; // attack and release
constexpr int kKnobTextOffsetDarkPx = -24;  // volume
constexpr int kKnobAngleRangeDeg = 300;
constexpr double kKnobGearing = 4.0;
constexpr float kKnobWeight = 1.0f;

// ---- Pan slider ----
constexpr int kPanTrackLengthPx = 89;
constexpr int kPanBarThicknessPx = 2;
constexpr int kPanBarEndMarginPx = 8;
inline const IColor kPanBarColor{255, 66, 110, 170};

// ---- Semitones field ----
constexpr int kSemitonesFormat = 1; // one decimal
constexpr int kSemitonesTextOffsetPx = 2;

// ---- Text sizes in pixels (cell height) ----
#ifdef KESTRUNE_MAC
// macOS: its own sizes, every style with quality 1.
constexpr int kVersionTextPx = 11;
constexpr int kKnobTextPx = 12;
constexpr int kNumberTextPx = 13;
constexpr int kSliderTextPx = -2; // no value text on the slider
constexpr int kMessageTextPx = 12;
constexpr int kRangeTextPx = 13;
constexpr int kDurationTextPx = 12;
constexpr int kChannelTextPx = 12;
constexpr int kNameTextPx = 14;
constexpr int kTextQuality = IText::kQualityNonAntiAliased;
#else
// Elsewhere the desktop sizes, quality default.
constexpr int kVersionTextPx = 13;
constexpr int kKnobTextPx = 15;
constexpr int kNumberTextPx = 15;
constexpr int kSliderTextPx = 0; // no value text on the slider
constexpr int kMessageTextPx = 14;
constexpr int kRangeTextPx = 15;
constexpr int kDurationTextPx = 14;
constexpr int kChannelTextPx = 14;
constexpr int kNameTextPx = 16;
constexpr int kTextQuality = IText::kQualityDefault;
#endif

// ---- Message bar ----
constexpr int kMessageTicks = 216;     // 9 seconds at 24 ticks per second
constexpr int kScaleTextPx = 11;       // the size chooser's labels
constexpr int kScaleTextTopPx = 2;     // ... below the segment's top
constexpr int kScaleRefusalTicks = 72; // "kept by host" for 3 seconds
// Path fields (file paths, the message bar's text) hold the platform's longest path.
#ifdef _WIN32
constexpr int kMaxPathBytes = 260;
#else
constexpr int kMaxPathBytes = 1024;
#endif

// ---- Activity marks ----
constexpr int kActivityMarkWidthPx = 8;

// ---- Keyboard range view ----
constexpr int kViewNoteMax = 115;      // MIDI 127 - 12
constexpr int kViewNoteOffset = 12;    // view note = MIDI note - 12
constexpr int kMaxHeldNotes = 12;      // notes shown at once
constexpr int kRangeBandBottomPx = 29; // the top band: y <= T + 29 (clicks), y < T + 29 (drags)
constexpr int kRangeGrabPx = 5;        // pointer distance that grabs an end or the root marker
constexpr int kRangeFieldHalfPx = 16;  // half width of the note-number field
inline const IColor kRangeBarColor{100, 255, 255, 255};
inline const IColor kRootMarkerColor{180, 0, 143, 255};
inline const IColor kRangeFieldTextColor{200, 255, 255, 255};
inline const IColor kRangeEndTextColor{180, 0, 0, 0};
inline const IColor kRootTextColor{255, 0, 82, 116};

// ---- Sample view ----
// Opaque slate of the editor's palette (#4b535e): 6.4:1 against the ivory panel, 5.8:1 against its
// darker band.
inline const IColor kWaveColor{255, 75, 83, 94};
inline const IColor kSampleInfoColor{130, 0, 0, 0};
inline const IColor kSampleNameColor{180, 0, 0, 0};
constexpr int kTitleTopFromBottomPx = 48; // title rectangle (L, B - 48, R, B - 24)
constexpr int kTitleBottomFromBottomPx = 24;
constexpr const char* kNoSampleName = "...";
