#pragma once
// Glyph rendering for the window layer: FreeType over the IPA Gothic fonts, monochrome (crisp and
// identical on every machine). Texts arrive as code page 932 bytes and are turned into code points
// only here. "ＭＳ ゴシック" maps to the fixed-pitch IPAGothic, whose half-width letters take one
// cell and double-byte letters exactly two; "ＭＳ Ｐゴシック" maps to the proportional IPAPGothic.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vdmq {

// One rendered glyph: a 0/1 coverage mask with its placement relative to the pen on the baseline.
struct TGlyph {
  int Width = 0, Height = 0;  // mask size
  int Left = 0, Top = 0;      // mask origin: pen x + Left, baseline y - Top
  int Advance = 0;            // pen advance in pixels
  std::vector<std::uint8_t> Mask;
};

// Line metrics of a font at one size.
struct TFontMetrics {
  int Height = 0;  // cell height (ascent + descent)
  int Ascent = 0;
  int Descent = 0;
};

class TFontEngine {
 public:
  // The one engine of the process. Throws std::runtime_error naming the missing file when a font
  // cannot be loaded, so a missing font is a clear error at start and never blank text.
  static TFontEngine& Instance();
  ~TFontEngine();

  // Index of the face used for a font name (CP932 bytes); unknown names use the fixed-pitch face.
  int FaceFor(std::string_view name) const;
  bool IsFixedPitch(int face) const { return face == 0; }
  // Em size in pixels for a class-library font height: negative = em pixels, positive = cell
  // pixels (the same for these faces, which have no internal leading); 0 gives 12.
  static int EmForHeight(int height);

  TFontMetrics Metrics(int face, int em);
  // The glyph of one letter (1 or 2 CP932 bytes). Unknown letters render as a box.
  const TGlyph& Glyph(int face, int em, std::uint16_t sjisLetter);
  // Pen advance of one letter.
  int Advance(int face, int em, std::uint16_t sjisLetter);
  // The code point of a CP932 letter (0xFFFD when the bytes have no character).
  static char32_t ToCodePoint(std::uint16_t sjisLetter);

  // Font file paths in use (for error messages and diagnostics).
  const std::string& FacePath(int face) const;

 private:
  TFontEngine();
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Splits CP932 text into letters: single bytes, or lead byte << 8 | trail byte.
std::vector<std::uint16_t> SjisLetters(std::string_view text);

}  // namespace vdmq
