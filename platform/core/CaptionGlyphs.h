#pragma once
// The five caption-button glyphs (close "r", minimise "0", maximise "1", restore "2", help "s")
// drawn by our own code at any height, standing in for the symbol font the frames ask for.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vdmq {

struct TGlyphMask {
  int Size = 0;                    // the mask is Size x Size pixels
  std::vector<std::uint8_t> Bits;  // 1 = ink
  bool At(int x, int y) const {
    return x >= 0 && y >= 0 && x < Size && y < Size && Bits[static_cast<size_t>(y) * Size + x];
  }
};

// True for the characters that have a caption glyph.
bool IsCaptionGlyphChar(char ch);
// The mask of one glyph at the given height (cached); an empty mask for other characters.
const TGlyphMask& CaptionGlyph(char ch, int height);

}  // namespace vdmq
