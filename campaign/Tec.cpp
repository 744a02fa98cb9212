#include "campaign/Tec.h"

#include <array>

#include "campaign/Save.h"
#include "campaign/Stdfunc.h"
#include "platform/base/Sjis.h"

namespace vdmq {

TTecData TecData[kTecCount];

namespace {

constexpr std::array<int, kTecCount> kTecMaxLev = {11, 19, 19, 10, 10};

const char* TecNameText(int tec) {
  switch (tec) {
    case 0: return SJS("船体").c_str();
    case 1: return SJS("レーザー").c_str();
    case 2: return SJS("ミサイル").c_str();
    case 3: return SJS("防御兵装").c_str();
    case 4: return SJS("主機関").c_str();
    default: return nullptr;
  }
}

}  // namespace

bool ChkInTecNum(int tec) { return tec >= 0 && tec < kTecCount; }
bool ChkInTecLev(int lev) { return lev >= 1 && lev <= kTecLevCount; }

int GetTecMaxLev(int tec) { return ChkInTecNum(tec) ? kTecMaxLev[static_cast<std::size_t>(tec)] : 1; }

bool IsTecLevBelowMax(int tec, int lev) { return ChkInTecNum(tec) && lev >= 1 && lev < GetTecMaxLev(tec); }

const char* GetTecName(int tec) { return ChkInTecNum(tec) ? TecData[tec].Name : nullptr; }

int GetTecLevUpFund(int tec, int lev) { return IsTecLevBelowMax(tec, lev) ? TecData[tec].LevUpFund[lev] : -1; }

int GetTecLev(int tec) { return ChkInTecNum(tec) ? TecData[tec].Lev : -1; }

void SetTecLev(int tec, int lev) {
  if (ChkInTecNum(tec) && ChkInTecLev(lev)) TecData[tec].Lev = lev;
}

int GetTecInvestFund(int tec) { return ChkInTecNum(tec) ? TecData[tec].InvestFund : -1; }

// The current level indexes the cost table only when 1 <= level < maximum, so a level read from
// a file outside that range never reaches past the table.
bool CanTecLevUp(int tec) { return ChkInTecNum(tec) && IsTecLevBelowMax(tec, TecData[tec].Lev); }

int GetTecFundToMax(int tec) {
  if (!CanTecLevUp(tec)) return 0;
  const TTecData& t = TecData[tec];
  std::int64_t sum = 0;
  for (int l = t.Lev; l < GetTecMaxLev(tec); ++l) sum += t.LevUpFund[l];
  return LimitFund(sum - t.InvestFund);
}

void InvestTec(int tec, std::int64_t amount) {
  std::int64_t a = LimitFund(amount);
  if (!CanTecLevUp(tec) || a == 0) return;
  TTecData& t = TecData[tec];
  const int max = GetTecMaxLev(tec);
  for (int l = t.Lev; l < max; ++l) {
    const std::int64_t cost = t.LevUpFund[l];
    const std::int64_t invested = t.InvestFund;
    if (cost > invested + a) {
      // Below the cost, so the sum fits the 32-bit field.
      t.InvestFund = static_cast<std::int32_t>(invested + a);
      a = 0;
    } else {
      a -= cost - invested;
      t.InvestFund = 0;
      t.Lev = l + 1;
    }
    if (a <= 0) break;
  }
}

void SaveLoadTec(TDatFile* fp, int mode) {
  if (fp == nullptr || !fp->IsOpen()) return;
  if (mode == kSaveModeNew) {
    for (int i = 0; i < kTecCount; ++i) {
      TecData[i].Name = TecNameText(i);
      TecData[i].Index = i;
      TecData[i].InvestFund = 0;
      TecData[i].Lev = 1;
    }
    ReadWriteKey(mode, fp, "TEC_LEV_UP_FUND", "int", kTecCount * kTecLevCount);
    for (TTecData& t : TecData) ReadWriteData(mode, t.LevUpFund, sizeof(std::int32_t), kTecLevCount, fp);
    return;
  }
  ReadWriteKey(mode, fp, "TEC_INVEST_FUND", "int", kTecCount);
  for (TTecData& t : TecData) ReadWriteData(mode, &t.InvestFund, sizeof(std::int32_t), 1, fp);
  ReadWriteKey(mode, fp, "TEC_LEV", "int", kTecCount);
  for (TTecData& t : TecData) ReadWriteData(mode, &t.Lev, sizeof(std::int32_t), 1, fp);
}

}  // namespace vdmq
