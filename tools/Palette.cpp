#include "tools/Palette.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <unordered_map>

namespace vdmq::raster {

namespace {

struct TColourCount {
  std::uint8_t c[3];  // blue, green, red
  std::uint64_t n;
};

struct TBox {
  size_t begin, end;  // range of the sorted colour list
  int axis = 0;
  double error = 0;  // weighted squared error along the widest channel
};

void Measure(const std::vector<TColourCount>& colours, TBox& box) {
  int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
  for (size_t i = box.begin; i < box.end; ++i)
    for (int k = 0; k < 3; ++k) {
      lo[k] = std::min<int>(lo[k], colours[i].c[k]);
      hi[k] = std::max<int>(hi[k], colours[i].c[k]);
    }
  box.axis = 0;
  for (int k = 1; k < 3; ++k)
    if (hi[k] - lo[k] > hi[box.axis] - lo[box.axis]) box.axis = k;
  // Integer sums, so the error does not depend on the order of additions.
  std::uint64_t n = 0, sum = 0, sq = 0;
  for (size_t i = box.begin; i < box.end; ++i) {
    const std::uint64_t v = colours[i].c[box.axis];
    n += colours[i].n;
    sum += v * colours[i].n;
    sq += v * v * colours[i].n;
  }
  box.error =
      n == 0 ? 0.0
             : static_cast<double>(sq) - static_cast<double>(sum) * static_cast<double>(sum) / static_cast<double>(n);
  if (box.end - box.begin < 2) box.error = -1;  // one colour: nothing to split
}

}  // namespace

std::vector<TBgr> MedianCutColours(const std::vector<const TImage24*>& images, int count) {
  std::map<std::uint32_t, std::uint64_t> histogram;
  for (const TImage24* img : images)
    for (const TBgr& p : img->Pixels) ++histogram[(static_cast<std::uint32_t>(p.r) << 16) | (p.g << 8) | p.b];
  std::vector<TColourCount> colours;
  colours.reserve(histogram.size());
  for (const auto& [key, n] : histogram)
    colours.push_back(
        {{static_cast<std::uint8_t>(key), static_cast<std::uint8_t>(key >> 8), static_cast<std::uint8_t>(key >> 16)},
         n});

  std::vector<TBox> boxes;
  if (!colours.empty()) {
    boxes.push_back({0, colours.size()});
    Measure(colours, boxes.back());
  }
  while (boxes.size() < static_cast<size_t>(std::max(count, 1))) {
    size_t pick = boxes.size();
    for (size_t i = 0; i < boxes.size(); ++i)
      if (boxes[i].error > 0 && (pick == boxes.size() || boxes[i].error > boxes[pick].error)) pick = i;
    if (pick == boxes.size()) break;
    TBox box = boxes[pick];
    const int axis = box.axis;
    std::sort(colours.begin() + static_cast<std::ptrdiff_t>(box.begin),
              colours.begin() + static_cast<std::ptrdiff_t>(box.end),
              [axis](const TColourCount& a, const TColourCount& b) {
                if (a.c[axis] != b.c[axis]) return a.c[axis] < b.c[axis];
                return std::lexicographical_compare(a.c, a.c + 3, b.c, b.c + 3);
              });
    std::uint64_t total = 0;
    for (size_t i = box.begin; i < box.end; ++i) total += colours[i].n;
    // The weighted median, kept off both ends so each half holds a colour.
    size_t cut = box.begin + 1;
    std::uint64_t seen = colours[box.begin].n;
    while (cut < box.end - 1 && seen * 2 < total) seen += colours[cut++].n;
    TBox a{box.begin, cut}, b{cut, box.end};
    Measure(colours, a);
    Measure(colours, b);
    boxes[pick] = a;
    boxes.push_back(b);
  }

  std::vector<TBgr> palette(boxes.size());
  for (size_t i = 0; i < boxes.size(); ++i) {
    std::uint64_t n = 0, s[3] = {0, 0, 0};
    for (size_t j = boxes[i].begin; j < boxes[i].end; ++j) {
      n += colours[j].n;
      for (int k = 0; k < 3; ++k) s[k] += static_cast<std::uint64_t>(colours[j].c[k]) * colours[j].n;
    }
    palette[i] = {static_cast<std::uint8_t>((s[0] + n / 2) / n), static_cast<std::uint8_t>((s[1] + n / 2) / n),
                  static_cast<std::uint8_t>((s[2] + n / 2) / n)};
  }
  return palette;
}

TImage8 ToPaletted(const TImage24& image, const TPalette& palette) {
  TImage8 out;
  out.Width = image.Width;
  out.Height = image.Height;
  out.Palette = palette;
  out.Index.resize(image.Pixels.size());
  std::unordered_map<std::uint32_t, std::uint8_t> nearest;
  for (size_t i = 0; i < image.Pixels.size(); ++i) {
    const TBgr& p = image.Pixels[i];
    const std::uint32_t key = (static_cast<std::uint32_t>(p.r) << 16) | (p.g << 8) | p.b;
    auto it = nearest.find(key);
    if (it == nearest.end()) {
      int best = 0, bestDistance = 1 << 30;
      for (int k = 0; k < 256; ++k) {
        const int db = p.b - palette[k].b, dg = p.g - palette[k].g, dr = p.r - palette[k].r;
        const int d = db * db + dg * dg + dr * dr;
        if (d < bestDistance) {
          bestDistance = d;
          best = k;
        }
      }
      it = nearest.emplace(key, static_cast<std::uint8_t>(best)).first;
    }
    out.Index[i] = it->second;
  }
  return out;
}

TImage8 Quantize(const TImage24& image, float dither) {
  TPalette palette{};
  const std::vector<TBgr> colours = MedianCutColours({&image}, 256);
  std::copy(colours.begin(), colours.end(), palette.begin());
  TImage24 dithered = image;
  if (dither > 0.0f) {
    for (int y = 0; y < image.Height; ++y) {
      for (int x = 0; x < image.Width; ++x) {
        const int d = static_cast<int>(std::floor((Bayer8(x, y) - 0.5f) * dither + 0.5f));
        TBgr& p = dithered.At(x, y);
        p = {static_cast<std::uint8_t>(std::clamp(p.b + d, 0, 255)),
             static_cast<std::uint8_t>(std::clamp(p.g + d, 0, 255)),
             static_cast<std::uint8_t>(std::clamp(p.r + d, 0, 255))};
      }
    }
  }
  return ToPaletted(dithered, palette);
}

}  // namespace vdmq::raster
