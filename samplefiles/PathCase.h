#pragma once
// FindFileIgnoringCase: the file a path names when the letter case of its folder and file names
// differs from what the disk holds, as in instruments and projects written on Windows or macOS, whose
// file systems ignore case, and moved to Linux.
//
// Threads: any thread but the audio thread; it lists folders. Callers run it without the instance
// mutex (see SampleLocator.h).

#include "samplefiles/SearchBudget.h"

#include <string>
#include <string_view>

// True where file names are compared with their letter case (Linux and other Unix systems); false on
// Windows and macOS, where a path in another case opens as it stands.
#if defined(_WIN32) || defined(__APPLE__)
constexpr bool kFileNamesKeepCase = false;
#else
constexpr bool kFileNamesKeepCase = true;
#endif

// ASCII letters compared without case; other bytes (UTF-8 included) as they stand.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// Walks path component by component from its start ("/" for an absolute path, the working folder
// otherwise): a component that exists as written is taken as it is; otherwise the folder's entries
// that equal it ignoring case are tried in sorted order, each until the rest of the path is found
// below one. "." and ".." are kept as written. Returns the path of the regular file found, with
// "/" between components, or an empty text when there is none, when the budget runs out, or where file
// names ignore case (kFileNamesKeepCase is false).
std::string FindFileIgnoringCase(const std::string& path, SearchBudget& budget);
