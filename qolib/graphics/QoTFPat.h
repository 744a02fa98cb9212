#pragma once
// TTrueFontPat: turns one letter of a code page 932 text into a square two-colour pattern of TQoRGB
// pixels. The letter is drawn with the window layer's fonts into a Size x Size 8-bit surface whose
// palette is black at index 0 and white everywhere else; the letter's pixels land on index 0, and
// the pattern paints them in the foreground colour and all others in the background colour.
// A caller steps through the text a letter at a time (a double-byte character is one letter) and
// blits each pattern. The text is never read past its end: a double-byte character cut off by the
// end of the text is an empty letter.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/Canvas.h"
#include "qolib/graphics/QoDib.h"

namespace vdmq {

class TTrueFontPat;

// The renderer's font: the canvas font with a change event fired after every change.
class TPatFont {
 public:
  const TFont& Value() const { return font_; }
  int Height() const { return font_.Height; }
  TColor Color() const { return font_.Color; }
  const std::string& Name() const { return font_.Name; }
  void SetHeight(int h);
  void SetColor(TColor c);
  void SetName(const std::string& name);
  void SetBold(bool bold);
  // Takes every setting of f (one change event).
  void Assign(const TFont& f);
  std::function<void(TPatFont* sender)> OnChange;

 private:
  void Changed() {
    if (OnChange) OnChange(this);
  }
  TFont font_;
};

class TTrueFontPat : public TQoComponent {
 public:
  // The largest edge of a pattern; larger sizes are ignored like sizes below 1.
  static constexpr int kMaxSize = 2048;

  explicit TTrueFontPat(TQoComponent* owner = nullptr);
  ~TTrueFontPat() override;

  const std::string& Text() const { return text_; }
  void SetText(const std::string& text);
  int Index() const { return index_; }
  void SetIndex(int index);
  int Size() const { return size_; }
  void SetSize(int size);
  int GetForeD() const { return static_cast<int>(fore_.ToDWORD()); }
  int GetBackD() const { return static_cast<int>(back_.ToDWORD()); }
  void SetForeD(int rgb);
  void SetBackD(int rgb);
  void SetFore(const TQoRGB& c);
  void SetBack(const TQoRGB& c);
  TPatFont& GetFont() { return font_; }
  void SetFont(const TFont& f);
  TQoNotifyEvent OnChange;

  // The pattern, Size x Size pixels, top row first.
  const TQoRGB* Pattern() const { return pattern_.data(); }
  // The surface the letter is drawn into (palette indices).
  const TQoDib& Surface() const { return *surface_; }

  void MakeFontPat();
  void FontToBmp();
  void BmpToPat();
  // Steps to the next letter and draws it; answers the new Index (0 after the last letter).
  int NextLetter();
  void Change();

 private:
  class TLetterBitmap;
  enum class EByte { Single, Lead, Trail };
  // Kind of the byte at 1-based position pos, counted from the start of the text.
  EByte ByteKind(int pos) const;
  void SetFontPal();
  void FontOnChange(TPatFont* sender);

  std::string text_;
  int index_ = 0;
  int size_ = 32;
  std::vector<TQoRGB> pattern_;
  TQoRGB fore_{0, 0, 0};
  TQoRGB back_{255, 255, 255};
  std::unique_ptr<TLetterBitmap> bitmap_;
  std::unique_ptr<TQoDib> surface_;
  TPatFont font_;
  std::function<void(TPatFont*)> previousFontHandler_;
  std::vector<std::uint8_t> indices_;
};

}  // namespace vdmq
