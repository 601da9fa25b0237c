#pragma once
// The user's settings file of the editor: the user's own preferences, kept apart from any plug-in
// state (hosts save that with a project; these apply to every project). One "key=value" per line;
// lines this program does not know are kept as they are when it writes the file.
//
//   Linux:   $XDG_CONFIG_HOME/kestrune/settings.ini (~/.config/kestrune/settings.ini by default)
//   Windows: %APPDATA%\Kestrune\settings.ini (the roaming application data folder)
//   macOS:   ~/Library/Application Support/Kestrune/settings.ini
//
// Editor thread; small file reads and writes, never under the instance mutex's long holds.

#include <string>

// The user's settings file; empty when no folder for it is known (no home folder).
std::string DefaultEditorSettingsPath();

// The editor size the user chose (100, 150 or 200), or 0 when the file has none or cannot be read.
int ReadScaleSetting(const std::string& path);
// Stores the size, creating the file and its folder when needed; false when it cannot be written.
bool WriteScaleSetting(const std::string& path, int percent);
