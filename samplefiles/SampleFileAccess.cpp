#include "samplefiles/SampleFileAccess.h"

#include "samplefiles/FlacLoader.h"
#include "samplefiles/OggLoader.h"
#include "samplefiles/SampleFileNames.h"
#include "samplefiles/WavLoader.h"

SlotFileType TypeOfExtension(std::string_view extension)
{
  if (MatchesKeyword(extension, "sfz")) return SlotFileType::kSfz;
  if (MatchesKeyword(extension, "wav")) return SlotFileType::kWav;
  if (MatchesKeyword(extension, "ogg")) return SlotFileType::kOgg;
  if (MatchesKeyword(extension, "flac")) return SlotFileType::kFlac;
  return SlotFileType::kOther;
}

bool ReadSampleHeader(SlotFileType type, const char* path, SampleFileInfo& info)
{
  switch (type)
  {
  case SlotFileType::kWav:
    return ReadWavHeader(path, info);
  case SlotFileType::kOgg:
    return ReadOggHeader(path, info);
  case SlotFileType::kFlac:
    return ReadFlacHeader(path, info);
  default:
    return false;
  }
}

bool LoadSampleFileData(SlotFileType type, const char* path, uint32_t frames, int channels,
                        DecodedSample& out)
{
  switch (type)
  {
  case SlotFileType::kWav:
    return LoadWavSampleData(path, frames, channels, out);
  case SlotFileType::kOgg:
    return LoadOggSampleData(path, frames, channels, out);
  case SlotFileType::kFlac:
    return LoadFlacSampleData(path, frames, channels, out);
  default:
    return false;
  }
}
