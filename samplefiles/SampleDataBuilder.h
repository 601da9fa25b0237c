#pragma once
// SampleDataBuilder: collects a decoder's frames into a slot's planar buffer that grows with what
// actually decodes. A compressed file's frame count is only a claim (a damaged or crafted file can
// state any length in a few bytes), so the readers take it as the most frames they keep, never as
// the size to allocate: the buffer starts at a size the file can plausibly fill and doubles as frames
// arrive, and Finish hands over exactly the frames that came.
//
// One builder per data step, on the loading thread; it touches nothing shared, so the step can run
// with or without the instance mutex held.

#include "samplefiles/SampleBuffer.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// The first room for a compressed file of fileBytes bytes whose header claims claimedFrames frames: the
// claim, as far as framesPerByte frames per byte of the file make it plausible, within
// kDecodeFirstFramesMin ... kDecodeFirstFramesMax (SampleFileLimits.h).
uint32_t CompressedFirstFrames(uint32_t claimedFrames, uint64_t fileBytes, uint32_t framesPerByte);

class SampleDataBuilder
{
public:
  // planes: planes of the slot's buffer (SamplePlanes of its channels). limit: the most frames kept; frames
  // past it are refused. firstFrames: the room made at the first growth (at most limit): the whole limit for
  // a reader whose header count is bounded by the file's size, a small start for the others.
  SampleDataBuilder(int planes, uint32_t limit, uint32_t firstFrames);
  SampleDataBuilder(const SampleDataBuilder&) = delete;
  SampleDataBuilder& operator=(const SampleDataBuilder&) = delete;

  // Makes room for up to count more frames and answers how many fit: fewer near the limit, 0 at the
  // limit or when the memory cannot be had (Failed then answers true). The room doubles at each
  // growth, up to the limit, and the whole buffer stays within kMaxSampleDataBytes.
  uint32_t Room(uint32_t count);
  // Where the next frame of plane p (0 ... planes-1) goes; Room's answer says how many may be written.
  double* Plane(int p) { return mData.get() + static_cast<size_t>(p) * mCapacity + mFrames; }
  // count frames (at most Room's answer) were written to every plane.
  void Added(uint32_t count) { mFrames += count; }

  uint32_t Frames() const { return mFrames; }
  bool Full() const { return mFrames == mLimit; }
  bool Failed() const { return mFailed; }

  // Moves the buffer out with exactly Frames() frames per plane: as it stands when the last growth left
  // no room over, else copied into an array of the right size; a one-element array when no frame
  // came. Returns false (out untouched) when memory failed, now or before.
  bool Finish(DecodedSample& out);

private:
  bool Grow(uint64_t needed);

  std::unique_ptr<double[]> mData;
  uint32_t mCapacity = 0; // frames per plane that mData holds
  uint32_t mFrames = 0;
  uint32_t mLimit;
  uint32_t mFirstFrames;
  int mPlanes;
  bool mFailed = false;
};
