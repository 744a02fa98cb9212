#pragma once
// The setup program's embedded pictures as the build generates them (the source is written by
// embed_pictures from the pictures of make_form_pictures): each a BMP without its 14-byte file
// header, under its name.

#include <cstddef>

namespace vdmq {

struct TSetupPictureBytes {
  const char* Name;
  const char* Data;
  std::size_t Size;
};

extern const TSetupPictureBytes kSetupPictureBytes[];
extern const std::size_t kSetupPictureCount;

}  // namespace vdmq
