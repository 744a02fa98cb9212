#include "campaign/Story.h"

#include <climits>

#include "campaign/BattleRecord.h"
#include "campaign/Cmd.h"
#include "campaign/Country.h"
#include "campaign/FileKinds.h"
#include "campaign/Fleet.h"
#include "campaign/GameHost.h"
#include "campaign/Planet.h"
#include "campaign/Save.h"
#include "campaign/Ship.h"
#include "campaign/StoryNames.h"
#include "platform/base/Format.h"
#include "platform/base/Sjis.h"

namespace vdmq {

TStoryData StoryData;
std::uint8_t GameOverFlag = 0;
std::int32_t EventSelect = 0;

namespace {

bool IsFlagNum(int n) { return n >= 0 && n < kStoryFlagCount; }
bool IsVarNum(int n) { return n >= 0 && n < kStoryVarCount; }

}  // namespace

void SetGameEndFlag(bool on) { GameOverFlag = on ? 1 : 0; }

bool GetGameEndFlag() { return GameOverFlag != 0; }

void AdvanceStoryDate() {
  if (StoryData.Month >= kStoryPeriodsPerYear) {
    StoryData.Month = 1;
    if (StoryData.Century < kStoryMaxYear) ++StoryData.Century;
  } else {
    ++StoryData.Month;
  }
  ShowStoryDate();
}

std::string FormatStoryDate(int year, int period) {
  return Format("%4d", year) + SJS("年") + Format("%2d", period) + SJS("期");
}

std::string FormatTotalFund(int funds) { return SJS("総資金 ") + Format("%6d", funds); }

void ShowStoryDate() { GameHost().ShowYearCaption(FormatStoryDate(StoryData.Century, StoryData.Month)); }

void ShowTotalFund() { GameHost().ShowFundCaption(FormatTotalFund(GetCountryFund(0))); }

int GetStoryYear() { return StoryData.Century; }

int GetStoryPeriod() { return StoryData.Month; }

int GetFukukan() { return StoryData.Fukukan; }

int GetFukukanVoice() {
  switch (StoryData.Fukukan) {
    case 2: return kFileKindAdjutant2Voice;
    case 12: return kFileKindAdjutant12Voice;
    default: return -1;
  }
}

int GetStoryLoadMap() { return StoryData.LoadMap; }

int GetEventSelect() { return EventSelect; }

void SetEventSelect(int select) { EventSelect = select; }

int GetStoryChapter() { return StoryData.Var[0]; }

const char* GetChapterTitle(int chapter) {
  const char* title = ChapterTitleText(chapter);
  return title != nullptr ? title : "";
}

bool GetStoryFlag(int n) { return IsFlagNum(n) && StoryData.Flag[n] != 0; }

void SetStoryFlag(int n) {
  if (IsFlagNum(n)) StoryData.Flag[n] = 1;
}

int GetStoryVar(int n) { return IsVarNum(n) ? StoryData.Var[n] : 0; }

void SetStoryVar(int n, int value) {
  if (IsVarNum(n)) StoryData.Var[n] = value;
}

int GetStoryCnt(int n) { return IsVarNum(n) ? StoryData.Cnt[n] : 0; }

void SetStoryCnt(int n, int value) {
  if (IsVarNum(n)) StoryData.Cnt[n] = value;
}

void AdvanceStoryCnt() {
  for (std::int32_t& c : StoryData.Cnt) {
    // A counter read from a file at the top of the range stays there instead of wrapping.
    if (c != 0 && c != kStoryCntStopped && c != INT_MAX) ++c;
  }
}

void RedrawMap() { GameHost().DrawMap(); }

void ShowMapPlanet(int planet) {
  GameHost().SetMapCenterPlanet(planet);
  GameHost().Sleep(1000);
}

void ScnSetFleetRootTbl(int country, int fleet, int route) { SetFleetRootTbl(country, fleet, route); }

void ScnSetFleetShip(int country, int fleet, int slot, int hull, int weapon1, int weapon2, int engine, int shield) {
  TShipData ship{{hull, weapon1, weapon2, engine, shield}, 0};
  ship.Hp = GetShipMaxHp(&ship);
  SetFleetShip(country, fleet, slot, &ship);
}

void ScnSetBtWinner(int country) { BtInfo.winner = country; }

int ScnGetBtAtkCountry() { return BtInfo.attacker; }

int ScnGetBtDefCountry() { return BtInfo.defender; }

int ScnGetBtPlanet() { return BtInfo.planet; }

int ScnGetBtKind() { return BtInfo.kind; }

int ScnGetPlanetBelong(int planet) { return GetPlanetBelong(planet); }

void ScnRemovePlanet(int planet) {
  if (!IsPlanetNum(planet)) return;
  const int owner = GetPlanetBelong(planet);
  if (ChkInCountryNum(owner) && GetCountryCapital(owner) == planet) {
    if (owner == 0) {
      // Handing the capital of country 0 to country 0 itself destroys that country and leaves
      // its other planets where they are; do that directly (SetPlanetBelong ignores a hand-over
      // to the current owner).
      RemoveCountryFleets(0);
      SetCountryCapital(0, -1);
    } else {
      SetPlanetBelong(planet, 0);
    }
  }
  SetPlanetBelong(planet, -1);
  SetPlanetXY(planet, -1, -1);
}

void ScnSetCmdBelong(int cmd, int country) { SetCmdBelong(cmd, country); }

void ScnSetCountryRelation(int a, int b, int relation) { SetCountryRelation(a, b, relation); }

void ScnPlayMovie(int number) {
  GameHost().PlayAvi(kFileKindMovie, number);
  if (number == kEndingMovie) SetGameEndFlag(true);
}

void SaveLoadStory(TDatFile* fp, int mode) {
  if (fp == nullptr) return;
  if (mode == kSaveModeNew) {
    StoryData = TStoryData{};
    StoryData.Century = kStoryStartYear;
    StoryData.Month = 1;
    StoryData.Fukukan = 2;
    StoryData.LoadMap = 0;
    return;
  }
  ReadWriteKey(mode, fp, "STORY_CENTURY", "int", 1);
  ReadWriteData(mode, &StoryData.Century, 4, 1, fp);
  ReadWriteKey(mode, fp, "STORY_MONTH", "int", 1);
  ReadWriteData(mode, &StoryData.Month, 4, 1, fp);
  ReadWriteKey(mode, fp, "STORY_FUKUKAN", "int", 1);
  ReadWriteData(mode, &StoryData.Fukukan, 4, 1, fp);
  ReadWriteKey(mode, fp, "STORY_LOAD_MAP", "int", 1);
  ReadWriteData(mode, &StoryData.LoadMap, 4, 1, fp);
  ReadWriteKey(mode, fp, "STORY_FLAG", "byte", kStoryFlagCount);
  ReadWriteData(mode, StoryData.Flag, 1, kStoryFlagCount, fp);
  ReadWriteKey(mode, fp, "STORY_VAR", "int", kStoryVarCount);
  ReadWriteData(mode, StoryData.Var, 4, kStoryVarCount, fp);
  ReadWriteKey(mode, fp, "STORY_FUND_VAR", "int", kStoryVarCount);
  ReadWriteData(mode, StoryData.FundVar, 4, kStoryVarCount, fp);
  ReadWriteKey(mode, fp, "STORY_CNT", "int", kStoryVarCount);
  ReadWriteData(mode, StoryData.Cnt, 4, kStoryVarCount, fp);
}

bool ReadSaveHeader(TDatFile* fp, int* chapter, int* year, int* period) {
  if (fp == nullptr || chapter == nullptr || year == nullptr || period == nullptr) return false;
  std::int32_t y = 0;
  std::int32_t m = 0;
  std::int32_t vars[kStoryVarCount] = {};
  if (SeekKey(fp, "STORY_CENTURY", "int", 1) == -1 || !ReadWriteData(kSaveModeLoad, &y, 4, 1, fp)) return false;
  if (SeekKey(fp, "STORY_MONTH", "int", 1) == -1 || !ReadWriteData(kSaveModeLoad, &m, 4, 1, fp)) return false;
  if (SeekKey(fp, "STORY_VAR", "int", kStoryVarCount) == -1 ||
      !ReadWriteData(kSaveModeLoad, vars, 4, kStoryVarCount, fp)) {
    return false;
  }
  *chapter = vars[0];
  *year = y;
  *period = m;
  return true;
}

}  // namespace vdmq
