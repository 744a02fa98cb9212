#pragma once
// The BMP writer of the generators: uncompressed pictures as the game's readers take them. A
// 14-byte file header (data offset 54, or 54 + 1024 for 8 bits), a 40-byte information header with
// a positive height, for 8 bits the 256-entry palette (blue, green, red, 0) with colours-used 256,
// then the rows bottom-up, each padded to 4 bytes. Nothing else: no larger header and no gap.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/Raster.h"

namespace vdmq::raster {

std::vector<std::uint8_t> EncodeBmp(const TImage24& image);
std::vector<std::uint8_t> EncodeBmp(const TImage8& image);

// Writes the picture to path through a temporary file that replaces path only when complete;
// false with the reason in *error when it cannot be written.
bool SaveBmp(const std::string& path, const TImage24& image, std::string* error = nullptr);
bool SaveBmp(const std::string& path, const TImage8& image, std::string* error = nullptr);

}  // namespace vdmq::raster
