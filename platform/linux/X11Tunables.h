#pragma once
// Tunables of the Linux editor window, with their units in their names.

constexpr int kDoubleClickMs = 400;          // two left presses this close in time make a double click
constexpr int kDoubleClickSlopPx = 4;        // ... and this close in space (each axis)
constexpr int kIdleFreshMs = 250;            // effEditIdle this recent means the host drives the editor
constexpr int kTickGraceMsDivisor = 2;       // our thread ticks when a tick is overdue by period / this
constexpr int kLockRetryMs = 2;              // our thread retries the instance mutex after this
constexpr int kClosedPollMs = 250;           // our thread's wake-up period while the editor is closed
constexpr int kWheelNotchesPerButton = 1;    // one wheel button press is one notch
constexpr int kMaxEntryChars = 1000;         // longest text an entry field takes
constexpr int kEntryPaddingPx = 3;           // text inset inside an entry field
constexpr int kCentredEntryHeightPx = 16;    // height of a centred parameter entry
constexpr int kCentredEntryMinWidthPx = 32;  // narrowest centred parameter entry
constexpr int kCentredEntryCharWidthPx = 7;  // width per character of a centred parameter entry
constexpr int kCentredEntryExtraWidthPx = 6; // extra width of a centred parameter entry
constexpr int kMessageBoxWidthPx = 360;      // the message box window
constexpr int kMessageBoxMarginPx = 14;
constexpr int kMessageBoxButtonWidthPx = 72;
constexpr int kMessageBoxButtonHeightPx = 24;
constexpr int kMaxSelectionBytes = 1 << 20;      // largest clipboard or drop text we read
constexpr int kXdndVersion = 5;                  // the drag-and-drop protocol version we speak
constexpr int kChooserCheckMs = 200;             // how often a running file dialog is checked for its exit
constexpr const char* kEntryFontAt150 = "9x15";  // entry field font of the 150 % editor
constexpr const char* kEntryFontAt200 = "10x20"; // ... and of the 200 % editor
constexpr double kXftDpiAt100 = 96.0;            // the X resources' Xft.dpi of a 100 % desktop
