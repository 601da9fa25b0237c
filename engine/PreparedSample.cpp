#include "engine/PreparedSample.h"

#include "samplefiles/SampleBuffer.h"
#include "samplefiles/SampleFileNames.h"

PreparedSample PrepareSample(const std::string& path, bool reverse)
{
  PreparedSample prepared;
  prepared.path = path;
  prepared.extension = std::string(FileExtension(path));
  prepared.type = TypeOfExtension(prepared.extension);
  prepared.stamp = StampOfFile(path.c_str());
  prepared.headerRead = ReadSampleHeader(prepared.type, path.c_str(), prepared.info);
  if (!prepared.headerRead) return prepared;
  prepared.displayName = DisplayNameOf(path);
  prepared.neighbours = FindFolderNeighbours(path);
  if (prepared.info.frames == 0) return prepared;
  DecodedSample decoded;
  prepared.decoded =
      LoadSampleFileData(prepared.type, path.c_str(), prepared.info.frames, prepared.info.channels, decoded);
  if (!prepared.decoded) return prepared;
  // The frames that decoded, which a damaged or crafted header may overstate.
  prepared.info.frames = decoded.frames;
  prepared.data = std::move(decoded.data);
  if (reverse)
  {
    ReverseSampleData(prepared.data.get(), prepared.info.frames, prepared.info.channels);
    prepared.reversed = true;
  }
  return prepared;
}
