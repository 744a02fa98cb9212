#include "platform/headless/PngFile.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace vdmq {

namespace {

bool WriteRows(const std::string& path, int w, int h, const std::vector<png_byte>& rgb) {
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
  png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < h; ++y) png_write_row(png, rgb.data() + static_cast<size_t>(y) * w * 3);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(fp) == 0;
}

}  // namespace

bool SavePng(const std::string& path, const TPixmap& p) {
  if (p.Empty()) return false;
  std::vector<png_byte> rgb(static_cast<size_t>(p.Width()) * p.Height() * 3);
  size_t i = 0;
  for (int y = 0; y < p.Height(); ++y)
    for (int x = 0; x < p.Width(); ++x) {
      const std::uint32_t v = p.Row(y)[x];
      rgb[i++] = (v >> 16) & 255;
      rgb[i++] = (v >> 8) & 255;
      rgb[i++] = v & 255;
    }
  return WriteRows(path, p.Width(), p.Height(), rgb);
}

bool SavePngBgr(const std::string& path, const TBgrBlock& b) {
  if (!b.Valid()) return false;
  std::vector<png_byte> rgb(static_cast<size_t>(b.Width) * b.Height * 3);
  size_t i = 0;
  for (int y = 0; y < b.Height; ++y) {
    const std::uint8_t* s = b.Bits + static_cast<size_t>(y) * b.PitchBytes;
    for (int x = 0; x < b.Width; ++x, s += 3) {
      rgb[i++] = s[2];
      rgb[i++] = s[1];
      rgb[i++] = s[0];
    }
  }
  return WriteRows(path, b.Width, b.Height, rgb);
}

bool LoadPng(const std::string& path, TPixmap& out) {
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
  out.Resize(static_cast<int>(image.width), static_cast<int>(image.height));
  size_t i = 0;
  for (int y = 0; y < out.Height(); ++y)
    for (int x = 0; x < out.Width(); ++x, i += 3)
      out.Row(y)[x] = (static_cast<std::uint32_t>(buf[i]) << 16) | (static_cast<std::uint32_t>(buf[i + 1]) << 8) | buf[i + 2];
  return true;
}

long ComparePixmaps(const TPixmap& a, const TPixmap& b, int tolerance) {
  if (a.Width() != b.Width() || a.Height() != b.Height())
    return std::max(static_cast<long>(a.Width()) * a.Height(), static_cast<long>(b.Width()) * b.Height());
  long diff = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) {
      const std::uint32_t p = a.Row(y)[x], q = b.Row(y)[x];
      for (int s = 0; s < 24; s += 8)
        if (std::abs(static_cast<int>((p >> s) & 255) - static_cast<int>((q >> s) & 255)) > tolerance) {
          ++diff;
          break;
        }
    }
  return diff;
}

}  // namespace vdmq
