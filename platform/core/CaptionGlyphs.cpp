#include "platform/core/CaptionGlyphs.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <utility>

#include "platform/core/FontEngine.h"

namespace vdmq {

namespace {

struct TMaskPainter {
  TGlyphMask& m;
  void Set(int x, int y, std::uint8_t v = 1) {
    if (x >= 0 && y >= 0 && x < m.Size && y < m.Size) m.Bits[static_cast<size_t>(y) * m.Size + x] = v;
  }
  void Fill(int l, int t, int r, int b, std::uint8_t v = 1) {
    for (int y = t; y < b; ++y)
      for (int x = l; x < r; ++x) Set(x, y, v);
  }
  // A box outline with a thicker top edge (the window look of the maximise and restore glyphs).
  void Box(int l, int t, int r, int b, int top) {
    Fill(l, t, r, t + top);
    Fill(l, t, l + 1, b);
    Fill(r - 1, t, r, b);
    Fill(l, b - 1, r, b);
  }
};

TGlyphMask Build(char ch, int h) {
  TGlyphMask m;
  m.Size = std::max(1, h);
  m.Bits.assign(static_cast<size_t>(m.Size) * m.Size, 0);
  TMaskPainter p{m};
  const int s = m.Size;
  const int inset = std::max(1, s / 10);
  const int l = inset, t = inset, r = s - inset, b = s - inset;  // the glyph box
  const int w = r - l, hh = b - t;
  const int thick = s >= 6 ? 2 : 1;
  switch (ch) {
    case 'r': {  // close: a cross of two 2-pixel diagonals
      const int n = std::min(w, hh) - (thick - 1);
      for (int i = 0; i < n; ++i)
        for (int k = 0; k < thick; ++k) {
          p.Set(l + i + k, t + i);
          p.Set(l + n - 1 - i + k, t + i);
        }
      break;
    }
    case '0': {  // minimise: a bar at the bottom
      const int bw = std::max(thick, (w * 3 + 2) / 5);
      p.Fill(l, b - thick, l + bw, b);
      break;
    }
    case '1':  // maximise: a window with a thick top edge
      p.Box(l, t, r, b, thick);
      break;
    case '2': {  // restore: two overlapping windows, the front one bottom-left
      const int ow = std::max(3, (w * 3 + 2) / 4), oh = std::max(3, (hh * 3 + 2) / 4);
      p.Box(r - ow, t, r, t + oh, thick);
      p.Fill(l, b - oh, l + ow, b, 0);
      p.Box(l, b - oh, l + ow, b, thick);
      break;
    }
    case 's': {  // help: a question mark from the fixed-pitch face
      TFontEngine& fe = TFontEngine::Instance();
      const TGlyph& g = fe.Glyph(0, s, '?');
      const TFontMetrics fm = fe.Metrics(0, s);
      const int ox = (s - g.Advance) / 2, oy = 0;
      for (int y = 0; y < g.Height; ++y)
        for (int x = 0; x < g.Width; ++x)
          if (g.Mask[static_cast<size_t>(y) * g.Width + x]) p.Set(ox + g.Left + x, oy + fm.Ascent - g.Top + y);
      break;
    }
    default: m.Bits.assign(m.Bits.size(), 0); break;
  }
  return m;
}

}  // namespace

bool IsCaptionGlyphChar(char ch) { return ch == 'r' || ch == '0' || ch == '1' || ch == '2' || ch == 's'; }

const TGlyphMask& CaptionGlyph(char ch, int height) {
  static std::map<std::pair<char, int>, TGlyphMask> cache;
  static std::mutex lock;
  height = std::clamp(height, 1, 256);
  std::lock_guard<std::mutex> g(lock);
  auto key = std::make_pair(IsCaptionGlyphChar(ch) ? ch : '\0', height);
  auto it = cache.find(key);
  if (it == cache.end()) it = cache.emplace(key, Build(key.first, height)).first;
  return it->second;
}

}  // namespace vdmq
