#include "campaign/CharacterNames.h"

#include <string>

#include "platform/base/Sjis.h"

namespace vdmq {

namespace {

// The event character names, by name index.
const char* const kCharacterNamesUtf8[] = {
    "アイリス・ノア", "リーゼ・ハイト", "セラ・ミネルバ", "ガルド・ブレイズ",
    "エルザ・クライン", "ユーリ・ヴォルフ", "カミラ・ローデン", "ダグラス・ヘイル",
    "ミーナ・ソレル", "レオン・アスター", "ノエル・ファーン", "ヴィンセント・ロウ",
    "シェリル・マーロウ", "オズワルド・グレイ", "フィオナ・ラーク", "アルマ・ベルツ",
    "ギルバート・ドーン", "ハンナ・ルーツ", "イザーク・モルト", "ジーナ・カーヴェル",
    "コンラート・エルム", "ロザリア・フェイ", "マグナス・トール", "ニーナ・ウェスト",
    "オットー・バルク", "パトリシア・リード", "クラウディア・ヴェイン", "ラルフ・ストーン",
    "シオン・アークライト", "タチアナ・ミラー", "ウォルター・ケイン", "ヴェロニカ・サージ",
    "ヨアヒム・クロス", "ゼルダ・ハーン", "アドラー・グリム", "ベルナ・ソウル",
    "カスパー・ノート", "名無しの兵士",
};
static_assert(sizeof(kCharacterNamesUtf8) / sizeof(kCharacterNamesUtf8[0]) == kEventCharacterNameCount);

// Five profile lines per face, face-major; an empty line shows nothing.
const char* const kProfilesUtf8[] = {
    // face 0
    "アイリス・ノア",
    "所属：ヴェルド連邦",
    "役職：提督",
    "冷静な判断で数々の戦局を切り抜けてきた。",
    "その瞳は遥かな星の海を見つめている。",
    // face 1
    "リーゼ・ハイト",
    "所属：ガルシア帝国",
    "役職：副官",
    "熱い心で部下たちの信頼を集めている。",
    "その瞳は遥かな星の海を見つめている。",
    // face 2
    "セラ・ミネルバ",
    "所属：ノルン共和国",
    "役職：参謀",
    "冷静な判断で数々の戦局を切り抜けてきた。",
    "その瞳は遥かな星の海を見つめている。",
    // face 3
    "ガルド・ブレイズ",
    "所属：ザイラス王国",
    "役職：艦長",
    "熱い心で部下たちの信頼を集めている。",
    "その瞳は遥かな星の海を見つめている。",
    // face 4
    "エルザ・クライン",
    "所属：エルファ自治領",
    "役職：大統領",
    "冷静な判断で数々の戦局を切り抜けてきた。",
    "その瞳は遥かな星の海を見つめている。",
    // face 5
    "ユーリ・ヴォルフ",
    "所属：バルディア公国",
    "役職：宰相",
    "熱い心で部下たちの信頼を集めている。",
    "その瞳は遥かな星の海を見つめている。",
    // face 6
    "カミラ・ローデン",
    "所属：ミストラル連合",
    "役職：将軍",
    "冷静な判断で数々の戦局を切り抜けてきた。",
    "その瞳は遥かな星の海を見つめている。",
    // face 7
    "ダグラス・ヘイル",
    "所属：オーベル首長国",
    "役職：技術士官",
    "熱い心で部下たちの信頼を集めている。",
    "その瞳は遥かな星の海を見つめている。",
    // face 8
    "ミーナ・ソレル",
    "所属：リーデン共和国",
    "役職：情報将校",
    "冷静な判断で数々の戦局を切り抜けてきた。",
    "その瞳は遥かな星の海を見つめている。",
    // face 9
    "レオン・アスター",
    "所属：カザン帝国",
    "役職：傭兵隊長",
    "熱い心で部下たちの信頼を集めている。",
    "その瞳は遥かな星の海を見つめている。",
    // face 10
    "ノエル・ファーン",
    "所属：セリオス同盟",
    "役職：提督",
    "冷静な判断で数々の戦局を切り抜けてきた。",
    "その瞳は遥かな星の海を見つめている。",
    // face 11
    "ヴィンセント・ロウ",
    "所属：トラキア王国",
    "役職：副官",
    "熱い心で部下たちの信頼を集めている。",
    "その瞳は遥かな星の海を見つめている。",
    // face 12
    "シェリル・マーロウ",
    "所属：ヴェルド連邦",
    "役職：参謀",
    "冷静な判断で数々の戦局を切り抜けてきた。",
    "その瞳は遥かな星の海を見つめている。",
    // face 13
    "オズワルド・グレイ",
    "所属：ガルシア帝国",
    "役職：艦長",
    "熱い心で部下たちの信頼を集めている。",
    "その瞳は遥かな星の海を見つめている。",
    // face 14
    "フィオナ・ラーク",
    "所属：ノルン共和国",
    "役職：大統領",
    "冷静な判断で数々の戦局を切り抜けてきた。",
    "その瞳は遥かな星の海を見つめている。",
    // face 15
    "アルマ・ベルツ",
    "所属：ザイラス王国",
    "役職：宰相",
    "熱い心で部下たちの信頼を集めている。",
    "その瞳は遥かな星の海を見つめている。",
    // face 16
    "ギルバート・ドーン",
    "所属：エルファ自治領",
    "役職：将軍",
    "",
    "",
    // face 17
    "ハンナ・ルーツ",
    "所属：バルディア公国",
    "役職：技術士官",
    "",
    "",
    // face 18
    "イザーク・モルト",
    "所属：ミストラル連合",
    "役職：情報将校",
    "",
    "",
    // face 19
    "ジーナ・カーヴェル",
    "所属：オーベル首長国",
    "役職：傭兵隊長",
    "",
    "",
    // face 20
    "コンラート・エルム",
    "所属：リーデン共和国",
    "役職：提督",
    "",
    "",
    // face 21
    "ロザリア・フェイ",
    "所属：カザン帝国",
    "役職：副官",
    "",
    "",
    // face 22
    "マグナス・トール",
    "所属：セリオス同盟",
    "役職：参謀",
    "",
    "",
    // face 23
    "ニーナ・ウェスト",
    "所属：トラキア王国",
    "役職：艦長",
    "",
    "",
    // face 24
    "オットー・バルク",
    "所属：ヴェルド連邦",
    "役職：大統領",
    "",
    "",
    // face 25
    "パトリシア・リード",
    "所属：ガルシア帝国",
    "役職：宰相",
    "",
    "",
    // face 26
    "クラウディア・ヴェイン",
    "所属：ノルン共和国",
    "役職：将軍",
    "",
    "",
    // face 27
    "ラルフ・ストーン",
    "所属：ザイラス王国",
    "役職：技術士官",
    "",
    "",
    // face 28
    "シオン・アークライト",
    "所属：エルファ自治領",
    "役職：情報将校",
    "",
    "",
    // face 29
    "タチアナ・ミラー",
    "所属：バルディア公国",
    "役職：傭兵隊長",
    "",
    "",
    // face 30
    "ウォルター・ケイン",
    "所属：ミストラル連合",
    "役職：提督",
    "",
    "",
    // face 31
    "ヴェロニカ・サージ",
    "所属：オーベル首長国",
    "役職：副官",
    "",
    "",
    // face 32
    "ヨアヒム・クロス",
    "所属：リーデン共和国",
    "役職：参謀",
    "",
    "",
    // face 33
    "ゼルダ・ハーン",
    "所属：カザン帝国",
    "役職：艦長",
    "",
    "",
    // face 34
    "アドラー・グリム",
    "所属：セリオス同盟",
    "役職：大統領",
    "",
    "",
    // face 35
    "ベルナ・ソウル",
    "所属：トラキア王国",
    "役職：宰相",
    "",
    "",
    // face 36
    "カスパー・ノート",
    "所属：ヴェルド連邦",
    "役職：将軍",
    "",
    "",
    // face 37
    "名無しの兵士",
    "所属：ガルシア帝国",
    "役職：技術士官",
    "",
    "",
};
static_assert(sizeof(kProfilesUtf8) / sizeof(kProfilesUtf8[0]) ==
              kEventCharacterProfileCount * kEventCharacterProfileLineCount);

// The texts are converted to CP932 once, on first use.
const std::string* Converted(const char* const* utf8, int count) {
  auto* out = new std::string[count];
  for (int i = 0; i < count; ++i) out[i] = Utf8ToSjis(utf8[i]);
  return out;
}

}  // namespace

const char* EventCharacterNameText(int nameNum) {
  if (nameNum < 0 || nameNum >= kEventCharacterNameCount) return nullptr;
  static const std::string* names = Converted(kCharacterNamesUtf8, kEventCharacterNameCount);
  return names[nameNum].c_str();
}

const char* EventCharacterProfileText(int cg, int line) {
  if (cg < 0 || cg >= kEventCharacterProfileCount || line < 0 || line >= kEventCharacterProfileLineCount) {
    return nullptr;
  }
  static const std::string* lines =
      Converted(kProfilesUtf8, kEventCharacterProfileCount * kEventCharacterProfileLineCount);
  return lines[cg * kEventCharacterProfileLineCount + line].c_str();
}

}  // namespace vdmq
