#include "tools/Previews.h"

#include <algorithm>
#include <filesystem>

#include "campaign/Country.h"
#include "campaign/FileKinds.h"
#include "campaign/Planet.h"
#include "campaign/Qvmap.h"
#include "tools/BattlePreviews.h"
#include "tools/Generator.h"
#include "tools/MapArt.h"
#include "tools/MapLegend.h"
#include "tools/Portraits.h"
#include "tools/PreviewKit.h"
#include "tools/ScreenArt.h"
#include "tools/SpriteArt.h"

namespace vdmq::sample {

namespace fs = std::filesystem;
using raster::TBgr;
using raster::TImage24;
using namespace preview;

namespace {

// ---- The sheets -----------------------------------------------------------------------------

struct TIso {
  int width = 0, ox = 0, oy = 0;
  // The top-left of a 60-wide sprite of cell (x, y).
  std::pair<int, int> At(int x, int y) const {
    const int a = 30 * x - 30 * ox, b = 30 * y - 30 * oy;
    return {(a - b) + width / 2 - 30, a / 2 + b / 2};
  }
};

struct TDraw {
  int layer, x, y, sheet, frame;
  TMode mode;
};

TImage24 MapSheet(const TArtSet& art, const TQvMap& map) {
  const int w = 1272, h = 877;
  TImage24 view = art.Get(kFileKindMapBackground, 0).Crop((1280 - w) / 2, (904 - h) / 2, w, h);
  TIso iso{w, 13, 27};  // the front between the federation and the empire
  std::vector<TDraw> ops;
  for (int y = 0; y < kMapSize; ++y) {
    for (int x = 0; x < kMapSize; ++x) ops.push_back({0, x, y, kFileKindMapChips, map.GetChip(x, y), TMode::kSet});
  }
  // The four marks on sample cells near the federation's capital, and the cursor.
  const int px = PlanetData[0].X, py = PlanetData[0].Y;
  for (int d = 2; d <= 4; ++d) ops.push_back({1, px + d, py - 1, kFileKindMapChips, kMarkReachable, TMode::kSet});
  ops.push_back({1, px + 1, py - 3, kFileKindMapChips, kMarkReachable, TMode::kSet});
  ops.push_back({1, PlanetData[53].X, PlanetData[53].Y, kFileKindMapChips, kMarkDestination, TMode::kSet});
  ops.push_back({1, PlanetData[1].X, PlanetData[1].Y, kFileKindMapChips, kMarkAttack, TMode::kSet});
  ops.push_back({1, px + 2, py + 2, kFileKindMapChips, kMarkDestination, TMode::kAdd});
  for (const TPlanetData& p : PlanetData) {
    if (p.X < 0) continue;
    ops.push_back({2, p.X, p.Y, kFileKindMapPlanets, p.Cg, TMode::kSet});
    if (p.Belong < 0) continue;
    ops.push_back({3, p.X, p.Y, kFileKindMapPlanets, kFirstCountryMark + p.Belong, TMode::kSet});
    const int rel = GetCountryRelation(0, p.Belong);
    const bool capital = GetCountryCapital(p.Belong) == static_cast<int>(&p - PlanetData);
    if (rel == kRelationWar) ops.push_back({3, p.X, p.Y, kFileKindMapMarks, capital ? 3 : 1, TMode::kSet});
    if (rel == kRelationSelf) ops.push_back({3, p.X, p.Y, kFileKindMapMarks, capital ? 2 : 0, TMode::kSet});
  }
  // Some fleets in open space (icon, flag, relation, a moved one) and one at a planet.
  struct TFleet {
    int x, y, country, icon;
    bool moved;
  };
  const TFleet fleets[] = {{px + 3, py - 2, 0, 0, false},
                           {px + 5, py - 4, 0, 1, true},
                           {PlanetData[1].X - 2, PlanetData[1].Y + 1, 7, 3, false},
                           {PlanetData[2].X - 1, PlanetData[2].Y + 3, 7, 12, true},
                           {PlanetData[55].X - 2, PlanetData[55].Y, 9, 18, false}};
  for (const TFleet& f : fleets) {
    if (map.GetChip(f.x, f.y) >= kChipObstacle) continue;
    ops.push_back({2, f.x, f.y, kFileKindMapFleetIcons, f.icon, TMode::kSet});
    ops.push_back({3, f.x, f.y, kFileKindMapPlanets, kFirstCountryMark + f.country, TMode::kSet});
    const int rel = GetCountryRelation(0, f.country);
    if (rel == kRelationWar) ops.push_back({3, f.x, f.y, kFileKindMapMarks, 1, TMode::kSet});
    if (rel == kRelationSelf) ops.push_back({3, f.x, f.y, kFileKindMapMarks, 0, TMode::kSet});
    if (f.moved) ops.push_back({3, f.x, f.y, kFileKindMapMarks, 5, TMode::kSet});
  }
  ops.push_back({3, px, py, kFileKindMapMarks, 4, TMode::kSet});
  std::stable_sort(ops.begin(), ops.end(), [](const TDraw& a, const TDraw& b) {
    return a.layer != b.layer ? a.layer < b.layer : a.y != b.y ? a.y < b.y : a.x < b.x;
  });
  for (const TDraw& d : ops) {
    const auto [sx, sy] = iso.At(d.x, d.y);
    if (sx + 60 < 0 || sy + 60 < 0 || sx >= w || sy >= h) continue;
    const TImage24& sheet = art.Get(d.sheet, d.sheet == kFileKindMapChips ? 0 : -1);
    const int cols = d.sheet == kFileKindMapChips || d.sheet == kFileKindMapPlanets ? 4 : 1;
    BlitFrame(view, sheet, cols, 60, 60, d.frame, sx, sy, d.mode);
  }
  // The minimap on its base, framed, in the lower right corner.
  TImage24 mini = art.Get(kFileKindMapMinimapBase);
  for (int y = 0; y < kMapSize; ++y) {
    for (int x = 0; x < kMapSize; ++x) {
      const TBgr c = map.GetChip(x, y) < kChipObstacle ? TBgr{192, 192, 192} : TBgr{128, 128, 128};
      Fill(mini, 2 * (x - y) + 108, x + y, 2, 1, c);
    }
  }
  for (const TPlanetData& p : PlanetData) {
    if (p.X < 0) continue;
    const int rel = p.Belong < 0 ? kRelationWar : GetCountryRelation(0, p.Belong);
    const bool capital = p.Belong >= 0 && GetCountryCapital(p.Belong) == static_cast<int>(&p - PlanetData);
    TBgr c = rel == kRelationSelf ? TBgr{128, 0, 0} : rel == kRelationWar ? TBgr{0, 0, 128} : TBgr{0, 128, 0};
    if (capital) c = rel == kRelationSelf ? TBgr{255, 0, 0} : rel == kRelationWar ? TBgr{0, 0, 255} : TBgr{128, 128, 0};
    Fill(mini, 2 * (p.X - p.Y) + 108, p.X + p.Y, 2, 1, c);
  }
  const int mx = w - mini.Width - 12, my = h - mini.Height - 12;
  Fill(view, mx - 3, my - 3, mini.Width + 6, mini.Height + 6, TBgr{130, 110, 90});
  view.Paste(mini, mx, my);
  return view;
}

TImage24 ChipSheet(const TArtSet& art) {
  TShelf shelf(2600);
  for (int sheet = 0; sheet <= 1; ++sheet) shelf.Add(Scaled(art.Get(kFileKindMapChips, sheet), 2));
  const TImage24 back = art.Get(kFileKindMapBackground, 0);
  for (int sheet = 0; sheet <= 1; ++sheet) {
    const TImage24& chips = art.Get(kFileKindMapChips, sheet);
    for (int group = 0; group <= kChipGroupCount; ++group) {
      // A 6 x 6 patch of the group's members (the last patch: the marks), over the starfield.
      TImage24 patch = back.Crop(400 + group * 20, 300, 380, 260);
      TIso iso{380, 0, 0};
      for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
          const int member = (x * 7 + y * 3 + (x * y) % 5) % 4;
          const int frame = group < kChipGroupCount ? group * 4 + member
                                                    : kMarkReachable + (member == 1   ? 2
                                                                        : member == 2 ? 3
                                                                                      : 0);
          const auto [sx, sy] = iso.At(x, y);
          BlitFrame(patch, chips, 4, 60, 60, frame, sx, sy + 20, TMode::kSet);
        }
      }
      Number(patch, group < kChipGroupCount ? group * 4 : kMarkReachable, 6, 6, kLabel);
      shelf.Add(patch);
    }
  }
  return shelf.Compose();
}

// One frame over a dark cell with its diamond outlined, so the placement shows.
TImage24 Cell(const TImage24& sheet, int cols, int frame, int scale) {
  TImage24 cell(60, 60, TBgr{30, 18, 12});
  for (int y = 30; y < 60; ++y) {
    for (int x = 0; x < 60; ++x) {
      if (InDiamond(x, y)) cell.At(x, y) = TBgr{54, 34, 24};
    }
  }
  BlitFrame(cell, sheet, cols, 60, 60, frame, 0, 0, TMode::kSet);
  return scale == 1 ? cell : Scaled(cell, scale);
}

TImage24 PlanetSheet(const TArtSet& art) {
  TShelf shelf(2400, 12);
  const struct {
    int kind, cols, frames;
  } sheets[] = {{kFileKindMapPlanets, 4, 68}, {kFileKindMapFleetIcons, 1, 22}, {kFileKindMapMarks, 1, 10}};
  for (const auto& s : sheets) {
    for (int f = 0; f < s.frames; ++f) {
      TImage24 tile(60 * 3 + 60 + 12, 60 * 3 + 16, kSheetBack);
      tile.Paste(Cell(art.Get(s.kind), s.cols, f, 3), 0, 16);
      tile.Paste(Cell(art.Get(s.kind), s.cols, f, 1), 60 * 3 + 8, 16);
      Number(tile, f, 2, 2,
             s.kind == kFileKindMapPlanets      ? kLabel
             : s.kind == kFileKindMapFleetIcons ? TBgr{120, 240, 160}
                                                : TBgr{120, 160, 250});
      shelf.Add(tile);
    }
  }
  // Everything a cell can hold at once: a capital with its flag, star and a fleet badge; a moved
  // fleet in open space with its flag and relation mark.
  for (int k = 0; k < 4; ++k) {
    TImage24 cell = Cell(art.Get(kFileKindMapPlanets), 4, k * 9 + 3, 1);
    BlitFrame(cell, art.Get(kFileKindMapPlanets), 4, 60, 60, kFirstCountryMark + k * 3, 0, 0, TMode::kSet);
    BlitFrame(cell, art.Get(kFileKindMapMarks), 1, 60, 60, k % 2 == 0 ? 2 : 3, 0, 0, TMode::kSet);
    BlitFrame(cell, art.Get(kFileKindMapMarks), 1, 60, 60, 4, 0, 0, TMode::kSet);
    shelf.Add(Scaled(cell, 3));
    TImage24 fleet = Cell(art.Get(kFileKindMapFleetIcons), 1, k * 5, 1);
    BlitFrame(fleet, art.Get(kFileKindMapPlanets), 4, 60, 60, kFirstCountryMark + 7 - k, 0, 0, TMode::kSet);
    BlitFrame(fleet, art.Get(kFileKindMapMarks), 1, 60, 60, k % 2, 0, 0, TMode::kSet);
    BlitFrame(fleet, art.Get(kFileKindMapMarks), 1, 60, 60, 5, 0, 0, TMode::kSet);
    shelf.Add(Scaled(fleet, 3));
  }
  return shelf.Compose();
}

TImage24 PortraitSheet(const TArtSet& art) {
  TShelf shelf(2100, 12);
  for (int n = 0; n < kPortraitCount; ++n) {
    TImage24 row(216 * 2 + 138 + 69 + 4 * 8, 216 + 14, kSheetBack);
    row.Paste(art.Get(kFileKindLargePortrait, n), 0, 14);
    row.Paste(art.Get(kFileKindDimmedPortrait, n), 224, 14);
    row.Paste(art.Get(kFileKindCommanderPortrait, n), 448, 14);
    row.Paste(art.Get(kFileKindSmallCommanderPortrait, n), 594, 14);
    Number(row, n, 0, 0, kLabel);
    shelf.Add(row);
  }
  return shelf.Compose();
}

TImage24 ScreenSheet(const TArtSet& art, const std::vector<TArtEntry>& entries) {
  TShelf shelf(2400);
  for (const TArtEntry& e : entries) {
    if (e.Render != RenderScreen) continue;
    TImage24 img = art.Get(e.Kind, e.Number);
    for (const TPanel& p : ScreenPanels(e.Kind)) {
      if (e.Kind == kFileKindEventPicture && e.Number != 0) continue;
      for (const TControl& c : p.Controls) Outline(img, c.X, c.Y, c.W, c.H, kOutline);
    }
    TImage24 tile(img.Width, img.Height + 14, kSheetBack);
    tile.Paste(img, 0, 14);
    Number(tile, e.Kind, 0, 0, kLabel);
    if (e.Number >= 0) Number(tile, e.Number, 40, 0, TBgr{120, 240, 160});
    shelf.Add(tile);
  }
  // The message box with the adjutant.
  TImage24 box = art.Get(kFileKindMessageBoxBackground);
  box.Paste(art.Get(kFileKindCommanderPortrait, 2), 14, 36);
  shelf.Add(box);
  // The event window with two speakers (the right one not speaking) and the arrow.
  TImage24 event = art.Get(kFileKindEventBackground);
  event.Paste(art.Get(kFileKindLargePortrait, 0), 24, 35);
  event.Paste(art.Get(kFileKindDimmedPortrait, 2), 268, 34);
  event.Paste(art.Get(kFileKindEventPicture, 0), 23, 288);
  BlitFrame(event, art.Get(kFileKindEventArrow), 14, 60, 30, 3, 23 + 394, 288 + 62, TMode::kOpaque);
  shelf.Add(event);
  // The command bar at the narrowest and the widest client.
  for (const int width : {792, 1272}) {
    TImage24 bar(width, 120);
    if (width > 792) bar.Paste(art.Get(kFileKindMainBarMiddle), width - 792, 0);
    bar.Paste(art.Get(kFileKindMainBarLeft), 0, 0);
    bar.Paste(art.Get(kFileKindMainBarRight), width - 252, 0);
    shelf.Add(bar);
  }
  return shelf.Compose();
}

}  // namespace

const std::vector<std::string>& PreviewFiles() {
  static const std::vector<std::string> files = {"map.png",     "chips.png", "planets.png", "portraits.png",
                                                 "screens.png", "ships.png", "battle.png"};
  return files;
}

bool WritePreviews(TGeneration& g, const std::vector<TArtEntry>& entries, const std::vector<TDrawnArt>& drawn) {
  const std::string folder = g.Options().PreviewFolder;
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!fs::is_directory(folder)) return g.Fail(folder, ec ? ec.message() : "not a folder");
  const TArtSet art(entries, drawn);
  const TFlameTable flames = FlameRows(g.Threads());
  const TImage24 sheets[] = {
      MapSheet(art, g.Map()),    ChipSheet(art),          PlanetSheet(art),        PortraitSheet(art),
      ScreenSheet(art, entries), ShipsSheet(art, flames), BattleSheet(art, flames)};
  for (size_t i = 0; i < PreviewFiles().size(); ++i) {
    if (!SavePreview(g, folder, PreviewFiles()[i], sheets[i])) return false;
  }
  return true;
}

}  // namespace vdmq::sample
