#pragma once
// File tests shared by the SFZ readers. Any thread; they stat and open files, so never the audio thread.

#include <string>
#include <string_view>

// True for an existing regular file (after links). Folders, devices and pipes are no sample or
// instrument files: opening a pipe can block and a device can deliver an endless line.
bool IsRegularFile(const std::string& path);

// The loading flow takes a path as an instrument file when the part after its last "." (empty when
// there is none) matches "sfz". A region naming such a file would send the flow back into reading
// instrument files, without end when a file names itself.
bool IsInstrumentPath(std::string_view path);

// A region's sample can be taken: the path fits the path fields (kSfzMaxPathBytes), is no instrument
// path, and names a regular file that opens for reading.
bool SfzSampleFileOpens(const std::string& path);

// text with every backslash turned into "/".
std::string SlashesForBackslashes(std::string_view text);
