#include "campaign/W5ev_trg.h"

#include "campaign/Country.h"
#include "campaign/Gmain.h"
#include "campaign/Story.h"
#include "campaign/W5scn01.h"

namespace vdmq {

namespace {

// The chapter (story variable 0): every trigger acts only in chapter 0.
bool InScenario() { return GetStoryVar(0) == 0; }

}  // namespace

void EvTrgTurn() {
  const int country = GetTurnCountry();
  if (!IsCountryAlive(country) || !InScenario()) return;
  switch (country) {
    case kScnPlayer:
      Scn01Event00();
      Scn01Event02();
      Scn01Event05();
      Scn01Event09();
      Scn01Event11();
      Scn01Event15();
      break;
    case kScnAlly:
      Scn01Event03();
      Scn01Event06();
      break;
    case kScnWatcher: Scn01Event12(); break;
    case kScnEmpire:
      Scn01Event01();
      Scn01Event10();
      break;
    default: break;
  }
}

void EvTrgTurnAfter() {
  // The scenario has no after-turn event.
}

void EvTrgBattleStart() {
  if (!InScenario()) return;
  switch (GetTurnCountry()) {
    case kScnPlayer: Scn01Event13(); break;
    case kScnEmpire: Scn01Event08(); break;
    default: break;
  }
}

void EvTrgBattleEnd() {
  if (!InScenario()) return;
  if (GetTurnCountry() == kScnPlayer) {
    Scn01Event04();
    Scn01Event07();
    Scn01Event14();
  }
}

}  // namespace vdmq
