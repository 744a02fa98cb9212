#include "qolib/graphics/QoDib.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace vdmq {

namespace {

using I64 = long long;

int ToInt(I64 v) {
  return static_cast<int>(std::clamp<I64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// The 20 static colours of the platform's default palette, as red, green, blue.
constexpr std::uint8_t kStaticColours[20][3] = {
    {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},     {128, 0, 128},   {0, 128, 128},
    {192, 192, 192}, {192, 220, 192}, {166, 202, 240}, {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},
    {0, 255, 0},     {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
};

}  // namespace

TQoDib::TQoDib(TQoComponent* owner) : TQoSurface<std::uint8_t>(owner) { InitialColours(palette_); }

TQoDib::TQoDib(TQoComponent* owner, int width, int height) : TQoSurface<std::uint8_t>(owner, width, height) {
  InitialColours(palette_);
}

void TQoDib::InitialColours(RGBQUAD out[256]) const {
  auto put = [&](int index, int fromStatic) {
    const auto& c = kStaticColours[fromStatic];
    out[index] = RGBQUAD{c[2], c[1], c[0], 0};
  };
  for (int i = 0; i < 256; ++i) put(i, 0);
  for (int i = 0; i < 10; ++i) put(i, i);
  for (int i = 0; i < 10; ++i) put(246 + i, 10 + i);
}

void TQoDib::AfterInitDib() {
  InitialColours(palette_);
  paletteChanged_ = false;
}

void TQoDib::BeforeBitmapChange() {
  if (!paletteChanged_ || Bitmap() == nullptr) return;
  Bitmap()->SetPalette(palette_);
  paletteChanged_ = false;
}

void TQoDib::PaletteSet() {
  paletteChanged_ = true;
  SetModified();
  if (Image() != nullptr) Image()->Invalidate();
}

void TQoDib::SetPal1(int index, const RGBQUAD& colour) {
  if (!HasPixels() || index < 0 || index > 255) return;
  palette_[index] = RGBQUAD{colour.rgbBlue, colour.rgbGreen, colour.rgbRed, 0};
  PaletteSet();
}

void TQoDib::SetPal1(int index, const TQoRGB& colour) { SetPal1(index, colour.ToRGBQUAD()); }

void TQoDib::SetPal2(const RGBQUAD* colours256) {
  if (!HasPixels() || colours256 == nullptr) return;
  for (int i = 0; i < 256; ++i) {
    palette_[i] = RGBQUAD{colours256[i].rgbBlue, colours256[i].rgbGreen, colours256[i].rgbRed, 0};
  }
  PaletteSet();
}

void TQoDib::SetPal2(const TQoRGB* colours256) {
  if (colours256 == nullptr) return;
  RGBQUAD quads[256];
  for (int i = 0; i < 256; ++i) quads[i] = colours256[i].ToRGBQUAD();
  SetPal2(quads);
}

void TQoDib::AskPal1(int index, RGBQUAD* out) const {
  if (out == nullptr || index < 0 || index > 255) return;
  *out = palette_[index];
}

void TQoDib::AskPal1(int index, TQoRGB* out) const {
  if (out == nullptr || index < 0 || index > 255) return;
  *out = TQoRGB(palette_[index]);
}

void TQoDib::AskPal2(RGBQUAD* out256) const {
  if (out256 != nullptr) std::memcpy(out256, palette_, sizeof palette_);
}

void TQoDib::AskPal2(TQoRGB* out256) const {
  if (out256 == nullptr) return;
  for (int i = 0; i < 256; ++i) out256[i] = TQoRGB(palette_[i]);
}

void TQoDib::InitPal() {
  RGBQUAD initial[256];
  InitialColours(initial);
  SetPal2(initial);
}

bool TQoDib::SetActFile(const std::string& fileName) {
  RGBQUAD* pal = nullptr;
  if (!LoadActFile(fileName, &pal)) return false;
  if (HasPixels()) SetPal2(pal);
  QoFreeBlock(pal);
  return true;
}

bool TQoDib::SetActPack(TQoPack* pack, const std::string& name) {
  RGBQUAD* pal = nullptr;
  if (!LoadActPack(pack, name, &pal)) return false;
  if (HasPixels()) SetPal2(pal);
  QoFreeBlock(pal);
  return true;
}

bool TQoDib::QoPutPatWappi(int x, int y, int w, int h, const std::uint8_t* pattern, int pitch, std::uint8_t key,
                           bool mirrored) {
  if (!HasPixels() || pattern == nullptr) return false;
  const I64 pi = std::max(pitch, w);
  const I64 X = x, Y = y, W = w, H = h;
  // Block columns i0..i1-1 and rows j0..j1-1 land on the surface; the block keeps its place.
  const I64 i0 = std::max<I64>(0, -X), i1 = std::min<I64>(W, Width() - X);
  const I64 j0 = std::max<I64>(0, -Y), j1 = std::min<I64>(H, Height() - Y);
  if (i0 >= i1 || j0 >= j1) return true;
  const TQoMethod m = Method();
  for (I64 j = j0; j < j1; ++j) {
    const std::uint8_t* src = pattern + j * pi;
    std::uint8_t* dst = Pixels() + (Y + j) * RowPitch() + X;
    for (I64 i = i0; i < i1; ++i) {
      const std::uint8_t s = src[mirrored ? W - 1 - i : i];
      if (s == key) continue;
      std::uint8_t& d = dst[i];
      switch (m) {
        case Qo_AND: d = d & s; break;
        case Qo_OR: d = d | s; break;
        case Qo_XOR: d = d ^ s; break;
        case Qo_ADD: d = static_cast<std::uint8_t>(d + s >= 255 ? 255 : d + s); break;
        case Qo_SUB: d = static_cast<std::uint8_t>(s >= d ? 0 : d - s); break;
        case Qo_MED: d = static_cast<std::uint8_t>((d & s) + ((d ^ s) >> 1)); break;
        default: d = s; break;
      }
    }
  }
  return true;
}

bool TQoDib::PasPatWappi(int x, int y, int w, int h, const std::uint8_t* pattern, std::uint8_t key, bool mirrored) {
  return PasPat2Wappi(x, y, w, h, pattern, w, key, mirrored);
}

bool TQoDib::PasPat2Wappi(int x, int y, int w, int h, const std::uint8_t* pattern, int pitch, std::uint8_t key,
                          bool mirrored) {
  const bool ok = QoPutPatWappi(x, y, w, h, pattern, pitch, key, mirrored);
  if (ok) SetModified(x, y, ToInt(I64{x} + w - 1), ToInt(I64{y} + h - 1));
  return ok;
}

template <typename Load>
bool TQoDib::DrawLoaded(Load load, int x, int y) {
  RGBQUAD* pal = nullptr;
  std::uint8_t* pixels = nullptr;
  int w = 0;
  int h = 0;
  if (!load(&pal, &pixels, &w, &h)) return false;
  bool ok = true;
  if (!HasPixels()) {
    const I64 needW = I64{x} + w;
    const I64 needH = I64{y} + h;
    if (needW < 1 || needH < 1 || needW > std::numeric_limits<int>::max() || needH > std::numeric_limits<int>::max()) {
      ok = false;
    } else {
      SetWidth(static_cast<int>(needW));
      SetHeight(static_cast<int>(needH));
      InitDib();
      ok = HasPixels();
    }
  }
  if (ok) {
    SetPal2(pal);
    PutPat(x, y, w, h, pixels);
  }
  QoFreeBlock(pal);
  QoFreeBlock(pixels);
  return ok;
}

bool TQoDib::DrawBmpPack(TQoPack* pack, const std::string& name, int x, int y) {
  return DrawLoaded(
      [&](RGBQUAD** p, std::uint8_t** px, int* w, int* h) { return LoadBmpPack(pack, name, p, px, w, h); }, x, y);
}

bool TQoDib::DrawBmpFile(const std::string& fileName, int x, int y) {
  return DrawLoaded([&](RGBQUAD** p, std::uint8_t** px, int* w, int* h) { return LoadBmpFile(fileName, p, px, w, h); },
                    x, y);
}

bool TQoDib::DrawBmpResource(HQoModule module, const char* resName, int x, int y) {
  return DrawLoaded(
      [&](RGBQUAD** p, std::uint8_t** px, int* w, int* h) { return LoadBmpResource(module, resName, p, px, w, h); }, x,
      y);
}

bool TQoDib::CopyFrom(int x, int y, const TQoDib* source, int sx, int sy, int w, int h, bool keyed, std::uint8_t key) {
  if (!HasPixels()) return false;
  if (source == nullptr || !source->HasPixels()) return false;
  I64 X = x, Y = y, SX = sx, SY = sy, W = w, H = h;
  if (SX < 0) {
    X -= SX;
    W += SX;
    SX = 0;
  }
  if (SY < 0) {
    Y -= SY;
    H += SY;
    SY = 0;
  }
  W = std::min<I64>(W, source->Width() - SX);
  H = std::min<I64>(H, source->Height() - SY);
  if (W < 1 || H < 1) return true;
  const std::uint8_t* src = source->Pixels() + SY * source->RowPitch() + SX;
  int pitch = source->RowPitch();
  std::vector<std::uint8_t> copy;
  if (source == this) {
    // Within one surface the rectangles may overlap: read the source part first.
    copy.resize(static_cast<std::size_t>(W * H));
    for (I64 j = 0; j < H; ++j) std::memcpy(copy.data() + j * W, src + j * pitch, static_cast<std::size_t>(W));
    src = copy.data();
    pitch = static_cast<int>(W);
  }
  const int ix = ToInt(X), iy = ToInt(Y), iw = static_cast<int>(W), ih = static_cast<int>(H);
  return keyed ? PasPat2(ix, iy, iw, ih, src, pitch, key) : PutPat2(ix, iy, iw, ih, src, pitch);
}

bool TQoDib::PutDib(int x, int y, const TQoDib* source, int sx, int sy, int w, int h) {
  return CopyFrom(x, y, source, sx, sy, w, h, false, 0);
}

bool TQoDib::PasDib(int x, int y, const TQoDib* source, int sx, int sy, int w, int h, std::uint8_t key) {
  return CopyFrom(x, y, source, sx, sy, w, h, true, key);
}

}  // namespace vdmq
