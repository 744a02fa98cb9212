#include "screens/F_maped.h"

#include <algorithm>
#include <cstdio>

#include "campaign/GameSave.h"
#include "campaign/Planet.h"
#include "campaign/Qvmap.h"
#include "campaign/Save.h"
#include "platform/base/Sjis.h"
#include "platform/base/StdRandom.h"
#include "platform/core/Application.h"
#include "platform/core/Desktop.h"
#include "platform/core/DevCtrls.h"
#include "platform/core/StdCtrls.h"
#include "qolib/graphics/Qograph_rap.h"
#include "screens/Qvgraph.h"
#include "screens/ScreenParts.h"

namespace vdmq {

TfmMapEdTools* fmMapEdTools = nullptr;

namespace {

constexpr int kClientWidth = 317;
constexpr int kClientHeight = 753;
// The map view's sheet slot of the map chips.
constexpr int kChipSheetSlot = 1;
// Planet pictures 0..35 are planets; 36 on are country marks.
constexpr int kPlanetCgCount = 36;
const TQoRGB kFrameColour{255, 255, 255};

template <class T>
T* Make(TComponent* owner, TControl* parent, const char* name, TPlace place, const char* caption = nullptr) {
  auto* c = new T(owner);
  c->Name = name;
  c->SetParent(parent);
  c->SetBounds(place.Left, place.Top, place.Width, place.Height);
  if (caption != nullptr) c->SetCaption(Utf8ToSjis(caption));
  return c;
}

TTabSheet* MakePage(TComponent* owner, TPageControl* pc, const char* name, const char* caption) {
  auto* page = new TTabSheet(owner);
  page->Name = name;
  page->SetCaption(Utf8ToSjis(caption));
  page->SetPageControl(pc);
  return page;
}

void RedrawMap() {
  if (QvMapGraph != nullptr) QvMapGraph->Draw();
}

std::string PlanetLine(int planet) {
  char line[32];
  std::snprintf(line, sizeof line, "[%3d] %3d:%3d", planet, GetPlanetX(planet), GetPlanetY(planet));
  return line;
}

}  // namespace

TfmMapEdTools::TfmMapEdTools(TComponent* owner) : TForm(owner) {
  Name = "fmMapEdTools";
  SetBorderStyle(bsSingle);
  SetBorderIcons(biSystemMenu);
  SetCaption("MAP EDITER TOOLS");
  SetClientSize(kClientWidth, kClientHeight);
  // At the screen's top-right; the window is taller than an 800 x 600 screen.
  SetBounds(std::max(0, Desktop().ScreenSize().cx - Width()), 0, Width(), Height());

  // The header: the cell under the mouse and the save button.
  lbMouseXY = Make<TLabel>(this, this, "lbMouseXY", {6, 7, 64, 14}, "マウス座標");
  lbMapXY = Make<TLabel>(this, this, "lbMapXY", {76, 7, 120, 14}, "(X,Y)=(000,000)");
  Button1 = Make<TButton>(this, this, "Button1", {236, 2, 75, 23}, "セーブ");
  SaveDialog1 = new TSaveDialog(this);
  SaveDialog1->Name = "SaveDialog1";
  SaveDialog1->Filter = "dat|*.dat";
  pgctrMapEd = Make<TPageControl>(this, this, "pgctrMapEd", {0, 28, kClientWidth, kClientHeight - 28});

  // Page 0: the palette with its scroll buttons beside it, the painting tools below it. The sheet
  // is 309 x 697.
  TabSheet1 = MakePage(this, pgctrMapEd, "TabSheet1", "マップ");
  imgMapParts = Make<TImage>(this, TabSheet1, "imgMapParts", {0, 0, 240, 660});
  BindSurface(QoTrueDibMapParts, *imgMapParts);
  btnUp = Make<TButton>(this, TabSheet1, "btnUp", {246, 0, 60, 24}, "▲");
  btnDown = Make<TButton>(this, TabSheet1, "btnDown", {246, 636, 60, 24}, "▼");
  chkMask = Make<TCheckBox>(this, TabSheet1, "chkMask", {2, 670, 122, 17}, "通過領域にマスク");
  btnFill = Make<TButton>(this, TabSheet1, "btnFill", {126, 666, 76, 24}, "塗りつぶし");
  Button6 = Make<TButton>(this, TabSheet1, "Button6", {208, 666, 28, 24}, "全");
  edKakuritu = Make<TEdit>(this, TabSheet1, "edKakuritu", {240, 667, 50, 21});
  edKakuritu->SetText("1");
  UpDown1 = Make<TUpDown>(this, TabSheet1, "UpDown1", {290, 667, 16, 21});
  UpDown1->Min = 0;
  UpDown1->Max = 100;
  UpDown1->Associate = edKakuritu;
  UpDown1->SetPosition(1);

  // Page 1: the planet list and its buttons.
  TabSheet2 = MakePage(this, pgctrMapEd, "TabSheet2", "惑星");
  Label1 = Make<TLabel>(this, TabSheet2, "Label1", {4, 4, 100, 14}, "惑星座標");
  lboxPlanet = Make<TListBox>(this, TabSheet2, "lboxPlanet", {4, 22, 210, 638});
  Button2 = Make<TButton>(this, TabSheet2, "Button2", {222, 22, 82, 24}, "▲");
  Button3 = Make<TButton>(this, TabSheet2, "Button3", {222, 50, 82, 24}, "▼");
  Button4 = Make<TButton>(this, TabSheet2, "Button4", {222, 90, 82, 24}, "惑星消滅");
  Button5 = Make<TButton>(this, TabSheet2, "Button5", {222, 118, 82, 24}, "惑星全消滅");
  pgctrMapEd->SetActivePage(TabSheet1);

  OnShow = [this](TComponent* s) { FormShow(s); };
  OnDestroy = [this](TComponent* s) { FormDestroy(s); };
  imgMapParts->OnMouseMove = [this](TComponent* s, TShiftState sh, int x, int y) { imgMapPartsMouseMove(s, sh, x, y); };
  imgMapParts->OnClick = [this](TComponent* s) { imgMapPartsClick(s); };
  btnUp->OnClick = [this](TComponent* s) { btnUpClick(s); };
  btnDown->OnClick = [this](TComponent* s) { btnDownClick(s); };
  btnFill->OnClick = [this](TComponent* s) { btnFillClick(s); };
  Button1->OnClick = [this](TComponent* s) { Button1Click(s); };
  Button2->OnClick = [this](TComponent* s) { Button2Click(s); };
  Button3->OnClick = [this](TComponent* s) { Button3Click(s); };
  Button4->OnClick = [this](TComponent* s) { Button4Click(s); };
  Button5->OnClick = [this](TComponent* s) { Button5Click(s); };
  Button6->OnClick = [this](TComponent* s) { Button6Click(s); };
  lboxPlanet->OnClick = [this](TComponent* s) { lboxPlanetClick(s); };
}

TfmMapEdTools::~TfmMapEdTools() {
  // The palette surface is a member: the destroy handler runs while it lives.
  BeginDestroy();
  RunDestroyHandlerNow(*this);
  DestroyComponents();
  if (fmMapEdTools == this) fmMapEdTools = nullptr;
}

// --- the palette ---

void TfmMapEdTools::DispParts() {
  QoTrueDibMapParts.Cls();
  TQoRGBContainer* chips = QvMapGraph != nullptr ? QvMapGraph->Sheet(kChipSheetSlot) : nullptr;
  for (int row = 0; row < kPaletteRows; ++row) {
    for (int col = 0; col < kPaletteColumns; ++col) {
      const int chip = (scrollRow_ + row) * kPaletteColumns + col;
      if (chips != nullptr && chips->Pixels() != nullptr)
        chips->PasPat(&QoTrueDibMapParts, chip, col * kPaletteChip, row * kPaletteChip, Qo_SET);
    }
  }
  const int row = selectedChip_ / kPaletteColumns - scrollRow_;
  const int col = selectedChip_ % kPaletteColumns;
  if (row >= 0 && row < kPaletteRows)
    QoTrueDibMapParts.Box(col * kPaletteChip, row * kPaletteChip, col * kPaletteChip + kPaletteChip - 1,
                          row * kPaletteChip + kPaletteChip - 1, kFrameColour);
  QoTrueDibMapParts.Change();
}

void TfmMapEdTools::imgMapPartsMouseMove(TComponent*, TShiftState, int x, int y) {
  paletteX_ = x;
  paletteY_ = y;
}

void TfmMapEdTools::imgMapPartsClick(TComponent*) {
  const int col = paletteX_ / kPaletteChip;
  const int row = paletteY_ / kPaletteChip;
  if (paletteX_ < 0 || paletteY_ < 0 || col >= kPaletteColumns || row >= kPaletteRows) return;
  const int chip = (row + scrollRow_) * kPaletteColumns + col;
  if (chip < 0 || chip >= kMapChipCount) return;
  selectedChip_ = chip;
  DispParts();
}

void TfmMapEdTools::btnUpClick(TComponent*) {
  scrollRow_ = std::max(0, scrollRow_ - 1);
  DispParts();
}

void TfmMapEdTools::btnDownClick(TComponent*) {
  scrollRow_ = std::min(kPaletteScrollMax, scrollRow_ + 1);
  DispParts();
}

// --- the map ---

bool TfmMapEdTools::MaskAllows(int x, int y) const {
  if (!chkMask->Checked() || QvMap == nullptr) return true;
  return QvMap->IsMovable(x, y) == (selectedChip_ < kMapChipNavigable);
}

bool TfmMapEdTools::PaintCell(int x, int y) {
  if (QvMap == nullptr || !TQvMap::ChkInMap(x, y) || !MaskAllows(x, y)) return false;
  QvMap->SetChip(x, y, static_cast<std::uint8_t>(selectedChip_));
  return true;
}

void TfmMapEdTools::MapClick(int x, int y) {
  if (!TQvMap::ChkInMap(x, y)) return;
  if (pgctrMapEd->ActivePageIndex() == 0) {
    if (PaintCell(x, y)) RedrawMap();
    return;
  }
  const int planet = lboxPlanet->ItemIndex();
  if (planet < 0 || planet >= kPlanetCount) return;
  SetPlanetXY(planet, x, y);
  FillPlanetList();
  RedrawMap();
}

void TfmMapEdTools::MapMouseMove(bool left, int x, int y) {
  char text[48];
  std::snprintf(text, sizeof text, "(X,Y)=(%d,%d)", x, y);
  lbMapXY->SetCaption(text);
  if (left && pgctrMapEd->ActivePageIndex() == 0) PaintCell(x, y);
}

void TfmMapEdTools::btnFillClick(TComponent*) {
  if (App().MessageBox(SJS("選択してるチップで全体を塗りつぶします。よろしいですか？"), SJS("確認"), MB_OKCANCEL) !=
      IDOK)
    return;
  if (App().MessageBox(SJS("後悔しない？"), SJS("確認"), MB_OKCANCEL) != IDOK) return;
  if (QvMap == nullptr) return;
  // The whole map, the mask playing no part.
  for (int y = 0; y < kMapSize; ++y)
    for (int x = 0; x < kMapSize; ++x) QvMap->SetChip(x, y, static_cast<std::uint8_t>(selectedChip_));
  RedrawMap();
}

void TfmMapEdTools::Button6Click(TComponent*) {
  // One cell in N; N = 0 takes every cell. A text that is no number, or a negative one, scatters
  // nothing.
  const std::optional<int> n = WholeNumber(edKakuritu->Text());
  if (!n || *n < 0 || QvMap == nullptr) return;
  const int group = selectedChip_ / 4 * 4;
  // Row by row, so that a reset generator replays the same scatter.
  for (int y = 0; y < kMapSize; ++y) {
    for (int x = 0; x < kMapSize; ++x) {
      if (*n != 0 && StdRand() % *n != 0) continue;
      if (!MaskAllows(x, y)) continue;
      QvMap->SetChip(x, y, static_cast<std::uint8_t>(group + StdRand() % 4));
    }
  }
  RedrawMap();
}

// --- the planets ---

void TfmMapEdTools::FillPlanetList() {
  lboxPlanet->Items.resize(kPlanetCount);
  for (int p = 0; p < kPlanetCount; ++p) lboxPlanet->Items[static_cast<size_t>(p)] = PlanetLine(p);
  lboxPlanet->ItemsChanged();
}

void TfmMapEdTools::lboxPlanetClick(TComponent*) {
  const int planet = lboxPlanet->ItemIndex();
  if (planet >= 0 && IsPlanetOnMap(planet) && QvMapGraph != nullptr) QvMapGraph->SetCenterPlanet(planet);
}

void TfmMapEdTools::StepPlanetCg(int step) {
  const int planet = lboxPlanet->ItemIndex();
  if (planet < 0 || planet >= kPlanetCount) return;
  const int cg = GetPlanetCg(planet) + step;
  if (cg >= 0 && cg < kPlanetCgCount) SetPlanetCg(planet, cg);
  if (QvMapGraph != nullptr) QvMapGraph->SetCenterPlanet(planet);
}

void TfmMapEdTools::Button2Click(TComponent*) { StepPlanetCg(-1); }

void TfmMapEdTools::Button3Click(TComponent*) { StepPlanetCg(+1); }

void TfmMapEdTools::Button4Click(TComponent*) {
  const int planet = lboxPlanet->ItemIndex();
  if (planet < 0 || planet >= kPlanetCount) return;
  SetPlanetXY(planet, -1, -1);
  SetPlanetCg(planet, -1);
  FillPlanetList();
  RedrawMap();
}

void TfmMapEdTools::Button5Click(TComponent*) {
  for (int p = 0; p < kPlanetCount; ++p) {
    SetPlanetXY(p, -1, -1);
    SetPlanetCg(p, -1);
  }
  FillPlanetList();
  RedrawMap();
}

// --- saving and the window ---

void TfmMapEdTools::Button1Click(TComponent*) {
  if (!SaveDialog1->Execute()) return;
  const bool saved = SaveLoadMapFile(kSaveModeWrite, SaveDialog1->FileName);
  App().MessageBox(saved ? SJS("セーブしました。") : SJS("セーブに失敗しました。"), "", MB_OK);
}

void TfmMapEdTools::FormShow(TComponent*) {
  DispParts();
  FillPlanetList();
}

void TfmMapEdTools::FormDestroy(TComponent*) { QoTrueDibMapParts.EndDib(); }

}  // namespace vdmq
