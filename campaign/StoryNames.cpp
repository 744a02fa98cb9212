#include "campaign/StoryNames.h"

#include <string>

#include "platform/base/Sjis.h"

namespace vdmq {

namespace {

// The chapter titles, by chapter (variable 0 of the story).
const char* const kChapterTitlesUtf8[] = {
    "序章　星海の目覚め", "第一章　辺境の狼煙",
    "第二章　同盟の盾", "第三章　帝国の影",
    "第四章　決戦宙域", "",
    "", "",
    "", "",
};
static_assert(sizeof(kChapterTitlesUtf8) / sizeof(kChapterTitlesUtf8[0]) == kChapterTitleTextCount);

// The texts are converted to CP932 once, on first use.
const std::string* Converted(const char* const* utf8, int count) {
  auto* out = new std::string[count];
  for (int i = 0; i < count; ++i) out[i] = Utf8ToSjis(utf8[i]);
  return out;
}

}  // namespace

const char* ChapterTitleText(int chapter) {
  if (chapter < 0 || chapter >= kChapterTitleTextCount) return nullptr;
  static const std::string* titles = Converted(kChapterTitlesUtf8, kChapterTitleTextCount);
  return titles[chapter].c_str();
}

}  // namespace vdmq
