#include "platform/core/Canvas.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/base/Sjis.h"
#include "platform/core/CaptionGlyphs.h"
#include "platform/core/FontEngine.h"

namespace vdmq {

namespace {

bool IsGlyphFont(const TFont& f) { return f.Name == kCaptionGlyphFont; }

struct TFontUse {
  int face = 0, em = 12;
  bool glyphFont = false;
  explicit TFontUse(const TFont& f) {
    glyphFont = IsGlyphFont(f);
    em = TFontEngine::EmForHeight(f.Height);
    if (!glyphFont) face = TFontEngine::Instance().FaceFor(f.Name);
  }
  int LineHeight() const { return glyphFont ? em : TFontEngine::Instance().Metrics(face, em).Height; }
  int Ascent() const { return glyphFont ? em : TFontEngine::Instance().Metrics(face, em).Ascent; }
  int Advance(std::uint16_t letter) const { return glyphFont ? em : TFontEngine::Instance().Advance(face, em, letter); }
};

}  // namespace

int TFont::Size() const { return Height < 0 ? (-Height * 72 + 48) / 96 : (Height * 72 + 48) / 96; }

// ---------------------------------------------------------------------------------------------
// Recording

TCanvasOp TCanvas::NewOp(TCanvasOpKind kind) const {
  TCanvasOp op;
  op.Kind = kind;
  op.Target = target_.Bits;
  op.Origin = origin_;
  return op;
}

// ---------------------------------------------------------------------------------------------
// Binding and clipping

void TCanvas::Bind(const TPixelTarget& target, TPoint origin, const TRect& clip) {
  target_ = target;
  origin_ = origin;
  bindClip_ = Intersect(clip, {0, 0, target.Width, target.Height});
  clips_.assign(1, bindClip_);
  if (bindClip_.IsEmpty()) clips_.clear();
}

void TCanvas::SelectClipRegion(const TRegion* region) {
  if (Recording()) {
    TCanvasOp op = NewOp(TCanvasOpKind::SelectClipRegion);
    op.NoRegion = region == nullptr;
    if (region) op.Region = region->Rects();
    Emit(op);
  }
  clips_.clear();
  if (bindClip_.IsEmpty()) return;
  if (!region) {
    clips_.push_back(bindClip_);
    return;
  }
  for (const TRect& r : region->Rects()) {
    TRect c = Intersect(r.Offset(origin_.X, origin_.Y), bindClip_);
    if (!c.IsEmpty()) clips_.push_back(c);
  }
}

TRect TCanvas::ClipRect() const {
  TRect b;
  for (const TRect& r : clips_) b = UnionBounds(b, r);
  return b.Offset(-origin_.X, -origin_.Y);
}

void TCanvas::PutClipped(int tx, int ty, std::uint32_t pixel) {
  for (const TRect& c : clips_)
    if (c.Contains(tx, ty)) {
      target_.Put(tx, ty, pixel);
      return;
    }
}

void TCanvas::FillLogical(const TRect& r, std::uint32_t pixel) {
  if (!HasTarget()) return;
  const TRect t = r.Offset(origin_.X, origin_.Y);
  for (const TRect& c : clips_) {
    TRect x = Intersect(t, c);
    if (!x.IsEmpty()) target_.FillClipped(x, pixel);
  }
}

// ---------------------------------------------------------------------------------------------
// Shapes

void TCanvas::FillRect(const TRect& r) {
  if (Recording()) {
    TCanvasOp op = NewOp(TCanvasOpKind::FillRect);
    op.Dest = r;
    op.Color = Brush.Style == bsClear ? clNone : Brush.Color;
    Emit(op);
  }
  if (Brush.Style == bsClear || Brush.Color == clNone) return;
  FillLogical(r, ColorToPixel(Brush.Color));
  Changed();
}

void TCanvas::FillRectColor(const TRect& r, TColor c) {
  if (Recording()) {
    TCanvasOp op = NewOp(TCanvasOpKind::FillRect);
    op.Dest = r;
    op.Color = c;
    Emit(op);
  }
  if (c == clNone) return;
  FillLogical(r, ColorToPixel(c));
  Changed();
}

void TCanvas::FrameRect(const TRect& r) {
  if (r.IsEmpty() || Brush.Color == clNone) return;
  const std::uint32_t p = ColorToPixel(Brush.Color);
  FillLogical({r.Left, r.Top, r.Right, r.Top + 1}, p);
  FillLogical({r.Left, r.Bottom - 1, r.Right, r.Bottom}, p);
  FillLogical({r.Left, r.Top, r.Left + 1, r.Bottom}, p);
  FillLogical({r.Right - 1, r.Top, r.Right, r.Bottom}, p);
  Changed();
}

void TCanvas::Rectangle(const TRect& r) {
  if (r.IsEmpty()) return;
  FillRect(r.Inflate(-1, -1));
  const std::uint32_t p = ColorToPixel(Pen.Color);
  FillLogical({r.Left, r.Top, r.Right, r.Top + 1}, p);
  FillLogical({r.Left, r.Bottom - 1, r.Right, r.Bottom}, p);
  FillLogical({r.Left, r.Top, r.Left + 1, r.Bottom}, p);
  FillLogical({r.Right - 1, r.Top, r.Right, r.Bottom}, p);
  Changed();
}

void TCanvas::MoveTo(int x, int y) {
  PenPos = {x, y};
  if (Recording()) {
    TCanvasOp op = NewOp(TCanvasOpKind::MoveTo);
    op.Point = PenPos;
    Emit(op);
  }
}

void TCanvas::LineTo(int x, int y) {
  if (Recording()) {
    TCanvasOp op = NewOp(TCanvasOpKind::LineTo);
    op.From = PenPos;
    op.Point = {x, y};
    op.Color = Pen.Color;
    Emit(op);
  }
  if (HasTarget() && Pen.Color != clNone) {
    const std::uint32_t p = ColorToPixel(Pen.Color);
    int x0 = PenPos.X, y0 = PenPos.Y;
    const int dx = std::abs(x - x0), sx = x0 < x ? 1 : -1;
    const int dy = -std::abs(y - y0), sy = y0 < y ? 1 : -1;
    int err = dx + dy;
    // Bresenham; the end point itself is not drawn.
    while (!(x0 == x && y0 == y)) {
      PutClipped(x0 + origin_.X, y0 + origin_.Y, p);
      const int e2 = 2 * err;
      if (e2 >= dy) {
        err += dy;
        x0 += sx;
      }
      if (e2 <= dx) {
        err += dx;
        y0 += sy;
      }
    }
    Changed();
  }
  PenPos = {x, y};
}

TColor TCanvas::GetPixel(int x, int y) const {
  TColor answer = clNone;
  if (HasTarget()) {
    const std::uint32_t v = target_.Get(x + origin_.X, y + origin_.Y);
    answer = RGB((v >> 16) & 255, (v >> 8) & 255, v & 255);
  }
  if (Recording()) {
    TCanvasOp op = NewOp(TCanvasOpKind::GetPixel);
    op.Point = {x, y};
    op.Color = answer;
    Emit(op);
  }
  return answer;
}

void TCanvas::SetPixel(int x, int y, TColor c) {
  if (Recording()) {
    TCanvasOp op = NewOp(TCanvasOpKind::SetPixel);
    op.Point = {x, y};
    op.Color = c;
    Emit(op);
  }
  if (!HasTarget() || c == clNone) return;
  PutClipped(x + origin_.X, y + origin_.Y, ColorToPixel(c));
  Changed();
}

void TCanvas::Frame3D(TRect& r, TColor topLeft, TColor bottomRight, int width) {
  for (int i = 0; i < width && !r.IsEmpty(); ++i) {
    const std::uint32_t a = ColorToPixel(topLeft), b = ColorToPixel(bottomRight);
    FillLogical({r.Left, r.Top, r.Right - 1, r.Top + 1}, a);
    FillLogical({r.Left, r.Top, r.Left + 1, r.Bottom - 1}, a);
    FillLogical({r.Right - 1, r.Top, r.Right, r.Bottom}, b);
    FillLogical({r.Left, r.Bottom - 1, r.Right, r.Bottom}, b);
    r = r.Inflate(-1, -1);
  }
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& r) {
  if (Recording()) {
    TCanvasOp op = NewOp(TCanvasOpKind::DrawFocusRect);
    op.Dest = r;
    Emit(op);
  }
  if (!HasTarget() || r.IsEmpty()) return;
  // Dotted outline, inverted, every other pixel.
  auto flip = [&](int x, int y) {
    const int tx = x + origin_.X, ty = y + origin_.Y;
    for (const TRect& c : clips_)
      if (c.Contains(tx, ty)) {
        target_.Put(tx, ty, target_.Get(tx, ty) ^ 0xFFFFFF);
        return;
      }
  };
  for (int x = r.Left; x < r.Right; x += 2) {
    flip(x, r.Top);
    flip(x, r.Bottom - 1);
  }
  for (int y = r.Top + 2; y < r.Bottom - 1; y += 2) {
    flip(r.Left, y);
    flip(r.Right - 1, y);
  }
  Changed();
}

TRect TCanvas::DrawButtonFace(const TRect& r, bool pressed) {
  TRect x = r;
  FillRectColor(r, clBtnFace);
  if (pressed) {
    Frame3D(x, clWindowFrame, clBtnHighlight, 1);
    Frame3D(x, clBtnShadow, clBtnFace, 1);
  } else {
    Frame3D(x, clBtnHighlight, clWindowFrame, 1);
    Frame3D(x, clBtnFace, clBtnShadow, 1);
  }
  return x;
}

// ---------------------------------------------------------------------------------------------
// Text

int TCanvas::LineWidth(std::string_view line) const {
  TFontUse fu(Font);
  int w = 0;
  for (std::uint16_t l : SjisLetters(line)) w += fu.Advance(l);
  return w;
}

int TCanvas::TextWidth(std::string_view text) const { return LineWidth(text); }
int TCanvas::TextHeight(std::string_view) const { return TFontUse(Font).LineHeight(); }
TSize TCanvas::TextExtent(std::string_view text) const { return {TextWidth(text), TextHeight(text)}; }

void TCanvas::DrawLine(std::string_view line, int x, int top, int underlineIndex, const TRect* clipTo) {
  if (!HasTarget() || Font.Color == clNone) return;
  TFontUse fu(Font);
  std::vector<TRect> saved;
  if (clipTo) {
    saved = clips_;
    std::vector<TRect> c;
    const TRect t = clipTo->Offset(origin_.X, origin_.Y);
    for (const TRect& r : clips_) {
      TRect i = Intersect(r, t);
      if (!i.IsEmpty()) c.push_back(i);
    }
    clips_ = std::move(c);
  }
  const std::uint32_t ink = ColorToPixel(Font.Color);
  const int baseline = top + fu.Ascent();
  int pen = x;
  size_t byte = 0;
  for (std::uint16_t letter : SjisLetters(line)) {
    const int adv = fu.Advance(letter);
    if (fu.glyphFont) {
      const TGlyphMask& m = CaptionGlyph(static_cast<char>(letter & 0xFF), fu.em);
      for (int y = 0; y < m.Size; ++y)
        for (int gx = 0; gx < m.Size; ++gx)
          if (m.At(gx, y)) PutClipped(pen + gx + origin_.X, top + y + origin_.Y, ink);
    } else {
      const TGlyph& g = TFontEngine::Instance().Glyph(fu.face, fu.em, letter);
      for (int y = 0; y < g.Height; ++y) {
        const std::uint8_t* row = g.Mask.data() + static_cast<size_t>(y) * g.Width;
        for (int gx = 0; gx < g.Width; ++gx) {
          if (!row[gx]) continue;
          const int tx = pen + g.Left + gx + origin_.X, ty = baseline - g.Top + y + origin_.Y;
          PutClipped(tx, ty, ink);
          if (Font.Bold) PutClipped(tx + 1, ty, ink);  // overstrike, the advance stays
        }
      }
    }
    const bool underline = Font.Underline || static_cast<int>(byte) == underlineIndex;
    if (underline)
      for (int ux = pen; ux < pen + adv; ++ux) PutClipped(ux + origin_.X, baseline + 1 + origin_.Y, ink);
    pen += adv;
    byte += letter > 0xFF ? 2 : 1;
  }
  if (clipTo) clips_ = std::move(saved);
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
  const TSize ext = TextExtent(text);
  if (Brush.Style != bsClear) FillLogical(Bounds(x, y, ext.cx, ext.cy), ColorToPixel(Brush.Color));
  DrawLine(text, x, y, -1, nullptr);
  PenPos = {x + ext.cx, y};
  Changed();
}

std::string StripAccelerator(std::string_view text, int* underline) {
  std::string out;
  int mark = -1;
  for (size_t i = 0; i < text.size();) {
    const size_t n = SjisLetterLen(text, i);
    if (n == 1 && text[i] == '&' && i + 1 < text.size()) {
      if (text[i + 1] == '&') {
        out.push_back('&');
        i += 2;
        continue;
      }
      if (mark < 0) mark = static_cast<int>(out.size());
      ++i;
      continue;
    }
    out.append(text.substr(i, n));
    i += n;
  }
  if (underline) *underline = mark;
  return out;
}

std::string EllipsisFit(std::string_view text, int width, const std::function<int(std::string_view)>& measure) {
  if (measure(text) <= width) return std::string(text);
  const int dots = measure("...");
  size_t cut = 0;
  for (size_t i = 0; i < text.size();) {
    const size_t n = SjisLetterLen(text, i);
    if (measure(text.substr(0, i + n)) + dots > width) break;
    i += n;
    cut = i;
  }
  return std::string(text.substr(0, cut)) + "...";
}

int TCanvas::DrawText(std::string_view textIn, TRect& r, unsigned flags) {
  // Measuring draws nothing and is not reported.
  if (Recording() && !(flags & DT_CALCRECT)) {
    TCanvasOp op = NewOp(TCanvasOpKind::DrawText);
    op.Text = textIn;
    op.Dest = r;
    op.Flags = flags;
    op.Font = Font;
    op.Color = Font.Color;
    Emit(op);
  }
  TFontUse fu(Font);
  const int lineH = fu.LineHeight();
  std::string text(textIn);
  if (flags & DT_EXPANDTABS) {
    std::string t;
    const int tabCells = 8;
    size_t col = 0;
    for (size_t i = 0; i < text.size();) {
      const size_t n = SjisLetterLen(text, i);
      if (text[i] == '\t') {
        const size_t spaces = tabCells - (col % tabCells);
        t.append(spaces, ' ');
        col += spaces;
      } else if (text[i] == '\n') {
        t.push_back('\n');
        col = 0;
      } else {
        t.append(text, i, n);
        col += n;
      }
      i += n;
    }
    text = std::move(t);
  }
  // Split into lines.
  std::vector<std::string> lines;
  if (flags & DT_SINGLELINE) {
    std::string one;
    for (char c : text)
      if (c != '\r' && c != '\n') one.push_back(c);
    lines.push_back(std::move(one));
  } else {
    std::string cur;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r') continue;
      if (text[i] == '\n') {  // never a trail byte in code page 932
        lines.push_back(std::move(cur));
        cur.clear();
        continue;
      }
      cur.push_back(text[i]);
    }
    lines.push_back(std::move(cur));
  }
  std::vector<int> marks(lines.size(), -1);
  for (size_t i = 0; i < lines.size(); ++i)
    if (!(flags & DT_NOPREFIX)) lines[i] = StripAccelerator(lines[i], &marks[i]);
  auto measure = [this](std::string_view s) { return LineWidth(s); };
  // Word (letter) wrapping at the rectangle's width.
  if ((flags & DT_WORDBREAK) && !(flags & DT_SINGLELINE) && r.Width() > 0) {
    std::vector<std::string> wrapped;
    std::vector<int> wmarks;
    for (size_t li = 0; li < lines.size(); ++li) {
      std::string_view s = lines[li];
      int mark = marks[li];
      while (!s.empty()) {
        size_t fit = 0, lastSpace = 0;
        for (size_t i = 0; i < s.size();) {
          const size_t n = SjisLetterLen(s, i);
          if (measure(s.substr(0, i + n)) > r.Width() && fit > 0) break;
          if (n == 1 && s[i] == ' ') lastSpace = i + 1;
          i += n;
          fit = i;
        }
        size_t take = (fit < s.size() && lastSpace > 0) ? lastSpace : fit;
        wrapped.emplace_back(s.substr(0, take));
        wmarks.push_back(mark >= 0 && mark < static_cast<int>(take) ? mark : -1);
        mark = mark >= static_cast<int>(take) ? mark - static_cast<int>(take) : -1;
        s.remove_prefix(take);
      }
      if (lines[li].empty()) {
        wrapped.emplace_back();
        wmarks.push_back(-1);
      }
    }
    lines.swap(wrapped);
    marks.swap(wmarks);
  }
  if (flags & DT_END_ELLIPSIS)
    for (size_t i = 0; i < lines.size(); ++i) {
      std::string cut = EllipsisFit(lines[i], r.Width(), measure);
      if (cut.size() != lines[i].size() || cut != lines[i]) {
        if (marks[i] >= static_cast<int>(cut.size()) - 3) marks[i] = -1;
        lines[i] = std::move(cut);
      }
    }
  const int height = lineH * static_cast<int>(lines.size());
  if (flags & DT_CALCRECT) {
    int w = 0;
    for (const std::string& l : lines) w = std::max(w, measure(l));
    r.Right = r.Left + w;
    r.Bottom = r.Top + height;
    return height;
  }
  int y = r.Top;
  if (flags & DT_SINGLELINE) {
    if (flags & DT_VCENTER)
      y = r.Top + (r.Height() - lineH) / 2;
    else if (flags & DT_BOTTOM)
      y = r.Bottom - lineH;
  }
  const TRect* clip = (flags & DT_NOCLIP) ? nullptr : &r;
  for (size_t i = 0; i < lines.size(); ++i, y += lineH) {
    const int w = measure(lines[i]);
    int x = r.Left;
    if (flags & DT_CENTER)
      x = r.Left + (r.Width() - w) / 2;
    else if (flags & DT_RIGHT)
      x = r.Right - w;
    if (Brush.Style != bsClear && Brush.Color != clNone) {
      TRect back = Bounds(x, y, w, lineH);
      if (clip) back = Intersect(back, *clip);
      FillLogical(back, ColorToPixel(Brush.Color));
    }
    DrawLine(lines[i], x, y, marks[i], clip);
  }
  Changed();
  return height;
}

// ---------------------------------------------------------------------------------------------
// Pixel copies

void TCanvas::CopyRect(const TRect& dest, const TCanvas& src, const TRect& srcRect) {
  if (Recording()) {
    TCanvasOp op = NewOp(TCanvasOpKind::CopyRect);
    op.Dest = dest;
    op.Source = srcRect;
    op.SourceTarget = src.target_.Bits;
    Emit(op);
  }
  if (!HasTarget() || !src.HasTarget()) return;
  const TRect d = dest.Offset(origin_.X, origin_.Y);
  const TRect s = srcRect.Offset(src.origin_.X, src.origin_.Y);
  for (const TRect& c : clips_) StretchCopy(target_, d, src.target_, s, c);
  Changed();
}

void TCanvas::DrawPixels(int x, int y, const TPixelTarget& src) {
  StretchPixels(Bounds(x, y, src.Width, src.Height), src);
}

void TCanvas::StretchPixels(const TRect& dest, const TPixelTarget& src) {
  if (Recording()) {
    TCanvasOp op = NewOp(TCanvasOpKind::StretchPixels);
    op.Dest = dest;
    op.Source = {0, 0, src.Width, src.Height};
    op.SourceTarget = src.Bits;
    Emit(op);
  }
  if (!HasTarget() || !src.Valid()) return;
  const TRect d = dest.Offset(origin_.X, origin_.Y);
  for (const TRect& c : clips_) StretchCopy(target_, d, src, {0, 0, src.Width, src.Height}, c);
  Changed();
}

void TCanvas::DrawBgrBlock(int x, int y, const TBgrBlock& src) {
  if (!HasTarget() || !src.Valid()) return;
  const int dx = x + origin_.X, dy = y + origin_.Y;
  for (const TRect& c : clips_) {
    const TRect d = Intersect(c, Bounds(dx, dy, src.Width, src.Height));
    if (d.IsEmpty()) continue;
    const int w = d.Width();
    for (int row = d.Top; row < d.Bottom; ++row) {
      const std::uint8_t* s =
          src.Bits + static_cast<size_t>(row - dy) * src.PitchBytes + static_cast<size_t>(d.Left - dx) * 3;
      std::uint8_t* o = target_.Bits + static_cast<size_t>(row) * target_.PitchBytes +
                        static_cast<size_t>(d.Left) * target_.BytesPerPixel;
      if (target_.BytesPerPixel == 4) {
        std::uint32_t* o32 = reinterpret_cast<std::uint32_t*>(o);
        for (int i = 0; i < w; ++i, s += 3)
          o32[i] = static_cast<std::uint32_t>(s[0]) | (static_cast<std::uint32_t>(s[1]) << 8) |
                   (static_cast<std::uint32_t>(s[2]) << 16);
      } else {
        std::memmove(o, s, static_cast<size_t>(w) * 3);
      }
    }
  }
  Changed();
}

// ---------------------------------------------------------------------------------------------
// Bitmap

void TBitmap::SetSize(int w, int h) {
  if (w == Width() && h == Height()) return;
  pixels_.Resize(w, h, 0xFFFFFF);
  canvas_.Unbind();
  Changed();
}

void TBitmap::Assign(const TBitmap& other) {
  pixels_ = other.pixels_;
  canvas_.Unbind();
  Changed();
}

void TBitmap::TakePixels(TPixmap&& pixels) {
  pixels_ = std::move(pixels);
  canvas_.Unbind();
  Changed();
}

TCanvas& TBitmap::Canvas() {
  if (!canvas_.HasTarget() && !pixels_.Empty()) canvas_.Bind(pixels_);
  return canvas_;
}

}  // namespace vdmq
