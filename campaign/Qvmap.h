#pragma once
// The strategic map model: 54 x 54 cells of terrain chips, and the grids computed on them for one
// country at a time: the zone grid (where that country's fleets may go and where enemies stop
// them), step waves (breadth-first step counts over the zone grid into a caller's table), the mark
// grid that the map view highlights, and the supply grid of the turn start. Planet and fleet
// positions are not kept here: every computation reads them from the world tables.
//
// Every grid is indexed [y][x]; every access to a cell goes through ChkInMap first, so positions
// read from a damaged file (a planet or fleet outside the grid) never touch memory outside a grid.

#include <cstdint>

namespace vdmq {

class TDatFile;

constexpr int kMapSize = 54;                    // cells per row and per column
constexpr int kMapCells = kMapSize * kMapSize;  // 2916
constexpr int kStepUnreached = 65535;           // step-table value of a cell the wave did not reach
constexpr int kMaxRouteLength = 1458;           // route requests of this length or more are refused
constexpr int kChipObstacle = 20;               // chips from this number on are obstacles

// Zone values (the grid keeps the largest value any rule gives a cell; below 128 is passable).
constexpr int kZoneOpen = 0;
constexpr int kZoneOwnFleet = 16;
constexpr int kZoneEnemyFleet = 17;  // zone mode 1 only
constexpr int kZoneOwnPlanet = 48;
constexpr int kZoneOpenPlanet = 49;       // a planet that may be entered (modes 1 and 2)
constexpr int kZoneNearEnemyFleet = 126;  // entering ends a move
constexpr int kZoneNearPlanet = 127;      // entering ends a move
constexpr int kZonePassableLimit = 128;
constexpr int kZoneNearNeutral = 131;
constexpr int kZoneBlockFleet = 145;
constexpr int kZoneBlockPlanet = 177;
constexpr int kZoneObstacle = 255;  // also the value of any cell off the map

// Marks of the mark grid.
constexpr int kMarkNone = 0;
constexpr int kMarkOwnFleet = 63;  // held by a fleet of the acting country (not a destination)
constexpr int kMarkReachable = 64;
constexpr int kMarkOwnPlanet = 66;  // also the map cursor's drawing frame
constexpr int kMarkTarget = 67;

// Debug switches read by the model.
constexpr int kDebugSwStepDump = 0;    // "MAP_STEP_DUMP"
constexpr int kDebugSwHokyuuDump = 1;  // "MAP_HOKYUU_DUMP"

// A caller-owned step table is a plain std::int32_t [54][54]; it is passed as a row pointer.
using TStepRow = std::int32_t[kMapSize];

class TQvMap {
 public:
  TQvMap();
  virtual ~TQvMap() = default;
  TQvMap(const TQvMap&) = delete;
  TQvMap& operator=(const TQvMap&) = delete;

  // Step-dump grid, chips and marks to 0 (zone and supply grids are left as they are).
  void ClearMap();
  // Called before the model is deleted.
  void Release() {}

  static bool ChkInMap(int x, int y) { return x >= 0 && x < kMapSize && y >= 0 && y < kMapSize; }
  // Stores a cell's chip; ignored off the map.
  void SetChip(int x, int y, std::uint8_t chip);
  // The cell's chip; 255 (an obstacle) off the map.
  int GetChip(int x, int y) const;
  // The chip is below 20; false off the map.
  bool IsMovable(int x, int y) const;

  // Mode 0 writes, any other mode reads the "MAP_DAT" block, then the planet positions and pictures
  // (SaveLoadPlanetXY) with the same file and mode. Reading errors throw as the keyed file does.
  void SaveLoadMap(TDatFile* fp, int mode);

  // --- zones ---
  void FillZone(int value);
  // On the map and when the entry is below the value: the entry becomes the value.
  void SetZone(int x, int y, int value);
  // SetZone on the four side neighbours with the first value and on the four diagonals with the second.
  void SetZoneAround(int x, int y, int orthogonal, int diagonal);
  // Rebuilds the zone grid for a country (-1: obstacles only) in zone mode 0 (fleet movement),
  // 1 (advance on enemy planets and fleets) or 2 (planets only).
  void MakeZone(int country, int zoneMode);
  int GetZone(int x, int y) const;  // 255 off the map
  bool IsPassable(int x, int y) const { return GetZone(x, y) < kZonePassableLimit; }

  // --- step waves ---
  // Every entry of the table to the value; false for a missing table.
  static bool FillTable(TStepRow* table, int value);
  // One relaxation of a cell at step k; true when it lowered the entry. Nothing off the map.
  bool RelaxCell(int x, int y, int moveType, TStepRow* table, int budget, int step) const;
  // RelaxCell on (x - 1, y), (x, y - 1), (x, y + 1), (x + 1, y); the number of entries lowered.
  int RelaxAround(int x, int y, int moveType, TStepRow* table, int budget, int step) const;
  // Spreads a step wave from the start cell (see Qvmap.cpp); true on success. Fails for a start
  // off the map and for a missing table; with reset also for an impassable start.
  bool MakeStep(int country, int zoneMode, int startX, int startY, int budget, TStepRow* table, int moveType,
                bool reset);

  // --- marks ---
  void FillMark(int value);
  void ClearMark() { FillMark(kMarkNone); }
  int GetMark(int x, int y) const;       // 0 off the map
  bool SetMark(int x, int y, int mark);  // false off the map

  // --- debug dump ---
  void SetStep(int x, int y, int value);
  int GetStep(int x, int y) const;  // 0 off the map

  // --- directions: 0 (y - 1), 1 (y + 1), 2 (x + 1), 3 (x - 1) ---
  // Moves the cell one step; false, leaving it unchanged, for another code or a cell off the map.
  static bool StepDir(int dir, int* x, int* y);
  // 0<->1, 2<->3 (and 4<->7, 5<->6); -1 for any other code.
  static int ReverseDir(int dir);

  // --- supply ---
  // Fills the supply grid for the country and repairs the valid ships of its fleets on the map by
  // the supply of their cells.
  void CalcSupply(int country);
  int GetSupply(int x, int y) const;  // 0 off the map

  // --- drawing ---
  // Queues the map view's entries: the visible cells and marks, then fleets and planets.
  void DrawMap();
  // The visible cells with their chips (layer 0) and marks or the cursor (layer 1).
  void PutCells();

  // --- movement ranges, routes, fleet moves, attacks and map clicks (QvmapMove.cpp) ---
  // On a passable cell whose mark is below the value: the mark becomes the value; true when set.
  bool RaiseMark(int x, int y, int mark);
  // Every cell 64 where the table is not 65535 and 0 elsewhere; true when any cell is 64.
  bool MarkReachable(TStepRow* table);
  // Every fleet of the country on the map whose cell is marked 64 and holds no planet: mark 63.
  void MarkOwnFleets(int country);
  // Marks the range of a fleet standing at (x, y): reachable cells 64, the country's planets 66,
  // its other fleets 63, the fleet's own cell 64. True when any cell is marked 64 or 66.
  bool MakeMoveRange(int country, int zoneMode, int x, int y, int budget, int moveType);
  // The route (direction codes, start to target) of at most maxLength steps into route, which must
  // hold maxLength entries (null: only the length). Answers the number of steps or -1: for a
  // maxLength of kMaxRouteLength or more, a start or target off the map, a target the wave did not
  // reach, and a walk that cannot get back to the start within maxLength steps.
  int MakeRoute(int country, int startX, int startY, int moveType, int budget, int maxLength, int* route, int targetX,
                int targetY);
  // Moves the fleet along its route with the view following; the player is asked to confirm.
  // True when the move stands (the fleet's move is spent), false when the player cancelled it.
  bool MoveFleet(int country, int fleet, int targetX, int targetY);
  // Clears the marks and marks 67 on the attackable side neighbours of (x, y); true when any.
  bool ChkAttackAround(int country, int x, int y);
  // Marks the cell 67 when it holds an unowned planet or one at war with the country, or, without
  // a planet, when the first fleet found there is at war with it. True when marked.
  bool MarkAttackCell(int country, int x, int y);
  // Starts the battle against the planet or the fleet at war on the target cell; spends the
  // fleet's move and attack in any case.
  void AttackTarget(int country, int fleet, int targetX, int targetY);
  // Enters move mode for the fleet (mode 1, command bar off); the range result.
  bool StartFleetMove(int country, int fleet);
  // Marks the targets around the fleet; when there are any: command bar off, redraw, mode 2.
  bool EnterAttackMode(int country, int fleet);
  bool ChkFleetAttackAround(int country, int fleet);
  // Leaves modes 1 and 2 (marks cleared, command bar on); nothing in mode 0.
  void CancelMode();
  // A click on a map cell: button 0 left, 1 right. Ignored while the computer countries move.
  void Click(int button, int x, int y);

  // --- searches of the computer player (QvmapMove.cpp) ---
  // Marks 64 on what the country can reach from (x, y) and from its planets; true when any.
  bool MakeCpuArea(int country, int zoneMode, int x, int y, int moveType);
  // The cell to move to this turn towards the target, or (-1, -1).
  void SearchCpuMove(int country, int fleet, int targetX, int targetY, int* nextX, int* nextY);
  // The fleet standing on the neighbour cell in the direction, when it is not on a planet.
  bool GetFleetDir(int x, int y, int dir, int* country, int* fleet) const;
  // The planet on the neighbour cell in the direction; -1 for none or off the map.
  int GetPlanetDir(int x, int y, int dir) const;

  // Map interaction mode (0 normal, 1 move, 2 attack) and the fleet that map clicks act on.
  int GetMode() const { return mode_; }
  void SetMode(int mode) { mode_ = mode; }
  int GetSelCountry() const { return selCountry_; }
  int GetSelFleet() const { return selFleet_; }
  void SetSelFleet(int country, int fleet) {
    selCountry_ = country;
    selFleet_ = fleet;
  }

  // Whole-map state for a load that may have to be undone: the chips (the other grids are derived).
  struct TChips {
    std::uint8_t cell[kMapSize][kMapSize];
  };
  void GetChips(TChips* out) const;
  void SetChips(const TChips& in);

 private:
  std::int32_t mode_ = 0;
  std::int32_t stepDump_[kMapSize][kMapSize] = {};
  std::int32_t selCountry_ = -1;
  std::int32_t selFleet_ = -1;
  std::uint8_t chip_[kMapSize][kMapSize] = {};
  std::int32_t zone_[kMapSize][kMapSize] = {};
  std::int32_t mark_[kMapSize][kMapSize] = {};
  std::int32_t supply_[kMapSize][kMapSize] = {};
};

// The one map model, created by the main window (null while there is none).
extern TQvMap* QvMap;

}  // namespace vdmq
