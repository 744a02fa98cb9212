#include "campaign/Country.h"

#include "campaign/CountryNames.h"
#include "campaign/Planet.h"
#include "campaign/Save.h"
#include "campaign/Stdfunc.h"
#include "campaign/Story.h"
#include "platform/base/Sjis.h"

namespace vdmq {

TCountryData CountryData[kCountryCount];
std::int8_t CountryRelation[kCountryCount][kCountryCount];

bool ChkInCountryNum(int country) { return country >= 0 && country < kCountryCount; }

bool IsCountryAlive(int country) { return ChkInCountryNum(country) && CountryData[country].Capital != -1; }

const char* GetCountryName(int country) {
  const char* name = ChkInCountryNum(country) ? CountryNameText(CountryData[country].Name) : nullptr;
  return name != nullptr ? name : SJS("無所属").c_str();
}

int GetCountryTurn(int country) { return ChkInCountryNum(country) ? CountryData[country].Turn : -1; }
int GetCountryPresident(int country) { return ChkInCountryNum(country) ? CountryData[country].President : -1; }
int GetCountryStdFund(int country) { return ChkInCountryNum(country) ? CountryData[country].StdFund : 0; }
int GetCountryFund(int country) { return ChkInCountryNum(country) ? CountryData[country].Fund : 0; }

void SetCountryFund(int country, std::int64_t amount) {
  if (!ChkInCountryNum(country)) return;
  CountryData[country].Fund = LimitFund(amount);
  // The main window's funds caption follows the player's funds (nothing without a main window).
  if (IsPlayerCountry(country)) ShowTotalFund();
}

void AddCountryFund(int country, std::int64_t amount) {
  if (!IsCountryAlive(country)) return;
  SetCountryFund(country, static_cast<std::int64_t>(CountryData[country].Fund) + amount);
}

void CollectCountryIncome(int country) {
  if (!ChkInCountryNum(country)) return;
  std::int64_t income = CountryData[country].StdFund;
  for (int p = 0; p < kPlanetCount; ++p) {
    if (IsPlanetOnMap(p) && GetPlanetBelong(p) == country) income += GetPlanetIncome(p);
  }
  CountryData[country].IncomeFund = LimitFund(income);
  AddCountryFund(country, income);
}

int GetCountryIncomeFund(int country) { return ChkInCountryNum(country) ? CountryData[country].IncomeFund : 0; }
int GetCountryCapital(int country) { return ChkInCountryNum(country) ? CountryData[country].Capital : -1; }

void SetCountryCapital(int country, int planet) {
  if (ChkInCountryNum(country)) CountryData[country].Capital = planet;
}

bool IsPlayerCountry(int country) { return ChkInCountryNum(country) && CountryData[country].Turn == 0; }

int GetPlayerCountry() {
  for (int c = 0; c < kCountryCount; ++c) {
    if (CountryData[c].Turn == 0) return c;
  }
  return -1;
}

int GetCountryRelation(int a, int b) {
  if ((a == -1) != (b == -1)) return kRelationWar;  // a country against no country
  if (a == -1) return kRelationNone;                // both none
  if (!ChkInCountryNum(a) || !ChkInCountryNum(b)) return -1;
  if (a < b) return CountryRelation[a][b];
  if (a == b) return kRelationSelf;
  return CountryRelation[b][a];
}

const char* GetCountryRelationName(int a, int b) {
  switch (GetCountryRelation(a, b)) {
    case kRelationNone: return SJS("無関係").c_str();
    case kRelationAlly: return SJS("同盟").c_str();
    case kRelationWar: return SJS("交戦").c_str();
    case kRelationSelf: return SJS("自国").c_str();
    default: return "";
  }
}

void SetCountryRelation(int a, int b, int relation) {
  if (!ChkInCountryNum(a) || !ChkInCountryNum(b) || a == b) return;
  const int lo = a < b ? a : b;
  const int hi = a < b ? b : a;
  CountryRelation[lo][hi] = static_cast<std::int8_t>(relation);
}

namespace {

void TransferField(TDatFile* fp, int mode, const char* key, std::int32_t TCountryData::*field) {
  ReadWriteKey(mode, fp, key, "int", kCountryCount);
  for (TCountryData& c : CountryData) ReadWriteData(mode, &(c.*field), sizeof(std::int32_t), 1, fp);
}

}  // namespace

void SaveLoadCountry(TDatFile* fp, int mode) {
  if (mode == kSaveModeNew) {
    TransferField(fp, mode, "COUNTRY_NAME", &TCountryData::Name);
    TransferField(fp, mode, "COUNTRY_TURN", &TCountryData::Turn);
    TransferField(fp, mode, "COUNTRY_PRESIDENT", &TCountryData::President);
  }
  TransferField(fp, mode, "COUNTRY_CAPITAL", &TCountryData::Capital);
  TransferField(fp, mode, "COUNTRY_STD_FUND", &TCountryData::StdFund);
  TransferField(fp, mode, "COUNTRY_FUND", &TCountryData::Fund);
  TransferField(fp, mode, "COUNTRY_INCOME_FUND", &TCountryData::IncomeFund);
}

void SaveLoadCountryRelation(TDatFile* fp, int mode) {
  ReadWriteKey(mode, fp, "COUNTRY_RELATION", "char", kCountryCount * kCountryCount);
  ReadWriteData(mode, CountryRelation, 1, kCountryCount * kCountryCount, fp);
}

}  // namespace vdmq
