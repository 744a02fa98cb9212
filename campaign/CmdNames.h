#pragma once
// The program's constant tables of commander names and commander class names (CP932 texts).

namespace vdmq {

constexpr int kCmdNameCount = 120;
constexpr int kCmdClassNameTextCount = 8;

// The name at a name index; null outside the table.
const char* CmdNameText(int nameNum);
// The class name at a class index 0..7; null outside the table.
const char* CmdClassNameText(int classNum);

}  // namespace vdmq
