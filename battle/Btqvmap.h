#pragma once
// The battle arena: a square of 6400 x 6400 units holding every unit of one battle in four
// fixed slot arrays. It places the two sides, runs one frame of movement and action per tick,
// resolves missile hits with their messages, forgets and deletes dead units, decides the
// winner and carries out the player's mouse orders. One arena exists per battle, in the global
// BtQvMap; the battle window (or the headless runner) creates it, drives BtBattleTick from its
// timer and deletes it.

#include <array>
#include <cstdint>
#include <memory>

#include "battle/Btlauncher.h"
#include "battle/Btship.h"

namespace vdmq {

class TBtMissile;
class TBtLight;
class TBtExploade;

constexpr int kBtArenaSize = 6400;
constexpr int kBtShipSlots = 10;
constexpr int kBtMissileSlots = 256;
constexpr int kBtLightSlots = 1024;
constexpr int kBtExploadeSlots = 256;
// Running frames that play after the winner is set.
constexpr int kBtEndFrames = 12;

// A null-terminated list of at most 10 ships, in slot order.
struct TBtShipList {
  TBtShip* ships[kBtShipSlots + 1] = {};
  int count = 0;
};

// A fixed array of unit slots that owns its units; a free slot holds null. Iterating yields each
// slot's unit (or null) in slot order.
template <class T, int N>
class TBtSlots {
 public:
  struct TIterator {
    const std::unique_ptr<T>* at;
    T* operator*() const { return at->get(); }
    TIterator& operator++() {
      ++at;
      return *this;
    }
    bool operator!=(const TIterator& other) const { return at != other.at; }
  };
  TIterator begin() const { return {slots_.data()}; }
  TIterator end() const { return {slots_.data() + N}; }
  T* operator[](int i) const { return slots_[static_cast<size_t>(i)].get(); }

  // A new unit in the first free slot, or null when every slot is taken.
  T* Add() {
    for (int i = free_; i < N; ++i) {
      if (slots_[static_cast<size_t>(i)] == nullptr) {
        free_ = i;
        slots_[static_cast<size_t>(i)] = std::make_unique<T>();
        return slots_[static_cast<size_t>(i)].get();
      }
    }
    free_ = N;
    return nullptr;
  }
  // Deletes the unit of a slot.
  void Free(int i) {
    slots_[static_cast<size_t>(i)].reset();
    if (i < free_) free_ = i;
  }
  // Deletes every unit, in slot order.
  void FreeAll() {
    for (std::unique_ptr<T>& unit : slots_) unit.reset();
    free_ = 0;
  }

 private:
  std::array<std::unique_ptr<T>, N> slots_;
  // Lowest slot that may be free (every slot below it is taken), so that adding to a full array
  // does not scan it again on every launch.
  int free_ = 0;
};

// The minimap surface as the arena draws on it: a filled box in one of the standard sprite-sheet
// colours (9 red, 10 lime, 13 fuchsia, 14 aqua).
class TBtMiniMapSurface {
 public:
  virtual ~TBtMiniMapSurface() = default;
  virtual void BoxFill(int x1, int y1, int x2, int y2, int rapColor) = 0;
};

constexpr int kBtMiniRed = 9;
constexpr int kBtMiniLime = 10;
constexpr int kBtMiniFuchsia = 13;
constexpr int kBtMiniAqua = 14;

class TBtQvMap {
 public:
  TBtQvMap();
  TBtQvMap(const TBtQvMap&) = delete;
  TBtQvMap& operator=(const TBtQvMap&) = delete;
  virtual ~TBtQvMap();

  // Places both sides and the satellites of an attacked planet from the battle record and
  // selects the player's flagship (or first satellite).
  void Setup();
  // Size 0 and every unit deleted (ships write their durability back).
  void Clear();

  void AddShip(const TBtShipInfo& info);
  void AddMissile(const TBtMissileInfo& info);
  void AddLight(int x, int y, int kind, int dir);
  void AddExploade(int x, int y, int kind);

  bool ChkInMap(int x, int y, int m) const;
  // Live ships of a country touching the circle (x, y, r), in slot order.
  TBtShipList GetShipsAt(int country, int x, int y, int r) const;
  TBtShip* GetOtherShipAt(const TBtUnit* unit, int country, int x, int y) const;
  TBtShip* GetHitShip(const TBtUnit* missile) const;
  TBtShip* GetNearestEnemy(const TBtUnit* unit, int r) const;
  bool ChkFreePos(const TBtUnit* unit, int x, int y) const;
  TBtShip* FindShip(int country, int fleet, int slot) const;
  TBtShip* FindSate(int country, int satellite) const;
  bool IsEnd() const { return end_; }
  void SetEnd() { end_ = true; }

  void SetSelect(TBtShip* ship);
  TBtShip* GetSelect() const { return selected_; }
  void SelectShipWhere(int country, int fleet, int satellite, int slot);
  void SelectShip(int country, int fleet, int slot) { SelectShipWhere(country, fleet, -1, slot); }
  void SelectSate(int country, int satellite) { SelectShipWhere(country, -1, satellite, -1); }

  void MoveAll();
  void ActAll();
  void DrawAll();
  // A 2 x 2 dot per ship (lime for the player's, red otherwise) and per missile (aqua for the
  // player's, fuchsia otherwise) on the 100 x 100 minimap, one pixel per 64 units.
  void DrawMiniMap(TBtMiniMapSurface& surface) const;
  void ForgetUnit(const TBtUnit* unit);
  void DeleteDead();
  void ChkWinner();
  void ShipHit(TBtShip* ship, int d);
  // The player's click at an arena point: button 1 moves, any other fires; within 160 units of
  // the selected ship either raises its shield.
  void Order(int button, int x, int y);

  int GetWidth() const { return width_; }
  int GetHeight() const { return height_; }
  TBtShip* GetShip(int i) const { return ships_[i]; }
  TBtMissile* GetMissile(int i) const { return missiles_[i]; }
  TBtLight* GetLight(int i) const { return lights_[i]; }
  TBtExploade* GetExploade(int i) const { return explosions_[i]; }
  // Frames left of the closing countdown once a winner is set.
  int GetEndCountdown() const { return endCountdown_; }
  // Used by BtBattleTick.
  bool tickRunning = false;
  int32_t endCountdown_ = kBtEndFrames;

 private:
  int32_t width_ = 0;
  int32_t height_ = 0;
  TBtSlots<TBtShip, kBtShipSlots> ships_;
  TBtSlots<TBtMissile, kBtMissileSlots> missiles_;
  TBtSlots<TBtLight, kBtLightSlots> lights_;
  TBtSlots<TBtExploade, kBtExploadeSlots> explosions_;
  bool end_ = true;
  TBtShip* selected_ = nullptr;
};

// The arena of the running battle, nullptr between battles.
extern TBtQvMap* BtQvMap;

// Whether the battle window may close: the arena's end flag, and true when no arena exists (a
// window closed outside a battle has nothing to wait for).
bool BtArenaIsEnd();

// One timer tick of the battle: moves and acts unless paused, redraws the view, and once a
// winner is set plays 12 more running frames, reports victory or defeat and answers false.
// True while the battle goes on and for a tick re-entered from inside a tick; false without an
// arena.
bool BtBattleTick();

}  // namespace vdmq
