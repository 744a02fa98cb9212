#pragma once
// PNG pictures of the screen, a window or a 24-bit surface, for picture comparisons in tests. The
// file format work is the PNG codec's; this unit adapts the window layer's pixel memory to it.

#include <string>

#include "platform/core/Pixmap.h"
#include "platform/png/PngCodec.h"

namespace vdmq {

// Writes 0x00RRGGBB pixels as an RGB PNG; false when the file cannot be written.
bool SavePng(const std::string& path, const TPixmap& pixels);
// Reads a PNG (any colour type libpng can expand to RGB) into 0x00RRGGBB pixels; false on a
// missing or damaged file.
bool LoadPng(const std::string& path, TPixmap& out);
// Number of pixels that differ by more than tolerance in any channel (sizes must match; a size
// mismatch counts every pixel of the larger picture).
long ComparePixmaps(const TPixmap& a, const TPixmap& b, int tolerance = 0);

}  // namespace vdmq
