#pragma once
// Lists the entry names of a folder in the order the system delivers them (nothing sorted; "." and
// ".." included where the system lists them). posix/: opendir and readdir; windows/: FindFirstFileA and
// FindNextFileA with the pattern folder + "\*.*".

#include <functional>
#include <string>
#include <string_view>

// Calls visit with each entry name until it answers false. Answers false when the folder cannot be
// listed (nothing is visited then).
bool ListFolder(const std::string& folder, const std::function<bool(std::string_view name)>& visit);
