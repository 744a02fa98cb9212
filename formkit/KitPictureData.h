#pragma once
// The kit's embedded pictures as the build generates them (the source is written by
// embed_pictures): each a BMP without its 14-byte file header, under its name.

#include <cstddef>

namespace vdmq {

struct TKitPictureBytes {
  const char* Name;
  const char* Data;  // the bytes (a char array, so the table needs no start-up code)
  std::size_t Size;
};

extern const TKitPictureBytes kKitPictureBytes[];
extern const std::size_t kKitPictureCount;

}  // namespace vdmq
