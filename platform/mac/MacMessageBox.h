#pragma once
// A modal alert: the caption as its title, the text as its message, and an "OK" button (or "Yes" and
// "No" for IGraphics::kMessageBoxTypeYesNo). Answers an IGraphics::EMessageBoxResult: 1 for OK.
// Main thread only (other threads post their messages to the view's timer).
int KestruneMessageBox(const char* text, const char* caption, int type);
