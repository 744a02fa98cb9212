#pragma once
// BMP pictures into layer bitmaps, through the graphics library's readers: uncompressed 8-bit
// (with a palette) and 24-bit pictures, as a whole file or as a bitmap resource (the file without
// its 14-byte header, as the resource table keeps it). A damaged or incomplete picture is refused
// and leaves the bitmap as it was.

#include <cstddef>
#include <string>

#include "platform/core/Canvas.h"

namespace vdmq {

// A whole BMP file's bytes, or a bitmap resource's.
bool LoadBmpBitmap(const void* data, std::size_t size, TBitmap& bitmap);
// A bitmap resource registered with QoAddResource for the program's own module.
bool LoadBmpBitmapResource(const std::string& name, TBitmap& bitmap);

}  // namespace vdmq
