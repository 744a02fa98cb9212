#include "qolib/graphics/QoTFPat.h"

#include <algorithm>

#include "platform/base/Sjis.h"

namespace vdmq {

// ---------------------------------------------------------------- font

void TPatFont::SetHeight(int h) {
  font_.Height = h;
  Changed();
}
void TPatFont::SetColor(TColor c) {
  font_.Color = c;
  Changed();
}
void TPatFont::SetName(const std::string& name) {
  font_.Name = name;
  Changed();
}
void TPatFont::SetBold(bool bold) {
  font_.Bold = bold;
  Changed();
}
void TPatFont::Assign(const TFont& f) {
  font_ = f;
  Changed();
}

// ---------------------------------------------------------------- the drawing target

// The bitmap bound to the surface: it holds the surface's pixel memory and draws letters into it
// through the window layer's canvas (on a 32-bit scratch picture, whose black pixels become index 0).
class TTrueFontPat::TLetterBitmap : public IQoImage {
 public:
  void AttachPixels(const TQoPixelView& view) override { view_ = view; }
  void DetachPixels() override { view_ = {}; }
  void Invalidate() override {}

  // Fills the square white and writes the letter at (0, 0) in black.
  void Draw(const TFont& font, const std::string& letter) {
    if (!view_.bits || view_.width <= 0 || view_.height <= 0) return;
    scratch_.Resize(view_.width, view_.height, 0xFFFFFF);
    if (!letter.empty()) {
      TCanvas c;
      c.Bind(scratch_);
      c.Font = font;
      c.Brush.Style = bsClear;
      c.TextOut(0, 0, letter);
    }
    auto* bits = static_cast<std::uint8_t*>(view_.bits);
    for (int y = 0; y < view_.height; ++y) {
      const std::uint32_t* src = scratch_.Row(y);
      std::uint8_t* dst = bits + static_cast<size_t>(y) * view_.pitchBytes;
      for (int x = 0; x < view_.width; ++x) dst[x] = (src[x] & 0xFFFFFF) == 0 ? 0 : 255;
    }
  }

 private:
  TQoPixelView view_;
  TPixmap scratch_;
};

// ---------------------------------------------------------------- renderer

TTrueFontPat::TTrueFontPat(TQoComponent* owner) : TQoComponent(owner) {
  pattern_.assign(static_cast<size_t>(size_) * size_, TQoRGB{});
  indices_.assign(static_cast<size_t>(size_) * size_, 0);
  bitmap_ = std::make_unique<TLetterBitmap>();
  surface_ = std::make_unique<TQoDib>(nullptr, size_, size_);
  surface_->InitDib();
  SetFontPal();
  surface_->SetBitmap(bitmap_.get());
  TFont f;
  f.Name = SJS("ＭＳ ゴシック");
  f.Height = -size_;
  f.Color = clBlack;
  font_.Assign(f);
  previousFontHandler_ = font_.OnChange;
  font_.OnChange = [this](TPatFont* sender) { FontOnChange(sender); };
}

TTrueFontPat::~TTrueFontPat() {
  font_.OnChange = nullptr;
  surface_->EndBitmap();
  surface_.reset();
  bitmap_.reset();
}

void TTrueFontPat::SetFontPal() {
  surface_->SetPal1(0, RGBQUAD{0, 0, 0, 0});
  for (int i = 1; i < 256; ++i) surface_->SetPal1(i, RGBQUAD{255, 255, 255, 0});
}

void TTrueFontPat::SetText(const std::string& text) {
  text_ = text;
  index_ = text_.empty() ? 0 : 1;
  MakeFontPat();
}

void TTrueFontPat::SetIndex(int index) {
  index_ = index;
  if (!text_.empty() && index_ < 1) index_ = 1;
  if (index_ > static_cast<int>(text_.size())) index_ = static_cast<int>(text_.size());
  MakeFontPat();
}

void TTrueFontPat::SetSize(int size) {
  if (size <= 0 || size > kMaxSize) return;
  size_ = size;
  pattern_.assign(static_cast<size_t>(size_) * size_, TQoRGB{});
  indices_.assign(static_cast<size_t>(size_) * size_, 0);
  surface_->ResizeDib(size_, size_);
  if (font_.Height() != -size_) font_.SetHeight(-size_);
  MakeFontPat();
}

void TTrueFontPat::SetFore(const TQoRGB& c) {
  fore_ = c;
  BmpToPat();
}
void TTrueFontPat::SetBack(const TQoRGB& c) {
  back_ = c;
  BmpToPat();
}
void TTrueFontPat::SetForeD(int rgb) { SetFore(TQoRGB(static_cast<unsigned long>(static_cast<std::uint32_t>(rgb)))); }
void TTrueFontPat::SetBackD(int rgb) { SetBack(TQoRGB(static_cast<unsigned long>(static_cast<std::uint32_t>(rgb)))); }

void TTrueFontPat::SetFont(const TFont& f) {
  font_.Assign(f);
  font_.SetColor(clBlack);
}

void TTrueFontPat::FontOnChange(TPatFont* sender) {
  if (font_.Height() != -size_ && font_.Height() < 0) SetSize(-font_.Height());
  if (font_.Color() != clBlack) font_.SetColor(clBlack);
  if (previousFontHandler_) previousFontHandler_(sender);
}

void TTrueFontPat::MakeFontPat() {
  FontToBmp();
  BmpToPat();
}

TTrueFontPat::EByte TTrueFontPat::ByteKind(int pos) const {
  // Walk the letters from the start; a lead byte without its trail byte counts as a single byte.
  const size_t target = static_cast<size_t>(pos - 1);
  size_t i = 0;
  while (i < target) i += SjisLetterLen(text_, i);
  if (i > target) return EByte::Trail;
  return SjisLetterLen(text_, i) == 2 ? EByte::Lead : EByte::Single;
}

void TTrueFontPat::FontToBmp() {
  std::string letter;
  if (!text_.empty() && index_ >= 1 && index_ <= static_cast<int>(text_.size())) {
    const size_t at = static_cast<size_t>(index_ - 1);
    switch (ByteKind(index_)) {
      case EByte::Single:
        // A lead byte cut off by the end of the text has no character: the letter stays empty.
        if (!IsSjisLead(static_cast<unsigned char>(text_[at]))) letter = text_.substr(at, 1);
        break;
      case EByte::Lead: letter = text_.substr(at, 2); break;
      case EByte::Trail: letter = text_.substr(at - 1, 2); break;
    }
  }
  bitmap_->Draw(font_.Value(), letter);
}

void TTrueFontPat::BmpToPat() {
  if (size_ >= 1 && surface_->HasPixels()) {
    const int pitch = surface_->RowPitch();
    const std::uint8_t* bits = surface_->Pixels();
    for (int y = 0; y < size_; ++y)
      std::copy_n(bits + static_cast<size_t>(y) * pitch, size_, indices_.begin() + static_cast<long>(y) * size_);
    for (size_t i = 0; i < indices_.size(); ++i) pattern_[i] = indices_[i] != 0 ? back_ : fore_;
  }
  Change();
}

int TTrueFontPat::NextLetter() {
  if (!text_.empty() && index_ > 0) {
    index_ += ByteKind(index_) == EByte::Lead ? 2 : 1;
    if (index_ > static_cast<int>(text_.size())) index_ = 0;
    MakeFontPat();
  }
  return index_;
}

void TTrueFontPat::Change() {
  if (OnChange) OnChange(this);
}

}  // namespace vdmq
