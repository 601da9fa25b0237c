#pragma once
// WavReader: reads a RIFF/WAVE file and converts its samples to 64-bit floating point.
//
// A short-lived reader for one open-read-close cycle on the loading thread (the header step opens it
// for the numbers, the data step opens a fresh one for the samples). Accepted encodings, by format tag
// and bits per sample; every other pair (32-bit integer PCM, the extensible tag 0xFFFE, compressed
// formats) is refused:
//   tag 1,  8 bits: unsigned byte b             -> b * 0.0078125 - 1.0
//   tag 1, 16 bits: signed little-endian v      -> v * 3.0517578125e-5       (1/32768)
//   tag 1, 24 bits: signed 3-byte little-endian -> v * 1.1920928955078125e-7 (1/8388608)
//   tag 3, 32 bits: little-endian float         -> widened unchanged
//   tag 3, 64 bits: little-endian double        -> copied unchanged

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

class WavReader
{
public:
  WavReader() = default;
  ~WavReader() { Close(); }
  WavReader(const WavReader&) = delete;
  WavReader& operator=(const WavReader&) = delete;

  // Opens path, checks the RIFF/WAVE header and walks the chunks up to the first non-empty "data"
  // chunk that follows an accepted "fmt " chunk. On true the file is at the first sample byte and
  // Frames, Channels, BitsPerSample and SampleRate are valid. On false the file is closed.
  bool Open(const char* path);

  // Converts up to count samples, in file order (interleaved), into out. Never reads past the
  // frames of the "data" chunk, over several calls together; stops early at the end of the file.
  // Returns the number of samples stored.
  size_t Read(double* out, size_t count);

  // Reads up to frames whole frames and stores them planar: channel 0 of each frame in left and, when
  // right is not null and the file has two or more channels, channel 1 in right; further channels are
  // passed over. Same limits as Read (the "data" chunk, the end of the file). Returns the frames stored.
  size_t ReadPlanes(double* left, double* right, size_t frames);

  // Closes the file if it is open and releases the path. The numbers stay as they were.
  void Close();

  const std::string& Path() const { return mPath; }
  uint32_t Frames() const { return mFrames; }
  uint32_t BitsPerSample() const { return mBitsPerSample; }
  uint32_t Channels() const { return mChannels; }
  uint32_t SampleRate() const { return mSampleRate; }

private:
  struct FileCloser
  {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  bool Fail();

  std::string mPath;
  std::unique_ptr<std::FILE, FileCloser> mFile;
  uint32_t mFrames = 0;
  uint32_t mBitsPerSample = 0;
  uint32_t mChannels = 0;
  uint32_t mSampleRate = 0;
  uint16_t mFormatTag = 0;
  uint64_t mSamplesLeft = 0; // samples of the "data" chunk not yet read
};
