#pragma once
// Inputs of the kind the game stores in its archives, generated from a seed with integer
// arithmetic only, so that every compiler and machine makes the same bytes: dialogue text in
// CP932, a 24-bit picture of space (gradient sky, stars, shapes, a noisy shaded planet), a sprite
// sheet on the magenta key colour, and periodic data. The codec tests pin the encoders' output on
// them; the codec benchmark measures on them.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace vdmq::codectest {

using Bytes = std::vector<unsigned char>;

// Lines of dialogue: CP932 kana and kanji (two bytes each) with ASCII names, numbers and
// punctuation, as the scenario's messages read.
inline Bytes DialogueText(size_t size, uint32_t seed = 11) {
  std::mt19937 rng(seed);
  // A small vocabulary of two-byte words (hiragana 0x829F.., katakana 0x8340.., kanji 0x89..0x9F).
  std::vector<Bytes> words;
  for (int w = 0; w < 300; ++w) {
    Bytes word;
    const int letters = 1 + static_cast<int>(rng() % 5);
    const int kind = static_cast<int>(rng() % 3);
    for (int k = 0; k < letters; ++k) {
      if (kind == 0) {
        word.push_back(0x82);
        word.push_back(static_cast<unsigned char>(0x9F + rng() % 83));
      } else if (kind == 1) {
        word.push_back(0x83);
        word.push_back(static_cast<unsigned char>(0x40 + rng() % 62));
      } else {
        word.push_back(static_cast<unsigned char>(0x89 + rng() % 23));
        word.push_back(static_cast<unsigned char>(0x40 + rng() % 62));
      }
    }
    words.push_back(word);
  }
  static const char* const names[] = {"Veld", "Seres", "Zoldia", "Elysion", "Ortensia", "Admiral", "NP"};
  Bytes out;
  out.reserve(size + 64);
  while (out.size() < size) {
    // Frequent words come up far more often (a Zipf-like pick: the smaller of two draws).
    const int clauses = 1 + static_cast<int>(rng() % 4);
    for (int c = 0; c < clauses; ++c) {
      const int n = 2 + static_cast<int>(rng() % 6);
      for (int i = 0; i < n; ++i) {
        const uint32_t a = rng() % 300, b = rng() % 300;
        const Bytes& w = words[a < b ? a : b];
        out.insert(out.end(), w.begin(), w.end());
      }
      if (rng() % 5 == 0) {
        const std::string name = names[rng() % 7];
        out.insert(out.end(), name.begin(), name.end());
      }
      if (rng() % 7 == 0) {
        const std::string number = std::to_string(rng() % 1000);
        out.insert(out.end(), number.begin(), number.end());
      }
      out.push_back(0x81);
      out.push_back(c + 1 < clauses ? 0x41 : 0x42);  // comma or full stop
    }
    out.push_back('\r');
    out.push_back('\n');
  }
  out.resize(size);
  return out;
}

// Integer square root (floor).
inline uint32_t ISqrt(uint32_t v) {
  uint32_t r = 0, bit = 1u << 30;
  while (bit > v) bit >>= 2;
  while (bit != 0) {
    if (v >= r + bit) {
      v -= r + bit;
      r = (r >> 1) + bit;
    } else {
      r >>= 1;
    }
    bit >>= 2;
  }
  return r;
}

// A width x height 24-bit picture (rows top-down, blue, green, red, no padding): a sky gradient
// with a noisy horizon glow, stars, two flat panels with a frame, and a shaded planet lit from the
// upper left with surface noise and bands.
inline Bytes SpacePicture(int width = 640, int height = 480, uint32_t seed = 12) {
  std::mt19937 rng(seed);
  Bytes out(static_cast<size_t>(width) * height * 3);
  auto put = [&](int x, int y, int r, int g, int b) {
    auto clamp = [](int v) { return static_cast<unsigned char>(v < 0 ? 0 : (v > 255 ? 255 : v)); };
    unsigned char* p = &out[(static_cast<size_t>(y) * width + x) * 3];
    p[0] = clamp(b);
    p[1] = clamp(g);
    p[2] = clamp(r);
  };
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int t = y * 255 / height;
      const int glow = y > height * 3 / 4 ? static_cast<int>(rng() % 9) : 0;
      put(x, y, t / 6 + glow, t / 4 + glow, 40 + t / 2 + glow);
    }
  }
  for (int s = 0; s < width * height / 300; ++s) {
    const int x = static_cast<int>(rng() % static_cast<uint32_t>(width));
    const int y = static_cast<int>(rng() % static_cast<uint32_t>(height));
    const int v = 120 + static_cast<int>(rng() % 136);
    put(x, y, v, v, v - static_cast<int>(rng() % 40));
  }
  // Panels: flat fill, a one-pixel frame.
  for (int k = 0; k < 2; ++k) {
    const int x0 = width / 16 + k * width / 2, y0 = height / 12, w = width / 3, h = height / 6;
    for (int y = y0; y < y0 + h; ++y) {
      for (int x = x0; x < x0 + w; ++x) {
        const bool frame = y == y0 || y == y0 + h - 1 || x == x0 || x == x0 + w - 1;
        if (frame)
          put(x, y, 200, 200, 220);
        else
          put(x, y, 16 + 30 * k, 24, 64);
      }
    }
  }
  // The planet: lambert shading by integer dot product, bands, noise.
  const int cx = width * 5 / 8, cy = height * 5 / 8, radius = height / 3;
  const int lx = -148, ly = -148, lz = 148;  // about (-1, -1, 1) / sqrt(3), scaled by 256
  for (int y = cy - radius; y <= cy + radius; ++y) {
    for (int x = cx - radius; x <= cx + radius; ++x) {
      if (x < 0 || y < 0 || x >= width || y >= height) continue;
      const int dx = x - cx, dy = y - cy;
      const int d2 = dx * dx + dy * dy;
      if (d2 > radius * radius) continue;
      const int dz = static_cast<int>(ISqrt(static_cast<uint32_t>(radius * radius - d2)));
      int light = (dx * lx + dy * ly + dz * lz) / radius;  // -256..256
      if (light < 16) light = 16;
      const int band = ((y + dx / 8) / 9) % 3;
      const int noise = static_cast<int>(rng() % 24) - 12;
      const int r = (150 + 30 * band) * light / 256 + noise;
      const int g = (110 + 20 * band) * light / 256 + noise;
      const int b = (70 + 10 * band) * light / 256 + noise / 2;
      put(x, y, r, g, b);
    }
  }
  return out;
}

// A sprite sheet of 8 x rows frames of 40 x 40 pixels (24-bit rows, 320 pixels wide) on the
// magenta key (red 255, blue 255): in each frame a hull (a long shaded ellipse with swept wings
// behind its middle) turned to one of eight headings, with cockpit, engine glow and a dark rim;
// every row another hull colour. The rest is key.
inline Bytes SpriteSheet(int rows = 6, uint32_t seed = 13) {
  std::mt19937 rng(seed);
  const int cols = 8, cell = 40, width = cols * cell, height = rows * cell;
  Bytes out(static_cast<size_t>(width) * height * 3);
  for (size_t i = 0; i < out.size(); i += 3) {
    out[i] = 255;
    out[i + 1] = 0;
    out[i + 2] = 255;
  }
  // Unit vectors of the eight headings, scaled by 64.
  static const int hx[8] = {64, 45, 0, -45, -64, -45, 0, 45};
  static const int hy[8] = {0, 45, 64, 45, 0, -45, -64, -45};
  for (int row = 0; row < rows; ++row) {
    const int r0 = 90 + 27 * row, g0 = 100 + 17 * (row % 4), b0 = 130 - 15 * row;
    for (int col = 0; col < cols; ++col) {
      for (int y = 0; y < cell; ++y) {
        for (int x = 0; x < cell; ++x) {
          const int px = x - cell / 2, py = y - cell / 2;
          // Pixels along and across the heading, in 64ths.
          const int u = px * hx[col] + py * hy[col], v = -px * hy[col] + py * hx[col];
          const int wu = u + 5 * 64;                     // the wings sit behind the middle
          const int body = u * u / 256 + v * v / 42;     // 16 x 6.5 pixels
          const int wings = wu * wu / 30 + v * v / 225;  // 5.5 x 15 pixels
          const int inside = 4096;
          if (body > inside && wings > inside) continue;
          const bool rim = body > inside * 4 / 5 && wings > inside * 4 / 5;  // near the outline of both
          const int shade = 70 + (u / 64 + 16) * 5 - (v / 64) * 2 + static_cast<int>(rng() % 6);
          int r = r0 * shade / 150, g = g0 * shade / 150, b = b0 * shade / 150;
          if (rim) r = g = b = 36;
          if (u > 10 * 64 && u < 14 * 64 && v > -2 * 64 && v < 2 * 64) r = 240, g = 250, b = 140;  // cockpit
          if (u < -14 * 64 && v * v < 4 * 64 * 64) r = 255, g = 150, b = 50;                       // engine
          unsigned char* p = &out[((static_cast<size_t>(row) * cell + y) * width + col * cell + x) * 3];
          p[0] = static_cast<unsigned char>(b < 0 ? 0 : (b > 255 ? 255 : b));
          p[1] = static_cast<unsigned char>(g < 0 ? 0 : (g > 255 ? 255 : g));
          p[2] = static_cast<unsigned char>(r < 0 ? 0 : (r > 254 ? 254 : r));  // never the key's red
        }
      }
    }
  }
  return out;
}

// size bytes repeating a random block of period bytes.
inline Bytes PeriodicData(size_t period, size_t size, uint32_t seed = 14) {
  std::mt19937 rng(seed);
  Bytes block(period);
  for (auto& b : block) b = static_cast<unsigned char>(rng());
  Bytes out(size);
  for (size_t i = 0; i < size; ++i) out[i] = block[i % period];
  return out;
}

}  // namespace vdmq::codectest
