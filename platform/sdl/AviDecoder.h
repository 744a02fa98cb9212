#pragma once
// Movie decoding for the video device: the container and codecs are probed from the content (the
// game's movies carry another extension), video frames come out as 0x00RRGGBB pixels in decoding
// order with their times, and the sound track comes out whole as interleaved 16-bit samples for
// the mixer. Built without the decoding libraries, every file fails to open.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/Pixmap.h"

namespace vdmq {

class TAviDecoder {
 public:
  TAviDecoder();
  ~TAviDecoder();
  TAviDecoder(const TAviDecoder&) = delete;
  TAviDecoder& operator=(const TAviDecoder&) = delete;

  // True when the decoding libraries were present at build time.
  static bool Available();
  // Opens a file and decodes its first frame; false (with the reason in error) when the file has no
  // decodable video.
  bool Open(const std::string& nativePath, std::string* error);
  int Width() const;
  int Height() const;
  double FramesPerSecond() const;
  // Frames of the video stream (from the container; counted from its duration when not stored).
  std::int64_t FrameCount() const;
  // Decodes the next frame (the first call after Open or Rewind gives frame 0). False at the end or
  // when the data cannot be decoded any further.
  bool NextFrame(TPixmap& out);
  // Index of the frame NextFrame gave last (-1 before the first).
  std::int64_t FrameIndex() const;
  // Back to frame 0.
  bool Rewind();
  // The whole sound track resampled to rate and channels (empty when there is none).
  bool DecodeAudio(int rate, int channels, std::vector<std::int16_t>& pcm);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace vdmq
