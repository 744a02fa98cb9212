#include "platform/png/PngCodec.h"

#include <png.h>

#include <cstdio>

namespace vdmq {

bool SavePngRgb(const std::string& path, const TRgbPicture& pic) {
  if (pic.Width <= 0 || pic.Height <= 0 || pic.Rgb.size() != static_cast<size_t>(pic.Width) * pic.Height * 3)
    return false;
  FILE* fp = std::fopen(path.c_str(), "wb");
  if (!fp) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, &info);
    std::fclose(fp);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(fp);
    return false;
  }
  png_init_io(png, fp);
  png_set_IHDR(png, info, static_cast<png_uint_32>(pic.Width), static_cast<png_uint_32>(pic.Height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < pic.Height; ++y) png_write_row(png, pic.Rgb.data() + static_cast<size_t>(y) * pic.Width * 3);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(fp) == 0;
}

bool SavePngBgr(const std::string& path, const TBgrBlock& b) {
  if (!b.Valid()) return false;
  TRgbPicture pic{b.Width, b.Height, std::vector<std::uint8_t>(static_cast<size_t>(b.Width) * b.Height * 3)};
  size_t i = 0;
  for (int y = 0; y < b.Height; ++y) {
    const std::uint8_t* s = b.Bits + static_cast<size_t>(y) * b.PitchBytes;
    for (int x = 0; x < b.Width; ++x, s += 3) {
      pic.Rgb[i++] = s[2];
      pic.Rgb[i++] = s[1];
      pic.Rgb[i++] = s[0];
    }
  }
  return SavePngRgb(path, pic);
}

bool LoadPngRgb(const std::string& path, TRgbPicture& out) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGB;
  if (image.width == 0 || image.height == 0 || image.width > 16384 || image.height > 16384) {
    png_image_free(&image);
    return false;
  }
  std::vector<png_byte> buf(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, buf.data(), 0, nullptr)) {
    png_image_free(&image);
    return false;
  }
  out.Width = static_cast<int>(image.width);
  out.Height = static_cast<int>(image.height);
  out.Rgb.assign(buf.begin(), buf.end());
  return true;
}

}  // namespace vdmq
