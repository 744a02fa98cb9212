#pragma once
// The setup window's background picture, built into the program by the build (drawn by the
// pictures' generator and embedded as the bytes of a 24-bit BMP without its 14-byte file header).

#include <cstddef>

#include "platform/core/Canvas.h"

namespace vdmq::setup {

// Loads the background picture (480 x 320) into the bitmap.
bool LoadSetupBackground(TBitmap& bitmap);

// An uncompressed 24-bit BMP picture without its file header (the 40-byte information header
// first), stored bottom row first or top row first, into the bitmap. Anything else, or bytes that
// do not hold the whole picture, answers false and leaves the bitmap as it was.
bool LoadBmp24Bytes(const void* data, std::size_t size, TBitmap& bitmap);

}  // namespace vdmq::setup
