#include "battle/Btqvgraph.h"

#include <algorithm>

#include "battle/Btqvmap.h"
#include "battle/F_btmain.h"
#include "campaign/FileKinds.h"
#include "platform/core/Control.h"
#include "platform/core/StdCtrls.h"
#include "qolib/graphics/QoTDib.h"
#include "qolib/graphics/Qograph_rap.h"
#include "screens/ScreenParts.h"

namespace vdmq {

TBtQvMapGraph* BtQvMapGraph = nullptr;

namespace {

// The fixed sheets: slot, file kind, number (-1 none), rows, columns.
struct TFixedSheet {
  int kind, number, rows, cols;
};
constexpr TFixedSheet kFixedSheets[] = {
    {kFileKindBattleBackground, 0, 1, 1},  // 0 arena background
    {kFileKindBattleRadar, -1, 1, 8},      // 1 loaded, never drawn
    {kFileKindBattleFlames, 0, 1, 8},      // 2 engine flames
    {kFileKindBattleFlames, 1, 1, 8},      // 3 loaded, never drawn
    {kFileKindBattleExplosions, 0, 1, 8},  // 4 a ship's explosion
    {kFileKindBattleExplosions, 1, 1, 8},  // 5 a missile's end
    {kFileKindBattleTrails, 0, 10, 8},     // 6 trails and flashes
    {kFileKindBattleMissiles, 0, 6, 8},    // 7 missiles
    {kFileKindBattleShield, 0, 1, 4},      // 8 shield
    {kFileKindBattleMarkers, -1, 15, 1},   // 9 cursor and flagship markers
};
constexpr int kSlotBackground = 0;

// A sheet that can be drawn: a picture with frames of at least one pixel.
bool Drawable(const TQoRGBContainer* sheet) {
  return sheet != nullptr && sheet->Pixels() != nullptr && sheet->FrameWidth() > 0 && sheet->FrameHeight() > 0;
}

// Repaints the image a surface is bound to, now.
void UpdateImage(TQoTrueDib* surface) {
  if (surface == nullptr) return;
  if (auto* control = dynamic_cast<TControl*>(surface->Bitmap())) control->Update();
}

// The arena's minimap dots as boxes in the standard colours.
class TMiniMapOnSurface : public TBtMiniMapSurface {
 public:
  explicit TMiniMapOnSurface(TQoTrueDib* surface) : surface_(surface) {}
  void BoxFill(int x1, int y1, int x2, int y2, int rapColor) override {
    if (rapColor < 0 || rapColor >= kRapColorCount) return;
    surface_->BoxFill(x1, y1, x2, y2, RapColors[rapColor]);
  }

 private:
  TQoTrueDib* surface_;
};

}  // namespace

TBtQvMapGraph::TBtQvMapGraph()
    : entries_(std::make_unique<std::array<std::array<TBtQueuedEntry, kBtLayerEntries>, kBtLayerCount>>()) {}

TBtQvMapGraph::~TBtQvMapGraph() { FreePats(); }

void TBtQvMapGraph::LoadGraphics() {
  TfmBtMain* form = fmBtMain;
  if (form == nullptr) {
    LoadGraphics(nullptr, nullptr, nullptr);
    return;
  }
  BindSurface(form->QoTrueDibBtQvMap, *form->imgBtQvMap);
  LoadGraphics(&form->QoTrueDibBtQvMap, &form->QoTrueDibBtZenQvMapBase, &form->QoTrueDibBtZenQvMap);
  form->QoCmd.Cls();
  form->QoCmd.Change();
}

void TBtQvMapGraph::LoadGraphics(TQoTrueDib* view, TQoTrueDib* zenBase, TQoTrueDib* zen) {
  for (size_t slot = 0; slot < std::size(kFixedSheets); ++slot) {
    const TFixedSheet& s = kFixedSheets[slot];
    sheets_[slot] = std::make_unique<TQoRGBContainer>();
    sheets_[slot]->LoadPackById(s.kind, s.number, s.rows, s.cols);
  }
  view_ = view;
  zenBase_ = zenBase;
  zen_ = zen;
  if (zenBase_ != nullptr) DrawBmpPackById(zenBase_, 0, 0, kFileKindBattleMinimapBase, -1);
  ClearBtMessage();
  for (TQoTrueDib* s : {view_, zen_}) {
    if (s != nullptr) s->Cls();
  }
}

void TBtQvMapGraph::FreePats() {
  for (auto& sheet : sheets_) sheet.reset();
  view_ = nullptr;
}

int TBtQvMapGraph::AddPat(int kind, int number, int rows, int cols) {
  for (int slot = 0; slot < kBtSheetSlots; ++slot) {
    if (sheets_[static_cast<size_t>(slot)] != nullptr) continue;
    auto sheet = std::make_unique<TQoRGBContainer>();
    sheet->LoadPackById(kind, number, rows, cols);
    sheets_[static_cast<size_t>(slot)] = std::move(sheet);
    return slot;
  }
  return -1;
}

TQoRGBContainer* TBtQvMapGraph::Sheet(int slot) const {
  if (slot < 0 || slot >= kBtSheetSlots) return nullptr;
  return sheets_[static_cast<size_t>(slot)].get();
}

void TBtQvMapGraph::Put(int layer, const TBtDrawEntry& entry) {
  if (entry.slot == -1 || layer < 0 || layer >= kBtLayerCount) return;
  // A slot outside the sheets, empty, or holding a picture that did not load draws nothing.
  const TQoRGBContainer* sheet = Sheet(entry.slot);
  if (!Drawable(sheet) || view_ == nullptr) return;
  const int fw = sheet->FrameWidth();
  const int fh = sheet->FrameHeight();
  const int x = (entry.mapX >> 2) - scrollX_ - fw / 2 + entry.dx;
  const int y = (entry.mapY >> 2) - scrollY_ - fh / 2 + entry.dy;
  if (x + fw < 1 || x > view_->Width() || y + fh < 1 || y > view_->Height()) return;
  int32_t& count = counts_[static_cast<size_t>(layer)];
  if (count >= kBtLayerEntries) return;
  TBtQueuedEntry& q = (*entries_)[static_cast<size_t>(layer)][static_cast<size_t>(count)];
  q.entry = entry;
  q.screenX = x;
  q.screenY = y;
  q.order = count;
  ++count;
}

void TBtQvMapGraph::GetMouseMapPos(int& x, int& y) const {
  x = (scrollX_ + mouseX_) * 4;
  y = (scrollY_ + mouseY_) * 4;
}

void TBtQvMapGraph::SetScroll(int x, int y) {
  const TBtQvMap* arena = BtQvMap;
  if (arena == nullptr) return;
  const int width = view_ != nullptr ? view_->Width() : 0;
  const int height = view_ != nullptr ? view_->Height() : 0;
  // Clamped to the maximum first and to 0 last: a view wider than the arena stays at 0.
  scrollX_ = std::max(0, std::min(x, arena->GetWidth() / 4 - width));
  scrollY_ = std::max(0, std::min(y, arena->GetHeight() / 4 - height));
}

void TBtQvMapGraph::ScrollTo(int x, int y) {
  SetScroll(x, y);
  Redraw();
}

void TBtQvMapGraph::CenterOn(int px, int py) {
  if (view_ == nullptr) return;
  ScrollTo(px - view_->Width() / 2, py - view_->Height() / 2);
}

void TBtQvMapGraph::SetMousePos(int x, int y) {
  const TBtQvMap* arena = BtQvMap;
  if (arena == nullptr || !arena->ChkInMap(x, y, 40)) return;
  mouseX_ = x;
  mouseY_ = y;
}

void TBtQvMapGraph::ScreenToMap(int px, int py, int& mx, int& my) const {
  mx = (px + scrollX_) * 4;
  my = (py + scrollY_) * 4;
}

void TBtQvMapGraph::GetScroll(int& x, int& y) const {
  x = scrollX_;
  y = scrollY_;
}

void TBtQvMapGraph::Resize(int w, int h) {
  if (view_ == nullptr) return;
  view_->SetWidth(w);
  view_->SetHeight(h);
  Redraw();
}

int TBtQvMapGraph::GetCount(int layer) const {
  return layer >= 0 && layer < kBtLayerCount ? counts_[static_cast<size_t>(layer)] : 0;
}

const TBtQueuedEntry& TBtQvMapGraph::GetEntry(int layer, int i) const {
  return (*entries_)[static_cast<size_t>(layer)][static_cast<size_t>(i)];
}

void TBtQvMapGraph::Redraw() {
  TQoRGBContainer* background = sheets_[kSlotBackground].get();
  if (view_ == nullptr || background == nullptr) return;
  view_->ChgModifiedSw(false);
  if (zen_ != nullptr) zen_->ChgModifiedSw(false);

  background->PutArea(view_, 0, 0, view_->Width(), view_->Height(), scrollX_, scrollY_, kBtDrawPlain);

  counts_.fill(0);
  if (BtQvMap != nullptr) BtQvMap->DrawAll();

  for (int l = 0; l < kBtLayerCount; ++l) {
    TBtQueuedEntry* first = (*entries_)[static_cast<size_t>(l)].data();
    TBtQueuedEntry* last = first + counts_[static_cast<size_t>(l)];
    // Map row, then column, then queue order: the same picture every time, with no buffer.
    std::sort(first, last, [](const TBtQueuedEntry& a, const TBtQueuedEntry& b) {
      if (a.entry.mapY != b.entry.mapY) return a.entry.mapY < b.entry.mapY;
      if (a.entry.mapX != b.entry.mapX) return a.entry.mapX < b.entry.mapX;
      return a.order < b.order;
    });
    for (const TBtQueuedEntry* q = first; q != last; ++q) {
      TQoRGBContainer* sheet = Sheet(q->entry.slot);
      if (Drawable(sheet)) sheet->PasPat(view_, q->entry.frame, q->screenX, q->screenY, q->entry.mode);
    }
  }

  if (zen_ != nullptr && zenBase_ != nullptr) {
    zen_->PutDib(0, 0, zenBase_, 0, 0, zenBase_->Width(), zenBase_->Height());
    TMiniMapOnSurface mini(zen_);
    if (BtQvMap != nullptr) BtQvMap->DrawMiniMap(mini);
  }

  view_->SetModified();
  view_->ChgModifiedSw(true);
  if (zen_ != nullptr) {
    zen_->SetModified();
    zen_->ChgModifiedSw(true);
  }
  if (view_->Bitmap() != nullptr) {
    TfmBtMain* form = fmBtMain;
    if (form != nullptr && form->chkboxKomaOkuri->Checked()) SetBattleSpeed(form, 0);
    UpdateImage(view_);
    UpdateImage(zen_);
  }
}

}  // namespace vdmq
