#include "campaign/CmdNames.h"

#include <string>

#include "platform/base/Sjis.h"

namespace vdmq {

namespace {

// The commander names, by name index: 0..2 and 4..12 the Federation's officers (0 the hero of the
// story), 3 the garrison commander of Arkas, 13..24 the Empire's, 25..104 the other countries'.
const char* const kCmdNamesUtf8[] = {
    "カイ・ローエン", "ガレス・ホーク", "ユウ・カザマ",
    "ディアン・ルーク", "エミール・ノイマン", "フランツ・ローゼン",
    "ギュンター・ウルマン", "ハンス・ツェラー", "イワン・クラーマー",
    "ユリアン・フィッシャー", "クラウス・イェーガー", "レオン・メルツ",
    "マルコ・プファイル", "グラウス・ベルンハルト", "オスカー・ヴァーグナー",
    "パウル・ブラウン", "ルドルフ・エッカート", "ステファン・ハルトマン",
    "トーマス・ランゲ", "ヴィクトル・オルブリヒ", "ヴァルター・シュタイン",
    "ヨハン・フォーゲル", "アンナ・アイゼン", "ベアトリス・ドレスラー",
    "セシル・ゲルバー", "ドロテア・カウフマン", "エレナ・ノイマン",
    "フリーダ・ローゼン", "グレタ・ウルマン", "ヘレナ・ツェラー",
    "イリーナ・クラーマー", "ユーリア・フィッシャー", "アレクス・イェーガー",
    "ロベルト・アルバ", "ヴィクトル・ザハ", "ミレイユ・カノン",
    "テオ・ブラン", "フランツ・ブラウン", "ギュンター・エッカート",
    "ハンス・ハルトマン", "イワン・ランゲ", "ユリアン・オルブリヒ",
    "クラウス・シュタイン", "レオン・フォーゲル", "マルコ・アイゼン",
    "ニコラ・ドレスラー", "オスカー・ゲルバー", "パウル・カウフマン",
    "ルドルフ・ノイマン", "ステファン・ローゼン", "トーマス・ウルマン",
    "ヴィクトル・ツェラー", "ヴァルター・クラーマー", "ヨハン・フィッシャー",
    "アンナ・イェーガー", "ベアトリス・メルツ", "セシル・プファイル",
    "ドロテア・トラウト", "エレナ・ヴァーグナー", "フリーダ・ブラウン",
    "グレタ・エッカート", "ヘレナ・ハルトマン", "イリーナ・ランゲ",
    "ユーリア・オルブリヒ", "アレクス・シュタイン", "ベルント・フォーゲル",
    "カイル・アイゼン", "ダリオ・ドレスラー", "エミール・ゲルバー",
    "フランツ・カウフマン", "ギュンター・ノイマン", "ハンス・ローゼン",
    "イワン・ウルマン", "ユリアン・ツェラー", "クラウス・クラーマー",
    "レオン・フィッシャー", "マルコ・イェーガー", "ニコラ・メルツ",
    "オスカー・プファイル", "パウル・トラウト", "ルドルフ・ヴァーグナー",
    "ステファン・ブラウン", "トーマス・エッカート", "ヴィクトル・ハルトマン",
    "ヴァルター・ランゲ", "ヨハン・オルブリヒ", "アンナ・シュタイン",
    "ベアトリス・フォーゲル", "セシル・アイゼン", "ドロテア・ドレスラー",
    "エレナ・ゲルバー", "フリーダ・カウフマン", "グレタ・ノイマン",
    "ヘレナ・ローゼン", "イリーナ・ウルマン", "ユーリア・ツェラー",
    "アレクス・クラーマー", "ベルント・フィッシャー", "カイル・イェーガー",
    "ダリオ・メルツ", "エミール・プファイル", "フランツ・トラウト",
    "ギュンター・ヴァーグナー", "ハンス・ブラウン", "イワン・エッカート",
    "ユリアン・ハルトマン", "クラウス・ランゲ", "レオン・オルブリヒ",
    "マルコ・シュタイン", "ニコラ・フォーゲル", "オスカー・アイゼン",
    "パウル・ドレスラー", "ルドルフ・ゲルバー", "ステファン・カウフマン",
    "トーマス・ノイマン", "ヴィクトル・ローゼン", "ヴァルター・ウルマン",
    "ヨハン・ツェラー", "アンナ・クラーマー", "ベアトリス・フィッシャー",
};
static_assert(sizeof(kCmdNamesUtf8) / sizeof(kCmdNamesUtf8[0]) == kCmdNameCount);

// The commander class names, by class index.
const char* const kCmdClassNamesUtf8[] = {
    "少尉", "中尉", "大尉", "少佐", "中佐", "大佐", "准将", "提督",
};
static_assert(sizeof(kCmdClassNamesUtf8) / sizeof(kCmdClassNamesUtf8[0]) == kCmdClassNameTextCount);

// The texts are converted to CP932 once, on first use.
const std::string* Converted(const char* const* utf8, int count) {
  auto* out = new std::string[count];
  for (int i = 0; i < count; ++i) out[i] = Utf8ToSjis(utf8[i]);
  return out;
}

}  // namespace

const char* CmdNameText(int nameNum) {
  if (nameNum < 0 || nameNum >= kCmdNameCount) return nullptr;
  static const std::string* names = Converted(kCmdNamesUtf8, kCmdNameCount);
  return names[nameNum].c_str();
}

const char* CmdClassNameText(int classNum) {
  if (classNum < 0 || classNum >= kCmdClassNameTextCount) return nullptr;
  static const std::string* names = Converted(kCmdClassNamesUtf8, kCmdClassNameTextCount);
  return names[classNum].c_str();
}

}  // namespace vdmq
