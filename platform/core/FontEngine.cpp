#include "platform/core/FontEngine.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <unordered_map>

#include "platform/base/Sjis.h"

namespace vdmq {

namespace {

std::string FindFontFile(const char* file, std::initializer_list<const char*> fallbacks) {
  if (const char* dir = std::getenv("VDMQ_FONT_DIR")) {
    std::filesystem::path p = std::filesystem::path(dir) / file;
    if (std::filesystem::exists(p)) return p.string();
  }
  for (const char* f : fallbacks)
    if (std::filesystem::exists(f)) return f;
  return {};
}

char32_t DecodeUtf8(const std::string& s) {
  if (s.empty()) return 0xFFFD;
  const unsigned char c0 = s[0];
  if (c0 < 0x80) return c0;
  int n = (c0 >= 0xF0) ? 3 : (c0 >= 0xE0) ? 2 : (c0 >= 0xC0) ? 1 : -1;
  if (n < 0 || static_cast<int>(s.size()) < n + 1) return 0xFFFD;
  char32_t cp = c0 & (0x3F >> n);
  for (int i = 1; i <= n; ++i) cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
  return cp;
}

}  // namespace

struct TFontEngine::Impl {
  FT_Library lib = nullptr;
  FT_Face faces[2] = {nullptr, nullptr};
  std::string paths[2];
  std::unordered_map<std::uint64_t, TGlyph> glyphs;
  std::unordered_map<std::uint64_t, TFontMetrics> metrics;
  int sizedFace = -1, sizedEm = -1;

  void SetSize(int face, int em) {
    if (sizedFace == face && sizedEm == em) return;
    FT_Set_Pixel_Sizes(faces[face], 0, static_cast<FT_UInt>(em));
    sizedFace = face;
    sizedEm = em;
  }
};

TFontEngine& TFontEngine::Instance() {
  static TFontEngine engine;
  return engine;
}

TFontEngine::TFontEngine() : impl_(std::make_unique<Impl>()) {
  if (FT_Init_FreeType(&impl_->lib)) throw std::runtime_error("font renderer could not start");
  impl_->paths[0] = FindFontFile("ipag.ttf", {"/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
                                              "/usr/share/fonts/truetype/fonts-japanese-gothic.ttf"});
  impl_->paths[1] = FindFontFile("ipagp.ttf", {"/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf"});
  const char* names[2] = {"IPAGothic (ipag.ttf)", "IPAPGothic (ipagp.ttf)"};
  for (int i = 0; i < 2; ++i) {
    if (impl_->paths[i].empty() || FT_New_Face(impl_->lib, impl_->paths[i].c_str(), 0, &impl_->faces[i]))
      throw std::runtime_error(std::string("font not found: ") + names[i] +
                               "; install the package fonts-ipafont-gothic or set VDMQ_FONT_DIR");
  }
}

TFontEngine::~TFontEngine() {
  for (FT_Face f : impl_->faces)
    if (f) FT_Done_Face(f);
  if (impl_->lib) FT_Done_FreeType(impl_->lib);
}

const std::string& TFontEngine::FacePath(int face) const { return impl_->paths[face ? 1 : 0]; }

int TFontEngine::FaceFor(std::string_view name) const {
  static const std::string proportional = Utf8ToSjis("ＭＳ Ｐゴシック");
  if (name == proportional || name == "MS UI Gothic" || name == "IPAPGothic") return 1;
  return 0;
}

int TFontEngine::EmForHeight(int height) {
  if (height == 0) return 12;
  return std::min(std::abs(height), 512);
}

TFontMetrics TFontEngine::Metrics(int face, int em) {
  face = face ? 1 : 0;
  em = std::max(1, em);
  const std::uint64_t key = (static_cast<std::uint64_t>(face) << 32) | static_cast<std::uint32_t>(em);
  auto it = impl_->metrics.find(key);
  if (it != impl_->metrics.end()) return it->second;
  FT_Face f = impl_->faces[face];
  // The cell is one em high (no internal leading), split by the face's own ascender/descender.
  const double asc = f->ascender, desc = -static_cast<double>(f->descender);
  TFontMetrics m;
  m.Height = em;
  m.Ascent = static_cast<int>(em * asc / (asc + desc) + 0.5);
  m.Descent = em - m.Ascent;
  impl_->metrics.emplace(key, m);
  return m;
}

char32_t TFontEngine::ToCodePoint(std::uint16_t letter) {
  static std::unordered_map<std::uint16_t, char32_t> cache;
  static std::mutex lock;
  if (letter < 0x80) return letter;
  std::lock_guard<std::mutex> g(lock);
  auto it = cache.find(letter);
  if (it != cache.end()) return it->second;
  std::string bytes;
  if (letter > 0xFF) {
    bytes.push_back(static_cast<char>(letter >> 8));
    bytes.push_back(static_cast<char>(letter & 0xFF));
  } else {
    bytes.push_back(static_cast<char>(letter));
  }
  char32_t cp = DecodeUtf8(SjisToUtf8(bytes));
  cache.emplace(letter, cp);
  return cp;
}

int TFontEngine::Advance(int face, int em, std::uint16_t letter) {
  face = face ? 1 : 0;
  if (face == 0) {
    // Fixed pitch: a single-byte letter is one half-width cell, a double-byte letter two.
    const int cell = (em + 1) / 2;
    return letter > 0xFF ? 2 * cell : cell;
  }
  return Glyph(face, em, letter).Advance;
}

const TGlyph& TFontEngine::Glyph(int face, int em, std::uint16_t letter) {
  face = face ? 1 : 0;
  em = std::max(1, em);
  const std::uint64_t key = (static_cast<std::uint64_t>(face) << 48) | (static_cast<std::uint64_t>(em) << 16) | letter;
  auto it = impl_->glyphs.find(key);
  if (it != impl_->glyphs.end()) return it->second;
  TGlyph g;
  FT_Face f = impl_->faces[face];
  impl_->SetSize(face, em);
  const char32_t cp = ToCodePoint(letter);
  FT_UInt index = FT_Get_Char_Index(f, cp);
  if (index != 0 && !FT_Load_Glyph(f, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME)) {
    const FT_Bitmap& bm = f->glyph->bitmap;
    g.Width = static_cast<int>(bm.width);
    g.Height = static_cast<int>(bm.rows);
    g.Left = f->glyph->bitmap_left;
    g.Top = f->glyph->bitmap_top;
    g.Advance = static_cast<int>((f->glyph->advance.x + 32) >> 6);
    g.Mask.assign(static_cast<size_t>(g.Width) * g.Height, 0);
    for (int y = 0; y < g.Height; ++y) {
      const unsigned char* row = bm.buffer + y * bm.pitch;
      for (int x = 0; x < g.Width; ++x) {
        bool on = bm.pixel_mode == FT_PIXEL_MODE_MONO ? ((row[x >> 3] >> (7 - (x & 7))) & 1) : (row[x] >= 128);
        g.Mask[static_cast<size_t>(y) * g.Width + x] = on ? 1 : 0;
      }
    }
  } else if (cp != ' ' && cp >= 0x20) {
    // A letter the font lacks: an outlined box, so missing glyphs never vanish silently.
    const TFontMetrics m = Metrics(face, em);
    g.Advance = letter > 0xFF ? em : (em + 1) / 2;
    g.Width = std::max(1, g.Advance - 2);
    g.Height = std::max(1, m.Ascent - 1);
    g.Left = 1;
    g.Top = m.Ascent - 1;
    g.Mask.assign(static_cast<size_t>(g.Width) * g.Height, 0);
    for (int y = 0; y < g.Height; ++y)
      for (int x = 0; x < g.Width; ++x)
        if (x == 0 || y == 0 || x == g.Width - 1 || y == g.Height - 1) g.Mask[static_cast<size_t>(y) * g.Width + x] = 1;
  } else {
    g.Advance = letter > 0xFF ? em : (em + 1) / 2;
  }
  if (face == 0) {
    // Keep the fixed-pitch grid whatever the hinter says.
    g.Advance = letter > 0xFF ? 2 * ((em + 1) / 2) : (em + 1) / 2;
  }
  return impl_->glyphs.emplace(key, std::move(g)).first->second;
}

std::vector<std::uint16_t> SjisLetters(std::string_view text) {
  std::vector<std::uint16_t> out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const size_t n = SjisLetterLen(text, i);
    if (n == 2)
      out.push_back(static_cast<std::uint16_t>((static_cast<unsigned char>(text[i]) << 8) |
                                               static_cast<unsigned char>(text[i + 1])));
    else
      out.push_back(static_cast<unsigned char>(text[i]));
    i += n;
  }
  return out;
}

}  // namespace vdmq
