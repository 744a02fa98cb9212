#pragma once
// A saved game in which the player's fleet stands next to a fleet of a country at war, and the way
// from the start screen into the battle between them through the real forms: the slot is loaded,
// the fleet clicked on the map, its move started on the fleet screen and spent in place (the
// question answered OK), and the enemy next to it attacked. For the tests that link the battle
// window (and the battle tests' world).

#include <functional>
#include <optional>
#include <stdexcept>

#include "ScreensTestSupport.h"
#include "campaign/Country.h"
#include "campaign/Fleet.h"
#include "campaign/Planet.h"
#include "campaign/Qvmap.h"
#include "platform/core/StdCtrls.h"
#include "screens/Main.h"
#include "screens/Qvgraph.h"
#include "support/BattleWorld.h"

namespace vdmq::test {

struct TBattleCells {
  int fleetX = -1, fleetY = -1;  // the player's fleet 0
  int enemyX = -1, enemyY = -1;  // fleet 0 of bttest::kSampleEnemy
};

// On the world the start screen holds (the new-game data): both fleets manned and led, side by side
// on free cells near the player's capital, at war, ready to move; saved quietly into the slot.
inline TBattleCells PrepareBattleSave(int slot) {
  const int capital = bttest::PutSampleBattleSides();
  const int enemy = bttest::kSampleEnemy;
  SetCountryRelation(0, enemy, kRelationWar);
  SetCountryRelation(enemy, 0, kRelationWar);
  ResetFleetTurnFlags(0);
  const auto free = [](int x, int y) {
    int c = -1, f = -1;
    return QvMap != nullptr && TQvMap::ChkInMap(x, y) && QvMap->IsMovable(x, y) && FindPlanetAtXY(x, y) == -1 &&
           !FindFleetAtXY(x, y, &c, &f);
  };
  const int cx = GetPlanetX(capital), cy = GetPlanetY(capital);
  for (int r = 2; r < 8; ++r)
    for (int dy = -r; dy <= r; ++dy)
      for (int dx = -r; dx <= r; ++dx) {
        const int x = cx + dx, y = cy + dy;
        if (!free(x, y) || !free(x + 1, y)) continue;
        SetFleetXY(0, 0, x, y);
        SetFleetXY(enemy, 0, x + 1, y);
        if (!SaveQuietly(slot)) throw std::runtime_error("the battle's saved game cannot be written");
        return {x, y, x + 1, y};
      }
  throw std::runtime_error("no free cells for the battle near the capital");
}

// A point of the map image (client coordinates) in the middle of a cell as the view shows it now.
inline std::optional<TPoint> CellPointOnMap(int x, int y) {
  if (QvMapGraph == nullptr || fmMain == nullptr) return std::nullopt;
  long sx = 0, sy = 0, n = 0;
  const int w = fmMain->imgQvMap->Width(), h = fmMain->imgQvMap->Height();
  for (int py = 0; py < h; py += 2)
    for (int px = 0; px < w; px += 2) {
      int cx = 0, cy = 0;
      QvMapGraph->PosToCell(px, py, &cx, &cy);
      if (cx != x || cy != y) continue;
      sx += px;
      sy += py;
      ++n;
    }
  if (n == 0) return std::nullopt;
  return TPoint{static_cast<int>(sx / n), static_cast<int>(sy / n)};
}

// The script's steps from the start screen (where the saved game is prepared when prepare is set)
// into the battle window: click(control, point) clicks a point of the control's client area (and
// may record it for a walk in the real window). The view is centred on the fleet by a click on the
// minimap first.
inline TScreenScript& WalkIntoBattle(TScreenScript& script, int slot, bool prepare, TBattleCells& cells,
                                     const std::function<void(TControl*, TPoint)>& click) {
  const auto clickCell = [&cells, click](bool enemy) {
    return [&cells, click, enemy](TForm*) {
      const std::optional<TPoint> p =
          enemy ? CellPointOnMap(cells.enemyX, cells.enemyY) : CellPointOnMap(cells.fleetX, cells.fleetY);
      ASSERT_TRUE(p) << "the cell is not in view";
      click(fmMain->imgQvMap, *p);
    };
  };
  return script
      .Then("TfmSave",
            [slot, prepare, &cells](TForm* s) {
              if (prepare) cells = PrepareBattleSave(slot);
              ChooseSlot(s, slot);
            })
      .Box("確認", "ロードしました。")
      .Then("",
            [&cells, click](TForm*) {
              TPoint zen;
              ASSERT_TRUE(QvMapGraph->CellToZenPos(cells.fleetX, cells.fleetY, &zen.X, &zen.Y));
              click(fmMain->imgZenQvMap, zen);
            })
      .Then("", clickCell(false))
      .Then("TfmFleet", [](TForm* f) { Click(Find<TControl>(f, "btnMove"), mbLeft, false); })
      .Then("", clickCell(false))
      .Box("確認", "よろしいですか？")
      .Then("", clickCell(true));
}

}  // namespace vdmq::test
