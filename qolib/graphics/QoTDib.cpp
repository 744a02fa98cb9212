#include "qolib/graphics/QoTDib.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "qolib/graphics/QoDib.h"

namespace vdmq {

namespace {

using I64 = long long;

int ToInt(I64 v) {
  return static_cast<int>(std::clamp<I64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// Clips a copy against its source: a negative source corner moves the destination instead,
// and the rectangle ends at the source's edges. False when nothing is left.
bool ClipSource(I64& x, I64& y, I64& sx, I64& sy, I64& w, I64& h, int srcWidth, int srcHeight) {
  if (sx < 0) {
    x -= sx;
    w += sx;
    sx = 0;
  }
  if (sy < 0) {
    y -= sy;
    h += sy;
    sy = 0;
  }
  w = std::min<I64>(w, srcWidth - sx);
  h = std::min<I64>(h, srcHeight - sy);
  return w >= 1 && h >= 1;
}

}  // namespace

TQoTrueDib::TQoTrueDib(TQoComponent* owner) : TQoSurface<TQoRGB>(owner) {}

TQoTrueDib::TQoTrueDib(TQoComponent* owner, int width, int height) : TQoSurface<TQoRGB>(owner, width, height) {}

template <typename Load>
bool TQoTrueDib::DrawLoaded(Load load, int x, int y) {
  TQoRGB* pixels = nullptr;
  int w = 0;
  int h = 0;
  if (!load(&pixels, &w, &h)) return false;
  if (!HasPixels()) {
    const I64 needW = I64{x} + w;
    const I64 needH = I64{y} + h;
    if (needW < 1 || needH < 1 || needW > std::numeric_limits<int>::max() || needH > std::numeric_limits<int>::max()) {
      QoFreeBlock(pixels);
      return false;
    }
    SetWidth(static_cast<int>(needW));
    SetHeight(static_cast<int>(needH));
    InitDib();
    if (!HasPixels()) {
      QoFreeBlock(pixels);
      return false;
    }
  }
  PutPat(x, y, w, h, pixels);
  QoFreeBlock(pixels);
  return true;
}

bool TQoTrueDib::DrawBmpPack(TQoPack* pack, const std::string& name, int x, int y) {
  return DrawLoaded([&](TQoRGB** p, int* w, int* h) { return LoadBmp24Pack(pack, name, p, w, h); }, x, y);
}

bool TQoTrueDib::DrawBmpFile(const std::string& fileName, int x, int y) {
  return DrawLoaded([&](TQoRGB** p, int* w, int* h) { return LoadBmp24File(fileName, p, w, h); }, x, y);
}

bool TQoTrueDib::DrawBmpResource(HQoModule module, const char* resName, int x, int y) {
  return DrawLoaded([&](TQoRGB** p, int* w, int* h) { return LoadBmp24Resource(module, resName, p, w, h); }, x, y);
}

bool TQoTrueDib::CopyFrom24(int x, int y, const TQoTrueDib* source, int sx, int sy, int w, int h, bool keyed,
                            TQoRGB key) {
  if (!HasPixels()) return false;
  if (source == nullptr || !source->HasPixels()) return false;
  I64 X = x, Y = y, SX = sx, SY = sy, W = w, H = h;
  if (!ClipSource(X, Y, SX, SY, W, H, source->Width(), source->Height())) return true;
  const TQoRGB* src = source->Pixels() + SY * source->RowPitch() + SX;
  int pitch = source->RowPitch();
  std::vector<TQoRGB> copy;
  if (source == this) {
    // Within one surface the rectangles may overlap: read the source part first.
    const I64 rows = std::min<I64>(H, Height() - SY);
    copy.resize(static_cast<std::size_t>(W * rows));
    for (I64 j = 0; j < rows; ++j) {
      std::copy_n(src + j * pitch, W, copy.begin() + j * W);
    }
    src = copy.data();
    pitch = static_cast<int>(W);
  }
  const int ix = ToInt(X), iy = ToInt(Y), iw = static_cast<int>(W), ih = static_cast<int>(H);
  return keyed ? PasPat2(ix, iy, iw, ih, src, pitch, key) : PutPat2(ix, iy, iw, ih, src, pitch);
}

bool TQoTrueDib::CopyFrom8(int x, int y, const TQoDib* source, int sx, int sy, int w, int h, bool keyed, TQoRGB key) {
  if (!HasPixels()) return false;
  if (source == nullptr || !source->HasPixels()) return false;
  I64 X = x, Y = y, SX = sx, SY = sy, W = w, H = h;
  if (!ClipSource(X, Y, SX, SY, W, H, source->Width(), source->Height())) return true;
  TQoRGB table[256];
  source->AskPal2(table);
  std::vector<TQoRGB> row(static_cast<std::size_t>(W));
  const int ix = ToInt(X), iw = static_cast<int>(W);
  for (I64 j = 0; j < H; ++j) {
    const std::uint8_t* s = source->Pixels() + (SY + j) * source->RowPitch() + SX;
    for (I64 i = 0; i < W; ++i) row[static_cast<std::size_t>(i)] = table[s[i]];
    const int iy = ToInt(Y + j);
    if (keyed) {
      PasPat2(ix, iy, iw, 1, row.data(), iw, key);
    } else {
      PutPat2(ix, iy, iw, 1, row.data(), iw);
    }
  }
  return true;
}

bool TQoTrueDib::PutDib(int x, int y, const TQoTrueDib* source, int sx, int sy, int w, int h) {
  return CopyFrom24(x, y, source, sx, sy, w, h, false, TQoRGB());
}

bool TQoTrueDib::PasDib(int x, int y, const TQoTrueDib* source, int sx, int sy, int w, int h, TQoRGB key) {
  return CopyFrom24(x, y, source, sx, sy, w, h, true, key);
}

bool TQoTrueDib::PutDib(int x, int y, const TQoDib* source, int sx, int sy, int w, int h) {
  return CopyFrom8(x, y, source, sx, sy, w, h, false, TQoRGB());
}

bool TQoTrueDib::PasDib(int x, int y, const TQoDib* source, int sx, int sy, int w, int h, TQoRGB key) {
  return CopyFrom8(x, y, source, sx, sy, w, h, true, key);
}

void TQoTrueDib::SetClipRgn(TQoDC* /*dc*/) {
  // Nothing creates a clip region for a surface, so there is never one to select.
}

}  // namespace vdmq
