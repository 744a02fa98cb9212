#include "screens/Qvgraph.h"

#include <algorithm>

#include "campaign/Country.h"
#include "campaign/FileKinds.h"
#include "campaign/Fleet.h"
#include "campaign/Planet.h"
#include "campaign/Qvmap.h"
#include "campaign/Story.h"
#include "platform/core/Control.h"
#include "qolib/graphics/QoTDib.h"
#include "qolib/graphics/Qograph_rap.h"

namespace vdmq {

TQvMapGraph* QvMapGraph = nullptr;

namespace {

// Sheet slots of the strategic map (0 background, 1 chips, 2 planets, 3 fleet icons, 4 small marks),
// with their file kinds and frame grids (rows x columns).
constexpr int kSlotBg = 0;
constexpr int kSlotChips = 1;
constexpr int kSlotMarks = 4;
struct TSheetFile {
  int kind;
  int rows;
  int cols;
};
constexpr TSheetFile kSheetFiles[] = {
    {kFileKindMapBackground, 1, 1},   // the background, 1280 x 904
    {kFileKindMapChips, 17, 4},       // terrain chips and marks
    {kFileKindMapPlanets, 17, 4},     // planets and country marks
    {kFileKindMapFleetIcons, 22, 1},  // fleet icons
    {kFileKindMapMarks, 10, 1},       // small marks
};
constexpr int kBgWidth = 1280;
constexpr int kBgHeight = 904;
constexpr int kCellPixels = 30;  // map pixels per cell
constexpr int kOriginMax = 54;   // the origin and the view's cells are clamped to 0..54
constexpr int kZenCentre = 108;  // minimap x of the column of cells x = y

// Minimap colours (indices into RapColors).
enum TRapColor {
  kMaroon = 1,
  kGreen = 2,
  kNavy = 4,
  kTeal = 6,
  kGray = 7,
  kSilver = 8,
  kRed = 9,
  kLime = 10,
  kBlue = 12,
  kFuchsia = 13,
  kAqua = 14,
};

TQoTrueDib* gMainView = nullptr;
TQoTrueDib* gMainZen = nullptr;
TQoTrueDib* gMainZenBase = nullptr;

// A sheet that can be drawn: a picture with frames of at least one pixel.
bool Drawable(const TQoRGBContainer* sheet) {
  return sheet != nullptr && sheet->Pixels() != nullptr && sheet->FrameWidth() > 0 && sheet->FrameHeight() > 0;
}

int Clamp(int v) { return std::clamp(v, 0, kOriginMax); }

// Repaints the image a surface is bound to, now (the window presents what it painted).
void UpdateImage(TQoTrueDib* surface) {
  if (surface == nullptr) return;
  if (auto* control = dynamic_cast<TControl*>(surface->Bitmap())) control->Update();
}

}  // namespace

void SetQvMapSurfaces(TQoTrueDib* view, TQoTrueDib* zen, TQoTrueDib* zenBase) {
  gMainView = view;
  gMainZen = zen;
  gMainZenBase = zenBase;
}

TQvMapGraph::TQvMapGraph()
    : layers_(std::make_unique<std::array<std::array<TGraphOp, kQvLayerEntries>, kQvLayerCount>>()) {}

TQvMapGraph::~TQvMapGraph() = default;

// ---------------------------------------------------------------------------------------------
// Life cycle and sheets

void TQvMapGraph::Init() { Init(gMainView, gMainZen, gMainZenBase); }

void TQvMapGraph::Init(TQoTrueDib* view, TQoTrueDib* zen, TQoTrueDib* zenBase) {
  view_ = view;
  zen_ = zen;
  zenBase_ = zenBase;
  // Every surface draws into memory of its own size from the start.
  for (TQoTrueDib* s : {view_, zen_, zenBase_}) {
    if (s != nullptr && !s->HasPixels()) s->InitDib();
  }
  for (int slot = kSlotBg; slot <= kSlotMarks; ++slot) {
    sheets_[slot] = std::make_unique<TQoRGBContainer>();
    const TSheetFile& f = kSheetFiles[slot];
    sheets_[slot]->LoadPackById(f.kind, 0, f.rows, f.cols);
  }
}

void TQvMapGraph::Term() {
  for (auto& sheet : sheets_) sheet.reset();
}

void TQvMapGraph::LoadBg() {
  if (!sheets_[kSlotBg]) return;
  const int chapter = GetStoryChapter();
  const int number = chapter >= 2 && chapter <= 4 ? chapter - 1 : 0;
  const TSheetFile& f = kSheetFiles[kSlotBg];
  sheets_[kSlotBg]->LoadPackById(f.kind, number, f.rows, f.cols);
}

void TQvMapGraph::LoadMapChip() {
  if (!sheets_[kSlotChips]) return;
  const int number = GetStoryChapter() == 4 ? 1 : 0;
  const TSheetFile& f = kSheetFiles[kSlotChips];
  sheets_[kSlotChips]->LoadPackById(f.kind, number, f.rows, f.cols);
}

TQoRGBContainer* TQvMapGraph::Sheet(int slot) const {
  if (slot < 0 || slot >= kQvSheetSlots) return nullptr;
  return sheets_[slot].get();
}

// ---------------------------------------------------------------------------------------------
// Queue

void TQvMapGraph::AddOp(int layer, TGraphOp* entry) {
  if (entry == nullptr) return;
  // Without a picture in the entry's slot there is neither a frame size to place it by nor
  // anything to draw.
  const TQoRGBContainer* sheet = Sheet(entry->sheet);
  if (!Drawable(sheet)) return;
  if (!CellToPos(sheet, entry->mapX, entry->mapY, &entry->screenX, &entry->screenY)) return;
  if (layer < 0 || layer >= kQvLayerCount || counts_[layer] >= kQvLayerEntries) return;
  if (!ChkInView(entry->screenX, entry->screenY, sheet->FrameHeight(), sheet->FrameWidth())) return;
  (*layers_)[layer][counts_[layer]++] = *entry;
}

// ---------------------------------------------------------------------------------------------
// Geometry

bool TQvMapGraph::ChkInView(int sx, int sy, int frameHeight, int frameWidth) const {
  if (view_ == nullptr) return false;
  return !(sx + frameWidth < 0 || sy + frameHeight < 0 || sx >= view_->Width() || sy >= view_->Height());
}

bool TQvMapGraph::CellToPos(const TQoRGBContainer* sheet, int mapX, int mapY, int* sx, int* sy) const {
  if (view_ == nullptr) return false;
  const int fw = sheet != nullptr ? sheet->FrameWidth() : 0;
  const int a = mapX - kCellPixels * originX_;
  const int b = mapY - kCellPixels * originY_;
  if (sx != nullptr) *sx = (a - b) + view_->Width() / 2 - fw / 2;
  if (sy != nullptr) *sy = a / 2 + b / 2;
  return true;
}

void TQvMapGraph::PosToCell(int sx, int sy, int* cx, int* cy) const {
  const int width = view_ != nullptr ? view_->Width() : 0;
  const int d = sx - width / 2;
  if (cx != nullptr) *cx = Clamp((d / 2 + sy) / kCellPixels + originX_ - 1);
  if (cy != nullptr) *cy = Clamp((sy + (-d) / 2) / kCellPixels + originY_ - 1);
}

bool TQvMapGraph::CellToZenPos(int cx, int cy, int* zx, int* zy) const {
  if (zenBase_ == nullptr) return false;
  if (zx != nullptr) *zx = 2 * (cx - cy) + kZenCentre;
  if (zy != nullptr) *zy = cx + cy;
  return true;
}

void TQvMapGraph::ZenPosToCell(int zx, int zy, int* cx, int* cy) const {
  const int d = zx - kZenCentre;
  if (cx != nullptr) *cx = (d / 2 + zy) / 2;
  if (cy != nullptr) *cy = (zy + (-d) / 2) / 2;
}

// ---------------------------------------------------------------------------------------------
// Origin, centre, cursor, size

void TQvMapGraph::SetOrigin(int x, int y) {
  originX_ = Clamp(x);
  originY_ = Clamp(y);
}

void TQvMapGraph::MoveOrigin(int x, int y) {
  SetOrigin(x, y);
  Draw();
}

void TQvMapGraph::SetCenter(int x, int y) {
  if (view_ == nullptr) return;
  const int d = ((view_->Width() / 2) / 2) / kCellPixels;
  MoveOrigin(x - d, y - d);
}

void TQvMapGraph::SetCenterPlanet(int planet) {
  if (!IsPlanetOnMap(planet)) return;
  SetCenter(GetPlanetX(planet), GetPlanetY(planet));
}

void TQvMapGraph::SetCenterCountry(int country) {
  if (!IsCountryAlive(country)) return;
  SetCenterPlanet(GetCountryCapital(country));
}

void TQvMapGraph::SetCursor(int x, int y) {
  if (!TQvMap::ChkInMap(x, y)) return;
  cursorX_ = x;
  cursorY_ = y;
}

void TQvMapGraph::SetSize(int width, int height) {
  if (view_ == nullptr) return;
  view_->SetWidth(width);
  view_->SetHeight(height);
  // A view that was once too small to hold a pixel gets its memory back at the next real size.
  if (!view_->HasPixels()) view_->InitDib();
  Draw();
}

void TQvMapGraph::EdgeScroll(int region) {
  if (region == -1) return;
  constexpr int kLast = kMapSize - 1;
  int x = originX_;
  int y = originY_;
  switch (region) {
    case 0:  // top
      if (x == 0 && y == 0) {
      } else if (x == 0 && y > 0) {
        --y;
      } else if (y == 0 && x > 0) {
        --x;
      } else {
        --x, --y;
      }
      break;
    case 1:  // bottom
      if (x == kLast && y == kLast) {
      } else if (x == kLast && y < kLast) {
        ++y;
      } else if (y == kLast && x < kLast) {
        ++x;
      } else {
        ++x, ++y;
      }
      break;
    case 2:  // left
      if (x == 0 && y == kLast) {
      } else if (y == kLast && x < kLast) {
        --x;
      } else if (x == 0 && y > 0) {
        ++y;
      } else {
        --x, ++y;
      }
      break;
    case 3:  // right
      if (x == kLast && y == 0) {
      } else if (x == kLast && y < kLast) {
        --y;
      } else if (y == 0 && x < kLast) {
        ++x;
      } else {
        ++x, --y;
      }
      break;
    default:  // any other code only redraws
      break;
  }
  MoveOrigin(x, y);
}

// ---------------------------------------------------------------------------------------------
// Drawing

bool TQvMapGraph::MakeZenBase() {
  if (QvMap == nullptr || zenBase_ == nullptr) return false;
  DrawBmpPackById(zenBase_, 0, 0, kFileKindMapMinimapBase, 0);
  for (int y = 0; y < kMapSize; ++y) {
    for (int x = 0; x < kMapSize; ++x) {
      int zx = 0, zy = 0;
      CellToZenPos(x, y, &zx, &zy);
      zenBase_->BoxFill(zx, zy, zx + 2, zy + 1, RapColors[QvMap->IsMovable(x, y) ? kSilver : kGray]);
    }
  }
  return true;
}

void TQvMapGraph::Draw() {
  if (view_ == nullptr) return;
  view_->ChgModifiedSw(false);
  if (zen_ != nullptr) zen_->ChgModifiedSw(false);

  // The background does not scroll: the view always shows its centre.
  const int width = view_->Width();
  const int height = view_->Height();
  if (TQoRGBContainer* bg = sheets_[kSlotBg].get()) {
    bg->PutArea(view_, 0, 0, width, height, (kBgWidth - width) / 2, (kBgHeight - height) / 2, Qo_SET);
  }

  counts_.fill(0);
  if (QvMap != nullptr) QvMap->DrawMap();

  for (int l = 0; l < kQvLayerCount; ++l) {
    TGraphOp* first = (*layers_)[l].data();
    TGraphOp* last = first + counts_[l];
    std::stable_sort(first, last, [](const TGraphOp& a, const TGraphOp& b) {
      return a.mapY != b.mapY ? a.mapY < b.mapY : a.mapX < b.mapX;
    });
    for (TGraphOp* e = first; e != last; ++e) {
      TQoRGBContainer* sheet = Sheet(e->sheet);
      if (Drawable(sheet)) sheet->PasPat(view_, e->frame, e->screenX, e->screenY, e->drawMode);
    }
  }
  counts_.fill(0);

  DrawZen();

  // Every redraw repaints both images once, even when nothing could be drawn.
  view_->SetModified();
  view_->ChgModifiedSw(true);
  if (zen_ != nullptr) {
    zen_->SetModified();
    zen_->ChgModifiedSw(true);
  }
  UpdateImage(view_);
  UpdateImage(zen_);
}

void TQvMapGraph::DrawZen() {
  if (zen_ == nullptr || zenBase_ == nullptr) return;
  zen_->PutDib(0, 0, zenBase_, 0, 0, zenBase_->Width(), zenBase_->Height());
  const int player = GetPlayerCountry();
  auto box = [this](int x, int y, int colour) {
    int zx = 0, zy = 0;
    CellToZenPos(x, y, &zx, &zy);
    zen_->BoxFill(zx, zy, zx + 2, zy + 1, RapColors[colour]);
  };
  for (int p = 0; p < kPlanetCount; ++p) {
    const int x = GetPlanetX(p);
    const int y = GetPlanetY(p);
    if (!IsPlanetOnMap(p) || !TQvMap::ChkInMap(x, y)) continue;
    const int owner = GetPlanetBelong(p);
    const bool capital = owner != -1 && GetCountryCapital(owner) == p;
    // An unowned planet counts as at war with the player.
    switch (GetCountryRelation(player, owner)) {
      case kRelationSelf: box(x, y, capital ? kBlue : kNavy); break;
      case kRelationWar: box(x, y, capital ? kRed : kMaroon); break;
      default: box(x, y, capital ? kTeal : kGreen); break;
    }
  }
  for (int c = 0; c < kCountryCount; ++c) {
    if (!IsCountryAlive(c)) continue;
    for (int f = 0; f < kFleetCount; ++f) {
      const int x = GetFleetX(c, f);
      const int y = GetFleetY(c, f);
      // IsFleetAlive: the fleet can be used and has a valid ship.
      if (!IsFleetAlive(c, f) || !TQvMap::ChkInMap(x, y) || FindPlanetAtXY(x, y) == -1) continue;
      switch (GetCountryRelation(player, c)) {
        case kRelationSelf: box(x, y, kAqua); break;
        case kRelationWar: box(x, y, kFuchsia); break;
        default: box(x, y, kLime); break;
      }
    }
  }
}

}  // namespace vdmq
