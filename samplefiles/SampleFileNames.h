#pragma once
// Text rules of the loading flow: the parts of a path, the name a slot shows, the files the previous
// and next buttons step through. Pure functions of their arguments, locale-independent; any thread.

#include "samplefiles/Keyword.h"   // MatchesKeyword, the keyword test of extensions
#include "samplefiles/PathRules.h" // kPathSeparator and the platform's separators

#include <string>
#include <string_view>

// The part of path after its last "."; empty when there is none. The dot may lie in a folder name:
// the rest of the path is then the "extension", which matches no sample kind.
std::string_view FileExtension(std::string_view path);

// The part of path after its last separator ("/"; on Windows "\" or "/"); the whole path when there
// is none.
std::string_view FileNameOf(std::string_view path);

// The part of path before its last separator; empty when there is none (and for a file directly in
// the root folder, whose separator is the first character).
std::string_view FolderOf(std::string_view path);

// What a slot shows for path: its file name, cut to its first kDisplayNameCutChars characters when it
// is longer than kDisplayNameMaxChars (a name of exactly kDisplayNameMaxChars stays whole). Characters
// are UTF-8 characters as the editor draws them; a name is never cut inside one.
std::string DisplayNameOf(std::string_view path);

// True for names that end in ".wav", ".ogg" or ".flac", compared case-insensitively: the files that a slot's
// previous and next buttons step through.
bool IsSteppableSampleName(std::string_view name);
