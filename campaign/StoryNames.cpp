#include "campaign/StoryNames.h"

#include <string>

#include "platform/base/Sjis.h"

namespace vdmq {

namespace {

// The chapter titles, by chapter (variable 0 of the story), at most 8 full-width characters (the
// save slot line); chapters 5..9 have none.
const char* const kChapterTitlesUtf8[] = {
    "開戦", "ラドム攻略", "帝都の門", "王国の選択", "帝都決戦", "", "", "", "", "",
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
