#include "tools/BattlePreviews.h"

#include <algorithm>
#include <cmath>

#include "campaign/FileKinds.h"
#include "tools/SpriteArt.h"

namespace vdmq::sample::preview {

using raster::TBgr;
using raster::TImage24;

namespace {

// A frame of an entry's sheet with its top-left corner at (x, y).
void Frame(TImage24& dst, const TArtSet& art, int kind, int number, int frame, int x, int y, TMode mode) {
  const TArtEntry& e = *FindArtEntry(kind, number);
  BlitFrame(dst, art.Get(kind, number), e.Cols, e.FrameWidth(), e.FrameHeight(), frame, x, y, mode);
}

// One hull's eight headings over the sky, with its flames at the table's offsets.
TImage24 HullStrip(const TArtSet& art, const TFlameTable& flames, int n, bool player) {
  const int fw = BattleFrameWidth(n), fh = BattleFrameHeight(n);
  TImage24 strip =
      art.Get(kFileKindBattleBackground, 0).Crop(40 + n * 61, 40 + (player ? 0 : 700) + n * 23, 8 * fw, fh);
  for (int d = 0; d < 8; ++d) {
    Frame(strip, art, 49, n, d, d * fw, 0, TMode::kSet);
    for (int point = 0; point < 3; ++point) {
      const TFlamePoint& p = flames[static_cast<size_t>(n)][static_cast<size_t>(point)][static_cast<size_t>(d)];
      if (p[0] == kNoFlame) continue;
      const int frame = d % 3 + (player ? 0 : 4);
      Frame(strip, art, 51, 0, frame, d * fw + fw / 2 + p[0] - 12, fh / 2 + p[1] - 12, TMode::kAdd);
    }
  }
  return strip;
}

// ---- The battle view ------------------------------------------------------------------------

// One queued sprite as the battle view keeps it: map position (arena units, four to a pixel),
// pixel offset, draw mode, the sheet (by kind and number) and the frame.
struct TPut {
  int layer;
  int mapX, mapY;
  int dx, dy;
  TMode mode;
  int kind, number, frame;
};

class TScene {
 public:
  void Put(int layer, float px, float py, int kind, int number, int frame, TMode mode = TMode::kSet, int dx = 0,
           int dy = 0) {
    puts_.push_back({layer, static_cast<int>(std::lround(px * 4.0f)), static_cast<int>(std::lround(py * 4.0f)), dx, dy,
                     mode, kind, number, frame});
  }
  // The view: the sky from the scroll position, then layers 0..3, each sorted by map row, then
  // column; every sprite centred on its map point, keyed by its sheet's first pixel.
  TImage24 Compose(const TArtSet& art, int scrollX, int scrollY, int width, int height) const {
    TImage24 view = art.Get(kFileKindBattleBackground, 0).Crop(scrollX, scrollY, width, height);
    for (int layer = 0; layer < 4; ++layer) {
      std::vector<TPut> queued;
      for (const TPut& p : puts_) {
        if (p.layer == layer) queued.push_back(p);
      }
      std::stable_sort(queued.begin(), queued.end(), [](const TPut& a, const TPut& b) {
        return a.mapY != b.mapY ? a.mapY < b.mapY : a.mapX < b.mapX;
      });
      for (const TPut& p : queued) {
        const TArtEntry& e = *FindArtEntry(p.kind, p.number);
        const int x = (p.mapX >> 2) - scrollX - e.FrameWidth() / 2 + p.dx;
        const int y = (p.mapY >> 2) - scrollY - e.FrameHeight() / 2 + p.dy;
        if (x + e.FrameWidth() < 1 || x > width || y + e.FrameHeight() < 1 || y > height) continue;
        Frame(view, art, p.kind, p.number, p.frame, x, y, p.mode);
      }
    }
    return view;
  }
  // The minimap: its base with a 2 x 2 dot per ship (lime the player's, red the others') and
  // missile (aqua, fuchsia).
  void Dots(TImage24& minimap) const {
    for (const auto& [x, y, colour] : dots_) Fill(minimap, x / 16, y / 16, 2, 2, colour);
  }
  void Dot(float px, float py, TBgr colour) { dots_.push_back({static_cast<int>(px), static_cast<int>(py), colour}); }

 private:
  struct TDot {
    int x, y;
    TBgr colour;
  };
  std::vector<TPut> puts_;
  std::vector<TDot> dots_;
};

constexpr TBgr kLime{0, 255, 0}, kRed{0, 0, 255}, kAqua{255, 255, 0}, kFuchsia{255, 0, 255};
constexpr float kPi = 3.14159265f;

struct TShipAt {
  int hull;
  float x, y;
  int octant;
  bool player;
  bool flagship;
  int shield;  // the shield's frame, -1 when it is off
};

void AddShip(TScene& s, const TFlameTable& flames, const TShipAt& ship, int tick) {
  s.Put(1, ship.x, ship.y, kFileKindBattleHull, ship.hull, ship.octant);
  for (int point = 0; point < 3; ++point) {
    const TFlamePoint& p =
        flames[static_cast<size_t>(ship.hull)][static_cast<size_t>(point)][static_cast<size_t>(ship.octant)];
    if (p[0] != kNoFlame)
      s.Put(3, ship.x, ship.y, kFileKindBattleFlames, 0, (tick + point) % 3 + (ship.player ? 0 : 4), TMode::kAdd, p[0],
            p[1]);
  }
  if (ship.shield >= 0) s.Put(3, ship.x, ship.y, kFileKindBattleShield, 0, ship.shield, TMode::kAdd);
  if (ship.flagship) s.Put(3, ship.x, ship.y, kFileKindBattleMarkers, -1, 11);
  s.Dot(ship.x, ship.y, ship.player ? kLime : kRed);
}

// A missile of a kind in flight at a heading octant, with the trail it leaves: smoke puffs behind
// light missiles and torpedoes, sparks behind bolts (their lights fly on along its heading).
void AddMissile(TScene& s, float x, float y, int kind, int octant, bool player, int age) {
  const float a = static_cast<float>(octant) * kPi / 4.0f;
  const float ux = std::cos(a), uy = std::sin(a);
  if (kind <= 1) {
    s.Put(2, x, y, kFileKindBattleMissiles, 0, kind * 8 + octant + (player ? 0 : 16));
    for (int k = 1; k <= 4; ++k)
      s.Put(3, x - ux * 7.0f * static_cast<float>(k), y - uy * 7.0f * static_cast<float>(k), kFileKindBattleTrails, 0,
            std::min(7, (k * 2 + age) % 8 + k - 1), TMode::kAdd);
  } else {
    s.Put(2, x, y, kFileKindBattleMissiles, 0, kind * 8 + 16 + (player ? 0 : 1), TMode::kAdd);
    const int row = kind == 3 ? (player ? 1 : 2) : (player ? 3 : 4);
    for (int k = 1; k <= 5; ++k) {
      s.Put(3, x - ux * 8.0f * static_cast<float>(k), y - uy * 8.0f * static_cast<float>(k), kFileKindBattleTrails, 0,
            row * 8 + std::min(7, k + age % 2), TMode::kAdd);
    }
  }
  s.Dot(x, y, player ? kAqua : kFuchsia);
}

}  // namespace

TImage24 ShipsSheet(const TArtSet& art, const TFlameTable& flames) {
  TShelf shelf(2900, 12);
  for (int n = 0; n < kHullPictures; ++n) {
    // A row per hull: the player's flames, then the others'.
    const TImage24 own = HullStrip(art, flames, n, true), others = HullStrip(art, flames, n, false);
    TImage24 tile(40 + own.Width * 2 + 12, own.Height, kSheetBack);
    tile.Paste(own, 40, 0);
    tile.Paste(others, 52 + own.Width, 0);
    Number(tile, n, 4, 4, kLabel);
    shelf.Add(tile);
  }
  for (int n = 0; n < kHullPictures; ++n) {
    TImage24 tile(256 + 128 + 8, 160, kSheetBack);
    tile.Paste(art.Get(kFileKindShipPicture, n), 0, 0);
    tile.Paste(art.Get(kFileKindSmallShipPicture, n), 264, 0);
    Number(tile, n, 268, 88, kLabel);
    shelf.Add(tile);
  }
  // The map icons on a cell of open space with a flag and a relation mark, at twice the size.
  for (int n = 0; n < kHullPictures; ++n) {
    TImage24 cell = art.Get(kFileKindMapBackground, 0).Crop(300 + n * 37, 200 + n * 11, 60, 60);
    Frame(cell, art, 34, 0, 0, 0, 0, TMode::kSet);
    Frame(cell, art, 36, -1, n, 0, 0, TMode::kSet);
    Frame(cell, art, 35, -1, kFirstCountryMark + n % 14, 0, 0, TMode::kSet);
    Frame(cell, art, 37, -1, n % 2, 0, 0, TMode::kSet);
    shelf.Add(Scaled(cell, 2));
  }
  return shelf.Compose();
}

TImage24 BattleSheet(const TArtSet& art, const TFlameTable& flames) {
  // An attack on a planet: the view scrolled to the upper right of the arena, where the world
  // and its satellites are.
  constexpr int kViewW = 792, kViewH = 453, kScrollX = 808, kScrollY = 150;
  TScene s;
  const int tick = 1;
  // The player's fleet from the lower left, the defenders near their world, two satellites on
  // their orbit 600 pixels from the corner.
  const TShipAt ships[] = {{0, 950, 520, 7, true, true, 1},      {1, 1090, 575, 0, true, false, -1},
                           {14, 880, 380, 0, true, false, -1},   {3, 1250, 285, 3, false, true, -1},
                           {12, 1420, 420, 4, false, false, -1}, {7, 1060, 215, 2, false, false, 3},
                           {19, 1108, 344, 6, false, false, -1}, {21, 1300, 520, 5, false, false, -1}};
  for (const TShipAt& ship : ships) AddShip(s, flames, ship, tick);
  // Missiles of every kind and heading: each side's light missiles and torpedoes swing round in
  // two rings between the fleets, its bolts cross the gap.
  for (const bool player : {true, false}) {
    const float cx = player ? 1040.0f : 1250.0f, cy = player ? 410.0f : 420.0f;
    for (int kind = 0; kind <= 1; ++kind) {
      const float r = kind == 0 ? 50.0f : 82.0f;
      for (int d = 0; d < 8; ++d) {
        const float t = static_cast<float>(d) * kPi / 4.0f - kPi / 2.0f + (player ? 0.0f : 0.35f);
        AddMissile(s, cx + r * std::cos(t), cy + r * 0.7f * std::sin(t), kind, d, player, d);
      }
    }
    for (int kind = 2; kind <= 3; ++kind) {
      const float y = 470.0f + 36.0f * static_cast<float>(kind - 2) + (player ? 0.0f : 18.0f);
      AddMissile(s, player ? 1180.0f : 1000.0f, y, kind, player ? 7 : 3, player, kind);
    }
  }
  // Hits: small bursts on the fleets, a ship's fireball at its height, and one dying out.
  s.Put(3, 1240, 300, kFileKindBattleExplosions, 1, 2, TMode::kAdd);
  s.Put(3, 1100, 565, kFileKindBattleExplosions, 1, 4, TMode::kAdd);
  s.Put(3, 1415, 425, kFileKindBattleExplosions, 1, 1, TMode::kAdd);
  s.Put(3, 1520, 560, kFileKindBattleExplosions, 0, 3, TMode::kAdd);
  s.Put(3, 900, 250, kFileKindBattleExplosions, 0, 6, TMode::kAdd);
  // The cursor away from the chosen ship: launcher 1 ready and the shield on.
  s.Put(3, 1160, 520, kFileKindBattleMarkers, -1, 6);
  TImage24 window(kViewW, kViewH + 120, kSheetBack);
  window.Paste(s.Compose(art, kScrollX, kScrollY, kViewW, kViewH), 0, 0);
  // The control strip: its background, the commander's face and the minimap.
  window.Paste(art.Get(kFileKindBattleBarBackground), 0, kViewH);
  window.Paste(art.Get(kFileKindSmallCommanderPortrait, 3), 281, kViewH + 9);
  TImage24 minimap = art.Get(kFileKindBattleMinimapBase);
  s.Dots(minimap);
  window.Paste(minimap, 575, kViewH + 12);

  // The effect sheets at twice their size, for a closer look.
  TShelf shelf(1600, 12);
  shelf.Add(window);
  for (const auto& [kind, number] : {std::pair{kFileKindBattleMissiles, 0},
                                     {kFileKindBattleFlames, 0},
                                     {kFileKindBattleFlames, 1},
                                     {kFileKindBattleExplosions, 0},
                                     {kFileKindBattleExplosions, 1},
                                     {kFileKindBattleTrails, 0},
                                     {kFileKindBattleShield, 0},
                                     {kFileKindBattleMarkers, -1},
                                     {kFileKindBattleRadar, -1},
                                     {kFileKindBattleMinimapBase, -1}}) {
    const TImage24& sheet = art.Get(kind, number);
    TImage24 tile(sheet.Width * 2 + 8, sheet.Height * 2 + 8, TBgr{70, 60, 50});
    tile.Paste(Scaled(sheet, 2), 4, 4);
    shelf.Add(tile);
  }
  return shelf.Compose();
}

}  // namespace vdmq::sample::preview
