#include "campaign/PartsNames.h"

#include <array>

#include "platform/base/Sjis.h"

namespace vdmq {

namespace {

// Hulls: the Federation's line 0..11 and 13..19, country 10's saucer 12, the foreign hulls 20..31,
// unused slots 32..49 and the defence satellites 50..59.
constexpr std::array<const char*, kFrameNameCount> kFrameNames = {
    "アルテア級巡洋艦",
    "ファルコ級駆逐艦",
    "スパロー級駆逐艦",
    "バスティオン級巡洋艦",
    "オリオン級巡洋艦",
    "ハヤブサ級駆逐艦",
    "ツバメ級駆逐艦",
    "ガーディアン級巡洋艦",
    "セレスタ級巡洋艦",
    "レイピア級駆逐艦",
    "ランサー級駆逐艦",
    "フォートレス級巡洋艦",
    "ナーガ式円盤艦",
    "ヴェルディア級巡洋艦",
    "アイギス級巡洋艦",
    "シルフ級駆逐艦",
    "ウンディーネ級駆逐艦",
    "エクセリオン級巡洋艦",
    "ミョルニル級巡洋艦",
    "ヴェルドマルク級巡洋艦",
    "ゾルド級駆逐艦",
    "グラーフ級駆逐艦",
    "カルダ級駆逐艦",
    "ミルヴァ級駆逐艦",
    "ローゼン級巡洋艦",
    "リリウム級巡洋艦",
    "アズール級巡洋艦",
    "ベルカ級巡洋艦",
    "メルカトル級巡洋艦",
    "トルネ級巡洋艦",
    "ハイゼル級駆逐艦",
    "ラグナ級駆逐艦",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "哨戒衛星",
    "防御衛星",
    "重防御衛星",
    "要塞衛星",
    "迎撃衛星",
    "カルダ式衛星",
    "ナーガ式衛星",
    "帝国式衛星",
    "王国式衛星",
    "ベルカ式衛星",
};

// Weapons: lasers 0..9 and missiles 10..19 (first slot), light missiles 20..29 and torpedoes
// 30..39 (second slot).
constexpr std::array<const char*, kWeaponNameCount> kWeaponNames = {
    "軽レーザー砲",   "レーザー砲",     "連装レーザー砲",   "パルスレーザー", "重レーザー砲",     "高出力レーザー",
    "粒子ビーム砲",   "重粒子ビーム砲", "陽電子砲",         "艦隊決戦砲",     "ミサイル",         "改良ミサイル",
    "長距離ミサイル", "誘導ミサイル",   "高速ミサイル",     "重ミサイル",     "多弾頭ミサイル",   "対艦ミサイル",
    "重対艦ミサイル", "戦略ミサイル",   "小型ミサイル",     "迎撃ミサイル",   "連装小型ミサイル", "高機動ミサイル",
    "散布ミサイル",   "近接ミサイル",   "誘導小型ミサイル", "群体ミサイル",   "電子戦ミサイル",   "ステルスミサイル",
    "宇宙魚雷",       "改良魚雷",       "重魚雷",           "追尾魚雷",       "長射程魚雷",       "核融合魚雷",
    "連装魚雷",       "重核融合魚雷",   "反物質魚雷",       "艦隊決戦魚雷",
};

// Engines: warship engines 0..11, unused slots 12..14, satellite thrusters 15..19.
constexpr std::array<const char*, kEngineNameCount> kEngineNames = {
    "化学推進機関",
    "改良化学推進機関",
    "イオン推進機関",
    "改良イオン推進機関",
    "プラズマ推進機関",
    "改良プラズマ推進機関",
    "核融合機関",
    "改良核融合機関",
    "高出力核融合機関",
    "反陽子機関",
    "改良反陽子機関",
    "反物質機関",
    "",
    "",
    "",
    "姿勢制御推進器",
    "改良姿勢制御推進器",
    "衛星用イオン推進器",
    "衛星用プラズマ推進器",
    "衛星用核融合推進器",
};

constexpr std::array<const char*, kShieldNameCount> kShieldNames = {
    "防御フィールド", "改良防御フィールド", "電磁シールド",     "改良電磁シールド", "偏向シールド",
    "重偏向シールド", "重力シールド",       "多層重力シールド", "位相シールド",     "絶対防御フィールド"};

}  // namespace

const char* FrameNameText(int nameNum) {
  static const TSjisTable names(kFrameNames);
  return names.At(nameNum);
}
const char* WeaponNameText(int nameNum) {
  static const TSjisTable names(kWeaponNames);
  return names.At(nameNum);
}
const char* EngineNameText(int nameNum) {
  static const TSjisTable names(kEngineNames);
  return names.At(nameNum);
}
const char* ShieldNameText(int nameNum) {
  static const TSjisTable names(kShieldNames);
  return names.At(nameNum);
}

}  // namespace vdmq
