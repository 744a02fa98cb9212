#pragma once
// The project's one PNG reader and writer (libpng), free of any window system: the window layer's
// screenshots and the data generator's previews both write through it.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/base/BgrBlock.h"

namespace vdmq {

// A top-down picture of tightly packed red, green, blue bytes.
struct TRgbPicture {
  int Width = 0, Height = 0;
  std::vector<std::uint8_t> Rgb;  // Width * Height * 3 bytes
};

// Writes an RGB picture as an 8-bit RGB PNG; false when the picture is empty or the file cannot be
// written completely.
bool SavePngRgb(const std::string& path, const TRgbPicture& picture);
// Writes a top-down 24-bit block (blue, green, red) as an RGB PNG.
bool SavePngBgr(const std::string& path, const TBgrBlock& block);
// Reads a PNG (any colour type libpng can expand to RGB); false on a missing or damaged file or a
// side above 16384.
bool LoadPngRgb(const std::string& path, TRgbPicture& out);

}  // namespace vdmq
