#pragma once
// A read-only view of a top-down block of 24-bit pixels (blue, green, red per pixel), as the game's
// drawing surfaces and the picture files hold them. Shared by the window layer and by programs that
// know no window system (the PNG codec, the data generator).

#include <cstdint>

namespace vdmq {

// Row pitch in pixels of a 24-bit block: the width rounded up to a multiple of 4 pixels.
constexpr int Bgr24PitchPixels(int width) { return (width + 3) & ~3; }

struct TBgrBlock {
  const std::uint8_t* Bits = nullptr;
  int Width = 0, Height = 0;
  int PitchBytes = 0;
  bool Valid() const { return Bits && Width > 0 && Height > 0 && PitchBytes >= Width * 3; }
};

}  // namespace vdmq
