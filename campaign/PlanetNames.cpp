#include "campaign/PlanetNames.h"

#include <string>

#include "platform/base/Sjis.h"

namespace vdmq {

namespace {

// The planet names, by name index.
const char* const kPlanetNamesUtf8[] = {
    "アルデラン", "ベルガ", "カシオン", "デネブラ", "エルナス",
    "フォルティス", "ガレオン", "ハーシェル", "イオラ", "ジェナス",
    "カルナ", "リゲラ", "ミルザ", "ネブロス", "オルド",
    "ペルセア", "クオリス", "ラザム", "セリオン", "タウラス",
    "ウルガ", "ヴェスタ", "ワルド", "ゼノン", "アクイラ",
    "ブラント", "セフェウス", "ドラコ", "エリダ", "フェニクス",
    "グラディス", "ヘリオス", "イシュタル", "ジュノ", "ケプラ",
    "ライラ", "マイア", "ノクス", "オリオ", "プロキア",
    "ケレス", "ロンダ", "シリウス", "テティス", "ウラヌ",
    "ヴィレム", "ウェガ", "クシー", "ユラン", "ザイオン",
    "アンタル", "ボレアス", "カペラ", "ディオネ", "エウロパ",
    "フレイ", "ガニメ", "ハダル", "インディ", "ジャスパ",
    "キュロス", "ルクス", "メリダ", "ナディア", "オベロン",
    "パラス", "クヴァル", "レグルス", "スピカ", "タイタン",
    "ウンブラ", "ヴォルガ", "ウィスプ", "キサラ", "ヨルン",
    "ゼフィル", "アトラ", "ベガロン", "クロノ", "ディアナ",
    "エオス", "ファルナ", "ゴルド", "ヒュドラ", "イカロス",
    "ジーク", "カノン", "ルナリア", "モルガ", "ネレイド",
    "オーロラ", "ポラリス", "クイン", "ラムダ", "ソレイユ",
    "トリトン", "ユリシア", "ヴァルナ", "ウォルフ", "ゼータ",
};
static_assert(sizeof(kPlanetNamesUtf8) / sizeof(kPlanetNamesUtf8[0]) == kPlanetNameCount);

// The texts are converted to CP932 once, on first use.
const std::string* Converted(const char* const* utf8, int count) {
  auto* out = new std::string[count];
  for (int i = 0; i < count; ++i) out[i] = Utf8ToSjis(utf8[i]);
  return out;
}

}  // namespace

const char* PlanetNameText(int nameNum) {
  if (nameNum < 0 || nameNum >= kPlanetNameCount) return nullptr;
  static const std::string* names = Converted(kPlanetNamesUtf8, kPlanetNameCount);
  return names[nameNum].c_str();
}

}  // namespace vdmq
