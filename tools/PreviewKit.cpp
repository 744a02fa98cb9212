#include "tools/PreviewKit.h"

#include <algorithm>
#include <filesystem>

#include "platform/png/PngCodec.h"
#include "tools/Generator.h"
#include "tools/OutputFile.h"

namespace vdmq::sample::preview {

namespace fs = std::filesystem;
using raster::TBgr;
using raster::TImage24;

const TImage24& TArtSet::Get(int kind, int number) const {
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].Kind == kind && entries_[i].Number == number) return drawn_[i].Image.Rgb;
  }
  static const TImage24 none(1, 1);
  return none;
}

void Blit(TImage24& dst, const TImage24& src, int sx, int sy, int w, int h, int dx, int dy, TMode mode) {
  const TBgr key = src.At(0, 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int tx = dx + x, ty = dy + y;
      if (tx < 0 || ty < 0 || tx >= dst.Width || ty >= dst.Height) continue;
      const TBgr& p = src.At(sx + x, sy + y);
      if (mode != TMode::kOpaque && p == key) continue;
      TBgr& d = dst.At(tx, ty);
      if (mode == TMode::kAdd) {
        d = {static_cast<std::uint8_t>(std::min(255, d.b + p.b)), static_cast<std::uint8_t>(std::min(255, d.g + p.g)),
             static_cast<std::uint8_t>(std::min(255, d.r + p.r))};
      } else {
        d = p;
      }
    }
  }
}

void BlitFrame(TImage24& dst, const TImage24& sheet, int cols, int fw, int fh, int frame, int x, int y, TMode mode) {
  Blit(dst, sheet, (frame % cols) * fw, (frame / cols) * fh, fw, fh, x, y, mode);
}

TImage24 Scaled(const TImage24& src, int k) {
  TImage24 out(src.Width * k, src.Height * k);
  for (int y = 0; y < out.Height; ++y) {
    for (int x = 0; x < out.Width; ++x) out.At(x, y) = src.At(x / k, y / k);
  }
  return out;
}

void Fill(TImage24& dst, int x, int y, int w, int h, TBgr c) {
  for (int yy = std::max(0, y); yy < std::min(dst.Height, y + h); ++yy) {
    for (int xx = std::max(0, x); xx < std::min(dst.Width, x + w); ++xx) dst.At(xx, yy) = c;
  }
}

void Outline(TImage24& dst, int x, int y, int w, int h, TBgr c) {
  Fill(dst, x, y, w, 1, c);
  Fill(dst, x, y + h - 1, w, 1, c);
  Fill(dst, x, y, 1, h, c);
  Fill(dst, x + w - 1, y, 1, h, c);
}

void Number(TImage24& dst, int value, int x, int y, TBgr c, int scale) {
  static const char* kGlyphs[10] = {"111101101101111", "010110010010111", "111001111100111", "111001111001111",
                                    "101101111001001", "111100111001111", "111100111101111", "111001001001001",
                                    "111101111101111", "111101111001111"};
  const std::string text = std::to_string(value);
  for (size_t i = 0; i < text.size(); ++i) {
    const char* g = kGlyphs[text[i] - '0'];
    for (int r = 0; r < 5; ++r) {
      for (int k = 0; k < 3; ++k) {
        if (g[r * 3 + k] == '1')
          Fill(dst, x + static_cast<int>(i) * 4 * scale + k * scale, y + r * scale, scale, scale, c);
      }
    }
  }
}

void TShelf::Add(const TImage24& img) {
  if (x_ > gap_ && x_ + img.Width + gap_ > max_) {
    x_ = gap_;
    y_ += row_ + gap_;
    row_ = 0;
  }
  items_.push_back({img, x_, y_});
  x_ += img.Width + gap_;
  row_ = std::max(row_, img.Height);
  width_ = std::max(width_, x_);
}

TImage24 TShelf::Compose() const {
  TImage24 out(std::max(1, width_), y_ + row_ + gap_, kSheetBack);
  for (const auto& [img, x, y] : items_) out.Paste(img, x, y);
  return out;
}

bool SavePreview(TGeneration& g, const std::string& folder, const std::string& name, const TImage24& img) {
  const std::string path = (fs::path(folder) / name).string();
  std::string error;
  const TBgrBlock block{reinterpret_cast<const std::uint8_t*>(img.Pixels.data()), img.Width, img.Height, img.Width * 3};
  if (!raster::ReplaceFile(
          path, [&](const std::string& temp) { return SavePngBgr(temp, block); }, &error)) {
    return g.Report(error);
  }
  return true;
}

}  // namespace vdmq::sample::preview
