#pragma once
// The drawing unit of the picture generators: a floating-point RGBA canvas that is drawn at several
// samples per pixel and reduced by area averaging, the paints and shapes drawn into it, and the
// quantisation into 24-bit or keyed pictures. Nothing here knows a window system, and every result
// depends on its inputs only (no clock, locale or thread), so generated pictures are reproducible.
//
// Colour values are display values: 0..1 stands for the bytes 0..255. The canvas stores colours
// premultiplied by their alpha (coverage); paints and the colours handed to the drawing calls are
// straight. Coordinates are in output pixels whatever the supersampling: pixel (x, y) covers the
// square [x, x + 1) x [y, y + 1), and each sample is taken at the centre of its sub-square.

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace vdmq::raster {

// ---- Colours ----------------------------------------------------------------------------------

struct TRgba {
  float r = 0, g = 0, b = 0, a = 1;
};

// A colour from bytes (0..255) and an alpha 0..1.
TRgba Rgb(int r, int g, int b, float a = 1.0f);
// The colour between x (t = 0) and y (t = 1), alpha included.
TRgba Mix(const TRgba& x, const TRgba& y, float t);
// The colour with its red, green and blue multiplied by k (alpha kept).
TRgba Shade(const TRgba& c, float k);
// The colour with the alpha replaced.
TRgba WithAlpha(const TRgba& c, float a);

// 0 below e0, 1 above e1, a smooth (Hermite) step between; e0 > e1 gives the falling step.
float Smoothstep(float e0, float e1, float x);

// The one rounding function of the generators: a value 0..1 to a byte, clamped, halves rounded up.
std::uint8_t ToByte(float v);

// ---- Quantised pictures -----------------------------------------------------------------------

struct TBgr {
  std::uint8_t b = 0, g = 0, r = 0;
  friend bool operator==(const TBgr&, const TBgr&) = default;
};
static_assert(sizeof(TBgr) == 3);

// Magenta, the key colour of the sprite sheets.
constexpr TBgr kMagenta{255, 0, 255};
// Sum of the absolute channel differences.
int ManhattanDistance(const TBgr& x, const TBgr& y);

// A top-down 24-bit picture.
struct TImage24 {
  int Width = 0, Height = 0;
  std::vector<TBgr> Pixels;  // Width * Height, row by row

  TImage24() = default;
  TImage24(int width, int height, TBgr fill = {});
  TBgr& At(int x, int y) { return Pixels[static_cast<size_t>(y) * Width + x]; }
  const TBgr& At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
  // Copies the whole of src to (x, y), clipped to this picture.
  void Paste(const TImage24& src, int x, int y);
  // The rectangle (x, y, w, h) of this picture, clipped to it.
  TImage24 Crop(int x, int y, int w, int h) const;
};

// A top-down 8-bit picture with its 256-colour palette.
struct TImage8 {
  int Width = 0, Height = 0;
  std::vector<std::uint8_t> Index;  // Width * Height, row by row
  std::array<TBgr, 256> Palette{};
  // The 24-bit picture the indices stand for.
  TImage24 Expand() const;
};

// ---- Paints -----------------------------------------------------------------------------------

struct TPoint {
  float x = 0, y = 0;
};

// The colour at a point; the drawing calls ask it once per sample they cover.
using TPaint = std::function<TRgba(float x, float y)>;

// Colour stops at positions 0..1, in increasing order; positions outside take the end colours.
struct TGradient {
  std::vector<std::pair<float, TRgba>> Stops;
  TRgba At(float t) const;
};

TPaint Solid(const TRgba& c);
// Along the line from p0 (position 0) to p1 (position 1); constant across it.
TPaint LinearGradient(TPoint p0, TPoint p1, TGradient g);
TPaint LinearGradient(TPoint p0, const TRgba& c0, TPoint p1, const TRgba& c1);
// Position 0 at the centre, 1 at distance rx horizontally / ry vertically.
TPaint RadialGradient(TPoint centre, float rx, float ry, TGradient g);

// The 8 x 8 ordered-dither threshold of a pixel, in (0, 1).
float Bayer8(int x, int y);

// ---- Shapes -----------------------------------------------------------------------------------

// Outlines as polygons, for FillPolygon (counter-clockwise or clockwise alike).
std::vector<TPoint> RectPath(float x0, float y0, float x1, float y1);
std::vector<TPoint> RoundedRectPath(float x0, float y0, float x1, float y1, float radius);
// An ellipse around c with radii rx, ry, turned by angle (radians, clockwise on the screen).
std::vector<TPoint> EllipsePath(TPoint c, float rx, float ry, float angle = 0.0f);
// A star of `points` points around c (the first pointing up), its tips at `outer`, its notches at
// `inner`.
std::vector<TPoint> StarPath(TPoint c, float outer, float inner, int points = 5);
// A band of the given width along the segment a-b, with square ends.
std::vector<TPoint> LinePath(TPoint a, TPoint b, float width);

// ---- Sphere shading ---------------------------------------------------------------------------

// The unit normal of a sphere of radius r around c, seen from the front, at point (x, y); false
// outside the disc. n[0] points right, n[1] down, n[2] at the viewer.
bool SphereNormal(TPoint c, float r, float x, float y, float n[3]);
// Lambert light of the normal for a light direction (normalised inside), clamped at 0.
float Lambert(const float n[3], float lx, float ly, float lz);

// ---- The canvas -------------------------------------------------------------------------------

enum class TBlend {
  kOver,  // normal alpha compositing
  kAdd,   // the colour times its alpha added, alpha kept (glows, stars)
};

class TCanvas {
 public:
  TCanvas() = default;
  // width x height pixels at supersample x supersample samples each (1..8), filled with fill.
  TCanvas(int width, int height, int supersample = 1, const TRgba& fill = {0, 0, 0, 0});

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Supersample() const { return ss_; }
  int SampleWidth() const { return width_ * ss_; }
  int SampleHeight() const { return height_ * ss_; }
  // A sample (premultiplied).
  TRgba& Sample(int sx, int sy) { return samples_[static_cast<size_t>(sy) * SampleWidth() + sx]; }
  const TRgba& Sample(int sx, int sy) const { return samples_[static_cast<size_t>(sy) * SampleWidth() + sx]; }
  // A pixel of a canvas with one sample per pixel, premultiplied.
  const TRgba& Pixel(int x, int y) const { return Sample(x, y); }

  // Drawing. The paint's alpha times opacity is each sample's coverage.
  void Fill(const TPaint& paint, float opacity = 1.0f, TBlend blend = TBlend::kOver);
  void FillRect(float x0, float y0, float x1, float y1, const TPaint& paint, float opacity = 1.0f,
                TBlend blend = TBlend::kOver);
  // Non-zero winding fill.
  void FillPolygon(const std::vector<TPoint>& points, const TPaint& paint, float opacity = 1.0f,
                   TBlend blend = TBlend::kOver);
  void FillEllipse(TPoint c, float rx, float ry, const TPaint& paint, float opacity = 1.0f,
                   TBlend blend = TBlend::kOver);
  void StrokeLine(TPoint a, TPoint b, float width, const TPaint& paint, float opacity = 1.0f,
                  TBlend blend = TBlend::kOver);
  // A polyline's segments (closed: back to the first point) as bands of the width.
  void StrokePath(const std::vector<TPoint>& points, bool closed, float width, const TPaint& paint,
                  float opacity = 1.0f);
  // The four edges of a rectangle, each `width` wide with mitred corners: top and left in light,
  // bottom and right in dark. Raised when light is the brighter one, sunken the other way round.
  void Bevel(float x0, float y0, float x1, float y1, float width, const TRgba& light, const TRgba& dark);
  // Runs f over every sample whose centre lies in the rectangle, in order; f may change the
  // sample (premultiplied) freely.
  void ForEachSample(float x0, float y0, float x1, float y1, const std::function<void(float x, float y, TRgba& s)>& f);

  // Composites src over this canvas with its top-left pixel at (x, y); both canvases must have the
  // same supersampling (EGameError otherwise).
  void Draw(const TCanvas& src, int x, int y, float opacity = 1.0f, TBlend blend = TBlend::kOver);

  // Area-averaged reduction of the samples to width x height pixels (at most the sample size),
  // one sample per pixel. Resolve() reduces to the canvas's own pixel size.
  TCanvas Reduced(int width, int height) const;
  TCanvas Resolve() const { return Reduced(width_, height_); }

  // Quantises a one-sample canvas over an opaque background colour.
  TImage24 Flatten(const TRgba& background = {0, 0, 0, 1}) const;

 private:
  void Blend(TRgba& s, const TRgba& c, float coverage, TBlend blend) const;
  void FillSpans(const std::vector<TPoint>& points, const TPaint& paint, float opacity, TBlend blend);

  int width_ = 0, height_ = 0, ss_ = 1;
  std::vector<TRgba> samples_;
};

// ---- Keyed compositing ------------------------------------------------------------------------

// Keyed sprites: where a pixel of a one-sample canvas is covered by at least threshold, it becomes
// the canvas colour over rim; elsewhere it stays key. Nothing is blended toward the key. A covered
// pixel that would come out within minDistance (Manhattan) of the key is a generation error: an
// EGameError naming the pixel is thrown.
struct TKeying {
  TBgr Key = kMagenta;
  TRgba Rim{0.05f, 0.06f, 0.09f, 1.0f};
  float Threshold = 0.35f;
  int MinDistance = 60;
};
TImage24 KeyedImage(const TCanvas& sprite, const TKeying& keying = {});

}  // namespace vdmq::raster
