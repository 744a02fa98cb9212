#pragma once
// The battle view: a scrolled window onto the arena's 1600 x 1600 picture, the units' sprites
// sorted in four layers, and a 100 x 100 minimap with a dot per ship and missile. It owns the
// battle's sprite sheets (512 slots) and a fixed pool of draw entries, and draws into the battle
// window's surfaces. One view exists per battle (BtQvMapGraph), made and freed by the battle
// window's ExecBattle; the units reach it as the registered TBtViewSink.

#include <array>
#include <memory>

#include "battle/Btunit.h"

namespace vdmq {

class TQoRGBContainer;
class TQoTrueDib;

inline constexpr int kBtSheetSlots = 512;
inline constexpr int kBtLayerCount = 4;
inline constexpr int kBtLayerEntries = 2048;
// The arena picture's side in pixels.
inline constexpr int kBtArenaPixels = 1600;

// One queued sprite with its place in the view.
struct TBtQueuedEntry {
  TBtDrawEntry entry;
  int32_t screenX = 0;
  int32_t screenY = 0;
  // Place in the queue, which orders entries of equal map position.
  int32_t order = 0;
};

class TBtQvMapGraph : public TBtViewSink {
 public:
  TBtQvMapGraph();
  ~TBtQvMapGraph() override;
  TBtQvMapGraph(const TBtQvMapGraph&) = delete;
  TBtQvMapGraph& operator=(const TBtQvMapGraph&) = delete;

  // Binds the battle window's view surface to its image, loads the fixed sheets 0..9, takes the
  // window's view, minimap base and minimap surfaces, draws the minimap's base picture and clears
  // the hit reports, the view, the minimap and the commander's face.
  void LoadGraphics();
  // The same on the given surfaces, without a window (any may be null).
  void LoadGraphics(TQoTrueDib* view, TQoTrueDib* zenBase, TQoTrueDib* zen);
  // Deletes every sheet and forgets the view surface.
  void FreePats();

  // --- TBtViewSink ---
  int AddPat(int kind, int number, int rows, int cols) override;
  void Put(int layer, const TBtDrawEntry& entry) override;
  void GetMouseMapPos(int& x, int& y) const override;
  void CenterOn(int px, int py) override;
  void Redraw() override;

  // Clamped to 0 .. 1600 - view size on each axis; only while an arena exists.
  void SetScroll(int x, int y);
  void ScrollTo(int x, int y);
  // Kept only inside the arena's 40-unit margin test on the pixel values.
  void SetMousePos(int x, int y);
  void ScreenToMap(int px, int py, int& mx, int& my) const;
  void GetScroll(int& x, int& y) const;
  void Resize(int w, int h);

  int GetCount(int layer) const;
  // The queued entry i of a layer (for the tests and the benchmark).
  const TBtQueuedEntry& GetEntry(int layer, int i) const;
  // The sheet of a slot; null for an empty slot or one outside 0..511.
  TQoRGBContainer* Sheet(int slot) const;
  TQoTrueDib* ViewSurface() const { return view_; }
  int MouseX() const { return mouseX_; }
  int MouseY() const { return mouseY_; }

 private:
  int32_t scrollX_ = 0;
  int32_t scrollY_ = 0;
  int32_t mouseX_ = 0;
  int32_t mouseY_ = 0;
  TQoTrueDib* view_ = nullptr;
  TQoTrueDib* zenBase_ = nullptr;
  TQoTrueDib* zen_ = nullptr;
  std::array<std::unique_ptr<TQoRGBContainer>, kBtSheetSlots> sheets_;
  std::array<int32_t, kBtLayerCount> counts_{};
  std::unique_ptr<std::array<std::array<TBtQueuedEntry, kBtLayerEntries>, kBtLayerCount>> entries_;
};

// The view of the running battle, nullptr between battles.
extern TBtQvMapGraph* BtQvMapGraph;

}  // namespace vdmq
