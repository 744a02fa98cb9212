#include "tools/ArtTable.h"

#include "campaign/FileKinds.h"
#include "campaign/File_manager.h"
#include "tools/BattleArt.h"
#include "tools/HullModels.h"
#include "tools/MapArt.h"
#include "tools/Portraits.h"
#include "tools/ScreenArt.h"
#include "tools/ShipArt.h"
#include "tools/SpriteArt.h"
#include "tools/Starfield.h"

namespace vdmq::sample {

namespace {

using K = TKeyRule;

// Runs of entries: numbers first..last (-1..-1 for an unnumbered kind).
struct TArtRow {
  int kind, first, last;
  int width, height, bits, rows, cols;
  TKeyRule key;
  int method;
  TArtRenderer render;
};

// The table. Sizes are the forms' client sizes and surfaces, the map geometry's 60 x 60 frames, and
// our own where nothing fixes them (the main window's background, the empty ship panels, the map
// sheets' frame counts).
constexpr TArtRow kRows[] = {
    {kFileKindMainBackground, -1, -1, 792, 573, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderScreen},      // BG_MAIN
    {kFileKindDesignerBackground, -1, -1, 600, 500, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderScreen},  // BG_BUILD
    {kFileKindDesignerNoHull, -1, -1, 256, 160, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderScreen},      // BG_BUILD_0
    {kFileKindEventBackground, -1, -1, 512, 416, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderScreen},     // BG_EVENT
    {kFileKindEventPicture, 0, 0, 464, 100, 24, 1, 1, K::kOpaque, kMethodCocotte,
     RenderScreen},  // BG_EV00: the text area
    {kFileKindEventPicture, 1, 2, 216, 216, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderScreen},    // empty portraits
    {kFileKindEventPicture, 10, 13, 216, 216, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderScreen},  // left shutter
    {kFileKindEventPicture, 20, 23, 216, 216, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderScreen},  // right shutter
    {kFileKindCommanderSelectorBackground, -1, -1, 616, 252, 24, 1, 1, K::kOpaque, kMethodCocotte,
     RenderScreen},  // BG_CMDSEL
    {kFileKindCommanderSelectorNoPortrait, -1, -1, 138, 138, 24, 1, 1, K::kOpaque, kMethodCocotte,
     RenderScreen},                                                                                   // BG_CMDSEL_0
    {kFileKindDockBackground, -1, -1, 540, 240, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderScreen},  // BG_DOCK
    {kFileKindPlanetSelectorBackground, -1, -1, 540, 240, 24, 1, 1, K::kOpaque, kMethodCocotte,
     RenderScreen},                                                                                    // BG_PL_SEL
    {kFileKindFleetBackground, -1, -1, 518, 440, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderScreen},  // BG_FLEET
    {kFileKindFleetNoShip, -1, -1, 256, 160, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderScreen},      // BG_FLEET_0
    {kFileKindFleetSelectorBackground, -1, -1, 154, 470, 24, 1, 1, K::kOpaque, kMethodCocotte,
     RenderScreen},                                                                                       // BG_FLSEL
    {kFileKindSaveLoadBackground, -1, -1, 364, 400, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderScreen},  // BG_SAVE
    {kFileKindPartsSelectorBackground, -1, -1, 460, 340, 24, 1, 1, K::kOpaque, kMethodCocotte,
     RenderScreen},                                                                                         // BG_PARTS
    {kFileKindTechnologyBackground, -1, -1, 400, 220, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderScreen},  // BG_TEC
    {kFileKindBattleBarBackground, -1, -1, 792, 120, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderScreen},   // BG_BTMAIN
    {kFileKindBattleMinimapBase, -1, -1, 100, 100, 24, 1, 1, K::kOpaque, kMethodCocotte,
     RenderBattleMinimap},  // BG_BTMAIN_0
    {kFileKindMessageBoxBackground, -1, -1, 448, 197, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderScreen},  // BG_SYSMES
    {kFileKindInformationBackground, -1, -1, 540, 280, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderScreen},  // BG_CMDIF
    {kFileKindKeypadBackground, -1, -1, 296, 164, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderScreen},  // BG_DENTAKU
    {kFileKindPlanetBackground, -1, -1, 600, 420, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderScreen},  // BG_PLANET
    {kFileKindSystemMenuBackground, -1, -1, 400, 160, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderScreen},  // BG_SYSTEM
    {kFileKindMainBarRight, -1, -1, 252, 120, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderScreen},          // BG_MAIN_R
    {kFileKindMainBarLeft, -1, -1, 540, 120, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderScreen},           // BG_MAIN_L
    {kFileKindMainBarMiddle, -1, -1, 792, 120, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderScreen},         // BG_MAIN_M
    {kFileKindMapMinimapBase, -1, -1, 216, 107, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderScreen},        // BG_MAIN_0
    {kFileKindMapChips, 0, 1, 240, 1020, 24, 17, 4, K::kMagenta, kMethodVarnel, RenderChips},        // QV_MAP0, QV_MAP1
    {kFileKindMapPlanets, -1, -1, 240, 1020, 24, 17, 4, K::kMagenta, kMethodVarnel, RenderPlanets},  // QV_PLA
    {kFileKindMapFleetIcons, -1, -1, 60, 1320, 24, 22, 1, K::kMagenta, kMethodVarnel, RenderShipIcons},      // QV_SHIP
    {kFileKindMapMarks, -1, -1, 60, 600, 24, 10, 1, K::kMagenta, kMethodStored, RenderMarks},                // QV_MK
    {kFileKindShipPicture, 0, 21, 256, 160, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderShipPicture},        // SH
    {kFileKindSmallShipPicture, 0, 21, 128, 80, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderShipPicture},    // SH_S
    {kFileKindLargePortrait, 0, 37, 216, 216, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderPortrait},         // GEN
    {kFileKindDimmedPortrait, 0, 37, 216, 216, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderPortrait},        // GEN_D
    {kFileKindCommanderPortrait, 0, 37, 138, 138, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderPortrait},     // COM
    {kFileKindSmallCommanderPortrait, 0, 37, 69, 69, 24, 1, 1, K::kOpaque, kMethodCocotte, RenderPortrait},  // COM_S
    {kFileKindMapBackground, 0, 3, 1280, 904, 8, 1, 1, K::kOpaque, kMethodCocotte, RenderStarfield},      // BG_00..03
    {kFileKindBattleBackground, 0, 0, 1600, 1600, 8, 1, 1, K::kOpaque, kMethodCocotte, RenderStarfield},  // BTBG_00
    {kFileKindBattleRadar, -1, -1, 256, 32, 24, 1, 8, K::kMagenta, kMethodVarnel, RenderRadarGlyphs},     // BT_MAP
    {kFileKindBattleHull, 0, 21, 0, 0, 24, 1, 8, K::kMagenta, kMethodVarnel,
     RenderBattleShips},  // BTSH: sized by class
    {kFileKindBattleMissiles, 0, 0, 192, 144, 24, 6, 8, K::kMagenta, kMethodVarnel, RenderMissiles},    // BTMS
    {kFileKindBattleFlames, 0, 1, 192, 24, 24, 1, 8, K::kBlack, kMethodVarnel, RenderFlames},           // BTEFC
    {kFileKindBattleExplosions, 0, 0, 768, 96, 24, 1, 8, K::kBlack, kMethodVarnel, RenderExplosions},   // BTEXP_00
    {kFileKindBattleExplosions, 1, 1, 320, 40, 24, 1, 8, K::kBlack, kMethodVarnel, RenderExplosions},   // BTEXP_01
    {kFileKindBattleTrails, 0, 0, 192, 240, 24, 10, 8, K::kBlack, kMethodVarnel, RenderTrails},         // BTADD
    {kFileKindBattleShield, 0, 0, 512, 128, 24, 1, 4, K::kBlack, kMethodVarnel, RenderShieldBubble},    // BTSD
    {kFileKindBattleMarkers, -1, -1, 40, 600, 24, 15, 1, K::kMagenta, kMethodInverted, RenderMarkers},  // BT_MK
    {kFileKindEventArrow, -1, -1, 840, 30, 24, 1, 14, K::kCorner, kMethodVarnel, RenderScreen},         // BG_EV_NX
};

std::vector<TArtEntry> Expand() {
  std::vector<TArtEntry> out;
  for (const TArtRow& r : kRows) {
    for (int n = r.first; n <= r.last; ++n) {
      // A size of 0 x 0: the battle sheet of hull picture n, its frames as large as its class's.
      const int w = r.width > 0 ? r.width : BattleFrameWidth(n) * r.cols;
      const int h = r.height > 0 ? r.height : BattleFrameHeight(n) * r.rows;
      out.push_back({r.kind, n, w, h, r.bits, r.rows, r.cols, r.key, r.method, r.render});
    }
  }
  return out;
}

}  // namespace

std::string TArtEntry::Name() const { return TFileManager::FindName(TFileManager::kPackTable, Kind, Number); }

const std::vector<TArtEntry>& ArtEntries() {
  static const std::vector<TArtEntry> entries = Expand();
  return entries;
}

const TArtEntry* FindArtEntry(int kind, int number) {
  for (const TArtEntry& e : ArtEntries()) {
    if (e.Kind == kind && e.Number == number) return &e;
  }
  return nullptr;
}

std::string CheckArtImage(const TArtEntry& e, const TArtImage& image) {
  const raster::TImage24& p = image.Rgb;
  if (p.Width != e.Width || p.Height != e.Height) {
    return "drawn at " + std::to_string(p.Width) + "x" + std::to_string(p.Height) + ", listed at " +
           std::to_string(e.Width) + "x" + std::to_string(e.Height);
  }
  if ((e.Bits == 8) != image.Indexed.has_value()) return "not of its listed bit depth";
  if (e.Width % e.Cols != 0 || e.Height % e.Rows != 0) return "its grid does not divide it";
  const raster::TBgr corner = p.At(0, 0);
  size_t cornerCount = 0;
  for (const raster::TBgr& c : p.Pixels) {
    if (e.Key == TKeyRule::kOpaque && c == raster::kMagenta) return "an opaque picture holds the key colour";
    if (e.Key == TKeyRule::kMagenta && c != raster::kMagenta && raster::ManhattanDistance(c, raster::kMagenta) < 60) {
      return "a visible pixel lies near the key colour";
    }
    cornerCount += c == corner ? 1 : 0;
  }
  if (e.Key == TKeyRule::kMagenta && corner != raster::kMagenta) return "pixel (0, 0) is not the key";
  if (e.Key == TKeyRule::kBlack && corner != raster::TBgr{0, 0, 0}) return "pixel (0, 0) is not black";
  if (e.Key == TKeyRule::kCorner && cornerCount != 1) return "its corner colour is used elsewhere";
  return {};
}

}  // namespace vdmq::sample
