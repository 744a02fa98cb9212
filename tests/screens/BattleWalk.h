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
#include "formkit/Chbcbtn.h"
#include "platform/core/StdCtrls.h"
#include "platform/headless/TestKit.h"
#include "screens/F_save.h"
#include "screens/F_sysmes.h"
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

// A click of the walk: a point of a control's client area; process lets the loop handle it at once.
using TWalkClick = std::function<void(TControl* control, TPoint point, bool process)>;

// The script's steps from the start screen (where the saved game is prepared when prepare is set)
// into the battle window, every click made through click (which may record it for a walk in the
// real window): the slot and OK, OK on the load's notice, the minimap to centre the view on the
// fleet, the fleet, the fleet screen's move, the fleet's own cell, OK on the move's question, the
// enemy.
inline TScreenScript& WalkIntoBattle(TScreenScript& script, int slot, bool prepare, TBattleCells& cells,
                                     const TWalkClick& click) {
  const auto box = [click](const char* text) {
    return [click, text](TForm*) {
      const TBoxText shown = SysMesText();
      EXPECT_NE(shown.lines[0].find(text), std::string::npos) << shown.Joined();
      click(fmSysMes->btnOk, {fmSysMes->btnOk->Width() / 2, fmSysMes->btnOk->Height() / 2}, false);
    };
  };
  const auto cell = [&cells, click](bool enemy) {
    return [&cells, click, enemy](TForm*) {
      const std::optional<TPoint> p =
          enemy ? CellPointOnMap(cells.enemyX, cells.enemyY) : CellPointOnMap(cells.fleetX, cells.fleetY);
      ASSERT_TRUE(p) << "the cell is not in view";
      click(fmMain->imgQvMap, *p, false);
    };
  };
  const auto centre = [](TControl* c) { return TPoint{c->Width() / 2, c->Height() / 2}; };
  return script
      .Then("TfmSave",
            [slot, prepare, &cells, click, centre](TForm* s) {
              if (prepare) cells = PrepareBattleSave(slot);
              auto* screen = static_cast<TfmSave*>(s);
              click(screen->lbDat[slot], centre(screen->lbDat[slot]), true);
              click(screen->btnOk, centre(screen->btnOk), false);
            })
      .Then("TfmSysMes", box("ロードしました。"))
      .Then("",
            [&cells, click](TForm*) {
              TPoint zen;
              ASSERT_TRUE(QvMapGraph->CellToZenPos(cells.fleetX, cells.fleetY, &zen.X, &zen.Y));
              click(fmMain->imgZenQvMap, zen, false);
            })
      .Then("", cell(false))
      .Then("TfmFleet",
            [click, centre](TForm* f) {
              auto* move = Find<TControl>(f, "btnMove");
              click(move, centre(move), false);
            })
      .Then("", cell(false))
      .Then("TfmSysMes", box("よろしいですか？"))
      .Then("", cell(true));
}

}  // namespace vdmq::test
