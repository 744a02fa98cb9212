#include "battle/Btqvmap.h"

#include <string>

#include "battle/Btinfo.h"
#include "battle/Btlight.h"
#include "battle/Btmath.h"
#include "battle/Btmissile.h"
#include "campaign/Cmd.h"
#include "campaign/FileKinds.h"
#include "campaign/Fleet.h"
#include "campaign/GameHost.h"
#include "campaign/Planet.h"
#include "campaign/Stdfunc.h"
#include "campaign/Story.h"
#include "platform/base/Format.h"
#include "platform/base/Sjis.h"

namespace vdmq {

TBtQvMap* BtQvMap = nullptr;

TBtQvMap::TBtQvMap() = default;

TBtQvMap::~TBtQvMap() { Clear(); }

void TBtQvMap::Setup() {
  end_ = false;
  width_ = kBtArenaSize;
  height_ = kBtArenaSize;
  endCountdown_ = kBtEndFrames;
  tickRunning = false;
  // Units left from an earlier set-up go first.
  selected_ = nullptr;
  ships_.FreeAll();
  missiles_.FreeAll();
  lights_.FreeAll();
  explosions_.FreeAll();

  static const int t1[3] = {200, 200, 350};
  static const int t2[3] = {200, 350, 200};
  const TBtInfo& b = BtInfo;
  for (int side = 0; side < 2; ++side) {
    const int country = side == 0 ? b.sideA : b.sideB;
    const int fleet = side == 0 ? b.sideAFleet : b.sideBFleet;
    if (fleet == -1) continue;
    for (int s = 0; s < kFleetShipCount; ++s) {
      if (!IsFleetShipValid(country, fleet, s)) continue;
      TBtShipInfo info;
      if (side == 0) {
        info.x = t1[s] * 4;
        info.y = (1600 - t2[s]) * 4;
        info.dir = 315;
      } else {
        info.x = (1600 - t1[s]) * 4;
        info.y = t2[s] * 4;
        info.dir = 125;
      }
      info.country = country;
      info.fleet = fleet;
      info.slot = s;
      info.satellite = -1;
      AddShip(info);
    }
  }
  if (b.kind == kBtKindPlanet) {
    for (int s = 0; s < kPlanetSateCount; ++s) {
      if (!IsPlanetSateValid(b.planet, s)) continue;
      const int a = GetPlanetSateAngle(b.planet, s);
      if (a / 90 != b.sateSector) continue;
      const int c = BtCos(a % 90) * 600 / 100;
      const int sn = BtSin(a % 90) * 600 / 100;
      TBtShipInfo info;
      if (b.defender == b.sideA) {
        info.x = c * 4;
        info.y = (1600 - sn) * 4;
        info.dir = 315;
      } else {
        info.x = (1600 - c) * 4;
        info.y = sn * 4;
        info.dir = 125;
      }
      info.country = b.defender;
      info.fleet = -1;
      info.slot = -1;
      info.satellite = s;
      AddShip(info);
    }
  }

  TBtShip* first = nullptr;
  for (TBtShip* sh : ships_) {
    if (sh == nullptr || sh->GetCountry() != b.player) continue;
    if (sh->GetSlot() == b.attackerFlagSlot || sh->GetSlot() == b.defenderFlagSlot) {
      first = sh;
      break;
    }
  }
  if (first == nullptr && b.playerDefends && b.kind == kBtKindPlanet) {
    for (TBtShip* sh : ships_) {
      if (sh != nullptr && sh->GetCountry() == b.player && sh->GetSatellite() != -1) {
        first = sh;
        break;
      }
    }
  }
  if (first != nullptr) SetSelect(first);
}

void TBtQvMap::Clear() {
  width_ = 0;
  height_ = 0;
  selected_ = nullptr;
  ships_.FreeAll();
  missiles_.FreeAll();
  lights_.FreeAll();
  explosions_.FreeAll();
}

void TBtQvMap::AddShip(const TBtShipInfo& info) {
  if (!ChkInMap(info.x, info.y, 320)) return;
  if (TBtShip* unit = ships_.Add()) unit->Setup(info);
}

void TBtQvMap::AddMissile(const TBtMissileInfo& info) {
  if (TBtMissile* unit = missiles_.Add()) unit->Setup(info);
}

void TBtQvMap::AddLight(int x, int y, int kind, int dir) {
  if (TBtLight* unit = lights_.Add()) unit->Setup(x, y, kind, dir);
}

void TBtQvMap::AddExploade(int x, int y, int kind) {
  if (TBtExploade* unit = explosions_.Add()) unit->Setup(x, y, kind);
}

bool TBtQvMap::ChkInMap(int x, int y, int m) const {
  const int64_t X = x, Y = y, M = m;
  return X - M >= 0 && X + M - 1 < width_ && Y - M >= 0 && Y + M - 1 < height_;
}

TBtShipList TBtQvMap::GetShipsAt(int country, int x, int y, int r) const {
  TBtShipList list;
  for (TBtShip* s : ships_) {
    if (s != nullptr && s->GetCountry() == country && s->ChkHitCircle(x, y, r)) {
      list.ships[list.count++] = s;
    }
  }
  return list;
}

TBtShip* TBtQvMap::GetOtherShipAt(const TBtUnit* unit, int country, int x, int y) const {
  // The first of GetShipsAt(country, x, y, unit radius) that is not the unit, found without
  // making the list (every missile asks every frame).
  const int r = unit->GetRadius();
  for (TBtShip* s : ships_) {
    if (s != nullptr && s != unit && s->GetCountry() == country && s->ChkHitCircle(x, y, r)) return s;
  }
  return nullptr;
}

TBtShip* TBtQvMap::GetHitShip(const TBtUnit* missile) const {
  return GetOtherShipAt(missile, BtGetEnemyCountry(missile->GetCountry()), missile->GetX(), missile->GetY());
}

TBtShip* TBtQvMap::GetNearestEnemy(const TBtUnit* unit, int r) const {
  const TBtShipList list = GetShipsAt(BtGetEnemyCountry(unit->GetCountry()), unit->GetX(), unit->GetY(), r);
  const int64_t limit = static_cast<int64_t>(r) * r;
  TBtShip* best = nullptr;
  int64_t bestD = 0;
  for (int i = 0; i < list.count; ++i) {
    TBtShip* s = list.ships[i];
    const int64_t d = BtGetDist2(unit->GetX(), unit->GetY(), s->GetX(), s->GetY());
    if (d >= limit) continue;
    if (best == nullptr || d < bestD) {
      best = s;
      bestD = d;
    }
  }
  return best;
}

bool TBtQvMap::ChkFreePos(const TBtUnit* unit, int x, int y) const { return ChkInMap(x, y, unit->GetRadius()); }

TBtShip* TBtQvMap::FindShip(int country, int fleet, int slot) const {
  for (TBtShip* s : ships_) {
    if (s != nullptr && s->GetCountry() == country && s->GetFleet() == fleet && s->GetSlot() == slot) return s;
  }
  return nullptr;
}

TBtShip* TBtQvMap::FindSate(int country, int satellite) const {
  for (TBtShip* s : ships_) {
    if (s != nullptr && s->GetCountry() == country && s->GetSatellite() == satellite) return s;
  }
  return nullptr;
}

void TBtQvMap::SetSelect(TBtShip* ship) {
  selected_ = ship;
  GameHost().UpdateBtPanel();
}

void TBtQvMap::SelectShipWhere(int country, int fleet, int satellite, int slot) {
  for (TBtShip* s : ships_) {
    if (s != nullptr && s->GetCountry() == country && s->GetFleet() == fleet && s->GetSatellite() == satellite &&
        s->GetSlot() == slot) {
      SetSelect(s);
    }
  }
}

void TBtQvMap::MoveAll() {
  for (TBtShip* s : ships_)
    if (s != nullptr) s->Move();
  for (TBtMissile* m : missiles_)
    if (m != nullptr) m->Move();
  for (TBtLight* l : lights_)
    if (l != nullptr) l->Move();
  for (TBtExploade* e : explosions_)
    if (e != nullptr) e->Move();
  DeleteDead();
}

void TBtQvMap::ActAll() {
  for (TBtShip* s : ships_)
    if (s != nullptr) s->TickEquip();
  for (TBtShip* s : ships_)
    if (s != nullptr && s != selected_) s->Fire();
  for (TBtMissile* m : missiles_)
    if (m != nullptr) m->ChkHit();
  for (TBtExploade* e : explosions_)
    if (e != nullptr) e->Act();
  DeleteDead();
}

void TBtQvMap::DrawAll() {
  for (TBtShip* s : ships_)
    if (s != nullptr) s->Draw();
  for (TBtMissile* m : missiles_)
    if (m != nullptr) m->Draw();
  for (TBtLight* l : lights_)
    if (l != nullptr) l->Draw();
  for (TBtExploade* e : explosions_)
    if (e != nullptr) e->Draw();
}

void TBtQvMap::DrawMiniMap(TBtMiniMapSurface& surface) const {
  auto dot = [&surface](const TBtUnit* u, int colour) {
    const int px = (u->GetX() >> 2) >> 4;
    const int py = (u->GetY() >> 2) >> 4;
    if (px >= 0 && px <= 99 && py >= 0 && py <= 99) surface.BoxFill(px, py, px + 1, py + 1, colour);
  };
  for (const TBtShip* s : ships_) {
    if (s != nullptr) dot(s, s->GetCountry() == BtInfo.player ? kBtMiniLime : kBtMiniRed);
  }
  for (const TBtMissile* m : missiles_) {
    if (m != nullptr) dot(m, m->GetCountry() == BtInfo.player ? kBtMiniAqua : kBtMiniFuchsia);
  }
}

void TBtQvMap::ForgetUnit(const TBtUnit* unit) {
  if (unit != nullptr && unit == selected_) {
    selected_ = nullptr;
    for (TBtShip* s : ships_) {
      if (s != nullptr && s != unit && s->GetCountry() == BtInfo.player) SetSelect(s);
    }
  }
  for (TBtShip* s : ships_)
    if (s != nullptr) s->ForgetUnit(unit);
  for (TBtMissile* m : missiles_)
    if (m != nullptr) m->ForgetUnit(unit);
}

void TBtQvMap::DeleteDead() {
  for (int i = 0; i < kBtShipSlots; ++i) {
    TBtShip* s = ships_[i];
    if (s != nullptr && !s->IsAlive()) {
      ForgetUnit(s);
      ships_.Free(i);
    }
  }
  for (int i = 0; i < kBtMissileSlots; ++i) {
    TBtMissile* m = missiles_[i];
    if (m != nullptr && !m->IsAlive()) {
      ForgetUnit(m);
      missiles_.Free(i);
    }
  }
  for (int i = 0; i < kBtLightSlots; ++i) {
    if (lights_[i] != nullptr && !lights_[i]->IsAlive()) lights_.Free(i);
  }
  for (int i = 0; i < kBtExploadeSlots; ++i) {
    if (explosions_[i] != nullptr && !explosions_[i]->IsAlive()) explosions_.Free(i);
  }
}

void TBtQvMap::ChkWinner() {
  bool attackerLives = false;
  bool otherLives = false;
  for (TBtShip* s : ships_) {
    if (s == nullptr || !s->IsAlive()) continue;
    if (s->GetCountry() == BtInfo.attacker) {
      attackerLives = true;
    } else {
      otherLives = true;
    }
  }
  if (!attackerLives) {
    BtInfo.winner = BtInfo.defender;
  } else if (!otherLives) {
    BtInfo.winner = BtInfo.attacker;
  }
}

void TBtQvMap::ShipHit(TBtShip* ship, int d) {
  if (ship == nullptr || BtInfo.winner != -1) return;
  TBtShield& shield = ship->GetShield();
  const int commander = ship->GetCommander();

  if (shield.CanOn()) {
    const int p = commander != -1 ? GetCmdDirect(commander) : 50;
    if (ChkRand(p)) shield.On();
  }

  int q = 1;
  if (GetStoryChapter() == 4 && !GetStoryFlag(92) && (BtInfo.attacker == 8 || BtInfo.defender == 8) &&
      ship->GetCountry() == BtInfo.player) {
    q = 2;
  }

  TGameHost& host = GameHost();
  if (shield.IsOn()) {
    const int s = BtClamp32((1000 - static_cast<int64_t>(shield.GetDef())) * d / 1000 / q);
    shield.Damage(s);
    ship->RefreshShipHp();
    if (ship == selected_ && shield.GetHp() > 0) {
      host.AddBtMessage(Format((q == 1 ? SJS("シールド損傷!! 残り%dです") : SJS("シールド損傷! 残り%dです")).c_str(),
                               shield.GetHp()));
    }
    return;
  }

  const int h = BtClamp32((1000 - static_cast<int64_t>(ship->GetArmor())) * d / 1000 / q);
  const int before = ship->GetHp();
  ship->Damage(h);
  const int lost = before - ship->GetHp();
  ship->RefreshShipHp();
  const bool players = ship->GetCountry() == BtInfo.player;
  const bool sate = ship->GetSatellite() != -1;
  std::string text;
  if (players && !sate) {
    text = Format((q == 1 ? SJS("自軍%d番艦被弾!! %dの被害") : SJS("自軍%d番艦被弾! %dの被害")).c_str(),
                  ship->GetSlot() + 1, lost);
  } else if (players) {
    text = Format((q == 1 ? SJS("%d番衛星被弾!! %dの被害") : SJS("%d番衛星被弾! %dの被害")).c_str(),
                  ship->GetSatellite() + 1, lost);
  } else if (!sate) {
    text = Format(SJS("敵軍%d番艦に命中!! %dの被害").c_str(), ship->GetSlot() + 1, lost);
  } else {
    text = Format(SJS("%d番衛星に命中!! %dの被害").c_str(), ship->GetSatellite() + 1, lost);
  }
  host.AddBtMessage(text);
  host.AddBtMessage(Format(SJS("        残り耐久力%dです").c_str(), ship->GetHp()));

  if (!ship->IsAlive()) {
    AddExploade(ship->GetX(), ship->GetY(), 0);
    host.PlayWave(kFileKindSoundEffect, 0, false);
    if (selected_ != nullptr && selected_ != ship) host.UpdateBtPanel();
    if (ship->IsFlagship()) {
      BtInfo.winner = ship->GetCountry() != BtInfo.attacker ? BtInfo.attacker : BtInfo.defender;
      host.SysMesBt(players ? SJS("旗艦をやられました。撤退します。") : SJS("敵艦隊、旗艦を失い撤退しました。"),
                    SJS("確認"), 0);
    }
  }
  ChkWinner();
}

void TBtQvMap::Order(int button, int x, int y) {
  TBtShip* s = selected_;
  if (s == nullptr) return;
  const int64_t d2 = BtGetDist2(s->GetX(), s->GetY(), x, y);
  if (d2 > 25600) {
    if (button == 1) {
      s->GetTarget().SetManualPos(x, y);
    } else {
      s->GetTarget().SetAttackPos(x, y);
      s->Fire();
    }
  } else if (s->GetShield().CanOn()) {
    s->GetShield().On();
  }
}

bool BtArenaIsEnd() { return BtQvMap == nullptr || BtQvMap->IsEnd(); }

bool BtBattleTick() {
  TBtQvMap* arena = BtQvMap;
  if (arena == nullptr) return false;
  if (arena->tickRunning) return true;
  arena->tickRunning = true;

  TGameHost& host = GameHost();
  const bool paused = host.IsBattlePaused();
  if (!paused) {
    arena->MoveAll();
    if (BtInfo.winner == -1) arena->ActAll();
  }

  if (TBtViewSink* view = BtViewSink()) {
    if (TBtShip* sel = arena->GetSelect()) {
      view->CenterOn(sel->GetX() >> 2, sel->GetY() >> 2);
    } else {
      view->Redraw();
    }
  }

  bool keepRunning = true;
  if (!paused && BtInfo.winner != -1) {
    if (arena->endCountdown_ > 0) {
      --arena->endCountdown_;
    } else {
      arena->endCountdown_ = kBtEndFrames;
      if (BtInfo.player != -1) {
        host.SysMes(BtInfo.winner == BtInfo.player ? SJS("戦闘に勝利しました。") : SJS("戦闘に敗北しました。"),
                    SJS("確認"), 0);
      }
      keepRunning = false;
    }
  }
  arena->tickRunning = false;
  return keepRunning;
}

}  // namespace vdmq
