#pragma once
// A path as the process resolves it now: a relative path joined to the current folder, an absolute one
// as it is. Files an instrument names are found beside it, so the instrument's own path must not depend
// on the folder the host happens to run in when the slots' paths are saved.

#include <string>

// The absolute form of path; path itself when it is absolute, empty or the current folder is unknown.
std::string AbsolutePathOf(const std::string& path);
