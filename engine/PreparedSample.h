#pragma once
// PreparedSample: everything a load finds out about one sample file before it touches the slot: the
// header's numbers, the name to show, the folder's neighbouring files, the decoded buffer and the
// file's stamp. Preparing reads and decodes; publishing it into a slot is a short step under the
// instance mutex (CLS_KESTRUNE::PublishPrepared).

#include "samplefiles/FileStamp.h"
#include "samplefiles/FolderNeighbours.h"
#include "samplefiles/SampleFileAccess.h"
#include "samplefiles/SampleFileInfo.h"

#include <memory>
#include <string>

struct PreparedSample
{
  std::string path;
  std::string extension;
  SlotFileType type = SlotFileType::kOther;
  bool headerRead = false; // false: no known kind, or the reader refused the file
  SampleFileInfo info;
  std::string displayName;
  FolderNeighbours neighbours;
  FileStamp stamp;                // taken before the header was read
  std::unique_ptr<double[]> data; // the decoded planes; null without frames or when decoding failed
  bool decoded = false;
  bool reversed = false; // the planes are in reverse order (for a slot whose Reverse is on)
  int waveformSlot = -1; // the slot whose sample view has computed the waveform of `data` (editor loads)
};

// Reads, names, lists and decodes path (a WAV or Ogg file; other kinds give headerRead false), and
// reverses the planes when `reverse` is set. Slow: runs without the instance mutex on the editor's
// route (the caller checks), under it on the host's.
PreparedSample PrepareSample(const std::string& path, bool reverse);
