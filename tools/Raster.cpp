#include "tools/Raster.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "platform/base/GameError.h"

namespace vdmq::raster {

// ---- Colours ----------------------------------------------------------------------------------

TRgba Rgb(int r, int g, int b, float a) {
  return {static_cast<float>(r) / 255.0f, static_cast<float>(g) / 255.0f, static_cast<float>(b) / 255.0f, a};
}

TRgba Mix(const TRgba& x, const TRgba& y, float t) {
  return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

TRgba Shade(const TRgba& c, float k) { return {c.r * k, c.g * k, c.b * k, c.a}; }

TRgba WithAlpha(const TRgba& c, float a) { return {c.r, c.g, c.b, a}; }

float Smoothstep(float e0, float e1, float x) {
  const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
  return t * t * (3.0f - 2.0f * t);
}

std::uint8_t ToByte(float v) {
  if (!(v > 0.0f)) return 0;  // also NaN
  if (v >= 1.0f) return 255;
  return static_cast<std::uint8_t>(std::floor(v * 255.0f + 0.5f));
}

int ManhattanDistance(const TBgr& x, const TBgr& y) {
  return std::abs(x.b - y.b) + std::abs(x.g - y.g) + std::abs(x.r - y.r);
}

// ---- Quantised pictures -----------------------------------------------------------------------

TImage24::TImage24(int width, int height, TBgr fill)
    : Width(width), Height(height), Pixels(static_cast<size_t>(width) * height, fill) {}

void TImage24::Paste(const TImage24& src, int x, int y) {
  for (int sy = std::max(0, -y); sy < src.Height && y + sy < Height; ++sy) {
    for (int sx = std::max(0, -x); sx < src.Width && x + sx < Width; ++sx) At(x + sx, y + sy) = src.At(sx, sy);
  }
}

TImage24 TImage24::Crop(int x, int y, int w, int h) const {
  const int x0 = std::clamp(x, 0, Width), y0 = std::clamp(y, 0, Height);
  const int x1 = std::clamp(x + w, x0, Width), y1 = std::clamp(y + h, y0, Height);
  TImage24 out(x1 - x0, y1 - y0);
  for (int yy = y0; yy < y1; ++yy) {
    for (int xx = x0; xx < x1; ++xx) out.At(xx - x0, yy - y0) = At(xx, yy);
  }
  return out;
}

TImage24 TImage8::Expand() const {
  TImage24 out(Width, Height);
  for (size_t i = 0; i < Index.size(); ++i) out.Pixels[i] = Palette[Index[i]];
  return out;
}

// ---- Paints -----------------------------------------------------------------------------------

TRgba TGradient::At(float t) const {
  if (Stops.empty()) return {0, 0, 0, 0};
  if (!(t > Stops.front().first)) return Stops.front().second;
  for (size_t i = 1; i < Stops.size(); ++i) {
    const auto& [p1, c1] = Stops[i];
    if (t <= p1) {
      const auto& [p0, c0] = Stops[i - 1];
      return p1 > p0 ? Mix(c0, c1, (t - p0) / (p1 - p0)) : c1;
    }
  }
  return Stops.back().second;
}

TPaint Solid(const TRgba& c) {
  return [c](float, float) { return c; };
}

TPaint LinearGradient(TPoint p0, TPoint p1, TGradient g) {
  const float dx = p1.x - p0.x, dy = p1.y - p0.y;
  const float len2 = dx * dx + dy * dy;
  return [p0, dx, dy, len2, g = std::move(g)](float x, float y) {
    const float t = len2 > 0.0f ? ((x - p0.x) * dx + (y - p0.y) * dy) / len2 : 0.0f;
    return g.At(t);
  };
}

TPaint LinearGradient(TPoint p0, const TRgba& c0, TPoint p1, const TRgba& c1) {
  return LinearGradient(p0, p1, TGradient{{{0.0f, c0}, {1.0f, c1}}});
}

TPaint RadialGradient(TPoint centre, float rx, float ry, TGradient g) {
  return [centre, rx, ry, g = std::move(g)](float x, float y) {
    const float u = (x - centre.x) / rx, v = (y - centre.y) / ry;
    return g.At(std::sqrt(u * u + v * v));
  };
}

float Bayer8(int x, int y) {
  static constexpr std::uint8_t kBayer[8][8] = {{0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
                                                {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
                                                {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
                                                {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};
  return (static_cast<float>(kBayer[y & 7][x & 7]) + 0.5f) / 64.0f;
}

// ---- Shapes -----------------------------------------------------------------------------------

std::vector<TPoint> RectPath(float x0, float y0, float x1, float y1) {
  return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

namespace {

// Segments for a curve of the given radius: fine enough that the chord's sag stays well below a
// sample at 4x supersampling.
int CurveSegments(float radius, float turn) {
  const int full = std::clamp(static_cast<int>(std::ceil(radius * 6.0f)), 24, 1024);
  return std::max(2, static_cast<int>(std::ceil(static_cast<float>(full) * turn)));
}

}  // namespace

std::vector<TPoint> RoundedRectPath(float x0, float y0, float x1, float y1, float radius) {
  radius = std::clamp(radius, 0.0f, std::min(x1 - x0, y1 - y0) / 2.0f);
  if (radius <= 0.0f) return RectPath(x0, y0, x1, y1);
  std::vector<TPoint> pts;
  const int n = CurveSegments(radius, 0.25f);
  const TPoint centres[4] = {
      {x1 - radius, y0 + radius}, {x1 - radius, y1 - radius}, {x0 + radius, y1 - radius}, {x0 + radius, y0 + radius}};
  for (int corner = 0; corner < 4; ++corner) {
    // Corner arcs clockwise on the screen, starting at the top right.
    const double start = -std::numbers::pi / 2 + corner * std::numbers::pi / 2;
    for (int i = 0; i <= n; ++i) {
      const double t = start + (std::numbers::pi / 2) * i / n;
      pts.push_back({centres[corner].x + radius * static_cast<float>(std::cos(t)),
                     centres[corner].y + radius * static_cast<float>(std::sin(t))});
    }
  }
  return pts;
}

std::vector<TPoint> EllipsePath(TPoint c, float rx, float ry, float angle) {
  const int n = CurveSegments(std::max(rx, ry), 1.0f);
  const double ca = std::cos(angle), sa = std::sin(angle);
  std::vector<TPoint> pts;
  pts.reserve(n);
  for (int i = 0; i < n; ++i) {
    const double t = 2.0 * std::numbers::pi * i / n;
    const double u = rx * std::cos(t), v = ry * std::sin(t);
    pts.push_back({c.x + static_cast<float>(u * ca - v * sa), c.y + static_cast<float>(u * sa + v * ca)});
  }
  return pts;
}

std::vector<TPoint> StarPath(TPoint c, float outer, float inner, int points) {
  std::vector<TPoint> pts;
  for (int i = 0; i < 2 * points; ++i) {
    const double t = -std::numbers::pi / 2 + i * std::numbers::pi / points;
    const float r = i % 2 == 0 ? outer : inner;
    pts.push_back({c.x + r * static_cast<float>(std::cos(t)), c.y + r * static_cast<float>(std::sin(t))});
  }
  return pts;
}

std::vector<TPoint> LinePath(TPoint a, TPoint b, float width) {
  const float dx = b.x - a.x, dy = b.y - a.y;
  const float len = std::sqrt(dx * dx + dy * dy);
  if (len <= 0.0f) {
    const float h = width / 2.0f;
    return RectPath(a.x - h, a.y - h, a.x + h, a.y + h);
  }
  const float h = width / 2.0f;
  const float nx = -dy / len * h, ny = dx / len * h;  // across the band
  const float ex = dx / len * h, ey = dy / len * h;   // square caps
  return {{a.x - ex + nx, a.y - ey + ny},
          {b.x + ex + nx, b.y + ey + ny},
          {b.x + ex - nx, b.y + ey - ny},
          {a.x - ex - nx, a.y - ey - ny}};
}

// ---- Sphere shading ---------------------------------------------------------------------------

bool SphereNormal(TPoint c, float r, float x, float y, float n[3]) {
  const float u = (x - c.x) / r, v = (y - c.y) / r;
  const float d2 = u * u + v * v;
  if (d2 > 1.0f) return false;
  n[0] = u;
  n[1] = v;
  n[2] = std::sqrt(1.0f - d2);
  return true;
}

float Lambert(const float n[3], float lx, float ly, float lz) {
  const float len = std::sqrt(lx * lx + ly * ly + lz * lz);
  if (len <= 0.0f) return 0.0f;
  return std::max(0.0f, (n[0] * lx + n[1] * ly + n[2] * lz) / len);
}

// ---- The canvas -------------------------------------------------------------------------------

TCanvas::TCanvas(int width, int height, int supersample, const TRgba& fill)
    : width_(std::max(0, width)), height_(std::max(0, height)), ss_(std::clamp(supersample, 1, 8)) {
  const TRgba pre{fill.r * fill.a, fill.g * fill.a, fill.b * fill.a, fill.a};
  samples_.assign(static_cast<size_t>(SampleWidth()) * SampleHeight(), pre);
}

void TCanvas::Blend(TRgba& s, const TRgba& c, float coverage, TBlend blend) const {
  const float k = std::clamp(c.a * coverage, 0.0f, 1.0f);
  if (k <= 0.0f) return;
  if (blend == TBlend::kAdd) {
    s.r += c.r * k;
    s.g += c.g * k;
    s.b += c.b * k;
    s.a = std::min(1.0f, s.a + k);
    return;
  }
  const float keep = 1.0f - k;
  s.r = c.r * k + s.r * keep;
  s.g = c.g * k + s.g * keep;
  s.b = c.b * k + s.b * keep;
  s.a = k + s.a * keep;
}

void TCanvas::ForEachSample(float x0, float y0, float x1, float y1,
                            const std::function<void(float x, float y, TRgba& s)>& f) {
  const float inv = 1.0f / static_cast<float>(ss_);
  // Samples whose centre (i + 0.5) / ss lies in [lo, hi).
  auto first = [&](float lo) { return static_cast<int>(std::ceil(lo * static_cast<float>(ss_) - 0.5f)); };
  const int sx0 = std::max(0, first(x0)), sx1 = std::min(SampleWidth(), first(x1));
  const int sy0 = std::max(0, first(y0)), sy1 = std::min(SampleHeight(), first(y1));
  for (int sy = sy0; sy < sy1; ++sy) {
    const float y = (static_cast<float>(sy) + 0.5f) * inv;
    for (int sx = sx0; sx < sx1; ++sx) f((static_cast<float>(sx) + 0.5f) * inv, y, Sample(sx, sy));
  }
}

void TCanvas::Fill(const TPaint& paint, float opacity, TBlend blend) {
  FillRect(0.0f, 0.0f, static_cast<float>(width_), static_cast<float>(height_), paint, opacity, blend);
}

void TCanvas::FillRect(float x0, float y0, float x1, float y1, const TPaint& paint, float opacity, TBlend blend) {
  ForEachSample(x0, y0, x1, y1, [&](float x, float y, TRgba& s) { Blend(s, paint(x, y), opacity, blend); });
}

void TCanvas::FillSpans(const std::vector<TPoint>& pts, const TPaint& paint, float opacity, TBlend blend) {
  if (pts.size() < 3) return;
  float top = pts[0].y, bottom = pts[0].y;
  for (const TPoint& p : pts) {
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
  }
  const float inv = 1.0f / static_cast<float>(ss_);
  const float scale = static_cast<float>(ss_);
  const int sy0 = std::max(0, static_cast<int>(std::ceil(top * scale - 0.5f)));
  const int sy1 = std::min(SampleHeight(), static_cast<int>(std::ceil(bottom * scale - 0.5f)));
  std::vector<std::pair<float, int>> cross;
  for (int sy = sy0; sy < sy1; ++sy) {
    const float y = (static_cast<float>(sy) + 0.5f) * inv;
    cross.clear();
    for (size_t i = 0; i < pts.size(); ++i) {
      const TPoint& p = pts[i];
      const TPoint& q = pts[(i + 1) % pts.size()];
      if (p.y == q.y) continue;
      const bool down = p.y < q.y;
      const float ylo = down ? p.y : q.y, yhi = down ? q.y : p.y;
      if (y < ylo || y >= yhi) continue;
      cross.emplace_back(p.x + (y - p.y) * (q.x - p.x) / (q.y - p.y), down ? 1 : -1);
    }
    std::sort(cross.begin(), cross.end());
    int winding = 0;
    for (size_t i = 0; i + 1 < cross.size(); ++i) {
      winding += cross[i].second;
      if (winding == 0) continue;
      const int sx0 = std::max(0, static_cast<int>(std::ceil(cross[i].first * scale - 0.5f)));
      const int sx1 = std::min(SampleWidth(), static_cast<int>(std::ceil(cross[i + 1].first * scale - 0.5f)));
      for (int sx = sx0; sx < sx1; ++sx)
        Blend(Sample(sx, sy), paint((static_cast<float>(sx) + 0.5f) * inv, y), opacity, blend);
    }
  }
}

void TCanvas::FillPolygon(const std::vector<TPoint>& points, const TPaint& paint, float opacity, TBlend blend) {
  FillSpans(points, paint, opacity, blend);
}

void TCanvas::FillEllipse(TPoint c, float rx, float ry, const TPaint& paint, float opacity, TBlend blend) {
  if (rx <= 0.0f || ry <= 0.0f) return;
  ForEachSample(c.x - rx, c.y - ry, c.x + rx, c.y + ry, [&](float x, float y, TRgba& s) {
    const float u = (x - c.x) / rx, v = (y - c.y) / ry;
    if (u * u + v * v <= 1.0f) Blend(s, paint(x, y), opacity, blend);
  });
}

void TCanvas::StrokeLine(TPoint a, TPoint b, float width, const TPaint& paint, float opacity, TBlend blend) {
  FillSpans(LinePath(a, b, width), paint, opacity, blend);
}

void TCanvas::StrokePath(const std::vector<TPoint>& points, bool closed, float width, const TPaint& paint,
                         float opacity) {
  const size_t n = points.size();
  for (size_t i = 0; i + 1 < n + (closed ? 1 : 0); ++i) {
    StrokeLine(points[i], points[(i + 1) % n], width, paint, opacity);
  }
}

void TCanvas::Bevel(float x0, float y0, float x1, float y1, float w, const TRgba& light, const TRgba& dark) {
  FillSpans({{x0, y0}, {x1, y0}, {x1 - w, y0 + w}, {x0 + w, y0 + w}}, Solid(light), 1.0f, TBlend::kOver);
  FillSpans({{x0, y0}, {x0 + w, y0 + w}, {x0 + w, y1 - w}, {x0, y1}}, Solid(light), 1.0f, TBlend::kOver);
  FillSpans({{x0, y1}, {x0 + w, y1 - w}, {x1 - w, y1 - w}, {x1, y1}}, Solid(dark), 1.0f, TBlend::kOver);
  FillSpans({{x1, y0}, {x1, y1}, {x1 - w, y1 - w}, {x1 - w, y0 + w}}, Solid(dark), 1.0f, TBlend::kOver);
}

void TCanvas::Draw(const TCanvas& src, int x, int y, float opacity, TBlend blend) {
  if (src.ss_ != ss_) throw EGameError("canvases of different supersampling cannot be composited");
  const int ox = x * ss_, oy = y * ss_;
  for (int sy = std::max(0, -oy); sy < src.SampleHeight() && oy + sy < SampleHeight(); ++sy) {
    for (int sx = std::max(0, -ox); sx < src.SampleWidth() && ox + sx < SampleWidth(); ++sx) {
      const TRgba& s = src.Sample(sx, sy);
      TRgba& d = Sample(ox + sx, oy + sy);
      if (blend == TBlend::kAdd) {
        d.r += s.r * opacity;
        d.g += s.g * opacity;
        d.b += s.b * opacity;
        d.a = std::min(1.0f, d.a + s.a * opacity);
      } else {
        const float keep = 1.0f - s.a * opacity;
        d.r = s.r * opacity + d.r * keep;
        d.g = s.g * opacity + d.g * keep;
        d.b = s.b * opacity + d.b * keep;
        d.a = s.a * opacity + d.a * keep;
      }
    }
  }
}

namespace {

// Box-filter weights of an area-averaging reduction from n source cells to m (m <= n): for each
// output cell, the source cells it overlaps and the overlapped fraction of the output cell.
struct TTap {
  int first = 0;
  std::vector<float> weights;
};

std::vector<TTap> BoxTaps(int n, int m) {
  std::vector<TTap> taps(m);
  const double step = static_cast<double>(n) / m;
  for (int i = 0; i < m; ++i) {
    const double lo = i * step, hi = (i + 1) * step;
    TTap& t = taps[i];
    t.first = static_cast<int>(std::floor(lo));
    const int last = std::min(n - 1, static_cast<int>(std::ceil(hi)) - 1);
    for (int k = t.first; k <= last; ++k) {
      const double w = std::min(hi, k + 1.0) - std::max(lo, static_cast<double>(k));
      t.weights.push_back(static_cast<float>(w / step));
    }
  }
  return taps;
}

}  // namespace

TCanvas TCanvas::Reduced(int width, int height) const {
  width = std::clamp(width, 1, std::max(1, SampleWidth()));
  height = std::clamp(height, 1, std::max(1, SampleHeight()));
  TCanvas out(width, height, 1);
  if (samples_.empty()) return out;
  const auto tx = BoxTaps(SampleWidth(), width), ty = BoxTaps(SampleHeight(), height);
  // Horizontal pass into rows of the output width, then the vertical pass.
  std::vector<TRgba> rows(static_cast<size_t>(SampleHeight()) * width);
  for (int sy = 0; sy < SampleHeight(); ++sy) {
    for (int x = 0; x < width; ++x) {
      TRgba acc{0, 0, 0, 0};
      for (size_t k = 0; k < tx[x].weights.size(); ++k) {
        const TRgba& s = Sample(tx[x].first + static_cast<int>(k), sy);
        const float w = tx[x].weights[k];
        acc.r += s.r * w;
        acc.g += s.g * w;
        acc.b += s.b * w;
        acc.a += s.a * w;
      }
      rows[static_cast<size_t>(sy) * width + x] = acc;
    }
  }
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      TRgba acc{0, 0, 0, 0};
      for (size_t k = 0; k < ty[y].weights.size(); ++k) {
        const TRgba& s = rows[static_cast<size_t>(ty[y].first + static_cast<int>(k)) * width + x];
        const float w = ty[y].weights[k];
        acc.r += s.r * w;
        acc.g += s.g * w;
        acc.b += s.b * w;
        acc.a += s.a * w;
      }
      out.Sample(x, y) = acc;
    }
  }
  return out;
}

TImage24 TCanvas::Flatten(const TRgba& bg) const {
  const TCanvas* src = this;
  TCanvas resolved;
  if (ss_ != 1) {
    resolved = Resolve();
    src = &resolved;
  }
  TImage24 out(width_, height_);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const TRgba& s = src->Sample(x, y);
      const float keep = 1.0f - std::clamp(s.a, 0.0f, 1.0f);
      out.At(x, y) = {ToByte(s.b + bg.b * bg.a * keep), ToByte(s.g + bg.g * bg.a * keep),
                      ToByte(s.r + bg.r * bg.a * keep)};
    }
  }
  return out;
}

// ---- Keyed compositing ------------------------------------------------------------------------

TImage24 KeyedImage(const TCanvas& sprite, const TKeying& k) {
  const TCanvas resolved = sprite.Supersample() == 1 ? TCanvas() : sprite.Resolve();
  const TCanvas& src = sprite.Supersample() == 1 ? sprite : resolved;
  TImage24 out(src.Width(), src.Height(), k.Key);
  for (int y = 0; y < src.Height(); ++y) {
    for (int x = 0; x < src.Width(); ++x) {
      const TRgba& s = src.Pixel(x, y);
      if (s.a < k.Threshold) continue;
      const float keep = 1.0f - std::clamp(s.a, 0.0f, 1.0f);
      const TBgr c{ToByte(s.b + k.Rim.b * keep), ToByte(s.g + k.Rim.g * keep), ToByte(s.r + k.Rim.r * keep)};
      if (ManhattanDistance(c, k.Key) < std::max(1, k.MinDistance)) {
        throw EGameError("generated sprite pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                         ") comes out at the key colour");
      }
      out.At(x, y) = c;
    }
  }
  return out;
}

}  // namespace vdmq::raster
