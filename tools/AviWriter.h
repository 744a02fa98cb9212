#pragma once
// The movie files: AVI with a 256-colour RLE8 video stream and a 16-bit mono PCM sound stream. Every
// video frame is a complete key frame (rows bottom-up, runs and literal runs only, no skips); one
// sound chunk of a frame's share of samples follows each video chunk; an idx1 index lists every
// chunk.

#include <cstdint>
#include <vector>

#include "tools/Palette.h"
#include "tools/Raster.h"

namespace vdmq::sample {

// A picture as BI_RLE8: each row from the bottom up as runs of one index (two or more pixels) and
// literal runs (three or more), an end-of-line after every row but the last, then end-of-bitmap.
std::vector<std::uint8_t> EncodeRle8(const raster::TImage8& frame);

struct TAviMovie {
  int Width = 0, Height = 0;
  int FramesPerSecond = 15;
  int SampleRate = 22050;
  raster::TPalette Palette{};
  std::vector<std::vector<std::uint8_t>> Frames;  // RLE8 data of each frame
  std::vector<std::int16_t> Sound;                // mono; cut into SampleRate / FramesPerSecond per frame
};

// Samples of sound per video frame.
int SamplesPerFrame(const TAviMovie& movie);
// The file's bytes. The sound is cut or padded with silence to one chunk per frame.
std::vector<std::uint8_t> EncodeAvi(const TAviMovie& movie);

}  // namespace vdmq::sample
