#include "campaign/PartsNames.h"

#include <array>
#include <string>
#include <vector>

#include "platform/base/Sjis.h"

namespace vdmq {

namespace {

// Hulls 0..41 in class groups (laser destroyers, missile destroyers, laser cruisers, missile
// cruisers, defence satellites); 42..59 are unused slots of the catalogue.
constexpr std::array<const char*, kFrameNameCount> kFrameNames = {
    "アルメリア級駆逐艦", "アルメリア改級駆逐艦", "ベルガー級駆逐艦", "ベルガー改級駆逐艦",
    "カノープス級駆逐艦", "カノープス改級駆逐艦", "ディアナ級駆逐艦", "ディアナ改級駆逐艦",
    "エストック級駆逐艦", "エストック改級駆逐艦", "フェンサー級駆逐艦", "フェンサー改級駆逐艦",
    "グラディス級駆逐艦", "グラディス改級駆逐艦", "ハルバード級駆逐艦", "ハルバード改級駆逐艦",
    "イグニス級巡洋艦", "イグニス改級巡洋艦", "ジュノー級巡洋艦", "ジュノー改級巡洋艦",
    "ケストレル級巡洋艦", "ケストレル改級巡洋艦", "ルミナス級巡洋艦", "ルミナス改級巡洋艦",
    "マグナス級巡洋艦", "マグナス改級巡洋艦", "ネレイド級巡洋艦", "ネレイド改級巡洋艦",
    "オルトロス級巡洋艦", "オルトロス改級巡洋艦", "ペルセア級巡洋艦", "ペルセア改級巡洋艦",
    "防御衛星Ａ型", "防御衛星Ｂ型", "防御衛星Ｃ型", "防御衛星Ｄ型", "防御衛星Ｅ型",
    "防御衛星Ｆ型", "防御衛星Ｇ型", "防御衛星Ｈ型", "防御衛星Ｉ型", "防御衛星Ｊ型",
    "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", ""};

// Weapons 0..19 are beam weapons (type 1 slots), 20..39 missiles (type 2 slots).
constexpr std::array<const char*, kWeaponNameCount> kWeaponNames = {
    "軽レーザー砲", "レーザー砲", "重レーザー砲", "連装レーザー砲", "パルスレーザー",
    "高出力パルスレーザー", "粒子ビーム砲", "重粒子ビーム砲", "荷電粒子砲", "陽電子砲",
    "メーザー砲", "収束メーザー砲", "プラズマ砲", "重プラズマ砲", "ガンマ線レーザー",
    "Ｘ線レーザー", "フェーズドレーザー", "艦首レーザー砲", "長射程レーザー砲", "試作ビーム砲",
    "小型ミサイル", "ミサイル", "大型ミサイル", "連装ミサイル", "誘導ミサイル",
    "高速ミサイル", "長距離ミサイル", "多弾頭ミサイル", "対艦ミサイル", "重対艦ミサイル",
    "追尾魚雷", "宇宙魚雷", "重魚雷", "核融合弾頭ミサイル", "反物質ミサイル",
    "散布ミサイル", "高機動ミサイル", "ステルスミサイル", "艦隊決戦ミサイル", "試作ミサイル"};

// Engines 0..16; 17..19 are unused slots.
constexpr std::array<const char*, kEngineNameCount> kEngineNames = {
    "化学推進機関", "改良化学推進機関", "イオン推進機関", "改良イオン推進機関", "プラズマ推進機関",
    "改良プラズマ推進機関", "核融合機関", "改良核融合機関", "高出力核融合機関", "重水素機関",
    "反陽子機関", "改良反陽子機関", "反物質機関", "改良反物質機関", "重力推進機関",
    "慣性制御機関", "試作次元機関", "", "", ""};

constexpr std::array<const char*, kShieldNameCount> kShieldNames = {
    "防御フィールド", "改良防御フィールド", "電磁シールド", "改良電磁シールド", "偏向シールド",
    "重偏向シールド", "重力シールド", "多層重力シールド", "位相シールド", "絶対防御フィールド"};

// The CP932 form of a table, converted once.
template <std::size_t N>
std::vector<std::string> Convert(const std::array<const char*, N>& utf8) {
  std::vector<std::string> out;
  out.reserve(N);
  for (const char* s : utf8) out.push_back(Utf8ToSjis(s));
  return out;
}

const char* At(const std::vector<std::string>& table, int nameNum) {
  if (nameNum < 0 || static_cast<std::size_t>(nameNum) >= table.size()) return nullptr;
  return table[static_cast<std::size_t>(nameNum)].c_str();
}

}  // namespace

const char* FrameNameText(int nameNum) {
  static const std::vector<std::string> t = Convert(kFrameNames);
  return At(t, nameNum);
}
const char* WeaponNameText(int nameNum) {
  static const std::vector<std::string> t = Convert(kWeaponNames);
  return At(t, nameNum);
}
const char* EngineNameText(int nameNum) {
  static const std::vector<std::string> t = Convert(kEngineNames);
  return At(t, nameNum);
}
const char* ShieldNameText(int nameNum) {
  static const std::vector<std::string> t = Convert(kShieldNames);
  return At(t, nameNum);
}

}  // namespace vdmq
