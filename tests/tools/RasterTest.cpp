// The generators' raster library: rounding, coverage of filled shapes, area-averaged reduction,
// keyed compositing, noise, the BMP writer (read back by the game's own readers), safe output, and
// the triangle rasteriser with its shapes.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "platform/base/GameError.h"
#include "qolib/graphics/Qooldbmp.h"
#include "support/Scratch.h"
#include "tools/BmpWriter.h"
#include "tools/MeshShapes.h"
#include "tools/Noise.h"
#include "tools/OutputFile.h"
#include "tools/Palette.h"
#include "tools/Raster.h"
#include "tools/Rasterizer.h"

namespace vdmq::raster {
namespace {

namespace fs = std::filesystem;

TEST(Raster, ToByteRoundsHalvesUpAndClamps) {
  const std::pair<float, int> cases[] = {
      {-1.0f, 0},  {0.0f, 0},   {0.5f / 255.0f, 1},     {0.49f / 255.0f, 0},    {0.5f, 128},
      {1.0f, 255}, {7.0f, 255}, {254.5f / 255.0f, 255}, {254.4f / 255.0f, 254}, {std::nanf(""), 0}};
  for (const auto& [v, want] : cases) EXPECT_EQ(ToByte(v), want) << v;
}

TEST(Raster, GradientStopsInterpolateAndClampAtTheEnds) {
  const TGradient g{{{0.25f, Rgb(0, 0, 0)}, {0.75f, Rgb(255, 0, 0)}, {0.75f, Rgb(0, 255, 0)}, {1.0f, Rgb(0, 0, 255)}}};
  EXPECT_FLOAT_EQ(g.At(-3.0f).r, 0.0f);
  EXPECT_FLOAT_EQ(g.At(0.5f).r, 0.5f);
  EXPECT_FLOAT_EQ(g.At(0.75f).r, 1.0f) << "a repeated stop is a hard edge: its first colour up to it";
  EXPECT_FLOAT_EQ(g.At(0.875f).b, 0.5f);
  EXPECT_FLOAT_EQ(g.At(0.875f).g, 0.5f);
  EXPECT_FLOAT_EQ(g.At(2.0f).b, 1.0f);
}

// Pixel coverage of supersampled shapes equals their area, and shapes that share an edge cover
// every sample exactly once: tiles drawn side by side leave no gap and no doubled seam.
TEST(Raster, CoverageMatchesAreaAndSharedEdgesCoverEachSampleOnce) {
  TCanvas c(8, 8, 4);
  // A square of side 4 split along its diagonal into two triangles, added up.
  const TPaint white = Solid({1, 1, 1, 1});
  c.FillPolygon({{1.5f, 1.25f}, {5.5f, 1.25f}, {5.5f, 5.25f}}, white, 1.0f, TBlend::kAdd);
  c.FillPolygon({{1.5f, 1.25f}, {5.5f, 5.25f}, {1.5f, 5.25f}}, white, 1.0f, TBlend::kAdd);
  for (int sy = 0; sy < c.SampleHeight(); ++sy) {
    for (int sx = 0; sx < c.SampleWidth(); ++sx) {
      const float x = (sx + 0.5f) / 4.0f, y = (sy + 0.5f) / 4.0f;
      const bool inside = x >= 1.5f && x < 5.5f && y >= 1.25f && y < 5.25f;
      ASSERT_FLOAT_EQ(c.Sample(sx, sy).r, inside ? 1.0f : 0.0f) << sx << "," << sy;
    }
  }
  const TCanvas px = c.Resolve();
  EXPECT_FLOAT_EQ(px.Pixel(1, 3).a, 0.5f) << "half of the left column";
  EXPECT_FLOAT_EQ(px.Pixel(3, 1).a, 0.75f) << "three quarters of the top row";
  EXPECT_FLOAT_EQ(px.Pixel(3, 3).a, 1.0f);
  // A disc's coverage sums to its area within the sampling error.
  TCanvas d(40, 40, 4);
  d.FillEllipse({20.0f, 20.0f}, 12.0f, 7.0f, white);
  const TCanvas dr = d.Resolve();
  double area = 0.0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) area += dr.Pixel(x, y).a;
  EXPECT_NEAR(area, M_PI * 12.0 * 7.0, 1.5);
  // The rotated outline of the same ellipse agrees with it.
  TCanvas e(40, 40, 4);
  e.FillPolygon(EllipsePath({20.0f, 20.0f}, 7.0f, 12.0f, static_cast<float>(M_PI / 2)), white);
  double diff = 0.0;
  const TCanvas er = e.Resolve();
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) diff += std::fabs(er.Pixel(x, y).a - dr.Pixel(x, y).a);
  EXPECT_LT(diff, 1.5);
}

TEST(Raster, ReductionAveragesAreasAtAnyRatio) {
  // A horizontal ramp over 10 columns reduced to 3: each output is the mean of 3 1/3 columns.
  TCanvas c(10, 2, 1);
  c.ForEachSample(0, 0, 10, 2, [](float x, float, TRgba& s) { s = {std::floor(x) / 9.0f, 0.25f, 0, 1}; });
  const TCanvas r = c.Reduced(3, 1);
  const float col[10] = {0, 1 / 9.f, 2 / 9.f, 3 / 9.f, 4 / 9.f, 5 / 9.f, 6 / 9.f, 7 / 9.f, 8 / 9.f, 1};
  const float want0 = (col[0] + col[1] + col[2] + col[3] / 3.0f) / (10.0f / 3.0f);
  const float want1 = (col[3] * 2.0f / 3.0f + col[4] + col[5] + col[6] * 2.0f / 3.0f) / (10.0f / 3.0f);
  EXPECT_NEAR(r.Pixel(0, 0).r, want0, 1e-5);
  EXPECT_NEAR(r.Pixel(1, 0).r, want1, 1e-5);
  float mean = 0.0f;
  for (int x = 0; x < 3; ++x) {
    mean += r.Pixel(x, 0).r / 3.0f;
    EXPECT_NEAR(r.Pixel(x, 0).g, 0.25f, 1e-6) << "a constant stays constant";
    EXPECT_NEAR(r.Pixel(x, 0).a, 1.0f, 1e-6);
  }
  EXPECT_NEAR(mean, 0.5f, 1e-5) << "the mean is kept";
}

TEST(Raster, BevelLightsTopLeftAndShadesBottomRight) {
  TCanvas c(20, 10, 4, {0.5f, 0.5f, 0.5f, 1});
  c.Bevel(0, 0, 20, 10, 2, {1, 1, 1, 1}, {0, 0, 0, 1});
  const TImage24 img = c.Flatten();
  EXPECT_EQ(img.At(10, 0), (TBgr{255, 255, 255}));
  EXPECT_EQ(img.At(0, 5), (TBgr{255, 255, 255}));
  EXPECT_EQ(img.At(10, 9), (TBgr{0, 0, 0}));
  EXPECT_EQ(img.At(19, 5), (TBgr{0, 0, 0}));
  EXPECT_EQ(img.At(10, 5), (TBgr{128, 128, 128}));
  // The mitred corner is split along its diagonal.
  EXPECT_GT(img.At(19, 0).r, 64) << "part light, part dark at the top right corner";
  EXPECT_LT(img.At(19, 0).r, 192);
}

TEST(Raster, KeyedImageKeepsUncoveredPixelsKeyAndRefusesColoursNearTheKey) {
  TCanvas c(4, 1, 1);
  c.Sample(0, 0) = {0, 0, 0, 0};               // empty
  c.Sample(1, 0) = {0.3f * 0.2f, 0, 0, 0.2f};  // below the threshold
  c.Sample(2, 0) = {0.5f * 0.5f, 0, 0, 0.5f};  // half covered: over the rim
  c.Sample(3, 0) = {0, 1, 0, 1};               // covered
  TKeying k;
  k.Rim = {0, 0, 1, 1};
  const TImage24 img = KeyedImage(c, k);
  EXPECT_EQ(img.At(0, 0), kMagenta);
  EXPECT_EQ(img.At(1, 0), kMagenta);
  EXPECT_EQ(img.At(2, 0), (TBgr{128, 0, 64}));
  EXPECT_EQ(img.At(3, 0), (TBgr{0, 255, 0}));
  // A sprite colour at, or close to, the key is a generation error, never nudged silently.
  for (const TRgba& bad : {TRgba{1, 0, 1, 1}, TRgba{0.95f, 0.08f, 0.95f, 1}}) {
    TCanvas s(2, 2, 1);
    s.Sample(1, 1) = bad;
    EXPECT_THROW(KeyedImage(s), EGameError);
  }
}

TEST(Noise, ValueNoiseIsSmoothBoundedAndSeeded) {
  float lo = 1.0f, hi = 0.0f, maxStep = 0.0f;
  int differ = 0;
  for (int i = 0; i < 2000; ++i) {
    const float x = -20.0f + i * 0.02f, y = 3.7f + i * 0.013f;
    const float v = ValueNoise(x, y, 7);
    lo = std::min(lo, v);
    hi = std::max(hi, v);
    maxStep = std::max(maxStep, std::fabs(v - ValueNoise(x + 0.01f, y, 7)));
    differ += v != ValueNoise(x, y, 8);
    const float f = Fbm(x, y, 7, 5);
    ASSERT_GE(f, 0.0f);
    ASSERT_LE(f, 1.0f);
  }
  EXPECT_GE(lo, 0.0f);
  EXPECT_LE(hi, 1.0f);
  EXPECT_GT(hi - lo, 0.6f) << "the noise uses its range";
  EXPECT_LT(maxStep, 0.05f) << "no jumps";
  EXPECT_GT(differ, 1900) << "another seed, another field";
  EXPECT_NE(HashName("QV_MAP0.BMP"), HashName("QV_MAP1.BMP"));
  TArtRng a(HashName("GEN_00.BMP")), b(HashName("GEN_00.BMP"));
  int hist[5] = {};
  for (int i = 0; i < 5000; ++i) {
    const int v = a.Below(5);
    ASSERT_EQ(v, b.Below(5));
    ASSERT_GE(v, 0);
    ASSERT_LT(v, 5);
    ++hist[v];
  }
  for (int h : hist) EXPECT_NEAR(h, 1000, 150);
}

TEST(Noise, PeriodicNoiseRepeatsAcrossItsTile) {
  for (const float x : {0.0f, 0.25f, 0.5f, 0.875f}) {
    for (const float y : {0.0f, 0.375f, 0.75f}) {
      EXPECT_EQ(raster::PeriodicNoise(x, y, 3, 5), raster::PeriodicNoise(x + 3.0f, y, 3, 5));
      EXPECT_EQ(raster::PeriodicNoise(x, y, 3, 5), raster::PeriodicNoise(x, y - 6.0f, 3, 5));
      EXPECT_EQ(raster::PeriodicFbm(x, y, 2, 9, 4), raster::PeriodicFbm(x + 1.0f, y + 1.0f, 2, 9, 4)) << "a unit tile";
    }
  }
  EXPECT_NE(raster::PeriodicNoise(0.5f, 0.5f, 3, 5), raster::PeriodicNoise(1.5f, 0.5f, 3, 5));
}

TEST(Raster, QuantizeKeepsFewColoursExactlyAndBoundsTheErrorOfMany) {
  TImage24 few(40, 10);
  for (int i = 0; i < 400; ++i)
    few.Pixels[i] = {static_cast<std::uint8_t>(i % 7 * 30), static_cast<std::uint8_t>(i % 5 * 50), 90};
  const TImage8 q = Quantize(few);
  EXPECT_EQ(q.Expand().Pixels, few.Pixels) << "35 colours fit a palette";
  // A smooth two-axis gradient of 4096 colours: every pixel stays close to its colour.
  TImage24 ramp(64, 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      ramp.At(x, y) = {static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 4), 128};
  const TImage24 back = Quantize(ramp, 4.0f).Expand();
  int worst = 0;
  for (size_t i = 0; i < ramp.Pixels.size(); ++i)
    worst = std::max(worst, ManhattanDistance(ramp.Pixels[i], back.Pixels[i]));
  EXPECT_LE(worst, 36);
}

// The written files are read back by the game's own BMP readers: odd widths exercise the row
// padding, the 8-bit picture its palette.
TEST(BmpWriter, PicturesReadBackThroughTheGameReaders) {
  for (int w : {1, 2, 3, 5, 8}) {
    TImage24 img(w, 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < w; ++x)
        img.At(x, y) = {static_cast<std::uint8_t>(10 * x), static_cast<std::uint8_t>(50 * y),
                        static_cast<std::uint8_t>(7 + x + y)};
    const auto bytes = EncodeBmp(img);
    const size_t pitch = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
    ASSERT_EQ(bytes.size(), 54 + pitch * 3);
    EXPECT_EQ(bytes[10], 54);
    EXPECT_EQ(bytes[22], 3) << "positive height: bottom-up rows";
    TQoRGB* px = nullptr;
    int rw = 0, rh = 0;
    ASSERT_TRUE(LoadBmp24Mem(bytes.data(), bytes.size(), &px, &rw, &rh));
    ASSERT_EQ(rw, w);
    ASSERT_EQ(rh, 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < w; ++x) {
        const TQoRGB& p = px[y * w + x];
        EXPECT_EQ((TBgr{p.b, p.g, p.r}), img.At(x, y)) << w << ": " << x << "," << y;
      }
    QoFreeBlock(px);
  }
  TImage8 pal;
  pal.Width = 3;
  pal.Height = 2;
  pal.Index = {0, 1, 255, 2, 1, 0};
  for (int i = 0; i < 256; ++i) pal.Palette[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 9};
  const auto bytes = EncodeBmp(pal);
  ASSERT_EQ(bytes.size(), 54 + 1024 + 4 * 2u);
  EXPECT_EQ(bytes[10] | bytes[11] << 8, 1078);
  EXPECT_EQ(bytes[46] | bytes[47] << 8, 256) << "colours used";
  RGBQUAD* palette = nullptr;
  unsigned char* index = nullptr;
  int rw = 0, rh = 0;
  ASSERT_TRUE(LoadBmpMem(bytes.data(), bytes.size(), &palette, &index, &rw, &rh));
  ASSERT_EQ(rw, 3);
  ASSERT_EQ(rh, 2);
  EXPECT_TRUE(std::equal(pal.Index.begin(), pal.Index.end(), index));
  EXPECT_EQ(palette[200].rgbBlue, 200);
  EXPECT_EQ(palette[200].rgbGreen, 55);
  EXPECT_EQ(palette[200].rgbRed, 9);
  QoFreeBlock(palette);
  QoFreeBlock(index);
}

TEST(OutputFile, OnlyACompleteFileReplacesTheOldOne) {
  test::TScratch dir("raster");
  const std::string path = dir / "a.bin";
  ASSERT_TRUE(ReplaceFileBytes(path, "old", 3));
  std::string error;
  EXPECT_FALSE(ReplaceFile(
      path,
      [](const std::string& temp) {
        std::ofstream(temp) << "half";
        return false;
      },
      &error));
  EXPECT_NE(error.find(path), std::string::npos);
  std::ifstream in(path);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1) << "no temporary file left";
  // A folder that does not exist: the reason names the path.
  EXPECT_FALSE(ReplaceFileBytes(dir / "none/b.bin", "x", 1, &error));
  EXPECT_NE(error.find("none/b.bin"), std::string::npos);
}

// A camera 100 units above the plane looking straight down, x to the right and y down the screen:
// one unit a pixel at height 0, the origin on the centre of a 16 x 16 canvas.
TCamera TopDown() { return {{0, 0, 100}, {0, 0, 0}, {0, -1, 0}, 100.0f, {8, 8}}; }

// A flat square at a height: x0..x1 by y0..y1.
TMesh Square(float x0, float y0, float x1, float y1, float z, int material) {
  TMesh m;
  m.AddQuad({x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}, material);
  return m;
}

TEST(Rasterizer, TheNearestSurfaceWinsAndEdgePixelsAreCoveredByArea) {
  TCanvas c(16, 16, 4);
  TDepthBuffer depth;
  const TShader paint = [](const TFragment& f) { return f.Material == 0 ? Rgb(255, 0, 0) : Rgb(0, 0, 255); };
  // The nearer (blue) square first, then the farther (red) one over it: blue stays where they meet,
  // also when the red one comes in a second render sharing the depth buffer.
  RenderMesh(c, depth, Square(0, -1, 4, 3, 10, 1), TopDown(), {}, paint);
  RenderMesh(c, depth, Square(-2.5f, -2, 1.5f, 2, 0, 0), TopDown(), {}, paint);
  const TCanvas px = c.Resolve();
  EXPECT_FLOAT_EQ(px.Pixel(8, 8).b, 1.0f) << "overlap: the nearer square";
  EXPECT_FLOAT_EQ(px.Pixel(7, 8).r, 1.0f) << "the farther square where nothing hides it";
  EXPECT_FLOAT_EQ(px.Pixel(5, 8).a, 0.5f) << "half of the column the red square's edge halves";
  EXPECT_FLOAT_EQ(px.Pixel(5, 8).r, 0.5f) << "covered samples are opaque: colour times coverage";
  EXPECT_FLOAT_EQ(px.Pixel(3, 8).a, 0.0f);
  // The near square is larger on the screen: 100 / 90 pixels a unit, from the centre out.
  EXPECT_NEAR(depth.At(8.0f + 4.0f * 100.0f / 90.0f - 0.1f, 8.5f), 90.0f, 1e-3f);
  EXPECT_EQ(depth.At(8.0f + 4.0f * 100.0f / 90.0f + 0.1f, 8.5f), std::numeric_limits<float>::infinity());
}

TEST(Rasterizer, ClosedShapesLeaveNoGapsBetweenTheirTriangles) {
  // A sphere of radius 5 turned from a profile, and a lofted box, seen from above: their outlines
  // are covered whole, and the sphere's area is that of its disc.
  TMesh sphere;
  std::vector<TPoint> profile;
  for (int i = 0; i <= 16; ++i) {
    const float a = 3.14159265f * static_cast<float>(i) / 16.0f;
    profile.push_back({-5.0f * std::cos(a), 5.0f * std::sin(a)});
  }
  Lathe(sphere, {0, 0, 0}, {0, 0, 1}, profile, 48, 0, true);
  TCanvas c(16, 16, 4);
  TDepthBuffer depth;
  RenderMesh(c, depth, sphere, TopDown(), {},
             [](const TFragment& f) { return Rgb(255, 255, 255, f.Normal.z > 0 ? 1.0f : 0.0f); });
  int covered = 0;
  for (float d : depth.Depth) covered += d < 1000.0f;
  // In samples: the outline's radius is 5 * 100 / sqrt(100^2 - 5^2) pixels, 16 samples a pixel.
  const float r = 500.0f / std::sqrt(9975.0f);
  const float disc = 3.14159265f * r * r * 16.0f;
  EXPECT_NEAR(static_cast<float>(covered), disc, disc * 0.01f);
  TMesh box;
  Loft(box, {{-3, BoxOutline(2, -1, 1)}, {3, BoxOutline(2, -1, 1)}}, 0);
  TCanvas b(16, 16, 4);
  TDepthBuffer boxDepth;
  RenderMesh(b, boxDepth, box, TopDown(), {}, [](const TFragment&) { return Rgb(255, 255, 255); });
  const TCanvas px = b.Resolve();
  for (int y = 7; y <= 8; ++y) {
    for (int x = 6; x <= 9; ++x) EXPECT_FLOAT_EQ(px.Pixel(x, y).a, 1.0f) << x << "," << y;
  }
}

}  // namespace
}  // namespace vdmq::raster
