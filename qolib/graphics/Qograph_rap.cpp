#include "qolib/graphics/Qograph_rap.h"

#include <algorithm>
#include <utility>

#include "qolib/graphics/Qooldbmp.h"

namespace vdmq {

namespace {

using I64 = long long;

TQoEntryNameHook& NameHook() {
  static TQoEntryNameHook hook;
  return hook;
}

TQoPack*& PictureArchive() {
  static TQoPack* pack = nullptr;
  return pack;
}

// Keeps a surface's method and mirroring for the length of one blit.
class MethodScope {
 public:
  MethodScope(TQoTrueDib* s, int mode) : s_(s), method_(s->Method()), reverse_(s->Reverse()) {
    s->SetMethod(static_cast<TQoMethod>(static_cast<std::uint8_t>(mode)));
    s->SetReverse(false);
  }
  ~MethodScope() {
    s_->SetMethod(method_);
    s_->SetReverse(reverse_);
  }
  MethodScope(const MethodScope&) = delete;
  MethodScope& operator=(const MethodScope&) = delete;

 private:
  TQoTrueDib* s_;
  TQoMethod method_;
  bool reverse_;
};

// Nothing to draw when the block lies wholly left of or above the surface, or starts beyond it.
bool Reaches(const TQoTrueDib* s, int x, int y, int w, int h) {
  return !(I64{x} + w <= 0 || x > s->Width() || I64{y} + h <= 0 || y > s->Height());
}

struct RapColorsInit {
  RapColorsInit() { InitRapColors(); }
};

}  // namespace

TQoRGB RapColors[kRapColorCount];

void InitRapColors() {
  static const unsigned long kValues[kRapColorCount] = {
      0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x808080, 0xC0C0C0,
      0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xC0C0C0, 0x808080, 0xFFFFFF,
  };
  for (int i = 0; i < kRapColorCount; ++i) RapColors[i] = TQoRGB(kValues[i]);
}

static RapColorsInit rapColorsInit;

void SetQoEntryNameHook(TQoEntryNameHook hook) { NameHook() = std::move(hook); }
const TQoEntryNameHook& QoEntryNameHook() { return NameHook(); }
void SetQoPictureArchive(TQoPack* pack) { PictureArchive() = pack; }
TQoPack* QoPictureArchive() { return PictureArchive(); }

TQoRGBContainer::~TQoRGBContainer() { QoFreeBlock(pixels_); }

bool TQoRGBContainer::LoadPack(TQoPack* pack, const std::string& name, int rows, int cols) {
  if (rows < 1 || cols < 1) return false;
  TQoRGB* pixels = nullptr;
  int w = 0;
  int h = 0;
  if (!LoadBmp24Pack(pack, name, &pixels, &w, &h)) return false;
  QoFreeBlock(pixels_);
  pixels_ = pixels;
  width_ = w;
  height_ = h;
  rows_ = rows;
  cols_ = cols;
  frameHeight_ = h / rows;
  frameWidth_ = w / cols;
  return true;
}

bool TQoRGBContainer::LoadPackById(int kind, int number, int rows, int cols) {
  if (!NameHook() || PictureArchive() == nullptr) return false;
  return LoadPack(PictureArchive(), NameHook()(kind, number), rows, cols);
}

const TQoRGB* TQoRGBContainer::Frame(int n) const {
  if (pixels_ == nullptr || frameWidth_ < 1 || frameHeight_ < 1) return nullptr;
  if (n < 0 || I64{n} >= I64{rows_} * cols_) return nullptr;
  const I64 offset = I64{n / cols_} * frameHeight_ * width_ + I64{n % cols_} * frameWidth_;
  return pixels_ + offset;
}

void TQoRGBContainer::Blit(TQoTrueDib* surface, int frame, int x, int y, int mode, bool keyed) {
  if (surface == nullptr) return;
  const TQoRGB* first = Frame(frame);
  if (first == nullptr) return;
  if (!Reaches(surface, x, y, frameWidth_, frameHeight_)) return;
  MethodScope scope(surface, mode);
  if (keyed) {
    surface->PasPat2(x, y, frameWidth_, frameHeight_, first, width_, pixels_[0]);
  } else {
    surface->PutPat2(x, y, frameWidth_, frameHeight_, first, width_);
  }
}

void TQoRGBContainer::PasPat(TQoTrueDib* surface, int frame, int x, int y, int mode) {
  Blit(surface, frame, x, y, mode, true);
}

void TQoRGBContainer::PutPat(TQoTrueDib* surface, int frame, int x, int y, int mode) {
  Blit(surface, frame, x, y, mode, false);
}

void TQoRGBContainer::PutArea(TQoTrueDib* surface, int x, int y, int w, int h, int sx, int sy, int mode) {
  if (surface == nullptr || pixels_ == nullptr) return;
  if (!Reaches(surface, x, y, w, h)) return;
  sx = std::clamp(sx, 0, cols_ * frameWidth_);
  sy = std::clamp(sy, 0, rows_ * frameHeight_);
  // The area ends at the picture's edges.
  w = std::min(w, width_ - sx);
  h = std::min(h, height_ - sy);
  if (w < 1 || h < 1) return;
  MethodScope scope(surface, mode);
  surface->PutPat2(x, y, w, h, pixels_ + I64{sy} * width_ + sx, width_);
}

bool DrawBmpPackById(TQoTrueDib* surface, int a, int b, int kind, int number) {
  if (surface == nullptr || !NameHook() || PictureArchive() == nullptr) return false;
  return surface->DrawBmpPack(PictureArchive(), NameHook()(kind, number), a, b);
}

}  // namespace vdmq
