#pragma once
// The map editor's tool window, a developer tool for drawing the scenario map. It is created at
// start with the other resident windows and stays hidden; only the debug window's "MAPEDIT" button
// shows it. While it is shown, the main window hands it the clicks and drags on the map: on the
// "マップ" page they paint the chip chosen on the palette, on the "惑星" page a click moves the
// planet chosen in the list. The map is saved to a file of the developer's choice.

#include "platform/core/Form.h"
#include "qolib/graphics/QoTDib.h"

namespace vdmq {

class TButton;
class TCheckBox;
class TEdit;
class TImage;
class TLabel;
class TListBox;
class TPageControl;
class TSaveDialog;
class TTabSheet;
class TUpDown;

// The map chips: 17 groups of 4; the first 21 count as navigable for the mask.
constexpr int kMapChipCount = 68;
constexpr int kMapChipNavigable = 21;
// The palette: 4 chips of 60 x 60 a row, 11 rows shown, scrolled by whole rows 0..6.
constexpr int kPaletteColumns = 4;
constexpr int kPaletteRows = 11;
constexpr int kPaletteChip = 60;
constexpr int kPaletteScrollMax = kMapChipCount / kPaletteColumns - kPaletteRows;

class TfmMapEdTools : public TForm {
 public:
  explicit TfmMapEdTools(TComponent* owner);
  ~TfmMapEdTools() override;
  const char* ClassName() const override { return "TfmMapEdTools"; }

  // --- published components, in the order of the layout ---
  TLabel* lbMouseXY = nullptr;
  TLabel* lbMapXY = nullptr;
  TButton* Button1 = nullptr;
  TSaveDialog* SaveDialog1 = nullptr;
  TPageControl* pgctrMapEd = nullptr;
  TTabSheet* TabSheet1 = nullptr;
  TImage* imgMapParts = nullptr;
  TQoTrueDib QoTrueDibMapParts{nullptr, kPaletteColumns* kPaletteChip, kPaletteRows* kPaletteChip};
  TButton* btnUp = nullptr;
  TButton* btnDown = nullptr;
  TButton* btnFill = nullptr;
  TCheckBox* chkMask = nullptr;
  TButton* Button6 = nullptr;
  TEdit* edKakuritu = nullptr;
  TUpDown* UpDown1 = nullptr;
  TTabSheet* TabSheet2 = nullptr;
  TLabel* Label1 = nullptr;
  TListBox* lboxPlanet = nullptr;
  TButton* Button2 = nullptr;
  TButton* Button3 = nullptr;
  TButton* Button4 = nullptr;
  TButton* Button5 = nullptr;

  // A click on the main window's map, on cell (x, y): paints the chosen chip (page 0) or moves the
  // chosen planet there (page 1), then redraws the map view. Cells off the map are ignored.
  void MapClick(int x, int y);
  // The mouse over the main window's map: shows the cell; on page 0 with the left button held,
  // paints it as a click does, leaving the redraw to the main window, which follows at once.
  void MapMouseMove(bool left, int x, int y);
  // Draws the palette: 11 rows of chips from the scroll row on, the chosen chip framed in white.
  void DispParts();

  int ScrollRow() const { return scrollRow_; }
  int SelectedChip() const { return selectedChip_; }

  // --- handlers ---
  void FormShow(TComponent* sender);
  void FormDestroy(TComponent* sender);
  void imgMapPartsMouseMove(TComponent* sender, TShiftState shift, int x, int y);
  void imgMapPartsClick(TComponent* sender);
  void btnUpClick(TComponent* sender);
  void btnDownClick(TComponent* sender);
  void btnFillClick(TComponent* sender);
  void Button1Click(TComponent* sender);
  void Button2Click(TComponent* sender);
  void Button3Click(TComponent* sender);
  void Button4Click(TComponent* sender);
  void Button5Click(TComponent* sender);
  void Button6Click(TComponent* sender);
  void lboxPlanetClick(TComponent* sender);

 private:
  // True when the chip may go on the cell: always without the mask, else only when the cell's
  // passability is the chip's.
  bool MaskAllows(int x, int y) const;
  // The chosen chip on a cell of the map, as the mask allows; true when it was set.
  bool PaintCell(int x, int y);
  // The planet list's lines, keeping the choice and the scroll position.
  void FillPlanetList();
  // Changes the chosen planet's picture by step within 0..35 and centres the view on it.
  void StepPlanetCg(int step);

  int scrollRow_ = 0;
  int selectedChip_ = 0;
  int paletteX_ = 0, paletteY_ = 0;
};

// The map editor's tool window (null before it is created and after it is freed).
extern TfmMapEdTools* fmMapEdTools;

}  // namespace vdmq
