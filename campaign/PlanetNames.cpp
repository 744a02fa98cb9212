#include "campaign/PlanetNames.h"

#include "platform/base/Sjis.h"

namespace vdmq {

namespace {

// The planet names, by name index: 0 the Federation's capital, 1..8 the Empire (3 its capital),
// 55 Elysion's outpost Arkas, and the capitals of the other countries.
const char* const kPlanetNamesUtf8[] = {
    "ヴェルディア", "ラドム",       "ガルム",     "ゾルデン", "エルナス",     "フォルティス", "ガレオン",
    "ハーシェル",   "イオラ",       "ジェナス",   "カルナ",   "リゲラ",       "ミルザ",       "ネブロス",
    "オルド",       "ペルセア",     "クオリス",   "ラザム",   "セリオン",     "タウラス",     "ウルガ",
    "ヴェスタ",     "ワルド",       "ゼノン",     "アクイラ", "ブラント",     "セフェウス",   "ドラコ",
    "エリダ",       "フェニクス",   "グラディス", "ヘリオス", "イシュタル",   "ジュノ",       "ケプラ",
    "ライラ",       "マイア",       "ノクス",     "オリオ",   "プロキア",     "ケレス",       "ロンダ",
    "シリウス",     "テティス",     "ウラヌ",     "ヴィレム", "ウェガ",       "クシー",       "ユラン",
    "ザイオン",     "アンタル",     "ボレアス",   "カペラ",   "ノイエ",       "エウロパ",     "アルカス",
    "リンデン",     "セレスティア", "エリュシア", "ジャスパ", "オルテンシア", "ルクス",       "メリダ",
    "ナディア",     "カルダ",       "パラス",     "クヴァル", "レグルス",     "ミルヴァ",     "タイタン",
    "ウンブラ",     "ヴォルガ",     "トルネ",     "キサラ",   "ヨルン",       "ゼフィル",     "ハイゼル",
    "ベガロン",     "クロノ",       "ディアナ",   "ベルカ",   "ファルナ",     "ゴルド",       "ヒュドラ",
    "ナーガ",       "ジーク",       "カノン",     "ルナリア", "ラグナ",       "ネレイド",     "オーロラ",
    "ポラリス",     "クイン",       "ラムダ",     "ソレイユ", "トリトン",     "ユリシア",     "ヴァルナ",
    "ウォルフ",     "ゼータ",
};
static_assert(sizeof(kPlanetNamesUtf8) / sizeof(kPlanetNamesUtf8[0]) == kPlanetNameCount);

}  // namespace

const char* PlanetNameText(int nameNum) {
  static const TSjisTable names(kPlanetNamesUtf8);
  return names.At(nameNum);
}

}  // namespace vdmq
