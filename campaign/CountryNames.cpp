#include "campaign/CountryNames.h"

#include <array>
#include <string>
#include <vector>

#include "platform/base/Sjis.h"

namespace vdmq {

namespace {

// Twelve countries of the scenario; the last two slots are unused.
constexpr std::array<const char*, kCountryNameCount> kCountryNames = {
    "ヴェルド連邦", "ガルシア帝国", "ノルン共和国", "ザイラス王国", "エルファ自治領",
    "バルディア公国", "ミストラル連合", "オーベル首長国", "リーデン共和国", "カザン帝国",
    "セリオス同盟", "トラキア王国", "", ""};

}  // namespace

const char* CountryNameText(int nameNum) {
  static const std::vector<std::string> table = [] {
    std::vector<std::string> t;
    for (const char* s : kCountryNames) t.push_back(Utf8ToSjis(s));
    return t;
  }();
  if (nameNum < 0 || nameNum >= kCountryNameCount) return nullptr;
  return table[static_cast<std::size_t>(nameNum)].c_str();
}

}  // namespace vdmq
