#include "campaign/CharacterNames.h"

#include "platform/base/Sjis.h"

namespace vdmq {

namespace {

// The cast of the story, by name index: the Federation (0, 2, 3, 4, 6, 8, 10, 11), Seres (1, 12, 13,
// 28), Elysion (5, 25), the Empire (21, 22, 24), Ortensia (15, 17..20), the heads of the other
// countries (7, 9, 14, 16, 23, 26, 27), the planet defence (29) and generic officers (30..37).
const char* const kCharacterNamesUtf8[] = {
    "カイ・ローエン",
    "マルグリット・セラ",
    "エリ・ミナセ",
    "ガレス・ホーク",
    "ユウ・カザマ",
    "ディアン・ルーク",
    "アウグスト・ヴェルナー",
    "ハリド・アズラン",
    "ハインリヒ・ボルツ",
    "レオポルト・ミルヴァ",
    "クラリス・ノーマン",
    "オズワルド・レイン",
    "ペトラ・シルヴァ",
    "シモン・ラクロワ",
    "ミカエラ・ソーン",
    "エレオノーラ三世",
    "ギデオン・クラフト",
    "ロベルト・アルバ",
    "ヴィクトル・ザハ",
    "ミレイユ・カノン",
    "テオ・ブラン",
    "ルシアン・ノクス",
    "ゼクス・ゾルディア",
    "ヨナス・ヘルム",
    "グラウス・ベルンハルト",
    "イリア・フェルン",
    "アマネ",
    "ボリス・ラグナ",
    "ジャン・ルベル",
    "惑星防衛隊",
    "連邦軍士官",
    "帝国軍士官",
    "通信士",
    "整備班長",
    "偵察兵",
    "艦長",
    "参謀",
    "兵士",
};
static_assert(sizeof(kCharacterNamesUtf8) / sizeof(kCharacterNamesUtf8[0]) == kEventCharacterNameCount);

// Five profile lines per face, face-major; an empty line shows nothing. Lines are at most 20
// full-width characters (the information screen).
const char* const kProfilesUtf8[] = {
    // face 0
    "カイ・ローエン",
    "所属：ヴェルド連邦",
    "第一艦隊司令",
    "士官学校を首席で出た若き提督。",
    "慎重な用兵で兵の信頼を集める。",
    // face 1
    "マルグリット・セラ",
    "所属：セレス共和国",
    "大統領",
    "穏やかな物腰の奥に鋼の意志を持つ。",
    "連邦との同盟を何より重んじる。",
    // face 2
    "エリ・ミナセ",
    "所属：ヴェルド連邦",
    "第一艦隊司令付き副官",
    "几帳面で気配りの行き届いた才媛。",
    "司令の無理をいつも案じている。",
    // face 3
    "ガレス・ホーク",
    "所属：ヴェルド連邦",
    "提督",
    "二十年前の国境紛争を戦った古強者。",
    "若い司令官を陰に日向に支える。",
    // face 4
    "ユウ・カザマ",
    "所属：ヴェルド連邦",
    "第三艦隊司令",
    "血気盛んな若手の艦隊指揮官。",
    "先鋒を務めることを誇りとする。",
    // face 5
    "ディアン・ルーク",
    "所属：エリュシオン自由国",
    "アルカス守備隊長",
    "寡兵で帝国の猛攻に耐えた名将。",
    "口数は少ないが義理堅い。",
    // face 6
    "アウグスト・ヴェルナー",
    "所属：ヴェルド連邦",
    "大統領",
    "百年の平和を守ってきた老政治家。",
    "開戦の重責を一身に背負う。",
    // face 7
    "ハリド・アズラン",
    "所属：カルダ首長国",
    "首長",
    "砂の星々を束ねる誇り高き首長。",
    "大国の争いには距離を置く。",
    // face 8
    "ハインリヒ・ボルツ",
    "所属：ヴェルド連邦",
    "統合作戦本部長",
    "兵站と作戦立案に長けた参謀の長。",
    "数字よりも兵の命を口にする。",
    // face 9
    "レオポルト・ミルヴァ",
    "所属：ミルヴァ公国",
    "大公",
    "芸術を愛する温厚な君主。",
    "戦乱を憂い、中立を守る。",
    // face 10
    "クラリス・ノーマン",
    "所属：ヴェルド連邦",
    "国防委員長",
    "戦費と犠牲に厳しい目を向ける。",
    "評議会きっての論客。",
    // face 11
    "オズワルド・レイン",
    "所属：ヴェルド連邦",
    "宇宙艦隊司令長官",
    "積極攻勢を説く連邦軍の重鎮。",
    "前線の若き司令官に期待を寄せる。",
    // face 12
    "ペトラ・シルヴァ",
    "所属：セレス共和国",
    "連絡武官・少佐",
    "情報部出身の気の強い才女。",
    "連邦の戦いを間近で見届ける。",
    // face 13
    "シモン・ラクロワ",
    "所属：セレス共和国",
    "国防長官",
    "慎重で実務に明るい大統領の右腕。",
    "北の国境の守りを預かる。",
    // face 14
    "ミカエラ・ソーン",
    "所属：トルネ自治連合",
    "代表",
    "自治を重んじる連合の調停役。",
    "どの陣営とも等しく付き合う。",
    // face 15
    "エレオノーラ三世",
    "所属：オルテンシア王国",
    "女王",
    "機知に富み、人を試すのを好む。",
    "王国の行く末を冷静に見定める。",
    // face 16
    "ギデオン・クラフト",
    "所属：ハイゼル共和国",
    "大統領",
    "商才で成り上がった実業家出身。",
    "戦争の行方に商機を探る。",
    // face 17
    "ロベルト・アルバ",
    "所属：オルテンシア王国",
    "宰相",
    "女王に長く仕える老練な宰相。",
    "甘い話の裏を必ず疑う。",
    // face 18
    "ヴィクトル・ザハ",
    "所属：オルテンシア王国",
    "将軍",
    "王国軍を率いる実直な武人。",
    "勝ち目のない戦には与しない。",
    // face 19
    "ミレイユ・カノン",
    "所属：オルテンシア王国",
    "情報卿",
    "銀河中に目と耳を持つ女傑。",
    "帝国の内情にも通じている。",
    // face 20
    "テオ・ブラン",
    "所属：オルテンシア王国",
    "外務卿",
    "各国の使節を迎える温和な外交官。",
    "約束の重みをよく知っている。",
    // face 21
    "ルシアン・ノクス",
    "所属：ゾルディア帝国",
    "外交特使",
    "弁舌巧みな皇帝の懐刀。",
    "王国を帝国側に引き込もうと動く。",
    // face 22
    "ゼクス・ゾルディア",
    "所属：ゾルディア帝国",
    "皇帝",
    "銀河の東半分を望む野心家。",
    "帝都を捨てることを潔しとしない。",
    // face 23
    "ヨナス・ヘルム",
    "所属：ベルカ通商連合",
    "議長",
    "星間交易を牛耳る商人たちの長。",
    "戦乱を商売の好機と見ている。",
    // face 24
    "グラウス・ベルンハルト",
    "所属：ゾルディア帝国",
    "元帥",
    "慎重にして容赦のない帝国の名将。",
    "皇太子時代から皇帝に仕える。",
    // face 25
    "イリア・フェルン",
    "所属：エリュシオン自由国",
    "首相",
    "小国を率いて帝国に抗う女性首相。",
    "アルカスの守備隊を信じている。",
    // face 26
    "アマネ",
    "所属：ナーガ教国",
    "聖主",
    "教国を導く神秘の指導者。",
    "その素顔を知る者は少ない。",
    // face 27
    "ボリス・ラグナ",
    "所属：ラグナ辺境領",
    "辺境伯",
    "辺境の星々を治める武骨な領主。",
    "他国の争いに関わるのを嫌う。",
    // face 28
    "ジャン・ルベル",
    "所属：セレス共和国",
    "宇宙艦隊司令",
    "国境の守りを固めるセレスの提督。",
    "大統領の決断を黙して支える。",
    // face 29
    "防御衛星を操る惑星防衛の要。",
    "",
    "",
    "",
    "",
    // face 30: the generic officers have no profile
    "",
    "",
    "",
    "",
    "",
    // face 31: the generic officers have no profile
    "",
    "",
    "",
    "",
    "",
    // face 32: the generic officers have no profile
    "",
    "",
    "",
    "",
    "",
    // face 33: the generic officers have no profile
    "",
    "",
    "",
    "",
    "",
    // face 34: the generic officers have no profile
    "",
    "",
    "",
    "",
    "",
    // face 35: the generic officers have no profile
    "",
    "",
    "",
    "",
    "",
    // face 36: the generic officers have no profile
    "",
    "",
    "",
    "",
    "",
    // face 37: the generic officers have no profile
    "",
    "",
    "",
    "",
    "",
};
static_assert(sizeof(kProfilesUtf8) / sizeof(kProfilesUtf8[0]) ==
              kEventCharacterProfileCount * kEventCharacterProfileLineCount);

}  // namespace

const char* EventCharacterNameText(int nameNum) {
  static const TSjisTable names(kCharacterNamesUtf8);
  return names.At(nameNum);
}

const char* EventCharacterProfileText(int cg, int line) {
  if (cg < 0 || cg >= kEventCharacterProfileCount || line < 0 || line >= kEventCharacterProfileLineCount) {
    return nullptr;
  }
  static const TSjisTable lines(kProfilesUtf8);
  return lines.At(cg * kEventCharacterProfileLineCount + line);
}

}  // namespace vdmq
