#pragma once
// The movies stage: each movie's frames drawn on the worker threads, one 256-colour palette for the
// whole movie (median cut over its frames), every frame mapped to its nearest palette colours
// without dithering (so that runs stay long), RLE8-coded and written with its sound track as
// inter/INT_T01.str and inter/INT_T02.str. With a preview folder it also writes movies.png, every
// 15th frame of both movies.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/AviWriter.h"
#include "tools/Raster.h"

namespace vdmq::sample {

class TGeneration;

// A movie as it goes into its file: the palette, the quantised frames and the sound.
struct TMovieCut {
  int Number = 0;
  raster::TPalette Palette{};
  std::vector<raster::TImage8> Frames;
  std::vector<std::int16_t> Sound;
};
TMovieCut CutMovie(int number, int threads);
TAviMovie ToAvi(const TMovieCut& cut);

// The movie's path below the game folder, by the locator's name ("inter/INT_T01.str").
std::string MoviePath(int number);

// The frames movies.png shows: every 15th.
constexpr int kPreviewFrameStep = 15;
bool WriteMoviePreview(TGeneration& generation, const std::vector<TMovieCut>& cuts);

bool RunMovieStage(TGeneration& generation);

}  // namespace vdmq::sample
