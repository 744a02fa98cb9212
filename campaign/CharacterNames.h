#pragma once
// The program's constant tables of the event characters (CP932 texts): 38 names, and five profile
// lines for each of the 38 faces (44 of the 190 lines are empty).

namespace vdmq {

constexpr int kEventCharacterNameCount = 38;
constexpr int kEventCharacterProfileCount = 38;
constexpr int kEventCharacterProfileLineCount = 5;

// The name at a name index; null outside the table.
const char* EventCharacterNameText(int nameNum);
// Profile line 0..4 of a face 0..37 ("" for an empty line); null outside the table.
const char* EventCharacterProfileText(int cg, int line);

}  // namespace vdmq
