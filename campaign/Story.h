#pragma once
// The story state: the game date, the adjutant, the scenario map number and the scenario's memory
// (flags, variables, turn counters), with two run-time words (the game-over flag and the choice of
// the last event dialogue). Also the operations through which the scenario's events change the
// world; those that show something go through GameHost.

#include <cstdint>
#include <string>

namespace vdmq {

class TDatFile;

constexpr int kStoryFlagCount = 256;
constexpr int kStoryVarCount = 64;
constexpr int kStoryStartYear = 4032;
constexpr int kStoryMaxYear = 9999;
constexpr int kStoryPeriodsPerYear = 52;
constexpr int kStoryCntStopped = 9999;  // a counter at 0 or at this value does not move
constexpr int kChapterTitleCount = 10;
constexpr int kEndingMovie = 2;  // the ending movie sets the game-over flag

struct TStoryData {
  std::int32_t Century;                  // STORY_CENTURY: game year, never above 9999
  std::int32_t Month;                    // STORY_MONTH: period 1..52
  std::int32_t Fukukan;                  // STORY_FUKUKAN: event character of the adjutant
  std::int32_t LoadMap;                  // STORY_LOAD_MAP: scenario map number
  std::uint8_t Flag[kStoryFlagCount];    // STORY_FLAG: event flags
  std::int32_t Var[kStoryVarCount];      // STORY_VAR: scenario variables, 0 = the chapter
  std::int32_t FundVar[kStoryVarCount];  // STORY_FUND_VAR: saved and loaded, read by no rule
  std::int32_t Cnt[kStoryVarCount];      // STORY_CNT: turn counters
};

// The story record (exposed for whole-world snapshots) and the run-time words.
extern TStoryData StoryData;
extern std::uint8_t GameOverFlag;
extern std::int32_t EventSelect;

void SetGameEndFlag(bool on);
bool GetGameEndFlag();
// Next period; after period 52 the period returns to 1 and the year grows while below 9999; then
// ShowStoryDate.
void AdvanceStoryDate();
// The main window's year caption: "%4d年%2d期" (through GameHost().ShowYearCaption).
void ShowStoryDate();
// The main window's funds caption: the funds of country 0 by "総資金 %6d" (ShowFundCaption).
void ShowTotalFund();
// The caption texts themselves (CP932).
std::string FormatStoryDate(int year, int period);
std::string FormatTotalFund(int funds);
int GetStoryYear();
int GetStoryPeriod();
int GetFukukan();
// Voice file kind of the adjutant (kFileKindAdjutant2Voice, kFileKindAdjutant12Voice), -1 for any other.
int GetFukukanVoice();
int GetStoryLoadMap();
int GetEventSelect();
void SetEventSelect(int select);
int GetStoryChapter();  // variable 0
// Chapter title (CP932) for 0..9, "" otherwise.
const char* GetChapterTitle(int chapter);

// Flags take 0..255, variables and counters 0..63; an index outside reads 0 and writes nothing.
bool GetStoryFlag(int n);
void SetStoryFlag(int n);  // sets flag n to 1
int GetStoryVar(int n);
void SetStoryVar(int n, int value);
int GetStoryCnt(int n);
void SetStoryCnt(int n, int value);
// Adds 1 to every counter that is neither 0 nor 9999.
void AdvanceStoryCnt();

// Scenario operations.
void RedrawMap();                // full redraw of the strategic map view
void ShowMapPlanet(int planet);  // centres the map view on the planet, then pauses 1000 ms
void ScnSetFleetRootTbl(int country, int fleet, int route);
// A ship of these parts at full durability, put with SetFleetShip.
void ScnSetFleetShip(int country, int fleet, int slot, int hull, int weapon1, int weapon2, int engine, int shield);
void ScnSetBtWinner(int country);
int ScnGetBtAtkCountry();
int ScnGetBtDefCountry();
int ScnGetBtPlanet();
int ScnGetBtKind();
int ScnGetPlanetBelong(int planet);
// A capital first passes to country 0 (destroying its owner); then the planet passes to no owner
// and leaves the map (-1, -1).
void ScnRemovePlanet(int planet);
void ScnSetCmdBelong(int cmd, int country);
void ScnSetCountryRelation(int a, int b, int relation);
// Plays movie kind 56 with that number; the ending movie (2) then sets the game-over flag.
void ScnPlayMovie(int number);

// Modes 0 and 1 transfer STORY_CENTURY, STORY_MONTH, STORY_FUKUKAN, STORY_LOAD_MAP, STORY_FLAG,
// STORY_VAR, STORY_FUND_VAR, STORY_CNT; mode 2 reads nothing and starts a new story. A missing
// file does nothing.
void SaveLoadStory(TDatFile* fp, int mode);
// Reads year, period and variable 0 (the chapter) of a saved game for the save/load screen. True
// when all three were read; the outputs are left as they are otherwise. Throws as SeekKey does.
bool ReadSaveHeader(TDatFile* fp, int* chapter, int* year, int* period);

}  // namespace vdmq
