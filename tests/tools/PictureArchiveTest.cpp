// The generated picture archive, read back through the game's own archive, BMP and sprite-sheet
// code: its entries, methods and records, the keys of the sheets, the geometry of the map chips,
// the readability of the screens' text areas, the previews, and the battle's pictures
// (PictureChecks.h). One generation for the whole file.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "PictureChecks.h"
#include "campaign/FileKinds.h"
#include "campaign/File_manager.h"
#include "platform/png/PngCodec.h"
#include "qolib/graphics/QoTDib.h"
#include "qolib/graphics/Qograph_rap.h"
#include "qolib/graphics/Qooldbmp.h"
#include "qolib/pack/Qopack.h"
#include "support/Scratch.h"
#include "tools/Generator.h"

namespace vdmq {
namespace {

namespace fs = std::filesystem;

bool IsKey(const TQoRGB& p) { return p.r == 255 && p.g == 0 && p.b == 255; }

// The archive's entries as the screens and views read them: kind, numbers, size and bit depth.
struct TExpected {
  int kind, first, last, width, height, bits;
};
const TExpected kExpected[] = {
    {kFileKindMainBackground, -1, -1, 792, 573, 24},
    {kFileKindDesignerBackground, -1, -1, 600, 500, 24},
    {kFileKindDesignerNoHull, -1, -1, 256, 160, 24},
    {kFileKindEventBackground, -1, -1, 512, 416, 24},
    {kFileKindEventPicture, 0, 0, 464, 100, 24},
    {kFileKindEventPicture, 1, 2, 216, 216, 24},
    {kFileKindEventPicture, 10, 13, 216, 216, 24},
    {kFileKindEventPicture, 20, 23, 216, 216, 24},
    {kFileKindCommanderSelectorBackground, -1, -1, 616, 252, 24},
    {kFileKindCommanderSelectorNoPortrait, -1, -1, 138, 138, 24},
    {kFileKindDockBackground, -1, -1, 540, 240, 24},
    {kFileKindPlanetSelectorBackground, -1, -1, 540, 240, 24},
    {kFileKindFleetBackground, -1, -1, 518, 440, 24},
    {kFileKindFleetNoShip, -1, -1, 256, 160, 24},
    {kFileKindFleetSelectorBackground, -1, -1, 154, 470, 24},
    {kFileKindSaveLoadBackground, -1, -1, 364, 400, 24},
    {kFileKindPartsSelectorBackground, -1, -1, 460, 340, 24},
    {kFileKindTechnologyBackground, -1, -1, 400, 220, 24},
    {kFileKindBattleBarBackground, -1, -1, 792, 120, 24},
    {kFileKindMessageBoxBackground, -1, -1, 448, 197, 24},
    {kFileKindInformationBackground, -1, -1, 540, 280, 24},
    {kFileKindKeypadBackground, -1, -1, 296, 164, 24},
    {kFileKindPlanetBackground, -1, -1, 600, 420, 24},
    {kFileKindSystemMenuBackground, -1, -1, 400, 160, 24},
    {kFileKindMainBarRight, -1, -1, 252, 120, 24},
    {kFileKindMainBarLeft, -1, -1, 540, 120, 24},
    {kFileKindMainBarMiddle, -1, -1, 792, 120, 24},
    {kFileKindMapMinimapBase, -1, -1, 216, 107, 24},
    {kFileKindMapChips, 0, 1, 240, 1020, 24},
    {kFileKindMapPlanets, -1, -1, 240, 1020, 24},
    {kFileKindMapFleetIcons, -1, -1, 60, 1320, 24},
    {kFileKindMapMarks, -1, -1, 60, 600, 24},
    {kFileKindLargePortrait, 0, 37, 216, 216, 24},
    {kFileKindDimmedPortrait, 0, 37, 216, 216, 24},
    {kFileKindCommanderPortrait, 0, 37, 138, 138, 24},
    {kFileKindSmallCommanderPortrait, 0, 37, 69, 69, 24},
    {kFileKindMapBackground, 0, 3, 1280, 904, 8},
    {kFileKindEventArrow, -1, -1, 840, 30, 24},
    // The battle: the minimap's base, ship pictures, the arena, radar glyphs, hull sheets by class
    // (cruisers 176 x 120 frames, destroyers 96 x 72, the saucer and satellites 72 x 72), missiles,
    // flames, explosions, trails, the shield and the markers.
    {kFileKindBattleMinimapBase, -1, -1, 100, 100, 24},
    {kFileKindShipPicture, 0, 21, 256, 160, 24},
    {kFileKindSmallShipPicture, 0, 21, 128, 80, 24},
    {kFileKindBattleBackground, 0, 0, 1600, 1600, 8},
    {kFileKindBattleRadar, -1, -1, 256, 32, 24},
    {kFileKindBattleHull, 0, 0, 1408, 120, 24},
    {kFileKindBattleHull, 1, 2, 768, 72, 24},
    {kFileKindBattleHull, 3, 4, 1408, 120, 24},
    {kFileKindBattleHull, 5, 6, 768, 72, 24},
    {kFileKindBattleHull, 7, 8, 1408, 120, 24},
    {kFileKindBattleHull, 9, 10, 768, 72, 24},
    {kFileKindBattleHull, 11, 11, 1408, 120, 24},
    {kFileKindBattleHull, 12, 12, 576, 72, 24},
    {kFileKindBattleHull, 13, 14, 1408, 120, 24},
    {kFileKindBattleHull, 15, 16, 768, 72, 24},
    {kFileKindBattleHull, 17, 17, 1408, 120, 24},
    {kFileKindBattleHull, 18, 21, 576, 72, 24},
    {kFileKindBattleMissiles, 0, 0, 192, 144, 24},
    {kFileKindBattleFlames, 0, 1, 192, 24, 24},
    {kFileKindBattleExplosions, 0, 0, 768, 96, 24},
    {kFileKindBattleExplosions, 1, 1, 320, 40, 24},
    {kFileKindBattleTrails, 0, 0, 192, 240, 24},
    {kFileKindBattleShield, 0, 0, 512, 128, 24},
    {kFileKindBattleMarkers, -1, -1, 40, 600, 24},
};

// The sprite sheets, keyed; every other picture is drawn whole and holds no key colour.
const std::set<int> kSheetKinds = {kFileKindMapChips,       kFileKindMapPlanets,   kFileKindMapFleetIcons,
                                   kFileKindMapMarks,       kFileKindBattleRadar,  kFileKindBattleHull,
                                   kFileKindBattleMissiles, kFileKindBattleFlames, kFileKindBattleExplosions,
                                   kFileKindBattleTrails,   kFileKindBattleShield, kFileKindBattleMarkers,
                                   kFileKindEventArrow};

int ExpectedMethod(int kind) {
  if (kind == kFileKindMapMarks) return kQoMethodStore;
  if (kind == kFileKindBattleMarkers) return kQoMethodInvert;
  if (kSheetKinds.count(kind) != 0) return kQoMethodVarnel;
  return kQoMethodCocotte;
}

// A decoded picture.
struct TPicture {
  int width = 0, height = 0;
  std::vector<TQoRGB> pixels;
  const TQoRGB& At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The one generation of this file, and its archive opened with the whole-archive check.
test::TScratch* scratch_ = nullptr;
TQoPack* pack_ = nullptr;

TPicture Load(const std::string& name) {
  TPicture p;
  TQoRGB* px = nullptr;
  EXPECT_TRUE(LoadBmp24Pack(pack_, name, &px, &p.width, &p.height)) << name;
  if (px != nullptr) p.pixels.assign(px, px + static_cast<size_t>(p.width) * p.height);
  QoFreeBlock(px);
  return p;
}
TPicture Load(int kind, int number = -1) {
  return Load(TFileManager::FindName(TFileManager::kPackTable, kind, number));
}

void EntriesMethodsTimesAndChecksums() {
  std::vector<std::pair<int, int>> order;  // kind, number
  std::map<std::pair<int, int>, const TExpected*> rows;
  for (const TExpected& e : kExpected) {
    for (int n = e.first; n <= e.last; ++n) {
      order.push_back({e.kind, n});
      rows[order.back()] = &e;
    }
  }
  std::sort(order.begin(), order.end());
  std::vector<std::string> want;
  for (const auto& [kind, n] : order) want.push_back(TFileManager::FindName(TFileManager::kPackTable, kind, n));
  ASSERT_EQ(want.size(), 274u);
  ASSERT_EQ(pack_->GetFileNum(), 274);
  std::set<int> methods;
  for (int i = 0; i < pack_->GetFileNum(); ++i) {
    char name[32] = {};
    ASSERT_TRUE(pack_->GetFileName(i, name));
    EXPECT_EQ(name, want[static_cast<size_t>(i)]) << "entries in kind order, then number order";
    const TExpected& e = *rows[order[static_cast<size_t>(i)]];
    EXPECT_EQ(pack_->GetFileComp(i), ExpectedMethod(e.kind)) << name;
    methods.insert(pack_->GetFileComp(i));
    TQoFileTime t;
    ASSERT_TRUE(pack_->GetFileTime(i, &t));
    EXPECT_EQ(t.Value(), 0x01BF53EB256D4000ull) << name << ": 2000-01-01 00:00:00 UTC";
    EXPECT_TRUE(pack_->VerifyFileCrc(i)) << name;
    // Every entry decodes at its listed size and depth.
    const TPicture p = Load(name);
    EXPECT_EQ(p.width, e.width) << name;
    EXPECT_EQ(p.height, e.height) << name;
    auto stream = pack_->QoMakeStream(name);
    ASSERT_TRUE(stream) << name;
    std::uint8_t head[54] = {};
    ASSERT_TRUE(stream->ReadAll(head, 54)) << name;
    EXPECT_EQ(head[28], e.bits) << name;
    EXPECT_EQ(head[10] | head[11] << 8, e.bits == 8 ? 54 + 1024 : 54) << name << ": no gap before the pixels";
    if (kSheetKinds.count(e.kind) == 0) {
      for (const TQoRGB& c : p.pixels) {
        ASSERT_FALSE(IsKey(c)) << name << ": an opaque picture holds the key colour";
      }
    }
  }
  EXPECT_EQ(methods, (std::set<int>{kQoMethodStore, kQoMethodVarnel, kQoMethodCocotte, kQoMethodInvert}));
}

// Visible pixels of frame f of a sheet: those that are not its key (magenta, or black for the
// sheets drawn ADD).
int Visible(const TQoRGBContainer& s, int f) {
  const int fx = (f % s.Cols()) * s.FrameWidth(), fy = (f / s.Cols()) * s.FrameHeight();
  const TQoRGB key = s.Pixels()[0];
  int n = 0;
  for (int y = 0; y < s.FrameHeight(); ++y) {
    for (int x = 0; x < s.FrameWidth(); ++x) {
      const TQoRGB& p = s.Pixels()[(fy + y) * s.Width() + fx + x];
      n += p.r != key.r || p.g != key.g || p.b != key.b;
    }
  }
  return n;
}

std::set<int> Range(int first, int last) {
  std::set<int> out;
  for (int f = first; f <= last; ++f) out.insert(f);
  return out;
}

void KeysFramesAndUnusedFrames() {
  struct TSheet {
    int kind, number, rows, cols, fw, fh;
    bool black;  // keyed black (drawn ADD), else magenta
    std::set<int> unused;
  };
  std::set<int> missilesUnused = Range(34, 39);
  for (int f = 42; f <= 47; ++f) missilesUnused.insert(f);
  std::vector<TSheet> sheets = {{kFileKindMapChips, 0, 17, 4, 60, 60, false, {65}},
                                {kFileKindMapChips, 1, 17, 4, 60, 60, false, {65}},
                                {kFileKindMapPlanets, -1, 17, 4, 60, 60, false, Range(50, 67)},
                                {kFileKindMapFleetIcons, -1, 22, 1, 60, 60, false, {}},
                                {kFileKindMapMarks, -1, 10, 1, 60, 60, false, {6, 7, 8, 9}},
                                {kFileKindBattleRadar, -1, 1, 8, 32, 32, false, {}},
                                {kFileKindBattleMissiles, 0, 6, 8, 24, 24, false, missilesUnused},
                                {kFileKindBattleFlames, 0, 1, 8, 24, 24, true, {3, 7}},
                                {kFileKindBattleFlames, 1, 1, 8, 24, 24, true, {3, 7}},
                                {kFileKindBattleExplosions, 0, 1, 8, 96, 96, true, {}},
                                {kFileKindBattleExplosions, 1, 1, 8, 40, 40, true, {}},
                                {kFileKindBattleTrails, 0, 10, 8, 24, 24, true, Range(40, 79)},
                                {kFileKindBattleShield, 0, 1, 4, 128, 128, true, {}},
                                {kFileKindBattleMarkers, -1, 15, 1, 40, 40, false, {12, 13, 14}}};
  const int cruisers[] = {0, 3, 4, 7, 8, 11, 13, 14, 17};
  for (int n = 0; n < 22; ++n) {
    const bool cruiser = std::find(std::begin(cruisers), std::end(cruisers), n) != std::end(cruisers);
    const bool small = n == 12 || n >= 18;
    sheets.push_back({kFileKindBattleHull, n, 1, 8, cruiser ? 176 : small ? 72 : 96, cruiser ? 120 : 72, false, {}});
  }
  for (const TSheet& t : sheets) {
    SCOPED_TRACE(TFileManager::FindName(TFileManager::kPackTable, t.kind, t.number));
    TQoRGBContainer s;
    ASSERT_TRUE(s.LoadPackById(t.kind, t.number, t.rows, t.cols));
    EXPECT_EQ(s.FrameWidth(), t.fw);
    EXPECT_EQ(s.FrameHeight(), t.fh);
    EXPECT_EQ(s.Width() % t.cols + s.Height() % t.rows, 0) << "the grid divides the sheet";
    const TQoRGB corner = s.Pixels()[0];
    ASSERT_TRUE(t.black ? corner.r + corner.g + corner.b == 0 : IsKey(corner)) << "pixel (0, 0) is the key";
    for (int i = 0; i < s.Width() * s.Height() && !t.black; ++i) {
      const TQoRGB& c = s.Pixels()[i];
      const int d = std::abs(c.r - 255) + c.g + std::abs(c.b - 255);
      ASSERT_TRUE(d == 0 || d >= 60) << "pixel " << i << " lies near the key";
    }
    for (int f = 0; f < t.rows * t.cols; ++f) {
      if (t.unused.count(f)) {
        EXPECT_EQ(Visible(s, f), 0) << "frame " << f << " is unused";
      } else {
        EXPECT_GE(Visible(s, f), 30) << "frame " << f;
      }
    }
  }
  // The arrow's corner is a colour of its own, whichever way the window draws it.
  TQoRGBContainer arrow;
  ASSERT_TRUE(arrow.LoadPackById(kFileKindEventArrow, -1, 1, 14));
  EXPECT_EQ(arrow.FrameWidth(), 60);
  EXPECT_EQ(arrow.FrameHeight(), 30);
  const TQoRGB corner = arrow.Pixels()[0];
  int same = 0;
  for (int i = 0; i < arrow.Width() * arrow.Height(); ++i) {
    const TQoRGB& c = arrow.Pixels()[i];
    same += c.r == corner.r && c.g == corner.g && c.b == corner.b;
  }
  EXPECT_EQ(same, 1);
  const TQoRGB next = arrow.Pixels()[1];
  EXPECT_EQ(std::abs(corner.r - next.r) + std::abs(corner.g - next.g) + std::abs(corner.b - next.b) > 0, true);
}

// Row 30 + y of a chip covers x from 30 - w to 30 + w - 1: w = 2y + 1 up to y = 14, 59 - 2y below.
bool Diamond(int x, int y) {
  if (y < 30 || y > 59) return false;
  const int r = y - 30, w = r <= 14 ? 2 * r + 1 : 59 - 2 * r;
  return x >= 30 - w && x <= 29 + w;
}

void ChipsCoverTheirDiamondsAndTile() {
  for (int sheet = 0; sheet <= 1; ++sheet) {
    TQoRGBContainer s;
    ASSERT_TRUE(s.LoadPackById(kFileKindMapChips, sheet, 17, 4));
    auto pixel = [&](int f, int x, int y) { return s.Pixels()[((f / 4) * 60 + y) * s.Width() + (f % 4) * 60 + x]; };
    for (int f = 0; f < 68; ++f) {
      int inDiamond = 0, keyInDiamond = 0;
      for (int y = 30; y < 60; ++y) {
        for (int x = 0; x < 60; ++x) {
          const bool visible = !IsKey(pixel(f, x, y));
          if (Diamond(x, y)) {
            ++inDiamond;
            keyInDiamond += !visible;
          }
          const bool covering = (f >= 20 && f <= 64) || f == 66 || f == 67;
          if (covering) {
            ASSERT_EQ(visible, Diamond(x, y)) << sheet << ": chip " << f << " at " << x << "," << y;
          }
          if (!Diamond(x, y)) {
            ASSERT_FALSE(visible) << sheet << ": chip " << f << " outside its diamond at " << x << "," << y;
          }
        }
      }
      if (f < 4) {
        EXPECT_GE(keyInDiamond * 10, inDiamond * 7) << "open space " << f << " lets the background through";
      }
      if (f < 20) {
        for (int y = 0; y < 30; ++y) {
          for (int x = 0; x < 60; ++x) {
            ASSERT_TRUE(IsKey(pixel(f, x, y))) << "navigable chips do not rise: " << f;
          }
        }
      }
    }
    // A 6 x 6 patch of every group drawn where the map view draws it: the cells' own rows (30..59
    // of each frame) neither leave a gap in the covering groups nor cover a pixel twice in any group.
    constexpr int kW = 400, kH = 260;
    for (int group = 0; group < 16; ++group) {
      std::vector<int> cover(kW * kH, 0);
      for (int cy = 0; cy < 6; ++cy) {
        for (int cx = 0; cx < 6; ++cx) {
          const int frame = group * 4 + (cx * 3 + cy * 5 + cx * cy) % 4;
          const int a = 30 * cx, b = 30 * cy;
          const int sx = (a - b) + kW / 2 - 30, sy = a / 2 + b / 2;
          std::vector<bool> drawn(kW * kH, false);
          for (const TQoRGB fill : {TQoRGB(1, 2, 3), TQoRGB(250, 251, 252)}) {
            TQoTrueDib dib(nullptr, kW, kH);
            dib.InitDib();
            for (int y = 0; y < kH; ++y) {
              for (int x = 0; x < kW; ++x) dib.Pixels()[y * dib.RowPitch() + x] = fill;
            }
            s.PasPat(&dib, frame, sx, sy, 0);
            for (int y = sy + 30; y < sy + 60; ++y) {
              for (int x = sx; x < sx + 60; ++x) {
                const TQoRGB& p = dib.Pixels()[y * dib.RowPitch() + x];
                if (p.r != fill.r || p.g != fill.g || p.b != fill.b) drawn[static_cast<size_t>(y * kW + x)] = true;
              }
            }
          }
          for (size_t i = 0; i < drawn.size(); ++i) cover[i] += drawn[i];
        }
      }
      for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
          const int n = cover[static_cast<size_t>(y * kW + x)];
          ASSERT_LE(n, 1) << sheet << ": group " << group << " covers " << x << "," << y << " twice";
          // Inside the patch: the diamond of all 36 cells, centre (200, 120), 360 x 180.
          const double dx = x + 0.5 - 200.0, dy = y + 0.5 - 120.0;
          const bool inside = std::fabs(dx) / 180.0 + std::fabs(dy) / 90.0 < 0.97;
          if (group >= 5 && inside) {
            ASSERT_EQ(n, 1) << sheet << ": group " << group << " leaves a gap at " << x << "," << y;
          }
        }
      }
    }
  }
}

void PlanetFlagFleetAndMarksOfACellNeverCoverEachOther() {
  TQoRGBContainer pla, ship, mk;
  ASSERT_TRUE(pla.LoadPackById(kFileKindMapPlanets, -1, 17, 4));
  ASSERT_TRUE(ship.LoadPackById(kFileKindMapFleetIcons, -1, 22, 1));
  ASSERT_TRUE(mk.LoadPackById(kFileKindMapMarks, -1, 10, 1));
  // Unions of the visible pixels of each kind of sprite, in frame coordinates.
  auto mask = [](const TQoRGBContainer& s, int first, int last) {
    std::vector<bool> m(3600, false);
    for (int f = first; f <= last; ++f) {
      const int fx = (f % s.Cols()) * 60, fy = (f / s.Cols()) * 60;
      for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 60; ++x)
          m[static_cast<size_t>(y * 60 + x)] =
              m[static_cast<size_t>(y * 60 + x)] || !IsKey(s.Pixels()[(fy + y) * s.Width() + fx + x]);
      }
    }
    return m;
  };
  const std::map<std::string, std::vector<bool>> parts = {{"planet", mask(pla, 0, 35)}, {"flag", mask(pla, 36, 49)},
                                                          {"fleet", mask(ship, 0, 21)}, {"relation", mask(mk, 0, 3)},
                                                          {"badge", mask(mk, 4, 4)},    {"tick", mask(mk, 5, 5)}};
  const std::pair<const char*, const char*> together[] = {
      {"planet", "flag"}, {"planet", "relation"}, {"planet", "badge"}, {"flag", "relation"},
      {"flag", "badge"},  {"relation", "badge"},  {"fleet", "flag"},   {"fleet", "relation"},
      {"fleet", "tick"},  {"flag", "tick"},       {"relation", "tick"}};
  for (const auto& [a, b] : together) {
    for (int i = 0; i < 3600; ++i) {
      ASSERT_FALSE(parts.at(a)[static_cast<size_t>(i)] && parts.at(b)[static_cast<size_t>(i)])
          << a << " and " << b << " meet at " << i % 60 << "," << i / 60;
    }
  }
}

// Mean relative luminance (sRGB linearised, weights 0.2126, 0.7152, 0.0722) of a rectangle.
double Luminance(const TPicture& p, int x0, int y0, int x1, int y1) {
  auto lin = [](int c) {
    const double v = c / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  double sum = 0;
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x)
      sum += 0.2126 * lin(p.At(x, y).r) + 0.7152 * lin(p.At(x, y).g) + 0.0722 * lin(p.At(x, y).b);
  }
  return sum / ((x1 - x0 + 1) * (y1 - y0 + 1));
}

void TextAreasAreDarkAndLabelPlatesLight() {
  struct TArea {
    int kind, number, x0, y0, x1, y1;
  };
  const TArea dark[] = {
      {kFileKindMessageBoxBackground, -1, 156, 45, 427, 123},         // the message box's five lines
      {kFileKindEventPicture, 0, 48, 12, 367, 81},                    // the event page's four lines
      {kFileKindSaveLoadBackground, -1, 24, 32, 341, 323},            // the save slots
      {kFileKindInformationBackground, -1, 252, 20, 520, 227},        // the information screen's name and lines
      {kFileKindDockBackground, -1, 136, 60, 453, 179},               // the dock list
      {kFileKindPlanetSelectorBackground, -1, 48, 56, 443, 175},      // the planet selector's list
      {kFileKindCommanderSelectorBackground, -1, 180, 60, 547, 179},  // the commander selector's list
      {kFileKindPartsSelectorBackground, -1, 24, 20, 183, 175},       // the parts list
  };
  for (const TArea& a : dark) {
    EXPECT_LE(Luminance(Load(a.kind, a.number), a.x0, a.y0, a.x1, a.y1), 0.15) << a.kind;
  }
  const TPicture system = Load(kFileKindSystemMenuBackground);
  for (int y : {21, 49, 77}) EXPECT_GE(Luminance(system, 137, y, 235, y + 11), 0.45) << "the option label at y " << y;
}

// Every portrait is a face of its own; the side not speaking (GEN_D) is about 55 % as bright and
// half as saturated; the message box's and the battle window's kinds carry a dark frame.
void PortraitsAreDistinctDimmedAndFramed() {
  std::vector<TPicture> gen;
  for (int n = 0; n < 38; ++n) gen.push_back(Load(40, n));
  for (int a = 0; a < 38; ++a) {
    for (int b = a + 1; b < 38; ++b) {
      long diff = 0;
      for (size_t i = 0; i < gen[a].pixels.size(); ++i) {
        const TQoRGB &p = gen[a].pixels[i], &q = gen[b].pixels[i];
        diff += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
      }
      EXPECT_GT(diff / static_cast<long>(gen[a].pixels.size()), 4) << a << " and " << b << " look alike";
    }
  }
  for (int n = 0; n < 38; ++n) {
    const TPicture dim = Load(41, n);
    double light = 0, dimLight = 0, sat = 0, dimSat = 0;
    for (size_t i = 0; i < dim.pixels.size(); ++i) {
      const TQoRGB &p = gen[static_cast<size_t>(n)].pixels[i], &q = dim.pixels[i];
      light += p.r + p.g + p.b;
      dimLight += q.r + q.g + q.b;
      sat += std::max({p.r, p.g, p.b}) - std::min({p.r, p.g, p.b});
      dimSat += std::max({q.r, q.g, q.b}) - std::min({q.r, q.g, q.b});
    }
    EXPECT_NEAR(dimLight / light, 0.55, 0.08) << n;
    EXPECT_NEAR(dimSat / sat, 0.55 * 0.5, 0.07) << n;
    for (const int kind : {kFileKindCommanderPortrait, kFileKindSmallCommanderPortrait}) {
      const TPicture p = Load(kind, n);
      for (int i = 0; i < p.width; ++i) {
        for (const TQoRGB& c : {p.At(i, 0), p.At(i, p.height - 1), p.At(0, i), p.At(p.width - 1, i)}) {
          ASSERT_LT(c.r + c.g + c.b, 60) << kind << "/" << n << ": the frame's outer line";
        }
      }
    }
  }
}

// The command bar's pieces meet without a seam at every width: the left piece's last column, the
// middle piece's columns 60..539 (which show between them from 793 to 1272 pixels) and the right
// piece's first column are one and the same.
void TheBarJoinsAtEveryWidth() {
  const TPicture left = Load(31), middle = Load(32), right = Load(30);
  for (int y = 0; y < 120; ++y) {
    const TQoRGB a = left.At(539, y);
    auto same = [&a](const TQoRGB& b) { return a.r == b.r && a.g == b.g && a.b == b.b; };
    ASSERT_TRUE(same(right.At(0, y))) << "row " << y;
    for (int x = 60; x < 540; ++x) ASSERT_TRUE(same(middle.At(x, y))) << x << "," << y;
  }
}

void PreviewsAreTheSevenSheets() {
  std::set<std::string> names;
  for (const auto& f : fs::directory_iterator(scratch_->Path() + "/preview")) {
    names.insert(f.path().filename().string());
    TRgbPicture png;
    EXPECT_TRUE(LoadPngRgb(f.path().string(), png)) << f.path();
  }
  EXPECT_EQ(names, (std::set<std::string>{"battle.png", "chips.png", "map.png", "planets.png", "portraits.png",
                                          "screens.png", "ships.png"}));
}

// One generation (world, pictures and previews) for every check. The sheets are loaded the way the
// views load them: through the locator's names and the picture archive.
TEST(PictureArchive, ReadBackThroughTheGameCode) {
  test::TScratch scratch("pictures");
  scratch_ = &scratch;
  sample::TGenerateOptions o = sample::OptionsFor(scratch.Path() + "/game", {"world", "pictures"});
  o.PreviewFolder = scratch.Path() + "/preview";
  ASSERT_TRUE(sample::GenerateSampleData(o));
  TQoPack pack;
  pack.SetCrcMode(cmPackAll);
  ASSERT_TRUE(pack.LoadPack((scratch.Path() + "/game/dat/BMP.PAK").c_str()));
  pack_ = &pack;
  TFileManager files;
  SetQoEntryNameHook([&files](int kind, int number) { return files.GetFileNameNum(kind, number); });
  SetQoPictureArchive(&pack);
  const std::pair<const char*, void (*)()> checks[] = {
      {"entries", EntriesMethodsTimesAndChecksums},
      {"keys", KeysFramesAndUnusedFrames},
      {"chips", ChipsCoverTheirDiamondsAndTile},
      {"sprites of a cell", PlanetFlagFleetAndMarksOfACellNeverCoverEachOther},
      {"readability", TextAreasAreDarkAndLabelPlatesLight},
      {"bar", TheBarJoinsAtEveryWidth},
      {"portraits", PortraitsAreDistinctDimmedAndFramed},
      {"previews", PreviewsAreTheSevenSheets},
      {"flames on the hulls", test::FlamesLieOnTheirHulls},
      {"headings", test::HeadingsTurnTheHulls},
      {"fireball", test::TheFireballGrowsAndFades},
      {"sides", test::TheSidesKeepTheirColours},
      {"ship pictures, icons and minimap", test::ShipPicturesIconsAndMinimapSitInTheirFrames},
  };
  for (const auto& [name, check] : checks) {
    SCOPED_TRACE(name);
    check();
  }
  const std::string game = scratch.Path() + "/game";
  {
    SCOPED_TRACE("world");
    test::TheWorldNamesPicturesTheArchiveHolds(game);
  }
  {
    SCOPED_TRACE("battles");
    test::BattlesDrawWithTheirPictures(game);
  }
  SetQoPictureArchive(nullptr);
  SetQoEntryNameHook(nullptr);
  pack_ = nullptr;
  scratch_ = nullptr;
}

}  // namespace
}  // namespace vdmq
