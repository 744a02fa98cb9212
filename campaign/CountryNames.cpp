#include "campaign/CountryNames.h"

#include <array>

#include "platform/base/Sjis.h"

namespace vdmq {

namespace {

// Twelve countries of the scenario; the last two slots are the countries that no longer exist.
constexpr std::array<const char*, kCountryNameCount> kCountryNames = {
    "ヴェルド連邦",
    "セレス共和国",
    "オルテンシア王国",
    "カルダ首長国",
    "ミルヴァ公国",
    "トルネ自治連合",
    "ハイゼル共和国",
    "ゾルディア帝国",
    "ベルカ通商連合",
    "エリュシオン自由国",
    "ナーガ教国",
    "ラグナ辺境領",
    "",
    "",
};

}  // namespace

const char* CountryNameText(int nameNum) {
  static const TSjisTable names(kCountryNames);
  return names.At(nameNum);
}

}  // namespace vdmq
