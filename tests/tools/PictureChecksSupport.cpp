// The battle's pictures read back from the generated archive: flames on their hulls, real headings,
// the fireball's course, the world's picture numbers, and whole battles drawn with them.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "PictureChecks.h"
#include "battle/Btinfo.h"
#include "battle/Btmain.h"
#include "battle/Btqvmap.h"
#include "battle/Btship.h"
#include "battle/Btunit.h"
#include "campaign/FileKinds.h"
#include "campaign/Fleet.h"
#include "campaign/GameSave.h"
#include "campaign/Parts.h"
#include "campaign/Planet.h"
#include "campaign/Save.h"
#include "campaign/Ship.h"
#include "qolib/graphics/QoTDib.h"
#include "qolib/graphics/Qograph_rap.h"

namespace vdmq::test {
namespace {

namespace fs = std::filesystem;

bool Same(const TQoRGB& a, const TQoRGB& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
bool IsMagenta(const TQoRGB& p) { return p.r == 255 && p.g == 0 && p.b == 255; }

const TQoRGB& At(const TQoRGBContainer& s, int frame, int x, int y) {
  const int fx = (frame % s.Cols()) * s.FrameWidth(), fy = (frame / s.Cols()) * s.FrameHeight();
  return s.Pixels()[(fy + y) * s.Width() + fx + x];
}

// A pixel that differs from the sheet's key (its first pixel).
bool Shows(const TQoRGBContainer& s, int frame, int x, int y) { return !Same(At(s, frame, x, y), s.Pixels()[0]); }

struct TBox {
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
  int Width() const { return x1 - x0 + 1; }
  int Height() const { return y1 - y0 + 1; }
};

TBox Bounds(const TQoRGBContainer& s, int frame) {
  TBox b;
  for (int y = 0; y < s.FrameHeight(); ++y) {
    for (int x = 0; x < s.FrameWidth(); ++x) {
      if (!Shows(s, frame, x, y)) continue;
      b.x0 = std::min(b.x0, x), b.y0 = std::min(b.y0, y), b.x1 = std::max(b.x1, x), b.y1 = std::max(b.y1, y);
    }
  }
  return b;
}

void LoadHull(TQoRGBContainer& s, int n) { EXPECT_TRUE(s.LoadPackById(kFileKindBattleHull, n, 1, 8)) << "BTSH " << n; }

// ---- The battle view --------------------------------------------------------------------------

constexpr int kViewW = 792, kViewH = 453, kArena = 1600;
// Every so many frames is composed; every frame's entries are checked.
constexpr int kComposeEvery = 7;

// The battle view's part that matters here: its sheets in their slots, the queued entries of a
// frame, and the composition of the scrolled sky and the sorted layers onto a 792 x 453 surface.
class TComposingView : public TBtViewSink {
 public:
  TComposingView() : view_(nullptr, kViewW, kViewH) {
    view_.InitDib();
    // Slots 0..9: the sky, the radar glyphs, both flame sheets, both explosions, the trails, the
    // missiles, the shield and the markers.
    const int fixed[10][4] = {{kFileKindBattleBackground, 0, 1, 1}, {kFileKindBattleRadar, -1, 1, 8},
                              {kFileKindBattleFlames, 0, 1, 8},     {kFileKindBattleFlames, 1, 1, 8},
                              {kFileKindBattleExplosions, 0, 1, 8}, {kFileKindBattleExplosions, 1, 1, 8},
                              {kFileKindBattleTrails, 0, 10, 8},    {kFileKindBattleMissiles, 0, 6, 8},
                              {kFileKindBattleShield, 0, 1, 4},     {kFileKindBattleMarkers, -1, 15, 1}};
    for (const auto& f : fixed) AddPat(f[0], f[1], f[2], f[3]);
    SetBtViewSink(this);
  }
  ~TComposingView() override { SetBtViewSink(nullptr); }

  int AddPat(int kind, int number, int rows, int cols) override {
    auto sheet = std::make_unique<TQoRGBContainer>();
    if (!sheet->LoadPackById(kind, number, rows, cols))
      faults.push_back("no sheet " + std::to_string(kind) + "/" + std::to_string(number));
    sheets_.push_back(std::move(sheet));
    return static_cast<int>(sheets_.size()) - 1;
  }
  void Put(int layer, const TBtDrawEntry& e) override {
    ++entries;
    const bool slot = e.slot >= 0 && e.slot < static_cast<int>(sheets_.size());
    if (layer < 0 || layer > 3 || !slot || e.frame < 0 ||
        e.frame >= sheets_[e.slot]->Rows() * sheets_[e.slot]->Cols()) {
      if (faults.size() < 10)
        faults.push_back("layer " + std::to_string(layer) + " slot " + std::to_string(e.slot) + " frame " +
                         std::to_string(e.frame));
      return;
    }
    queued_[layer].push_back(e);
  }
  void GetMouseMapPos(int& x, int& y) const override {
    x = (scrollX_ + kViewW / 2) * 4;
    y = (scrollY_ + kViewH / 2) * 4;
  }
  void CenterOn(int px, int py) override {
    scrollX_ = std::clamp(px - kViewW / 2, 0, kArena - kViewW);
    scrollY_ = std::clamp(py - kViewH / 2, 0, kArena - kViewH);
    Redraw();
  }
  void Redraw() override {
    for (auto& q : queued_) q.clear();
    BtQvMap->DrawAll();
    if (frames_++ % kComposeEvery == 0) Compose();
  }

  int Sheets() const { return static_cast<int>(sheets_.size()); }

  std::vector<std::string> faults;
  long entries = 0;
  int composed = 0, withKey = 0;

 private:
  void Compose() {
    sheets_[0]->PutArea(&view_, 0, 0, kViewW, kViewH, scrollX_, scrollY_, Qo_SET);
    for (auto& q : queued_) {
      std::stable_sort(q.begin(), q.end(), [](const TBtDrawEntry& a, const TBtDrawEntry& b) {
        return a.mapY != b.mapY ? a.mapY < b.mapY : a.mapX < b.mapX;
      });
      for (const TBtDrawEntry& e : q) {
        TQoRGBContainer& s = *sheets_[e.slot];
        const int x = (e.mapX >> 2) - scrollX_ - s.FrameWidth() / 2 + e.dx;
        const int y = (e.mapY >> 2) - scrollY_ - s.FrameHeight() / 2 + e.dy;
        if (x + s.FrameWidth() < 1 || x > kViewW || y + s.FrameHeight() < 1 || y > kViewH) continue;
        s.PasPat(&view_, e.frame, x, y, e.mode);
      }
    }
    bool key = false;
    for (int y = 0; y < kViewH && !key; ++y) {
      for (int x = 0; x < kViewW && !key; ++x) key = IsMagenta(view_.Pixels()[y * view_.RowPitch() + x]);
    }
    withKey += key;
    ++composed;
  }

  TQoTrueDib view_;
  std::vector<std::unique_ptr<TQoRGBContainer>> sheets_;
  std::array<std::vector<TBtDrawEntry>, 4> queued_;
  int scrollX_ = 0, scrollY_ = 0;
  int frames_ = 0;
};

// A ship of a hull with a weapon of each slot, an engine and a shield, at full durability.
TShipData Ship(int hull, int weapon1, int weapon2) {
  TShipData s{{hull, weapon1, weapon2, 4, 3}, 0};
  s.Hp = GetShipMaxHp(&s);
  return s;
}

// The first fleet of a country (0..9), filled with the given ships.
int Fleet(int country, const std::vector<TShipData>& ships) {
  const int fleet = 0;
  for (int slot = 0; slot < kFleetShipCount; ++slot) {
    SetFleetShip(country, fleet, slot,
                 slot < static_cast<int>(ships.size()) ? &ships[static_cast<size_t>(slot)] : nullptr);
  }
  return fleet;
}

}  // namespace

void FlamesLieOnTheirHulls() {
  for (int n = 0; n < kBtFlameCgCount; ++n) {
    TQoRGBContainer s;
    LoadHull(s, n);
    for (int d = 0; d < 8; ++d) {
      for (int p = 0; p < 3; ++p) {
        const int dx = BtFlameTbl[n][p][d][0], dy = BtFlameTbl[n][p][d][1];
        if (dx == kBtNoFlame) continue;
        const int cx = s.FrameWidth() / 2 + dx, cy = s.FrameHeight() / 2 + dy;
        bool on = false;
        for (int y = std::max(0, cy - 3); y <= std::min(s.FrameHeight() - 1, cy + 3); ++y) {
          for (int x = std::max(0, cx - 3); x <= std::min(s.FrameWidth() - 1, cx + 3); ++x) {
            on = on || ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= 9 && Shows(s, d, x, y));
          }
        }
        EXPECT_TRUE(on) << "picture " << n << " heading " << d << " point " << p << " at " << dx << "," << dy;
      }
    }
  }
}

void HeadingsTurnTheHulls() {
  for (int n = 0; n < kBtFlameCgCount; ++n) {
    TQoRGBContainer s;
    LoadHull(s, n);
    for (const int d : {0, 4}) {
      const TBox b = Bounds(s, d);
      EXPECT_GT(b.Width(), b.Height()) << "picture " << n << " heading " << d << " lies across the screen";
    }
    for (const int turned : {2, 6}) {
      for (const int along : {0, 4}) {
        int differ = 0;
        for (int y = 0; y < s.FrameHeight(); ++y) {
          for (int x = 0; x < s.FrameWidth(); ++x) differ += !Same(At(s, turned, x, y), At(s, along, x, y));
        }
        EXPECT_GT(differ, s.FrameWidth() * s.FrameHeight() / 20)
            << "picture " << n << ": frame " << turned << " against " << along;
      }
    }
  }
}

void TheFireballGrowsAndFades() {
  TQoRGBContainer s;
  ASSERT_TRUE(s.LoadPackById(kFileKindBattleExplosions, 0, 1, 8));
  auto light = [&s](int f) {
    long sum = 0;
    for (int y = 0; y < s.FrameHeight(); ++y) {
      for (int x = 0; x < s.FrameWidth(); ++x) sum += At(s, f, x, y).r + At(s, f, x, y).g + At(s, f, x, y).b;
    }
    return sum;
  };
  const TBox first = Bounds(s, 0), fourth = Bounds(s, 3);
  EXPECT_GT(fourth.Width() * fourth.Height(), first.Width() * first.Height());
  EXPECT_GT(light(3), light(7));
}

void TheSidesKeepTheirColours() {
  // Frames of the player's side and the others' side of the same thing.
  struct TPair {
    int kind, number, rows, cols;
    std::vector<int> player, others;
  };
  auto range = [](int first, int count) {
    std::vector<int> v;
    for (int f = first; f < first + count; ++f) v.push_back(f);
    return v;
  };
  const TPair pairs[] = {
      {kFileKindBattleMissiles, 0, 6, 8, range(0, 16), range(16, 16)},  // missiles and torpedoes
      {kFileKindBattleMissiles, 0, 6, 8, {32, 40}, {33, 41}},           // the bolts
      {kFileKindBattleFlames, 0, 1, 8, range(0, 3), range(4, 3)},       // engine flames
      {kFileKindBattleTrails, 0, 10, 8, range(8, 8), range(16, 8)},     // trails of bolt kind 3
      {kFileKindBattleTrails, 0, 10, 8, range(24, 8), range(32, 8)},    // trails of bolt kind 2
  };
  for (const TPair& t : pairs) {
    TQoRGBContainer s;
    ASSERT_TRUE(s.LoadPackById(t.kind, t.number, t.rows, t.cols));
    // The mean blue minus red of a frame's visible pixels that are not grey.
    auto tint = [&s](int f) {
      long sum = 0, n = 0;
      for (int y = 0; y < s.FrameHeight(); ++y) {
        for (int x = 0; x < s.FrameWidth(); ++x) {
          const TQoRGB& p = At(s, f, x, y);
          if (!Shows(s, f, x, y) || IsMagenta(p) || std::abs(p.b - p.r) < 24) continue;
          sum += p.b - p.r;
          ++n;
        }
      }
      return n > 0 ? static_cast<double>(sum) / static_cast<double>(n) : 0.0;
    };
    for (const int f : t.player) EXPECT_GT(tint(f), 20.0) << "kind " << t.kind << " frame " << f << " is the player's";
    for (const int f : t.others) EXPECT_LT(tint(f), -20.0) << "kind " << t.kind << " frame " << f << " is the others'";
  }
}

void ShipPicturesIconsAndMinimapSitInTheirFrames() {
  TQoRGBContainer bay;
  ASSERT_TRUE(bay.LoadPackById(kFileKindFleetNoShip, -1, 1, 1));
  TQoRGBContainer icons;
  ASSERT_TRUE(icons.LoadPackById(kFileKindMapFleetIcons, -1, 22, 1));
  for (int n = 0; n < kBtFlameCgCount; ++n) {
    TQoRGBContainer ship;
    ASSERT_TRUE(ship.LoadPackById(kFileKindShipPicture, n, 1, 1));
    ASSERT_EQ(ship.Width(), bay.Width());
    ASSERT_EQ(ship.Height(), bay.Height());
    int differ = 0;
    for (int y = 0; y < ship.Height(); ++y) {
      for (int x = 0; x < ship.Width(); ++x) {
        const bool ring = x < 4 || y < 4 || x >= ship.Width() - 4 || y >= ship.Height() - 4;
        differ += ring && !Same(ship.Pixels()[y * ship.Width() + x], bay.Pixels()[y * bay.Width() + x]);
      }
    }
    EXPECT_EQ(differ, 0) << "SH " << n << ": the frame of the empty ship panel";
    const TBox b = Bounds(icons, n);
    EXPECT_NEAR((b.x0 + b.x1) / 2.0, 30.0, 3.0) << "map icon " << n;
    EXPECT_NEAR((b.y0 + b.y1) / 2.0, 45.0, 3.0) << "map icon " << n;
  }
  TQoRGBContainer minimap;
  ASSERT_TRUE(minimap.LoadPackById(kFileKindBattleMinimapBase, -1, 1, 1));
  int bright = 0;
  for (int y = 1; y < minimap.Height() - 1; ++y) {
    for (int x = 1; x < minimap.Width() - 1; ++x) {
      const TQoRGB& p = minimap.Pixels()[y * minimap.Width() + x];
      bright += std::max({p.r, p.g, p.b}) > 128;
    }
  }
  EXPECT_EQ(bright, 0) << "pixels of the minimap's base as bright as half a dot";
}

void TheWorldNamesPicturesTheArchiveHolds(const std::string& gameFolder) {
  const fs::path old = fs::current_path();
  fs::current_path(gameFolder);
  ASSERT_TRUE(SaveLoadGame(kSaveModeNew, -1));
  fs::current_path(old);
  TQoRGBContainer icons;
  ASSERT_TRUE(icons.LoadPackById(kFileKindMapFleetIcons, -1, 22, 1));
  for (int h = 0; h < kFrameCount; ++h) {
    const int cg = FrameData[h].Parts.Cg;
    ASSERT_TRUE(cg >= -1 && cg < kBtFlameCgCount) << "hull " << h << " names picture " << cg;
    if (cg < 0) continue;
    for (const int kind : {kFileKindShipPicture, kFileKindSmallShipPicture, kFileKindBattleHull}) {
      TQoRGBContainer s;
      EXPECT_TRUE(s.LoadPackById(kind, cg, 1, 1)) << "hull " << h << ": kind " << kind << " picture " << cg;
    }
    EXPECT_LT(cg, icons.Rows()) << "hull " << h << " has its map icon";
  }
  for (int w = 0; w < kWeaponCount; ++w) {
    if (WeaponData[w].Enabled == 0) continue;
    const int kind = GetWeaponData6(GetWeaponDataPtr(w));
    EXPECT_TRUE(kind >= 0 && kind <= 3) << "weapon " << w << " fires missiles of kind " << kind;
  }
}

void BattlesDrawWithTheirPictures(const std::string& gameFolder) {
  const fs::path old = fs::current_path();
  fs::current_path(gameFolder);
  ASSERT_TRUE(SaveLoadGame(kSaveModeNew, -1));
  fs::current_path(old);
  // Weapons of every missile kind: 12 (0), 17 (1), 2 (2), 7 (3), 22 (0), 33 (1).
  // In space: the player's cruiser, compact destroyer and three-engined cruiser against the saucer
  // and two cruisers of the empire (country 7).
  const int own = Fleet(0, {Ship(0, 12, 22), Ship(1, 2, 33), Ship(14, 7, 22)});
  const int enemy = Fleet(7, {Ship(12, 17, 22), Ship(3, 7, 33), Ship(7, 2, 22)});
  // At a planet of the empire with a satellite of every satellite picture, against warships.
  int planet = 0;
  while (GetPlanetBelong(planet) != 7) ++planet;
  const int sats[kPlanetSateCount] = {50, 51, 52, 53, 58};
  for (int s = 0; s < kPlanetSateCount; ++s) {
    const TShipData sat = Ship(sats[s], 7, 22);
    SetPlanetSate(planet, s, &sat);
  }
  struct {
    int defender, defenderFleet, planet;
    std::vector<TShipData> ships;
  } battles[] = {{7, enemy, -1, {}}, {7, -1, planet, {Ship(29, 12, 33), Ship(30, 2, 22), Ship(24, 17, 22)}}};
  for (auto& b : battles) {
    if (!b.ships.empty()) Fleet(0, b.ships);
    TComposingView view;
    BtSetInfo(0, own, b.defender, b.defenderFleet, b.planet);
    ASSERT_EQ(BtInfo.winner, -1);
    const int ticks = BtRunBattleHeadless();
    SCOPED_TRACE(b.planet < 0 ? "in space" : "at a planet");
    EXPECT_LT(ticks, kBtHeadlessFrameLimit) << "a side won";
    EXPECT_TRUE(view.faults.empty()) << view.faults.front();
    EXPECT_EQ(view.Sheets(), 10 + (b.planet < 0 ? 6 : 8)) << "the fixed sheets and one per ship";
    EXPECT_GT(view.entries, 1000);
    EXPECT_GT(view.composed, 10);
    EXPECT_EQ(view.withKey, 0) << "frames that show the key colour";
  }
}

}  // namespace vdmq::test
