#include "campaign/StoryNames.h"

#include "platform/base/Sjis.h"

namespace vdmq {

namespace {

// The chapter titles, by chapter (variable 0 of the story), at most 8 full-width characters (the
// save slot line); chapters 5..9 have none.
const char* const kChapterTitlesUtf8[] = {
    "開戦", "ラドム攻略", "帝都の門", "王国の選択", "帝都決戦", "", "", "", "", "",
};
static_assert(sizeof(kChapterTitlesUtf8) / sizeof(kChapterTitlesUtf8[0]) == kChapterTitleTextCount);

}  // namespace

const char* ChapterTitleText(int chapter) {
  static const TSjisTable titles(kChapterTitlesUtf8);
  return titles.At(chapter);
}

}  // namespace vdmq
