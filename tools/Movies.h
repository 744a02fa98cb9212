#pragma once
// The two movies' scenes and sound tracks, 320 x 240 at 15 frames a second, 150 frames each.
//  1 (the opening): a starfield rushing past and slowing, the federation's fleet (the hull models)
//    crossing with engine glows in the player's blue, the home world rising, a fade to black; a
//    chord swelling over an engine rumble.
//  2 (the ending): the imperial capital's fortress turning over its world; a flash, a shock ring,
//    a fireball and debris flying apart, and a slow fade to black; a deep boom and a chord that
//    resolves.
// Frames are drawn in full colour from the frame number alone, so any frame may be drawn on any
// thread in any order.

#include <array>
#include <memory>

#include "tools/Raster.h"
#include "tools/Synth.h"

namespace vdmq::sample {

constexpr int kMovieWidth = 320, kMovieHeight = 240;
constexpr int kMovieFps = 15;
constexpr int kMovieFrames = 150;
inline constexpr std::array<int, 2> kMovieNumbers = {1, 2};

class TMovieScene {
 public:
  // Builds what every frame of movie `number` (1 or 2) shares: its sky, its world's surface, the
  // rendered ships or the fortress model.
  explicit TMovieScene(int number);
  ~TMovieScene();
  TMovieScene(const TMovieScene&) = delete;
  TMovieScene& operator=(const TMovieScene&) = delete;

  int Number() const { return number_; }
  // Frame 0 .. kMovieFrames - 1 in full colour.
  raster::TImage24 Frame(int frame) const;
  // The sound track, kMovieFrames / kMovieFps seconds at the clips' rate, at its final level.
  synth::TSignal Sound() const;

 private:
  struct TParts;
  int number_;
  std::unique_ptr<TParts> parts_;
};

}  // namespace vdmq::sample
