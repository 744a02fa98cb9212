#pragma once
// The strategic map view: an isometric picture of the 54 x 54 map cells with terrain, marks,
// planets and fleets, and a minimap of the whole map with planets and fleets as coloured dots.
//
// The view owns the map's sprite sheets, a queue of draw entries in four layers, the origin (the
// cell at the top centre of the view) and the cursor cell. Every redraw rebuilds the whole picture:
// Draw clears the queue, lets the map model queue its cells, marks, fleets and planets through
// AddOp (the campaign reaches AddOp through the game host), sorts each layer by map row and
// column, blits the layers in order and finishes with the minimap.
//
// It draws into three surfaces that the main window owns: the view surface (bound to the map
// image), the minimap surface (bound to the minimap image) and the minimap base, an unbound
// surface that keeps the minimap's static background.

#include <array>
#include <memory>

namespace vdmq {

class TQoRGBContainer;
class TQoTrueDib;

// One queued sprite draw. The map position is in map pixels (cell x 30); the view computes the
// screen position; dx and dy are not used on the strategic map; the draw mode is a TQoMethod.
struct TGraphOp {
  int mapX = 0;
  int mapY = 0;
  int screenX;  // left unset until the view computes it
  int screenY;
  int dx = 0;
  int dy = 0;
  int drawMode = 0;
  int sheet = -1;
  int frame = -1;
};

inline constexpr int kQvSheetSlots = 512;
inline constexpr int kQvLayerCount = 4;
inline constexpr int kQvLayerEntries = 1540;

class TQvMapGraph {
 public:
  TQvMapGraph();
  virtual ~TQvMapGraph();
  TQvMapGraph(const TQvMapGraph&) = delete;
  TQvMapGraph& operator=(const TQvMapGraph&) = delete;

  // Takes the main window's three surfaces (see SetQvMapSurfaces), creates sheets 0..4 and loads
  // the background 0, the map chips 0, the planets, the fleet icons and the small marks.
  void Init();
  // The same on the given surfaces (any of them may be null: what needs it then does nothing).
  void Init(TQoTrueDib* view, TQoTrueDib* zen, TQoTrueDib* zenBase);
  // Deletes every sheet.
  void Term();
  // Reloads the background (slot 0) for the story's chapter, and the map chips (slot 1); each
  // does nothing while its slot is empty.
  void LoadBg();
  void LoadMapChip();

  // Computes the entry's screen position (written into the caller's entry) and queues a copy into
  // the layer 0..3 when the sprite is in view and the layer has room. An entry whose slot is not
  // 0..511 or holds no sheet is dropped, as is everything else that does not pass.
  void AddOp(int layer, TGraphOp* entry);

  // Whether a sprite at (sx, sy) of that frame size overlaps the view; false without a view.
  bool ChkInView(int sx, int sy, int frameHeight, int frameWidth) const;
  // The screen position of a sprite of the sheet at the map position; false without a view.
  bool CellToPos(const TQoRGBContainer* sheet, int mapX, int mapY, int* sx, int* sy) const;
  // The cell under a view position, each axis clamped to 0..54.
  void PosToCell(int sx, int sy, int* cx, int* cy) const;
  // The minimap position of a cell; false without the minimap base.
  bool CellToZenPos(int cx, int cy, int* zx, int* zy) const;
  // The cell under a minimap position (not clamped).
  void ZenPosToCell(int zx, int zy, int* cx, int* cy) const;

  // The origin, each axis clamped to 0..54; MoveOrigin also redraws.
  void SetOrigin(int x, int y);
  void MoveOrigin(int x, int y);
  // Centres the view on a cell, on a planet on the map, or on a living country's capital; redraws.
  void SetCenter(int x, int y);
  void SetCenterPlanet(int planet);
  void SetCenterCountry(int country);
  // The cursor cell; a cell off the map is ignored.
  void SetCursor(int x, int y);
  // Resizes the view surface and redraws.
  void SetSize(int width, int height);
  // One step towards an edge (-1 none, 0 top, 1 bottom, 2 left, 3 right), then a redraw.
  void EdgeScroll(int region);
  // Draws the minimap's background and its navigable and blocked cells; false without the map
  // model or the minimap base.
  bool MakeZenBase();
  // Redraws the view and the minimap: one repaint of each bound image.
  void Draw();

  int OriginX() const { return originX_; }
  int OriginY() const { return originY_; }
  int CursorX() const { return cursorX_; }
  int CursorY() const { return cursorY_; }
  // The sheet of a slot; null for an empty slot or one outside 0..511.
  TQoRGBContainer* Sheet(int slot) const;
  TQoTrueDib* ViewSurface() const { return view_; }
  TQoTrueDib* ZenSurface() const { return zen_; }
  TQoTrueDib* ZenBaseSurface() const { return zenBase_; }

 private:
  void DrawZen();

  int originX_ = 0;
  int originY_ = 0;
  int cursorX_ = -1;
  int cursorY_ = -1;
  TQoTrueDib* view_ = nullptr;
  TQoTrueDib* zenBase_ = nullptr;
  TQoTrueDib* zen_ = nullptr;
  std::array<std::unique_ptr<TQoRGBContainer>, kQvSheetSlots> sheets_;
  std::array<int, kQvLayerCount> counts_{};
  // The fixed pool of queued entries: layer l holds layers_[l][0 .. counts_[l] - 1].
  std::unique_ptr<std::array<std::array<TGraphOp, kQvLayerEntries>, kQvLayerCount>> layers_;
};

// The one map view, created by the main window (null while there is none).
extern TQvMapGraph* QvMapGraph;

// The main window's map surfaces, which Init() takes: the view surface (already bound to the map
// image), the minimap surface (bound to the minimap image) and the unbound minimap base. The main
// window names them when it creates them and clears them (nullptrs) when it goes away.
void SetQvMapSurfaces(TQoTrueDib* view, TQoTrueDib* zen, TQoTrueDib* zenBase);

}  // namespace vdmq
