// Feeds arbitrary bytes to the keyed data file readers as a new-game file and as a saved game.
// Thrown game errors are the readers' way to refuse a file; anything else (a crash, an overrun,
// a hang) is a fault.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "campaign/Country.h"
#include "campaign/Parts.h"
#include "campaign/Save.h"
#include "campaign/Ship.h"
#include "campaign/Tec.h"
#include "platform/base/GameError.h"

namespace {

template <class F>
void Guarded(F&& f) {
  try {
    f();
  } catch (const vdmq::EGameError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vdmq;
  std::vector<std::uint8_t> copy(data, data + size);
  copy.push_back(0);  // fmemopen needs a non-empty buffer; the stream covers only `size` bytes
  std::FILE* stream = size > 0 ? fmemopen(copy.data(), size, "rb") : std::tmpfile();
  if (stream == nullptr) return 0;
  {
    TDatFile f(stream);
    for (int mode : {kSaveModeNew, kSaveModeLoad}) {
      Guarded([&] { SaveLoadTec(&f, mode); });
      Guarded([&] { SaveLoadCountry(&f, mode); });
      Guarded([&] { SaveLoadCountryRelation(&f, mode); });
      Guarded([&] { SaveLoadParts(&f, mode); });
    }
    // Ship records after a found block, and the answers of the rules on whatever was read.
    Guarded([&] {
      TShipData ships[3];
      if (ReadWriteKey(kSaveModeLoad, &f, "FLEET_SHIPS", "int", 18)) {
        for (TShipData& s : ships) {
          SaveLoadShip(&s, &f, kSaveModeLoad);
          (void)GetShipValue(&s);
          (void)GetShipPrice(&s);
          (void)GetShipBuildWork(&s);
          (void)GetShipName(&s);
          SetShipParts(&s, kPartsFrame, s.Parts[kPartsFrame]);
        }
      }
    });
    for (int t = 0; t < kTecCount; ++t) {
      (void)GetTecFundToMax(t);
      InvestTec(t, 999999);
    }
    for (int c = 0; c < kCountryCount; ++c) {
      (void)GetCountryName(c);
      (void)GetCountryRelationName(c, (c + 3) % kCountryCount);
      AddCountryFund(c, 2000000000);
    }
    for (int k = 0; k < kPartsKindCount; ++k) {
      for (int i = 0; i < GetPartsCount(k); ++i) {
        (void)GetPartsName(k, i);
        (void)IsPartsTecOk(GetPartsPtr(k, i));
      }
    }
    (void)f.HasError();
  }
  std::fclose(stream);
  return 0;
}
