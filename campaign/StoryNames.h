#pragma once
// The program's constant table of chapter titles (CP932 texts): ten entries, five of them empty.

namespace vdmq {

constexpr int kChapterTitleTextCount = 10;

// The title of a chapter ("" for an empty entry); null outside the table.
const char* ChapterTitleText(int chapter);

}  // namespace vdmq
