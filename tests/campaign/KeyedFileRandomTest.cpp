// Bounded random-input test of the keyed data file readers: damaged copies of a good new-game
// file (flipped bytes, cut ends, spliced pieces, random counts) must be refused with a game error
// or read, never crash or run past a buffer (the sanitizer build checks the latter).

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "campaign/Country.h"
#include "campaign/Parts.h"
#include "campaign/Save.h"
#include "campaign/Tec.h"
#include "support/KeyedBytes.h"

using namespace vdmq;
using vdmq::test::TKeyedBytes;
using vdmq::test::TTempStream;

namespace {

std::string GoodNewGameFile() {
  std::mt19937 rng(5);
  auto ints = [&](int n) {
    std::vector<std::int32_t> v(static_cast<std::size_t>(n));
    for (auto& x : v) x = static_cast<std::int32_t>(rng() % 2000) - 100;
    return v;
  };
  TKeyedBytes b;
  b.Ints("TEC_LEV_UP_FUND", ints(100))
      .Ints("COUNTRY_NAME", ints(14))
      .Ints("COUNTRY_TURN", ints(14))
      .Ints("COUNTRY_PRESIDENT", ints(14))
      .Ints("COUNTRY_CAPITAL", ints(14))
      .Ints("COUNTRY_STD_FUND", ints(14))
      .Ints("COUNTRY_FUND", ints(14))
      .Ints("COUNTRY_INCOME_FUND", ints(14))
      .Bytes("COUNTRY_RELATION", "char", std::vector<std::uint8_t>(196, 2))
      .Ints("FRAME_PARTS", ints(660))
      .Ints("FRAME_BODY", ints(120))
      .Ints("FRAME_MOVE_STEP", ints(60))
      .Ints("WEAPON_PARTS", ints(440))
      .Ints("WEAPON_WEAPON", ints(280))
      .Ints("ENGINE_PARTS", ints(220))
      .Ints("ENGINE_ENGINE", ints(40))
      .Ints("SHIELD_PARTS", ints(110))
      .Ints("SHIELD_SHIELD", ints(40))
      .Bytes("FRAME_ENABLED", "bool", std::vector<std::uint8_t>(60, 1))
      .Bytes("WEAPON_ENABLED", "bool", std::vector<std::uint8_t>(40, 1))
      .Bytes("ENGINE_ENABLED", "bool", std::vector<std::uint8_t>(20, 1))
      .Bytes("SHIELD_ENABLED", "bool", std::vector<std::uint8_t>(10, 1));
  return b.str();
}

// Runs every reader in new-game order; true when the whole file was read without any error.
bool ReadAll(const std::string& bytes) {
  TTempStream s(bytes);
  TDatFile f(s.get());
  try {
    SaveLoadTec(&f, kSaveModeNew);
    SaveLoadCountry(&f, kSaveModeNew);
    SaveLoadCountryRelation(&f, kSaveModeNew);
    SaveLoadParts(&f, kSaveModeNew);
  } catch (const EGameError&) {
    return false;
  }
  // Whatever was read, the quiet accessors stay within their tables.
  for (int t = 0; t < kTecCount; ++t) {
    (void)GetTecFundToMax(t);
    InvestTec(t, 999999);
  }
  for (int c = 0; c < kCountryCount; ++c) {
    (void)GetCountryName(c);
    (void)GetCountryRelationName(c, 13 - c);
  }
  for (int k = 0; k < kPartsKindCount; ++k)
    for (int i = 0; i < GetPartsCount(k); ++i) (void)GetPartsName(k, i);
  return !f.HasError();
}

}  // namespace

TEST(KeyedFileRandom, GoodFileReadsAndDamagedCopiesNeverCrash) {
  const std::string good = GoodNewGameFile();
  ASSERT_TRUE(ReadAll(good));
  std::mt19937 rng(20261209);
  int refused = 0;
  for (int round = 0; round < 1500; ++round) {
    std::string bad = good;
    switch (round % 5) {
      case 0:  // flipped bytes
        for (int i = 0; i < 1 + static_cast<int>(rng() % 8); ++i) bad[rng() % bad.size()] = static_cast<char>(rng());
        break;
      case 1:  // cut end
        bad.resize(rng() % bad.size());
        break;
      case 2: {  // a huge or random count somewhere
        const std::size_t at = rng() % (bad.size() - 4);
        const std::uint32_t n = (rng() & 1) ? 0xFFFFFFFFu : static_cast<std::uint32_t>(rng());
        std::memcpy(&bad[at], &n, 4);
        break;
      }
      case 3: {  // a piece spliced elsewhere
        const std::size_t from = rng() % bad.size();
        const std::size_t len = rng() % 64;
        bad.insert(rng() % bad.size(), good.substr(from, len));
        break;
      }
      default:  // pure noise
        bad.assign(rng() % 512, '\0');
        for (char& c : bad) c = static_cast<char>(rng());
        break;
    }
    refused += !ReadAll(bad);
  }
  EXPECT_GT(refused, 300);  // damage is noticed, not silently accepted
}
