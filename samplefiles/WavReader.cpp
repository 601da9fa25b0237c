#include "samplefiles/WavReader.h"

#include "samplefiles/SampleFileLimits.h"

#include <algorithm>
#include <cstring>
#include <new>

#if !defined(__BYTE_ORDER__) || __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "WavReader copies little-endian float samples directly: a big-endian build needs byte swapping"
#endif

namespace
{
constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr size_t kRiffHeaderBytes = 12;
constexpr size_t kChunkHeaderBytes = 8;
constexpr size_t kFmtBytes = 16;

uint16_t ReadLe16(const unsigned char* p)
{
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t ReadLe32(const unsigned char* p)
{
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

bool IsAcceptedFormat(uint16_t tag, uint32_t bits)
{
  if (tag == kFormatPcm) return bits == 8 || bits == 16 || bits == 24;
  if (tag == kFormatFloat) return bits == 32 || bits == 64;
  return false;
}

// 64-bit file positions, so that chunk sizes up to 4 GiB can be skipped everywhere.
bool SeekForward(std::FILE* file, uint64_t bytes)
{
#if defined(_WIN32)
  return _fseeki64(file, static_cast<long long>(bytes), SEEK_CUR) == 0;
#else
  return fseeko(file, static_cast<off_t>(bytes), SEEK_CUR) == 0;
#endif
}

int64_t Tell(std::FILE* file)
{
#if defined(_WIN32)
  return _ftelli64(file);
#else
  return ftello(file);
#endif
}

// The file's length in bytes, or -1; leaves the position at the start.
int64_t FileLength(std::FILE* file)
{
#if defined(_WIN32)
  if (_fseeki64(file, 0, SEEK_END) != 0) return -1;
  const int64_t length = _ftelli64(file);
  if (_fseeki64(file, 0, SEEK_SET) != 0) return -1;
#else
  if (fseeko(file, 0, SEEK_END) != 0) return -1;
  const int64_t length = ftello(file);
  if (fseeko(file, 0, SEEK_SET) != 0) return -1;
#endif
  return length;
}

// One sample from its bytes, for each accepted encoding.
struct DecodePcm8
{
  static constexpr size_t kBytes = 1;
  double operator()(const unsigned char* p) const { return p[0] * 0.0078125 - 1.0; }
};

struct DecodePcm16
{
  static constexpr size_t kBytes = 2;
  double operator()(const unsigned char* p) const
  {
    return static_cast<int16_t>(ReadLe16(p)) * 3.0517578125e-5;
  }
};

struct DecodePcm24
{
  static constexpr size_t kBytes = 3;
  double operator()(const unsigned char* p) const
  {
    // Place the three bytes in the top of a 32-bit word and shift back: sign-extends from bit 23.
    const uint32_t word = (uint32_t{p[0]} << 8) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 24);
    return (static_cast<int32_t>(word) >> 8) * 1.1920928955078125e-7;
  }
};

struct DecodeFloat32
{
  static constexpr size_t kBytes = 4;
  double operator()(const unsigned char* p) const
  {
    float value;
    std::memcpy(&value, p, sizeof value);
    return value;
  }
};

struct DecodeFloat64
{
  static constexpr size_t kBytes = 8;
  double operator()(const unsigned char* p) const
  {
    double value;
    std::memcpy(&value, p, sizeof value);
    return value;
  }
};

// count samples stored one after the other.
template <typename Decode> void ConvertRun(const unsigned char* in, size_t count, double* out)
{
  const Decode decode;
  for (size_t i = 0; i < count; ++i)
    out[i] = decode(in + Decode::kBytes * i);
}

// The first one or two channels of count frames of frameBytes bytes each.
template <typename Decode>
void ConvertPlanes(const unsigned char* in, size_t count, size_t frameBytes, double* left, double* right)
{
  const Decode decode;
  if (right == nullptr)
  {
    for (size_t i = 0; i < count; ++i)
      left[i] = decode(in + frameBytes * i);
    return;
  }
  for (size_t i = 0; i < count; ++i)
  {
    left[i] = decode(in + frameBytes * i);
    right[i] = decode(in + frameBytes * i + Decode::kBytes);
  }
}

template <typename Decode>
void ConvertFormat(const unsigned char* in, size_t count, size_t frameBytes, double* left, double* right)
{
  if (frameBytes == 0)
    ConvertRun<Decode>(in, count, left);
  else
    ConvertPlanes<Decode>(in, count, frameBytes, left, right);
}

// Dispatches on the encoding once per block. frameBytes 0 means a plain run of samples into left.
void Convert(uint32_t bits, uint16_t tag, const unsigned char* in, size_t count, size_t frameBytes,
             double* left, double* right)
{
  if (tag == kFormatFloat)
  {
    if (bits == 32)
      ConvertFormat<DecodeFloat32>(in, count, frameBytes, left, right);
    else
      ConvertFormat<DecodeFloat64>(in, count, frameBytes, left, right);
    return;
  }
  switch (bits)
  {
  case 8:
    ConvertFormat<DecodePcm8>(in, count, frameBytes, left, right);
    break;
  case 16:
    ConvertFormat<DecodePcm16>(in, count, frameBytes, left, right);
    break;
  default:
    ConvertFormat<DecodePcm24>(in, count, frameBytes, left, right);
    break;
  }
}
} // namespace

bool WavReader::Fail()
{
  Close();
  return false;
}

bool WavReader::Open(const char* path)
{
  // 1. Start from nothing.
  Close();
  mPath = path != nullptr ? path : "";
  mFrames = mBitsPerSample = mChannels = mSampleRate = 0;
  mFormatTag = 0;
  mSamplesLeft = 0;

  // 2. Open without text translation.
  if (path == nullptr) return false;
  mFile.reset(std::fopen(path, "rb"));
  if (!mFile) return false;
  std::FILE* file = mFile.get();
  const int64_t fileLength = FileLength(file);
  if (fileLength < 0) return Fail();

  // 3. The container: "RIFF", a size we do not use, "WAVE".
  unsigned char riff[kRiffHeaderBytes];
  if (std::fread(riff, 1, sizeof riff, file) != sizeof riff) return Fail();
  if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) return Fail();

  // 4. The chunk walk.
  for (;;)
  {
    // 4.1 A chunk header. Nothing left (end of file) and a cut-off header both end the walk without
    // an accepted "data" chunk.
    unsigned char header[kChunkHeaderBytes];
    if (std::fread(header, 1, sizeof header, file) != sizeof header) return Fail();
    const uint32_t size = ReadLe32(header + 4);
    uint64_t remaining = size;

    if (size >= kFmtBytes && std::memcmp(header, "fmt ", 4) == 0)
    {
      // 4.2 The format. Extra bytes of an 18- or 40-byte chunk are skipped below; a refused format is
      // forgotten so that a later "fmt " chunk can still be accepted.
      unsigned char fmt[kFmtBytes] = {};
      const bool complete = std::fread(fmt, 1, sizeof fmt, file) == sizeof fmt;
      remaining = size - kFmtBytes;
      const uint16_t tag = ReadLe16(fmt);
      const uint16_t channels = ReadLe16(fmt + 2);
      const uint32_t bits = ReadLe16(fmt + 14);
      if (complete && channels != 0 && IsAcceptedFormat(tag, bits))
      {
        mFormatTag = tag;
        mChannels = channels;
        mSampleRate = ReadLe32(fmt + 4);
        mBitsPerSample = bits;
      }
      else
      {
        mFormatTag = 0;
        mBitsPerSample = mChannels = mSampleRate = 0;
      }
    }
    else if (size != 0 && std::memcmp(header, "data", 4) == 0 && mBitsPerSample != 0)
    {
      // 4.3 The samples. The chunk's size is a claim: a truncated file, or a streamed one whose size
      // field was never patched (0xFFFFFFFF), holds fewer bytes. Only the bytes present count, so
      // that a tiny file cannot make the caller allocate gigabytes. Frames round down.
      const uint32_t frameBytes = (mBitsPerSample * mChannels) / 8;
      const int64_t position = Tell(file);
      if (position < 0) return Fail();
      const uint64_t present = fileLength > position ? static_cast<uint64_t>(fileLength - position) : 0;
      const uint64_t usable = std::min<uint64_t>(size, present);
      mFrames = static_cast<uint32_t>(usable / frameBytes);
      mSamplesLeft = uint64_t{mFrames} * mChannels;
      return true;
    }
    // 4.4 Any other chunk, a short "fmt " chunk, an empty "data" chunk or a "data" chunk before an
    // accepted format is skipped whole.

    // 4.5 Skip the rest of the chunk, with the pad byte that RIFF puts after a chunk of odd size.
    // Writers pad odd-sized chunks (a LIST text of odd length, an 8-bit mono "data" chunk with an odd
    // frame count followed by more chunks), and without the pad the next header would be read one byte
    // early and the walk would lose its way. A pad that is missing at the very end does no harm: the
    // next header read simply finds the end of the file.
    if (size % 2 != 0) ++remaining;
    if (remaining != 0 && !SeekForward(file, remaining)) return Fail();
  }
}

size_t WavReader::Read(double* out, size_t count)
{
  // 1. No file, nothing to read.
  if (!mFile || out == nullptr) return 0;
  // 2. Never more than the "data" chunk's samples that are left.
  count = static_cast<size_t>(std::min<uint64_t>(count, mSamplesLeft));
  const size_t sampleBytes = mBitsPerSample / 8;
  std::FILE* file = mFile.get();

  // 3. 64-bit floats are stored as they are: read them straight into out.
  if (mFormatTag == kFormatFloat && mBitsPerSample == 64)
  {
    const size_t stored = std::fread(out, sizeof(double), count, file);
    mSamplesLeft -= stored;
    return stored;
  }

  // 3. Every other encoding: read a block of bytes, convert its whole samples, stop at a short read.
  unsigned char block[kWavReadBlockBytes];
  const size_t blockSamples = sizeof block / sampleBytes;
  size_t stored = 0;
  while (stored < count)
  {
    const size_t want = std::min(count - stored, blockSamples);
    const size_t got = std::fread(block, 1, want * sampleBytes, file) / sampleBytes;
    Convert(mBitsPerSample, mFormatTag, block, got, 0, out + stored, nullptr);
    stored += got;
    mSamplesLeft -= got;
    if (got < want) break;
  }
  return stored;
}

size_t WavReader::ReadPlanes(double* left, double* right, size_t frames)
{
  if (!mFile || left == nullptr || mChannels == 0) return 0;
  if (mChannels < 2) right = nullptr;
  frames = static_cast<size_t>(std::min<uint64_t>(frames, mSamplesLeft / mChannels));
  const size_t frameBytes = size_t{mBitsPerSample / 8} * mChannels;
  // A block holds at least one frame, also for files with thousands of channels.
  const size_t blockFrames = std::max<size_t>(1, kWavReadBlockBytes / frameBytes);
  std::unique_ptr<unsigned char[]> block(new (std::nothrow) unsigned char[blockFrames * frameBytes]);
  if (!block) return 0;
  std::FILE* file = mFile.get();
  size_t stored = 0;
  while (stored < frames)
  {
    const size_t want = std::min(frames - stored, blockFrames);
    const size_t got = std::fread(block.get(), 1, want * frameBytes, file) / frameBytes;
    Convert(mBitsPerSample, mFormatTag, block.get(), got, frameBytes, left + stored,
            right != nullptr ? right + stored : nullptr);
    stored += got;
    mSamplesLeft -= uint64_t{got} * mChannels;
    if (got < want) break;
  }
  return stored;
}

void WavReader::Close()
{
  mFile.reset();
  mPath.clear();
  mSamplesLeft = 0;
}
