#pragma once
// The fourteen countries: turn order (0 is the player's country), funds, standard income, capital,
// and the relation matrix between them. A country lives as long as it has a capital.

#include <cstdint>

#include "campaign/Ship.h"

namespace vdmq {

class TDatFile;

// One country (signed 32-bit fields, in this order).
struct TCountryData {
  std::int32_t Name;        // COUNTRY_NAME: index into the country name table
  std::int32_t Turn;        // COUNTRY_TURN: 0 the player's country, 1..13 computer order
  std::int32_t President;   // COUNTRY_PRESIDENT: event character of the head of state
  std::int32_t StdFund;     // COUNTRY_STD_FUND: income per turn before planets
  std::int32_t Fund;        // COUNTRY_FUND: funds, 0..999999
  std::int32_t IncomeFund;  // COUNTRY_INCOME_FUND: income of the last turn start, 0..999999
  std::int32_t Capital;     // COUNTRY_CAPITAL: capital planet, -1 when destroyed
};

// Relations between two countries.
constexpr int kRelationNone = 0;  // "無関係"
constexpr int kRelationAlly = 1;  // "同盟"
constexpr int kRelationWar = 2;   // "交戦"
constexpr int kRelationSelf = 3;  // "自国" (answered, never stored)

// The tables (exposed for whole-world snapshots). Only the upper triangle of the relation matrix
// is used: the relation of a and b stands at [min(a, b)][max(a, b)].
extern TCountryData CountryData[kCountryCount];
extern std::int8_t CountryRelation[kCountryCount][kCountryCount];

bool ChkInCountryNum(int country);        // 0..13
bool IsCountryAlive(int country);         // capital is not -1 [false]
const char* GetCountryName(int country);  // name text (CP932) ["無所属", also for a bad name]
int GetCountryTurn(int country);          // [-1]
int GetCountryPresident(int country);     // [-1]
int GetCountryStdFund(int country);       // [0]
int GetCountryFund(int country);          // [0]
// Stores LimitFund(amount); refreshes the main window's funds caption when the country is the
// player's. [nothing]
void SetCountryFund(int country, std::int64_t amount);
// Only for a living country: SetCountryFund(country, funds + amount), summed in 64 bits.
void AddCountryFund(int country, std::int64_t amount);
// Turn-start income: standard income plus the clamped income of every planet on the map that the
// country owns; the clamped sum becomes the last income and is added to the funds.
void CollectCountryIncome(int country);
int GetCountryIncomeFund(int country);            // [0]
int GetCountryCapital(int country);               // [-1]
void SetCountryCapital(int country, int planet);  // stored unchecked [nothing]
bool IsPlayerCountry(int country);                // turn order is 0 [false]
int GetPlayerCountry();                           // lowest country with turn order 0, -1 when none
// Exactly one of a, b is -1 -> 2 (war); both -1 -> 0; either outside 0..13 -> -1; a == b -> 3;
// otherwise the stored relation.
int GetCountryRelation(int a, int b);
// "無関係", "同盟", "交戦", "自国", or "" for any other answer.
const char* GetCountryRelationName(int a, int b);
// Both valid and different: stores the relation at [min][max]. [nothing]
void SetCountryRelation(int a, int b, int relation);
// Mode 2: COUNTRY_NAME, COUNTRY_TURN, COUNTRY_PRESIDENT, then (every mode) COUNTRY_CAPITAL,
// COUNTRY_STD_FUND, COUNTRY_FUND, COUNTRY_INCOME_FUND.
void SaveLoadCountry(TDatFile* fp, int mode);
// COUNTRY_RELATION: the whole matrix as 196 "char" values, row-major.
void SaveLoadCountryRelation(TDatFile* fp, int mode);

}  // namespace vdmq
