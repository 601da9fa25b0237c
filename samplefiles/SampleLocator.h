#pragma once
// SampleLocator: finds a sample file that is no longer where its path says: an instrument or a saved
// project written on another system, or a sample folder that was moved or renamed.
//
// Threads: any thread but the audio thread. A search lists folders and stats files for up to
// kSampleSearchMaxTime; callers run it without the instance mutex, so that the render never waits for
// a disk, and publish what it found under the mutex afterwards.

#include "samplefiles/SampleSearchLimits.h"

#include <string>
#include <string_view>
#include <vector>

// The environment variable that names further folders to search, separated by ':' (';' on Windows).
constexpr const char* kSampleSearchPathVariable = "KESTRUNE_SAMPLE_PATH";

// Where a missing file may have gone, searched in this order.
struct SampleSearchHints
{
  std::string sfzFolder;                  // the folder of the SFZ file that names the sample; may be empty
  std::vector<std::string> slotFolders;   // the folders of the files the other slots hold
  std::vector<std::string> searchFolders; // the folders of kSampleSearchPathVariable
};

// The file that stands for missingPath, or an empty text when none is found within the bounds:
//  1. missingPath itself when it names a regular file;
//  2. where file names keep their case (Linux): the path looked up letter-case-insensitively,
//     component by component (FindFileIgnoringCase);
//  3. a regular file of the same name (letter case ignored) in the hint folders or below them, at most
//     bounds.maxDepth levels down: the one whose folders share the most trailing names with
//     missingPath's ("Kit/Snare/hit.wav" beats "Other/hit.wav" for ".../Kit/Snare/hit.wav"); on a
//     tie, a name in the same letter case, then the first found (hint folders in order, shallower
//     before deeper, entries sorted by name). Folder links are not entered.
// Steps 2 and 3 share one SearchBudget of bounds. Pure function of its arguments and the disk.
std::string LocateSample(const std::string& missingPath, const SampleSearchHints& hints,
                         const SampleSearchBounds& bounds = SampleSearchBounds());

// The folders of a search path list: value split at separator, empty elements left out.
std::vector<std::string> SplitSearchPathList(std::string_view value, char separator);

// The folders of kSampleSearchPathVariable (none when it is not set). Reads the environment: call it
// on the loading thread, not while another thread may change the environment.
std::vector<std::string> SampleSearchFoldersFromEnvironment();
